#pragma once
// Turns characters into an FSK audio signal: continuous phase (the phase
// runs on through every change of tone), transitions shaped with a raised
// cosine in frequency over part of a bit so the spectrum stays narrow, and
// bit and stop lengths exact in time (they are kept as fractional sample
// positions, so no rounding accumulates over a transmission). With nothing
// queued the line idles on mark, as a teleprinter line does.
//
// Not thread-safe: one owner.
#include "modem/RttyParams.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>

class RttyModulator {
public:
    // `rate` in samples per second; `amplitude` is the peak of the sine.
    RttyModulator(const RttyParams& params, double rate, float amplitude = 0.5f);

    // Appends one character frame: start bit, the code's data bits LSB first,
    // stop bits. Returns the sample position at which its stop bits end.
    double QueueCode(uint32_t code);
    // Appends `seconds` of steady mark.
    double QueueMark(double seconds);
    // Renders the next `n` samples (mark once the queue runs dry).
    void Render(float* out, size_t n);
    // Samples still to render until everything queued has gone out.
    size_t PendingSamples() const;
    // Samples rendered so far (the position of the next one).
    uint64_t Position() const { return m_nPosition; }
    // Drops everything queued; the signal returns to mark at once (shaped).
    void Clear();

    // Fraction of a bit over which a tone change is spread.
    static constexpr double kTransition = 0.25;
    // Changes the spread (0 < fraction <= 1) for what follows.
    void SetTransition(double fraction) { m_rampSamples = std::max(1e-3, fraction) * m_bitSamples; }

private:
    struct Segment {
        double level;   // 1 mark, 0 space
        double end;     // sample position where it ends
    };
    double Append(double level, double samples);
    double LevelAt(double t);

    RttyParams m_params;
    double m_rate;
    float m_amplitude;
    double m_bitSamples;
    double m_rampSamples;
    std::deque<Segment> m_segments;
    double m_tail = 0.0;          // end of the last queued segment
    double m_prevLevel = 1.0;     // level of the segment before the front one
    double m_prevEnd = 0.0;       // where that segment ended
    double m_phase = 0.0;
    uint64_t m_nPosition = 0;
};
