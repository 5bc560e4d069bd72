// The demodulator on clean and impaired audio made by our own modulator and
// channel simulator.
#include "ModemTestSignals.h"
#include "modem/ChannelSimulator.h"

#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <utility>

using namespace modemtest;

namespace {

// Every code, with both shift codes among them, so a character in either
// shift is covered; then the same again read after FIGS.
std::vector<uint32_t> AllBaudotCodes()
{
    std::vector<uint32_t> codes{31};
    for (uint32_t c = 0; c < 32; ++c)
        codes.push_back(c);
    codes.push_back(27);
    for (uint32_t c = 0; c < 32; ++c)
        if (c != 31)
            codes.push_back(c);
    return codes;
}

struct CleanCase {
    double baud;
    double shift;
};

class CleanBaudot : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanBaudot, EveryCodeComesThrough)
{
    RttyParams p;
    p.baud = GetParam().baud;
    p.shiftHz = GetParam().shift;
    p.markHz = GetParam().shift > 400 ? 1200.0 : 2125.0;
    const std::vector<uint32_t> codes = AllBaudotCodes();
    EXPECT_EQ(Demodulate(p, Modulate(p, codes)), codes);
}

std::vector<CleanCase> AllSpeedsAndShifts()
{
    std::vector<CleanCase> cases;
    for (double baud : {45.45, 50.0, 56.88, 74.2, 100.0, 110.0})
        for (double shift : {170.0, 200.0, 425.0, 850.0})
            cases.push_back({baud, shift});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(SpeedsAndShifts, CleanBaudot, ::testing::ValuesIn(AllSpeedsAndShifts()));

struct FramingCase {
    const char* name;
    int bits;
    double stop;
    bool reverse;
    double shift;
};

class Framing : public ::testing::TestWithParam<FramingCase> {};

TEST_P(Framing, CodesComeThrough)
{
    const FramingCase& c = GetParam();
    RttyParams p;
    p.baud = c.bits == 5 ? 45.45 : 110.0;
    p.dataBits = c.bits;
    p.stopBits = c.stop;
    p.reverse = c.reverse;
    p.shiftHz = c.shift;
    std::vector<uint32_t> codes;
    if (c.bits == 5)
        codes = AllBaudotCodes();
    else
        for (uint32_t ch = 1; ch < (c.bits == 7 ? 128u : 256u); ch += c.bits == 7 ? 1 : 3)
            codes.push_back(ch);
    EXPECT_EQ(Demodulate(p, Modulate(p, codes)), codes);
}

INSTANTIATE_TEST_SUITE_P(
    All, Framing,
    ::testing::Values(FramingCase{"OneStop", 5, 1.0, false, 170}, FramingCase{"TwoStop", 5, 2.0, false, 170},
                      FramingCase{"Reverse", 5, 1.5, true, 170}, FramingCase{"SpaceBelowMark", 5, 1.5, false, -170},
                      FramingCase{"Ascii7", 7, 1.0, false, 170}, FramingCase{"Ascii8", 8, 2.0, false, 170}),
    [](const auto& info) { return std::string(info.param.name); });

// A reversed station heard without reverse set decodes as the complement of
// every bit, not as the text: the setting matters.
TEST(Demodulator, ReverseSettingMatters)
{
    RttyParams tx;
    tx.reverse = true;
    RttyParams rx;
    const std::vector<uint32_t> codes{10, 21, 10, 21, 4, 16, 1};
    EXPECT_NE(Demodulate(rx, Modulate(tx, codes)), codes);
}

std::vector<uint32_t> RandomCodes(size_t n, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::vector<uint32_t> codes(n);
    for (uint32_t& c : codes)
        c = static_cast<uint32_t>(rng() % 32);
    return codes;
}

TEST(Demodulator, FollowsMistuneWithinAfcRange)
{
    RttyParams p;
    const std::vector<uint32_t> codes = RandomCodes(60, 3);
    const std::vector<float> clean = Modulate(p, codes);
    for (double offset : {-45.0, 40.0}) {
        ChannelSettings ch;
        ch.offsetHz = offset;
        ch.snrDb = 20.0;
        const std::vector<uint32_t> got = Demodulate(p, ChannelSimulator::Apply(clean, 8000.0, ch));
        // The AFC needs a moment on the leading idle; the text must then come whole.
        ASSERT_GE(got.size(), codes.size()) << offset;
        EXPECT_EQ(std::vector<uint32_t>(got.end() - codes.size(), got.end()), codes) << offset;
    }
}

TEST(Demodulator, NoiseAlonePrintsAlmostNothing)
{
    std::mt19937_64 rng(11);
    std::normal_distribution<float> normal(0.0f, 0.3f);
    std::vector<float> noise(8000 * 60);
    for (float& v : noise)
        v = normal(rng);
    RttyParams p;
    EXPECT_LE(Demodulate(p, noise).size(), 2u);
}

TEST(Demodulator, ResamplesFromTheSourceRate)
{
    RttyParams p;
    const std::vector<uint32_t> codes = RandomCodes(40, 5);
    for (double rate : {44100.0, 48000.0, 11025.0})
        EXPECT_EQ(Demodulate(p, Modulate(p, codes, rate), rate), codes) << rate;
}

}  // namespace

