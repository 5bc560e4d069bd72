#pragma once
// A playback stream to one sink of the sound server: float32 mono at the
// stream's rate (the server converts), about kBuffer of audio buffered
// between onFill and the device, so a change in what the modem sends is
// heard within that time. The stream's thread is its own connection's
// mainloop thread; onFill is asked for whatever the server has room for.
//
// PlayedFrames comes from the server's timing information (interpolated
// between updates, refreshed every kTick): the position of the sample now
// leaving the device, never more than has been handed over.
//
// A sink that goes away, a server that dies or one that stops asking for
// audio for kStall puts the stream down (PulseStream).
//
// Threads as PlaybackStream and PulseStream say. The atomics below are
// written on the mainloop thread and read from any thread.
#include "modem/LiveAudio.h"
#include "modem/PulseStream.h"

#include <atomic>
#include <chrono>
#include <string>

struct pa_stream;

class PulsePlaybackStream : public PlaybackStream {
public:
    // `server` as PulseConnection takes it; `device` empty for the default sink.
    PulsePlaybackStream(std::string server, std::string device, unsigned rate);
    ~PulsePlaybackStream() override;

    bool Start(FillHandler onFill, AudioDownHandler onDown, std::string& error) override;
    void Stop() override;
    uint64_t PlayedFrames() const override { return m_played.load(); }
    std::chrono::microseconds Latency() const override { return m_pulse.Latency(); }
    bool IsDown() const override { return m_pulse.IsDown(); }
    // Times the device ran dry since Start (the fill came too late): each
    // is a gap in what was sent.
    uint64_t Underruns() const { return m_underruns.load(); }

    static constexpr std::chrono::milliseconds kBuffer{40};
    static constexpr std::chrono::milliseconds kRequest{10};
    static constexpr std::chrono::milliseconds kTick{10};
    static constexpr std::chrono::milliseconds kStall{3000};

private:
    static void OnWrite(pa_stream* s, size_t bytes, void* self);
    static void OnUnderflow(pa_stream* s, void* self);
    static void Detach(pa_stream* s);
    void Tick();

    PulseStream m_pulse;
    FillHandler m_onFill;
    uint64_t m_written = 0;                                // mainloop thread
    std::chrono::steady_clock::time_point m_lastRequest;   // mainloop thread

    std::atomic<uint64_t> m_played{0};
    std::atomic<uint64_t> m_underruns{0};
};
