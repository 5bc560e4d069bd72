#pragma once
// CAT PTT: the radio's own PTT command, carried out by a Rig on its own
// thread. Set never waits for the radio; SetConfirmed, which the link keys
// through, returns once the rig has carried the change out (or has failed
// it, or has not answered within its own limit), so the link's keying delay
// counts from the moment the radio is really keyed, however slowly the rig
// answers.
//
// The rig is shared: the program's rig also polls frequency and mode. A rig
// that doesn't answer for now doesn't make the line down (the rig's status
// pane says so, and it comes back by itself): the rig carries out the latest
// request when it answers again, so it ends in the state the link wants.
//
// Threads: Set, SetConfirmed, IsKeyed and FailureText from any thread;
// m_failureMutex guards the latest failure's text.
#include "link/PttLine.h"
#include "link/Rig.h"
#include "link/ThreadSafety.h"

#include <atomic>
#include <memory>
#include <string>

class RigPttLine : public PttLine {
public:
    // CAT PTT through the program's rig (ProgramRig), as it is now.
    static std::unique_ptr<PttLine> Cat();

    explicit RigPttLine(std::shared_ptr<Rig> rig) : m_rig(std::move(rig)) {}
    ~RigPttLine() override { Close(); }

    // Fails only without a rig; a rig that is down for now still takes the
    // released state, which it carries out when it answers again.
    bool Open(std::string& error) override;
    void Close() override;
    void Set(bool keyed) override;
    // A line not open keys nothing: a release is confirmed, a key refused.
    bool SetConfirmed(bool keyed) override;
    std::string FailureText() const override;
    bool IsKeyed() const override { return m_keyed.load(); }
    bool IsDown() const override { return !m_rig; }

private:
    std::shared_ptr<Rig> m_rig;
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_keyed{false};
    mutable Mutex m_failureMutex;
    std::string m_failure GUARDED_BY(m_failureMutex);
};
