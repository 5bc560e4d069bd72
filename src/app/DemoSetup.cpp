#include "app/DemoSetup.h"

#include "app/FileIo.h"
#include "app/FileSystem.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "modem/AudioBandDevice.h"

#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <cstring>
#include <memory>

namespace demo {

namespace {

constexpr const char* kSuffix = " - Demo (simulated band, no radio)";

// Ctrl-W (^W) keys the transmitter, Ctrl-Q (^Q) returns to receive once the
// text before it has gone: each tape is one whole transmission.
struct Tape {
    const char* name;
    const char* text;
};
constexpr Tape kTapes[] = {
    {"TAPECQ.TXT", "^W\r\nCQ CQ CQ DE ^C ^C ^C\r\nCQ CQ CQ DE ^C ^C ^C K\r\n^Q\r\n"},
    {"TAPEBRAG.TXT",
     "^W\r\n^K DE ^C\r\nRIG HERE IS A SIMULATED TRANSCEIVER AT 100 WATTS INTO A DIPOLE\r\n"
     "THE MODEM IS SIMULATED TOO, THIS IS A DEMO OF VELTRAN\r\n^K DE ^C K\r\n^Q\r\n"},
    {"TAPEEXCHANGE.TXT", "^W\r\n^K DE ^C UR ^H ^H NR ^I ^I ^K DE ^C K\r\n^Q\r\n"},
    {"TAPESTARTUP.TXT", "^W\r\nDE ^C QRV\r\n^Q\r\n"},
};

struct Macro {
    const char* key;
    const char* text;
};
// Whole transmissions in Character mode: Ctrl-A answers a station with the exchange, Ctrl-U signs off, Ctrl-Y
// calls CQ; "H" and "L" are the reports the exchange sends.
constexpr Macro kMacros[] = {
    {"A", "^W^K DE ^C UR ^H ^H NR ^I ^I ^K DE ^C K^Q"},
    {"U", "^W^K DE ^C TU 73 SK^Q"},
    {"Y", "^WCQ CQ DE ^C ^C K^Q"},
    {"H", "599"},
    {"L", "599"},
};

// A simulated device the operator chose in the demo file (the band heard
// through the sound-card modem among them) is kept.
bool IsSim(const std::string& value)
{
    return value.rfind("sim:", 0) == 0 || AudioBandDevice::IsBandValue(value);
}

}  // namespace

bool TakeDemoSwitch(std::vector<std::string>& args)
{
    const auto it = std::find(args.begin(), args.end(), "--demo");
    if (it == args.end())
        return false;
    args.erase(it);
    return true;
}

std::string SettingsFilePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return (config + QStringLiteral("/Quorvane/VELTRAN-demo.conf")).toStdString();
}

std::string DirectoryPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (data + QStringLiteral("/Quorvane/VELTRAN/demo")).toStdString();
}

bool Prepare(SettingsStore& settings, const std::string& directory)
{
    const QString dir = QString::fromStdString(directory);
    if (!QDir().mkpath(dir))
        return false;
    const struct {
        int port;
        const char* device;
    } ports[] = {{1, kRttyDevice}, {2, kTncDevice}};
    for (const auto& p : ports) {
        if (!IsSim(settings.GetText(keys::kDevices, keys::DeviceKey(p.port), "")))
            settings.PutText(keys::kDevices, keys::DeviceKey(p.port), p.device);
    }
    // Character mode, where a macro holding Ctrl-W and Ctrl-Q is a whole
    // transmission of its own (the other modes leave such macros alone);
    // once the operator has chosen a mode in the demo, it stays.
    if (settings.GetText(keys::CharMode.section, keys::CharMode.key, "").empty()) {
        settings.Put(keys::CharMode, 1);
        settings.Put(keys::WordMode, 0);
    }
    if (settings.Get(keys::MacroOwnCall).empty())
        settings.Put(keys::MacroOwnCall, kOwnCall);
    for (const Macro& m : kMacros) {
        if (settings.GetText(keys::kSettings, m.key, "").empty())
            settings.PutText(keys::kSettings, m.key, m.text);
    }
    FileSystem& fs = ProgramFileSystem();
    for (const Tape& t : kTapes) {
        const std::string path = directory + "/" + t.name;
        FileInfo info;
        std::unique_ptr<File> file;
        if (fs.Stat(path, info) != 0 && fs.Open(path, OpenMode::Replace, file) == 0)
            WriteAll(*file, t.text, std::strlen(t.text));
    }
    return true;
}

std::string Title(const std::string& documentTitle)
{
    return documentTitle + kSuffix;
}

}  // namespace demo
