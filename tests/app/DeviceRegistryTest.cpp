#include "app/DeviceMap.h"
#include "app/DeviceRegistry.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "link/ProgramRig.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

TEST(DeviceRegistry, AValueGoesToTheFirstKindThatClaimsItAndASerialPathTakesTheRest)
{
    const struct {
        const char* value;
        const char* kind;
    } rows[] = {
        {"fsk:dtr:sim:loopback", "fsk"},
        {"fsk:audio:card", "fsk"},
        {"audio:band", "audio band"},
        {"audio:card,mark=2125", "sound card"},
        {"audio:file=/tmp/x.wav", "audio file"},
        {"audio:card,mark=x", "audio file"},  // does not parse: the recording device refuses it
        {"sim:demo", "sim"},
        {"/dev/ttyUSB0", "serial"},
        {"/dev/sim:0", "serial"},
        {"", "serial"},
    };
    for (const auto& row : rows)
        EXPECT_STREQ(DeviceKindFor(row.value).name, row.kind) << row.value;
    EXPECT_STREQ(DeviceKinds().back().name, "serial");
}

// Rig PTT on CAT with no rig running: a port keyed through it can't open.
// The TNC's device has no rig PTT line at all, so even a keying open of it
// opens the device alone.
TEST(DeviceRegistry, OnlyTheRttyStationKeysThroughTheRigsPttLine)
{
    SetProgramRig(nullptr);
    MemorySettingsStore settings;
    settings.Put(keys::RigPtt, "cat");
    settings.PutText("Devices", "COM1", "sim:");
    settings.PutText("Devices", "COM2", "sim:");
    auto rtty = StationDeviceOpener(settings, StationPort::Rtty)(1);
    auto tnc = StationDeviceOpener(settings, StationPort::Tnc)(2);
    LineSettings keyed;
    keyed.pttKeying = true;
    EXPECT_FALSE(rtty->Open(keyed));
    EXPECT_EQ(rtty->OpenError(), ENXIO);
    EXPECT_TRUE(tnc->Open(keyed));
    tnc->Close();
    EXPECT_TRUE(StationDeviceOptions(settings, StationPort::Rtty).rigPtt.has_value());
    EXPECT_FALSE(StationDeviceOptions(settings, StationPort::Tnc).rigPtt.has_value());
}
