// The real POSIX port code on a pseudo-terminal: the test plays the modem on
// the master side. Pseudo-terminals ignore the speed and CS5 and have no modem
// lines, which the port must take silently.
#include "LinkTestSupport.h"
#include "link/PosixSerialPort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <future>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

using namespace linktest;

namespace {

class Pty {
public:
    Pty()
    {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) == 0) {
            m_path = name;
            ::close(slave);   // the port under test opens it by name
            ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty() { CloseMaster(); }
    bool Ok() const { return m_master >= 0; }
    const std::string& Path() const { return m_path; }
    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    void WriteAll(const std::string& bytes)
    {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                pollfd p{m_master, POLLOUT, 0};
                ::poll(&p, 1, 1000);
            } else {
                return;
            }
        }
    }
    // Reads until `n` bytes came or nothing came for a long while.
    std::string ReadAtLeast(size_t n)
    {
        std::string out;
        const auto deadline = Clock::now() + kEventually;
        while (out.size() < n && Clock::now() < deadline) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 200) <= 0)
                continue;
            char buf[4096];
            const ssize_t got = ::read(m_master, buf, sizeof buf);
            if (got > 0)
                out.append(buf, static_cast<size_t>(got));
        }
        return out;
    }

private:
    int m_master = -1;
    std::string m_path;
};

// A SerialLink whose port is the POSIX code on the pseudo-terminal.
struct PtyLink : WatchedLink {
    Pty pty;

    PtyLink()
    {
        link.SetDeviceOpener([this](int) { return std::make_unique<PosixSerialPort>(pty.Path()); });
    }
    // Closed before the pseudo-terminal goes, so closing is not a vanishing device.
    ~PtyLink() { link.Connect(false); }
};

}  // namespace

TEST(PosixSerialPort, OpensAPseudoTerminalAtTeleprinterSpeedsAndIgnoresMissingModemLines)
{
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    for (uint32_t baud : {45u, 57u, 74u, 100u}) {
        PosixSerialPort port(pty.Path());
        LineSettings ls;
        ls.baud = baud;
        ls.dataBits = 5;
        ls.pttKeying = true;
        ASSERT_TRUE(port.Open(ls)) << baud;
        port.SetRts(true);
        port.SetDtr(true);
        port.SetRts(false);
        port.Purge();
        EXPECT_FALSE(port.IsDown());
        port.Close();
    }
}

TEST(PosixSerialPort, MissingDeviceDoesNotOpenAndSaysWhy)
{
    PosixSerialPort port("/nonexistent/veltran-test-device");
    EXPECT_FALSE(port.Open(LineSettings{}));
    EXPECT_EQ(port.OpenError(), ENOENT);
    EXPECT_EQ(port.Read(nullptr, 0), 0u);
}

TEST(PosixSerialPort, APlainFileIsNotASerialDevice)
{
    char name[] = "veltran-not-a-tty-XXXXXX";
    const int fd = ::mkstemp(name);
    ASSERT_GE(fd, 0);
    ::close(fd);
    PosixSerialPort port(name);
    EXPECT_FALSE(port.Open(LineSettings{}));
    EXPECT_EQ(port.OpenError(), ENOTTY);
    ::unlink(name);
}

TEST(PosixSerialPort, ASecondOpenOfTheSameDeviceIsRefusedAsInUse)
{
    // The advisory lock binds a privileged user too, where TIOCEXCL does not.
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    PosixSerialPort first(pty.Path());
    ASSERT_TRUE(first.Open(LineSettings{}));
    EXPECT_EQ(first.OpenError(), 0);
    PosixSerialPort second(pty.Path());
    EXPECT_FALSE(second.Open(LineSettings{}));
    EXPECT_EQ(second.OpenError(), EBUSY);
    first.Close();
    EXPECT_TRUE(second.Open(LineSettings{}));
}

