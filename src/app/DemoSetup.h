#pragma once
// "veltran --demo": the program on the simulated band and TNC, without a
// radio, and without touching the operator's own settings or files.
//
// The demo keeps its own settings file beside the user's
// ($XDG_CONFIG_HOME/Quorvane/VELTRAN-demo.conf) and works in its own
// directory ($XDG_DATA_HOME/Quorvane/VELTRAN/demo, by default under
// ~/.local/share), where its tapes and REPORT.TXT live. Changes made in the
// demo (macros, Options, pane heights) persist there for the next demo run.
#include <string>
#include <vector>

class SettingsStore;

namespace demo {

// A call sign that no station holds, for the operator of the demo.
inline constexpr const char* kOwnCall = "N0CALL";
// Device values of the two demo ports.
inline constexpr const char* kRttyDevice = "sim:band";
inline constexpr const char* kTncDevice = "sim:tnc";

// Removes "--demo" from `args`; true when it was there.
bool TakeDemoSwitch(std::vector<std::string>& args);

std::string SettingsFilePath();
std::string DirectoryPath();

// Makes the demo directory and writes what is missing: the ports on the
// simulated band and TNC (a port not already on a "sim:" value is put back
// on it: the demo never opens a device), the own call and the example
// macros when unset, and the example tapes when absent. False when the
// directory can't be made.
bool Prepare(SettingsStore& settings, const std::string& directory);

// The window title of the demo: the document's title, marked.
std::string Title(const std::string& documentTitle);

}  // namespace demo
