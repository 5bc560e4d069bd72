#pragma once
// What the operator is told about one port: none configured, open on a
// device, running on the simulated modem, or down (configured but not open)
// with the device and the system's reason. The status bar's tool tip and the
// Ports dialog show the same words. Plain data, any thread.
#include <string>

struct PortState {
    std::string name;       // "RTTY" or "TNC"
    int port = 0;           // the configured COM number; 0 or less: none
    std::string device;     // the device value the number maps to
    bool open = false;      // the link is open
    bool vanished = false;  // it was open and the device went away
    int error = 0;          // errno of the failed open (0: none known)
    // The device's own words for the failed open, or for why it went away
    // ("No sound server"); when set, shown instead of the errno's text.
    std::string reason;
};

enum class PortCondition { None, Open, Simulated, Down };

PortCondition ConditionOf(const PortState& state);

// The system's reason for `error` with plain words after it; EACCES and EPERM
// add how to get the permission on Linux.
std::string PortFailureReason(int error);

// One sentence for the tool tip and the dialog, e.g.
// "RTTY port COM1 is down: /dev/ttyS0: No such file or directory (the device is missing)."
std::string DescribePortState(const PortState& state);
