#pragma once
// How the receive pane configures the RTTY link from the settings and puts it
// back in receive. Plain functions on the link, run on the user-interface
// thread (the link's own locks and atomics guard what its threads share).
#include <cstdint>

class SerialLink;
class SettingsStore;

// The "Ports" values the RTTY link is configured from, read once per apply.
struct RttyPortConfig {
    int port = 1;      // 0 or less: no RTTY port; above 16 taken as 1
    int baud = 45;     // 0 or less is taken as the default 45 (the link divides by it)
    int dataBits = 5;  // outside 5..8 is taken as the default 5
    int duplex = 0;    // 0 Manual, 1 Delay, 2 Auto
    bool extended = false;
    bool diddle = true;

    static RttyPortConfig Read(const SettingsStore& settings);
};

class RttyLinkControl {
public:
    // Closes the link when no port is configured. Otherwise reopens it when
    // the port, baud or data bits changed (or parity/stop bits are not 0),
    // resetting both shift states; an open link with the same line is left
    // open. Then sets the extended set and idle fill, and under the Manual
    // protocol puts the link in receive (other protocols clear the hold).
    // Returns whether an RTTY port is configured.
    static bool Apply(SerialLink& link, const RttyPortConfig& config);

    // Receive: hold the transmit side and take the transmitter off the air
    // (SerialLink::StopSending: a line still sending is cut at once, a quiet
    // one falls after the usual tail); queued text waits for the next Transmit.
    static void PutInReceive(SerialLink& link);
};
