#include "link/RigPttLine.h"

#include "link/ProgramRig.h"

std::unique_ptr<PttLine> RigPttLine::Cat()
{
    return std::make_unique<RigPttLine>(ProgramRig());
}

bool RigPttLine::Open(std::string& error)
{
    if (!m_rig) {
        error = "CAT PTT: no rig is set up";
        return false;
    }
    m_keyed = false;
    m_rig->SetPtt(false);
    m_open = true;
    return true;
}

void RigPttLine::Close()
{
    if (!m_open.exchange(false))
        return;
    m_keyed = false;
    m_rig->SetPtt(false);
}

void RigPttLine::Set(bool keyed)
{
    if (!m_open)
        return;
    m_keyed = keyed;
    m_rig->SetPtt(keyed);
}

bool RigPttLine::SetConfirmed(bool keyed)
{
    std::string failure;
    bool ok = !keyed;
    if (!m_open) {
        failure = "CAT PTT: the line is not open";
    } else {
        m_keyed = keyed;
        ok = m_rig->SetPttConfirmed(keyed, failure);
        if (!ok) {
            // A failed key is withdrawn by the rig; a failed release is
            // still carried out later. Either way the link sees it unkeyed.
            m_keyed = false;
            failure = "CAT PTT: " + (failure.empty() ? std::string("the rig did not confirm") : failure);
        }
    }
    MutexLock lock(m_failureMutex);
    m_failure = ok ? std::string() : failure;
    return ok;
}

std::string RigPttLine::FailureText() const
{
    MutexLock lock(m_failureMutex);
    return m_failure;
}
