#include "LinkTestSupport.h"
#include "link/BaudotCodec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <future>

using namespace linktest;

namespace {

LineSettings At(uint32_t baud, uint8_t bits)
{
    LineSettings ls;
    ls.baud = baud;
    ls.dataBits = bits;
    return ls;
}

PortEvents WaitFor(SimulatedModem& modem, uint32_t flag)
{
    PortEvents ev;
    while (!(ev.flags & (flag | PortEvents::kDown | PortEvents::kCancelled)))
        ev = modem.WaitEvents();
    return ev;
}

std::string ReadAll(SimulatedModem& modem, size_t n)
{
    std::string out;
    while (out.size() < n) {
        const PortEvents ev = WaitFor(modem, PortEvents::kRxReady);
        if (!(ev.flags & PortEvents::kRxReady))
            break;
        uint8_t buf[64];
        const size_t got = modem.Read(buf, sizeof buf);
        out.append(reinterpret_cast<const char*>(buf), got);
    }
    return out;
}

}  // namespace

TEST(SimulatedModem, CharacterTimeCountsStartDataAndOneStopBit)
{
    SimulatedModem modem;
    ASSERT_TRUE(modem.Open(At(45, 5)));
    EXPECT_EQ(modem.CharTime().count(), (7 * 1000000000ll + 44) / 45);
    modem.Close();
    ASSERT_TRUE(modem.Open(At(9600, 8)));
    EXPECT_EQ(modem.CharTime().count(), (10 * 1000000000ll + 9599) / 9600);
}

TEST(SimulatedModem, DrainComesAfterTheLineTimeAndCoversEveryWriteSoFar)
{
    SimulatedModem modem;
    ASSERT_TRUE(modem.Open(At(1200, 8)));
    const auto start = Clock::now();
    const uint8_t a[3] = {'A', 'B', 'C'};
    modem.Write(a, 3, 100);
    modem.Write(a, 2, 100);
    const PortEvents ev = WaitFor(modem, PortEvents::kDrained);
    ASSERT_TRUE(ev.flags & PortEvents::kDrained);
    EXPECT_EQ(ev.drainedWrites, 2u);
    EXPECT_GE(Clock::now() - start, modem.CharTime() * 5);
    EXPECT_EQ(modem.Writes(), (std::vector<std::string>{"ABC", "AB"}));
}

TEST(SimulatedModem, LoopbackAndLineSpeedFeedArriveInOrderAndNotEarly)
{
    SimulatedModem modem("loopback");
    ASSERT_TRUE(modem.Open(At(2400, 8)));
    const auto start = Clock::now();
    const uint8_t a[2] = {'H', 'I'};
    modem.Write(a, 2, 100);
    modem.FeedAtLineSpeed(std::string("!\0?", 3));   // after the echo; the zero is dropped
    EXPECT_EQ(ReadAll(modem, 4), "HI!?");
    EXPECT_GE(Clock::now() - start, modem.CharTime() * 5);
}

TEST(SimulatedModem, FifoOptionHandsReceivedBytesOverByTheGroup)
{
    SimulatedModem modem("plain?fifo=3");
    ASSERT_TRUE(modem.Open(At(1200, 8)));
    modem.FeedAtLineSpeed("ABCDEFG");
    std::string got;
    while (got.size() < 7) {
        ASSERT_NE(modem.WaitEvents().flags & PortEvents::kRxReady, 0u);
        uint8_t buffer[16];
        got.append(reinterpret_cast<const char*>(buffer), modem.Read(buffer, sizeof buffer));
        // Only whole groups ever become readable; the burst's last byte ends one.
        EXPECT_TRUE(got.size() % 3 == 0 || got.size() == 7) << got;
    }
    EXPECT_EQ(got, "ABCDEFG");
}

TEST(SimulatedModem, StalledOutputNeverDrainsAndAFullBufferBlocksUntilCancelled)
{
    SimulatedModem modem;
    ASSERT_TRUE(modem.Open(At(45, 5)));
    modem.SetStalled(true, 2);
    const uint8_t a[4] = {1, 2, 3, 4};
    EXPECT_EQ(modem.Write(a, 2, 10), 2u);
    std::thread waker([&] {
        std::this_thread::sleep_for(100ms);
        modem.Wake();
    });
    const PortEvents ev = modem.WaitEvents();   // the line time has long passed by the wake
    waker.join();
    EXPECT_EQ(ev.flags, PortEvents::kWoken);

    auto blocked = std::async(std::launch::async, [&] { return modem.Write(a, 4, 60000); });
    EXPECT_EQ(blocked.wait_for(50ms), std::future_status::timeout);
    modem.Cancel();
    ASSERT_EQ(blocked.wait_for(kEventually), std::future_status::ready);
    EXPECT_EQ(blocked.get(), 0u);
    // Cancel stays until close; Wake is one-shot.
    EXPECT_EQ(modem.WaitEvents().flags, PortEvents::kCancelled);
    EXPECT_EQ(modem.WaitEvents().flags, PortEvents::kCancelled);
}

