#pragma once
// A radio under computer control: what the program reads from it (the dial
// frequency and the mode, about once a second) and the one thing it asks of
// it (PTT). The rest of the program sees only this; HamlibRig is the real
// one, through Hamlib.
//
// Threads: every member may be called from any thread. All but
// SetPttConfirmed return at once; an implementation talks to the radio on
// its own thread, so a radio that stops answering never holds up the caller
// longer than SetPttConfirmed's own bounded wait.
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
    // Asks for PTT on or off and waits until the radio has carried it out:
    // true then. False, with the reason in `failure`, when the radio refused
    // it, is known to be down, or did not answer within the rig's own limit.
    // A request for on that fails is withdrawn (the radio ends released); a
    // release that fails is carried out when the radio answers again. The
    // request goes ahead of anything else the rig has still to do, after at
    // most the one command already in progress. A rig that cannot tell
    // (a stand-in) takes the request as SetPtt and answers true.
    virtual bool SetPttConfirmed(bool on, std::string& failure)
    {
        (void)failure;
        SetPtt(on);
        return true;
    }
    virtual bool IsDown() const { return Reading().down; }
};
