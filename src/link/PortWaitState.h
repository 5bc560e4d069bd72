#pragma once
// The wake and cancel rules of PortDevice::WaitEvents, shared by the devices
// that wait on a condition variable of their own (the simulated modem, the
// sound-card modem): a Wake ends the current or next wait once with
// kWoken; a Cancel ends every wait with kCancelled until the next open; a
// device that is closed or gone ends every wait with kDown, which outranks
// both. A device's WaitEvents reads:
//
//     MutexLock lock(m_mutex);
//     PortEvents ev;
//     for (;;) {
//         if (m_wait.Ends(ev, m_bOpen && !m_bDown))
//             return ev;
//         ...the device's own events into ev, and the moment the next is due...
//         if (ev.flags)
//             return ev;
//         m_wait.Sleep(lock, due);
//     }
//
// Lock: the device declares its PortWaitState GUARDED_BY its own mutex, and
// every member is called with that mutex held (`lock` holds it). The
// condition variable is the device's, notified through the clock, so the
// waits follow LinkClock's contract: a device on a virtual clock hands that
// clock over with SetClock before its first open.
#include "link/LinkClock.h"
#include "link/PortDevice.h"
#include "link/ThreadSafety.h"

class PortWaitState {
public:
    explicit PortWaitState(CondVar& changed, LinkClock& clock = LinkClock::System())
        : m_changed(changed), m_clock(&clock)
    {
    }
    void SetClock(LinkClock& clock) { m_clock = &clock; }

    // A fresh open: no wake pending, not cancelled.
    void Reset();
    // Both wake the waiter.
    void Wake();
    void Cancel();
    bool Cancelled() const { return m_bCancelled; }

    // The start of each turn of the wait: true when the wait ends here, with
    // `ev` set to kDown (not `live`) or kCancelled alone; else false, with a
    // pending wake taken into `ev` as kWoken.
    bool Ends(PortEvents& ev, bool live);
    // Lets go of `lock` until the device's condition variable is notified or
    // `due` (time_point::max(): no deadline). May return early.
    void Sleep(MutexLock& lock, LinkClock::time_point due);
    // For a device's other state changes that a waiter must see.
    void Notify() { m_clock->NotifyAll(m_changed); }

private:
    CondVar& m_changed;
    LinkClock* m_clock;
    bool m_bCancelled = false;
    bool m_bWoken = false;
};
