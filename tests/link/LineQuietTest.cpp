// The end of a transmission on the link: when the line counts as quiet, when
// idle fill counts as on the air, the link's own unkey on an empty queue, and
// the modem lines under RTS keying. On the simulated modem at 45 baud, where
// one Baudot character takes 155.6 ms.
#include "LinkTestSupport.h"
#include "support/KeyingMargin.h"

#include <gtest/gtest.h>

#include <thread>

using namespace linktest;
using Kind = SimEvent::Kind;

namespace {

// Looks every 2 ms (a test may poll) until the link reports its line quiet;
// returns when it first did.
std::optional<Clock::time_point> WhenQuiet(const SerialLink& link)
{
    const auto limit = Clock::now() + kEventually;
    while (Clock::now() < limit) {
        if (link.IsLineQuiet())
            return Clock::now();
        std::this_thread::sleep_for(2ms);
    }
    return std::nullopt;
}

}  // namespace

TEST(SerialLinkQuiet, NotQuietUntilTheLastWriteHasLeftTheLine)
{
    SimLink s;
    s.Open(45, 5);
    EXPECT_TRUE(s.link.IsLineQuiet());
    std::string text = "RY";   // LTRS R Y: one write of three codes
    s.link.SendText(text);
    ASSERT_TRUE(s.WaitWrites(1));
    // Queue and out-buffer are empty now, but the write is on the line.
    EXPECT_EQ(s.link.TxQueueLength() + s.link.TxOutLength(), 0u);
    EXPECT_FALSE(s.link.IsLineQuiet());
    EXPECT_FALSE(s.link.IsIdleFillOnAir());
    EXPECT_GT(s.link.LineTimeLeft(), 0ms);
    const auto quiet = WhenQuiet(s.link);
    ASSERT_TRUE(quiet);
    EXPECT_GE(*quiet, OfKind(s.modem->Log(), Kind::Write).back().ends);
    EXPECT_EQ(s.link.LineTimeLeft(), 0ms);
}

TEST(SerialLinkQuiet, IdleFillIsOnTheAirOnlyAfterTheTextAndNeverQuiet)
{
    SimLink s;
    s.Open(45, 5);
    s.link.m_bTxActive = 1;
    s.link.m_bDiddle = 1;
    s.link.QueueText(Bytes({1, 2, 3, 4}));   // 622 ms on the line
    ASSERT_TRUE(s.WaitWrites(1));
    EXPECT_FALSE(s.link.IsIdleFillOnAir()) << "the text is still going out";
    ASSERT_TRUE(s.WaitWrites(2));
    EXPECT_EQ(s.modem->Writes()[1], std::string(4, '\x1F'));
    EXPECT_TRUE(s.link.IsIdleFillOnAir());
    EXPECT_FALSE(s.link.IsLineQuiet());
    // The transmission ends: no more fill after the one on the line.
    s.link.m_bTxActive = 0;
    s.link.Wake();
    EXPECT_FALSE(s.link.IsIdleFillOnAir());
    ASSERT_TRUE(WhenQuiet(s.link));
    EXPECT_EQ(s.modem->Writes().size(), 2u);
}

// Point of the fault: text that encodes to nothing, queued while the last
// write is on the line, let the transmit thread unkey under it. Phases vary
// where in that write the character comes.
TEST(SerialLinkQuiet, EmptyQueueUnkeyWaitsForTheLineWhateverIsQueuedMeanwhile)
{
    struct Case {
        const char* text;
        std::chrono::milliseconds after;   // after the write began
    };
    for (const Case& c : {Case{"{", 0ms}, Case{"\xE9", 120ms}, Case{"\x01", 300ms}}) {
        SimLink s;
        s.Open(45, 5, true);
        std::string text = "RY";
        s.link.SendText(text);
        ASSERT_TRUE(s.WaitWrites(1));
        std::this_thread::sleep_for(c.after);
        std::string none = c.text;
        s.link.SendText(none);
        ASSERT_TRUE(none.empty());
        ASSERT_TRUE(s.modem->WaitFor([](const auto& log) { return OfKind(log, Kind::Rts).size() >= 3; },
                                     kEventually));
        const auto margin = keying::SmallestUnkeyMargin(s.modem->Log());
        ASSERT_TRUE(margin);
        EXPECT_GE(*margin, 100ms) << c.after.count();
    }
}

TEST(SerialLinkQuiet, UnderRtsKeyingDtrIsLowFromOpenToClose)
{
    SimLink s;
    s.Open(45, 5, true);
    EXPECT_FALSE(s.modem->Dtr());
    std::string text = "E";
    s.link.SendText(text);
    ASSERT_TRUE(s.modem->WaitFor([](const auto& log) { return OfKind(log, Kind::Rts).size() >= 3; },
                                 kEventually));
    s.link.Connect(false);
    const auto log = s.modem->Log();
    const auto dtr = OfKind(log, Kind::Dtr);
    ASSERT_FALSE(dtr.empty());
    for (const SimEvent& e : dtr)
        EXPECT_FALSE(e.level);
    EXPECT_LT(dtr.front().time, OfKind(log, Kind::Write).front().time);
    EXPECT_FALSE(s.modem->Dtr());
}
