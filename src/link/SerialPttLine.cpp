#include "link/SerialPttLine.h"

#include <cerrno>
#include <system_error>

SerialPttLine::SerialPttLine(std::unique_ptr<PortDevice> device, Line line, std::string name)
    : m_device(std::move(device)), m_line(line), m_name(std::move(name))
{
}

SerialPttLine::~SerialPttLine()
{
    Close();
}

bool SerialPttLine::Open(std::string& error)
{
    Close();
    LineSettings settings;
    settings.pttKeying = true;
    if (!m_device->Open(settings)) {
        const int e = m_device->OpenError() ? m_device->OpenError() : EIO;
        error = "PTT device " + m_name + ": " + std::generic_category().message(e);
        return false;
    }
    {
        std::lock_guard lock(m_mutex);
        m_device->SetRts(false);
        m_device->SetDtr(false);
        m_bOpen = true;
        m_bKeyed = false;
        m_bDown = m_device->IsDown();
    }
    m_watcher = std::thread(&SerialPttLine::Watch, this);
    return true;
}

void SerialPttLine::Close()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_bOpen)
            return;
        SetLine(false);
        m_bKeyed = false;
        m_bOpen = false;
    }
    m_device->Cancel();
    if (m_watcher.joinable())
        m_watcher.join();
    m_device->Close();
}

void SerialPttLine::Watch()
{
    uint8_t discard[256];
    for (;;) {
        const PortEvents ev = m_device->WaitEvents();
        if ((ev.flags & PortEvents::kDown) || m_device->IsDown()) {
            m_bDown = true;
            return;
        }
        if (ev.flags & PortEvents::kCancelled)
            return;
        if (ev.flags & PortEvents::kRxReady)
            m_device->Read(discard, sizeof discard);
    }
}

void SerialPttLine::SetLine(bool on)
{
    if (m_bDown)
        return;
    if (m_line == Line::Rts)
        m_device->SetRts(on);
    else
        m_device->SetDtr(on);
    if (m_device->IsDown())
        m_bDown = true;
}

void SerialPttLine::Set(bool keyed)
{
    std::lock_guard lock(m_mutex);
    if (!m_bOpen || m_bKeyed == keyed)
        return;
    SetLine(keyed);
    m_bKeyed = keyed && !m_bDown;
}

bool SerialPttLine::IsKeyed() const
{
    std::lock_guard lock(m_mutex);
    return m_bKeyed;
}

bool SerialPttLine::IsDown() const
{
    return m_bDown;
}
