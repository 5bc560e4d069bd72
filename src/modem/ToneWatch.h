#pragma once
// Watches the averaged spectrum around the two tones at the modem's internal
// rate. It answers two questions: how far the signal is off its nominal tones
// (for AFC, within +-RttyParams::kAfcRangeHz), and whether an FSK signal is
// there at all (the squelch): the power in two windows, one around each tone,
// against the noise floor (the median of the spectrum just beside the tuning
// range) over the same width.
// Noise alone gives a ratio near 1; a signal at SNR3k -10 dB gives about 2.5.
//
// Not thread-safe: one owner.
#include <complex>
#include <cstddef>
#include <vector>

class ToneWatch {
public:
    ToneWatch(double rate, double markHz, double spaceHz, double baud, bool afc);

    // One sample; returns true when a new estimate is ready.
    bool Push(float x);

    // Frequency offset of the signal from its nominal tones, Hz (0 without AFC).
    double Offset() const { return m_offset; }
    // Tone-window power over noise floor at the current offset (>= 0).
    double SignalRatio() const { return m_ratio; }
    // With hysteresis: opens above kOpen, closes below kClose.
    bool SignalPresent() const { return m_present; }
    // Estimates made so far; the squelch can first open at the fourth.
    int Estimates() const { return m_blocks; }

    static constexpr size_t kSize = 2048;   // FFT length (256 ms at 8 kHz)
    static constexpr size_t kHop = 1024;
    static constexpr double kOpen = 1.8;
    static constexpr double kClose = 1.35;
    // Closes after this many blocks in a row below kFastClose.
    static constexpr double kFastClose = 1.2;
    static constexpr int kQuietBlocks = 4;
    // Width of each noise-floor flank beside the tuning range.
    static constexpr double kFlankHz = 250.0;

private:
    void Analyse();
    double WindowPower(double offsetHz) const;
    double ShapedPower(double offsetHz) const;

    double m_rate;
    double m_mark;
    double m_space;
    double m_halfWidth;       // Hz each side of a tone
    bool m_afc;
    double m_baud;
    std::vector<float> m_ring;
    size_t m_fill = 0;
    size_t m_sinceHop = 0;
    std::vector<float> m_window;
    std::vector<double> m_power;   // averaged power spectrum, kSize/2 bins
    std::vector<double> m_slow;    // the same, averaged longer, for tuning
    std::vector<std::complex<float>> m_work;
    int m_blocks = 0;
    double m_offset = 0.0;
    int m_jumpVotes = 0;
    int m_quietBlocks = 0;
    int m_loudBlocks = 0;
    double m_ratio = 0.0;
    bool m_present = false;
};
