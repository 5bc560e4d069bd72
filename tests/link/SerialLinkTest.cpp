#include "LinkTestSupport.h"
#include "link/PttRoutedPort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <future>
#include <thread>

using namespace linktest;
using Kind = SimEvent::Kind;

namespace {

// Everything the modem saw after the link's open settled, as "R1 D1 W..." words.
std::string Timeline(const std::vector<SimEvent>& log)
{
    std::string out;
    for (const SimEvent& e : log) {
        switch (e.kind) {
        case Kind::Open: out += "O "; break;
        case Kind::Purge: out += "P "; break;
        case Kind::PurgeOutput: out += "PO "; break;
        case Kind::Close: out += "C "; break;
        case Kind::Rts: out += e.level ? "R1 " : "R0 "; break;
        case Kind::Dtr: out += e.level ? "D1 " : "D0 "; break;
        case Kind::Write: out += "W "; break;
        }
    }
    return out;
}

std::string AllWritten(const SimulatedModem& modem)
{
    std::string all;
    for (const std::string& w : modem.Writes())
        all += w;
    return all;
}

}  // namespace

// ---- opening and closing ---------------------------------------------------

TEST(SerialLinkOpen, PassesLineSettingsAndRaisesRtsThenDtrWithoutPttKeying)
{
    SimLink s;
    s.link.m_nParity = 2;
    s.link.m_nStopBits = 2;
    s.Open(1200, 7);
    ASSERT_TRUE(s.link.IsOpen());
    const LineSettings ls = s.modem->Settings();
    EXPECT_EQ(ls.baud, 1200u);
    EXPECT_EQ(ls.dataBits, 7);
    EXPECT_EQ(ls.parity, 2);
    EXPECT_EQ(ls.stopBits, 2);
    EXPECT_FALSE(ls.pttKeying);
    EXPECT_EQ(Timeline(s.modem->Log()), "O P R1 D1 ");
    EXPECT_EQ(s.link.m_bRunning, 1u);
}

TEST(SerialLinkOpen, WithPttKeyingRtsIsDroppedFirstAndNeverRaisedUntilKeyed)
{
    SimLink s;
    s.link.m_bKeyed = 1;   // left over from before: opening starts unkeyed
    s.Open(45, 5, true);
    EXPECT_TRUE(s.modem->Settings().pttKeying);
    EXPECT_EQ(s.link.m_bKeyed, 0u);
    const auto log = s.modem->Log();
    // The modem, like a tty, comes up with both lines high; the link drops
    // RTS and DTR before anything else happens on the line (the receive
    // thread's own unkey of the stale flag may drop RTS once more).
    const std::string timeline = Timeline(log);
    EXPECT_TRUE(timeline == "O P R0 D0 " || timeline == "O P R0 R0 D0 ") << timeline;
    for (const SimEvent& e : log) {
        EXPECT_FALSE(e.kind == Kind::Rts && e.level) << "RTS raised at open";
        EXPECT_FALSE(e.kind == Kind::Dtr && e.level) << "DTR raised at open";
    }
    EXPECT_FALSE(s.modem->Rts());
}

TEST(SerialLinkOpen, OpeningAnOpenLinkDoesNothingAndCloseReleasesThePort)
{
    SimLink s;
    s.Open(9600, 8);
    s.link.Connect(true);
    EXPECT_EQ(s.modem->OpenCount(), 1);
    s.link.Connect(false);
    EXPECT_FALSE(s.link.IsOpen());
    EXPECT_FALSE(s.modem->IsOpen());
    EXPECT_EQ(s.link.m_bRunning, 0u);
    // Closed, changed, reopened: the new parameters reach the device.
    s.Open(4800, 8);
    EXPECT_EQ(s.modem->OpenCount(), 2);
    EXPECT_EQ(s.modem->Settings().baud, 4800u);
}

TEST(SerialLinkOpen, PortThatCannotOpenLeavesTheLinkClosedAndInert)
{
    SimLink s;
    s.modem->SetOpenFails(true);
    s.Open(9600, 8);
    EXPECT_FALSE(s.link.IsOpen());
    EXPECT_NE(s.link.OpenError(), 0);   // a reason even when the device gives none
    EXPECT_EQ(s.link.m_bRunning, 0u);
    std::string text = "HELLO";
    s.link.SendText(text);
    EXPECT_EQ(text, "HELLO");
    EXPECT_EQ(s.link.TxQueueLength(), 0u);
    s.link.Connect(false);   // returns at once: nothing to stop
    EXPECT_EQ(s.link.OpenError(), 0);

    SimLink zero;            // never opened at a speed of 0
    zero.Open(0, 8);
    EXPECT_FALSE(zero.link.IsOpen());
    EXPECT_EQ(zero.link.OpenError(), EINVAL);
    EXPECT_EQ(zero.modem->OpenCount(), 0);

    SerialLink noOpener;     // no device opener at all
    noOpener.Connect(true);
    EXPECT_FALSE(noOpener.IsOpen());
    noOpener.Connect(false);
}

