// The sound-card modem on the air, through a SerialLink and the fake live
// audio: PTT keys before the first sample and drops only after the last one
// has been played plus the link's tail; received audio comes out as text; a
// device that goes away puts the port down with PTT released; an open that
// fails says why.
#include "ModemTestSignals.h"
#include "app/DeviceMap.h"
#include "app/MemorySettingsStore.h"
#include "app/PortState.h"
#include "link/LinkTestSupport.h"
#include "link/NoPttLine.h"
#include "link/PosixSerialPort.h"
#include "link/SerialPttLine.h"
#include "modem/AudioTap.h"
#include "modem/BaudotText.h"
#include "modem/ProgramLiveAudio.h"
#include "modem/SoundCardDevice.h"
#include "support/FakeLiveAudio.h"
#include "support/Pty.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace linktest;

namespace {

using Direction = FakeLiveAudio::Direction;

// The fake installed as the program's backend for one test.
struct FakeServer {
    FakeLiveAudio* fake;
    explicit FakeServer(FakeLiveAudio::Options options = {})
    {
        auto backend = std::make_unique<FakeLiveAudio>(options);
        fake = backend.get();
        SetProgramLiveAudio(std::move(backend));
    }
    ~FakeServer() { SetProgramLiveAudio(nullptr); }
};

// A link on "audio:card" whose PTT line keys a simulated modem's RTS or DTR.
struct CardLink : WatchedLink {
    std::shared_ptr<SimulatedModem> ptt = std::make_shared<SimulatedModem>();

    explicit CardLink(AudioDeviceValue::Ptt choice, std::string options = "")
    {
        const std::string value =
            std::string("audio:card,ptt=") + (choice == AudioDeviceValue::Ptt::Rts ? "rts" :
                                              choice == AudioDeviceValue::Ptt::Dtr ? "dtr" : "none") +
            ",pttdev=sim" + options;
        link.SetDeviceOpener([this, value](int) {
            return std::make_unique<SoundCardDevice>(value, false, [this](const AudioDeviceValue& v) -> std::unique_ptr<PttLine> {
                if (v.ptt == AudioDeviceValue::Ptt::None)
                    return std::make_unique<NoPttLine>();
                return std::make_unique<SerialPttLine>(
                    std::make_unique<SharedPortDevice>(ptt),
                    v.ptt == AudioDeviceValue::Ptt::Rts ? SerialPttLine::Line::Rts : SerialPttLine::Line::Dtr, "sim");
            });
        });
        link.m_nBaud = 100;
        link.m_nByteSize = 5;
        link.m_bPttKeying = 1;
    }
    ~CardLink() { link.Connect(false); }

    // Waits until the PTT line of `kind` has risen and fallen again.
    bool WaitKeyedAndReleased(SimEvent::Kind kind)
    {
        return ptt->WaitFor(
            [kind](const std::vector<SimEvent>& log) {
                bool rose = false;
                for (const SimEvent& e : log)
                    if (e.kind == kind) {
                        if (e.level)
                            rose = true;
                        else if (rose)
                            return true;
                    }
                return false;
            },
            kEventually);
    }
};

RttyParams Params100()
{
    RttyParams p;
    p.baud = 100;
    return p;
}

std::string Printed(const std::vector<uint32_t>& codes)
{
    BaudotPrinter printer(false);
    std::string text;
    for (uint32_t c : codes)
        printer.Put(static_cast<uint8_t>(c), text);
    return text;
}

TEST(SoundCardDevice, PttUpBeforeTheFirstSampleDownAfterTheLastIsPlayedAndTheTail)
{
    const struct {
        AudioDeviceValue::Ptt choice;
        SimEvent::Kind line;
    } cases[] = {
        {AudioDeviceValue::Ptt::Rts, SimEvent::Kind::Rts},
        {AudioDeviceValue::Ptt::Dtr, SimEvent::Kind::Dtr},
        {AudioDeviceValue::Ptt::None, SimEvent::Kind::Rts},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.choice));
        FakeServer server;
        CardLink s(c.choice);
        s.link.Connect(true);
        ASSERT_TRUE(s.link.IsOpen());
        std::string text = "RYRY";
        s.link.SendText(text);
        if (c.choice == AudioDeviceValue::Ptt::None) {
            // No line to watch: the transmission is over once the link has
            // unkeyed and the audio fell silent again.
            ASSERT_TRUE(server.fake->WaitPlayed(
                [&](const std::vector<float>& p) {
                    return !s.link.m_bKeyed && p.size() > 48000 && p.back() == 0.0f &&
                           std::any_of(p.begin(), p.end(), [](float x) { return x != 0.0f; });
                },
                kEventually));
        } else {
            ASSERT_TRUE(s.WaitKeyedAndReleased(c.line));
        }
        s.link.Connect(false);

