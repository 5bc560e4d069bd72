#pragma once
// A real rigctld for rig tests: Hamlib's dummy rig (model 1) with its PTT
// kept by the rig itself (-P RIG), on a free loopback port. Started by the
// constructor, stopped (SIGTERM, then SIGKILL) by the destructor, so a test
// that fails still leaves no daemon behind. Every wait is bounded.
//
// RigctldOrSkip: in CI (env CI set) a missing rigctld fails the test;
// elsewhere the test is skipped with a message.
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

class Rigctld {
public:
    // Starts on `port`, or on a free loopback port when 0.
    explicit Rigctld(int port = 0) : m_port(port ? port : FreePort()) { Start(); }
    ~Rigctld() { Stop(); }
    Rigctld(const Rigctld&) = delete;
    Rigctld& operator=(const Rigctld&) = delete;

    static std::string Program()
    {
        for (const char* dir : {"/usr/bin/", "/usr/local/bin/"}) {
            const std::string path = std::string(dir) + "rigctld";
            if (::access(path.c_str(), X_OK) == 0)
                return path;
        }
        return {};
    }

    // Accepting connections (within 5 s of the start).
    bool Running() const { return m_pid > 0 && m_ready; }
    int Port() const { return m_port; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }

    // The daemon dies at once, as a crashed or unplugged rig server would.
    void Kill()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
        m_ready = false;
    }

    // One command of rigctld's text protocol on a connection of its own; the
    // reply's first line, or nullopt when rigctld did not answer within 2 s.
    // The daemon serves one client at a time and a loaded machine may miss an
    // answer, so a command is sent up to three times (every command the tests
    // send may be carried out twice).
    std::optional<std::string> Command(const std::string& command) const
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (auto reply = CommandOnce(command))
                return reply;
        }
        return std::nullopt;
    }
    // PTT as the rig reports it ("t"), or nullopt without an answer.
    std::optional<bool> Ptt() const
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto reply = Command("t");
            if (reply && (*reply == "0" || *reply == "1"))
                return *reply == "1";
        }
        return std::nullopt;
    }

private:
    std::optional<std::string> CommandOnce(const std::string& command) const
    {
        const int fd = Connect();
        if (fd < 0)
            return std::nullopt;
        const std::string line = command + "\n";
        std::optional<std::string> reply;
        if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(line.size())) {
            std::string got;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (got.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 100) <= 0)
                    continue;
                char buf[256];
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                got.append(buf, static_cast<size_t>(n));
            }
            if (got.find('\n') != std::string::npos)
                reply = got.substr(0, got.find('\n'));
        }
        ::close(fd);
        return reply;
    }

    static int FreePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        int port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port = ntohs(a.sin_port);
        ::close(fd);
        return port;
    }

    int Connect() const
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(m_port));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    // A free port may be taken by another test's daemon before ours binds
    // it; ours then exits, and is started again on another port.
    void Start()
    {
        for (int attempt = 0; attempt < 3 && !m_ready; ++attempt) {
            if (attempt > 0) {
                Kill();
                m_port = FreePort();
            }
            StartOnce();
        }
    }

    void StartOnce()
    {
        const std::string program = Program();
        if (program.empty() || m_port <= 0)
            return;
        const std::string port = std::to_string(m_port);
        std::vector<std::string> args = {program, "-m", "1", "-P", "RIG", "-T", "127.0.0.1", "-t", port};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        // fork and exec rather than posix_spawn: the daemon is told to quit
        // when the test process dies, so a test that crashes leaves no
        // daemon behind either.
        const pid_t parent = ::getpid();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent)
                ::_exit(127);
            // Its chatter is no part of the test's output.
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        if (pid > 0)
            m_pid = pid;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;   // gone: the port was not ours
                return;
            }
            const int fd = Connect();
            if (fd >= 0) {
                ::close(fd);
                // Still running a moment after an answer: the answer was its
                // own (a daemon that lost the port exits as it binds).
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                m_ready = ::waitpid(m_pid, nullptr, WNOHANG) == 0;
                if (!m_ready)
                    m_pid = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    void Stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Kill();
    }

    int m_port;
    pid_t m_pid = -1;
    bool m_ready = false;
};

// Skips (or, in CI, fails) the calling test when rigctld is not installed.
#define RIGCTLD_OR_SKIP()                                                                          \
    do {                                                                                           \
        if (Rigctld::Program().empty()) {                                                          \
            if (std::getenv("CI"))                                                                 \
                FAIL() << "rigctld is missing (Debian package libhamlib-utils)";                   \
            GTEST_SKIP() << "rigctld not installed (libhamlib-utils): rig tests skipped";          \
        }                                                                                          \
    } while (0)
