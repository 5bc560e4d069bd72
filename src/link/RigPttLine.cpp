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
