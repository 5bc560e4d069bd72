// What the operator is told about a port, and the device chooser's entries.
#include "app/DeviceChoice.h"
#include "app/PortState.h"
#include "support/ScratchDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

PortState Down(int error)
{
    PortState s;
    s.name = "RTTY";
    s.port = 1;
    s.device = "/dev/ttyUSB0";
    s.error = error;
    return s;
}

TEST(PortState, ADownPortNamesTheDeviceTheSystemsReasonAndPlainWords)
{
    const struct {
        int error;
        const char* mustSay;
    } cases[] = {
        {ENOENT, "No such file or directory (the device is missing"},
        {EBUSY, "in use by another program"},
        {EACCES, "\"dialout\""},
        {EPERM, "log in again"},
        {ENOTTY, "not a serial device"},
        {EIO, "Input/output error"},
    };
    for (const auto& c : cases) {
        const std::string text = DescribePortState(Down(c.error));
        EXPECT_EQ(ConditionOf(Down(c.error)), PortCondition::Down);
        EXPECT_EQ(text.rfind("RTTY port COM1 is down: /dev/ttyUSB0: ", 0), 0u) << text;
        EXPECT_NE(text.find(c.mustSay), std::string::npos) << text;
    }
}

TEST(PortState, NoneOpenSimulatedAndVanishedAreToldApart)
{
    PortState s = Down(0);
    s.port = 0;
    EXPECT_EQ(DescribePortState(s), "RTTY port: none");
    s.port = 3;
    s.open = true;
    EXPECT_EQ(DescribePortState(s), "RTTY port COM3 is open on /dev/ttyUSB0.");
    s.device = "sim:demo";
    EXPECT_EQ(ConditionOf(s), PortCondition::Simulated);
    EXPECT_NE(DescribePortState(s).find("simulated modem (sim:demo)"), std::string::npos);
    s.vanished = true;
    EXPECT_EQ(ConditionOf(s), PortCondition::Down);
    EXPECT_NE(DescribePortState(s).find("has gone away"), std::string::npos);
    s.reason = "capture device unplugged";
    EXPECT_NE(DescribePortState(s).find("has gone away (capture device unplugged)."), std::string::npos);
}

TEST(DeviceChoice, UsbAdaptersAreListedUnderTheirStableNameWithWhatTheSystemKnows)
{
    ScratchDir dir;
    namespace fs = std::filesystem;
    const std::string tty = dir.Write("ttyUSB7", "");
    fs::create_directory(dir.Path() + "/by-id");
    fs::create_symlink(tty, dir.Path() + "/by-id/usb-FTDI_FT232R-if00-port0");
    SerialDeviceInfo usb{"ttyUSB7", tty, "FT232R USB UART", "FTDI", "A9X", true, 0x0403, 0x6001};
    SerialDeviceInfo plain{"ttyS0", "/nonexistent/ttyS0", "", "", "", false, 0, 0};
    const std::vector<DeviceEntry> entries = DeviceEntries({usb, plain}, dir.Path() + "/by-id");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].value, dir.Path() + "/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_NE(entries[0].label.find("(ttyUSB7, FT232R USB UART, FTDI, serial A9X, USB 0403:6001)"), std::string::npos)
        << entries[0].label;
    EXPECT_EQ(entries[1].value, "/nonexistent/ttyS0");
    EXPECT_EQ(entries[2].value, "sim:demo");
}

}  // namespace
