#pragma once
// The rig set up in the store ("Rig" keys, SettingsKeys.h) and what follows
// from it: the program's rig (ProgramRig) and the PTT line of a hardware
// terminal on the RTTY port.
#include "link/HamlibRig.h"
#include "link/PortDevice.h"

#include <memory>
#include <optional>
#include <string>

class SettingsStore;

struct RigSettings {
    enum class Ptt { Rts, Dtr, Cat, Cm108, None };
    int model = 0;            // Hamlib model; 0: no rig
    std::string port;         // serial device, or host:port for rigctld
    int baud = 0;             // 0: the model's default
    Ptt ptt = Ptt::Rts;       // keys a hardware terminal's transmitter
    std::string pttDevice;    // the CM108 adapter's /dev/hidrawN

    bool operator==(const RigSettings&) const = default;
};

// An unknown "PTT" text reads as "rts", what the port did before there was a choice.
RigSettings LoadRigSettings(const SettingsStore& settings);
void SaveRigSettings(SettingsStore& settings, const RigSettings& rig);
const char* RigPttName(RigSettings::Ptt ptt);

// The Hamlib rig for the settings; nullopt without a model.
std::optional<HamlibRigConfig> RigConfigOf(const RigSettings& rig);

// Makes the program's rig from the store (or none) when the settings differ
// from those of the rig running now; true when it did. Main thread. Ports
// that key through the old rig keep it until they close.
bool ApplyProgramRig(const SettingsStore& settings);
// The program has ended: the rig releases PTT and closes.
void StopProgramRig();

// `port` keyed as the settings say: as it is for "rts", else behind a
// PttRoutedPort with the chosen line.
std::unique_ptr<PortDevice> WithRigPtt(std::unique_ptr<PortDevice> port, const RigSettings& rig);
