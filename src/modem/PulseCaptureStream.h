#pragma once
// A capture stream from one source of the sound server: float32 mono at the
// stream's rate (the server converts), handed over in blocks of about
// kFragment. The stream's thread is its own connection's mainloop thread.
// A gap the server reports (it dropped audio) is handed over as silence of
// the same length, so sample positions stay true to time.
//
// A named source is never swapped for another: when it goes away (a USB
// sound card unplugged) the stream fails and the down handler is told, once;
// so it is when the server dies or sends no audio for kStall.
//
// Threads as CaptureStream says. The atomics below are written on the
// mainloop thread and read from any thread; everything else is the
// owner's (Start, Stop) or the mainloop thread's, never both at once: Start
// hands over before the stream connects, Stop takes back after the thread
// has been joined.
#include "modem/LiveAudio.h"
#include "modem/PulseConnection.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

struct pa_stream;

class PulseCaptureStream : public CaptureStream {
public:
    // `server` as PulseConnection takes it; `device` empty for the default source.
    PulseCaptureStream(std::string server, std::string device, unsigned rate);
    ~PulseCaptureStream() override;

    bool Start(BlockHandler onBlock, AudioDownHandler onDown, std::string& error) override;
    void Stop() override;
    std::chrono::microseconds Latency() const override { return std::chrono::microseconds(m_latencyUs.load()); }
    bool IsDown() const override { return m_bDown.load(); }

    static constexpr std::chrono::milliseconds kFragment{20};
    static constexpr std::chrono::milliseconds kTick{20};
    static constexpr std::chrono::milliseconds kStall{3000};
    static constexpr std::chrono::milliseconds kConnectTimeout{3000};

private:
    static void OnState(pa_stream* s, void* self);
    static void OnRead(pa_stream* s, size_t bytes, void* self);
    void Tick();
    void Down(const std::string& reason);

    const std::string m_server;
    const std::string m_device;
    const unsigned m_rate;
    std::unique_ptr<PulseConnection> m_conn;
    pa_stream* m_stream = nullptr;
    BlockHandler m_onBlock;
    std::vector<float> m_block;                            // mainloop thread
    AudioDownHandler m_onDown;
    std::chrono::steady_clock::time_point m_lastBlock;     // mainloop thread

    std::atomic<bool> m_bReady{false};
    std::atomic<bool> m_bFailed{false};
    std::atomic<bool> m_bStopping{false};
    std::atomic<bool> m_bDown{false};
    std::atomic<int64_t> m_latencyUs{0};
};
