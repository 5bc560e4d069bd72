#pragma once
// An in-process modem behind the PortDevice interface, chosen by a device
// value beginning with "sim:". It paces output at the configured baud (one
// character takes (1 start + data bits + 1 stop) / baud), records every write
// and every RTS/DTR change with its time, can loop transmitted characters
// back, can be fed received bytes at once or at line speed, can stall (never
// drain) and can vanish. Tests hold it through a shared_ptr and hand the link
// a SharedPortDevice, so they can drive and inspect it while the link runs.
//
// "sim:demo" runs the program without hardware: what is sent is looped back,
// and a 5-bit link hears a Baudot CQ call now and then, a 7-bit link the same
// call in ASCII, an 8-bit (TNC) link answers each CR with "cmd:".
//
// "sim:band" and "sim:tnc" put a far side behind the modem (SimPeer): the
// simulated band with its stations, or the simulated TNC controller; options
// follow the mode after "?" (SimOptions, SimulatedBandPeer.h).
//
// Like a real tty it raises RTS and DTR when it opens, whatever the line
// settings: lowering them for PTT keying is left to the link, so tests see
// whether it does (the real port drops them itself as well, at once).
//
// "fifo=<N>" (any mode) hands received bytes over N at a time, as a UART's
// receive FIFO does (a 16550 interrupts at 8 bytes): each byte becomes
// readable with the last of its group, or of its burst. Default 1: each byte
// at its own time.
//
// A keying trace for checks of the whole program: "sim:<mode>?trace=<path>"
// appends one line per event to <path>, flushed at once:
// "<microseconds since the device opened> <event> [detail]" with the events
// "open <baud> <data bits>", "write <bytes as hex, no spaces>", "drained",
// "rts 0|1", "dtr 0|1", "purge", "purge tx" (output only) and "close". A file that can't be opened
// gives no trace and no error.
//
// Thread-safe: every member may be called from any thread.
#include "link/LinkClock.h"
#include "link/PortDevice.h"
#include "link/PortWaitState.h"
#include "link/SimPeer.h"
#include "link/ThreadSafety.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct SimEvent {
    enum class Kind { Open, Write, Rts, Dtr, Purge, PurgeOutput, Close };
    Kind kind;
    std::chrono::steady_clock::time_point time;
    std::string bytes;          // Write: the bytes taken
    bool level = false;         // Rts/Dtr: the new state
    uint32_t timeoutMs = 0;     // Write: the time-out the caller gave
    // Write: when the last stop bit of its last character has left the line.
    std::chrono::steady_clock::time_point ends{};
};

class SimulatedModem : public PortDevice {
public:
    using Clock = std::chrono::steady_clock;

    // `mode` is what follows "sim:": "demo", "loopback", or anything else for a
    // plain modem that only does what it is told; "?trace=<path>" may follow.
    explicit SimulatedModem(std::string_view mode = {});
    ~SimulatedModem() override;
    // The clock its line times, events and waits run on (the steady clock
    // unless a test gives another); set before the first Open, never after.
    void SetClock(LinkClock& clock);
    // The trace file named in the device value; empty when there is none.
    const std::string& TracePath() const { return m_strTracePath; }

    bool Open(const LineSettings& settings) override;
    void Close() override;
    PortEvents WaitEvents() override;
    size_t Read(uint8_t* buffer, size_t max) override;
    size_t Write(const uint8_t* data, size_t len, uint32_t timeoutMs) override;
    void SetRts(bool on) override;
    void SetDtr(bool on) override;
    void Purge() override;
    void PurgeOutput() override;
    void Wake() override;
    void Cancel() override;
    bool IsDown() const override;

    // Behaviour.
    void SetLoopback(bool on);
    // A stalled modem never reports its output drained, and once it holds
    // `capacity` undrained bytes further writes block until their time-out.
    void SetStalled(bool stalled, size_t capacity = 4096);
    void SetOpenFails(bool fails);
    // Demo timing: first call after `first`, then every `interval`.
    void SetDemoTiming(std::chrono::milliseconds first, std::chrono::milliseconds interval);
    // Received bytes: readable at once, or one per character time after the
    // last byte already scheduled. The latter returns when its first byte is due.
    void Feed(std::string_view bytes);
    Clock::time_point FeedAtLineSpeed(std::string_view bytes);
    // The device goes away (as an unplugged adapter).
    void Vanish();

