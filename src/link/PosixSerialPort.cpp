#include "link/PosixSerialPort.h"

#include "link/CrashLineRelease.h"
#include "link/Termios2.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace {

timespec ToTimespec(std::chrono::microseconds us)
{
    if (us.count() < 0)
        us = std::chrono::microseconds(0);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(us.count() / 1000000);
    ts.tv_nsec = static_cast<long>((us.count() % 1000000) * 1000);
    return ts;
}

void Signal(int fd)
{
    if (fd < 0)
        return;
    const uint64_t one = 1;
    // A full counter already means "signalled"; nothing to do on failure.
    [[maybe_unused]] ssize_t r = ::write(fd, &one, sizeof one);
}

void Consume(int fd)
{
    uint64_t value = 0;
    [[maybe_unused]] ssize_t r = ::read(fd, &value, sizeof value);
}

}  // namespace

PosixSerialPort::PosixSerialPort(std::string path) : m_path(std::move(path)) {}

PosixSerialPort::~PosixSerialPort()
{
    Close();
}

bool PosixSerialPort::Open(const LineSettings& settings)
{
    Close();
    m_bDown = false;
    m_bCancelled = false;
    m_nOpenError = 0;
    m_fd = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return Fail(errno);
    if (!::isatty(m_fd))
        return Fail(ENOTTY);
    // Another program holding the device (TIOCEXCL does not stop root, the
    // advisory lock does): say "in use" rather than share the line.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
        return Fail(errno == EWOULDBLOCK ? EBUSY : errno);

    // The kernel raises RTS and DTR when a serial device is opened. With RTS
    // keying a transmitter, drop both in one call before anything else (an
    // interface may key PTT or CW on DTR), so the radio is keyed for as short
    // a time as the system allows. HUPCL makes the kernel drop both again
    // when the device closes, however the process ends (a crash, kill -9);
    // an orderly close has them low already, so that is no pulse. A fatal
    // signal drops them at once (CrashLineRelease).
    if (settings.pttKeying) {
        SetModemLine(TIOCM_RTS | TIOCM_DTR, false);
        termios2io::SetHangupOnClose(m_fd);
        m_bCrashGuarded = crashrelease::Register(m_fd, crashrelease::LineKind::SerialModemLines);
    }
    if (::ioctl(m_fd, TIOCEXCL) != 0 && errno != ENOTTY && errno != EINVAL)
        return Fail(errno);
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_cancelFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0 || m_cancelFd < 0)
        return Fail(errno);
    termios2io::FlushBoth(m_fd);
    // Results of the settings are not tested: a pseudo-terminal ignores the
    // speed and the character size and still works.
    termios2io::AppliedRate rate;
    termios2io::ApplyLineSettings(m_fd, settings, settings.pttKeying, &rate);
    m_rate = rate;

    // An exact rate may run a little off (the nearest whole baud, or the
    // nearest divisor), and one and a half stop bits may go out as two on
    // some chips: the drain is reckoned at the slower of each, so it never
    // comes before the line is free.
    LineSettings actual = settings;
    actual.baudHundredths = rate.hundredths;
    if (actual.stopBits == 1)
        actual.stopBits = 2;
    m_charTime = std::max(LineCharTime(settings), LineCharTime(actual));
    MutexLock lock(m_drainMutex);
    m_bDrainPending = false;
    m_busyUntil = Clock::now();
    m_nWrites = 0;
    return true;
}

bool PosixSerialPort::Fail(int error)
{
    Close();
    m_nOpenError = error ? error : EIO;
    return false;
}

