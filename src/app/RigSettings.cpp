#include "app/RigSettings.h"

#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "link/Cm108PttLine.h"
#include "link/PortDtrPtt.h"
#include "link/ProgramRig.h"
#include "link/PttRoutedPort.h"
#include "link/RigPttLine.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<RigSettings::Ptt, const char*>, 5> kPttNames{{
    {RigSettings::Ptt::Rts, "rts"},
    {RigSettings::Ptt::Dtr, "dtr"},
    {RigSettings::Ptt::Cat, "cat"},
    {RigSettings::Ptt::Cm108, "cm108"},
    {RigSettings::Ptt::None, "none"},
}};

// The settings the program's rig was made from (main thread only).
std::optional<RigSettings>& RunningSettings()
{
    static std::optional<RigSettings> running;
    return running;
}

}  // namespace

const char* RigPttName(RigSettings::Ptt ptt)
{
    for (const auto& [value, name] : kPttNames) {
        if (value == ptt)
            return name;
    }
    return "rts";
}

RigSettings LoadRigSettings(const SettingsStore& settings)
{
    RigSettings rig;
    rig.model = settings.Get(keys::RigModel);
    rig.port = settings.Get(keys::RigPort);
    rig.baud = settings.Get(keys::RigBaud);
    rig.pttDevice = settings.Get(keys::RigPttDevice);
    const std::string ptt = settings.Get(keys::RigPtt);
    for (const auto& [value, name] : kPttNames) {
        if (ptt == name)
            rig.ptt = value;
    }
    return rig;
}

void SaveRigSettings(SettingsStore& settings, const RigSettings& rig)
{
    settings.Put(keys::RigModel, rig.model);
    settings.Put(keys::RigPort, rig.port);
    settings.Put(keys::RigBaud, rig.baud);
    settings.Put(keys::RigPtt, RigPttName(rig.ptt));
    settings.Put(keys::RigPttDevice, rig.pttDevice);
}

std::optional<HamlibRigConfig> RigConfigOf(const RigSettings& rig)
{
    if (rig.model <= 0)
        return std::nullopt;
    HamlibRigConfig config;
    config.model = rig.model;
    config.port = rig.port;
    config.serialBaud = rig.baud;
    return config;
}

bool ApplyProgramRig(const SettingsStore& settings)
{
    // Only what the rig itself is made from counts: a new PTT choice reopens
    // the port, not the rig.
    RigSettings wanted = LoadRigSettings(settings);
    wanted.ptt = RigSettings::Ptt::Rts;
    wanted.pttDevice.clear();
    std::optional<RigSettings>& running = RunningSettings();
    if (running && *running == wanted)
        return false;
    running = wanted;
    const std::optional<HamlibRigConfig> config = RigConfigOf(wanted);
    SetProgramRig(config ? std::make_shared<HamlibRig>(*config) : nullptr);
    return true;
}

void StopProgramRig()
{
    SetProgramRig(nullptr);
    RunningSettings().reset();
}

std::unique_ptr<PortDevice> WithRigPtt(std::unique_ptr<PortDevice> port, const RigSettings& rig)
{
    std::unique_ptr<PttLine> line;
    switch (rig.ptt) {
    case RigSettings::Ptt::Rts:
        return port;
    case RigSettings::Ptt::Dtr:
        line = std::make_unique<PortDtrPtt>(*port);
        break;
    case RigSettings::Ptt::Cat:
        line = RigPttLine::Cat();
        break;
    case RigSettings::Ptt::Cm108:
        line = std::make_unique<Cm108PttLine>(rig.pttDevice);
        break;
    case RigSettings::Ptt::None:
        break;
    }
    return std::make_unique<PttRoutedPort>(std::move(port), std::move(line));
}