TEST(PosixSerialPort, DrainIsReportedOnlyAfterTheLineTimeOfTheBytes)
{
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    PosixSerialPort port(pty.Path());
    LineSettings ls;
    ls.baud = 1200;
    ls.dataBits = 8;
    ASSERT_TRUE(port.Open(ls));
    const auto start = Clock::now();
    const uint8_t bytes[4] = {'A', 'B', 'C', 'D'};
    ASSERT_EQ(port.Write(bytes, 4, 100), 4u);
    PortEvents ev;
    while (!(ev.flags & PortEvents::kDrained))
        ev = port.WaitEvents();
    EXPECT_GE(Clock::now() - start, LineCharTime(ls) * 4);
    EXPECT_EQ(ev.drainedWrites, 1u);
    EXPECT_EQ(pty.ReadAtLeast(4), "ABCD");
}

TEST(PosixSerialPort, BaudotCodesArriveDecodedInOrderAcrossSeveralReads)
{
    PtyLink s;
    ASSERT_TRUE(s.pty.Ok());
    s.link.m_nBaud = 45;
    s.link.m_nByteSize = 5;
    s.link.Connect(true);
    ASSERT_TRUE(s.link.IsOpen());

    // RYRY in letters, then figures 1 2 3, back to letters: 3000 codes.
    std::string codes;
    std::string expected;
    while (codes.size() < 3000) {
        codes += Bytes({31, 10, 21, 4, 27, 23, 19, 1, 4, 31});
        expected += "RY 123 ";
    }
    s.pty.WriteAll(codes);
    EXPECT_EQ(s.Receive(expected.size()), expected);
    // One append per read of at most 1023 codes. (The last callback may still
    // be on its way after its text was taken.)
    EXPECT_TRUE(s.WaitReady(3));
}

TEST(PosixSerialPort, TextSentByTheLinkArrivesAsBaudotCodes)
{
    PtyLink s;
    ASSERT_TRUE(s.pty.Ok());
    s.link.m_nBaud = 9600;   // the pseudo-terminal ignores it; it keeps the pacing short
    s.link.m_nByteSize = 5;
    s.link.m_bPttKeying = 1;
    s.link.Connect(true);
    ASSERT_TRUE(s.link.IsOpen());
    std::string text = "CQ DE W1AW";
    s.link.SendText(text);
    const std::string expected = Bytes({31, 14, 23, 4, 9, 1, 4, 19, 27, 23, 31, 3, 19});
    EXPECT_EQ(s.pty.ReadAtLeast(expected.size()), expected);
}

TEST(PosixSerialPort, ClosingReturnsWhileTheFarEndNeverReads)
{
    PtyLink s;
    ASSERT_TRUE(s.pty.Ok());
    s.link.m_nBaud = 115200;
    s.link.m_nByteSize = 8;
    s.link.Connect(true);
    ASSERT_TRUE(s.link.IsOpen());
    s.link.QueueText(std::string(200000, 'X'));
    s.link.m_bTxActive = 1;
    s.link.m_bDiddle = 1;
    s.link.Wake();
    std::this_thread::sleep_for(300ms);   // let the pseudo-terminal's buffer fill up
    auto closing = std::async(std::launch::async, [&] { s.link.Connect(false); });
    ASSERT_EQ(closing.wait_for(kEventually), std::future_status::ready) << "closing hung";
    EXPECT_FALSE(s.link.IsOpen());
}

TEST(PosixSerialPort, DeviceVanishingEndsQuietly)
{
    PtyLink s;
    ASSERT_TRUE(s.pty.Ok());
    s.link.m_nBaud = 9600;
    s.link.m_nByteSize = 8;
    s.link.Connect(true);
    ASSERT_TRUE(s.link.IsOpen());
    s.pty.WriteAll("HI");
    EXPECT_EQ(s.Receive(2), "HI");
    s.pty.CloseMaster();
    {
        std::unique_lock lock(s.mutex);
        ASSERT_TRUE(s.ready.wait_for(lock, kEventually, [&] { return s.link.IsDown(); }));
    }
    std::string more = "MORE";
    s.link.SendText(more);
    EXPECT_EQ(s.link.TxQueueLength(), 0u);
    s.link.KeyTransmitter();
    s.link.UnkeyTransmitter();
    s.link.Connect(false);
    EXPECT_FALSE(s.link.IsOpen());
}
