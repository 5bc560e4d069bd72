#include "link/RigPttLine.h"

#include "link/HamlibRig.h"
#include "link/ProgramRig.h"

std::unique_ptr<PttLine> RigPttLine::Cat()
{
    return std::make_unique<RigPttLine>(ProgramRig());
}

std::unique_ptr<PttLine> RigPttLine::Cm108(const std::string& hidraw)
{
    HamlibRigConfig config;
    config.model = HamlibRigConfig::kDummy;
    config.cm108Ptt = true;
    config.pttDevice = hidraw;
    config.poll = false;
    return std::make_unique<RigPttLine>(std::make_shared<HamlibRig>(config));
}

bool RigPttLine::Open(std::string& error)
{
    if (!m_rig) {
        error = "No rig is set up for PTT";
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
