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

const char* PttName(AudioDeviceValue::Ptt ptt)
{
    switch (ptt) {
    case AudioDeviceValue::Ptt::Rts: return "rts";
    case AudioDeviceValue::Ptt::Dtr: return "dtr";
    case AudioDeviceValue::Ptt::Cat: return "cat";
    case AudioDeviceValue::Ptt::Cm108: return "cm108";
    case AudioDeviceValue::Ptt::None: break;
    }
    return "none";
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
        else if (key == "card" && eq == std::string_view::npos)
            out.card = true;
        else if (key == "capture")
            out.capture = std::string(arg);
        else if (key == "playback")
            out.playback = std::string(arg);
        else if (key == "pttdev")
            out.pttDevice = std::string(arg);
        else if (key == "ptt") {
            if (arg == "rts")
                out.ptt = AudioDeviceValue::Ptt::Rts;
            else if (arg == "dtr")
                out.ptt = AudioDeviceValue::Ptt::Dtr;
            else if (arg == "cat")
                out.ptt = AudioDeviceValue::Ptt::Cat;
            else if (arg == "cm108")
                out.ptt = AudioDeviceValue::Ptt::Cm108;
            else if (arg == "none")
                out.ptt = AudioDeviceValue::Ptt::None;
            else
                ok = false;
        }
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

std::string FormatAudioDeviceValue(const AudioDeviceValue& v)
{
    std::string out(kAudioPrefix);
    const auto add = [&out](std::string_view key, const std::string& arg) {
        if (out.size() > kAudioPrefix.size())
            out += ',';
        out += key;
        out += '=';
        out += arg;
    };
    const auto number = [](double d) {
        char buf[32];
        const auto [p, ec] = std::to_chars(buf, buf + sizeof buf, d);
        return ec == std::errc() ? std::string(buf, p) : std::string("0");
    };
    if (v.card) {
        out += "card";
        if (!v.capture.empty())
            add("capture", v.capture);
        if (!v.playback.empty())
            add("playback", v.playback);
        if (v.ptt != AudioDeviceValue::Ptt::None)
            add("ptt", PttName(v.ptt));
        if (!v.pttDevice.empty())
            add("pttdev", v.pttDevice);
    }
    if (v.markHz)
        add("mark", number(*v.markHz));
    if (v.shiftHz)
        add("shift", number(*v.shiftHz));
    if (v.reverse)
        add("reverse", *v.reverse ? "1" : "0");
    if (v.stopBits)
        add("stop", number(*v.stopBits));
    if (v.afc)
        add("afc", *v.afc ? "1" : "0");
    if (v.usos)
        add("usos", *v.usos ? "1" : "0");
    // The path last: everything after file= that is not an option is its own.
    if (!v.card)
        add("file", v.file);
    return out;
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

RttyParams RttyParamsForLine(const LineSettings& line, const AudioDeviceValue& value, bool usosSetting)
{
    RttyParams params;
    params.baud = BaudForLineRate(line.baud);
    params.dataBits = line.dataBits;
    params.stopBits = line.dataBits == 5 ? 1.5 : 1.0;
    params.usos = usosSetting;
    params = ApplyAudioOptions(value, params);
    params.usos = params.usos && params.dataBits == 5;
    return params;
}
