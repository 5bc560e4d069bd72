#include "app/FskDeviceValue.h"

FskDeviceValue ParseFskDeviceValue(std::string_view value)
{
    FskDeviceValue out;
    if (!value.starts_with(kFskPrefix)) {
        out.device = std::string(value);
        return out;
    }
    value.remove_prefix(kFskPrefix.size());
    out.fsk = true;
    if (value.starts_with("dtr:")) {
        out.ptt = FskKeyedPort::PttOn::Dtr;
        value.remove_prefix(4);
    } else if (value.starts_with("rts:")) {
        value.remove_prefix(4);
    }
    out.device = std::string(value);
    return out;
}

std::string FormatFskDeviceValue(const FskDeviceValue& value)
{
    if (!value.fsk)
        return value.device;
    return std::string(kFskPrefix) + (value.ptt == FskKeyedPort::PttOn::Dtr ? "dtr:" : "rts:") + value.device;
}
