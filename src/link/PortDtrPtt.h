#pragma once
// PTT on the DTR line of the port the link itself uses (an interface that
// keys on DTR), for PttRoutedPort. The port must outlive the line; the
// decorator owns both and drops this first.
#include "link/PortDevice.h"
#include "link/PttLine.h"

#include <atomic>

class PortDtrPtt : public PttLine {
public:
    explicit PortDtrPtt(PortDevice& port) : m_port(port) {}
    bool Open(std::string&) override
    {
        Set(false);
        return true;
    }
    void Close() override { Set(false); }
    void Set(bool keyed) override
    {
        m_keyed = keyed;
        m_port.SetDtr(keyed);
    }
    bool IsKeyed() const override { return m_keyed.load(); }
    bool IsDown() const override { return m_port.IsDown(); }

private:
    PortDevice& m_port;
    std::atomic<bool> m_keyed{false};
};
