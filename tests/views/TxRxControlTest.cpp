// Transmit/receive control: the commands, the timer step's status texts, the
// idle-fill beep, Send/Receive completion, and the Delay release.
#include "TransmitFakes.h"

#include "app/SystemErrorText.h"
#include "views/CommandTarget.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

using txfake::Bench;

namespace {

struct TxRxControlTest : ::testing::Test {
    void StartWith(int protocol)
    {
        b.settings.Put(keys::RTTYDuplex, protocol);
        b.Start();
    }
    TxRxControl& control() { return *b.control; }
    Bench b;
};

TEST_F(TxRxControlTest, TransmitOpensWithShiftCodeAndKeys)
{
    StartWith(0);
    b.link().shift = 27;
    control().DoTransmit();
    EXPECT_EQ(b.status.LastAuto(), "TXD      ");
    EXPECT_EQ(b.link().ops,
              (std::vector<std::string>{"active:1", "push:27", "hold:0", "key"}));
    CommandState tx, rx;
    control().UpdateTransmit(tx);
    control().UpdateReceive(rx);
    EXPECT_TRUE(tx.checked);
    EXPECT_FALSE(rx.checked);
}

TEST_F(TxRxControlTest, IdleFillIsAnnouncedWithOneBeepPerIdlePeriod)
{
    StartWith(0);
    control().DoTransmit();
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "Diddle");
    EXPECT_EQ(b.host.beeps, 1);
    control().TimerStep();
    EXPECT_EQ(b.host.beeps, 1);

    // A typed line waits: the count of waiting characters is shown.
    b.Type("CQ\r");
    b.link().outLength = 4;
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), std::to_string(4 + b.link().queueLength));
    EXPECT_FALSE(control().DiddleShown());
    b.link().queueLength = 0;
    b.link().outLength = 0;
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "Diddle");
    EXPECT_EQ(b.host.beeps, 2);
}

TEST_F(TxRxControlTest, NoBeepWhenDiddleBeepIsOff)
{
    b.settings.Put(keys::DiddleBeep, 0);
    StartWith(0);
    control().DoTransmit();
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "Diddle");
    EXPECT_EQ(b.host.beeps, 0);
}

TEST_F(TxRxControlTest, SendReceiveCountsDownThenReturnsInTheSameTick)
{
    StartWith(0);
    b.link().queueLength = 9;
    control().SendReceive(false);
    EXPECT_TRUE(control().ReturnToReceivePending());
    CommandState sr;
    control().UpdateSendReceive(false, sr);
    EXPECT_TRUE(sr.enabled);
    EXPECT_TRUE(sr.checked);

    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "9");
    b.link().queueLength = 3;
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "3");
    EXPECT_EQ(b.status.LastAuto(), "TXD      ");

    b.link().queueLength = 0;
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "Diddle");
    EXPECT_EQ(b.status.LastAuto(), "RXD      ");
    EXPECT_FALSE(control().ReturnToReceivePending());
    EXPECT_TRUE(b.link().hold);
    EXPECT_FALSE(b.link().active);
    EXPECT_FALSE(b.link().keyed);
}

TEST_F(TxRxControlTest, SendReceiveWithoutDiddleReturnsOnceTheLineIsQuiet)
{
    StartWith(0);
    b.link().diddle = false;
    b.link().queueLength = 5;
    control().SendReceive(false);
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "5");
    b.link().queueLength = 0;
    b.link().lineBusy = true;   // the last character is on the line
    control().TimerStep();
    EXPECT_TRUE(b.link().keyed);
    EXPECT_TRUE(control().ReturnToReceivePending());
    b.link().lineBusy = false;
    control().TimerStep();
    EXPECT_FALSE(control().ReturnToReceivePending());
    EXPECT_EQ(b.status.LastAuto(), "RXD      ");
    EXPECT_FALSE(b.link().keyed);
    EXPECT_TRUE(b.link().hold);
}

