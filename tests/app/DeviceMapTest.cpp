#include "app/DeviceMap.h"
#include "app/FskDeviceValue.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "app/widgets/DeviceChooserDialog.h"
#include "link/PosixSerialPort.h"
#include "link/SimulatedModem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <cstdlib>
#include <gtest/gtest.h>

TEST(DeviceMap, StoredValueWinsWhateverItIs)
{
    MemorySettingsStore store;
    store.PutText("Devices", "COM3", "/dev/ttyUSB0");
    store.PutText("Devices", "COM4", "sim:loopback");
    store.PutText("Devices", "COM5", "");
    for (bool demo : {false, true}) {
        EXPECT_EQ(DevicePathForPort(store, 3, demo), "/dev/ttyUSB0");
        EXPECT_EQ(DevicePathForPort(store, 4, demo), "sim:loopback");
        EXPECT_EQ(DevicePathForPort(store, 5, demo), "");
    }
}

TEST(DeviceMap, AnUnmappedPortIsItsSerialDeviceEvenWhenMissingAndSimulatedOnlyInDemoMode)
{
    MemorySettingsStore store;
    EXPECT_EQ(DevicePathForPort(store, 1, false), "/dev/ttyS0");
    EXPECT_EQ(DevicePathForPort(store, 16, false), "/dev/ttyS15");
    EXPECT_FALSE(IsSimulatedDevice(DevicePathForPort(store, 2, false)));
    EXPECT_EQ(DevicePathForPort(store, 2, true), "sim:demo");
    EXPECT_TRUE(IsSimulatedDevice("sim:"));
    EXPECT_FALSE(IsSimulatedDevice("/dev/sim:0"));
}

TEST(DeviceMap, SimValuesMakeASimulatedModemOthersAPosixPort)
{
    auto demo = OpenDeviceForPath("sim:demo");
    EXPECT_NE(dynamic_cast<SimulatedModem*>(demo.get()), nullptr);
    auto plain = OpenDeviceForPath("sim:");
    EXPECT_NE(dynamic_cast<SimulatedModem*>(plain.get()), nullptr);
    auto real = OpenDeviceForPath("/nonexistent/veltran-device");
    auto* port = dynamic_cast<PosixSerialPort*>(real.get());
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->Path(), "/nonexistent/veltran-device");
    EXPECT_FALSE(real->Open(LineSettings{}));
}

TEST(DeviceMap, TheDemoModemLoopsBackWhatIsSent)
{
    auto device = OpenDeviceForPath("sim:demo");
    LineSettings ls;
    ls.baud = 9600;
    ls.dataBits = 7;
    ASSERT_TRUE(device->Open(ls));
    const uint8_t bytes[2] = {'O', 'K'};
    device->Write(bytes, 2, 10);
    std::string got;
    while (got.size() < 2) {
        const PortEvents ev = device->WaitEvents();
        if (ev.flags & PortEvents::kRxReady) {
            uint8_t buf[16];
            got.append(reinterpret_cast<const char*>(buf), device->Read(buf, sizeof buf));
        }
    }
    EXPECT_EQ(got, "OK");
}

TEST(DeviceMap, DemoModeKeepsUnmappedPortsOnTheSimulatedModem)
{
    // The test main sets VELTRAN_DEMO so that no test reaches a real device.
    ASSERT_NE(std::getenv("VELTRAN_DEMO"), nullptr);
    MemorySettingsStore store;
    EXPECT_EQ(DevicePathForPort(store, 1), "sim:demo");
    store.PutText("Devices", "COM1", "sim:loopback");
    EXPECT_EQ(DevicePathForPort(store, 1), "sim:loopback");
}

TEST(DeviceMap, FskValuesWrapTheDeviceThatFollowsWithThePttLineNamed)
{
    const struct {
        const char* value;
        bool fsk;
        FskKeyedPort::PttOn ptt;
        const char* device;
        const char* written;  // what the value is written back as
    } rows[] = {
        {"fsk:dtr:/dev/ttyUSB0", true, FskKeyedPort::PttOn::Dtr, "/dev/ttyUSB0", "fsk:dtr:/dev/ttyUSB0"},
        {"fsk:rts:sim:loopback", true, FskKeyedPort::PttOn::Rts, "sim:loopback", "fsk:rts:sim:loopback"},
        {"fsk:/dev/ttyS0", true, FskKeyedPort::PttOn::Rts, "/dev/ttyS0", "fsk:rts:/dev/ttyS0"},
        {"/dev/fsk:1", false, FskKeyedPort::PttOn::Rts, "/dev/fsk:1", "/dev/fsk:1"},
    };
    for (const auto& row : rows) {
        const FskDeviceValue v = ParseFskDeviceValue(row.value);
        EXPECT_EQ(v.fsk, row.fsk) << row.value;
        EXPECT_EQ(v.ptt, row.ptt) << row.value;
        EXPECT_EQ(v.device, row.device) << row.value;
        EXPECT_EQ(FormatFskDeviceValue(v), row.written);
    }
    EXPECT_NE(dynamic_cast<FskKeyedPort*>(OpenDeviceForPath("fsk:dtr:sim:loopback").get()), nullptr);
    EXPECT_TRUE(IsSimulatedDevice("fsk:dtr:sim:loopback"));
}

TEST(DeviceMap, ChooserShowsTheFskPartApartFromTheDeviceAndNotForTheSoundCard)
{
    DeviceChooserDialog chooser(1, "fsk:dtr:/dev/ttyUSB7");
    auto* path = chooser.findChild<QLineEdit*>(QStringLiteral("path"));
    auto* fsk = chooser.findChild<QCheckBox*>(QStringLiteral("fskKeying"));
    auto* ptt = chooser.findChild<QComboBox*>(QStringLiteral("fskPtt"));
    ASSERT_TRUE(path && fsk && ptt);
    EXPECT_EQ(path->text(), "/dev/ttyUSB7");
    EXPECT_TRUE(fsk->isChecked());
    EXPECT_EQ(ptt->currentText(), "DTR");
    EXPECT_EQ(chooser.Value(), "fsk:dtr:/dev/ttyUSB7");
    fsk->click();
    EXPECT_EQ(chooser.Value(), "/dev/ttyUSB7");
    fsk->click();
    path->setText(QStringLiteral("audio:card"));
    EXPECT_FALSE(fsk->isEnabled());
    EXPECT_EQ(chooser.Value(), "audio:card");
}
