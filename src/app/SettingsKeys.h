#pragma once
// Every section, key and default of the settings store, defined once.
// Readers use these constants (settings.Get(keys::RTTYPort)); nobody spells a
// key or a default anywhere else.
#include <string>

struct IntKey {
    const char* section;
    const char* key;
    int def;
};

struct TextKey {
    const char* section;
    const char* key;
    const char* def;
};

namespace keys {

inline constexpr const char* kPorts = "Ports";
inline constexpr const char* kLayout = "Layout";
inline constexpr const char* kOptions = "Options";
inline constexpr const char* kSettings = "Settings";
inline constexpr const char* kRecentFiles = "Recent File List";
inline constexpr const char* kDevices = "Devices";
inline constexpr const char* kRig = "Rig";

// "Ports": port and line settings (written together by the Ports dialog).
inline constexpr IntKey RTTYPort{kPorts, "RTTYPort", 1};
inline constexpr IntKey RTTYBaud{kPorts, "RTTYBaud", 45};
inline constexpr IntKey RTTYType{kPorts, "RTTYType", 5};
inline constexpr IntKey RTTYDuplex{kPorts, "RTTYDuplex", 0};   // 0 Manual, 1 Delay, 2 Auto
inline constexpr IntKey RTTYExtended{kPorts, "RTTYExtended", 0};
inline constexpr IntKey RTTYCRLF{kPorts, "RTTYCRLF", 1};
inline constexpr IntKey RTTYLFLF{kPorts, "RTTYLFLF", 0};
inline constexpr IntKey RTTYPageWidth{kPorts, "RTTYPageWidth", 67};
inline constexpr IntKey TNCPort{kPorts, "TNCPort", 2};
inline constexpr IntKey TNCBaud{kPorts, "TNCBaud", 1200};
inline constexpr IntKey TNCCRLF{kPorts, "TNCCRLF", 0};
inline constexpr IntKey TNCPageWidth{kPorts, "TNCPageWidth", 67};
inline constexpr IntKey Diddle{kPorts, "Diddle", 1};
inline constexpr IntKey DiddleBeep{kPorts, "DiddleBeep", 1};
inline constexpr IntKey DisableDeadman{kPorts, "DisableDeadman", 0};
inline constexpr IntKey CharMode{kPorts, "CharMode", 0};
inline constexpr IntKey WordMode{kPorts, "WordMode", 1};
// Sound-card modem: unshift on space, receive and transmit (0 keeps the shift).
inline constexpr IntKey RTTYUnshiftOnSpace{kPorts, "RTTYUnshiftOnSpace", 0};

// "Layout": fonts and window layout. The colour defaults are "the system's
// window-text colour": readers pass that colour instead of `def` (kSystemColor).
inline constexpr int kSystemColor = -1;
inline constexpr int kLetSystemPlace = static_cast<int>(0x80000000u);
inline constexpr TextKey RTTYFaceName{kLayout, "RTTYFaceName", ""};
inline constexpr TextKey RTTYStyleName{kLayout, "RTTYStyleName", ""};
inline constexpr IntKey RTTYSize{kLayout, "RTTYSize", 0};
inline constexpr IntKey RTTYColor{kLayout, "RTTYColor", kSystemColor};
inline constexpr TextKey DNCFaceName{kLayout, "DNCFaceName", ""};
inline constexpr TextKey DNCStyleName{kLayout, "DNCStyleName", ""};
inline constexpr IntKey DNCSize{kLayout, "DNCSize", 0};
inline constexpr IntKey DNCColor{kLayout, "DNCColor", kSystemColor};
inline constexpr IntKey Toolbar2{kLayout, "Toolbar2", 0};
inline constexpr IntKey ToolbarStyle{kLayout, "Toolbar Style", 0x50002800};
inline constexpr IntKey ToolbarStyle2{kLayout, "Toolbar Style 2", 0x50002800};
inline constexpr IntKey Split{kLayout, "Split", 200};
inline constexpr IntKey Split2{kLayout, "Split2", 300};
inline constexpr IntKey Top{kLayout, "Top", kLetSystemPlace};
inline constexpr IntKey Bottom{kLayout, "Bottom", kLetSystemPlace};
inline constexpr IntKey Left{kLayout, "Left", kLetSystemPlace};
inline constexpr IntKey Right{kLayout, "Right", kLetSystemPlace};
// The tuning display (waterfall) is wanted; it shows only while the RTTY port is a sound card.
inline constexpr IntKey TuningDisplay{kLayout, "TuningDisplay", 1};

// "Options": program options (written together by the Options dialog).
inline constexpr IntKey Splash{kOptions, "Splash", 1};
inline constexpr IntKey InitLogo{kOptions, "InitLogo", 1};
inline constexpr IntKey XRMerge{kOptions, "XRMerge", 1};
inline constexpr IntKey Prompt{kOptions, "Prompt", 3};
inline constexpr IntKey EchoImport{kOptions, "EchoImport", 0};
inline constexpr IntKey AutoCaps{kOptions, "AutoCaps", 0};
inline constexpr IntKey UseADIF{kOptions, "UseADIF", 1};
inline constexpr TextKey Editor{kOptions, "Editor", "notepad.exe"};
// Each report also goes to a logging program over UDP (LoggerUdp.h): on/off,
// and where the logger listens (a numeric IPv4 or IPv6 address, a port).
inline constexpr IntKey LoggerUdp{kOptions, "LoggerUDP", 0};
inline constexpr TextKey LoggerAddress{kOptions, "LoggerAddress", "127.0.0.1"};
inline constexpr IntKey LoggerPort{kOptions, "LoggerPort", 2237};

// "Settings": time zone choice, print preview, and the macro set.
inline constexpr IntKey UseLocal{kSettings, "UseLocal", 0};
inline constexpr IntKey PreviewPages{kSettings, "PreviewPages", 0};

// Macro keys: every value is a text in "Settings"; empty by default except
// "I" (starting serial number, "0") and "B" (band, "10"). The macro-list
// printer reads "B" with an empty default (MacroBandForPrint).
inline constexpr const char* kMacroKeys[] = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "A", "B", "C", "E", "F", "G", "H", "I", "K", "L", "U", "Y", "Z",
    "F2", "F4", "F5", "F6", "F7", "F8", "F9"};
