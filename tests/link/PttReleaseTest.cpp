// The guards that release a transmitter when the program does not end
// through its own windows: HUPCL on a port that keys PTT (the kernel drops
// RTS and DTR when a killed process's device closes), the fatal-signal line
// release, and the registry of open links an exit handler closes.
#include "LinkTestSupport.h"
#include "support/Pty.h"
#include "link/CrashLineRelease.h"
#include "link/OpenLinks.h"
#include "link/PosixSerialPort.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace linktest;

namespace {

bool HangUpOnClose(const Pty& pty)
{
    termios tio{};
    return ::tcgetattr(pty.MasterFd(), &tio) == 0 && (tio.c_cflag & HUPCL);
}

void SetHangUpOnClose(const Pty& pty, bool on)
{
    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.MasterFd(), &tio), 0);
    tio.c_cflag = on ? (tio.c_cflag | HUPCL) : (tio.c_cflag & ~static_cast<tcflag_t>(HUPCL));
    ASSERT_EQ(::tcsetattr(pty.MasterFd(), TCSANOW, &tio), 0);
}

// A store here faults in hardware; unlike a null pointer, no undefined
// behaviour check stops the process before the signal does.
volatile int* InaccessiblePage()
{
    void* page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return page == MAP_FAILED ? nullptr : static_cast<volatile int*>(page);
}

}  // namespace

TEST(PttRelease, APortKeyingPttHangsUpOnCloseOtherPortsKeepTheDevicesSetting)
{
    struct Case {
        bool pttKeying;
        bool before;
        bool expected;
    };
    for (const Case& c : {Case{true, false, true}, Case{true, true, true}, Case{false, false, false},
                          Case{false, true, true}}) {
        Pty pty;
        ASSERT_TRUE(pty.Ok());
        SetHangUpOnClose(pty, c.before);
        PosixSerialPort port(pty.Path());
        LineSettings ls;
        ls.baud = 45;
        ls.dataBits = 5;
        ls.pttKeying = c.pttKeying;
        ASSERT_TRUE(port.Open(ls));
        EXPECT_EQ(HangUpOnClose(pty), c.expected) << "ptt " << c.pttKeying << " before " << c.before;
        port.Close();
    }
}

// A registered CM108 descriptor (a pipe standing in for the adapter) gets
// the GPIO-release report when the process dies of a fatal signal, whether
// the signal was sent or came from a faulting instruction; the process still
// dies of it.
TEST(PttReleaseDeathTest, AFatalSignalWritesTheCm108ReleaseBeforeTheProcessDies)
{
    struct Case {
        const char* name;
        void (*crash)();
        bool unregister;
        bool released;
    };
    const Case cases[] = {
        {"abort", [] { std::abort(); }, false, true},
        {"raised SIGBUS", [] { std::raise(SIGBUS); }, false, true},
        {"segmentation fault", [] { *InaccessiblePage() = 1; }, false, true},
        {"unregistered line", [] { std::abort(); }, true, false},
    };
    for (const Case& c : cases) {
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
        EXPECT_EXIT(
            {
                crashrelease::InstallFatalSignalHandler();
                crashrelease::Register(fds[1], crashrelease::LineKind::Cm108Gpio);
                if (c.unregister)
                    crashrelease::Unregister(fds[1], crashrelease::LineKind::Cm108Gpio);
                c.crash();
                std::_Exit(0);
            },
            [](int status) { return !(WIFEXITED(status) && WEXITSTATUS(status) == 0); }, "")
            << c.name;
        ::close(fds[1]);
        uint8_t got[16] = {};
        const ssize_t n = ::read(fds[0], got, sizeof got);
        ::close(fds[0]);
        if (c.released) {
            ASSERT_EQ(n, 5) << c.name;
            EXPECT_EQ(std::string(got, got + 5),
                      std::string(crashrelease::kCm108ReleaseReport, crashrelease::kCm108ReleaseReport + 5));
            EXPECT_EQ(got[2], 0) << "the PTT GPIO goes low";
            EXPECT_EQ(got[3], 1 << crashrelease::kCm108PttBit) << "as an output";
        } else {
            EXPECT_LE(n, 0) << c.name;
        }
    }
}

TEST(PttRelease, OpenLinksAreClosedOnlyByTheThreadThatRegisteredThem)
{
    SimLink sim;
    sim.Open(45, 5, true);
    ASSERT_TRUE(sim.link.IsOpen());
    RegisterOpenLink(&sim.link);
    RegisterOpenLink(&sim.link);   // twice is once

    std::thread([] { CloseAllOpenLinks(); }).join();
    EXPECT_TRUE(sim.link.IsOpen()) << "another thread's link is not closed";

    sim.link.KeyTransmitter();
    CloseAllOpenLinks();
    EXPECT_FALSE(sim.link.IsOpen());
    EXPECT_FALSE(sim.link.m_bKeyed.load());
    const std::vector<SimEvent> rts = OfKind(sim.modem->Log(), SimEvent::Kind::Rts);
    ASSERT_FALSE(rts.empty());
    EXPECT_FALSE(rts.back().level) << "closed unkeyed";

    // Once closed it is no longer registered: a reopened link stays open.
    sim.link.Connect(true);
    CloseAllOpenLinks();
    EXPECT_TRUE(sim.link.IsOpen());
    UnregisterOpenLink(&sim.link);
}
