// The simulated band, its fading channel and the simulated TNC, driven with
// made-up times (no threads, no waiting).
#include "link/BaudotCodec.h"
#include "link/BaudotText.h"
#include "link/FadingChannel.h"
#include "link/SimOptions.h"
#include "link/SimulatedBand.h"
#include "link/SimulatedTnc.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using namespace std::chrono_literals;
using Clock = SimulatedBand::Clock;

SimulatedBand::Options Opts(uint32_t seed, int pileup = 0)
{
    SimulatedBand::Options o;
    o.seed = seed;
    o.cqFirst = 1s;
    o.cqInterval = 20s;
    o.answerDelay = 1s;
    o.pileupPercent = pileup;
    return o;
}

// The operator transmits `text`, the transmitter drops at `t`; what the band
// says in the next five seconds.
std::string Transmit(SimulatedBand& band, Clock::time_point& t, const std::string& text)
{
    band.Keyed(t);
    band.Hear(text);
    t += 2s;
    band.Unkeyed(t);
    t += 5s;
    return band.Take(t);
}

std::string Decode(const std::string& codes)
{
    BaudotCodec codec;
    std::string text;
    for (char c : codes)
        if (const char ch = codec.DecodeCode(static_cast<uint8_t>(c)))
            text += ch;
    return text;
}

// A whole session: a CQ heard, the operator's CQ answered, the exchange confirmed.
std::string Session(uint32_t seed)
{
    SimulatedBand band(Opts(seed, 50));
    auto t = Clock::time_point{} + 100s;
    band.Start(t);
    t += 1s;
    std::string all = band.Take(t);
    all += Transmit(band, t, "CQ CQ DE N0CALL N0CALL K\r\n");
    const std::string caller = band.Callers().empty() ? "" : band.Callers().back();
    all += Transmit(band, t, caller + " DE N0CALL 599 001 001 K\r\n");
    return all;
}

TEST(SimulatedBand, SameSeedSameTrafficOtherSeedOther)
{
    EXPECT_EQ(Session(7), Session(7));
    EXPECT_NE(Session(7), Session(8));
}

TEST(SimulatedBand, CqAnswerExchangeAndSignOff)
{
    SimulatedBand band(Opts(3));
    auto t = Clock::time_point{} + 100s;
    band.Start(t);
    EXPECT_EQ(band.Take(t), "");
    t += 1s;
    const std::string cq = band.Take(t);
    EXPECT_NE(cq.find("CQ CQ"), std::string::npos) << cq;
    EXPECT_NE(cq.find("DE " + band.CqCall()), std::string::npos) << cq;

    // Nothing unsigned and nothing but a CQ gets an answer.
    EXPECT_EQ(Transmit(band, t, "RYRYRY THE QUICK BROWN FOX\r\n"), "");
    const std::string answer = Transmit(band, t, "CQ CQ DE N0CALL N0CALL K\r\n");
    ASSERT_EQ(band.Callers().size(), 1u);
    const std::string caller = band.Callers()[0];
    EXPECT_TRUE(std::regex_search(answer, std::regex("N0CALL DE " + caller + " .*UR 5[5-9]9 5[5-9]9 NR \\d{3} \\d{3} N0CALL DE " + caller + " K")))
        << answer;

    // An exchange naming someone else is ignored; one naming the caller is confirmed.
    EXPECT_EQ(Transmit(band, t, "W9ZZZ DE N0CALL 599 001 K\r\n"), "");
    const std::string confirm = Transmit(band, t, caller + " DE N0CALL 599 001 001 K\r\n");
    EXPECT_TRUE(std::regex_search(confirm, std::regex("N0CALL DE " + caller + " .*73 N0CALL DE " + caller + " SK"))) << confirm;
    EXPECT_TRUE(band.Callers().empty());
}

