#include "app/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

// The pipe's write end, for the handler; -1 while no object is installed.
std::atomic<int> g_writeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read by a signal handler");

// Async-signal-safe only: write, sigaction.
void OnTerminationSignal(int sig)
{
    const int savedErrno = errno;
    const int fd = g_writeFd.load();
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(sig);
        [[maybe_unused]] const ssize_t n = write(fd, &byte, 1);
    }
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    for (int s : kSignals)
        sigaction(s, &dfl, nullptr);
    errno = savedErrno;
}

struct sigaction g_previous[kSignals.size()];
int g_readFd = -1;

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> shutDown, QObject* parent)
    : QObject(parent), m_shutDown(std::move(shutDown))
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;   // no pipe: the signals keep their default action
    g_readFd = fds[0];
    g_writeFd = fds[1];
    m_notifier = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::OnSignalled);

    struct sigaction sa {};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    for (int s : kSignals)
        sigaddset(&sa.sa_mask, s);
    // Interrupted system calls on other threads carry on.
    sa.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &sa, &g_previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    const int writeFd = g_writeFd.exchange(-1);
    ::close(writeFd);
    ::close(g_readFd);
    g_readFd = -1;
}

void TerminationSignals::AddStep(std::function<void()> step)
{
    m_steps.push_back(std::move(step));
}

void TerminationSignals::OnSignalled()
{
    unsigned char byte = 0;
    const bool first = m_nReceived == 0;
    while (::read(g_readFd, &byte, 1) == 1) {
        if (m_nReceived == 0)
            m_nReceived = byte;
    }
    if (!first || m_nReceived == 0)
        return;
    m_notifier->setEnabled(false);
    for (const std::function<void()>& step : m_steps)
        step();
    if (m_shutDown)
        m_shutDown();
    QCoreApplication::exit(128 + m_nReceived);
}
