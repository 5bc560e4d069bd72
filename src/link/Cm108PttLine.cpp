#include "link/Cm108PttLine.h"

#include "link/HamlibRig.h"

#include <chrono>

Cm108PttLine::Cm108PttLine(std::string hidraw) : m_hidraw(std::move(hidraw)) {}

Cm108PttLine::~Cm108PttLine()
{
    Close();
}

bool Cm108PttLine::Open(std::string& error)
{
    Close();
    if (m_hidraw.empty()) {
        error = "No CM108 PTT device chosen";
        return false;
    }
    HamlibRigConfig config;
    config.model = HamlibRigConfig::kDummy;
    config.cm108Ptt = true;
    config.pttDevice = m_hidraw;
    config.poll = false;
    auto rig = std::make_unique<HamlibRig>(config);
    rig->SetPtt(false);
    if (!rig->WaitFirstOpen(std::chrono::seconds(2))) {
        const RigReading r = rig->Reading();
        error = "CM108 PTT device " + (r.reason.empty() ? m_hidraw + ": can't be opened" : r.reason);
        return false;
    }
    m_keyed = false;
    MutexLock lock(m_mutex);
    m_rig = std::move(rig);
    return true;
}

void Cm108PttLine::Close()
{
    std::unique_ptr<HamlibRig> rig;
    {
        MutexLock lock(m_mutex);
        rig = std::move(m_rig);
    }
    m_keyed = false;
    // The rig releases PTT and closes here, outside the lock.
    rig.reset();
}

void Cm108PttLine::Set(bool keyed)
{
    MutexLock lock(m_mutex);
    if (!m_rig)
        return;
    m_keyed = keyed;
    m_rig->SetPtt(keyed);
}

bool Cm108PttLine::IsDown() const
{
    MutexLock lock(m_mutex);
    return !m_rig || m_rig->IsDown();
}
