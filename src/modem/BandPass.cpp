#include "modem/BandPass.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kStopDb = 50.0;

double BesselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

}  // namespace

BandPass::BandPass(double rate, double lowHz, double highHz, double transitionHz)
{
    const double dw = 2.0 * std::numbers::pi * transitionHz / rate;
    size_t n = static_cast<size_t>(std::ceil((kStopDb - 8.0) / (2.285 * dw))) + 1;
    n |= 1;   // odd: a whole-sample delay
    const double beta = 0.1102 * (kStopDb - 8.7);
    // The band edges halfway into the transition bands.
    const double f1 = std::max(0.0, lowHz - 0.5 * transitionHz) / rate;
    const double f2 = std::min(0.5 * rate, highHz + 0.5 * transitionHz) / rate;
    const double mid = 0.5 * static_cast<double>(n - 1);
    m_taps.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double m = static_cast<double>(i) - mid;
        const auto lowPass = [&](double f) {
            return m == 0.0 ? 2.0 * f : std::sin(2.0 * std::numbers::pi * f * m) / (std::numbers::pi * m);
        };
        const double r = m / mid;
        const double w = BesselI0(beta * std::sqrt(std::max(0.0, 1.0 - r * r))) / BesselI0(beta);
        m_taps[i] = static_cast<float>(w * (lowPass(f2) - lowPass(f1)));
    }
    m_buffer.assign(n - 1, 0.0f);
}

void BandPass::Process(const float* in, size_t n, std::vector<float>& out)
{
    const size_t keep = m_taps.size() - 1;
    m_buffer.insert(m_buffer.end(), in, in + n);
    out.assign(n, 0.0f);
    // Tap by tap over the whole block: the inner loop runs along the
    // samples, which the compiler can vectorise without reordering sums.
    float* y = out.data();
    for (size_t k = 0; k < m_taps.size(); ++k) {
        const float h = m_taps[k];
        const float* x = m_buffer.data() + k;
        for (size_t i = 0; i < n; ++i)
            y[i] += h * x[i];
    }
    m_buffer.erase(m_buffer.begin(), m_buffer.end() - static_cast<long>(keep));
}
