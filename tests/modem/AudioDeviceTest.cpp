// The sound-card modem as a port: device values, unshift on space, and a
// recording played through "audio:file=" into a SerialLink.
#include "ModemTestSignals.h"
#include "app/DeviceMap.h"
#include "app/MemorySettingsStore.h"
#include "link/SerialLink.h"
#include "link/SimulatedBand.h"
#include "link/SimulatedBandPeer.h"
#include "modem/AudioBandDevice.h"
#include "modem/AudioDeviceValue.h"
#include "modem/AudioFile.h"
#include "modem/AudioFileDevice.h"
#include "modem/RttyCarrier.h"
#include "modem/UnshiftOnSpace.h"
#include "support/ScratchDir.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

using namespace modemtest;

namespace {

TEST(AudioDeviceValue, ParsesOptionsAroundTheFile)
{
    AudioDeviceValue v;
    ASSERT_TRUE(ParseAudioDeviceValue("audio:mark=1275,shift=-170,reverse,file=/tmp/a,b.wav,stop=2,afc=0", v));
    EXPECT_EQ(v.file, "/tmp/a,b.wav");
    EXPECT_EQ(v.markHz, 1275.0);
    EXPECT_EQ(v.shiftHz, -170.0);
    EXPECT_EQ(v.reverse, true);
    EXPECT_EQ(v.stopBits, 2.0);
    EXPECT_EQ(v.afc, false);
    EXPECT_FALSE(v.usos);
    EXPECT_FALSE(ParseAudioDeviceValue("audio:mark=high,file=x.wav", v));
    EXPECT_FALSE(ParseAudioDeviceValue("audio:colour=red", v));
    EXPECT_EQ(BaudForLineRate(45), 45.45);
    EXPECT_EQ(BaudForLineRate(57), 56.88);
    EXPECT_EQ(BaudForLineRate(74), 74.2);
    EXPECT_EQ(BaudForLineRate(110), 110.0);
}

TEST(AudioDeviceValue, SoundCardValueSurvivesFormatAndParse)
{
    AudioDeviceValue v;
    ASSERT_TRUE(ParseAudioDeviceValue(
        "audio:card,capture=alsa_input.usb-1.mono,playback=alsa_output.usb-1,ptt=dtr,pttdev=/dev/ttyUSB0,mark=1275,reverse,usos=0", v));
    EXPECT_TRUE(v.card);
    EXPECT_EQ(v.capture, "alsa_input.usb-1.mono");
    EXPECT_EQ(v.playback, "alsa_output.usb-1");
    EXPECT_EQ(v.ptt, AudioDeviceValue::Ptt::Dtr);
    EXPECT_EQ(v.pttDevice, "/dev/ttyUSB0");
    AudioDeviceValue back;
    ASSERT_TRUE(ParseAudioDeviceValue(FormatAudioDeviceValue(v), back));
    EXPECT_EQ(FormatAudioDeviceValue(back), FormatAudioDeviceValue(v));
    EXPECT_EQ(back.capture, v.capture);
    EXPECT_EQ(back.ptt, v.ptt);
    EXPECT_EQ(back.markHz, 1275.0);
    EXPECT_EQ(back.reverse, true);
    EXPECT_EQ(back.usos, false);
    EXPECT_FALSE(ParseAudioDeviceValue("audio:card,ptt=vox", v));
    for (const auto& [text, ptt] : {std::pair{"cat", AudioDeviceValue::Ptt::Cat},
                                    std::pair{"cm108", AudioDeviceValue::Ptt::Cm108}}) {
        ASSERT_TRUE(ParseAudioDeviceValue(std::string("audio:card,pttdev=/dev/hidraw1,ptt=") + text, v));
        EXPECT_EQ(v.ptt, ptt);
        ASSERT_TRUE(ParseAudioDeviceValue(FormatAudioDeviceValue(v), back));
        EXPECT_EQ(back.ptt, ptt);
        EXPECT_EQ(back.pttDevice, "/dev/hidraw1");
    }

    AudioDeviceValue file;
    ASSERT_TRUE(ParseAudioDeviceValue("audio:shift=-170,file=/tmp/a,b.wav", file));
    ASSERT_TRUE(ParseAudioDeviceValue(FormatAudioDeviceValue(file), back));
    EXPECT_EQ(back.file, "/tmp/a,b.wav");
    EXPECT_FALSE(back.card);
}

TEST(UnshiftOnSpace, ReceiveReturnsToLettersAfterASpaceTransmitRepeatsFigs)
{
    // FIGS 5 space 5 (as the link encodes "5 5"): the receiver sees LTRS
    // after the space; the sender re-sends FIGS before the second 5.
    const std::string codes = "\x1B\x10\x04\x10";
    UnshiftOnSpace rx, tx;
    std::string received, sent;
    for (char c : codes) {
        rx.Receive(static_cast<uint8_t>(c), received);
        tx.Transmit(static_cast<uint8_t>(c), sent);
    }
    EXPECT_EQ(received, std::string("\x1B\x10\x04\x1F\x10"));
    EXPECT_EQ(sent, std::string("\x1B\x10\x04\x1B\x10"));
    // Letters after a space need nothing; an explicit shift needs no repeat.
    std::string plain;
    UnshiftOnSpace tx2;
    for (char c : std::string("\x1B\x10\x04\x1F\x01\x04\x1B\x10"))
        tx2.Transmit(static_cast<uint8_t>(c), plain);
    EXPECT_EQ(plain, std::string("\x1B\x10\x04\x1F\x01\x04\x1B\x10"));
}

struct Receiver {
    SerialLink link;
    std::mutex mutex;
    std::condition_variable ready;
    int count = 0;   // guarded by mutex

