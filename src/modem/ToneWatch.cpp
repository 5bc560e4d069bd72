#include "modem/ToneWatch.h"

#include "modem/Fft.h"
#include "modem/RttyParams.h"

#include <algorithm>
#include <cmath>
#include <numbers>

ToneWatch::ToneWatch(double rate, double markHz, double spaceHz, double baud, bool afc)
    : m_rate(rate), m_mark(markHz), m_space(spaceHz), m_halfWidth(std::max(15.0, 0.45 * baud)), m_afc(afc),
      m_baud(baud), m_ring(kSize, 0.0f), m_window(kSize), m_power(kSize / 2, 0.0), m_slow(kSize / 2, 0.0), m_work(kSize)
{
    for (size_t i = 0; i < kSize; ++i)
        m_window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kSize));
}

bool ToneWatch::Push(float x)
{
    m_ring[m_fill] = x;
    m_fill = (m_fill + 1) % kSize;
    if (++m_sinceHop < kHop)
        return false;
    m_sinceHop = 0;
    Analyse();
    return true;
}

double ToneWatch::ShapedPower(double offsetHz) const
{
    // Each tone's power weighted by the shape of a keyed tone's spectrum
    // (a main lobe about one baud wide each side): a sharper peak to tune on
    // than a flat window.
    const double binHz = m_rate / kSize;
    double sum = 0.0;
    for (double centre : {m_mark + offsetHz, m_space + offsetHz}) {
        const int lo = std::max(1, static_cast<int>(std::ceil((centre - m_baud) / binHz)));
        const int hi = std::min(static_cast<int>(kSize / 2) - 1, static_cast<int>(std::floor((centre + m_baud) / binHz)));
        for (int b = lo; b <= hi; ++b) {
            const double c = std::cos(0.5 * std::numbers::pi * (b * binHz - centre) / m_baud);
            sum += m_slow[b] * c * c;
        }
    }
    return sum;
}

double ToneWatch::WindowPower(double offsetHz) const
{
    const double binHz = m_rate / kSize;
    double sum = 0.0;
    for (double centre : {m_mark + offsetHz, m_space + offsetHz}) {
        const int lo = std::max(1, static_cast<int>(std::ceil((centre - m_halfWidth) / binHz)));
        const int hi = std::min(static_cast<int>(kSize / 2) - 1, static_cast<int>(std::floor((centre + m_halfWidth) / binHz)));
        for (int b = lo; b <= hi; ++b)
            sum += m_power[b];
    }
    return sum;
}

void ToneWatch::Analyse()
{
    for (size_t i = 0; i < kSize; ++i)
        m_work[i] = std::complex<float>(m_ring[(m_fill + i) % kSize] * m_window[i], 0.0f);
    FftInPlace(m_work);
    // Averaging over about ten hops (1.3 s): steady enough for the squelch,
    // quick enough to follow a station that tunes up.
    ++m_blocks;
    const double a = std::max(0.12, 1.0 / m_blocks);
    // The tuning estimate averages longer (about 3 s): it must not wander.
    const double slow = std::max(0.04, 1.0 / m_blocks);
    for (size_t b = 0; b < kSize / 2; ++b) {
        const double p = std::norm(m_work[b]);
        m_power[b] += a * (p - m_power[b]);
        m_slow[b] += slow * (p - m_slow[b]);
    }

    const double binHz = m_rate / kSize;
    // Noise floor: median bin of the two flanks just outside the tuning
    // range. Close to the tones, so a receiver's passband (which drops
    // the noise far from them) does not make noise look like a signal.
    std::vector<double> floorBins;
    const double lowTone = std::min(m_mark, m_space) - RttyParams::kAfcRangeHz - m_halfWidth - 40.0;
    const double highTone = std::max(m_mark, m_space) + RttyParams::kAfcRangeHz + m_halfWidth + 40.0;
    const auto collect = [&](double from, double to) {
        floorBins.clear();
        for (size_t b = static_cast<size_t>(200 / binHz); b < std::min(kSize / 2, static_cast<size_t>(3800 / binHz)); ++b) {
            const double f = b * binHz;
            if ((f >= from && f < lowTone) || (f > highTone && f <= to))
                floorBins.push_back(m_power[b]);
        }
    };
    collect(lowTone - kFlankHz, highTone + kFlankHz);
    if (floorBins.size() < 20)
        collect(0.0, 1e9);   // tones near the band edge: the whole band
    if (floorBins.empty())
        return;
    std::nth_element(floorBins.begin(), floorBins.begin() + floorBins.size() / 2, floorBins.end());
    // The median of averaged chi-square bins sits a little below their mean.
    const double floorPerBin = std::max(1e-20, floorBins[floorBins.size() / 2] * 1.05);

    const double bins = 2.0 * (2.0 * m_halfWidth / binHz);
    if (m_afc) {
        double best = 0.0, bestPower = -1.0;
        std::vector<double> grid;
        for (double off = -RttyParams::kAfcRangeHz; off <= RttyParams::kAfcRangeHz + 1e-9; off += 1.0) {
            grid.push_back(ShapedPower(off));
            if (grid.back() > bestPower) {
                bestPower = grid.back();
                best = off;
            }
        }
        // Between grid points: the peak of a parabola through three.
        const size_t i = static_cast<size_t>(std::lround(best + RttyParams::kAfcRangeHz));
        if (i > 0 && i + 1 < grid.size()) {
            const double d = grid[i - 1] - 2.0 * grid[i] + grid[i + 1];
            if (d < 0.0)
                best += std::clamp(0.5 * (grid[i - 1] - grid[i + 1]) / d, -0.5, 0.5);
        }
        if (WindowPower(best) / (floorPerBin * bins) > kClose) {
            // Follow slowly; a station elsewhere (a jump held for several
            // estimates) is taken at once.
            if (std::fabs(best - m_offset) > 12.0) {
                if (++m_jumpVotes >= 3) {
                    m_offset = best;
                    m_jumpVotes = 0;
                }
            } else {
                m_jumpVotes = 0;
                m_offset += 0.3 * (best - m_offset);
            }
        }
    }
    m_ratio = WindowPower(m_afc ? m_offset : 0.0) / (floorPerBin * bins);
    // The ratio of this block alone, unaveraged: when a station stops, the
    // average takes seconds to fall, this one a block. Half a second of
    // blocks without the signal closes at once.
    double fast = 0.0;
    {
        const double centreOff = m_afc ? m_offset : 0.0;
        for (double centre : {m_mark + centreOff, m_space + centreOff}) {
            const int lo = std::max(1, static_cast<int>(std::ceil((centre - m_halfWidth) / binHz)));
            const int hi = std::min(static_cast<int>(kSize / 2) - 1, static_cast<int>(std::floor((centre + m_halfWidth) / binHz)));
            for (int b = lo; b <= hi; ++b)
                fast += std::norm(m_work[b]);
        }
        fast /= floorPerBin * bins;
    }
    m_quietBlocks = fast < kFastClose ? m_quietBlocks + 1 : 0;
    m_loudBlocks = fast > kOpen ? m_loudBlocks + 1 : 0;
    // Opening takes the average and the last two blocks; the first few
    // estimates are too noisy to open on.
    if (m_present)
        m_present = m_ratio > kClose && m_quietBlocks < kQuietBlocks;
    else
        m_present = m_blocks >= 4 && m_ratio > kOpen && m_loudBlocks >= 2;
}
