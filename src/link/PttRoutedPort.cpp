#include "link/PttRoutedPort.h"

#include <cerrno>
#include <string>

PttRoutedPort::PttRoutedPort(std::unique_ptr<PortDevice> port, std::unique_ptr<PttLine> line)
    : m_port(std::move(port)), m_line(std::move(line))
{
}

PttRoutedPort::~PttRoutedPort()
{
    Close();
}

bool PttRoutedPort::Open(const LineSettings& settings)
{
    m_openError = 0;
    m_openErrorText.clear();
    m_routing = settings.pttKeying;
    if (!m_port->Open(settings))
        return false;
    if (settings.pttKeying && m_line) {
        std::string error;
        if (!m_line->Open(error)) {
            m_port->Close();
            m_routing = false;
            m_openError = ENXIO;
            m_openErrorText = error;
            return false;
        }
        m_lineOpen = true;
    }
    return true;
}

void PttRoutedPort::Close()
{
    if (m_lineOpen)
        m_line->Close();
    m_lineOpen = false;
    m_routing = false;
    m_port->Close();
}

void PttRoutedPort::SetRts(bool on)
{
    if (!m_routing) {
        m_port->SetRts(on);
        return;
    }
    m_port->SetRts(false);
    if (m_line)
        m_line->Set(on);
}

bool PttRoutedPort::KeyPtt(bool on)
{
    if (!m_routing)
        return m_port->KeyPtt(on);
    m_port->SetRts(false);
    return m_line ? m_line->SetConfirmed(on) : true;
}

std::string PttRoutedPort::PttFailureText() const
{
    if (!m_routing)
        return m_port->PttFailureText();
    return m_line ? m_line->FailureText() : std::string();
}