    Receiver()
    {
        link.SetDataReadyCallback([this] {
            {
                std::lock_guard lock(mutex);
                ++count;
            }
            ready.notify_all();
        });
    }
    std::string Receive(size_t n)
    {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::unique_lock lock(mutex);
        for (;;) {
            const int seen = count;
            lock.unlock();
            text += link.TakeReceived();
            lock.lock();
            if (text.size() >= n || !ready.wait_until(lock, deadline, [&] { return count != seen; }))
                return text;
        }
    }
};

std::string WriteRecording(const std::string& dir, const std::string& codes, double baud)
{
    RttyParams p;
    p.baud = baud;
    std::vector<uint32_t> c(codes.begin(), codes.end());
    const std::string path = dir + "/rec.wav";
    std::string error;
    EXPECT_TRUE(WriteAudioFile(path, Modulate(p, c, 48000.0), 48000.0, false, error)) << error;
    return path;
}

TEST(AudioFileDevice, RecordingArrivesThroughTheLinkAsTextInOrder)
{
    ScratchDir dir;
    // "CQ DE 5 5" in Baudot codes at 100 baud, played in real time.
    const std::string codes = "\x1F\x0E\x17\x04\x09\x01\x04\x1B\x10\x04\x10";
    const std::string path = WriteRecording(dir.Path(), codes, 100.0);
    for (int usos : {0, 1}) {
        MemorySettingsStore settings;
        settings.Put(keys::RTTYUnshiftOnSpace, usos);
        Receiver r;
        r.link.SetDeviceOpener(
            [&](int) { return OpenDeviceForPath("audio:file=" + path, settings); });
        r.link.m_nBaud = 100;
        r.link.m_nByteSize = 5;
        r.link.Connect(true);
        ASSERT_TRUE(r.link.IsOpen());
        // With unshift on space the last 5 reads as T, the letters reading.
        EXPECT_EQ(r.Receive(9), usos ? "CQ DE 5 T" : "CQ DE 5 5");
        r.link.Connect(false);
    }
}

TEST(AudioFileDevice, MissingRecordingOrBadValueDoesNotOpen)
{
    LineSettings s;
    s.baud = 45;
    s.dataBits = 5;
    EXPECT_FALSE(AudioFileDevice("audio:file=/nonexistent/x.wav", false).Open(s));
    EXPECT_FALSE(AudioFileDevice("audio:mark=x", false).Open(s));
    EXPECT_FALSE(AudioFileDevice("audio:", false).Open(s));
}

TEST(AudioFileDevice, DrainsWhenTheWrittenCharactersHaveBeenPlayed)
{
    ScratchDir dir;
    const std::string path = WriteRecording(dir.Path(), "\x1F", 100.0);
    AudioFileDevice dev("audio:file=" + path, false);
    LineSettings s;
    s.baud = 100;
    s.dataBits = 5;
    ASSERT_TRUE(dev.Open(s));
    const uint8_t codes[4] = {31, 31, 31, 31};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(dev.Write(codes, 4, 1000), 4u);
    PortEvents ev;
    do
        ev = dev.WaitEvents();
    while (!(ev.flags & PortEvents::kDrained));
    // Four frames of 7.5 bits at 100 baud have been played by then.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(299));
    EXPECT_EQ(ev.drainedWrites, 1u);
    dev.SetRts(true);
    EXPECT_TRUE(dev.Ptt());
    dev.Close();
}

TEST(AudioBandDevice, BandArrivesThroughTheDemodulatorAsTextInOrder)
{
    // The CQ station's first call, as the band generates it for this seed.
    const std::string value = "audio:band?snr=20&seed=7&first=200&cq=60000";
    SimulatedBand band(SimulatedBandPeer::BandOptions(SimOptions::Parse("band?seed=7&first=200&cq=60000")));
    const auto t = std::chrono::steady_clock::now();
    band.Start(t);
    const std::string cq = band.Take(t + std::chrono::milliseconds(200));
    ASSERT_NE(cq.find("CQ"), std::string::npos);
    const auto printed = [](std::string s) {
        std::erase_if(s, [](char c) { return c == '\r' || c == '\n'; });
        return s;
    };

    MemorySettingsStore settings;
    Receiver r;
    r.link.SetDeviceOpener([&](int) { return OpenDeviceForPath(value, settings); });
    r.link.m_nBaud = 110;
    r.link.m_nByteSize = 5;
    r.link.Connect(true);
    ASSERT_TRUE(r.link.IsOpen());
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (printed(text).size() < printed(cq).size() && std::chrono::steady_clock::now() < deadline)
        text += r.Receive(printed(cq).size() - printed(text).size());
    r.link.Connect(false);
    EXPECT_EQ(printed(text), printed(cq));
}

}  // namespace

TEST(RttyCarrier, MarkOnTheAirFromDialAndTonesForEachSideband)
{
    RttyParams normal;  // mark 2125, shift 170
    RttyParams reversed = normal;
    reversed.reverse = true;
    const struct {
        const RttyParams* params;
        Sideband sideband;
        double carrierHz;
    } rows[] = {
        {&normal, Sideband::Lower, 14'087'125.0 - 2125.0},
        {&normal, Sideband::Upper, 14'087'125.0 + 2125.0},
        {&reversed, Sideband::Lower, 14'087'125.0 - 2295.0},
    };
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(RttyCarrierFrequency(14'087'125.0, *row.params, row.sideband), row.carrierHz);
}
