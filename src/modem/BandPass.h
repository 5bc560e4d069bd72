#pragma once
// A linear-phase FIR band-pass (windowed sinc, Kaiser window, about 50 dB
// down beyond the transition band) for one signal of the signal browser: it
// keeps a much stronger neighbour out of that signal's decoder, whose own
// tone filters reach only about a bit's bandwidth apart. Delay: (taps-1)/2
// samples.
//
// Not thread-safe: one owner.
#include <cstddef>
#include <vector>

class BandPass {
public:
    // Passes lowHz..highHz at `rate`; falls to the stop band within
    // `transitionHz` outside them.
    BandPass(double rate, double lowHz, double highHz, double transitionHz);

    // Appends the filtered `n` samples to `out` (cleared first).
    void Process(const float* in, size_t n, std::vector<float>& out);
    size_t Taps() const { return m_taps.size(); }

private:
    std::vector<float> m_taps;
    std::vector<float> m_buffer;   // the last Taps()-1 inputs, then the new block
};
