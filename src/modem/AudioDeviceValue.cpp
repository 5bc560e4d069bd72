#include "modem/AudioDeviceValue.h"

#include <charconv>
#include <vector>

namespace {

std::optional<double> Number(std::string_view s)
{
    double v = 0.0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size())
        return std::nullopt;
    return v;
}

}  // namespace

bool IsAudioDeviceValue(std::string_view value)
{
    return value.substr(0, kAudioPrefix.size()) == kAudioPrefix;
}

bool ParseAudioDeviceValue(std::string_view value, AudioDeviceValue& out)
{
    if (IsAudioDeviceValue(value))
        value.remove_prefix(kAudioPrefix.size());
    out = {};
    std::vector<std::string_view> parts;
    while (true) {
        const size_t comma = value.find(',');
        parts.push_back(value.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        value.remove_prefix(comma + 1);
    }
    bool inFile = false;
    for (std::string_view part : parts) {
        const size_t eq = part.find('=');
        const std::string_view key = part.substr(0, eq);
        const std::string_view arg = eq == std::string_view::npos ? std::string_view{} : part.substr(eq + 1);
        const auto flag = [&](std::optional<bool>& into) {
            if (eq == std::string_view::npos || arg == "1")
                into = true;
            else if (arg == "0")
                into = false;
            else
                return false;
            return true;
        };
        const auto number = [&](std::optional<double>& into) {
            into = Number(arg);
            return into.has_value();
        };
        bool ok = true;
        if (key == "file") {
            out.file = std::string(arg);
            inFile = true;
            continue;
        } else if (key == "mark")
            ok = number(out.markHz);
        else if (key == "shift")
            ok = number(out.shiftHz);
        else if (key == "stop")
            ok = number(out.stopBits);
        else if (key == "reverse")
            ok = flag(out.reverse);
        else if (key == "afc")
            ok = flag(out.afc);
        else if (key == "usos")
            ok = flag(out.usos);
        else if (inFile) {
            out.file += ',';
            out.file += part;
            continue;
        } else
            ok = false;
        if (!ok)
            return false;
        inFile = false;
    }
    return true;
}

RttyParams ApplyAudioOptions(const AudioDeviceValue& v, RttyParams p)
{
    if (v.markHz)
        p.markHz = *v.markHz;
    if (v.shiftHz)
        p.shiftHz = *v.shiftHz;
    if (v.reverse)
        p.reverse = *v.reverse;
    if (v.stopBits)
        p.stopBits = *v.stopBits;
    if (v.afc)
        p.afc = *v.afc;
    if (v.usos)
        p.usos = *v.usos;
    return p;
}