TEST(SerialLinkOpen, ClosingWhileAWriteWaitsOnAStalledDeviceReturns)
{
    SimLink s;
    s.Open(45, 5);
    s.modem->SetStalled(true, 0);   // no room at all: the write waits for its time-out
    s.link.QueueText(Bytes({1, 2, 3, 4}));
    std::this_thread::sleep_for(50ms);
    auto closing = std::async(std::launch::async, [&] { s.link.Connect(false); });
    ASSERT_EQ(closing.wait_for(kEventually), std::future_status::ready) << "closing hung";
    EXPECT_FALSE(s.modem->IsOpen());
}

TEST(SerialLinkOpen, DeviceVanishingEndsQuietlyAndLaterCallsDoNothing)
{
    SimLink s;
    s.Open(9600, 8);
    s.link.m_bTxActive = 1;
    s.link.m_bDiddle = 1;
    s.link.Wake();
    ASSERT_TRUE(s.WaitWrites(2));
    s.modem->Vanish();
    ASSERT_TRUE(s.WaitReady(1));   // the owner is told once
    EXPECT_TRUE(s.link.IsDown());
    EXPECT_TRUE(s.link.IsOpen());
    std::string text = "MORE";
    s.link.SendText(text);
    EXPECT_EQ(s.link.TxQueueLength(), 0u);
    s.link.Connect(false);
    EXPECT_FALSE(s.link.IsOpen());
    // Reopening after the device came back works normally.
    s.Open(9600, 8);
    EXPECT_FALSE(s.link.IsDown());
    s.link.QueueText("AB");
    ASSERT_TRUE(s.modem->WaitFor([](const auto& log) {
        return !log.empty() && log.back().kind == Kind::Write && log.back().bytes == "AB";
    }, kEventually));
}

// ---- keying ----------------------------------------------------------------

TEST(SerialLinkKeying, WithoutPttKeyingOnlyTheFlagChanges)
{
    SimLink s;
    s.Open(9600, 8);
    const size_t before = s.modem->Log().size();
    s.link.KeyTransmitter();
    EXPECT_EQ(s.link.m_bKeyed, 1u);
    s.link.UnkeyTransmitter();
    EXPECT_EQ(s.link.m_bKeyed, 0u);
    EXPECT_EQ(s.modem->Log().size(), before);
}

TEST(SerialLinkKeying, PttKeyingWaitsAroundTheRtsChangeAndUnkeysOnlyAfterTheLastCharacterLeft)
{
    SimLink s;
    s.Open(1200, 5, true);
    std::string text = "RYRYRY";   // LTRS + 6 codes: two writes
    s.link.SendText(text);
    ASSERT_TRUE(s.modem->WaitFor([](const auto& log) { return OfKind(log, Kind::Rts).size() >= 3; },
                                 kEventually));
    EXPECT_EQ(s.link.m_bKeyed, 0u);
    const auto log = s.modem->Log();
    const auto charTime = s.modem->CharTime();
    // O P R0 D0 R1 W W R0 (the first R0 is the open's own "start unkeyed").
    const auto rts = OfKind(log, Kind::Rts);
    const auto writes = OfKind(log, Kind::Write);
    ASSERT_EQ(rts.size(), 3u);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_TRUE(rts[1].level);
    EXPECT_FALSE(rts[2].level);
    EXPECT_EQ(writes[0].bytes, Bytes({31, 10, 21, 10}));
    EXPECT_EQ(writes[1].bytes, Bytes({21, 10, 21}));
    EXPECT_GE(writes[0].time - rts[1].time, 100ms);
    const auto lastLeft = writes[1].time + charTime * static_cast<int>(writes[1].bytes.size());
    EXPECT_GE(rts[2].time - lastLeft, 100ms);
}

