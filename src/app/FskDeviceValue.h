#pragma once
// The "Devices" "COM<N>" value of a port keyed by true FSK (FskKeyedPort.h):
//   fsk:rts:<device>   PTT on RTS
//   fsk:dtr:<device>   PTT on DTR
//   fsk:<device>       PTT on RTS
// where <device> is any other device value (a serial device path; "sim:..."
// for the simulated modem). Kept in the one device value so that switching
// FSK keying on or off is a change of device, and the port is reopened.
#include "link/FskKeyedPort.h"

#include <string>
#include <string_view>

inline constexpr std::string_view kFskPrefix = "fsk:";

struct FskDeviceValue {
    bool fsk = false;
    FskKeyedPort::PttOn ptt = FskKeyedPort::PttOn::Rts;
    std::string device;  // the value without the FSK part
};

// A value without the prefix gives fsk = false and the value as it is.
FskDeviceValue ParseFskDeviceValue(std::string_view value);
// "fsk:rts:..." or "fsk:dtr:..." when `fsk` is set, else the device alone.
std::string FormatFskDeviceValue(const FskDeviceValue& value);
