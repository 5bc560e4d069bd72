#include "modem/SignalFinder.h"

#include "modem/Fft.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The spectrum follows a signal that comes or fades within about half a second.
constexpr double kFollow = 0.3;
// The floor: this fraction of the band's bins lie below it.
constexpr double kFloorPercentile = 0.3;

}  // namespace

SignalFinder::SignalFinder(double rate, double shiftHz, double baud, double lowHz, double highHz)
    : m_shift(std::fabs(shiftHz)), m_low(lowHz), m_high(highHz), m_ring(kSize), m_window(kSize),
      m_work(kSize), m_power(kSize / 2, 0.0), m_prefix(kSize / 2 + 1, 0.0),
      m_blockPrefix(kSize / 2 + 1, 0.0)
{
    m_binHz = rate / static_cast<double>(kSize);
    // Most of a keyed tone's power lies within about half the baud of it.
    m_halfWidth = std::max(0.6 * baud, 2.0 * m_binHz);
    for (size_t i = 0; i < kSize; ++i)
        m_window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kSize));
}

bool SignalFinder::Process(const float* x, size_t n)
{
    bool estimated = false;
    for (size_t i = 0; i < n; ++i) {
        m_ring[m_pos] = x[i];
        m_pos = (m_pos + 1) % kSize;
        m_fill = std::min(kSize, m_fill + 1);
        if (++m_sinceHop >= kHop && m_fill == kSize) {
            m_sinceHop = 0;
            Analyse();
            estimated = true;
        }
    }
    return estimated;
}

double SignalFinder::WindowPower(const std::vector<double>& prefix, double hz) const
{
    const auto bin = [&](double f) {
        return static_cast<size_t>(std::clamp(std::lround(f / m_binHz), 0L, static_cast<long>(m_power.size())));
    };
    const size_t a = bin(hz - m_halfWidth), b = std::min(m_power.size(), bin(hz + m_halfWidth) + 1);
    return b > a ? prefix[b] - prefix[a] : 0.0;
}

void SignalFinder::Analyse()
{
    for (size_t i = 0; i < kSize; ++i)
        m_work[i] = {m_ring[(m_pos + i) % kSize] * m_window[i], 0.0f};
    FftInPlace(m_work);
    const double a = m_blocks == 0 ? 1.0 : kFollow;
    for (size_t k = 0; k < m_power.size(); ++k) {
        const double p = std::norm(m_work[k]);
        m_blockPrefix[k + 1] = m_blockPrefix[k] + p;
        m_power[k] += a * (p - m_power[k]);
    }
    ++m_blocks;
    for (size_t k = 0; k < m_power.size(); ++k)
        m_prefix[k + 1] = m_prefix[k] + m_power[k];

    const size_t lo = static_cast<size_t>(m_low / m_binHz), hi = std::min(m_power.size(), static_cast<size_t>(m_high / m_binHz));
    m_found.clear();
    if (hi <= lo + 1 || m_blocks < kSettleBlocks)
        return;
    m_sorted.assign(m_power.begin() + static_cast<long>(lo), m_power.begin() + static_cast<long>(hi));
    const auto nth = m_sorted.begin() + static_cast<long>(kFloorPercentile * m_sorted.size());
    std::nth_element(m_sorted.begin(), nth, m_sorted.end());
    const double floor = *nth;
    m_floor = floor;
    if (!(floor > 0.0))
        return;

    const double bins = 2.0 * m_halfWidth / m_binHz + 1.0;
    std::vector<FoundSignal> candidates;
    for (double f = m_low; f + m_shift <= m_high; f += m_binHz) {
        const double pl = WindowPower(m_prefix, f), ph = WindowPower(m_prefix, f + m_shift);
        const double weak = std::min(pl, ph), strong = std::max(pl, ph);
        if (weak < kDetect * floor * bins || weak < kBalance * strong)
            continue;
        FoundSignal s;
        s.lowHz = f;
        s.highHz = f + m_shift;
        const double signal = std::max(pl + ph - 2.0 * bins * floor, 1e-30);
        s.snrDb = 10.0 * std::log10(signal / (floor * 3000.0 / m_binHz));
        candidates.push_back(s);
    }
    std::sort(candidates.begin(), candidates.end(), [](const FoundSignal& x, const FoundSignal& y) { return x.snrDb > y.snrDb; });
    for (const FoundSignal& c : candidates) {
        const bool overlaps = std::any_of(m_found.begin(), m_found.end(), [&](const FoundSignal& k) {
            return std::fabs(c.CentreHz() - k.CentreHz()) < SameSignalHz() || SharesTone(c.lowHz, c.highHz, k);
        });
        if (!overlaps)
            m_found.push_back(c);
    }
}

bool SignalFinder::SharesTone(double lowHz, double highHz, const FoundSignal& k)
{
    return std::min({std::fabs(lowHz - k.lowHz), std::fabs(lowHz - k.highHz), std::fabs(highHz - k.lowHz),
                     std::fabs(highHz - k.highHz)}) < kToneGuardHz;
}

double SignalFinder::BlockRatio(double lowHz, double highHz) const
{
    if (!(m_floor > 0.0))
        return 0.0;
    const double bins = 2.0 * m_halfWidth / m_binHz + 1.0;
    return (WindowPower(m_blockPrefix, lowHz) + WindowPower(m_blockPrefix, highHz)) / (2.0 * bins * m_floor);
}
