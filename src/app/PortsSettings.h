#pragma once
// The "Ports" values the Ports dialog edits, read with their defaults when it
// opens and written back together, in a fixed order, when it is confirmed.
// The choice tables (radio buttons, lists) and their stored values live here
// too, so the dialog only translates between these and its controls.
#include <array>
#include <optional>
#include <string>

class SettingsStore;

struct PortsSettings {
    int rttyPort = 1;  // 0: none; -1: the list had no selection
    int tncPort = 2;
    int rttyBaud = 45;
    int rttyType = 5;
    int rttyDuplex = 0;
    int tncBaud = 1200;
    bool rttyExtended = false;
    bool rttyCrlf = true;
    bool rttyLflf = false;
    bool tncCrlf = false;
    bool diddle = true;
    bool diddleBeep = true;
    int rttyPageWidth = 67;
    int tncPageWidth = 67;
    bool disableDeadman = false;

    static PortsSettings Read(const SettingsStore& settings);
    // Writes "RTTYPort", "TNCPort", "RTTYBaud", "RTTYType", "RTTYDuplex",
    // "TNCBaud", "RTTYExtended", "RTTYCRLF", "RTTYLFLF", "TNCCRLF", "Diddle",
    // "DiddleBeep", "RTTYPageWidth", "TNCPageWidth", "DisableDeadman", in that
    // order. A TNC speed of 0 or less is never written: the default goes instead.
    void Write(SettingsStore& settings) const;
};

namespace portschoice {

// Port lists: " NONE" then "COM1".."COM8"; an entry's index is its number.
inline constexpr int kListedPorts = 8;
inline constexpr const char* kNoneEntry = " NONE";
// The list index a stored port number selects: 0 for 0 or less, the number
// for 1..8, -1 (no selection) above.
int PortListIndex(int stored);

// "Baud Rate": "45", "50", "57", "75", "100", "110"; the "75" button stores 74.
inline constexpr std::array<int, 6> kBaudValues{45, 50, 57, 74, 100, 110};
inline constexpr std::array<const char*, 6> kBaudLabels{"&45", "50", "57", "75", "100", "110"};
// 50, 57, 74 or 75, 100, 110 select buttons 1..5; anything else "45".
int BaudButton(int stored);

// "Data Type": 5, 7, 8; any other stored value selects no button (-1).
inline constexpr std::array<int, 3> kTypeValues{5, 7, 8};
int TypeButton(int stored);

// "Protocol": 0 Manual, 1 Delay, 2 Auto (-1: none).
int DuplexButton(int stored);

// TNC speeds, as listed; a stored speed outside them selects nothing (-1).
inline constexpr std::array<int, 5> kTncSpeeds{1200, 2400, 4800, 9600, 19200};
int TncSpeedIndex(int stored);

// Page widths.
inline constexpr int kMinPageWidth = 35;
inline constexpr int kMaxPageWidth = 180;

}  // namespace portschoice
