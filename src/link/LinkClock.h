#pragma once
// The time the link and the simulated modem keep: reading it, waiting on a
// condition variable until a moment, and waking such waiters. The program
// runs on the steady clock (LinkClock::System()); tests of the keying rules
// run whole transmissions on a virtual clock that jumps to the next moment
// anyone waits for once every thread taking part is waiting, so hundreds
// of transmissions take no real time and every moment is exact.
//
// Contract for code that waits: every wait on a CondVar goes through
// WaitUntil or Wait of the clock, and every notify of such a CondVar
// through NotifyAll, so a virtual clock knows who is still busy. A thread
// that waits on the clock is counted from before it is started (Enter, by
// its creator) until it ends (Leave, by itself). A counted thread that
// blocks outside the clock (joining another) leaves the count meanwhile.
//
// Thread-safe: every member may be called from any thread.
#include "link/ThreadSafety.h"

#include <chrono>

class LinkClock {
public:
    using time_point = std::chrono::steady_clock::time_point;
    using duration = std::chrono::steady_clock::duration;

    virtual ~LinkClock() = default;
    virtual time_point Now() const = 0;
    // Waits on `cv`, letting go of `lock`'s mutex, until notified or
    // `deadline`; false when the deadline passed. May wake spuriously.
    virtual bool WaitUntil(CondVar& cv, MutexLock& lock, time_point deadline) = 0;
    virtual void Wait(CondVar& cv, MutexLock& lock) = 0;
    virtual void NotifyAll(CondVar& cv) = 0;
    // Holds the calling thread for `d` (no lock held).
    virtual void SleepFor(duration d) = 0;
    // A thread that will wait on this clock is about to start / has ended.
    virtual void Enter() {}
    virtual void Leave() {}

    // The steady clock; waits are the condition variables' own.
    static LinkClock& System();
};
