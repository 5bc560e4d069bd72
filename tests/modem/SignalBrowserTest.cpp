// The signal browser: several stations in one passband found and copied
// each on its own, silence that stays silent, signals that age out, the call
// signs picked from the text, and the tool's scan command.
#include "../../bench/EditDistance.h"
#include "modem/AudioFile.h"
#include "modem/CallSigns.h"
#include "modem/RttyTool.h"
#include "modem/SignalBrowser.h"
#include "support/ScratchDir.h"
#include "support/SignalMix.h"

#include <gtest/gtest.h>
#include <cmath>
#include <map>
#include <sstream>

namespace {

constexpr double kRate = 8000.0;

struct Browsed {
    std::map<int, std::string> text;   // per signal id, its lines joined
    std::map<int, double> mark;
    std::vector<BrowsedSignal> signals;   // at the end, before Flush
    size_t chars = 0;
};

Browsed Browse(const std::vector<float>& audio, double rate = kRate)
{
    SignalBrowser browser(RttyParams{}, rate);
    Browsed b;
    for (size_t i = 0; i < audio.size() + 4096; i += 4096) {
        if (i < audio.size())
            browser.Process(audio.data() + i, std::min<size_t>(4096, audio.size() - i));
        else {
            b.signals = browser.Signals();
            browser.Flush();
        }
        for (const BrowsedLine& line : browser.TakeLines()) {
            b.text[line.id] += line.text + "\n";
            b.mark[line.id] = line.markHz;
            b.chars += line.text.size();
        }
    }
    return b;
}

double Cer(const std::string& sent, const std::string& got)
{
    return 100.0 * static_cast<double>(EditDistance(sent, got)) / static_cast<double>(sent.size());
}

// Two stations close together: both found once and copied, each on its own
// tone; a weak one is still copied beside one 20 dB stronger.
TEST(SignalBrowser, NeighboursAreFoundAndCopiedEachOnItsOwn)
{
    const struct {
        const char* name;
        double secondHz, secondDb;
        double cer[2];   // the most each may have, percent (negative: not checked)
    } cases[] = {
        {"two at +10 dB, 250 Hz apart", 1525.0, 0.0, {1.0, 1.0}},
        {"a weak one beside one 20 dB stronger, 300 Hz apart", 1575.0, 20.0, {2.0, -1.0}},
    };
    for (const auto& c : cases) {
        const std::string a = signalmix::ContestText(240, 1), b = signalmix::ContestText(240, 2);
        const auto audio = signalmix::Mix({{1275.0, a, 0.0, 0.0}, {c.secondHz, b, c.secondDb, 0.6}}, kRate, 10.0, 7);
        const Browsed got = Browse(audio);
        ASSERT_EQ(got.signals.size(), 2u) << c.name;
        const double tones[] = {1275.0, c.secondHz};
        const std::string* sent[] = {&a, &b};
        for (size_t k = 0; k < 2; ++k) {
            const BrowsedSignal& s = got.signals[k];
            EXPECT_NEAR(s.markHz, tones[k], 8.0) << c.name;
            EXPECT_NEAR(s.snrDb, 10.0 + (k ? c.secondDb : 0.0), 6.0) << c.name;
            if (c.cer[k] < 0)
                continue;
            ASSERT_TRUE(got.text.count(s.id)) << c.name;
            EXPECT_LE(Cer(*sent[k], got.text.at(s.id)), c.cer[k]) << c.name << "\n" << got.text.at(s.id);
            ASSERT_FALSE(s.calls.empty()) << c.name;
            EXPECT_NE(sent[k]->find(s.calls.back()), std::string::npos) << s.calls.back();
        }
    }
}

TEST(SignalBrowser, NoiseAlonePrintsNothingAndASignalThatStopsAgesOut)
{
    const auto audio = signalmix::Mix({{2125.0, "CQ TEST DE DL1ABC DL1ABC K\n", 0.0, 20.0}}, kRate, 10.0, 3,
                                      SignalBrowser::kAgeOutSeconds + 3.0);
    SignalBrowser browser(RttyParams{}, kRate);
    size_t noiseChars = 0;
    bool found = false;
    for (size_t i = 0; i < audio.size(); i += 4096) {
        browser.Process(audio.data() + i, std::min<size_t>(4096, audio.size() - i));
        const double t = browser.Seconds();
        if (t < 20.0) {
            EXPECT_TRUE(browser.Signals().empty()) << t;
            for (const BrowsedLine& line : browser.TakeLines())
                noiseChars += line.text.size();
        }
        for (const BrowsedSignal& s : browser.Signals())
            found = found || s.line == "CQ TEST DE DL1ABC DL1ABC K";
    }
    EXPECT_LE(noiseChars, 1u);
    EXPECT_TRUE(found);
    EXPECT_TRUE(browser.Signals().empty());
}

TEST(CallSigns, ShapeOfACall)
{
    for (const char* call : {"K3BSD", "DL1ABC", "W1AW", "2E0XYZ", "JA1A", "A71AB", "VE3ABCD"})
        EXPECT_TRUE(IsCallSign(call)) << call;
    for (const char* word : {"599", "5NN", "001", "CQ", "TEST", "K3", "DL1", "QRZ", "K3BSDXYZ", "DL12AB", "dl1abc"})
        EXPECT_FALSE(IsCallSign(word)) << word;
    EXPECT_EQ(FindCallSigns("CQ TEST DL1ABC/P DE F/K3BSD 599 001 5NN K3BSD"),
              (std::vector<std::string>{"DL1ABC", "K3BSD"}));
}

TEST(RttyTool, ScanPrintsEachLineWithItsMarkTone)
{
    ScratchDir dir;
    const std::string file = dir.Path() + "/band.wav";
    const auto audio = signalmix::Mix(
        {{1585.0, "CQ TEST DE DL1ABC DL1ABC\n", 0.0, 0.0}, {2125.0, "K3BSD DE W1AW 599 001 001 K\n", -3.0, 0.4}},
        48000.0, 15.0, 5);
    std::string error;
    ASSERT_TRUE(WriteAudioFile(file, audio, 48000.0, true, error)) << error;
    std::istringstream in;
    std::ostringstream out, err;
    ASSERT_EQ(RunRttyTool({"scan", file}, in, out, err), 0) << err.str();
    std::map<std::string, double> lines;   // text -> tone printed
    std::istringstream printed(out.str());
    for (std::string line; std::getline(printed, line);) {
        const size_t space = line.find(' ');
        ASSERT_NE(space, std::string::npos) << line;
        lines[line.substr(space + 1)] = std::stod(line.substr(0, space));
    }
    ASSERT_EQ(lines.size(), 2u) << out.str();
    EXPECT_NEAR(lines["CQ TEST DE DL1ABC DL1ABC"], 1585.0, 8.0) << out.str();
    EXPECT_NEAR(lines["K3BSD DE W1AW 599 001 001 K"], 2125.0, 8.0) << out.str();

    std::ostringstream out2, err2;
    EXPECT_EQ(RunRttyTool({"scan", "--mark", "1000", file}, in, out2, err2), 2);
}

}  // namespace
