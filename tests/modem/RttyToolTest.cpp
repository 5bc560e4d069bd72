// The veltran-rtty tool: a round trip through its three commands, and clear
// failures on bad input.
#include "ModemTestSignals.h"
#include "modem/AudioFile.h"
#include "modem/BaudotText.h"
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

// Unshift on space is on by default in both directions; --no-usos keeps the
// shift across a space, --usos is still accepted.
TEST(RttyTool, UnshiftsOnSpaceUnlessToldNot)
{
    ScratchDir dir;
    // A sender that relies on the receiver's unshift on space: FIGS again
    // after a space, no LTRS after figures.
    const std::string usosSender = dir.Path() + "/usos-sender.wav";
    {
        const std::string codes = EncodeBaudotText("247 ", false) + EncodeBaudotText("TU K3BSD", false).substr(1);
        std::string error;
        ASSERT_TRUE(WriteAudioFile(usosSender, modemtest::Modulate(RttyParams{}, {codes.begin(), codes.end()}),
                                   8000.0, false, error))
            << error;
    }
    struct Case {
        std::vector<std::string> encode;   // empty: decode the usos sender's file
        std::vector<std::string> decode;
        const char* text;
    };
    const Case cases[] = {
        {{}, {}, "247 TU K3BSD"},
        {{}, {"--usos"}, "247 TU K3BSD"},
        {{}, {"--no-usos"}, "247 57 (3BSD"},
        // Figures after a space reach a receiver that unshifts on space.
        {{"encode"}, {"--usos"}, "TU 599 001 5NN"},
        {{"encode", "--no-usos"}, {"--usos"}, "TU 599 PPQ TNN"},
        {{"encode", "--no-usos"}, {"--no-usos"}, "TU 599 001 5NN"},
    };
    for (const Case& c : cases) {
        std::string file = usosSender;
        if (!c.encode.empty()) {
            file = dir.Path() + "/encoded.wav";
            std::vector<std::string> enc = c.encode;
            enc.push_back(file);
            ASSERT_EQ(Tool(enc, "TU 599 001 5NN\n").rc, 0);
        }
        std::vector<std::string> dec{"decode"};
        dec.insert(dec.end(), c.decode.begin(), c.decode.end());
        dec.push_back(file);
        EXPECT_EQ(Tool(dec).out, std::string(c.text) + (c.encode.empty() ? "" : "\n")) << c.text;
    }
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
                            "--usos", "--no-usos", "--snr", "--fading", "--offset", "--seed"})
        EXPECT_NE(help.out.find(opt), std::string::npos) << opt;
}

}  // namespace
