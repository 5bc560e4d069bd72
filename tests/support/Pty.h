#pragma once
// A pseudo-terminal whose master side the test plays (the modem or the TNC);
// the code under test opens the slave side by its path through the real
// POSIX port code.
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>

class Pty {
public:
    Pty()
    {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) == 0) {
            m_path = name;
            ::close(slave);  // the port under test opens it by name
            ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty() { CloseMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool Ok() const { return m_master >= 0; }
    // The master side: its termios are the slave's (tcgetattr/tcsetattr).
    int MasterFd() const { return m_master; }
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
    // Reads until `n` bytes came or nothing came for a long while (a hang
    // detector, not a speed check).
    std::string ReadAtLeast(size_t n)
    {
        std::string out;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (out.size() < n && std::chrono::steady_clock::now() < deadline) {
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
