// The rig settings and the PTT line they give a terminal unit's port: which
// line of the port (if any) the link's keying reaches.
#include "app/DeviceMap.h"
#include "app/MemorySettingsStore.h"
#include "app/RigSettings.h"
#include "app/SettingsKeys.h"
#include "link/LinkTestSupport.h"
#include "link/ProgramRig.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using namespace linktest;

struct Keyed {
    bool rts = false;
    bool dtr = false;
};

// Keys a 5-bit link on a simulated modem through the settings' PTT line and
// reports which of the modem's lines ever went up.
Keyed KeyOnce(const RigSettings& rig)
{
    WatchedLink watched;
    auto modem = std::make_shared<SimulatedModem>("");
    watched.link.SetDeviceOpener([&](int) { return WithRigPtt(std::make_unique<SharedPortDevice>(modem), rig); });
    watched.link.m_nBaud = 1200;
    watched.link.m_nByteSize = 5;
    watched.link.m_bPttKeying = 1;
    watched.link.Connect(true);
    EXPECT_TRUE(watched.link.IsOpen());
    std::string text = "RY";
    watched.link.SendText(text);
    EXPECT_TRUE(modem->WaitFor([](const std::vector<SimEvent>& log) { return SimLink::CountWrites(log) > 0; },
                               kEventually));
    watched.link.Connect(false);
    Keyed out;
    for (const SimEvent& e : modem->Log()) {
        out.rts |= e.kind == SimEvent::Kind::Rts && e.level;
        out.dtr |= e.kind == SimEvent::Kind::Dtr && e.level;
    }
    return out;
}

TEST(RigPtt, TheChosenLineKeysTheTerminalUnitsTransmitter)
{
    const struct {
        RigSettings::Ptt ptt;
        bool rts, dtr;
    } cases[] = {
        {RigSettings::Ptt::Rts, true, false},
        {RigSettings::Ptt::Dtr, false, true},
        {RigSettings::Ptt::None, false, false},
    };
    for (const auto& c : cases) {
        RigSettings rig;
        rig.ptt = c.ptt;
        const Keyed keyed = KeyOnce(rig);
        EXPECT_EQ(keyed.rts, c.rts) << RigPttName(c.ptt);
        EXPECT_EQ(keyed.dtr, c.dtr) << RigPttName(c.ptt);
    }
}

TEST(RigPtt, CatWithoutARigKeepsThePortClosedWithAReason)
{
    SetProgramRig(nullptr);
    MemorySettingsStore settings;
    settings.Put(keys::RigPtt, "cat");
    SerialLink link;
    link.SetDeviceOpener([&](int) { return OpenDeviceForPath("sim:", settings); });
    link.m_nBaud = 45;
    link.m_nByteSize = 5;
    link.m_bPttKeying = 1;
    link.Connect(true);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.OpenError(), ENXIO);
    EXPECT_EQ(link.OpenErrorText(), "CAT PTT: no rig is set up");
}

TEST(RigSettings, SurviveTheStoreAndUnknownPttReadsAsRts)
{
    MemorySettingsStore settings;
    RigSettings rig;
    rig.model = 2;
    rig.port = "localhost:4532";
    rig.baud = 19200;
    rig.ptt = RigSettings::Ptt::Cm108;
    rig.pttDevice = "/dev/hidraw2";
    SaveRigSettings(settings, rig);
    EXPECT_EQ(LoadRigSettings(settings), rig);
    EXPECT_EQ(settings.Get(keys::RigPtt), "cm108");

    settings.Put(keys::RigPtt, "vox");
    EXPECT_EQ(LoadRigSettings(settings).ptt, RigSettings::Ptt::Rts);
    EXPECT_FALSE(RigConfigOf(RigSettings{}).has_value());
}

}  // namespace
