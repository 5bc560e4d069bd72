#include "app/DeviceChoice.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string StableDevicePath(const std::string& systemLocation, const std::string& byIdDir)
{
    std::error_code ec;
    const fs::path target = fs::canonical(systemLocation, ec);
    if (ec)
        return systemLocation;
    for (fs::directory_iterator it(byIdDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkEc;
        if (fs::canonical(it->path(), linkEc) == target && !linkEc)
            return it->path().string();
    }
    return systemLocation;
}

std::vector<DeviceEntry> DeviceEntries(const std::vector<SerialDeviceInfo>& devices, const std::string& byIdDir)
{
    std::vector<DeviceEntry> out;
    for (const SerialDeviceInfo& d : devices) {
        DeviceEntry e;
        e.value = StableDevicePath(d.systemLocation, byIdDir);
        std::string about = d.portName;
        auto add = [&about](const std::string& part) {
            if (!part.empty())
                about += (about.empty() ? "" : ", ") + part;
        };
        add(d.description);
        add(d.manufacturer);
        if (!d.serialNumber.empty())
            add("serial " + d.serialNumber);
        if (d.hasUsbIds) {
            char ids[32];
            std::snprintf(ids, sizeof ids, "USB %04x:%04x", d.vendorId, d.productId);
            add(ids);
        }
        e.label = e.value + "  (" + about + ")";
        out.push_back(std::move(e));
    }
    out.push_back({kSimulatedModemValue, std::string("Simulated modem, no radio (") + kSimulatedModemValue + ")"});
    return out;
}
