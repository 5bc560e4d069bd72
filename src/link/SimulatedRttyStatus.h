#pragma once
// What the simulated RTTY side is doing, for the simulated TNC's status
// command: the two are separate devices (COM1 and COM2) but one "modem", as
// the controller of a real multi-mode modem reports on its radio side.
// Process-wide; the band modem publishes, the TNC reads.
//
// Thread-safe: guarded by an internal mutex (SimulatedRttyStatus::Board's).
#include <string>

struct SimulatedRttyStatus {
    bool open = false;
    unsigned baud = 0;
    int dataBits = 0;
    bool keyed = false;
    unsigned long charsHeard = 0;      // characters received from the band
    unsigned long charsSent = 0;       // characters the operator transmitted
    unsigned long transmissions = 0;   // times the transmitter was keyed since the port opened
    std::string cqCall;                // the station calling CQ

    static void Publish(const SimulatedRttyStatus& status);
    static SimulatedRttyStatus Current();
    // One line for the TNC: "RTTY: closed" or "RTTY: 45 baud Baudot, receiving, ...".
    std::string Line() const;
};
