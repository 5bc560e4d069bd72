#include "link/SerialLink.h"
#include "link/SerialLinkTiming.h"

#include <chrono>

using namespace seriallink;

void SerialLink::ReceiveThread()
{
    const ClockLeave leave{*m_clock};
    // The lines were set before the threads started; an unkey here would
    // race the transmit thread keying for text already queued.
    while (m_bRunning && !m_bDown) {
        const PortEvents ev = m_hPort->WaitEvents();
        if (ev.flags & PortEvents::kDown) {
            MarkDown();
            break;
        }
        if (ev.flags & PortEvents::kRxReady)
            ReadAvailable();
        if (ev.flags & PortEvents::kDrained)
            OnDrained(ev.drainedWrites);
        if (ev.flags & PortEvents::kCancelled)
            break;
        if (m_hPort->IsDown()) {
            MarkDown();
            break;
        }
    }
    UnkeyTransmitter();
}

void SerialLink::ReadAvailable()
{
    uint8_t buffer[kReadMax + 1];
    const size_t count = m_hPort->Read(buffer, kReadMax);
    if (count == 0)
        return;
    {
        MutexLock lock(m_rxMutex);
        size_t kept = 0;
        for (size_t i = 0; i < count; ++i) {
            const char c = m_nByteSize == 5 ? DecodeCode(buffer[i]) : static_cast<char>(buffer[i]);
            if (c != 0)
                buffer[kept++] = static_cast<uint8_t>(c);
        }
        if (kept == 0)
            return;   // only shift codes: nothing to hand over
        m_strReceived.append(reinterpret_cast<const char*>(buffer), kept);
        m_bDataReady = 1;
    }
    DataReady();
}

std::string SerialLink::TakeReceived()
{
    std::string taken;
    MutexLock lock(m_rxMutex);
    m_bDataReady = 0;
    taken.swap(m_strReceived);
    return taken;
}

void SerialLink::InjectTestMessage(bool testMode)
{
    if (!testMode)
        return;
    {
        MutexLock lock(m_rxMutex);
        m_strReceived += kTestText;
        m_bDataReady = 1;
    }
    DataReady();
}

void SerialLink::SetExtended(bool on)
{
    MutexLock lock(m_rxMutex);
    m_bExtended = on ? 1 : 0;
}

void SerialLink::InvertReceiveShift()
{
    MutexLock lock(m_rxMutex);
    m_bRxFigures = m_bRxFigures ? 0 : 1;
}

void SerialLink::SetReceiveShift(bool figures)
{
    MutexLock lock(m_rxMutex);
    m_bRxFigures = figures ? 1 : 0;
}

void SerialLink::EchoThroughCodec(std::string& text, int stream)
{
    MutexLock lock(m_rxMutex);
    BaudotCodec::EchoThroughCodec(text, stream);
}

