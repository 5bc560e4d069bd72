#include "link/PortWaitState.h"

void PortWaitState::Reset()
{
    m_bCancelled = false;
    m_bWoken = false;
}

void PortWaitState::Wake()
{
    m_bWoken = true;
    Notify();
}

void PortWaitState::Cancel()
{
    m_bCancelled = true;
    Notify();
}

bool PortWaitState::Ends(PortEvents& ev, bool live)
{
    if (!live) {
        ev.flags = PortEvents::kDown;
        return true;
    }
    if (m_bCancelled) {
        ev.flags = PortEvents::kCancelled;
        return true;
    }
    if (m_bWoken) {
        m_bWoken = false;
        ev.flags |= PortEvents::kWoken;
    }
    return false;
}

void PortWaitState::Sleep(MutexLock& lock, LinkClock::time_point due)
{
    if (due == LinkClock::time_point::max())
        m_clock->Wait(m_changed, lock);
    else
        m_clock->WaitUntil(m_changed, lock, due);
}
