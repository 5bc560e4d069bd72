// Taking the transmitter off the air at the operator's word: Receive and
// Clear TX Buffer at every moment of a key, a write on the line, and a key
// the device cannot confirm. On the simulated modem at 45 baud with RTS
// keying (a key takes 200 ms, one Baudot character 155.6 ms).
#include "LinkTestSupport.h"
#include "support/KeyingMargin.h"

#include <gtest/gtest.h>

#include <thread>

using namespace linktest;
using Kind = SimEvent::Kind;

namespace {

// Nothing is written, and RTS never rises again, once PTT has fallen after
// its key (the fall as the port opens does not count).
void ExpectOffTheAirAfterTheFall(const std::vector<SimEvent>& log)
{
    bool risen = false;
    bool fallen = false;
    for (const SimEvent& e : log) {
        if (fallen) {
            EXPECT_NE(e.kind, Kind::Write) << "a write after PTT fell";
            EXPECT_FALSE(e.kind == Kind::Rts && e.level) << "PTT rose again by itself";
        }
        if (e.kind == Kind::Rts && e.level)
            risen = true;
        else if (e.kind == Kind::Rts && risen)
            fallen = true;
    }
    const auto margin = keying::SmallestUnkeyMargin(log);
    if (margin) {
        EXPECT_GE(margin->count(), 0) << "PTT fell under a character still on the line";
    }
}

}  // namespace

TEST(SerialLinkCut, ReceiveAtAnyMomentOfATransmissionLeavesPttDown)
{
    // Before the key, in the wait before RTS rises, in the wait after, and
    // with the first write on the line. Receive must win every race with
    // the transmit thread, and the text must stay for the next Transmit.
    const std::string text = Bytes({31, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    for (const auto at : {0ms, 40ms, 150ms, 400ms}) {
        SCOPED_TRACE(at.count());
        SimLink s;
        s.Open(45, 5, true);
        s.link.QueueText(text);
        std::this_thread::sleep_for(at);
        s.link.StopSending();
        EXPECT_FALSE(s.modem->Rts()) << "PTT is down when Receive returns";
        EXPECT_EQ(s.link.m_bKeyed, 0u);
        std::this_thread::sleep_for(300ms);
        EXPECT_FALSE(s.modem->Rts());
        const auto log = s.modem->Log();
        ExpectOffTheAirAfterTheFall(log);
        std::string written;
        for (const std::string& w : s.modem->Writes())
            written += w;
        EXPECT_EQ(written.size() + s.link.TxQueueLength() + s.link.TxOutLength(), text.size())
            << "only what went on the line is gone from the queue";
        if (!written.empty()) {
            EXPECT_FALSE(OfKind(log, Kind::PurgeOutput).empty()) << "the write on the line was cut off";
        }
    }
}

TEST(SerialLinkCut, ClearTransmitCutsTheLineAndTheDeviceHoldsNothing)
{
    SimLink s;
    s.Open(45, 5, true);
    s.link.m_bTxActive = 1;
    s.link.QueueText(std::string(40, '\x01'));
    ASSERT_TRUE(s.WaitWrites(1));
    s.link.ClearTransmit();
    EXPECT_FALSE(s.modem->Rts());
    EXPECT_TRUE(s.link.IsLineQuiet()) << "nothing is left on the line";
    EXPECT_EQ(s.link.TxQueueLength() + s.link.TxOutLength(), 0u);
    std::this_thread::sleep_for(200ms);
    ExpectOffTheAirAfterTheFall(s.modem->Log());
}

TEST(SerialLinkCut, ReceiveOnAQuietLineKeepsTheTailAfterTheLastStopBit)
{
    SimLink s;
    s.Open(45, 5, true);
    s.link.m_bTxActive = 1;   // stays keyed in silence after the text (no idle fill)
    s.link.QueueText(Bytes({31, 1}));
    ASSERT_TRUE(s.WaitWrites(1));
    while (!s.link.IsLineQuiet())
        std::this_thread::sleep_for(5ms);
    s.link.StopSending();
    EXPECT_FALSE(s.modem->Rts());
    const auto margin = keying::SmallestUnkeyMargin(s.modem->Log());
    ASSERT_TRUE(margin);
    EXPECT_GE(*margin, std::chrono::nanoseconds(100ms)) << "the finished text keeps its 100 ms tail";
    EXPECT_TRUE(OfKind(s.modem->Log(), Kind::PurgeOutput).empty()) << "nothing to cut";
}

namespace {

// A PTT that never confirms: a rig that does not answer in time.
class UnconfirmedPtt : public SharedPortDevice {
public:
    using SharedPortDevice::SharedPortDevice;
    bool KeyPtt(bool on) override
    {
        if (!on)
            SetRts(false);
        return !on;
    }
    std::string PttFailureText() const override { return "the rig did not answer"; }
};

}  // namespace

TEST(SerialLinkCut, AKeyTheDeviceCannotConfirmSendsNothingAndSaysWhy)
{
    WatchedLink w;
    auto modem = std::make_shared<SimulatedModem>();
    w.link.SetDeviceOpener([modem](int) { return std::make_unique<UnconfirmedPtt>(modem); });
    w.link.m_nBaud = 45;
    w.link.m_nByteSize = 5;
    w.link.m_bPttKeying = 1;
    w.link.Connect(true);
    w.link.m_bTxActive = 1;
    w.link.QueueText(Bytes({31, 1, 2, 3}));
    ASSERT_TRUE(modem->WaitFor([&](const std::vector<SimEvent>&) { return w.link.TxQueueLength() == 0; },
                               kEventually));
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(modem->Writes().empty()) << "never sent unkeyed";
    EXPECT_EQ(w.link.TxOutLength(), 0u);
    EXPECT_EQ(w.link.m_bKeyed, 0u);
    EXPECT_EQ(w.link.m_bTxActive, 0u);
    EXPECT_EQ(w.link.TakeKeyFailure(), "the rig did not answer");
    EXPECT_EQ(w.link.TakeKeyFailure(), "") << "told once";
    w.link.Connect(false);
}