// A device that holds its output back (a sound card) reports how long; the
// link writes that much sooner after keying, but never less than half the
// keying delay after PTT, whatever the device says. Wrappers pass the
// report (and the real line) on.
TEST(SerialLinkKeying, OutputLeadShortensTheWaitAfterPttByAtMostHalf)
{
    struct Leading : SharedPortDevice {
        using SharedPortDevice::SharedPortDevice;
        std::chrono::microseconds OutputLead() const override { return 10s; }
        LineSettings ActualLine(const LineSettings& asked) const override
        {
            LineSettings real = asked;
            real.baudHundredths = 4545;
            return real;
        }
    };
    SimLink s;
    s.link.SetDeviceOpener([&](int) { return std::make_unique<Leading>(s.modem); });
    s.Open(1200, 5, true);
    std::string text = "RY";
    s.link.SendText(text);
    ASSERT_TRUE(s.WaitWrites(1));
    const auto log = s.modem->Log();
    const auto rts = OfKind(log, Kind::Rts);
    const auto writes = OfKind(log, Kind::Write);
    ASSERT_GE(rts.size(), 2u);
    EXPECT_GE(writes[0].time - rts[1].time, 50ms);

    PttRoutedPort routed(std::make_unique<Leading>(s.modem), nullptr);
    EXPECT_EQ(routed.OutputLead(), 10s);
    LineSettings asked;
    asked.baud = 45;
    EXPECT_EQ(routed.ActualLine(asked).baudHundredths, 4545u);
}

TEST(SerialLinkKeying, ClearTransmitEmptiesEverythingAndUnkeys)
{
    SimLink s;
    s.Open(9600, 5, true);
    s.link.m_bTxHold = 1;
    s.link.m_bTxActive = 1;
    s.link.QueueText("ABCDEFG");
    s.link.PushFront(27);
    s.link.KeyTransmitter();
    EXPECT_TRUE(s.modem->Rts());
    s.link.ClearTransmit();
    EXPECT_EQ(s.link.TxQueueLength(), 0u);
    EXPECT_EQ(s.link.TxOutLength(), 0u);
    EXPECT_EQ(s.link.m_bTxHold, 0u);
    EXPECT_EQ(s.link.m_bTxActive, 0u);
    EXPECT_EQ(s.link.m_bKeyed, 0u);
    EXPECT_FALSE(s.modem->Rts());
    EXPECT_TRUE(s.modem->Writes().empty());
}

// ---- transmitting ----------------------------------------------------------

TEST(SerialLinkTransmit, OneCharacterHasNoLeadingShiftLongerTextsRepeatTheCurrentShift)
{
    SimLink s;
    s.Open(19200, 5);
    std::string one = "E";
    s.link.SendText(one);
    EXPECT_EQ(one, Bytes({1}));   // the caller's text becomes the codes
    std::string ry = "RY";
    s.link.SendText(ry);
    EXPECT_EQ(ry, Bytes({31, 10, 21}));
    std::string figs = "73";
    s.link.SendText(figs);
    EXPECT_EQ(figs, Bytes({31, 27, 7, 1}));
    std::string back = "de";   // far end believed in figures now; lower case goes as capitals
    s.link.SendText(back);
    EXPECT_EQ(back, Bytes({27, 31, 9, 1}));
    std::string dropped = "{";
    s.link.SendText(dropped);
    EXPECT_TRUE(dropped.empty());
    ASSERT_TRUE(s.modem->WaitFor([](const auto& log) {
        std::string all;
        for (const SimEvent& e : log)
            if (e.kind == Kind::Write)
                all += e.bytes;
        return all.size() >= 12;
    }, kEventually));
    EXPECT_EQ(AllWritten(*s.modem), Bytes({1, 31, 10, 21, 31, 27, 7, 1, 27, 31, 9, 1}));
}

TEST(SerialLinkTransmit, ShiftCodeIsFollowedByTheCharacterCodeEvenWhenItIsZero)
{
    SimLink s;
    s.Open(19200, 5);
    std::string text = "1`";
    s.link.SendText(text);
    EXPECT_EQ(text, Bytes({31, 27, 23, 31, 0}));
}

TEST(SerialLinkTransmit, SevenAndEightBitTextIsQueuedUnchanged)
{
    SimLink s;
    s.Open(19200, 8);
    std::string text = "cq de\r\n";
    s.link.SendText(text);
    s.link.SendChar('x');
    s.link.SendChar("yz");
    ASSERT_TRUE(s.modem->WaitFor([](const auto& log) {
        size_t n = 0;
        for (const SimEvent& e : log)
            if (e.kind == Kind::Write)
                n += e.bytes.size();
        return n >= 10;
    }, kEventually));
    EXPECT_EQ(text, "cq de\r\n");
    EXPECT_EQ(AllWritten(*s.modem), "cq de\r\nxyz");
}

