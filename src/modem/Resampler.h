#pragma once
// Converts a mono stream from any rate to another with a windowed-sinc
// kernel (looked up in a table with linear interpolation between phases),
// low-passed below the lower of the two Nyquist frequencies. Streaming:
// feed any block sizes; the output has a fixed delay of kHalfTaps output
// samples' worth of input. Equal rates pass straight through.
//
// Not thread-safe: one owner.
#include <cstddef>
#include <vector>

class Resampler {
public:
    Resampler(double inRate, double outRate);

    // Appends the output samples that `n` more input samples complete.
    void Process(const float* in, size_t n, std::vector<float>& out);

    static constexpr int kZeroCrossings = 12;   // kernel half-width in lobes

private:
    double Kernel(double x) const;   // x in units of the kernel's lobe width

    double m_ratio;         // input samples per output sample
    double m_scale;         // lobe width in input samples (>= 1)
    bool m_bypass;
    int m_halfSpan;         // input samples on each side of an output point
    std::vector<float> m_table;
    static constexpr int kTablePerLobe = 512;
    std::vector<float> m_history;   // input not yet fully used
    double m_nextOut = 0.0;         // position of the next output in m_history
};