    // Inspection.
    std::vector<SimEvent> Log() const;
    std::vector<std::string> Writes() const;   // the bytes of each write, in order
    bool Rts() const;
    bool Dtr() const;
    bool IsOpen() const;
    LineSettings Settings() const;
    int OpenCount() const;
    std::chrono::nanoseconds CharTime() const;
    // Blocks until `done(log)` holds or `limit` passes; true when it holds.
    // Re-evaluated whenever the log grows or the modem changes state.
    bool WaitFor(const std::function<bool(const std::vector<SimEvent>&)>& done,
                 std::chrono::milliseconds limit) const;

private:
    struct Due {
        Clock::time_point when;
        uint8_t byte;
    };

    void RecordLocked(SimEvent::Kind kind, std::string bytes = {}, bool level = false,
                      uint32_t timeoutMs = 0, Clock::time_point ends = {},
                      Clock::time_point at = {}) REQUIRES(m_mutex);   // at: the event's time, now when unset
    void TraceLocked(const std::string& line) REQUIRES(m_mutex);
    Clock::time_point ScheduleLocked(std::string_view bytes, Clock::time_point after) REQUIRES(m_mutex);
    void PlayDemoLocked(Clock::time_point now) REQUIRES(m_mutex);
    std::string DemoCallLocked() const REQUIRES(m_mutex);

    // Guards every member below but the trace path.
    mutable Mutex m_mutex;
    mutable CondVar m_changed;
    PortWaitState m_wait GUARDED_BY(m_mutex){m_changed};
    std::vector<SimEvent> m_log GUARDED_BY(m_mutex);
    LineSettings m_settings GUARDED_BY(m_mutex);
    std::chrono::nanoseconds m_charTime GUARDED_BY(m_mutex){0};
    bool m_bOpen GUARDED_BY(m_mutex) = false;
    bool m_bOpenFails GUARDED_BY(m_mutex) = false;
    bool m_bDown GUARDED_BY(m_mutex) = false;
    bool m_bLoopback GUARDED_BY(m_mutex) = false;
    bool m_bStalled GUARDED_BY(m_mutex) = false;
    size_t m_nStallCapacity GUARDED_BY(m_mutex) = 4096;
    size_t m_nStalledBytes GUARDED_BY(m_mutex) = 0;
    bool m_bRts GUARDED_BY(m_mutex) = false;
    bool m_bDtr GUARDED_BY(m_mutex) = false;
    int m_nOpens GUARDED_BY(m_mutex) = 0;
    // Set by the constructor (and SetClock before use), read-only after;
    // m_wait holds the same clock.
    LinkClock* m_clock = &LinkClock::System();
    size_t m_nFifo = 1;   // "fifo=N": received bytes readable N at a time, as from a UART's FIFO
    std::string m_strTracePath;
    // Keying trace: open from Open to Close when a path was given.
    std::FILE* m_trace = nullptr;
    Clock::time_point m_tOpened GUARDED_BY(m_mutex){};
    // Output pacing.
    bool m_bDrainPending GUARDED_BY(m_mutex) = false;
    Clock::time_point m_busyUntil GUARDED_BY(m_mutex){};
    uint64_t m_nWrites GUARDED_BY(m_mutex) = 0;
    // Receive side: bytes and the moment each becomes readable, in order.
    std::deque<Due> m_rx GUARDED_BY(m_mutex);
    Clock::time_point m_rxScheduledUntil GUARDED_BY(m_mutex){};
    // Demo.
    bool m_bDemo GUARDED_BY(m_mutex) = false;
    std::chrono::milliseconds m_demoFirst GUARDED_BY(m_mutex){3000};
    std::chrono::milliseconds m_demoInterval GUARDED_BY(m_mutex){30000};
    Clock::time_point m_nextDemo GUARDED_BY(m_mutex) = Clock::time_point::max();
    // The far side ("sim:band", "sim:tnc"), or none.
    std::unique_ptr<SimPeer> m_peer GUARDED_BY(m_mutex);
};
