#include "app/SoundCardForm.h"

#include "app/FileSystem.h"
#include "modem/RttyParams.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

std::vector<AudioDeviceEntry> AudioDeviceEntries(const std::vector<AudioDeviceInfo>& present, const std::string& stored)
{
    std::vector<AudioDeviceEntry> out;
    out.push_back({"", "Default (the sound server's choice)"});
    bool storedListed = stored.empty();
    for (const AudioDeviceInfo& d : present) {
        out.push_back({d.name, d.description.empty() ? d.name : d.description});
        storedListed = storedListed || d.name == stored;
    }
    if (!storedListed)
        out.push_back({stored, stored + " (not present)"});
    return out;
}

std::string AudioServerNotice(bool haveServer, size_t sources, size_t sinks)
{
    if (!haveServer)
        return "No sound server: the sound card can be set up, but not used or measured now.";
    if (sources == 0 && sinks == 0)
        return "The sound server lists no capture and no playback devices.";
    if (sources == 0)
        return "The sound server lists no capture devices.";
    if (sinks == 0)
        return "The sound server lists no playback devices.";
    return {};
}

std::vector<DeviceEntry> PttDeviceEntries(const std::vector<DeviceEntry>& chooserEntries,
                                          const std::vector<std::string>& hidraw)
{
    std::vector<DeviceEntry> out;
    std::copy_if(chooserEntries.begin(), chooserEntries.end(), std::back_inserter(out),
                 [](const DeviceEntry& e) { return e.value != kSimulatedModemValue; });
    for (const std::string& path : hidraw)
        out.push_back({path, path + "  (HID device: a CM108 adapter's GPIO)"});
    return out;
}

std::vector<std::string> HidrawDevicePaths(const std::string& dir)
{
    std::vector<std::string> names;
    ProgramFileSystem().ListFolder(dir, names);
    std::vector<std::string> out;
    for (const std::string& name : names) {
        if (name.starts_with("hidraw"))
            out.push_back((std::filesystem::path(dir) / name).string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool PttLineNeedsDevice(AudioDeviceValue::Ptt ptt)
{
    return ptt == AudioDeviceValue::Ptt::Rts || ptt == AudioDeviceValue::Ptt::Dtr ||
           ptt == AudioDeviceValue::Ptt::Cm108;
}

SoundCardForm SoundCardForm::Load(const std::string& current, bool* isCard)
{
    SoundCardForm f;
    AudioDeviceValue v;
    const bool card = IsAudioDeviceValue(current) && ParseAudioDeviceValue(current, v) && v.card;
    if (isCard)
        *isCard = card;
    if (!card)
        return f;
    const RttyParams defaults;
    f.base = v;
    f.capture = v.capture;
    f.playback = v.playback;
    f.markHz = v.markHz.value_or(defaults.markHz);
    f.shiftHz = v.shiftHz.value_or(defaults.shiftHz);
    f.reverse = v.reverse.value_or(defaults.reverse);
    f.usos = v.usos.value_or(defaults.usos);
    f.afc = v.afc.value_or(defaults.afc);
    f.ptt = v.ptt;
    f.pttDevice = v.pttDevice;
    return f;
}

std::string SoundCardForm::Problem() const
{
    RttyParams p;
    p.markHz = markHz;
    p.shiftHz = shiftHz;
    if (std::fabs(shiftHz) < 20.0)
        return "The shift must be at least 20 Hz (negative: space below mark).";
    if (!p.Valid())
        return "Mark and space must both lie between 100 and 3900 Hz.";
    if (PttLineNeedsDevice(ptt) && pttDevice.empty())
        return ptt == AudioDeviceValue::Ptt::Cm108
                   ? "Choose the CM108 adapter's HID device (/dev/hidrawN)."
                   : "Choose the serial device whose RTS or DTR keys the radio, or None (VOX).";
    return {};
}

std::string SoundCardForm::Value() const
{
    AudioDeviceValue v = base;
    v.card = true;
    v.file.clear();
    v.capture = capture;
    v.playback = playback;
    v.markHz = markHz;
    v.shiftHz = shiftHz;
    v.reverse = reverse;
    v.usos = usos;
    v.afc = afc;
    v.ptt = ptt;
    // Kept under CAT and None too, so that going back to RTS or DTR finds it.
    v.pttDevice = pttDevice;
    return FormatAudioDeviceValue(v);
}
