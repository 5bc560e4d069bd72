#pragma once
// The "Devices" value of a port on the sound-card modem:
//   audio:[option,...]file=<path>[,option...]
// Options: mark=<Hz>, shift=<Hz> (negative: space below mark), reverse,
// stop=<1|1.5|2>, afc=<0|1>, usos=<0|1>. A comma followed by something that
// is not an option belongs to the path.
#include "modem/RttyParams.h"

#include <optional>
#include <string>
#include <string_view>

struct AudioDeviceValue {
    std::string file;                  // play this recording into the receiver
    std::optional<double> markHz;
    std::optional<double> shiftHz;
    std::optional<bool> reverse;
    std::optional<double> stopBits;
    std::optional<bool> afc;
    std::optional<bool> usos;
};

inline constexpr std::string_view kAudioPrefix = "audio:";

bool IsAudioDeviceValue(std::string_view value);
// Parses what follows "audio:" (or the whole value with the prefix). False
// on an option with a bad number.
bool ParseAudioDeviceValue(std::string_view value, AudioDeviceValue& out);
// The options applied over `base` (which carries the defaults and the line's
// baud and data bits).
RttyParams ApplyAudioOptions(const AudioDeviceValue& value, RttyParams base);
