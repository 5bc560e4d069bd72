#include "app/DeviceMap.h"

#include "app/FskDeviceValue.h"
#include "app/RigSettings.h"
#include "app/SettingsKeys.h"
#include "link/PosixSerialPort.h"
#include "link/SimulatedModem.h"
#include "modem/AudioBandDevice.h"
#include "modem/AudioFileDevice.h"
#include "modem/SoundCardDevice.h"

#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kSimPrefix = "sim:";
// Never a device value: tells "never written" apart from any stored text.
constexpr const char* kUnset = "\x01unset";

// "audio:card", with or without options (a value that does not parse goes
// to the recording device, which refuses it).
bool IsSoundCardValue(const std::string& path)
{
    AudioDeviceValue value;
    return IsAudioDeviceValue(path) && ParseAudioDeviceValue(path, value) && value.card;
}

}  // namespace

bool DemoModeRequested()
{
    const char* demo = std::getenv("VELTRAN_DEMO");
    return demo && *demo;
}

std::string DevicePathForPort(const SettingsStore& settings, int port, bool demo)
{
    const std::string stored = settings.GetText(keys::kDevices, keys::DeviceKey(port), kUnset);
    if (stored != kUnset)
        return stored;
    // Demo mode: ports the operator has not mapped run on the simulated modem
    // even where a /dev/ttyS device node exists (virtual machines and
    // containers often have one with nothing behind it, or a console on it).
    if (demo)
        return "sim:demo";
    return keys::DefaultDevice(port);
}

std::string DevicePathForPort(const SettingsStore& settings, int port)
{
    return DevicePathForPort(settings, port, DemoModeRequested());
}

bool IsSimulatedDevice(const std::string& path)
{
    // FSK keying on the simulated modem is still the simulated modem.
    const std::string device = ParseFskDeviceValue(path).device;
    return std::string_view(device).substr(0, kSimPrefix.size()) == kSimPrefix;
}

std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path, const SettingsStore& settings)
{
    if (const FskDeviceValue fsk = ParseFskDeviceValue(path); fsk.fsk)
        // FSK keying keys PTT on the line its own value names, never through
        // the terminal unit's PTT choice.
        return std::make_unique<FskKeyedPort>(OpenDeviceForPath(fsk.device), fsk.ptt);
    if (AudioBandDevice::IsBandValue(path))
        return std::make_unique<AudioBandDevice>(path);
    if (IsSoundCardValue(path))
        return std::make_unique<SoundCardDevice>(path, settings.Get(keys::RTTYUnshiftOnSpace) != 0);
    if (IsAudioDeviceValue(path))
        return std::make_unique<AudioFileDevice>(path, settings.Get(keys::RTTYUnshiftOnSpace) != 0);
    // A hardware terminal (or the simulated modem standing in for one):
    // keyed by the PTT line chosen for the rig, RTS when none is chosen.
    return WithRigPtt(OpenDeviceForPath(path), LoadRigSettings(settings));
}

std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path)
{
    if (const FskDeviceValue fsk = ParseFskDeviceValue(path); fsk.fsk)
        return std::make_unique<FskKeyedPort>(OpenDeviceForPath(fsk.device), fsk.ptt);
    if (AudioBandDevice::IsBandValue(path))
        return std::make_unique<AudioBandDevice>(path);
    if (IsSoundCardValue(path))
        return std::make_unique<SoundCardDevice>(path, false);
    if (IsAudioDeviceValue(path))
        return std::make_unique<AudioFileDevice>(path, false);
    if (IsSimulatedDevice(path))
        return std::make_unique<SimulatedModem>(std::string_view(path).substr(kSimPrefix.size()));
    return std::make_unique<PosixSerialPort>(path);
}
