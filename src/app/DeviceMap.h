#pragma once
// Port numbers to devices. Port N is the "Devices" "COM<N>" setting: a device
// path, a value beginning with "sim:" for the built-in simulated modem, or one
// beginning with "audio:" for the sound-card modem (AudioDeviceValue.h).
#include "app/SettingsStore.h"
#include "link/PortDevice.h"

#include <functional>
#include <memory>
#include <string>

// The device value for `port`: the stored value when there is one; else
// /dev/ttyS<N-1> when that device exists, else "sim:demo", so the program runs
// on the simulated modem out of the box on a machine without serial ports.
// With the environment variable VELTRAN_DEMO set (non-empty), a port without a
// stored value is always "sim:demo".
std::string DevicePathForPort(const SettingsStore& settings, int port);
// The same, with the existence test supplied (tests never look at real devices).
std::string DevicePathForPort(const SettingsStore& settings, int port,
                              const std::function<bool(const std::string&)>& deviceExists);

// A device for the value, not yet opened: a SimulatedModem for "sim:<mode>",
// the sound-card modem for "audio:...", else a PosixSerialPort on the path.
std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path);
// The same; the sound-card modem takes "Ports" "RTTYUnshiftOnSpace" from
// `settings` (read now, at each open).
std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path, const SettingsStore& settings);
