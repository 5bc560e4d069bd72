#include "app/DeviceChoice.h"

#include "app/FileSystem.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

std::string StableDevicePath(const std::string& systemLocation, const std::string& byIdDir)
{
    FileSystem& files = ProgramFileSystem();
    std::string target;
    if (files.Canonical(systemLocation, target) != 0)
        return systemLocation;
    std::vector<std::string> names;
    files.ListFolder(byIdDir, names);
    for (const std::string& name : names) {
        const std::string link = (fs::path(byIdDir) / name).string();
        std::string named;
        if (files.Canonical(link, named) == 0 && named == target)
            return link;
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
