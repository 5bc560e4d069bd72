#pragma once
// Status panes 5 (data mode) and 6 (baud rate) from the ports in use. The RTTY
// port wins when it is in use; else the TNC port; else nothing. A port in use
// whose link is not open is shown as down: "DOWN" and 0, marked, so the
// status bar never claims a line the program does not have.
#include "app/PortState.h"
#include "views/LinkPortState.h"

#include <string>

struct PortStatusInput {
    bool rttyInUse = false;  // the transmit pane's copy of the RTTY port-in-use flag
    int rttyBaud = 0;
    int rttyByteSize = 5;    // 5 = Baudot, 7 or 8 = ASCII
    bool rttyDown = false;   // in use, but its link is not open
    bool tncInUse = false;   // the TNC pane's port-configured flag
    int tncBaud = 0;
    bool tncDown = false;
};

struct PortStatusText {
    std::string mode;  // "RTTY", "ASCII", "DOWN" or empty
    int baud = 0;
    bool down = false;  // the port shown is down: the panes are marked
};

PortStatusText ComputePortStatus(const PortStatusInput& in);

// The tool tip of panes 5 and 6: one line per port.
std::string PortStatusToolTip(const PortState& rtty, const PortState& tnc);
// True when either port runs on the simulated modem (the window title says so).
bool AnyPortSimulated(const PortState& rtty, const PortState& tnc);
