// The demodulator and the tool against senders that are not our own
// modulator, so a fault made the same way on both sides (mark and space
// swapped, a stop length) cannot pass: a plain tone-switching sender, and
// minimodem's transmitter and receiver.
#include "ModemTestSignals.h"
#include "modem/AudioFile.h"
#include "modem/RttyTool.h"
#include "support/Minimodem.h"
#include "support/ScratchDir.h"
#include "support/ToneSender.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace modemtest;

namespace {

TEST(IndependentSender, ToneSwitchingSenderWithPhaseJumpsIsCopied)
{
    // Every code, in both shifts.
    std::vector<uint32_t> codes{31};
    for (uint32_t c = 0; c < 32; ++c)
        codes.push_back(c);
    const struct {
        const char* name;
        double sentBaud;     // the sender's own speed
        double heardBaud;    // what the receiver is set to
        double stop;
        bool reversed;       // mark on the upper tone
    } cases[] = {
        {"45.45 Bd, 1.5 stop", 45.45, 45.45, 1.5, false}, {"45.45 Bd, 1 stop", 45.45, 45.45, 1.0, false},
        {"45.45 Bd, 2 stop", 45.45, 45.45, 2.0, false},   {"45.0 Bd heard at 45.45", 45.0, 45.45, 1.5, false},
        {"50 Bd", 50.0, 50.0, 1.5, false},                {"75 Bd, 1 stop", 75.0, 75.0, 1.0, false},
        {"reversed shift", 45.45, 45.45, 1.5, true},
    };
    for (const auto& c : cases) {
        ToneSender tx;
        tx.baud = c.sentBaud;
        tx.stopBits = c.stop;
        tx.markHz = c.reversed ? 2295.0 : 2125.0;
        tx.spaceHz = c.reversed ? 2125.0 : 2295.0;
        RttyParams rx;
        rx.baud = c.heardBaud;
        rx.stopBits = c.stop;
        rx.reverse = c.reversed;
        EXPECT_EQ(Demodulate(rx, tx.Send(codes)), codes) << c.name;
    }
}

std::string RunTool(const std::vector<std::string>& args)
{
    std::istringstream in;
    std::ostringstream out, err;
    RunRttyTool(args, in, out, err);
    return out.str() + err.str();
}

// minimodem sends FIGS again after each space and no LTRS after figures, and
// starts after a short leader; it unshifts on space when it receives. Both
// directions with the tool's defaults.
TEST(IndependentSender, MinimodemAndTheToolCopyEachOther)
{
    MINIMODEM_OR_SKIP();
    ScratchDir dir;
    const std::string text = "CQ TEST DE K3BSD 599 001 247 TU K3BSD";
    const std::string theirs = dir.Path() + "/minimodem.wav", ours = dir.Path() + "/ours.wav";
    ASSERT_TRUE(minimodem::Run({"--tx", "-q", "-M", "2125", "-S", "2295", "-R", "8000", "-f", theirs, "rtty"},
                               text + "\n"));
    EXPECT_EQ(RunTool({"decode", theirs}), text + "\n");

    std::istringstream in(text + "\n");
    std::ostringstream out, err;
    ASSERT_EQ(RunRttyTool({"encode", ours}, in, out, err), 0) << err.str();
    const auto heard = minimodem::Run({"--rx", "-q", "-M", "2125", "-S", "2295", "-f", ours, "rtty"});
    ASSERT_TRUE(heard);
    EXPECT_NE(heard->find(text), std::string::npos) << *heard;
}

}  // namespace
