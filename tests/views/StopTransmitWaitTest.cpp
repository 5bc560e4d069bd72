// Ending a transmission because its text is finished, on a fake link and a
// fake clock: the stop-transmit wait itself, the stop-transmit of macros and
// tapes as TxRxControl runs it, and Send/Receive's return.
#include "TransmitFakes.h"

#include "views/CommandTarget.h"

#include <gtest/gtest.h>

using txfake::Bench;

namespace {

struct Transmitting {
    Transmitting()
    {
        link.active = true;
        link.hold = false;
        link.keyed = true;
    }
    txfake::Link link;
    txfake::Ticks ticks;
    StopTransmitWait wait{ticks};
};

TEST(StopTransmitWait, WaitsForTheTextThenEndsTheFillAndWaitsForTheQuietLine)
{
    Transmitting t;
    t.link.queueLength = 3;
    EXPECT_TRUE(t.wait.Pending(t.link));
    EXPECT_TRUE(t.link.active) << "the fill goes on while text waits";
    t.link.queueLength = 0;
    t.link.outLength = 0;
    t.link.lineBusy = true;   // the last write is on the line
    EXPECT_TRUE(t.wait.Pending(t.link));
    EXPECT_TRUE(t.link.hold) << "no idle fill after the last write";
    EXPECT_TRUE(t.link.active) << "still transmitting until the return to receive";
    t.ticks.now += StopTransmitWait::kTailLimitMs - 1;
    EXPECT_TRUE(t.wait.Pending(t.link));
    t.link.lineBusy = false;
    EXPECT_FALSE(t.wait.Pending(t.link));
}

TEST(StopTransmitWait, EndsAtOnceWhenUnkeyedOrHeld)
{
    for (int which : {0, 1}) {
        Transmitting t;
        t.link.queueLength = 5;
        (which == 0 ? t.link.keyed : t.link.hold) = which == 1;
        EXPECT_FALSE(t.wait.Pending(t.link)) << which;
        EXPECT_TRUE(t.link.active) << which;
    }
}

TEST(StopTransmitWait, GivesUpOnlyOnADeviceThatNeverConfirmsWhatTheLineTimeSays)
{
    Transmitting t;
    t.link.lineBusy = true;
    t.ticks.now = 0xFFFFFF00u;   // across the tick wrap
    // Text written ahead of the line: however long it takes, no giving up.
    t.link.lineTimeLeftMs = 60000;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(t.wait.Pending(t.link));
        t.ticks.now += StopTransmitWait::kTailLimitMs;
    }
    t.link.lineTimeLeftMs = 0;   // gone by the line time; the device says nothing
    EXPECT_TRUE(t.wait.Pending(t.link));
    t.ticks.now += StopTransmitWait::kTailLimitMs - 1;
    EXPECT_TRUE(t.wait.Pending(t.link));
    t.link.outLength = 1;   // bytes the link had taken when the hold came, put back
    EXPECT_TRUE(t.wait.Pending(t.link));
    EXPECT_FALSE(t.link.hold) << "they go out first";
    t.link.outLength = 0;
    EXPECT_TRUE(t.wait.Pending(t.link));
    EXPECT_TRUE(t.link.hold);
    t.ticks.now += StopTransmitWait::kTailLimitMs - 1;
    EXPECT_TRUE(t.wait.Pending(t.link));
    t.ticks.now += 1;
    EXPECT_FALSE(t.wait.Pending(t.link));
}

TEST(StopTransmitWait, TextTypedDuringTheHeldTailWaitsForTheNextTransmit)
{
    Transmitting t;
    t.link.lineBusy = true;
    EXPECT_TRUE(t.wait.Pending(t.link));
    ASSERT_TRUE(t.link.hold);
    t.link.queueLength = 1;   // typed now: held in the queue, it cannot reach the line
    EXPECT_TRUE(t.wait.Pending(t.link));
    EXPECT_TRUE(t.link.hold);
    t.ticks.now += StopTransmitWait::kTailLimitMs;
    EXPECT_FALSE(t.wait.Pending(t.link)) << "no drain report can show past the held queue: the limit ends the wait";
    EXPECT_EQ(t.link.queueLength, 1u);
}

struct StopTransmitTest : ::testing::Test {
    StopTransmitTest()
    {
        b.settings.Put(keys::RTTYDuplex, 0);
        b.Start();
        control().DoTransmit();
    }
    TxRxControl& control() { return *b.control; }
    Bench b;
};

