#pragma once
// Port numbers to devices. Port N is the "Devices" "COM<N>" setting: a device
// path, a value beginning with "sim:" for the built-in simulated modem, or one
// beginning with "audio:" for the sound-card modem (AudioDeviceValue.h).
#include "app/DeviceRegistry.h"
#include "app/SettingsStore.h"
#include "link/PortDevice.h"

#include <functional>
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

// A device for the value, not yet opened, made by the kind of device that
// claims it (DeviceRegistry.h): a SimulatedModem for "sim:<mode>", the
// sound-card modem for "audio:...", FSK keying around the device that follows
// for "fsk:..." (FskDeviceValue.h), else a PosixSerialPort on the path. No
// stored options: RTS keys, no unshift on space by default.
std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path);
// The same with the RTTY station's options read from `settings` now, at each
// open (StationDeviceOptions).
std::unique_ptr<PortDevice> OpenDeviceForPath(const std::string& path, const SettingsStore& settings);

// The two ports a station runs on.
enum class StationPort { Rtty, Tnc };
// What a station's devices are made with: the sound-card modem takes "Ports"
// "RTTYUnshiftOnSpace" on either port. Only the RTTY port keys a hardware
// terminal through the rig's PTT line ("Rig" "PTT"): the TNC link never keys
// a transmitter, so its device gets no line to key (nor a hold on the rig).
DeviceOptions StationDeviceOptions(const SettingsStore& settings, StationPort station);
// The device opener a station gives its link: the port's device value
// (DevicePathForPort), made with the station's options, both read at each
// open. `settings` must outlive the opener.
std::function<std::unique_ptr<PortDevice>(int port)> StationDeviceOpener(const SettingsStore& settings,
                                                                         StationPort station);