TEST(SerialLinkTransmit, QueuedTextLeavesFourBytesAtATimeEachAfterTheOutputDrained)
{
    SimLink s;
    s.Open(1200, 8);
    s.link.QueueText("ABCDEFGHIJ");
    ASSERT_TRUE(s.WaitWrites(3));
    const auto writes = OfKind(s.modem->Log(), Kind::Write);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].bytes, "ABCD");
    EXPECT_EQ(writes[1].bytes, "EFGH");
    EXPECT_EQ(writes[2].bytes, "IJ");
    const auto charTime = s.modem->CharTime();
    EXPECT_GE(writes[1].time - writes[0].time, charTime * 4);
    EXPECT_GE(writes[2].time - writes[1].time, charTime * 4);
    // Write time-out: 19200 / baud ms per byte.
    EXPECT_EQ(writes[0].timeoutMs, 4u * 16u);
    EXPECT_EQ(writes[2].timeoutMs, 2u * 16u);
}

TEST(SerialLinkTransmit, WriteTimeOutAtFortyFiveBaud)
{
    SimLink s;
    s.Open(45, 5);
    s.link.QueueText(Bytes({1, 2, 3, 4}));
    ASSERT_TRUE(s.WaitWrites(1));
    EXPECT_EQ(OfKind(s.modem->Log(), Kind::Write)[0].timeoutMs, 4u * 426u);
}

TEST(SerialLinkTransmit, TextQueuedBehindAWriteStillOnTheLineWaitsForItsDrain)
{
    // Queuing must not release the next write while the last is undrained:
    // a tape handed over piece by piece would otherwise run ahead of the
    // line into the device, out of reach of Receive and Clear TX Buffer.
    SimLink s;
    s.Open(19200, 8);
    s.modem->SetStalled(true);   // the first write never reports drained
    s.link.QueueText("AB");
    ASSERT_TRUE(s.WaitWrites(1));
    EXPECT_EQ(s.link.m_bTxEmpty, 0u);
    for (const char* piece : {"CD", "EF", "GH"})
        s.link.QueueText(piece);
    s.link.PushFront('X');
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(s.modem->Writes(), (std::vector<std::string>{"AB"}));
    s.modem->SetStalled(false);
    ASSERT_TRUE(s.WaitWrites(3));
    EXPECT_EQ(s.modem->Writes(), (std::vector<std::string>{"AB", "X", "CDEF"}));
}

TEST(SerialLinkTransmit, PushedByteGoesOutBeforeQueuedText)
{
    SimLink s;
    s.Open(19200, 5);
    s.link.m_bTxHold = 1;
    s.link.QueueText("ABCDEF");
    s.link.PushFront(27);
    EXPECT_EQ(s.link.TxOutLength(), 1u);
    EXPECT_EQ(s.link.m_bTxEmpty, 1u);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(s.modem->Writes().empty()) << "hold lets nothing out";
    s.link.m_bTxHold = 0;
    s.link.Wake();
    ASSERT_TRUE(s.WaitWrites(3));
    EXPECT_EQ(s.modem->Writes(), (std::vector<std::string>{"\x1B", "ABCD", "EF"}));
}

TEST(SerialLinkTransmit, HoldStopsEvenIdleFill)
{
    SimLink s;
    s.Open(19200, 5);
    s.link.m_bTxHold = 1;
    s.link.m_bTxActive = 1;
    s.link.m_bDiddle = 1;
    s.link.Wake();
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(s.modem->Writes().empty());
    EXPECT_EQ(s.link.m_bKeyed, 0u);
}

class SerialLinkIdleFill : public ::testing::TestWithParam<std::pair<int, char>> {};

TEST_P(SerialLinkIdleFill, ActiveWithNothingQueuedRepeatsTheFillEachAfterDrain)
{
    const auto [size, byte] = GetParam();
    SimLink s;
    s.Open(2400, static_cast<uint8_t>(size), true);
    s.link.m_bTxActive = 1;
    s.link.m_bDiddle = 1;
    s.link.Wake();
    ASSERT_TRUE(s.WaitWrites(3));
    EXPECT_EQ(s.link.m_bKeyed, 1u);
    const auto writes = OfKind(s.modem->Log(), Kind::Write);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(writes[i].bytes, std::string(4, byte));
    EXPECT_GE(writes[2].time - writes[1].time, s.modem->CharTime() * 4);

    // Text queued meanwhile goes out, then the fill resumes.
    s.link.QueueText("Q");
    ASSERT_TRUE(s.modem->WaitFor([](const auto& log) {
        bool sent = false;
        size_t after = 0;
        for (const SimEvent& e : log) {
            if (e.kind != Kind::Write)
                continue;
            if (e.bytes == "Q")
                sent = true;
            else if (sent)
                ++after;
        }
        return after >= 1;
    }, kEventually));

    // No longer active: the fill stops and the transmitter unkeys after the
    // last fill has left.
    s.link.m_bTxActive = 0;
    s.link.Wake();
    ASSERT_TRUE(s.modem->WaitFor([](const auto& log) {
        return !log.empty() && log.back().kind == Kind::Rts && !log.back().level;
    }, kEventually));
    EXPECT_EQ(s.link.m_bKeyed, 0u);
    const auto log = s.modem->Log();
    const auto lastLeft = OfKind(log, Kind::Write).back().time + s.modem->CharTime() * 4;
    EXPECT_GE(log.back().time - lastLeft, 100ms);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SerialLinkIdleFill,
                         ::testing::Values(std::pair<int, char>{5, '\x1F'}, std::pair<int, char>{7, '\x7F'},
                                           std::pair<int, char>{8, '\xFF'}));