        const std::vector<float> played = server.fake->Played();
        const auto first = std::find_if(played.begin(), played.end(), [](float x) { return x != 0.0f; });
        ASSERT_NE(first, played.end());
        // What went out decodes to what was sent; the end of its last stop
        // bit is the last sample of the last write. The decoder's squelch
        // wants a longer steady mark than the link's lead: it gets one in
        // front.
        RttyModulator lead(Params100(), SoundCardDevice::kRate);
        std::vector<float> heard(static_cast<size_t>(0.7 * SoundCardDevice::kRate));
        lead.Render(heard.data(), heard.size());
        const size_t from = static_cast<size_t>(first - played.begin());
        const auto last = std::find_if(played.rbegin(), played.rend(), [](float x) { return x != 0.0f; }).base();
        heard.insert(heard.end(), first, last);
        const size_t tailFrom = heard.size();
        heard.resize(heard.size() + static_cast<size_t>(0.4 * SoundCardDevice::kRate));
        lead.Render(heard.data() + tailFrom, heard.size() - tailFrom);
        RttyDemodulator demod(Params100(), SoundCardDevice::kRate);
        demod.Process(heard.data(), heard.size());
        const std::vector<DecodedChar> chars = demod.Take();
        std::vector<uint32_t> codes;
        for (const DecodedChar& d : chars)
            codes.push_back(d.code);
        EXPECT_EQ(Printed(codes), "RYRY");
        ASSERT_FALSE(chars.empty());
        const double stopEnd = chars.back().stopEnd * SoundCardDevice::kRate / RttyDemodulator::kRate;
        const auto lastSample = server.fake->PlayedAt(static_cast<uint64_t>(stopEnd - 0.7 * SoundCardDevice::kRate) + from);
        ASSERT_TRUE(lastSample);
        // Silence again at the end: a VOX lets go too.
        EXPECT_EQ(played.back(), 0.0f);
        if (c.choice == AudioDeviceValue::Ptt::None)
            continue;

        std::vector<SimEvent> line = OfKind(s.ptt->Log(), c.line);
        ASSERT_GE(line.size(), 3u);
        EXPECT_FALSE(line[0].level);   // lowered at open, before anything else
        EXPECT_TRUE(line[1].level);
        EXPECT_FALSE(line[2].level);
        const auto firstSample = server.fake->PlayedAt(from);
        EXPECT_LE(line[1].time, *firstSample);
        // (The decoder's estimate of the stop bit's end may be a little late.)
        EXPECT_GE(line[2].time - *lastSample, std::chrono::milliseconds(95));
        // The other line never moved from low.
        for (const SimEvent& e : OfKind(s.ptt->Log(), c.line == SimEvent::Kind::Rts ? SimEvent::Kind::Dtr
                                                                                     : SimEvent::Kind::Rts))
            EXPECT_FALSE(e.level);
    }
}