TEST_F(TxRxControlTest, EveryStartOfATransmissionOnADownPortIsRefusedWithTheReason)
{
    const std::pair<const char*, std::function<void(TxRxControl&)>> starts[] = {
        {"Transmit", [](TxRxControl& c) { c.DoTransmit(); }},
        {"Send/Receive", [](TxRxControl& c) { c.SendReceive(false); }},
    };
    for (const auto& [name, start] : starts) {
        Bench bench;
        bench.settings.Put(keys::RTTYDuplex, 0);
        bench.Start();
        PortState& port = bench.link().port;
        port.port = 3;
        port.device = "/dev/ttyUSB7";
        port.open = false;
        port.error = ENOENT;
        start(*bench.control);
        EXPECT_FALSE(bench.link().keyed) << name;
        EXPECT_TRUE(bench.link().hold) << name;
        EXPECT_FALSE(bench.control->ReturnToReceivePending()) << name;
        EXPECT_EQ(bench.status.LastAuto(), "RXD      ") << name;
        ASSERT_EQ(bench.status.messages.size(), 1u) << name;
        const std::string& said = bench.status.messages[0];
        EXPECT_EQ(said.rfind("RTTY port COM3 is down: /dev/ttyUSB7: ", 0), 0u) << said;
        EXPECT_NE(said.find(SystemErrorText(ENOENT)), std::string::npos) << said;

        // Gone away while open: the link's own reason is given.
        port.open = true;
        port.vanished = true;
        port.reason = "unplugged";
        start(*bench.control);
        EXPECT_FALSE(bench.link().keyed) << name;
        ASSERT_EQ(bench.status.messages.size(), 2u) << name;
        EXPECT_NE(bench.status.messages[1].find("(unplugged)"), std::string::npos) << bench.status.messages[1];
    }
}

TEST_F(TxRxControlTest, AnOpenPortOrNoneConfiguredIsNotRefused)
{
    StartWith(0);
    b.link().port.port = 0;   // no RTTY port: the panes show the state asked for
    b.link().port.open = false;
    control().DoTransmit();
    EXPECT_TRUE(b.link().keyed);
    EXPECT_TRUE(b.status.messages.empty());
}

TEST_F(TxRxControlTest, AKeyFailureIsToldOnceAndManualReturnsToReceive)
{
    for (int protocol : {0, 2}) {
        Bench bench;
        bench.settings.Put(keys::RTTYDuplex, protocol);
        bench.Start();
        bench.control->DoTransmit();
        bench.link().keyFailure = "the rig did not answer";
        bench.control->TimerStep();
        bench.control->TimerStep();
        ASSERT_EQ(bench.status.messages.size(), 1u) << protocol;
        EXPECT_EQ(bench.status.messages[0], "The transmitter could not be keyed (the rig did not answer): nothing was sent");
        if (protocol == 0) {
            EXPECT_EQ(bench.status.LastAuto(), "RXD      ");
            EXPECT_TRUE(bench.link().hold);
        }
    }
}

TEST_F(TxRxControlTest, ReceiveLeavesQueuedTextForNextTransmit)
{
    StartWith(0);
    control().DoTransmit();
    b.link().queueLength = 12;
    control().DoReceive();
    EXPECT_EQ(b.status.LastAuto(), "RXD      ");
    EXPECT_TRUE(b.link().hold);
    EXPECT_FALSE(b.link().keyed);
    EXPECT_EQ(b.link().queueLength, 12u);
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "");
    control().DoTransmit();
    EXPECT_FALSE(b.link().hold);
    EXPECT_EQ(b.link().queueLength, 12u);
}

TEST_F(TxRxControlTest, ClearTxBufferKeepsSentPartOfTheLine)
{
    b.settings.Put(keys::WordMode, 1);
    StartWith(0);
    control().DoTransmit();
    b.Type("CQ CQ DE");
    control().ClearTxBuffer([&] { b.line->DiscardUnsent(); });
    EXPECT_EQ(b.line->DisplayLine(), " > CQ CQ ");
    EXPECT_EQ(b.link().queueLength, 0u);
    EXPECT_EQ(b.status.LastAuto(), "RXD      ");
    EXPECT_TRUE(b.link().hold);
    EXPECT_FALSE(b.link().active);
}

