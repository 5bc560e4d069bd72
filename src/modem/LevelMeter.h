#pragma once
// The arithmetic of an input level meter: readings of the peak sample level
// (0..1 of full scale, as AudioTap::TakePeak gives them) become a bar that
// jumps up at once and falls back slowly, a peak mark that holds a while,
// and a clipping flag that stays on long enough to be seen. Levels are in
// dB below full scale (dBFS), from kFloorDb to 0.
//
// Not thread-safe: one owner. Times are milliseconds of any steady clock.
#include <cstdint>

class LevelMeter {
public:
    static constexpr double kFloorDb = -60.0;
    static constexpr double kFallDbPerSecond = 20.0;
    static constexpr int64_t kHoldMs = 1500;
    static constexpr int64_t kClipHoldMs = 2000;

    // One reading: the highest sample level since the last one, and whether
    // a sample reached clipping.
    void Feed(float peak, bool clipped, int64_t nowMs);

    double LevelDb() const { return m_levelDb; }
    // The highest level of the last kHoldMs (then it falls like the bar).
    double HoldDb() const { return m_holdDb; }
    bool Clipping() const { return m_bClipping; }
    // Positions along the bar, 0 at kFloorDb to 1 at full scale.
    double Fraction() const { return ToFraction(m_levelDb); }
    double HoldFraction() const { return ToFraction(m_holdDb); }

    // 20·log10(peak), never below kFloorDb (silence reads kFloorDb).
    static double ToDbfs(float peak);
    static double ToFraction(double db);

private:
    double m_levelDb = kFloorDb;
    double m_holdDb = kFloorDb;
    int64_t m_lastMs = 0;
    int64_t m_holdSinceMs = 0;
    int64_t m_clipSinceMs = 0;
    bool m_bStarted = false;
    bool m_bClipping = false;
};