TEST(SoundCardDevice, DrainedOnlyWhenThePlayedCountCoversTheLastSample)
{
    FakeLiveAudio::Options manual;
    manual.realTimePlayback = false;
    FakeServer server(manual);
    SoundCardDevice dev("audio:card,ptt=none", false);
    LineSettings s;
    s.baud = 100;
    s.dataBits = 5;
    ASSERT_TRUE(dev.Open(s));
    // The link reckons with the line on the air: 7.5 bits at 100 baud.
    EXPECT_EQ(LineCharTime(dev.ActualLine(s)), std::chrono::microseconds(75000));
    const auto silent = [](const std::vector<float>& v) {
        return std::all_of(v.begin(), v.end(), [](float x) { return x == 0.0f; });
    };
    EXPECT_TRUE(silent(server.fake->Pull(480)));   // unkeyed: silence
    dev.SetRts(true);
    const uint8_t codes[4] = {0x1F, 0x0A, 0x15, 0x0A};
    ASSERT_EQ(dev.Write(codes, 4, 1000), 4u);
    // Four frames of 7.5 bits at 100 baud, 480 samples a bit, then mark.
    const uint64_t end = 480 + 4 * 15 * 480 / 2;
    const std::vector<float> out = server.fake->Pull(end - 480 + 4800);
    EXPECT_FALSE(silent(std::vector<float>(out.end() - 480, out.end())));   // keyed and idle: mark
    const auto drainedAfterWake = [&] {
        dev.Wake();
        return (dev.WaitEvents().flags & PortEvents::kDrained) != 0;
    };
    server.fake->SetPlayedFrames(end - 1);
    EXPECT_FALSE(drainedAfterWake());
    server.fake->SetPlayedFrames(end);
    dev.Wake();
    const PortEvents ev = dev.WaitEvents();
    EXPECT_TRUE(ev.flags & PortEvents::kDrained);
    EXPECT_EQ(ev.drainedWrites, 1u);
    dev.SetRts(false);
    server.fake->Pull(480);   // the fade
    EXPECT_TRUE(silent(server.fake->Pull(480)));
    dev.Close();
}

TEST(SoundCardDevice, ReceivedAudioArrivesAsTextAndTheTapRetunesBoth)
{
    const std::string text = "CQ TEST DE W1AW 599 001";
    const struct {
        std::optional<double> request;   // a click on the waterfall before the signal
        double signalMark;
    } cases[] = {{std::nullopt, 2125.0}, {1275.0, 1275.0}};
    for (const auto& c : cases) {
        FakeServer server;
        CardLink s(AudioDeviceValue::Ptt::None);
        s.link.Connect(true);
        ASSERT_TRUE(s.link.IsOpen());
        ASSERT_TRUE(RttyAudioTap().IsActive());
        if (c.request)
            RttyAudioTap().RequestMark(*c.request);
        RttyParams p = Params100();
        p.markHz = c.signalMark;
        const std::string codes = EncodeBaudotText(text, false);
        const std::vector<float> audio = modemtest::Modulate(p, std::vector<uint32_t>(codes.begin(), codes.end()),
                                                             SoundCardDevice::kRate);
        server.fake->Feed(audio);
        EXPECT_EQ(s.Receive(text.size()), text);
        ASSERT_TRUE(server.fake->WaitFedConsumed(kEventually));
        EXPECT_EQ(RttyAudioTap().MarkTone(), c.signalMark);
        EXPECT_EQ(RttyAudioTap().SpaceTone(), c.signalMark + 170.0);
        uint64_t total = 0;
        RttyAudioTap().Recent(1, &total);
        EXPECT_EQ(total, audio.size());
        s.link.Connect(false);
        EXPECT_FALSE(RttyAudioTap().IsActive());
    }
}

