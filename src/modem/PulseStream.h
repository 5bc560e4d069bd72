#pragma once
// What a capture and a playback stream of the sound server have in common:
// a connection of their own, one float32 mono stream on it at a fixed rate,
// opening it (or the operator's reason why not) within kConnectTimeout, the
// stream's state, its latency, and going down once.
//
// A named device is never swapped for another (PA_STREAM_DONT_MOVE): when it
// goes away (a USB sound card unplugged) the stream fails and the down
// handler is told, once; so it is when the whole server dies.
//
// Threads: Start and Stop on the owner's thread; Down, ReadLatency and the
// direction's callbacks on the connection's mainloop thread. The atomics are
// written on the mainloop thread and read from any thread; everything else
// is the owner's or the mainloop thread's, never both at once: Start hands
// over before the stream connects, Stop takes back after the thread has been
// joined.
#include "modem/LiveAudio.h"
#include "modem/PulseConnection.h"

#include <pulse/def.h>
#include <pulse/sample.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class PulseStream {
public:
    // What tells one direction from the other to the operator.
    struct Names {
        const char* stream;      // as the server lists it ("VELTRAN receive")
        const char* device;      // "Capture" or "Playback": an open error starts with it
        const char* deviceWent;  // the down reason when the device goes away
    };
    // Under the mainloop lock: sets the direction's own callbacks on `s` and
    // connects it to `device` (nullptr: the default) with `flags`; false
    // when libpulse refuses at once.
    using Connector = std::function<bool(pa_stream* s, const char* device, pa_stream_flags_t flags)>;
    // Under the mainloop lock: clears the callbacks the connector set.
    using Detacher = void (*)(pa_stream* s);

    // `server` as PulseConnection takes it; `device` empty for the default.
    PulseStream(std::string server, std::string device, unsigned rate, Names names);
    ~PulseStream() { Stop(nullptr); }
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connects, opens the stream through `connect` and waits until it plays
    // or records; then calls `tick` every `tickPeriod` on the mainloop
    // thread. False, with `error` for the operator, when it can't.
    bool Start(const Connector& connect, Detacher detach, std::function<void()> tick,
               std::chrono::milliseconds tickPeriod, AudioDownHandler onDown, std::string& error);
    // Idempotent; no callback runs after it returns.
    void Stop(Detacher detach);

    // Mainloop thread.
    void Down(const std::string& reason);
    void ReadLatency();
    // Open, ready and not down: the tick has something to look at.
    bool Running() const { return m_stream && m_bReady && !m_bDown; }
    pa_stream* Stream() const { return m_stream; }
    std::string LastError() const { return m_conn ? m_conn->LastError() : std::string("unknown error"); }

    // Any thread.
    bool IsDown() const { return m_bDown.load(); }
    std::chrono::microseconds Latency() const { return std::chrono::microseconds(m_latencyUs.load()); }

    unsigned Rate() const { return m_rate; }
    uint32_t Bytes(std::chrono::milliseconds t) const;

    static constexpr std::chrono::milliseconds kConnectTimeout{3000};

private:
    static void OnState(pa_stream* s, void* self);

    const std::string m_server;
    const std::string m_device;
    const unsigned m_rate;
    const Names m_names;
    std::unique_ptr<PulseConnection> m_conn;
    pa_stream* m_stream = nullptr;
    Detacher m_detach = nullptr;
    AudioDownHandler m_onDown;

    std::atomic<bool> m_bReady{false};
    std::atomic<bool> m_bFailed{false};
    std::atomic<bool> m_bStopping{false};
    std::atomic<bool> m_bDown{false};
    std::atomic<int64_t> m_latencyUs{0};
};