TEST(SerialLinkTransmit, IdleFillForAnotherByteSizeKeysButWritesNothing)
{
    SimLink s;
    s.Open(19200, 6, true);
    s.link.m_bTxActive = 1;
    s.link.m_bDiddle = 1;
    s.link.Wake();
    ASSERT_TRUE(s.modem->WaitFor([](const auto& log) { return !log.empty() && log.back().kind == Kind::Rts &&
                                                               log.back().level; },
                                 kEventually));
    EXPECT_EQ(s.link.m_bKeyed, 1u);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(s.modem->Writes().empty());
}

// ---- receiving -------------------------------------------------------------

TEST(SerialLinkReceive, MoreThan1023WaitingBytesAreReadInSeveralPassesInOrder)
{
    SimLink s;
    s.Open(19200, 8);
    std::string sent;
    for (int i = 0; i < 3000; ++i)
        sent.push_back(static_cast<char>('A' + i % 26));
    s.modem->Feed(sent);
    EXPECT_EQ(s.Receive(sent.size()), sent);
    EXPECT_TRUE(s.WaitReady(3));   // one append per read of at most 1023
}

TEST(SerialLinkReceive, BaudotIsDecodedAndShiftCodesAddNothing)
{
    SimLink s;
    s.Open(19200, 5);
    s.modem->Feed(Bytes({31, 10, 27, 10, 4, 10, 31, 10, 8, 2}));
    EXPECT_EQ(s.Receive(7), "R4 4R\r\n");
    // The shift holds across reads; a space does not return to letters.
    s.modem->Feed(Bytes({27}));
    s.modem->Feed(Bytes({4}));
    s.modem->Feed(Bytes({3}));
    EXPECT_EQ(s.Receive(2), " -");
    EXPECT_EQ(s.link.m_bRxFigures, 1u);
    s.modem->Feed(Bytes({31, 0, 3}));
    EXPECT_EQ(s.Receive(1), "A");
    EXPECT_EQ(s.link.m_bRxFigures, 0u);
}

TEST(SerialLinkReceive, ZeroBytesAreDropped)
{
    SimLink s;
    s.Open(19200, 8);
    s.modem->Feed(std::string("A\0B", 3));
    EXPECT_EQ(s.Receive(2), "AB");
}

TEST(SerialLinkReceive, TakeReceivedHandsOverOnceAndClearsDataReady)
{
    SimLink s;
    s.Open(19200, 8);
    s.modem->Feed("HELLO");
    ASSERT_TRUE(s.WaitReady(1));
    EXPECT_EQ(s.link.m_bDataReady, 1u);
    EXPECT_EQ(s.link.TakeReceived(), "HELLO");
    EXPECT_EQ(s.link.m_bDataReady, 0u);
    EXPECT_EQ(s.link.TakeReceived(), "");
}

TEST(SerialLinkReceive, LoopedBackTextArrivesAtLineSpeed)
{
    SimLink s("loopback");
    s.Open(1200, 8);
    const auto start = Clock::now();
    s.link.QueueText("PING");
    EXPECT_EQ(s.Receive(4), "PING");
    EXPECT_GE(Clock::now() - start, s.modem->CharTime() * 4);
}

TEST(SerialLinkReceive, TestMessageIsAppendedExactlyAndOnlyInTestMode)
{
    SimLink s;
    s.Open(45, 5);
    s.link.InjectTestMessage(false);
    EXPECT_EQ(s.link.m_bDataReady, 0u);
    EXPECT_EQ(s.link.TakeReceived(), "");
    s.link.InjectTestMessage(true);
    EXPECT_EQ(s.link.m_bDataReady, 1u);
    EXPECT_EQ(s.link.TakeReceived(),
              "This is a test of the emergency broadcast system.\r\n"
              "In the event of a real emergency you would be dead!\r\n");
}
