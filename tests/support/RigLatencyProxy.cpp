#include "support/RigLatencyProxy.h"

#include <algorithm>
#include <arpa/inet.h>
#include <deque>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int ConnectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// One client's connection and the daemon connection made for it.
struct Pair {
    int client = -1;
    int daemon = -1;
    std::string partial;   // a command line not yet complete
    std::deque<std::pair<Clock::time_point, std::string>> replies;   // due time, bytes
};

}  // namespace

RigLatencyProxy::RigLatencyProxy(int daemonPort, std::chrono::milliseconds latency)
    : m_daemonPort(daemonPort), m_latency(latency)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(m_listen, 4) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len) != 0 || ::pipe(m_wakePipe) != 0) {
        ::close(m_listen);
        m_listen = -1;
        return;
    }
    m_port = ntohs(a.sin_port);
    m_thread = std::thread(&RigLatencyProxy::Run, this);
}

RigLatencyProxy::~RigLatencyProxy()
{
    if (m_thread.joinable()) {
        const char stop = 0;
        (void)!::write(m_wakePipe[1], &stop, 1);
        m_thread.join();
    }
    for (int fd : {m_listen, m_wakePipe[0], m_wakePipe[1]})
        if (fd >= 0)
            ::close(fd);
}

void RigLatencyProxy::SwallowReplies(bool on)
{
    std::lock_guard lock(m_mutex);
    m_swallow = on;
}

std::vector<std::string> RigLatencyProxy::Commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

std::optional<size_t> RigLatencyProxy::WaitForCommand(const std::string& prefix, size_t from,
                                                      std::chrono::milliseconds limit) const
{
    std::optional<size_t> found;
    std::unique_lock lock(m_mutex);
    m_logged.wait_for(lock, limit, [&] {
        for (size_t i = from; i < m_commands.size() && !found; ++i)
            if (m_commands[i].rfind(prefix, 0) == 0)
                found = i;
        return found.has_value();
    });
    return found;
}

void RigLatencyProxy::Run()
{
    std::vector<Pair> pairs;
    const auto drop = [](Pair& p) {
        ::close(p.client);
        ::close(p.daemon);
        p.client = p.daemon = -1;
    };
    for (;;) {
        // Replies that are due go out; the next one due bounds the wait.
        const auto now = Clock::now();
        auto next = now + std::chrono::milliseconds(50);
        for (Pair& p : pairs) {
            while (!p.replies.empty() && p.replies.front().first <= now) {
                const std::string& bytes = p.replies.front().second;
                ::send(p.client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
                p.replies.pop_front();
            }
            if (!p.replies.empty())
                next = std::min(next, p.replies.front().first);
        }
        std::vector<pollfd> fds{{m_wakePipe[0], POLLIN, 0}, {m_listen, POLLIN, 0}};
        for (const Pair& p : pairs) {
            fds.push_back({p.client, POLLIN, 0});
            fds.push_back({p.daemon, POLLIN, 0});
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
        if (::poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(wait, 0) + 1)) < 0)
            continue;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN) {
            Pair p;
            p.client = ::accept(m_listen, nullptr, nullptr);
            p.daemon = p.client >= 0 ? ConnectTo(m_daemonPort) : -1;
            if (p.daemon >= 0)
                pairs.push_back(std::move(p));
            else if (p.client >= 0)
                ::close(p.client);
        }
        for (size_t i = 0; i < pairs.size() && 2 + 2 * i + 1 < fds.size(); ++i) {
            Pair& p = pairs[i];
            char buf[4096];
            if (fds[2 + 2 * i].revents) {
                const ssize_t n = ::recv(p.client, buf, sizeof buf, 0);
                if (n <= 0) {
                    drop(p);
                    continue;
                }
                ::send(p.daemon, buf, static_cast<size_t>(n), MSG_NOSIGNAL);
                p.partial.append(buf, static_cast<size_t>(n));
                std::lock_guard lock(m_mutex);
                for (size_t end; (end = p.partial.find('\n')) != std::string::npos; p.partial.erase(0, end + 1))
                    m_commands.push_back(p.partial.substr(0, end));
                m_logged.notify_all();
            }
            if (fds[2 + 2 * i + 1].revents) {
                const ssize_t n = ::recv(p.daemon, buf, sizeof buf, 0);
                if (n <= 0) {
                    drop(p);
                    continue;
                }
                std::lock_guard lock(m_mutex);
                if (!m_swallow)
                    p.replies.emplace_back(Clock::now() + m_latency, std::string(buf, static_cast<size_t>(n)));
            }
        }
        std::erase_if(pairs, [](const Pair& p) { return p.client < 0; });
    }
    for (Pair& p : pairs)
        drop(p);
}
