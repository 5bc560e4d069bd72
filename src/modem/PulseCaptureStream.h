#pragma once
// A capture stream from one source of the sound server: float32 mono at the
// stream's rate (the server converts), handed over in blocks of about
// kFragment. The stream's thread is its own connection's mainloop thread.
// A gap the server reports (it dropped audio) is handed over as silence of
// the same length, so sample positions stay true to time.
//
// A source that goes away, a server that dies or one that sends no audio
// for kStall puts the stream down (PulseStream).
//
// Threads as CaptureStream and PulseStream say.
#include "modem/LiveAudio.h"
#include "modem/PulseStream.h"

#include <chrono>
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
    std::chrono::microseconds Latency() const override { return m_pulse.Latency(); }
    bool IsDown() const override { return m_pulse.IsDown(); }

    static constexpr std::chrono::milliseconds kFragment{20};
    static constexpr std::chrono::milliseconds kTick{20};
    static constexpr std::chrono::milliseconds kStall{3000};

private:
    static void OnRead(pa_stream* s, size_t bytes, void* self);
    static void Detach(pa_stream* s);
    void Tick();

    PulseStream m_pulse;
    BlockHandler m_onBlock;
    std::vector<float> m_block;                            // mainloop thread
    std::chrono::steady_clock::time_point m_lastBlock;     // mainloop thread
};
