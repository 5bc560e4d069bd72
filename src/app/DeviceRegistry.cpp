#include "app/DeviceRegistry.h"

#include "app/FskDeviceValue.h"
#include "link/PosixSerialPort.h"
#include "link/SimulatedModem.h"
#include "modem/AudioBandDevice.h"
#include "modem/AudioDeviceValue.h"
#include "modem/AudioFileDevice.h"
#include "modem/SoundCardDevice.h"

#include <string_view>

namespace {

constexpr std::string_view kSimPrefix = "sim:";

std::unique_ptr<PortDevice> KeyedAsTheRigSays(std::unique_ptr<PortDevice> port, const DeviceOptions& options)
{
    return options.rigPtt ? WithRigPtt(std::move(port), *options.rigPtt) : std::move(port);
}

bool IsFsk(const std::string& value)
{
    return ParseFskDeviceValue(value).fsk;
}

std::unique_ptr<PortDevice> MakeFsk(const std::string& value, const DeviceOptions&)
{
    // FSK keying keys PTT on the line its own value names, never through the
    // rig's PTT choice; the device it wraps gets no stored options either.
    const FskDeviceValue fsk = ParseFskDeviceValue(value);
    return std::make_unique<FskKeyedPort>(MakeDevice(fsk.device, DeviceOptions{}), fsk.ptt);
}

bool IsBand(const std::string& value)
{
    return AudioBandDevice::IsBandValue(value);
}

std::unique_ptr<PortDevice> MakeBand(const std::string& value, const DeviceOptions&)
{
    return std::make_unique<AudioBandDevice>(value);
}

// "audio:card", with or without options (a value that does not parse goes
// to the recording device, which refuses it).
bool IsSoundCard(const std::string& value)
{
    AudioDeviceValue parsed;
    return IsAudioDeviceValue(value) && ParseAudioDeviceValue(value, parsed) && parsed.card;
}

std::unique_ptr<PortDevice> MakeSoundCard(const std::string& value, const DeviceOptions& options)
{
    return std::make_unique<SoundCardDevice>(value, options.unshiftOnSpace);
}

bool IsAudio(const std::string& value)
{
    return IsAudioDeviceValue(value);
}

std::unique_ptr<PortDevice> MakeAudioFile(const std::string& value, const DeviceOptions& options)
{
    return std::make_unique<AudioFileDevice>(value, options.unshiftOnSpace);
}

bool IsSim(const std::string& value)
{
    return std::string_view(value).starts_with(kSimPrefix);
}

std::unique_ptr<PortDevice> MakeSim(const std::string& value, const DeviceOptions& options)
{
    return KeyedAsTheRigSays(std::make_unique<SimulatedModem>(std::string_view(value).substr(kSimPrefix.size())),
                             options);
}

bool AnyValue(const std::string&)
{
    return true;
}

std::unique_ptr<PortDevice> MakeSerial(const std::string& value, const DeviceOptions& options)
{
    return KeyedAsTheRigSays(std::make_unique<PosixSerialPort>(value), options);
}

constexpr DeviceKind kKinds[] = {
    {"fsk", IsFsk, MakeFsk},
    {"audio band", IsBand, MakeBand},
    {"sound card", IsSoundCard, MakeSoundCard},
    {"audio file", IsAudio, MakeAudioFile},
    {"sim", IsSim, MakeSim},
    {"serial", AnyValue, MakeSerial},
};

}  // namespace

std::span<const DeviceKind> DeviceKinds()
{
    return kKinds;
}

const DeviceKind& DeviceKindFor(const std::string& value)
{
    for (const DeviceKind& kind : kKinds)
        if (kind.claims(value))
            return kind;
    return kKinds[std::size(kKinds) - 1];
}

std::unique_ptr<PortDevice> MakeDevice(const std::string& value, const DeviceOptions& options)
{
    return DeviceKindFor(value).make(value, options);
}
