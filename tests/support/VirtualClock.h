#pragma once
// A virtual clock for whole transmissions in no real time: it stands still
// while any thread taking part is busy, and jumps to the earliest moment
// anyone waits for as soon as every one of them waits. The link's threads
// take part from their start (LinkClock::Enter); the test's own thread takes
// part through a VirtualClock::Taking for its scope.
//
// Lock order: a waiter's own mutex, then the clock's. The clock never takes
// a waiter's mutex, so a wake-up can fall between a waiter registering and
// its real wait: waiters look again every millisecond of real time, which
// costs nothing when the wake-up was not lost.
#include "link/LinkClock.h"
#include "link/TickSource.h"

#include <list>
#include <mutex>

class VirtualClock : public LinkClock {
public:
    VirtualClock();

    time_point Now() const override;
    bool WaitUntil(CondVar& cv, MutexLock& lock, time_point deadline) override;
    void Wait(CondVar& cv, MutexLock& lock) override;
    void NotifyAll(CondVar& cv) override;
    void SleepFor(duration d) override;
    void Enter() override;
    void Leave() override;

    // The test's thread takes part for this object's life.
    class Taking {
    public:
        explicit Taking(VirtualClock& clock) : m_clock(clock) { m_clock.Enter(); }
        ~Taking() { m_clock.Leave(); }
        Taking(const Taking&) = delete;
        Taking& operator=(const Taking&) = delete;

    private:
        VirtualClock& m_clock;
    };

private:
    struct Waiter {
        CondVar* cv;
        time_point deadline;
        bool woken = false;
        bool timedOut = false;
    };
    // Under m_mutex: when every participant waits, time moves to the
    // earliest deadline and wakes those it has come to.
    void AdvanceIfAllWaitLocked();

    mutable std::mutex m_mutex;
    time_point m_now;                 // guarded by m_mutex
    int m_nParticipants = 0;          // guarded by m_mutex
    std::list<Waiter*> m_waiting;     // guarded by m_mutex: not yet woken
    // Guarded by m_mutex: since when every participant waits for news.
    bool m_bStuck = false;
    std::chrono::steady_clock::time_point m_stuckSince{};
};

// The same virtual time as the millisecond ticks of the views' timers.
class VirtualTicks : public TickSource {
public:
    explicit VirtualTicks(const VirtualClock& clock) : m_clock(clock) {}
    uint32_t Now() const override;

private:
    const VirtualClock& m_clock;
};
