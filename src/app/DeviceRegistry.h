#pragma once
// Every kind of device a "Devices" "COM<N>" value can name, in one table:
// each kind says which values are its own and how to make the device for
// one. A value goes to the first kind that claims it, so a kind that wraps
// another (FSK keying) comes before the kinds it wraps, and a serial device
// path, claiming whatever is left, comes last. A new kind of device is one
// row here.
#include "app/RigSettings.h"
#include "link/PortDevice.h"

#include <memory>
#include <optional>
#include <span>
#include <string>

// What a device is made with beyond its value, read by the opener's caller.
struct DeviceOptions {
    // "Ports" "RTTYUnshiftOnSpace": the sound-card modem's default, which a
    // value's own usos= overrides; it acts on 5-bit lines only.
    bool unshiftOnSpace = false;
    // The rig's PTT line for a hardware terminal (a serial device, or the
    // simulated modem standing in for one); none: keyed on RTS as it is.
    std::optional<RigSettings> rigPtt;
};

struct DeviceKind {
    const char* name;
    bool (*claims)(const std::string& value);
    // The device, not yet opened.
    std::unique_ptr<PortDevice> (*make)(const std::string& value, const DeviceOptions& options);
};

// The table, in the order values are tried; the last row claims every value.
std::span<const DeviceKind> DeviceKinds();
const DeviceKind& DeviceKindFor(const std::string& value);
// The device for the value, made by the kind that claims it.
std::unique_ptr<PortDevice> MakeDevice(const std::string& value, const DeviceOptions& options);
