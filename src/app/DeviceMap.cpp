#include "app/DeviceMap.h"

#include "app/FskDeviceValue.h"
#include "app/RigSettings.h"
#include "app/SettingsKeys.h"

#include <cstdlib>
#include <string_view>

namespace {

// Never a device value: tells "never written" apart from any stored text.
constexpr const char* kUnset = "\x01unset";

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
    return std::string_view(DeviceKindFor(ParseFskDeviceValue(path).device).name) == "sim";
}

std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path)
{
    return MakeDevice(path, DeviceOptions{});
}

std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path, const SettingsStore& settings)
{
    return MakeDevice(path, StationDeviceOptions(settings, StationPort::Rtty));
}

DeviceOptions StationDeviceOptions(const SettingsStore& settings, StationPort station)
{
    DeviceOptions options;
    options.unshiftOnSpace = settings.Get(keys::RTTYUnshiftOnSpace) != 0;
    if (station == StationPort::Rtty)
        options.rigPtt = LoadRigSettings(settings);
    return options;
}

std::function<std::unique_ptr<PortDevice>(int port)> StationDeviceOpener(const SettingsStore& settings,
                                                                         StationPort station)
{
    return [&settings, station](int port) {
        return MakeDevice(DevicePathForPort(settings, port), StationDeviceOptions(settings, station));
    };
}
