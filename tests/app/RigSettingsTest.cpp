// The rig settings and the PTT line they give a terminal unit's port: which
// line of the port (if any) the link's keying reaches.
#include "app/DeviceMap.h"
#include "app/MemorySettingsStore.h"
#include "app/RigReportFrequency.h"
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

namespace {

class FixedRig : public Rig {
public:
    explicit FixedRig(RigReading reading) : m_reading(std::move(reading)) {}
    RigReading Reading() const override { return m_reading; }
    void SetPtt(bool) override {}

private:
    RigReading m_reading;
};

TEST(RigReportFrequency, TheDialForATerminalUnitTheMarkOnTheAirForASoundCard)
{
    RigReading usb;
    usb.frequencyHz = 14'082'875;
    usb.mode = "PKTUSB";
    RigReading lsb = usb;
    lsb.frequencyHz = 14'087'125;
    lsb.mode = "LSB";
    RigReading down = usb;
    down.down = true;
    const struct {
        std::optional<RigReading> rig;
        const char* device;
        std::optional<double> logged;
    } cases[] = {
        {std::nullopt, "sim:", std::nullopt},
        {down, "sim:", std::nullopt},
        {RigReading{}, "sim:", std::nullopt},   // no dial told yet
        {usb, "/dev/ttyUSB0", 14'082'875.0},
        {usb, "audio:card", 14'085'000.0},
        {lsb, "audio:card", 14'085'000.0},
        {lsb, "audio:card,mark=1275", 14'085'850.0},
    };
    for (const auto& c : cases) {
        MemorySettingsStore settings;
        settings.PutText(keys::kDevices, keys::DeviceKey(1), c.device);
        SetProgramRig(c.rig ? std::make_shared<FixedRig>(*c.rig) : nullptr);
        EXPECT_EQ(RigReportFrequency(settings), c.logged) << c.device;
    }
    SetProgramRig(nullptr);
}

}  // namespace
