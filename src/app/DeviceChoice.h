#pragma once
// The entries of the device chooser behind the Ports dialog's "Port Setup"
// buttons: the serial devices present as the system describes them, each
// under the name that survives re-plugging when there is one, then the
// simulated modem. Plain data; the enumeration itself (Qt Serial Port) is the
// chooser widget's business.
#include <cstdint>
#include <string>
#include <vector>

// What the system knows of one serial device.
struct SerialDeviceInfo {
    std::string portName;        // "ttyUSB0"
    std::string systemLocation;  // "/dev/ttyUSB0"
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
    bool hasUsbIds = false;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

struct DeviceEntry {
    std::string value;  // what goes into "Devices" "COM<N>"
    std::string label;  // what the list shows
};

inline constexpr const char* kSimulatedModemValue = "sim:demo";
inline constexpr const char* kSerialByIdDir = "/dev/serial/by-id";

// The link in `byIdDir` that resolves to `systemLocation` (the stable name of
// a USB adapter, the same whichever ttyUSB number it gets), or
// `systemLocation` itself when there is none.
std::string StableDevicePath(const std::string& systemLocation, const std::string& byIdDir = kSerialByIdDir);

// One entry per device, then the simulated modem.
std::vector<DeviceEntry> DeviceEntries(const std::vector<SerialDeviceInfo>& devices,
                                       const std::string& byIdDir = kSerialByIdDir);
