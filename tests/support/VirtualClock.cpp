#include "support/VirtualClock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace std::chrono_literals;

namespace {

// Every thread waiting for another, none for a moment, this long in real
// time: a hang in the code under test. Better a loud stop than a test that
// never ends.
constexpr auto kHangLimit = 20s;

}  // namespace

// Far from zero, so time points before "now" stay representable.
VirtualClock::VirtualClock() : m_now(time_point{} + 1000h) {}

LinkClock::time_point VirtualClock::Now() const
{
    std::lock_guard guard(m_mutex);
    return m_now;
}

bool VirtualClock::WaitUntil(CondVar& cv, MutexLock& lock, time_point deadline)
{
    Waiter w{&cv, deadline};
    {
        std::lock_guard guard(m_mutex);
        if (deadline <= m_now)
            return false;
        m_waiting.push_back(&w);
        AdvanceIfAllWaitLocked();
    }
    for (;;) {
        {
            std::lock_guard guard(m_mutex);
            if (w.woken)
                return !w.timedOut;
            if (m_bStuck && std::chrono::steady_clock::now() - m_stuckSince > kHangLimit) {
                std::fprintf(stderr, "VirtualClock: every thread waits for another\n");
                std::abort();
            }
        }
        cv.WaitUntil(lock, std::chrono::steady_clock::now() + 1ms);
    }
}

void VirtualClock::Wait(CondVar& cv, MutexLock& lock)
{
    WaitUntil(cv, lock, time_point::max());
}

void VirtualClock::NotifyAll(CondVar& cv)
{
    {
        std::lock_guard guard(m_mutex);
        m_bStuck = false;
        for (auto it = m_waiting.begin(); it != m_waiting.end();) {
            if ((*it)->cv == &cv) {
                (*it)->woken = true;
                it = m_waiting.erase(it);
            } else {
                ++it;
            }
        }
    }
    cv.NotifyAll();
}

void VirtualClock::SleepFor(duration d)
{
    Mutex mutex;
    CondVar cv;
    MutexLock lock(mutex);
    const time_point until = Now() + d;
    while (WaitUntil(cv, lock, until)) {
    }
}

void VirtualClock::Enter()
{
    std::lock_guard guard(m_mutex);
    m_bStuck = false;
    ++m_nParticipants;
}

void VirtualClock::Leave()
{
    std::lock_guard guard(m_mutex);
    --m_nParticipants;
    AdvanceIfAllWaitLocked();
}

void VirtualClock::AdvanceIfAllWaitLocked()
{
    if (m_waiting.empty() || static_cast<int>(m_waiting.size()) < m_nParticipants)
        return;
    time_point next = time_point::max();
    for (const Waiter* w : m_waiting)
        next = std::min(next, w->deadline);
    if (next == time_point::max()) {
        // All wait for one another: the hang limit reports it.
        if (!m_bStuck)
            m_stuckSince = std::chrono::steady_clock::now();
        m_bStuck = true;
        return;
    }
    m_now = std::max(m_now, next);
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if ((*it)->deadline <= m_now) {
            (*it)->woken = true;
            (*it)->timedOut = true;
            (*it)->cv->NotifyAll();
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
}

uint32_t VirtualTicks::Now() const
{
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(m_clock.Now().time_since_epoch()).count());
}