TEST_F(TxRxControlTest, DelayReleasesOnlyAfterMoreThanThreeQuietSeconds)
{
    StartWith(1);
    b.Type("CQ CQ\rDE TEST\r");
    b.receive.lastReceive = 10000;
    b.ticks.now = 13000;  // exactly 3 s: not yet
    control().TimerStep();
    EXPECT_TRUE(b.link().texts.empty());
    b.ticks.now = 13001;
    control().TimerStep();
    ASSERT_EQ(b.link().texts.size(), 1u);
    EXPECT_EQ(b.link().texts[0], "CQ CQ\r\r\nDE TEST\r\r\n");
    EXPECT_TRUE(control().Delayed().empty());
    EXPECT_EQ(b.ReceiveList(), (LineList{">CQ CQ", ">DE TEST", ">"}));
    EXPECT_EQ(b.receive.deadmanClears, 1);
    EXPECT_EQ(b.link().echoStreams, (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(b.status.autoPane.back(), "Auto TXD   ");
}

TEST_F(TxRxControlTest, DelayQuietTestSurvivesTickWrap)
{
    StartWith(1);
    b.Type("WRAP\r");
    b.receive.lastReceive = 0xFFFFF000u;
    b.ticks.now = 0x00000100u;  // 4352 ms later, across the wrap
    control().TimerStep();
    EXPECT_EQ(b.link().texts.size(), 1u);

    b.Type("NEAR\r");
    b.receive.lastReceive = 0xFFFFFF00u;
    b.ticks.now = 0x00000010u;  // 272 ms later
    control().TimerStep();
    EXPECT_EQ(b.link().texts.size(), 1u);
}

TEST_F(TxRxControlTest, DelayReleaseWithoutFrameStillRuns)
{
    StartWith(1);
    b.host.status = nullptr;
    b.Type("NOFRAME\r");
    b.ticks.now = 5000;
    control().TimerStep();
    EXPECT_EQ(b.link().texts.size(), 1u);
}

TEST_F(TxRxControlTest, AutoPaneFollowsKeyedState)
{
    StartWith(2);
    b.Type("QRZ\r");
    EXPECT_EQ(b.status.LastAuto(), "Auto TXD   ");
    b.link().keyed = true;
    b.link().hold = false;
    b.link().queueLength = 2;
    control().TimerStep();
    EXPECT_EQ(b.status.LastAuto(), "Auto TXD  ");
    EXPECT_EQ(b.status.LastDiddle(), "2");
    b.link().keyed = false;
    control().TimerStep();
    EXPECT_EQ(b.status.LastAuto(), "Auto RXD  ");
    EXPECT_EQ(b.status.LastDiddle(), "");
    b.link().keyed = true;
    b.link().hold = true;  // held counts as receiving
    control().TimerStep();
    EXPECT_EQ(b.status.LastAuto(), "Auto RXD  ");
}

TEST_F(TxRxControlTest, TransmitAndReceiveDoNothingOutsideManual)
{
    StartWith(2);
    control().DoTransmit();
    control().DoReceive();
    EXPECT_TRUE(b.link().ops.empty());
    EXPECT_TRUE(b.status.autoPane.empty());
}

TEST_F(TxRxControlTest, SendReceiveEnabledOnlyUnderManualOrInTestMode)
{
    for (int protocol : {1, 2}) {
        b.settings.Put(keys::RTTYDuplex, protocol);
        b.Start();
        CommandState state;
        control().UpdateSendReceive(false, state);
        EXPECT_FALSE(state.enabled) << protocol;
        control().UpdateSendReceive(true, state);
        EXPECT_TRUE(state.enabled) << protocol;
        EXPECT_FALSE(state.checked);
    }
}

TEST_F(TxRxControlTest, TestModeSendReceiveOnlyInjectsTheTestText)
{
    StartWith(0);
    control().SendReceive(true);
    EXPECT_EQ(b.link().ops, (std::vector<std::string>{"inject:1"}));
    EXPECT_FALSE(control().ReturnToReceivePending());
}

TEST_F(TxRxControlTest, WithoutReceiveViewOnlyStatusTextsChange)
{
    b.host.receive = nullptr;
    StartWith(0);
    control().DoTransmit();
    EXPECT_EQ(b.status.LastAuto(), "TXD      ");
    control().TimerStep();
    EXPECT_TRUE(b.status.diddle.empty());
    CommandState tx, rx;
    control().UpdateTransmit(tx);
    control().UpdateReceive(rx);
    EXPECT_FALSE(tx.checked);
    EXPECT_FALSE(rx.checked);
    control().ClearTxBuffer([] { FAIL() << "nothing to discard without a link"; });
    EXPECT_EQ(b.status.LastAuto(), "RXD      ");
    EXPECT_TRUE(b.link().ops.empty());
}

TEST_F(TxRxControlTest, TransmitSendsWhatManualModeChangesLeftDelayed)
{
    StartWith(0);
    control().AppendDelayed("LEFT\r\r\n");
    control().DoTransmit();
    EXPECT_EQ(b.link().texts.back(), "LEFT\r\r\n");
    EXPECT_EQ(b.ReceiveList(), (LineList{">LEFT", ">"}));
}

}  // namespace
