#include "app/RigReportFrequency.h"

#include "app/DeviceMap.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "link/ProgramRig.h"
#include "modem/AudioDeviceValue.h"

Sideband SidebandOfMode(const std::string& mode)
{
    return mode.find("USB") != std::string::npos ? Sideband::Upper : Sideband::Lower;
}

std::optional<double> RigReportFrequency(const SettingsStore& settings)
{
    const std::optional<RigReading> reading = ProgramRigReading();
    if (!reading || reading->down || reading->frequencyHz == 0)
        return std::nullopt;
    const double dial = static_cast<double>(reading->frequencyHz);
    const int port = settings.Get(keys::RTTYPort);
    if (port < 1 || port > keys::kMaxPort)
        return dial;
    const std::string device = DevicePathForPort(settings, port);
    AudioDeviceValue value;
    if (!IsAudioDeviceValue(device) || !ParseAudioDeviceValue(device, value) || !value.card)
        return dial;
    return RttyCarrierFrequency(dial, ApplyAudioOptions(value, RttyParams{}), SidebandOfMode(reading->mode));
}
