#pragma once
// The line that keys a transmitter for a port whose own RTS does not: RTS or
// DTR of a separate serial device (the usual USB interface beside a sound
// card), none (the radio's VOX), a rig's own PTT or a CM108 GPIO. The link's keying
// rules decide when; this only carries them out.
//
// Contract: after a successful Open the line is released (unkeyed) and stays
// so until Set(true). Close releases it first. A line whose device goes away
// reports IsDown and ignores Set.
//
// Threads: Open and Close on the owner's thread; Set, SetConfirmed and
// IsDown from any thread (implementations lock what they share).
#include <string>

class PttLine {
public:
    virtual ~PttLine() = default;
    // False, with `error` for the operator, when the line can't be opened.
    virtual bool Open(std::string& error) = 0;
    virtual void Close() = 0;
    virtual void Set(bool keyed) = 0;
    // Set that returns once whatever keys the line has confirmed the change:
    // false when it failed or was not confirmed within the line's own limit,
    // with the reason in FailureText(). A line that needs no confirmation
    // (a serial control line, a GPIO) is confirmed as soon as it is set.
    // Any thread.
    virtual bool SetConfirmed(bool keyed)
    {
        Set(keyed);
        return true;
    }
    virtual std::string FailureText() const { return {}; }
    virtual bool IsKeyed() const = 0;
    virtual bool IsDown() const = 0;
};