namespace {

TEST(Demodulator, PausesOfAnyLengthBetweenCharactersAreNotReadAsBits)
{
    // A sender between two writes, or an operator typing, leaves steady mark
    // of any length between characters; the character after it must not be
    // read from the pause.
    RttyParams p;
    p.baud = 100;
    for (double gap : {0.005, 0.013, 0.03, 0.05, 0.075}) {
        RttyModulator mod(p, 8000.0);
        mod.QueueMark(0.7);
        for (uint32_t c : {31u, 10u, 21u, 10u})
            mod.QueueCode(c);
        mod.QueueMark(gap);
        mod.QueueCode(21);
        mod.QueueMark(0.4);
        std::vector<float> audio(mod.PendingSamples());
        mod.Render(audio.data(), audio.size());
        EXPECT_EQ(Demodulate(p, audio), (std::vector<uint32_t>{31, 10, 21, 10, 21})) << gap;
    }
}

}  // namespace

namespace {

// A recording that starts just ahead of the text: the first start bit
// follows one stop element's worth of mark, before the squelch has had its
// first say; the first character must still print.
TEST(Demodulator, FirstCharacterAfterAShortLeaderIsCopied)
{
    const std::vector<uint32_t> codes{14, 1, 16, 3, 10, 5, 5, 9};
    const std::pair<double, double> speeds[] = {{45.45, 1.5}, {75.0, 1.0}, {50.0, 2.0}};   // baud, stop bits
    for (const auto& [baud, stop] : speeds) {
        RttyParams p;
        p.baud = baud;
        p.stopBits = stop;
        RttyModulator mod(p, 8000.0);
        mod.QueueMark(stop / baud);
        for (uint32_t c : codes)
            mod.QueueCode(c);
        mod.QueueMark(0.7);
        std::vector<float> audio(mod.PendingSamples());
        mod.Render(audio.data(), audio.size());
        EXPECT_EQ(Demodulate(p, audio), codes) << baud;
    }
}

// One bad sample (from a damaged file or a sound card driver) costs at most
// the character it falls in and the next: at the source rate or resampled.
TEST(Demodulator, OneBadSampleCostsAtMostTwoCharacters)
{
    RttyParams p;
    const std::vector<uint32_t> codes = RandomCodes(120, 9);
    const struct {
        float value;
        double rate;
        double at;   // fraction of the signal
    } cases[] = {
        {std::numeric_limits<float>::infinity(), 8000.0, 0.3}, {std::numeric_limits<float>::quiet_NaN(), 48000.0, 0.5},
        {1e12f, 8000.0, 0.41}, {1e6f, 48000.0, 0.3}, {-1e6f, 8000.0, 0.62},
    };
    for (const auto& c : cases) {
        std::vector<float> audio = Modulate(p, codes, c.rate);
        audio[static_cast<size_t>(c.at * static_cast<double>(audio.size()))] = c.value;
        const std::vector<uint32_t> got = Demodulate(p, audio, c.rate);
        ASSERT_EQ(got.size(), codes.size()) << c.value;
        size_t wrong = 0;
        for (size_t i = 0; i < codes.size(); ++i)
            wrong += got[i] != codes[i];
        EXPECT_LE(wrong, 2u) << c.value << " at " << c.rate;
    }
}

}  // namespace
