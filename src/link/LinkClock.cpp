#include "link/LinkClock.h"

#include <thread>

namespace {

class SystemLinkClock final : public LinkClock {
public:
    time_point Now() const override { return std::chrono::steady_clock::now(); }
    bool WaitUntil(CondVar& cv, MutexLock& lock, time_point deadline) override
    {
        return cv.WaitUntil(lock, deadline);
    }
    void Wait(CondVar& cv, MutexLock& lock) override { cv.Wait(lock); }
    void NotifyAll(CondVar& cv) override { cv.NotifyAll(); }
    void SleepFor(duration d) override { std::this_thread::sleep_for(d); }
};

}  // namespace

LinkClock& LinkClock::System()
{
    // Never destroyed: a link closed by an exit handler (after static
    // destruction has begun) still waits and notifies through it.
    static SystemLinkClock* clock = new SystemLinkClock;
    return *clock;
}
