// The waterfall's rows and the level meter's arithmetic, without a window.
#include "modem/AudioTap.h"
#include "modem/LevelMeter.h"
#include "modem/Waterfall.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

std::vector<float> ToneInNoise(double rate, double hz, size_t n, float amplitude, float noise, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<float> gauss(0.0f, noise);
    std::vector<float> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * i / rate)) + gauss(rng);
    return out;
}

size_t Brightest(const std::vector<uint8_t>& row)
{
    return static_cast<size_t>(std::max_element(row.begin(), row.end()) - row.begin());
}

TEST(Waterfall, AToneLightsItsOwnColumnAndLeavesTheBandDark)
{
    struct Case {
        double rate;
        int columns;
        double hz;
    };
    // Columns wider and narrower than an FFT bin; tones near both ends.
    const Case cases[] = {{8000, 300, 2125}, {8000, 1200, 1275}, {48000, 600, 2295}, {11025, 512, 150},
                          {8000, 640, 2990}};
    for (const Case& c : cases) {
        Waterfall w(c.columns);
        const std::vector<float> audio = ToneInNoise(c.rate, c.hz, 16384, 0.1f, 0.01f, 7);
        w.ComputeRow(audio.data(), audio.size(), c.rate);
        const std::vector<uint8_t>& row = w.Row();
        ASSERT_EQ(row.size(), static_cast<size_t>(c.columns));
        const int expected = w.ColumnForHz(c.hz);
        const size_t bright = Brightest(row);
        EXPECT_NEAR(static_cast<double>(bright), expected, c.columns / 300.0 + 0.5) << c.rate << " " << c.hz;
        EXPECT_GT(row[bright], 192) << c.hz;  // about 40 dB over the noise
        // 300 Hz off the tone is only noise.
        const double off = c.hz > 1500 ? c.hz - 300 : c.hz + 300;
        EXPECT_LT(row[static_cast<size_t>(w.ColumnForHz(off))], 128) << c.hz;
    }
}

TEST(Waterfall, ColumnsAndFrequenciesMapBothWays)
{
    Waterfall w(600);
    for (int c : {0, 1, 299, 425, 599})
        EXPECT_EQ(w.ColumnForHz(w.HzForColumn(c)), c);
    EXPECT_DOUBLE_EQ(w.HzForColumn(425), 2127.5);
    EXPECT_EQ(w.ColumnForHz(Waterfall::kTopHz), 599);
    EXPECT_EQ(w.ColumnForHz(3000.1), -1);
    EXPECT_EQ(w.ColumnForHz(-1.0), -1);
}

TEST(Waterfall, RowsComeFromTheTapOnlyWhenNewAudioCame)
{
    AudioTap tap;
    Waterfall w(300);
    EXPECT_FALSE(w.Update(tap));  // closed
    tap.Open(8000, 1275, 1445);
    EXPECT_FALSE(w.Update(tap));  // nothing pushed yet
    EXPECT_EQ(w.MarkColumn(), w.ColumnForHz(1275));
    EXPECT_EQ(w.SpaceColumn(), w.ColumnForHz(1445));
    const std::vector<float> audio = ToneInNoise(8000, 1445, 400, 0.2f, 0.01f, 3);
    tap.Push(audio.data(), audio.size());
    ASSERT_TRUE(w.Update(tap));
    EXPECT_NEAR(static_cast<double>(Brightest(w.Row())), w.ColumnForHz(1445), 1.0);
    EXPECT_FALSE(w.Update(tap));
    tap.SetTones(1300, 1470);  // AFC moved the tones
    w.Update(tap);
    EXPECT_EQ(w.MarkColumn(), w.ColumnForHz(1300));
}

TEST(LevelMeter, BarFallsHoldLingersAndClippingStaysVisible)
{
    EXPECT_NEAR(LevelMeter::ToDbfs(0.5f), -6.02, 0.01);
    EXPECT_EQ(LevelMeter::ToDbfs(0.0f), LevelMeter::kFloorDb);
    EXPECT_EQ(LevelMeter::ToDbfs(1e-9f), LevelMeter::kFloorDb);
    EXPECT_EQ(LevelMeter::ToFraction(0.0), 1.0);

    LevelMeter m;
    m.Feed(1.0f, true, 0);
    EXPECT_TRUE(m.Clipping());
    EXPECT_DOUBLE_EQ(m.Fraction(), 1.0);
    // Silence: the bar falls at its rate, the hold mark stays, the clip flag too.
    m.Feed(0.0f, false, 1000);
    EXPECT_NEAR(m.LevelDb(), -LevelMeter::kFallDbPerSecond, 1e-9);
    EXPECT_DOUBLE_EQ(m.HoldDb(), 0.0);
    EXPECT_TRUE(m.Clipping());
    m.Feed(0.0f, false, LevelMeter::kClipHoldMs + 1);
    EXPECT_FALSE(m.Clipping());
    EXPECT_LT(m.HoldDb(), 0.0);
    m.Feed(0.0f, false, 10000);
    EXPECT_DOUBLE_EQ(m.LevelDb(), LevelMeter::kFloorDb);
    // A new peak shows at once.
    m.Feed(0.1f, false, 10050);
    EXPECT_NEAR(m.LevelDb(), -20.0, 1e-6);
    EXPECT_NEAR(m.HoldDb(), -20.0, 1e-6);
}

}  // namespace
