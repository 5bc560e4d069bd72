#pragma once
// True FSK keying: the RTTY port on a plain serial adapter drives the radio's
// FSK input with its TXD line, with no terminal unit and no sound card. The
// UART itself makes the teleprinter signal, so the line is opened at the
// exact teleprinter rate ("45" is 45.45 baud, "57" 56.88, "74" 74.2; other
// rates as asked) with five data bits and one and a half stop bits, and the
// transmitter is keyed on RTS or on DTR, whichever the interface wires to
// PTT; the other line stays low for the whole session. Every keying rule of
// the link holds as on any port: the link reckons its line times from
// ActualLine, so PTT waits for the last stop bit at the real rate.
//
// Wraps the port device that reaches the adapter (a PosixSerialPort, or the
// simulated modem in tests). While the link does not key a transmitter
// (ASCII data), both lines stay low: no PTT at all rather than PTT held on.
// Threads as PortDevice.
#include "link/PortDevice.h"

#include <atomic>
#include <memory>

class FskKeyedPort : public PortDevice {
public:
    enum class PttOn { Rts, Dtr };

    FskKeyedPort(std::unique_ptr<PortDevice> adapter, PttOn ptt);

    // The line FSK keying runs for what the link asks: the exact rate, and
    // one and a half stop bits with five data bits. RTS and DTR are dropped
    // as the port opens and left alone when it closes.
    static LineSettings FskLine(const LineSettings& asked);

    bool Open(const LineSettings& settings) override;
    int OpenError() const override { return m_adapter->OpenError(); }
    void Close() override { m_adapter->Close(); }
    PortEvents WaitEvents() override { return m_adapter->WaitEvents(); }
    size_t Read(uint8_t* buffer, size_t max) override { return m_adapter->Read(buffer, max); }
    size_t Write(const uint8_t* data, size_t len, uint32_t timeoutMs) override
    {
        return m_adapter->Write(data, len, timeoutMs);
    }
    // The link keys through "RTS": that goes to the PTT line chosen.
    void SetRts(bool on) override;
    // The link's own DTR changes are not passed on: DTR is either the PTT
    // line or a line that stays low.
    void SetDtr(bool) override {}
    // As SetRts, through the adapter's own KeyPtt when PTT is its RTS.
    bool KeyPtt(bool on) override;
    std::string PttFailureText() const override { return m_adapter->PttFailureText(); }
    void Purge() override { m_adapter->Purge(); }
    void PurgeOutput() override { m_adapter->PurgeOutput(); }
    void Wake() override { m_adapter->Wake(); }
    void Cancel() override { m_adapter->Cancel(); }
    bool IsDown() const override { return m_adapter->IsDown(); }
    LineSettings ActualLine(const LineSettings& asked) const override { return FskLine(asked); }

private:
    std::unique_ptr<PortDevice> m_adapter;
    const PttOn m_ptt;
    // Set in Open (owner's thread, no link thread running); read by SetRts.
    std::atomic<bool> m_bKeying{false};
};
