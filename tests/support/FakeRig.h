#pragma once
// A Rig stand-in for the CAT PTT rules: it records every PTT request and
// answers a confirmed one as the test says: at once, confirming or refusing
// with a reason, or (held) only when the test answers, as a rig slow to
// confirm does. Thread-safe; every wait is bounded.
#include "link/Rig.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

class FakeRig : public Rig {
public:
    RigReading Reading() const override
    {
        std::lock_guard lock(m_mutex);
        RigReading r;
        r.pttOn = m_ptt;
        return r;
    }
    void SetPtt(bool on) override
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(on);
        m_ptt = on;
    }
    bool SetPttConfirmed(bool on, std::string& failure) override
    {
        std::unique_lock lock(m_mutex);
        m_requests.push_back(on);
        ++m_waiting;
        m_changed.notify_all();
        m_changed.wait_for(lock, std::chrono::seconds(20), [&] { return !m_hold; });
        --m_waiting;
        if (!m_refusal.empty()) {
            failure = m_refusal;
            return false;
        }
        m_ptt = on;
        return true;
    }

    // Confirmed requests from now on fail with `reason` (empty: they succeed).
    void Refuse(std::string reason)
    {
        std::lock_guard lock(m_mutex);
        m_refusal = std::move(reason);
    }
    // Confirmed requests wait until Answer.
    void Hold()
    {
        std::lock_guard lock(m_mutex);
        m_hold = true;
    }
    void Answer()
    {
        std::lock_guard lock(m_mutex);
        m_hold = false;
        m_changed.notify_all();
    }
    // Until a confirmed request is waiting for its answer.
    bool WaitForWaitingRequest()
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(20), [&] { return m_waiting > 0; });
    }
    // PTT as the rig has it: changed only by what it carried out.
    bool Ptt() const
    {
        std::lock_guard lock(m_mutex);
        return m_ptt;
    }
    std::vector<bool> Requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<bool> m_requests;
    std::string m_refusal;
    bool m_hold = false;
    int m_waiting = 0;
    bool m_ptt = false;
};
