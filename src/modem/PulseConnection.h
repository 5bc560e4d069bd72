#pragma once
// One connection to the sound server: a libpulse threaded mainloop (its own
// thread, on which every libpulse callback runs) and a context on it. The
// streams and the device listing each own one, so a stream's thread is its
// connection's mainloop thread and nothing is shared between streams.
//
// The mainloop thread asks for real-time priority (granted to root or with
// a raised RLIMIT_RTPRIO; otherwise it runs as it is): the handlers it runs
// must stay short. Every wait is bounded: a server that has stopped answering turns into a
// failed Connect or a timed-out Wait, never a hang. Close stops and joins
// the mainloop thread; afterwards no callback runs any more.
//
// Threads: Connect, Wait and Close run on the owner's thread, never on the
// mainloop thread. libpulse calls on the owner's thread need a Lock; the
// callbacks already hold it. The callbacks change atomics and then call
// Notify; Wait rechecks its condition under m_waitMutex, so no wake-up is
// lost. The lost handler runs on the mainloop thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

struct pa_context;
struct pa_mainloop_api;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;

class PulseConnection {
public:
    // `server`: the server's address ("unix:/path/native"); empty for the
    // usual lookup (PULSE_SERVER, the client configuration, the session's
    // server). A server is never spawned.
    explicit PulseConnection(std::string server = {});
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Called once, on the mainloop thread, when the context fails or ends
    // after it was ready and before Close. Set before Connect.
    void SetLostHandler(std::function<void(const std::string& reason)> onLost) { m_onLost = std::move(onLost); }

    // Starts the mainloop thread and connects; false with `error` for the
    // operator when the server can't be reached within `timeout`.
    bool Connect(std::chrono::milliseconds timeout, std::string& error);
    // Disconnects, stops and joins the mainloop thread. Idempotent.
    void Close();

    pa_context* Context() const { return m_context; }

    // Holds the mainloop lock (libpulse calls from the owner's thread).
    class Lock {
    public:
        explicit Lock(const PulseConnection& c);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_loop;
    };

    // Waits, without the mainloop lock, until `done` holds or `timeout`
    // passes; returns whether it holds. `done` reads atomics that callbacks
    // set before calling Notify.
    bool Wait(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    void Notify();

    // Calls `tick` on the mainloop thread every `period` until Close. Call
    // once, after Connect, under a Lock.
    void StartTimer(std::chrono::microseconds period, std::function<void()> tick);

    // The server's last error, as text for the operator.
    std::string LastError() const;
    // Why a stream on this connection did not open, for the operator; call
    // under a Lock. `refused`: the server answered with an error (else it
    // never answered); `made`: the stream exists, so an unknown entity is
    // its device.
    std::string StreamOpenError(bool refused, bool made) const;
    // What a stream that failed once ready tells the operator: its own
    // device went (`deviceWent`), or the whole server did.
    static const char* StreamDownReason(pa_stream* s, const char* deviceWent);

private:
    static void OnContextState(pa_context* c, void* self);
    static void OnTimer(pa_mainloop_api*, pa_time_event* e, const struct timeval*, void* self);

    const std::string m_server;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_time_event* m_timer = nullptr;            // mainloop thread (or under Lock)
    std::chrono::microseconds m_period{0};
    std::function<void()> m_tick;
    std::function<void(const std::string&)> m_onLost;

    // Set by the context's state callback.
    std::atomic<bool> m_bReady{false};
    std::atomic<bool> m_bFailed{false};
    std::atomic<bool> m_bClosing{false};
    std::atomic<bool> m_bLostReported{false};

    std::mutex m_waitMutex;                      // pairs with m_wake; guards nothing else
    std::condition_variable m_wake;
};
