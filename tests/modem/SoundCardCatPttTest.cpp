// The sound-card modem keyed by CAT PTT through the program's rig, against a
// real rigctld: the rig is keyed while the text plays and released after the
// last sample; without a rig the port says why it stays closed.
#include "app/DeviceMap.h"
#include "app/MemorySettingsStore.h"
#include "link/HamlibRig.h"
#include "link/LinkTestSupport.h"
#include "link/ProgramRig.h"
#include "modem/ProgramLiveAudio.h"
#include "support/FakeLiveAudio.h"
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
