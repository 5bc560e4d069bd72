#pragma once
// A radio under computer control: what the program reads from it (the dial
// frequency and the mode, about once a second) and the one thing it asks of
// it (PTT). The rest of the program sees only this; HamlibRig is the real
// one, through Hamlib.
//
// Threads: every member may be called from any thread and returns at once;
// an implementation talks to the radio on its own thread, so a radio that
// stops answering never holds up the caller.
#include <cstdint>
#include <string>

// The latest the rig has told us.
struct RigReading {
    bool down = false;          // not answering (or not reachable): nothing below is current
    std::string reason;         // why it is down, for the operator
    uint64_t frequencyHz = 0;   // the dial frequency; 0 until the first answer
    std::string mode;           // "USB", "LSB", "RTTY", "PKTUSB"...; empty until known
    bool pttOn = false;         // PTT as last set on the rig (false until set)
};

class Rig {
public:
    virtual ~Rig() = default;

    virtual RigReading Reading() const = 0;
    // Asks for PTT on or off. Never waits for the radio: the rig's thread
    // carries out the latest request before anything else it has to do.
    virtual void SetPtt(bool on) = 0;
    virtual bool IsDown() const { return Reading().down; }
};
