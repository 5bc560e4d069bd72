// The sound-card modem keyed by CAT PTT through the program's rig, against a
// real rigctld: the rig is keyed while the text plays and released after the
// last sample; without a rig the port says why it stays closed. Against a
// stand-in rig: the transmitter sounds only once the rig has confirmed PTT.
#include "app/DeviceMap.h"
#include "app/MemorySettingsStore.h"
#include "link/HamlibRig.h"
#include "link/LinkTestSupport.h"
#include "link/ProgramRig.h"
#include "link/RigPttLine.h"
#include "modem/ProgramLiveAudio.h"
#include "modem/SoundCardDevice.h"
#include "support/FakeLiveAudio.h"
#include "support/FakeRig.h"
#include "support/Rigctld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace linktest;

namespace {

struct Installed {
    FakeLiveAudio* fake = nullptr;
    Installed()
    {
        auto backend = std::make_unique<FakeLiveAudio>(FakeLiveAudio::Options{});
        fake = backend.get();
        SetProgramLiveAudio(std::move(backend));
    }
    ~Installed()
    {
        SetProgramLiveAudio(nullptr);
        SetProgramRig(nullptr);
    }
};

void OpenCard(SerialLink& link, const MemorySettingsStore& settings)
{
    link.SetDeviceOpener([&](int) { return OpenDeviceForPath("audio:card,ptt=cat", settings); });
    link.m_nBaud = 100;
    link.m_nByteSize = 5;
    link.m_bPttKeying = 1;
    link.Connect(true);
}

TEST(SoundCardCatPtt, TheRigIsKeyedWhileTheTextPlaysAndReleasedAfter)
{
    RIGCTLD_OR_SKIP();
    Rigctld daemon;
    ASSERT_TRUE(daemon.Running());
    Installed installed;
    HamlibRigConfig config;
    config.model = HamlibRigConfig::kNetRigctl;
    config.port = daemon.Address();
    SetProgramRig(std::make_shared<HamlibRig>(config));

    MemorySettingsStore settings;
    SerialLink link;
    OpenCard(link, settings);
    ASSERT_TRUE(link.IsOpen()) << link.OpenErrorText();
    std::atomic<bool> sawOn{false};
    std::atomic<bool> sampling{true};
    std::thread sampler([&] {
        while (sampling) {
            if (daemon.Ptt() == true)
                sawOn = true;
            std::this_thread::sleep_for(2ms);
        }
    });
    std::string text = "RYRY";
    link.SendText(text);
    const bool played = installed.fake->WaitPlayed(
        [&](const std::vector<float>& p) {
            return !link.m_bKeyed && std::any_of(p.begin(), p.end(), [](float x) { return x != 0.0f; });
        },
        kEventually);
    sampling = false;
    sampler.join();
    EXPECT_TRUE(played);
    EXPECT_TRUE(sawOn) << "the rig was never keyed";
    const auto deadline = Clock::now() + 5s;
    while (daemon.Ptt() != false && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(daemon.Ptt(), false);
    link.Connect(false);
}

// The device keyed through a rig the test answers for: the transmitter may
// sound only once the rig has confirmed PTT.
struct CardOnRig {
    Installed installed;
    std::shared_ptr<FakeRig> rig = std::make_shared<FakeRig>();
    SoundCardDevice device{"audio:card,ptt=cat", false,
                           [this](const AudioDeviceValue&) { return std::make_unique<RigPttLine>(rig); }};
    bool Open()
    {
        LineSettings line;
        line.baud = 45;
        line.dataBits = 5;
        line.pttKeying = true;
        return device.Open(line);
    }
};

TEST(SoundCardCatPtt, TheTransmitterSoundsOnlyOnceTheRigHasConfirmed)
{
    CardOnRig card;
    ASSERT_TRUE(card.Open()) << card.device.OpenErrorText();
    card.rig->Hold();
    bool keyed = false;
    std::thread keyer([&] { keyed = card.device.KeyPtt(true); });
    ASSERT_TRUE(card.rig->WaitForWaitingRequest());
    EXPECT_FALSE(card.device.Ptt()) << "the transmitter was keyed before the rig";
    card.rig->Answer();
    keyer.join();
    EXPECT_TRUE(keyed);
    EXPECT_TRUE(card.device.Ptt());
    EXPECT_TRUE(card.device.KeyPtt(false));
    EXPECT_FALSE(card.device.Ptt());
    EXPECT_FALSE(card.rig->Ptt());
}

TEST(SoundCardCatPtt, ARigThatRefusesLeavesTheTransmitterSilentAndSaysWhy)
{
    CardOnRig card;
    ASSERT_TRUE(card.Open()) << card.device.OpenErrorText();
    card.rig->Refuse("Command rejected by the rig");
    EXPECT_FALSE(card.device.KeyPtt(true));
    EXPECT_FALSE(card.device.Ptt());
    EXPECT_EQ(card.device.PttFailureText(), "CAT PTT: Command rejected by the rig");
}

// The device goes away while the rig is still to confirm: the release it
// made then came before the key, so the key is undone once confirmed.
TEST(SoundCardCatPtt, ADeviceGoneWhileTheRigConfirmsEndsReleased)
{
    CardOnRig card;
    ASSERT_TRUE(card.Open()) << card.device.OpenErrorText();
    card.rig->Hold();
    bool keyed = true;
    std::thread keyer([&] { keyed = card.device.KeyPtt(true); });
    ASSERT_TRUE(card.rig->WaitForWaitingRequest());
    card.installed.fake->GoDown(FakeLiveAudio::Direction::Playback, "unplugged");
    const auto deadline = Clock::now() + kEventually;
    while (!card.device.IsDown() && Clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    card.rig->Answer();
    keyer.join();
    EXPECT_FALSE(keyed);
    EXPECT_NE(card.device.PttFailureText().find("unplugged"), std::string::npos) << card.device.PttFailureText();
    EXPECT_FALSE(card.device.Ptt());
    EXPECT_FALSE(card.rig->Ptt()) << "the rig was left keyed";
}

TEST(SoundCardCatPtt, WithoutARigThePortSaysWhy)
{
    Installed installed;
    MemorySettingsStore settings;
    SerialLink link;
    OpenCard(link, settings);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.OpenErrorText(), "CAT PTT: no rig is set up");
}

}  // namespace
