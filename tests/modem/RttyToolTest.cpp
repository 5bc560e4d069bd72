// The veltran-rtty tool: a round trip through its three commands, and clear
// failures on bad input.
#include "modem/RttyTool.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

struct ToolRun {
    int rc;
    std::string out;
    std::string err;
};

ToolRun Tool(std::vector<std::string> args, const std::string& input = {})
{
    std::istringstream in(input);
    std::ostringstream out, err;
    const int rc = RunRttyTool(args, in, out, err);
    return {rc, out.str(), err.str()};
}

TEST(RttyTool, EncodeChannelDecodeRoundTrip)
{
    ScratchDir dir;
    const std::string clean = dir.Path() + "/clean.wav", noisy = dir.Path() + "/noisy.wav";
    const std::vector<std::string> opts{"--baud", "75", "--shift", "-425", "--mark", "1800", "--reverse", "--stop", "1"};
    std::vector<std::string> enc{"encode", "--rate", "44100"};
    enc.insert(enc.end(), opts.begin(), opts.end());
    enc.push_back(clean);
    ASSERT_EQ(Tool(enc, "CQ TEST DE N0CALL 599 014\n").rc, 0);
    ASSERT_EQ(Tool({"channel", "--snr", "5", "--offset", "-20", "--seed", "4", clean, noisy}).rc, 0);
    std::vector<std::string> dec{"decode"};
    dec.insert(dec.end(), opts.begin(), opts.end());
    dec.push_back(noisy);
    EXPECT_EQ(Tool(dec).out, "CQ TEST DE N0CALL 599 014\n");
}

TEST(RttyTool, BadInputFailsWithAMessage)
{
    ScratchDir dir;
    const std::string garbage = dir.Write("garbage.wav", "not a sound file");
    struct Case {
        std::vector<std::string> args;
        int rc;
        const char* says;
    };
    const Case cases[] = {
        {{}, 2, "a command is needed"},
        {{"play", "x.wav"}, 2, "unknown command"},
        {{"decode", "--baud", "fast", "x.wav"}, 2, "needs a number"},
        {{"decode", "--bits", "6", "x.wav"}, 2, "--bits must be"},
        {{"decode", "--stop", "3", "x.wav"}, 2, "--stop must be"},
        {{"decode", "--frobnicate", "x.wav"}, 2, "unknown option"},
        {{"decode", "--rate", "8000", "x.wav"}, 2, "does not apply"},
        {{"decode", "--mark", "5000", "x.wav"}, 2, "out of range"},
        {{"decode"}, 2, "exactly one FILE"},
        {{"decode", dir.Path() + "/missing.wav"}, 1, "missing.wav"},
        {{"decode", garbage}, 1, "garbage.wav"},
        {{"channel", "in.wav", "out.wav"}, 2, "needs --snr"},
        {{"channel", "--snr", "0", "--fading", "awful", "in.wav", "out.wav"}, 2, "unknown fading preset"},
        {{"channel", "--snr", "0", "--baud", "50", "in.wav", "out.wav"}, 2, "does not apply"},
        {{"encode", "/nonexistent-dir/out.wav"}, 1, "out.wav"},
    };
    for (const Case& c : cases) {
        const ToolRun r = Tool(c.args, "RYRY");
        EXPECT_EQ(r.rc, c.rc) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    const ToolRun help = Tool({"decode", "--help"});
    EXPECT_EQ(help.rc, 0);
    for (const char* opt : {"--baud", "--shift", "--mark", "--reverse", "--stop", "--bits", "--rate", "--no-afc",
                            "--usos", "--snr", "--fading", "--offset", "--seed"})
        EXPECT_NE(help.out.find(opt), std::string::npos) << opt;
}

}  // namespace
