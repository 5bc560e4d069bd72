#pragma once
// The rows of the tuning display: the spectrum of the newest capture audio
// from 0 to kTopHz, one intensity (0..255) per column, with the columns of
// the mark and space tones. A row is made only when new audio has come, so
// a display that asks 20 times a second does no work while the sound card
// is quiet or closed.
//
// Intensity follows the noise floor (the median column of recent rows), so
// a weak signal shows the same against a quiet band as against a noisy one:
// the floor is dark, a tone kRangeDb above it is full white.
//
// Not thread-safe: one owner (the display, on the window's thread). The tap
// it reads is thread-safe.
#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

class AudioTap;

class Waterfall {
public:
    static constexpr double kTopHz = 3000.0;
    static constexpr double kRangeDb = 50.0;
    // Dark this far below the floor, so that noise shows as a faint texture.
    static constexpr double kBelowFloorDb = 6.0;

    explicit Waterfall(int columns = 512);

    // Columns across 0..kTopHz (at least 1); the width of the display.
    void SetColumns(int columns);
    int Columns() const { return m_columns; }
    // The frequency at the centre of `column`.
    double HzForColumn(int column) const;
    // The column that shows `hz`; -1 outside 0..kTopHz.
    int ColumnForHz(double hz) const;

    // A new row from the tap's newest audio, and the tone columns; false when
    // no audio came since the last row (or the tap is closed): Row() stays.
    bool Update(const AudioTap& tap);
    // A row from `samples` (the newest last) at `rate`, as Update makes it.
    void ComputeRow(const float* samples, size_t count, double rate);

    const std::vector<uint8_t>& Row() const { return m_row; }
    int MarkColumn() const { return m_markColumn; }
    int SpaceColumn() const { return m_spaceColumn; }
    // The FFT length used at `rate`: 12 Hz per bin or finer (4096 points,
    // 85 ms, at the sound-card port's 48 kHz: about one 20 Hz frame).
    static size_t FftSizeFor(double rate);

private:
    void Prepare(double rate);

    int m_columns = 1;
    double m_rate = 0.0;
    size_t m_size = 0;
    std::vector<float> m_window;
    std::vector<std::complex<float>> m_work;
    // Per column: the first and one-past-last FFT bin it shows.
    std::vector<std::pair<size_t, size_t>> m_bins;
    std::vector<float> m_columnDb;
    std::vector<float> m_sorted;
    std::vector<uint8_t> m_row;
    double m_floorDb = 0.0;
    bool m_haveFloor = false;
    uint64_t m_lastTotal = 0;
    int m_markColumn = -1;
    int m_spaceColumn = -1;
};