TEST(SimulatedBand, SecondCallerAtTheSameTimeAndCqStationCalled)
{
    SimulatedBand band(Opts(5, 100));
    auto t = Clock::time_point{} + 100s;
    band.Start(t);
    const std::string answers = Transmit(band, t, "CQ DE N0CALL K\r\n");
    ASSERT_EQ(band.Callers().size(), 2u);
    const std::string second = band.Callers()[1];
    EXPECT_NE(answers.find("N0CALL DE " + band.Callers()[0]), std::string::npos);
    EXPECT_NE(answers.find("N0CALL DE " + second), std::string::npos);
    EXPECT_NE(Transmit(band, t, second + " DE N0CALL 5NN 001 K\r\n").find(second + " SK"), std::string::npos);

    const std::string cqStation = band.CqCall();
    EXPECT_NE(Transmit(band, t, cqStation + " DE N0CALL N0CALL K\r\n").find("N0CALL DE " + cqStation), std::string::npos);
}

TEST(SimulatedBand, NothingIsHeardWhileTransmitting)
{
    SimulatedBand band(Opts(1));
    auto t = Clock::time_point{} + 100s;
    band.Start(t);
    band.Keyed(t);
    EXPECT_EQ(band.NextDue(), Clock::time_point::max());
    EXPECT_EQ(band.Take(t + 5s), "");
    band.Unkeyed(t + 5s);
    EXPECT_NE(band.Take(t + 5s).find("CQ"), std::string::npos);   // the held CQ comes now
}

TEST(BaudotText, ShiftsAsNeeded)
{
    const std::string text = "\r\nN0CALL DE K4X UR 599 NR 012 K\r\n";
    const std::string codes = EncodeBaudotText(text);
    EXPECT_EQ(static_cast<uint8_t>(codes[0]), BaudotCodec::kLtrs);
    EXPECT_EQ(Decode(codes), text);
}

TEST(FadingChannel, CleanAtZeroRepeatableAndLosesShiftsWhenFading)
{
    const std::string codes = EncodeBaudotText(std::string(50, ' ') + "599 TEST 599 TEST 599 TEST 599 TEST");
    std::string many;
    for (int i = 0; i < 20; ++i)
        many += codes;
    EXPECT_EQ(FadingChannel(1, 0.0).Pass(many, 5), many);
    const std::string a = FadingChannel(1, 0.05).Pass(many, 5);
    EXPECT_EQ(a, FadingChannel(1, 0.05).Pass(many, 5));
    EXPECT_LT(a.size(), many.size());   // shift codes were dropped
    EXPECT_NE(Decode(a), Decode(many));
}

TEST(SimOptions, ModeAndOptions)
{
    const SimOptions o = SimOptions::Parse("band?seed=42&errors=0.01&&flag&seed=43&bad=x1");
    EXPECT_EQ(o.mode, "band");
    EXPECT_EQ(o.Integer("seed", 0), 43);
    EXPECT_DOUBLE_EQ(o.Number("errors", 0), 0.01);
    EXPECT_EQ(o.Text("flag", "none"), "");
    EXPECT_EQ(o.Integer("bad", -1), -1);
    EXPECT_EQ(o.Integer("missing", 9), 9);
    EXPECT_EQ(SimOptions::Parse("tnc").mode, "tnc");
    EXPECT_TRUE(SimOptions::Parse("tnc").options.empty());
}

TEST(SimulatedTnc, EchoesAndAnswersCommands)
{
    struct Case {
        const char* typed;
        const char* answer;
    };
    const Case cases[] = {
        {"\r", "\r\ncmd:"},
        {"version\r", "version\r\nVELTRAN simulated modem controller 1.2\r\ncmd:"},
        {"MYCALL n0call\r\n", "MYCALL n0call\r\nMYCALL N0CALL\r\ncmd:"},
        {"mode ascii\r", "mode ascii\r\nMODE ASCII\r\ncmd:"},
        {"mode fax\r", "mode fax\r\n?bad mode FAX\r\ncmd:"},
        {"stat\r", "stat\r\n?unknown command STAT\r\ncmd:"},
        {"sx\btatus\r", "sx\b \btatus\r\nRTTY: closed\r\ncmd:"},
    };
    SimulatedTnc tnc;
    for (const Case& c : cases)
        EXPECT_EQ(tnc.Input(c.typed), c.answer) << c.typed;
    EXPECT_EQ(tnc.MyCall(), "N0CALL");
    EXPECT_NE(tnc.Input("help\r").find("STATUS"), std::string::npos);
}

}  // namespace
