#include "modem/Resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

Resampler::Resampler(double inRate, double outRate)
    : m_ratio(inRate / outRate), m_bypass(std::fabs(inRate - outRate) < 1e-9)
{
    // Cut-off at 0.9 of the lower Nyquist frequency.
    m_scale = std::max(1.0, m_ratio) / 0.9;
    m_halfSpan = static_cast<int>(std::ceil(kZeroCrossings * m_scale));
    const int size = kZeroCrossings * kTablePerLobe + 2;
    m_table.resize(size);
    for (int i = 0; i < size; ++i) {
        const double x = static_cast<double>(i) / kTablePerLobe;
        const double sinc = x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
        // Blackman window over the kernel's span.
        const double w = x >= kZeroCrossings
                             ? 0.0
                             : 0.42 + 0.5 * std::cos(std::numbers::pi * x / kZeroCrossings) +
                                   0.08 * std::cos(2.0 * std::numbers::pi * x / kZeroCrossings);
        m_table[i] = static_cast<float>(sinc * w);
    }
    // The first output sits one half span in, so the kernel always has input.
    m_history.assign(m_halfSpan, 0.0f);
    m_nextOut = m_halfSpan;
}

double Resampler::Kernel(double x) const
{
    x = std::fabs(x) * kTablePerLobe;
    const size_t i = static_cast<size_t>(x);
    if (i + 1 >= m_table.size())
        return 0.0;
    const double f = x - static_cast<double>(i);
    return m_table[i] + (m_table[i + 1] - m_table[i]) * f;
}

void Resampler::Process(const float* in, size_t n, std::vector<float>& out)
{
    if (m_bypass) {
        out.insert(out.end(), in, in + n);
        return;
    }
    m_history.insert(m_history.end(), in, in + n);
    const double gain = 1.0 / m_scale;
    while (m_nextOut + m_halfSpan + 1 < static_cast<double>(m_history.size())) {
        const long centre = static_cast<long>(std::floor(m_nextOut));
        const double frac = m_nextOut - static_cast<double>(centre);
        double acc = 0.0;
        for (long k = -m_halfSpan + 1; k <= m_halfSpan; ++k)
            acc += m_history[centre + k] * Kernel((static_cast<double>(k) - frac) / m_scale);
        out.push_back(static_cast<float>(acc * gain));
        m_nextOut += m_ratio;
    }
    // Keep what the next outputs still need.
    const long drop = static_cast<long>(std::floor(m_nextOut)) - m_halfSpan;
    if (drop > 0) {
        m_history.erase(m_history.begin(), m_history.begin() + drop);
        m_nextOut -= static_cast<double>(drop);
    }
}
