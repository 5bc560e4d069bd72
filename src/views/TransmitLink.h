#pragma once
// What the transmit side uses of the RTTY serial link. The live program binds
// it to the receive view's SerialLink (SerialLinkTransmit); tests give a fake.
// Every call comes from the user-interface thread. The link keeps its own
// thread rules: the queue lengths are read under its lock, the hold, active
// and keyed flags are atomics shared with its transmit thread.
#include "app/PortState.h"

#include <cstddef>
#include <cstdint>
#include <string>

class SettingsStore;

class TransmitLink {
public:
    virtual ~TransmitLink() = default;

    // Encodes (5-bit data) and queues the text; the text is replaced by what
    // was queued. Nothing happens while the port is closed.
    virtual void SendText(std::string& text) = 0;
    // A short C string sent as one text (the line end in Character mode).
    virtual void SendChar(const char* text) = 0;
    // One byte ahead of everything waiting (the shift code that opens a transmission).
    virtual void PushFront(uint8_t byte) = 0;
    // Empties queue and out-buffer, clears hold and active, unkeys.
    virtual void ClearTransmit() = 0;
    // Keying may hold the caller for the PTT margins (100 ms each side).
    virtual void KeyTransmitter() = 0;
    // The operator's Receive: hold set, active cleared, off the air. A line
    // still sending is cut (the device's output purged); what is queued
    // stays for the next Transmit.
    virtual void StopSending() = 0;
    // Why the transmitter could not be keyed, told once (empty: nothing
    // failed since the last call). The link dropped that transmission
    // rather than send it unkeyed.
    virtual std::string TakeKeyFailure() = 0;
    virtual void InjectTestMessage(bool testMode) = 0;

    // Codec operations on the link's own shift state.
    virtual uint8_t CurrentShiftCode() const = 0;
    virtual void EchoThroughCodec(std::string& text, int stream) = 0;
    // Data bits on the line: 5 for Baudot, 7 or 8 for ASCII.
    virtual int DataBits() const = 0;

    virtual size_t TxQueueLength() const = 0;
    virtual size_t TxOutLength() const = 0;

    virtual bool TxActive() const = 0;
    virtual void SetTxActive(bool on) = 0;
    virtual bool TxHold() const = 0;
    virtual void SetTxHold(bool on) = 0;
    virtual bool Keyed() const = 0;
    virtual bool Diddle() const = 0;

    // The link's one rule for the end of a transmission: nothing queued or in
    // the out-buffer, no write in progress, the latest write drained and its
    // line time past. What unkeys because the text is finished waits for it.
    virtual bool LineQuiet() const = 0;
    // Milliseconds the last character written still needs on the line by the
    // link's own reckoning, without the device's drained report (0: gone).
    virtual uint32_t LineTimeLeftMs() const = 0;
    // Idle fill is on the air: active, keyed, nothing waiting, and the latest
    // write was fill rather than the end of the text.
    virtual bool IdleFillOnAir() const = 0;
    // The port's device went away while open (unplugged): nothing goes out
    // until the port is opened again.
    virtual bool Down() const { return false; }
    // The RTTY port (its number configured as "Ports" "RTTYPort") as the
    // operator is told it: whether it is open, and the system's reason when
    // it is down.
    virtual PortState State(const SettingsStore& settings) const = 0;
};
