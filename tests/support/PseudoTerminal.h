#pragma once
// A pseudo-terminal standing in for a serial device: the program under test
// opens the slave side by its path; the test holds the master.
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <unistd.h>

class PseudoTerminal {
public:
    PseudoTerminal()
    {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) == 0) {
            m_path = name;
            ::close(slave);
            ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~PseudoTerminal()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Ok() const { return m_master >= 0; }
    const std::string& Path() const { return m_path; }

private:
    int m_master = -1;
    std::string m_path;
};