inline constexpr TextKey MacroSerial{kSettings, "I", "0"};
inline constexpr TextKey MacroBand{kSettings, "B", "10"};
inline constexpr TextKey MacroBandForPrint{kSettings, "B", ""};
inline constexpr TextKey MacroOwnCall{kSettings, "C", ""};
inline constexpr TextKey MacroOtherCall{kSettings, "K", ""};
inline constexpr TextKey MacroReport{kSettings, "H", ""};
inline constexpr TextKey MacroRepeatReport{kSettings, "L", ""};
// Any other macro key: empty default.
inline TextKey Macro(const char* key) { return TextKey{kSettings, key, ""}; }

// "Recent File List": "File1".."File4", kept by the document commands.
inline constexpr int kRecentFileCount = 4;
inline std::string RecentFileKey(int n) { return "File" + std::to_string(n); }

// "Devices": "COM1".."COM16" hold the device path for each port number;
// the default is /dev/ttyS<N-1>. A value beginning with "sim:" selects the
// built-in simulated modem.
inline constexpr int kMaxPort = 16;
inline std::string DeviceKey(int port) { return "COM" + std::to_string(port); }
inline std::string DefaultDevice(int port) { return "/dev/ttyS" + std::to_string(port - 1); }

// "Rig": the radio under control through Hamlib (written by the device
// chooser's rig fields). "Model" is Hamlib's model number, 0 for no rig, 2
// for a running rigctld; "Port" the rig's serial device, or host:port for
// rigctld; "Baud" the rig's serial speed (0: the model's default). "PTT" keys
// the transmitter of a hardware terminal on the RTTY port: "rts" (the port's
// RTS, the default), "dtr", "cat" (the rig's PTT command), "cm108" (a GPIO of
// the CM108 adapter at "PTTDevice", /dev/hidrawN) or "none" (the radio's
// VOX). A sound-card port carries its own choice in its device value.
inline constexpr IntKey RigModel{kRig, "Model", 0};
inline constexpr TextKey RigPort{kRig, "Port", ""};
inline constexpr IntKey RigBaud{kRig, "Baud", 0};
inline constexpr TextKey RigPtt{kRig, "PTT", "rts"};
inline constexpr TextKey RigPttDevice{kRig, "PTTDevice", ""};

}  // namespace keys
