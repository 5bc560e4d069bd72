#include "link/Cm108PttLine.h"

#include "link/CrashLineRelease.h"
#include "link/HamlibRig.h"

#include <chrono>
#include <fcntl.h>
#include <unistd.h>

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
    // Hamlib keeps its descriptor to itself; a second one on the adapter is
    // what the crash handler writes the release report to. Without it (the
    // adapter refuses a second opener) only the crash guard is missing.
    const int crashFd = ::open(m_hidraw.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    MutexLock lock(m_mutex);
    m_rig = std::move(rig);
    if (crashFd >= 0 && !crashrelease::Register(crashFd, crashrelease::LineKind::Cm108Gpio))
        ::close(crashFd);
    else
        m_crashFd = crashFd;
    return true;
}

void Cm108PttLine::Close()
{
    std::unique_ptr<HamlibRig> rig;
    {
        MutexLock lock(m_mutex);
        rig = std::move(m_rig);
        if (m_crashFd >= 0) {
            crashrelease::Unregister(m_crashFd, crashrelease::LineKind::Cm108Gpio);
            ::close(m_crashFd);
            m_crashFd = -1;
        }
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
