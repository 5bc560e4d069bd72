// True FSK keying: what a pseudo-terminal reads back of the line FskKeyedPort
// opens, and the keying timeline on the simulated modem at the exact rate.
// (No Pty.h here: <pty.h> brings the C library's termios, which
// clashes with the kernel's termios2 this test reads the line with.)
#include "LinkTestSupport.h"
#include "link/FskKeyedPort.h"
#include "link/PosixSerialPort.h"

#include <gtest/gtest.h>

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

using namespace linktest;

TEST(FskKeying, PseudoTerminalReadsBackTheWholeTeleprinterRateAndTheLongStop)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string path = ::ptsname(master);
    // The test's own handle on the slave, opened before the port takes it
    // for itself, to read the line settings through.
    const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);

    const struct {
        uint32_t baud;
        uint32_t wholeBaud;
    } rows[] = {{45, 45}, {57, 57}, {74, 74}, {110, 110}};
    for (const auto& row : rows) {
        FskKeyedPort port(std::make_unique<PosixSerialPort>(path), FskKeyedPort::PttOn::Rts);
        LineSettings asked;
        asked.baud = row.baud;
        asked.dataBits = 5;
        asked.pttKeying = true;
        ASSERT_TRUE(port.Open(asked));
        struct termios2 tio {};
        ASSERT_EQ(ioctl(slave, TCGETS2, &tio), 0);
        EXPECT_EQ(tio.c_ospeed, row.wholeBaud);
        EXPECT_EQ(tio.c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER));
        EXPECT_TRUE(tio.c_cflag & CSTOPB) << "one and a half stop bits";
        // A pseudo-terminal keeps eight data bits whatever it is told: the
        // five of FSK keying are read back from what the port asks for.
        EXPECT_EQ(FskKeyedPort::FskLine(asked).dataBits, 5);
        port.Close();
    }
    ::close(slave);
    ::close(master);
}

TEST(FskKeying, PttOnDtrFramesTheTextAtTheExactRate)
{
    auto modem = std::make_shared<SimulatedModem>();
    WatchedLink w;
    w.link.SetDeviceOpener([modem](int) {
        return std::make_unique<FskKeyedPort>(std::make_unique<SharedPortDevice>(modem), FskKeyedPort::PttOn::Dtr);
    });
    w.link.m_nBaud = 45;
    w.link.m_nByteSize = 5;
    w.link.m_bPttKeying = 1;
    w.link.Connect(true);
    ASSERT_TRUE(w.link.IsOpen());
    const LineSettings line = modem->Settings();
    EXPECT_EQ(line.baudHundredths, 4545u);
    EXPECT_EQ(line.dataBits, 5);
    EXPECT_EQ(line.stopBits, 1);
    // 7.5 bits at 45.45 baud.
    EXPECT_EQ(modem->CharTime(), std::chrono::nanoseconds(165'016'502));
    EXPECT_EQ(w.link.LineTimeLeft(), std::chrono::milliseconds(0));

    std::string text = "RY";
    w.link.SendText(text);
    const auto unkeyed = [](const std::vector<SimEvent>& log) {
        bool wrote = false;
        for (const SimEvent& e : log) {
            wrote = wrote || e.kind == SimEvent::Kind::Write;
            if (wrote && e.kind == SimEvent::Kind::Dtr && !e.level)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(modem->WaitFor(unkeyed, kEventually));
    w.link.Connect(false);

    std::optional<SimulatedModem::Clock::time_point> keyed, firstWrite, lineFree, dropped;
    size_t bytes = 0;
    for (const SimEvent& e : modem->Log()) {
        if (e.kind == SimEvent::Kind::Rts) {
            EXPECT_FALSE(e.level) << "RTS is not the PTT line here";
        }
        if (e.kind == SimEvent::Kind::Dtr && e.level && !keyed)
            keyed = e.time;
        if (e.kind == SimEvent::Kind::Write) {
            firstWrite = firstWrite ? firstWrite : e.time;
            lineFree = e.ends;
            bytes += e.bytes.size();
        }
        if (e.kind == SimEvent::Kind::Dtr && !e.level && lineFree && !dropped)
            dropped = e.time;
    }
    ASSERT_TRUE(keyed && firstWrite && dropped);
    EXPECT_GE(bytes, 2u);
    EXPECT_GE(*firstWrite - *keyed, 100ms);
    EXPECT_GE(*dropped - *lineFree, 100ms) << "PTT falls 100 ms after the last stop bit at 45.45 baud";
}

TEST(FskKeying, TheLineThatIsNotPttIsLoweredThroughTheDeviceAndStaysLow)
{
    // The simulated modem raises both lines as it opens, as a tty does; the
    // device itself must lower the other one, or the trace never shows it.
    for (const auto ptt : {FskKeyedPort::PttOn::Rts, FskKeyedPort::PttOn::Dtr}) {
        auto modem = std::make_shared<SimulatedModem>();
        FskKeyedPort port(std::make_unique<SharedPortDevice>(modem), ptt);
        LineSettings asked;
        asked.baud = 45;
        asked.dataBits = 5;
        asked.pttKeying = true;
        ASSERT_TRUE(port.Open(asked));
        port.SetRts(true);    // the link keys
        port.SetDtr(true);    // and raises DTR when it does not key: never passed on
        port.SetRts(false);
        const SimEvent::Kind other = ptt == FskKeyedPort::PttOn::Rts ? SimEvent::Kind::Dtr : SimEvent::Kind::Rts;
        std::vector<bool> levels;
        for (const SimEvent& e : modem->Log())
            if (e.kind == other)
                levels.push_back(e.level);
        EXPECT_EQ(levels, std::vector<bool>{false});
        EXPECT_FALSE(ptt == FskKeyedPort::PttOn::Rts ? modem->Dtr() : modem->Rts());
        port.Close();
    }
}
