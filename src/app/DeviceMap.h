#pragma once
// Port numbers to devices. Port N is the "Devices" "COM<N>" setting: a device
// path, a value beginning with "sim:" for the built-in simulated modem, or one
// beginning with "audio:" for the sound-card modem (AudioDeviceValue.h).
#include "app/SettingsStore.h"
#include "link/PortDevice.h"

#include <memory>
#include <string>

// The device value for `port`: the stored value when there is one; else, in
// demo mode, "sim:demo"; else /dev/ttyS<N-1>, whether or not it exists. The
// simulated modem runs only when asked for: a port whose device is missing
// fails to open and is shown closed, never quietly replaced by a fake modem.
std::string DevicePathForPort(const SettingsStore& settings, int port, bool demo);
// The same, demo mode being the environment variable VELTRAN_DEMO set
// (non-empty).
std::string DevicePathForPort(const SettingsStore& settings, int port);
bool DemoModeRequested();

// True for a device value that selects the simulated modem ("sim:...", also
// behind FSK keying).
bool IsSimulatedDevice(const std::string& path);

// A device for the value, not yet opened: a SimulatedModem for "sim:<mode>",
// the sound-card modem for "audio:...", FSK keying around the device that
// follows for "fsk:..." (FskDeviceValue.h), else a PosixSerialPort on the path.
std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path);
// The same; the sound-card modem takes "Ports" "RTTYUnshiftOnSpace" from
// `settings`, and any other device the PTT line of "Rig" "PTT" (both read
// now, at each open).
std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path, const SettingsStore& settings);
