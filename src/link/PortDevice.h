#pragma once
// The port device a SerialLink talks to: a real serial device (PosixSerialPort)
// or the in-process simulated modem (SimulatedModem). The link never touches
// the operating system directly, so tests can stand in for the modem.
//
// Threads: Open and Close run on the owner's thread while no link thread is
// running. While open, WaitEvents and Read are called by the link's receive
// thread only, Write by its transmit thread only; SetRts/SetDtr, Purge, Wake,
// Cancel and IsDown may be called from any thread.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

// Line settings of one open. Codes as the link keeps them: parity 0 none,
// 1 odd, 2 even, 3 mark, 4 space; stop bits 0 one, 1 one and a half, 2 two.
struct LineSettings {
    uint32_t baud = 9600;
    // The exact rate in hundredths of a baud when it is not a whole number
    // (4545 for the 45.45 baud that "45" means on the air); 0: `baud` itself.
    uint32_t baudHundredths = 0;
    uint8_t dataBits = 8;
    uint8_t parity = 0;
    uint8_t stopBits = 0;
    // RTS keys a transmitter: a real port drops RTS and DTR (which the system
    // raises when a tty opens) as the first step of Open and sets HUPCL, so
    // the kernel drops both whenever the device closes, a crashed or killed
    // process included. The link lowers both again after every open,
    // whatever the device did.
    bool pttKeying = false;
};

// Time one character occupies on the line: start bit, data bits, parity bit
// when there is one, stop bits. Used to decide when output has really left.
// At the exact rate when there is one.
inline std::chrono::microseconds LineCharTime(const LineSettings& s)
{
    // The rate in hundredths of a baud.
    const uint64_t rate = s.baudHundredths ? s.baudHundredths : 100ull * (s.baud ? s.baud : 1);
    // Half bits: start 2, data 2 each, parity 2, stop 2 / 3 / 4.
    uint64_t halfBits = 2 + 2ull * s.dataBits + (s.parity ? 2 : 0);
    halfBits += s.stopBits == 1 ? 3 : (s.stopBits == 2 ? 4 : 2);
    return std::chrono::microseconds((halfBits * 100000000ull + 2ull * rate - 1) / (2ull * rate));
}

// What WaitEvents saw; several may come together.
struct PortEvents {
    static constexpr uint32_t kRxReady = 1;     // input is waiting: Read it
    static constexpr uint32_t kDrained = 2;     // all output written so far has left the line
    static constexpr uint32_t kWoken = 4;       // Wake() was called
    static constexpr uint32_t kCancelled = 8;   // Cancel() was called: stop waiting for good
    static constexpr uint32_t kDown = 16;       // the device has gone away
    uint32_t flags = 0;
    // With kDrained: how many Write calls since Open the drain covers. A
    // drain that covers fewer writes than the link has started is stale.
    uint64_t drainedWrites = 0;
};

class PortDevice {
public:
    virtual ~PortDevice() = default;

    // Opens the device with the given line settings (raw mode, zero bytes
    // dropped on receive, no flow control, both queues purged). False when the
    // device can't be opened; the device is then closed.
    virtual bool Open(const LineSettings& settings) = 0;
    // Why the last Open failed, as an errno value (ENOENT missing, EBUSY held
    // by another program, EACCES no permission, ENOTTY not a serial device);
    // 0 after a successful Open or when the device can't tell.
    virtual int OpenError() const { return 0; }
    // The same in words, for devices whose reasons are not only a system
    // error ("No sound server", a capture device that is not there); empty
    // when OpenError says it all.
    virtual std::string OpenErrorText() const { return {}; }
    // Releases the device. Safe to call more than once.
    virtual void Close() = 0;

    // Blocks until input is waiting, output written earlier has drained (at
    // most once per drain: only the device's report AND the line time of the
    // bytes together count), Wake or Cancel is called, or the device goes down.
    virtual PortEvents WaitEvents() = 0;
    // Reads up to `max` waiting bytes without blocking; zero bytes received
    // are dropped. Returns the count stored.
    virtual size_t Read(uint8_t* buffer, size_t max) = 0;
    // Writes `len` bytes, waiting at most `timeoutMs` for room. Bytes that
    // don't fit in time are dropped (there is no retry). Every call counts as
    // one write for PortEvents::drainedWrites, even when nothing was taken.
    virtual size_t Write(const uint8_t* data, size_t len, uint32_t timeoutMs) = 0;

    // Modem-control lines; devices without them ignore the calls silently.
    virtual void SetRts(bool on) = 0;
    virtual void SetDtr(bool on) = 0;
    // Keys (or releases) the transmitter and returns once whatever keys it
    // has confirmed the change, or has not within its own time limit: false
    // then, with the reason in PttFailureText(). A device whose PTT needs no
    // confirmation does SetRts(on) and returns true. The link counts its
    // keying delay from the return. Transmit thread or owner's thread.
    virtual bool KeyPtt(bool on)
    {
        SetRts(on);
        return true;
    }
    virtual std::string PttFailureText() const { return {}; }
    // Discards everything in both directions.
    virtual void Purge() = 0;
    // Discards only what has been written and not yet sent (received input
    // stays), so a transmission cut off leaves the air at once: the serial
    // driver's output queue, a sound card's queued samples. Every write so
    // far then counts as drained. Any thread.
    virtual void PurgeOutput() = 0;

    // Makes the current (or next) WaitEvents return once with kWoken.
    virtual void Wake() = 0;
    // From now until Close, WaitEvents returns kCancelled at once and a
    // blocked Write returns what it has written so far.
    virtual void Cancel() = 0;
    // The device vanished (unplugged, hung up): every later call does nothing.
    virtual bool IsDown() const = 0;
    // Once down: why, in words, when the device can tell (empty otherwise).
    virtual std::string DownReason() const { return {}; }

    // The line the device really runs when asked for `asked` (FSK keying
    // turns "45" into 45.45 baud with one and a half stop bits); the link
    // reckons its line times from it. Any thread.
    virtual LineSettings ActualLine(const LineSettings& asked) const { return asked; }
    // How long a written byte's signal takes to leave the device once Write
    // has taken it (a sound card's playback buffer; zero for a serial port).
    // The link starts the first text that much sooner after keying, so the
    // first character still goes on the air a whole keying delay after PTT.
    // Any thread while the device is open.
    virtual std::chrono::microseconds OutputLead() const { return {}; }
};
