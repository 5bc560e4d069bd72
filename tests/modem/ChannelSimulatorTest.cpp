// The channel simulator's noise level, determinism and fading.
#include "ModemTestSignals.h"
#include "modem/ChannelSimulator.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace modemtest;

namespace {

std::vector<float> TestSignal()
{
    RttyParams p;
    std::vector<uint32_t> codes;
    for (int i = 0; i < 60; ++i)
        codes.push_back(static_cast<uint32_t>((i * 7) % 32));
    return Modulate(p, codes);
}

TEST(ChannelSimulator, NoiseMeetsTheRequestedSnrWithinATenthOfADecibel)
{
    const std::vector<float> clean = TestSignal();
    const double ps = ChannelSimulator::KeyedPower(clean, 8000.0);
    for (double snr : {-10.0, 0.0, 12.5}) {
        ChannelSettings s;
        s.snrDb = snr;
        s.seed = 7;
        const std::vector<float> noisy = ChannelSimulator::Apply(clean, 8000.0, s);
        ASSERT_EQ(noisy.size(), clean.size());
        double noise = 0.0;
        for (size_t i = 0; i < clean.size(); ++i)
            noise += std::pow(static_cast<double>(noisy[i]) - clean[i], 2.0);
        noise /= static_cast<double>(clean.size());
        // Noise in 3 kHz of the 4 kHz the samples carry.
        const double measured = 10.0 * std::log10(ps / (noise * 3000.0 / 4000.0));
        EXPECT_NEAR(measured, snr, 0.1);
    }
}

TEST(ChannelSimulator, SameSeedSameOutputAndNeverClipped)
{
    const std::vector<float> clean = TestSignal();
    ChannelSettings s;
    s.snrDb = -15.0;
    s.fading = FadingPreset("flutter");
    s.offsetHz = 12.0;
    const std::vector<float> a = ChannelSimulator::Apply(clean, 8000.0, s);
    EXPECT_EQ(a, ChannelSimulator::Apply(clean, 8000.0, s));
    s.seed = 2;
    EXPECT_NE(a, ChannelSimulator::Apply(clean, 8000.0, s));
    float peak = 0.0f;
    for (float v : a)
        peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 1.0f);   // float samples keep peaks beyond full scale
}

TEST(ChannelSimulator, FadingKeepsTheMeanPowerAndVariesIt)
{
    // A steady carrier through "poor": the envelope moves, the average stays.
    std::vector<float> carrier(8000 * 120);
    for (size_t i = 0; i < carrier.size(); ++i)
        carrier[i] = 0.5f * static_cast<float>(std::sin(2.0 * 3.14159265358979 * 2125.0 * i / 8000.0));
    ChannelSettings s;
    s.noise = false;
    s.fading = FadingPreset("poor");
    const std::vector<float> faded = ChannelSimulator::Apply(carrier, 8000.0, s);
    double total = 0.0, lowest = 1e9, highest = 0.0;
    for (size_t b = 0; b + 800 <= faded.size(); b += 800) {
        double p = 0.0;
        for (size_t i = b; i < b + 800; ++i)
            p += static_cast<double>(faded[i]) * faded[i];
        total += p;
        lowest = std::min(lowest, p / 800);
        highest = std::max(highest, p / 800);
    }
    const double mean = total / static_cast<double>(faded.size());
    EXPECT_NEAR(10.0 * std::log10(mean / 0.125), 0.0, 3.0);
    EXPECT_GT(highest / lowest, 10.0);
    EXPECT_FALSE(FadingPreset("nonsense"));
}

}  // namespace
