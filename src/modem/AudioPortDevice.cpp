#include "modem/AudioPortDevice.h"

void AudioPortDevice::ResetForOpen(const RttyParams& params, Clock::time_point now)
{
    m_bOpen = true;
    m_bCancelled = m_bWoken = m_bStop = m_bPtt = m_bDown = false;
    m_rx.clear();
    m_tx.Reset(params, now);
}

PortEvents AudioPortDevice::WaitEvents()
{
    std::unique_lock lock(m_mutex);
    PortEvents ev;
    for (;;) {
        if (!m_bOpen || m_bDown) {
            ev.flags = PortEvents::kDown;
            return ev;
        }
        if (m_bCancelled) {
            ev.flags = PortEvents::kCancelled;
            return ev;
        }
        if (m_bWoken) {
            m_bWoken = false;
            ev.flags |= PortEvents::kWoken;
        }
        if (!m_rx.empty())
            ev.flags |= PortEvents::kRxReady;
        if (m_tx.TakeDrain(Clock::now(), ev.drainedWrites))
            ev.flags |= PortEvents::kDrained;
        if (ev.flags)
            return ev;
        const auto due = m_tx.DrainDue();
        if (due != Clock::time_point::max())
            m_changed.wait_until(lock, due);
        else
            m_changed.wait(lock);
    }
}

size_t AudioPortDevice::Read(uint8_t* buffer, size_t max)
{
    std::lock_guard lock(m_mutex);
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
    std::lock_guard lock(m_mutex);
    m_rx.clear();
    m_tx.Clear(Clock::now());
}

void AudioPortDevice::Wake()
{
    std::lock_guard lock(m_mutex);
    m_bWoken = true;
    m_changed.notify_all();
}

void AudioPortDevice::Cancel()
{
    std::lock_guard lock(m_mutex);
    m_bCancelled = true;
    m_changed.notify_all();
}

bool AudioPortDevice::IsDown() const
{
    std::lock_guard lock(m_mutex);
    return m_bDown;
}

bool AudioPortDevice::Ptt() const
{
    std::lock_guard lock(m_mutex);
    return m_bPtt;
}
