#pragma once
// A slow rig for CAT tests: a TCP relay between a rig client (HamlibRig with
// Hamlib's network model) and a rigctld, on a free loopback port. Commands
// reach the daemon at once, so the rig acts on them at once, but every reply
// reaches the client `latency` after the daemon sent it, as with a radio
// slow to answer. It logs the command lines it relays, in order, and can
// swallow the replies (a rig that stops answering; the daemon still acts on
// what it gets). Connections that come after a client's reconnect are
// relayed alike.
//
// Thread-safe; one relay thread of its own, stopped by the destructor.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class RigLatencyProxy {
public:
    RigLatencyProxy(int daemonPort, std::chrono::milliseconds latency);
    ~RigLatencyProxy();
    RigLatencyProxy(const RigLatencyProxy&) = delete;
    RigLatencyProxy& operator=(const RigLatencyProxy&) = delete;

    bool Listening() const { return m_listen >= 0; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }

    // While on, the daemon's replies are dropped instead of relayed.
    void SwallowReplies(bool on);
    // The command lines relayed so far.
    std::vector<std::string> Commands() const;
    // Waits (at most `limit`) for a command starting with `prefix` among the
    // commands from index `from` on; its index.
    std::optional<size_t> WaitForCommand(const std::string& prefix, size_t from,
                                         std::chrono::milliseconds limit) const;

private:
    void Run();

    const int m_daemonPort;
    const std::chrono::milliseconds m_latency;
    int m_listen = -1;
    int m_port = 0;
    int m_wakePipe[2] = {-1, -1};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_logged;
    std::vector<std::string> m_commands;   // guarded by m_mutex
    bool m_swallow = false;                // guarded by m_mutex
    std::thread m_thread;                  // started last
};