TEST(SoundCardDevice, ADeviceGoingAwayPutsThePortDownWithPttReleased)
{
    enum class Gone { Capture, Playback, Ptt };
    const struct {
        Gone gone;
        bool keyed;
        const char* reason;
    } cases[] = {
        {Gone::Capture, false, "capture unplugged"},
        {Gone::Capture, true, "capture unplugged"},
        {Gone::Playback, true, "playback unplugged"},
        {Gone::Ptt, true, "the PTT device sim has gone away"},
    };
    FakeLiveAudio::Options realTime;
    realTime.realTimeCapture = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        FakeServer server(realTime);
        CardLink s(AudioDeviceValue::Ptt::Rts);
        s.link.Connect(true);
        ASSERT_TRUE(s.link.IsOpen());
        if (c.keyed) {
            // Idle fill keeps the transmitter keyed.
            s.link.m_bDiddle = 1;
            s.link.m_bTxActive = 1;
            s.link.Wake();
            ASSERT_TRUE(s.ptt->WaitFor(
                [](const std::vector<SimEvent>& log) {
                    const auto rts = OfKind(log, SimEvent::Kind::Rts);
                    return !rts.empty() && rts.back().level;
                },
                kEventually));
        } else {
            RttyParams p = Params100();
            const std::vector<float> audio = modemtest::Modulate(p, std::vector<uint32_t>(40, 0x1F), SoundCardDevice::kRate);
            server.fake->Feed(audio);
        }
        if (c.gone == Gone::Ptt)
            s.ptt->Vanish();
        else
            server.fake->GoDown(c.gone == Gone::Capture ? Direction::Capture : Direction::Playback, c.reason);
        {
            std::unique_lock lock(s.mutex);
            ASSERT_TRUE(s.ready.wait_for(lock, kEventually, [&] { return s.link.IsDown(); }));
        }
        EXPECT_EQ(s.link.DownReason(), c.reason);
        if (c.gone != Gone::Ptt) {
            EXPECT_FALSE(s.ptt->Rts());
        }
        s.link.Connect(false);
        EXPECT_FALSE(s.link.IsOpen());
        EXPECT_EQ(server.fake->Running(Direction::Capture) + server.fake->Running(Direction::Playback), 0);
    }
}

TEST(SoundCardDevice, AFailedOpenTellsWhyInTheShownPortState)
{
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    const struct {
        bool server;
        std::string value;
        const char* reason;
    } cases[] = {
        {false, "audio:card", "No sound server"},
        {true, "audio:card,capture=usb.gone", "capture device usb.gone: No such device: usb.gone"},
        {true, "audio:card,playback=usb.gone", "playback device usb.gone: No such device: usb.gone"},
        {true, "audio:card,ptt=rts,pttdev=/nonexistent/ttyUSB7",
         "PTT device /nonexistent/ttyUSB7: No such file or directory"},
        {true, "audio:card,ptt=dtr", "No PTT device chosen"},
        {true, "audio:card,ptt=rts,pttdev=" + pty.Path(), ""},
        {true, "audio:card,ptt=dtr,pttdev=sim:plain", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::optional<FakeServer> server;
        if (c.server)
            server.emplace();
        MemorySettingsStore settings;
        SerialLink link;
        link.SetDeviceOpener([&](int) { return OpenDeviceForPath(c.value, settings); });
        link.m_nBaud = 45;
        link.m_nByteSize = 5;
        link.m_bPttKeying = 1;
        link.Connect(true);
        EXPECT_EQ(link.IsOpen(), *c.reason == '\0');
        EXPECT_EQ(link.OpenErrorText(), c.reason);
        PortState state;
        state.name = "RTTY";
        state.port = 1;
        state.device = c.value;
        state.open = link.IsOpen();
        state.error = link.OpenError();
        state.reason = link.OpenErrorText();
        if (*c.reason) {
            EXPECT_EQ(DescribePortState(state), "RTTY port COM1 is down: " + c.value + ": " + c.reason + ".");
        }
        link.Connect(false);
    }
}

TEST(SerialPttLine, OnAPseudoTerminalOpensAndNoticesTheDeviceHangingUp)
{
    // Pseudo-terminals have no modem lines (TIOCMGET and TIOCMBIS answer
    // ENOTTY), so the line levels are checked on the simulated modem above;
    // here the real port code opens a real device and sees it go.
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    SerialPttLine line(std::make_unique<PosixSerialPort>(pty.Path()), SerialPttLine::Line::Rts, pty.Path());
    std::string error;
    ASSERT_TRUE(line.Open(error)) << error;
    EXPECT_FALSE(line.IsKeyed());
    line.Set(true);
    EXPECT_TRUE(line.IsKeyed());
    EXPECT_FALSE(line.IsDown());
    pty.CloseMaster();
    const auto deadline = std::chrono::steady_clock::now() + kEventually;
    while (!line.IsDown() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(line.IsDown());
    line.Set(false);
    line.Close();
}

}  // namespace
