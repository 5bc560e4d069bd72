#pragma once
// The transmit half of a sound-card port device: written codes (unshift on
// space applied) go to the modulator. Two ways out:
// - a silent sink (the recording and simulated-band devices): the samples
//   are rendered at once and count as played in real time from the write;
// - a live playback stream (ResetLive): the stream's fill handler takes the
//   samples through Fill. While keyed the modulator runs on, holding mark
//   when nothing is queued (the stop bit continues); while unkeyed the
//   output is silence and the modulator waits. Keying and unkeying fade
//   over kFadeSeconds so the tone never starts or stops with a click.
// Either way "drained" is due only when the last sample of the last write
// has been played (live: the stream's PlayedFrames covers it), and the count
// of writes is kept for PortEvents::drainedWrites.
//
// Not thread-safe: the owning device calls it under its own lock.
#include "modem/LiveAudio.h"
#include "modem/RttyModulator.h"
#include "modem/RttyParams.h"
#include "modem/UnshiftOnSpace.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

class AudioTransmitter {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr double kFadeSeconds = 0.005;
    // While a live drain waits on the stream, WaitEvents looks again at most
    // this often (the stream's count may lag the estimate).
    static constexpr std::chrono::milliseconds kLiveRecheck{10};

    // Starts afresh for a port opened with `params`, on the silent sink.
    void Reset(const RttyParams& params, Clock::time_point now);
    // Starts afresh on `stream` (kept, not owned) at `rate`, unkeyed.
    void ResetLive(const RttyParams& params, double rate, const PlaybackStream* stream);
    // Counts one write; modulates the codes. False when closed.
    bool Write(const uint8_t* data, size_t len, Clock::time_point now);
    // Drops what is still to be played.
    void Clear(Clock::time_point now);
    void Close()
    {
        m_modulator.reset();
        m_stream = nullptr;
    }

    // Live: the next `count` samples for the playback stream. True when the
    // pending drain's last sample has just been handed out (DrainDue moves).
    bool Fill(float* out, size_t count);
    void SetKeyed(bool keyed) { m_bKeyed = keyed; }
    // Live: new tones, taken up once nothing queued is left to send.
    void Retune(const RttyParams& params);

    // When the pending drain falls due (time_point::max() when none is, or
    // when its time is not known yet).
    Clock::time_point DrainDue() const;
    // Takes the drain if it is due at `now`; `writes` gets the count it covers.
    bool TakeDrain(Clock::time_point now, uint64_t& writes);

    // The codes a write puts on the air: unshift on space applied, each
    // masked to the data bits.
    static std::string LineCodes(const uint8_t* data, size_t len, const RttyParams& params, UnshiftOnSpace& usos);

private:
    void ApplyRetune();

    RttyParams m_params;
    UnshiftOnSpace m_usos;
    std::unique_ptr<RttyModulator> m_modulator;
    Clock::time_point m_playedUntil{};   // silent sink: the last written sample is played then
    bool m_bDrainPending = false;
    uint64_t m_nWrites = 0;

    // Live output.
    const PlaybackStream* m_stream = nullptr;
    double m_rate = 0.0;
    bool m_bKeyed = false;
    float m_gain = 0.0f;
    float m_gainStep = 1.0f;
    uint64_t m_nFilled = 0;                  // samples handed to the stream since ResetLive
    uint64_t m_writeEnd = 0;                 // modulator position where the last write ends
    std::optional<uint64_t> m_drainFrame;    // stream frame count that covers it, once handed out
    std::optional<RttyParams> m_retune;
};
