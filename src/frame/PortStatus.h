#pragma once
// Status panes 5 (data mode) and 6 (baud rate) from the ports in use. The RTTY
// port wins when it is in use; else the TNC port; else nothing.
#include <string>

struct PortStatusInput {
    bool rttyInUse = false;  // the transmit pane's copy of the RTTY port-in-use flag
    int rttyBaud = 0;
    int rttyByteSize = 5;    // 5 = Baudot, 7 or 8 = ASCII
    bool tncInUse = false;   // the TNC pane's port-configured flag
    int tncBaud = 0;
};

struct PortStatusText {
    std::string mode;  // "RTTY", "ASCII" or empty
    int baud = 0;
};

PortStatusText ComputePortStatus(const PortStatusInput& in);
