// libFuzzer entry for the settings file: the input is the file's bytes, read
// through the same store the program uses, and every reader that runs at
// start-up or when a port opens takes its values from it: the Ports and
// Options values, the RTTY link's configuration, the device of every port
// (a simulated modem's options, a sound-card value with its modem settings),
// and the log record built from the stored fields. None may crash or step
// into undefined behaviour, whatever the file holds.
#include "app/DeviceMap.h"
#include "app/PortsSettings.h"
#include "app/QSettingsStore.h"
#include "app/ReportRecord.h"
#include "app/WallClock.h"
#include "frame/OptionsSettings.h"
#include "link/SimOptions.h"
#include "link/SimulatedModem.h"
#include "modem/AudioDeviceValue.h"
#include "views/RttyLinkControl.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class FixedClock : public WallClock {
public:
    CivilTime Now(bool) const override { return CivilTime{1998, 7, 4, 12, 30}; }
};

const std::string& FilePath()
{
    static const std::string path = [] {
        std::string dir = (std::filesystem::temp_directory_path() / "veltran-fuzz-XXXXXX").string();
        if (!::mkdtemp(dir.data()))
            std::abort();
        return dir + "/VELTRAN.conf";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = FilePath();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0)
        std::abort();

    const QSettingsStore store(QString::fromStdString(path));
    (void)PortsSettings::Read(store);
    (void)OptionsSettings::Read(store);
    (void)RttyPortConfig::Read(store);
    for (int port = 0; port <= 17; ++port) {
        const std::string device = DevicePathForPort(store, port, port % 2 == 0);
        AudioDeviceValue audio;
        if (IsAudioDeviceValue(device) && ParseAudioDeviceValue(device, audio)) {
            (void)ApplyAudioOptions(audio, RttyParams{}).Valid();
            (void)FormatAudioDeviceValue(audio);
        } else if (IsSimulatedDevice(device)) {
            const std::string mode = device.substr(4);
            const SimOptions options = SimOptions::Parse(mode);
            (void)options.Integer("seed", 0);
            (void)options.Number("snr", 0.0);
            SimulatedModem modem(mode);
        }
    }
    std::string record;
    FixedClock clock;
    ReportRecord::BuildAdifRecord(record, store, clock, 5);
    return 0;
}