TEST_F(StopTransmitTest, ReturnsToReceiveOnceTheLineIsQuietWithoutAnnouncingIdleFill)
{
    control().BeginStopTransmit();
    b.link().lineBusy = true;
    EXPECT_TRUE(control().StopTransmitPending());
    // The timer step during the final drain: no idle-fill notice, no beep,
    // even where the fill would seem to be on the air.
    b.link().active = true;
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "0");
    EXPECT_EQ(b.host.beeps, 0);
    b.link().lineBusy = false;
    EXPECT_FALSE(control().StopTransmitPending());
    control().EndStopTransmit();
    EXPECT_EQ(b.status.LastAuto(), "RXD      ");
    EXPECT_TRUE(b.link().hold);
    // After the wait the notice works again.
    control().DoTransmit();
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "Diddle");
}

TEST_F(StopTransmitTest, TransmitChosenDuringTheWaitIsNotUndoneWhenItEnds)
{
    b.link().queueLength = 8;
    control().BeginStopTransmit();
    EXPECT_TRUE(control().StopTransmitPending());
    control().DoTransmit();   // the operator, while the macro waits
    EXPECT_FALSE(control().StopTransmitPending());
    control().EndStopTransmit();
    EXPECT_EQ(b.status.LastAuto(), "TXD      ");
    EXPECT_TRUE(b.link().active);
    EXPECT_FALSE(b.link().hold);
    EXPECT_TRUE(b.link().keyed);
}

TEST_F(StopTransmitTest, SendReceiveReturnsOnlyOnceTheFillOnTheLineHasGone)
{
    control().SendReceive(false);
    b.link().lineBusy = true;   // a fill write is on the line
    control().TimerStep();
    EXPECT_EQ(b.status.LastDiddle(), "Diddle");
    EXPECT_TRUE(b.link().hold) << "the fill ends";
    EXPECT_TRUE(b.link().active);
    EXPECT_TRUE(control().ReturnToReceivePending());
    control().TimerStep();
    EXPECT_TRUE(control().ReturnToReceivePending());
    b.link().lineBusy = false;
    control().TimerStep();
    EXPECT_FALSE(control().ReturnToReceivePending());
    EXPECT_EQ(b.status.LastAuto(), "RXD      ");
    EXPECT_TRUE(b.link().hold);
}

TEST_F(StopTransmitTest, ManualStaysManualThroughTheDrainUntilReceiveDropsTheLine)
{
    // Character mode: every key goes straight to the link.
    b.settings.Put(keys::CharMode, 1);
    b.Start();
    control().DoTransmit();
    b.link().queueLength = 4;
    control().BeginStopTransmit();
    EXPECT_TRUE(control().StopTransmitPending());
    b.link().queueLength = 0;
    b.link().lineBusy = true;   // the last character is still on the line
    EXPECT_TRUE(control().StopTransmitPending());
    // The link must not be left unheld and inactive (the transmit thread would
    // key for the next key typed), and the window still shows Transmit.
    EXPECT_TRUE(b.link().hold);
    EXPECT_TRUE(b.link().active);
    EXPECT_TRUE(b.link().keyed);
    CommandState tx;
    control().UpdateTransmit(tx);
    EXPECT_TRUE(tx.checked);
    b.Type("K");
    EXPECT_EQ(b.link().AllSent(), "K");
    EXPECT_TRUE(b.link().hold) << "typed during the drain: it waits for the next Transmit";
    b.link().lineBusy = false;
    b.ticks.now += StopTransmitWait::kTailLimitMs;
    EXPECT_FALSE(control().StopTransmitPending());
    control().EndStopTransmit();
    control().UpdateTransmit(tx);
    EXPECT_FALSE(tx.checked);
    EXPECT_FALSE(b.link().keyed);
    EXPECT_TRUE(b.link().hold);
}

TEST(IdleFillNotice, NeverUnderDelayOrAutoWhereNoFillIsSent)
{
    for (int protocol : {1, 2}) {
        Bench b;
        b.settings.Put(keys::RTTYDuplex, protocol);
        b.Start();
        b.link().keyed = true;   // the last write of a line is going out
        b.link().hold = false;
        b.control->TimerStep();
        EXPECT_EQ(b.status.LastDiddle(), "0") << protocol;
        EXPECT_EQ(b.host.beeps, 0) << protocol;
    }
}

}  // namespace
