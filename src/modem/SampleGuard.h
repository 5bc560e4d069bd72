#pragma once
// Keeps one bad input sample from reaching the modem's filters and running
// sums, where it would ring or linger for seconds (or, for Inf and NaN, for
// good): a non-finite sample counts as silence, and a sample far above the
// recent level (a click, a driver glitch, a damaged file) is clipped to
// kCrest times the tracked RMS. The RMS follows the clipped signal over about
// 20 ms, so a spike cannot raise it; a real rise in level (a station coming
// up from silence, an AGC) is still followed within a few milliseconds,
// because each clipped sample raises the mean square by (kCrest² - 1) times
// the tracking weight. Gaussian noise passes untouched (8 sigma).
//
// Not thread-safe: one owner.
#include <cstddef>

class SampleGuard {
public:
    explicit SampleGuard(double rate);

    float Clean(float x);
    // Cleans `n` samples from `in` into `out` (which may be `in`).
    void Clean(const float* in, float* out, size_t n);

    static constexpr double kCrest = 8.0;
    // The level a signal may start from at once, from silence.
    static constexpr double kFloor = 1e-6;

private:
    double m_weight;
    double m_meanSquare = 0.0;
};
