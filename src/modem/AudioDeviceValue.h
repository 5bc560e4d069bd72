#pragma once
// The "Devices" value of a port on the sound-card modem:
//   audio:[option,...]file=<path>[,option...]     a recording played in
//   audio:card[,option...]                        a live sound card
// Options: mark=<Hz>, shift=<Hz> (negative: space below mark), reverse,
// stop=<1|1.5|2>, afc=<0|1>, usos=<0|1>; for a sound card also
// capture=<source name>, playback=<sink name> (empty or absent: the sound
// server's default), ptt=<rts|dtr|cat|cm108|none> (none: the radio's VOX;
// cat: the rig's own PTT command through the program's rig; cm108: a GPIO of
// a CM108 sound adapter) and pttdev=<device path>: the serial device whose
// RTS or DTR keys the radio, or the CM108 adapter's /dev/hidrawN. A comma
// followed by something that is not an option belongs to the path.
#include "link/PortDevice.h"
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

    bool card = false;                 // a live sound card ("audio:card")
    std::string capture;
    std::string playback;
    enum class Ptt { None, Rts, Dtr, Cat, Cm108 };
    Ptt ptt = Ptt::None;
    std::string pttDevice;
};

inline constexpr std::string_view kAudioPrefix = "audio:";

bool IsAudioDeviceValue(std::string_view value);
// Parses what follows "audio:" (or the whole value with the prefix). False
// on an option with a bad number.
bool ParseAudioDeviceValue(std::string_view value, AudioDeviceValue& out);
// The value written back: "audio:card,..." for a sound card, else
// "audio:file=...", with only the options that are set. Parsing the result
// gives `value` again.
std::string FormatAudioDeviceValue(const AudioDeviceValue& value);
// The options applied over `base` (which carries the defaults and the line's
// baud and data bits).
RttyParams ApplyAudioOptions(const AudioDeviceValue& value, RttyParams base);
// What a sound-card port device opened with `line` sends and expects: the
// teleprinter speed and data bits of the line (1.5 stop bits for Baudot),
// the stored unshift-on-space setting, then the value's own options;
// unshift on space only for Baudot. The caller checks Valid().
RttyParams RttyParamsForLine(const LineSettings& line, const AudioDeviceValue& value, bool usosSetting);
