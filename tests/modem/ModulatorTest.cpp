// The modulator's phase continuity, timing and spectrum.
#include "modem/Fft.h"
#include "modem/RttyModulator.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace {

std::vector<float> RandomSignal(const RttyParams& p, size_t chars, double rate)
{
    RttyModulator mod(p, rate);
    std::mt19937_64 rng(1);
    for (size_t i = 0; i < chars; ++i)
        mod.QueueCode(static_cast<uint32_t>(rng() % 32));
    std::vector<float> out(mod.PendingSamples());
    mod.Render(out.data(), out.size());
    return out;
}

TEST(Modulator, PhaseNeverJumps)
{
    RttyParams p;
    p.shiftHz = 850.0;
    p.markHz = 1200.0;
    const std::vector<float> x = RandomSignal(p, 40, 8000.0);
    // A sine of peak A at most f Hz moves at most 2 A sin(pi f / fs) a sample.
    const double limit = 2.0 * 0.5 * std::sin(std::numbers::pi * 2050.0 / 8000.0) + 1e-4;
    for (size_t i = 1; i < x.size(); ++i)
        ASSERT_LE(std::fabs(x[i] - x[i - 1]), limit) << i;
}

TEST(Modulator, FrameLengthsAreExact)
{
    RttyParams p;
    RttyModulator mod(p, 8000.0);
    double end = 0.0;
    for (int i = 0; i < 1000; ++i)
        end = mod.QueueCode(4);
    // No rounding to whole samples accumulates over a long transmission.
    EXPECT_NEAR(end, 1000 * 7.5 * 8000.0 / 45.45, 1e-6);
    EXPECT_EQ(mod.PendingSamples(), static_cast<size_t>(std::ceil(end)));
}

TEST(Modulator, NinetyNinePercentOfPowerWithin250HzAt45BaudAnd170Hz)
{
    RttyParams p;
    const double rate = 8000.0;
    const std::vector<float> x = RandomSignal(p, 400, rate);
    constexpr size_t kN = 8192;
    std::vector<double> power(kN / 2, 0.0);
    std::vector<std::complex<float>> buf(kN);
    for (size_t start = 0; start + kN <= x.size(); start += kN / 2) {
        for (size_t i = 0; i < kN; ++i)
            buf[i] = x[start + i] * static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kN));
        FftInPlace(buf);
        for (size_t b = 0; b < kN / 2; ++b)
            power[b] += std::norm(buf[b]);
    }
    double total = 0.0, inside = 0.0;
    const double centre = p.markHz + p.shiftHz / 2.0;
    for (size_t b = 0; b < kN / 2; ++b) {
        total += power[b];
        if (std::fabs(b * rate / kN - centre) <= 125.0)
            inside += power[b];
    }
    EXPECT_GE(inside / total, 0.99);
}

}  // namespace
