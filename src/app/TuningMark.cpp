#include "app/TuningMark.h"

#include "app/DeviceMap.h"
#include "app/SettingsKeys.h"
#include "modem/AudioDeviceValue.h"

bool StoreRttyMark(SettingsStore& settings, double markToneHz)
{
    const int port = settings.Get(keys::RTTYPort);
    if (port <= 0 || port > keys::kMaxPort)
        return false;
    const std::string current = DevicePathForPort(settings, port);
    AudioDeviceValue v;
    if (!IsAudioDeviceValue(current) || !ParseAudioDeviceValue(current, v))
        return false;
    RttyParams p = ApplyAudioOptions(v, RttyParams{});
    p.markHz = p.reverse ? markToneHz - p.shiftHz : markToneHz;
    if (!p.Valid())
        return false;
    v.markHz = p.markHz;
    settings.PutText(keys::kDevices, keys::DeviceKey(port), FormatAudioDeviceValue(v));
    return true;
}
