#include "link/FskKeyedPort.h"

#include <utility>

FskKeyedPort::FskKeyedPort(std::unique_ptr<PortDevice> adapter, PttOn ptt) : m_adapter(std::move(adapter)), m_ptt(ptt)
{
}

LineSettings FskKeyedPort::FskLine(const LineSettings& asked)
{
    LineSettings line = asked;
    switch (asked.baud) {
    case 45: line.baudHundredths = 4545; break;
    case 57: line.baudHundredths = 5688; break;
    case 74: line.baudHundredths = 7420; break;
    default: break;
    }
    if (asked.dataBits == 5)
        line.stopBits = 1;  // one and a half: CS5 with CSTOPB
    line.pttKeying = true;  // both lines down at open, none pulsed at close
    return line;
}

bool FskKeyedPort::Open(const LineSettings& settings)
{
    m_bKeying = settings.pttKeying;
    if (!m_adapter->Open(FskLine(settings)))
        return false;
    // Both lines down through the adapter itself, whatever raised them on
    // open: the link's own DTR calls never reach it, so this is where the
    // line that is not PTT goes low for the session.
    m_adapter->SetRts(false);
    m_adapter->SetDtr(false);
    return true;
}

void FskKeyedPort::SetRts(bool on)
{
    if (!m_bKeying) {
        // The link raises both lines after opening a port it does not key
        // through; on an FSK interface that would hold PTT on for good.
        m_adapter->SetRts(false);
        m_adapter->SetDtr(false);
        return;
    }
    if (m_ptt == PttOn::Rts)
        m_adapter->SetRts(on);
    else
        m_adapter->SetDtr(on);
}

bool FskKeyedPort::KeyPtt(bool on)
{
    if (!m_bKeying || m_ptt != PttOn::Rts) {
        SetRts(on);
        return true;
    }
    return m_adapter->KeyPtt(on);
}