TEST(SimulatedModem, RecordsModemLinesInOrderAndVanishesForGood)
{
    SimulatedModem modem;
    LineSettings ls = At(45, 5);
    ls.pttKeying = true;
    ASSERT_TRUE(modem.Open(ls));
    EXPECT_TRUE(modem.Rts() && modem.Dtr());
    modem.SetRts(true);
    modem.SetDtr(true);
    modem.SetRts(false);
    const auto log = modem.Log();
    std::vector<std::pair<SimEvent::Kind, bool>> lines;
    for (const SimEvent& e : log)
        if (e.kind == SimEvent::Kind::Rts || e.kind == SimEvent::Kind::Dtr)
            lines.emplace_back(e.kind, e.level);
    using K = SimEvent::Kind;
    // Both lines are high from the open (as on a tty, PTT keying or not), then as told.
    EXPECT_EQ(lines, (std::vector<std::pair<K, bool>>{{K::Rts, true}, {K::Dtr, true}, {K::Rts, false}}));
    for (size_t i = 1; i < log.size(); ++i)
        EXPECT_GE(log[i].time, log[i - 1].time);

    modem.Vanish();
    EXPECT_TRUE(modem.IsDown());
    EXPECT_EQ(modem.WaitEvents().flags, PortEvents::kDown);
    const uint8_t a[1] = {1};
    EXPECT_EQ(modem.Write(a, 1, 10), 0u);
    modem.SetRts(true);
    EXPECT_FALSE(modem.Rts());
}

TEST(SimulatedModem, DemoPlaysABaudotCqCallAtLineSpeed)
{
    SimulatedModem modem("demo");
    modem.SetDemoTiming(0ms, 60000ms);
    ASSERT_TRUE(modem.Open(At(1200, 5)));
    BaudotCodec codec;
    std::string text;
    // LTRS, CR LF, the call (three W1AW figures shifts), CR LF: 29 codes.
    for (char c : ReadAll(modem, 29)) {
        const char ch = codec.DecodeCode(static_cast<uint8_t>(c));
        if (ch)
            text += ch;
    }
    EXPECT_NE(text.find("CQ CQ DE W1AW W1AW K"), std::string::npos) << text;
}

TEST(SimulatedModem, DemoTncEchoesAndAnswersACarriageReturnWithAPrompt)
{
    SimulatedModem modem("demo");
    ASSERT_TRUE(modem.Open(At(9600, 8)));
    const uint8_t cr[1] = {'\r'};
    modem.Write(cr, 1, 10);
    EXPECT_EQ(ReadAll(modem, 6), "\r\ncmd:");
}

TEST(SimulatedModem, TraceAppendsOneFlushedLinePerEventTimedFromTheOpen)
{
    auto readLines = [] {
        std::ifstream in("trace.txt");
        std::vector<std::pair<long long, std::string>> lines;
        long long us = 0;
        std::string rest;
        while (in >> us && std::getline(in, rest))
            lines.emplace_back(us, rest);
        return lines;
    };
    { std::ofstream("trace.txt") << "12 earlier\n"; }   // appended to, never truncated
    SimulatedModem modem("quiet?trace=trace.txt");
    EXPECT_EQ(modem.TracePath(), "trace.txt");
    ASSERT_TRUE(modem.Open(At(45, 5)));
    modem.SetRts(false);
    modem.SetDtr(false);
    const uint8_t codes[2] = {0x1F, 0x03};
    modem.Write(codes, 2, 1000);
    EXPECT_EQ(readLines().back().second, " write 1f03") << "flushed at once";
    WaitFor(modem, PortEvents::kDrained);
    modem.SetRts(true);
    modem.Purge();
    modem.Close();

    const auto lines = readLines();
    std::vector<std::string> events;
    for (const auto& [us, text] : lines)
        events.push_back(text);
    EXPECT_EQ(events, (std::vector<std::string>{" earlier", " open 45 5", " purge", " rts 0", " dtr 0",
                                                " write 1f03", " drained", " rts 1", " purge", " close"}));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_LT(lines[1].first, 100000);
    for (size_t i = 2; i < lines.size(); ++i)
        EXPECT_GE(lines[i].first, lines[i - 1].first);
    // Two characters of 7 bits at 45 baud before the drain.
    EXPECT_GE(lines[6].first - lines[5].first, 2 * 155555);
}
