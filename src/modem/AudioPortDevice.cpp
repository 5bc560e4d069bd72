#include "modem/AudioPortDevice.h"

#include <cmath>

void AudioPortDevice::ResetForOpen(const RttyParams& params, Clock::time_point now)
{
    m_bOpen = true;
    m_bStop = m_bPtt = m_bDown = false;
    m_wait.Reset();
    m_rx.clear();
    m_lineParams = params;
    m_tx.Reset(params, now);
}

LineSettings AudioPortDevice::ActualLine(const LineSettings& asked) const
{
    MutexLock lock(m_mutex);
    LineSettings s = asked;
    s.baudHundredths = static_cast<uint32_t>(std::lround(m_lineParams.baud * 100.0));
    s.parity = 0;
    s.stopBits = m_lineParams.stopBits >= 2.0 ? 2 : (m_lineParams.stopBits > 1.0 ? 1 : 0);
    return s;
}

PortEvents AudioPortDevice::WaitEvents()
{
    MutexLock lock(m_mutex);
    PortEvents ev;
    for (;;) {
        if (m_wait.Ends(ev, m_bOpen && !m_bDown))
            return ev;
        if (!m_rx.empty())
            ev.flags |= PortEvents::kRxReady;
        if (m_tx.TakeDrain(Clock::now(), ev.drainedWrites))
            ev.flags |= PortEvents::kDrained;
        if (ev.flags)
            return ev;
        m_wait.Sleep(lock, m_tx.DrainDue());
    }
}

size_t AudioPortDevice::Read(uint8_t* buffer, size_t max)
{
    MutexLock lock(m_mutex);
    size_t n = 0;
    while (n < max && !m_rx.empty()) {
        const uint8_t b = m_rx.front();
        m_rx.pop_front();
        if (b != 0)   // zero bytes are dropped, as a serial port does
            buffer[n++] = b;
    }
    return n;
}

void AudioPortDevice::SetDtr(bool) {}

void AudioPortDevice::Purge()
{
    MutexLock lock(m_mutex);
    m_rx.clear();
    m_tx.Clear(Clock::now());
}

void AudioPortDevice::PurgeOutput()
{
    MutexLock lock(m_mutex);
    m_tx.Clear(Clock::now());
    m_changed.NotifyAll();   // a drain waited for may be due now
}

void AudioPortDevice::Wake()
{
    MutexLock lock(m_mutex);
    m_wait.Wake();
}

void AudioPortDevice::Cancel()
{
    MutexLock lock(m_mutex);
    m_wait.Cancel();
}

bool AudioPortDevice::IsDown() const
{
    MutexLock lock(m_mutex);
    return m_bDown;
}

bool AudioPortDevice::Ptt() const
{
    MutexLock lock(m_mutex);
    return m_bPtt;
}
