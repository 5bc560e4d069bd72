#pragma once
// Lock rules the compiler checks. Shared state is declared with the mutex
// that guards it (GUARDED_BY), functions say which locks they need held
// (REQUIRES) or must not hold because they take them (EXCLUDES), and clang's
// -Wthread-safety proves every access at build time; the clang build in
// scripts/test.sh makes any breach an error. Under GCC the macros are empty
// and Mutex is a plain std::mutex.
//
// Mutex, MutexLock and CondVar replace std::mutex, std::lock_guard /
// std::unique_lock and std::condition_variable wherever state is guarded:
// the standard types carry no annotations, so the analysis could not see
// them. A wait is written as a loop in the caller, so the condition is read
// where the analysis knows the lock is held:
//
//     MutexLock lock(m_mutex);
//     while (!m_bStop && m_queue.empty())
//         m_wake.Wait(lock);
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

#if defined(__clang__)
#define VELTRAN_THREAD_ATTR(x) __attribute__((x))
#else
#define VELTRAN_THREAD_ATTR(x)
#endif

#define CAPABILITY(x) VELTRAN_THREAD_ATTR(capability(x))
#define SCOPED_CAPABILITY VELTRAN_THREAD_ATTR(scoped_lockable)
#define GUARDED_BY(x) VELTRAN_THREAD_ATTR(guarded_by(x))
#define PT_GUARDED_BY(x) VELTRAN_THREAD_ATTR(pt_guarded_by(x))
#define ACQUIRED_BEFORE(...) VELTRAN_THREAD_ATTR(acquired_before(__VA_ARGS__))
#define ACQUIRED_AFTER(...) VELTRAN_THREAD_ATTR(acquired_after(__VA_ARGS__))
#define REQUIRES(...) VELTRAN_THREAD_ATTR(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) VELTRAN_THREAD_ATTR(acquire_capability(__VA_ARGS__))
#define RELEASE(...) VELTRAN_THREAD_ATTR(release_capability(__VA_ARGS__))
#define TRY_ACQUIRE(...) VELTRAN_THREAD_ATTR(try_acquire_capability(__VA_ARGS__))
#define EXCLUDES(...) VELTRAN_THREAD_ATTR(locks_excluded(__VA_ARGS__))
#define ASSERT_CAPABILITY(x) VELTRAN_THREAD_ATTR(assert_capability(x))
#define RETURN_CAPABILITY(x) VELTRAN_THREAD_ATTR(lock_returned(x))
// Only for code the analysis cannot follow (a lock handed between objects);
// say why wherever it is used.
#define NO_THREAD_SAFETY_ANALYSIS VELTRAN_THREAD_ATTR(no_thread_safety_analysis)

class CondVar;
class MutexLock;

// std::mutex with the capability the analysis tracks.
class CAPABILITY("mutex") Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock() ACQUIRE() { m_native.lock(); }
    void unlock() RELEASE() { m_native.unlock(); }
    bool try_lock() TRY_ACQUIRE(true) { return m_native.try_lock(); }

private:
    friend class CondVar;
    std::mutex m_native;
};

// Holds a Mutex for its scope; Unlock/Lock let go around a blocking call and
// take it back (the analysis follows both).
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : m_mutex(mutex) { m_mutex.lock(); }
    ~MutexLock() RELEASE()
    {
        if (m_bHeld)
            m_mutex.unlock();
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    void Unlock() RELEASE()
    {
        m_bHeld = false;
        m_mutex.unlock();
    }
    void Lock() ACQUIRE()
    {
        m_mutex.lock();
        m_bHeld = true;
    }

private:
    friend class CondVar;
    Mutex& m_mutex;
    bool m_bHeld = true;
};

// A condition variable waited on with a held MutexLock: the lock is let go
// while waiting and held again on return, as std::condition_variable does.
// Wake-ups may be spurious; callers loop on their condition.
class CondVar {
public:
    void NotifyOne() { m_cv.notify_one(); }
    void NotifyAll() { m_cv.notify_all(); }

    void Wait(MutexLock& lock)
    {
        std::unique_lock<std::mutex> native(lock.m_mutex.m_native, std::adopt_lock);
        m_cv.wait(native);
        native.release();
    }
    // False when `deadline` passed (the caller still looks at its condition).
    template <class Clock, class Duration>
    bool WaitUntil(MutexLock& lock, const std::chrono::time_point<Clock, Duration>& deadline)
    {
        std::unique_lock<std::mutex> native(lock.m_mutex.m_native, std::adopt_lock);
        const bool notified = m_cv.wait_until(native, deadline) == std::cv_status::no_timeout;
        native.release();
        return notified;
    }
    template <class Rep, class Period>
    bool WaitFor(MutexLock& lock, const std::chrono::duration<Rep, Period>& limit)
    {
        return WaitUntil(lock, std::chrono::steady_clock::now() + limit);
    }

    // The std::condition_variable spelling over std::unique_lock<Mutex>, so
    // code written against the standard types keeps building. The analysis
    // cannot see those locks: annotated code uses MutexLock and the calls above.
    void notify_one() { m_cv.notify_one(); }
    void notify_all() { m_cv.notify_all(); }
    template <class... Args>
    auto wait(std::unique_lock<Mutex>& lock, Args&&... args)
    {
        return Native(lock, [&](std::unique_lock<std::mutex>& native) {
            return m_cv.wait(native, std::forward<Args>(args)...);
        });
    }
    template <class... Args>
    auto wait_until(std::unique_lock<Mutex>& lock, Args&&... args)
    {
        return Native(lock, [&](std::unique_lock<std::mutex>& native) {
            return m_cv.wait_until(native, std::forward<Args>(args)...);
        });
    }
    template <class... Args>
    auto wait_for(std::unique_lock<Mutex>& lock, Args&&... args)
    {
        return Native(lock, [&](std::unique_lock<std::mutex>& native) {
            return m_cv.wait_for(native, std::forward<Args>(args)...);
        });
    }

private:
    template <class F>
    auto Native(std::unique_lock<Mutex>& lock, F f)
    {
        std::unique_lock<std::mutex> native(lock.mutex()->m_native, std::adopt_lock);
        struct Release {
            std::unique_lock<std::mutex>& n;
            ~Release() { n.release(); }
        } release{native};
        return f(native);
    }

    std::condition_variable m_cv;
};