void PosixSerialPort::Close()
{
    if (m_fd >= 0 && !m_bDown)
        termios2io::RestoreDivisor(m_fd, m_rate);
    m_rate = {};
    if (m_bCrashGuarded)
        crashrelease::Unregister(m_fd, crashrelease::LineKind::SerialModemLines);
    m_bCrashGuarded = false;
    for (int* fd : {&m_fd, &m_wakeFd, &m_cancelFd}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

bool PosixSerialPort::IsVanishedError(int err) const
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF;
}

void PosixSerialPort::MarkDown()
{
    m_bDown = true;
}

bool PosixSerialPort::CheckDrained(std::chrono::microseconds& recheck)
{
    recheck = std::chrono::microseconds(0);
    if (!m_bDrainPending)
        return false;
    const auto now = Clock::now();
    if (now < m_busyUntil) {
        recheck = std::chrono::ceil<std::chrono::microseconds>(m_busyUntil - now);
        return false;
    }
    int queued = 0;
    if (::ioctl(m_fd, TIOCOUTQ, &queued) != 0)
        queued = 0;   // no output queue to ask about: the line time alone decides
    if (queued > 0) {
        recheck = std::max(m_charTime * queued, std::chrono::microseconds(1000));
        return false;
    }
    // A UART that can tell whether its shift register is empty is asked too:
    // the driver's queue empties a character before the line does.
    unsigned int lineStatus = 0;
    if (::ioctl(m_fd, TIOCSERGETLSR, &lineStatus) == 0 && !(lineStatus & TIOCSER_TEMT)) {
        recheck = std::max(m_charTime, std::chrono::microseconds(1000));
        return false;
    }
    m_bDrainPending = false;
    return true;
}

PortEvents PosixSerialPort::WaitEvents()
{
    PortEvents ev;
    if (m_fd < 0 || m_bDown) {
        ev.flags = PortEvents::kDown;
        return ev;
    }
    for (;;) {
        if (m_bCancelled) {
            ev.flags |= PortEvents::kCancelled;
            return ev;
        }
        std::chrono::microseconds recheck{0};
        {
            MutexLock lock(m_drainMutex);
            if (CheckDrained(recheck)) {
                ev.flags |= PortEvents::kDrained;
                ev.drainedWrites = m_nWrites;
            }
        }
        pollfd fds[3] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}, {m_cancelFd, POLLIN, 0}};
        timespec ts = ToTimespec(recheck);
        const bool block = ev.flags == 0;
        const int n = ::ppoll(fds, 3, block ? (recheck.count() ? &ts : nullptr) : &ts, nullptr);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            MarkDown();
            ev.flags |= PortEvents::kDown;
            return ev;
        }
        if (fds[0].revents & POLLIN)
            ev.flags |= PortEvents::kRxReady;
        else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            MarkDown();
            ev.flags |= PortEvents::kDown;
        }
        if (fds[1].revents & POLLIN) {
            Consume(m_wakeFd);
            ev.flags |= PortEvents::kWoken;
        }
        if (fds[2].revents & POLLIN)
            ev.flags |= PortEvents::kCancelled;
        if (ev.flags)
            return ev;
    }
}

size_t PosixSerialPort::Read(uint8_t* buffer, size_t max)
{
    if (m_fd < 0 || m_bDown || max == 0)
        return 0;
    ssize_t n;
    do {
        n = ::read(m_fd, buffer, max);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (IsVanishedError(errno))
            MarkDown();
        return 0;   // other errors: cleared, nothing contributed
    }
    if (n == 0) {
        // A non-blocking terminal read returns 0 only after a hang-up.
        MarkDown();
        return 0;
    }
    // Received zero bytes are discarded, as the line settings promise.
    uint8_t* end = std::remove(buffer, buffer + n, uint8_t{0});
    return static_cast<size_t>(end - buffer);
}

size_t PosixSerialPort::Write(const uint8_t* data, size_t len, uint32_t timeoutMs)
{
    if (m_fd < 0 || m_bDown)
        return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Clock::time_point start{};
    size_t total = 0;
    while (total < len && !m_bCancelled && !m_bDown) {
        const ssize_t n = ::write(m_fd, data + total, len - total);
        if (n > 0) {
            if (total == 0)
                start = Clock::now();
            total += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            if (IsVanishedError(errno))
                MarkDown();
            break;   // the rest is dropped
        }
        const auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;   // timed out: the rest is dropped
        pollfd fds[2] = {{m_fd, POLLOUT, 0}, {m_cancelFd, POLLIN, 0}};
        timespec ts = ToTimespec(left);
        if (::ppoll(fds, 2, &ts, nullptr) < 0 && errno != EINTR)
            break;
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            MarkDown();
            break;
        }
    }
    {
        MutexLock lock(m_drainMutex);
        ++m_nWrites;
        if (total > 0)
            m_busyUntil = std::max(start, m_busyUntil) + m_charTime * static_cast<int64_t>(total);
        m_bDrainPending = true;
    }
    // Let the waiter take the new drain deadline into account.
    Signal(m_wakeFd);
    return total;
}

void PosixSerialPort::SetModemLine(int bit, bool on)
{
    if (m_fd < 0 || m_bDown)
        return;
    if (::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bit) != 0 && IsVanishedError(errno))
        MarkDown();
    // ENOTTY/EINVAL: no modem lines (a pseudo-terminal); nothing to do.
}

void PosixSerialPort::SetRts(bool on)
{
    SetModemLine(TIOCM_RTS, on);
}

void PosixSerialPort::SetDtr(bool on)
{
    SetModemLine(TIOCM_DTR, on);
}

void PosixSerialPort::Purge()
{
    if (m_fd < 0 || m_bDown)
        return;
    termios2io::FlushBoth(m_fd);
    MutexLock lock(m_drainMutex);
    m_busyUntil = Clock::now();   // what was waiting has been thrown away
}

void PosixSerialPort::PurgeOutput()
{
    if (m_fd < 0 || m_bDown)
        return;
    termios2io::FlushOutput(m_fd);
    MutexLock lock(m_drainMutex);
    m_busyUntil = Clock::now();
}

void PosixSerialPort::Wake()
{
    Signal(m_wakeFd);
}

void PosixSerialPort::Cancel()
{
    m_bCancelled = true;
    Signal(m_cancelFd);
}
