#include "modem/Waterfall.h"

#include "modem/AudioTap.h"
#include "modem/Fft.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// How fast the floor follows the median of the rows (per row).
constexpr double kFloorFollow = 0.1;
constexpr float kSilenceDb = -200.0f;
// Digital silence has no floor to speak of: never follow it below this.
constexpr double kLowestFloorDb = -130.0;

}  // namespace

Waterfall::Waterfall(int columns)
{
    SetColumns(columns);
}

void Waterfall::SetColumns(int columns)
{
    m_columns = std::max(1, columns);
    m_row.assign(static_cast<size_t>(m_columns), 0);
    m_columnDb.assign(static_cast<size_t>(m_columns), kSilenceDb);
    m_rate = 0.0;  // column-to-bin table is made again at the next row
}

double Waterfall::HzForColumn(int column) const
{
    return (column + 0.5) * kTopHz / m_columns;
}

int Waterfall::ColumnForHz(double hz) const
{
    if (!(hz >= 0.0) || hz > kTopHz)
        return -1;
    return std::min(m_columns - 1, static_cast<int>(hz * m_columns / kTopHz));
}

size_t Waterfall::FftSizeFor(double rate)
{
    size_t n = 256;
    while (n < AudioTap::kKeepSamples && static_cast<double>(n) < rate / 12.0)
        n <<= 1;
    return n;
}

void Waterfall::Prepare(double rate)
{
    if (rate == m_rate)
        return;
    m_rate = rate;
    m_size = FftSizeFor(rate);
    m_window.resize(m_size);
    for (size_t i = 0; i < m_size; ++i)
        m_window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / m_size));
    m_work.resize(m_size);
    const double binHz = rate / static_cast<double>(m_size);
    const size_t lastBin = m_size / 2 - 1;
    m_bins.resize(static_cast<size_t>(m_columns));
    for (int c = 0; c < m_columns; ++c) {
        const double lo = c * kTopHz / m_columns;
        const double hi = (c + 1) * kTopHz / m_columns;
        // Bins whose centre lies in the column; a column narrower than a bin
        // shows the bin nearest its centre.
        size_t first = static_cast<size_t>(std::ceil(lo / binHz));
        size_t last = static_cast<size_t>(std::ceil(hi / binHz));
        if (last <= first) {
            first = static_cast<size_t>(std::lround(HzForColumn(c) / binHz));
            last = first + 1;
        }
        first = std::min(first, lastBin);
        last = std::clamp(last, first + 1, lastBin + 1);
        m_bins[static_cast<size_t>(c)] = {first, last};
    }
}

bool Waterfall::Update(const AudioTap& tap)
{
    if (!tap.IsActive())
        return false;
    const double rate = tap.Rate();
    if (!(rate > 0.0))
        return false;
    uint64_t total = 0;
    const std::vector<float> recent = tap.Recent(FftSizeFor(rate), &total);
    const double mark = tap.MarkTone();
    const double space = tap.SpaceTone();
    m_markColumn = ColumnForHz(mark);
    m_spaceColumn = ColumnForHz(space);
    if (total == m_lastTotal)
        return false;
    m_lastTotal = total;
    ComputeRow(recent.data(), recent.size(), rate);
    return true;
}

void Waterfall::ComputeRow(const float* samples, size_t count, double rate)
{
    Prepare(rate);
    // The newest m_size samples, the start zero-filled while fewer have come.
    const size_t have = std::min(count, m_size);
    const size_t pad = m_size - have;
    const float* from = samples + (count - have);
    for (size_t i = 0; i < m_size; ++i)
        m_work[i] = std::complex<float>(i < pad ? 0.0f : from[i - pad] * m_window[i], 0.0f);
    FftInPlace(m_work);
    // A full-scale sine through the Hann window peaks at |X| = N/4: 0 dBFS.
    // The loudest bin of each column first, so that there is one logarithm
    // per column, not per bin.
    const float fullScale = static_cast<float>(m_size) / 4.0f;
    const float norm = 1.0f / (fullScale * fullScale);
    for (size_t c = 0; c < m_bins.size(); ++c) {
        const auto [first, last] = m_bins[c];
        float p = 0.0f;
        for (size_t k = first; k < last; ++k)
            p = std::max(p, std::norm(m_work[k]));
        p *= norm;
        m_columnDb[c] = p > 1e-20f ? 10.0f * std::log10(p) : kSilenceDb;
    }
    m_sorted = m_columnDb;
    std::nth_element(m_sorted.begin(), m_sorted.begin() + static_cast<std::ptrdiff_t>(m_sorted.size() / 2),
                     m_sorted.end());
    const double median = std::max<double>(m_sorted[m_sorted.size() / 2], kLowestFloorDb);
    m_floorDb = m_haveFloor ? m_floorDb + kFloorFollow * (median - m_floorDb) : median;
    m_haveFloor = true;
    const double dark = m_floorDb - kBelowFloorDb;
    const double scale = 255.0 / (kRangeDb + kBelowFloorDb);
    for (size_t c = 0; c < m_row.size(); ++c)
        m_row[c] = static_cast<uint8_t>(std::clamp((m_columnDb[c] - dark) * scale, 0.0, 255.0));
}
