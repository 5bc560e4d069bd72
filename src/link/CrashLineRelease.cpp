#include "link/CrashLineRelease.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/ioctl.h>
#include <unistd.h>

namespace crashrelease {

namespace {

static_assert(std::atomic<int>::is_always_lock_free, "the fatal handler reads the table lock-free");

// Constant-initialised (no constructor runs), so a crash during start-up or
// after static destruction still finds a valid table. -1 is a free slot.
using Table = std::array<std::atomic<int>, kSlots>;

constexpr Table FreeTable()
{
    return {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
}

Table g_serial = FreeTable();
Table g_cm108 = FreeTable();

Table& TableOf(LineKind kind)
{
    return kind == LineKind::SerialModemLines ? g_serial : g_cm108;
}

constexpr std::array<int, 5> kFatalSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// The handlers that were there before ours (a sanitizer's, or the default),
// written once by InstallFatalSignalHandler before any fatal signal is
// expected; read by the handler.
struct sigaction g_previous[kFatalSignals.size()];
std::atomic<bool> g_installed{false};

void OnFatalSignal(int sig, siginfo_t* info, void*)
{
    const int savedErrno = errno;
    ReleaseRegisteredLines();
    for (size_t i = 0; i < kFatalSignals.size(); ++i) {
        if (kFatalSignals[i] == sig)
            sigaction(sig, &g_previous[i], nullptr);
    }
    errno = savedErrno;
    // A fault of an instruction happens again when the handler returns and
    // goes to the previous handler with its own details; a signal that was
    // sent (abort, kill) must be sent again. Blocked while in here, it is
    // delivered as soon as the handler returns.
    if (info == nullptr || info->si_code <= 0)
        raise(sig);
}

}  // namespace

bool Register(int fd, LineKind kind)
{
    if (fd < 0)
        return false;
    for (std::atomic<int>& slot : TableOf(kind)) {
        int expected = -1;
        if (slot.compare_exchange_strong(expected, fd))
            return true;
    }
    return false;
}

void Unregister(int fd, LineKind kind)
{
    if (fd < 0)
        return;
    for (std::atomic<int>& slot : TableOf(kind)) {
        int expected = fd;
        if (slot.compare_exchange_strong(expected, -1))
            return;
    }
}

void ReleaseRegisteredLines() noexcept
{
    for (std::atomic<int>& slot : g_serial) {
        const int fd = slot.load();
        if (fd >= 0) {
            int bits = TIOCM_RTS | TIOCM_DTR;
            ioctl(fd, TIOCMBIC, &bits);
        }
    }
    for (std::atomic<int>& slot : g_cm108) {
        const int fd = slot.load();
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t n = write(fd, kCm108ReleaseReport, sizeof kCm108ReleaseReport);
        }
    }
}

void InstallFatalSignalHandler()
{
    if (g_installed.exchange(true))
        return;
    // The handler must run even when the stack itself is what failed. One
    // that is there already (a sanitizer's) is kept.
    static char altStack[64 * 1024];
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
        stack_t ss{};
        ss.ss_sp = altStack;
        ss.ss_size = sizeof altStack;
        sigaltstack(&ss, nullptr);
    }

    struct sigaction sa {};
    sa.sa_sigaction = OnFatalSignal;
    sigemptyset(&sa.sa_mask);
    // SA_RESETHAND: a fault inside the release itself ends the process at once.
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    for (size_t i = 0; i < kFatalSignals.size(); ++i)
        sigaction(kFatalSignals[i], &sa, &g_previous[i]);
}

}  // namespace crashrelease
