#pragma once
// A port device whose transmitter is keyed by another line than its RTS: the
// port's DTR, a rig's CAT PTT, a CM108 GPIO, or nothing at all (the radio's
// VOX). The link keys through SetRts as always, with every one of its keying
// rules; this routes that call to the chosen PttLine and keeps the port's
// own RTS low. A link that doesn't key (ASCII on the RTTY port) drives the
// port's lines directly, as without this, and the PTT line stays released.
//
// The PTT line is opened with the port and released and closed with it. A
// PTT line that is down (a rig not answering) doesn't take the port down:
// the rig's own status says so.
//
// Threads: as PortDevice; the line's Set and SetConfirmed are safe from any
// thread.
#include "link/PortDevice.h"
#include "link/PttLine.h"

#include <atomic>
#include <memory>
#include <string>

class PttRoutedPort : public PortDevice {
public:
    // `line` null: nothing keys (VOX).
    PttRoutedPort(std::unique_ptr<PortDevice> port, std::unique_ptr<PttLine> line);
    ~PttRoutedPort() override;

    // Fails with ENXIO, and the PTT line's reason, when the line can't be
    // opened (no rig set up, no CM108 adapter).
    bool Open(const LineSettings& settings) override;
    int OpenError() const override { return m_openError ? m_openError : m_port->OpenError(); }
    std::string OpenErrorText() const override { return m_openError ? m_openErrorText : m_port->OpenErrorText(); }
    void Close() override;
    PortEvents WaitEvents() override { return m_port->WaitEvents(); }
    size_t Read(uint8_t* buffer, size_t max) override { return m_port->Read(buffer, max); }
    size_t Write(const uint8_t* data, size_t len, uint32_t timeoutMs) override
    {
        return m_port->Write(data, len, timeoutMs);
    }
    void SetRts(bool on) override;
    // Keys through the PTT line and waits for its confirmation (a rig's CAT
    // PTT); without routing, the port's own KeyPtt.
    bool KeyPtt(bool on) override;
    std::string PttFailureText() const override;
    void SetDtr(bool on) override { m_port->SetDtr(on); }
    void Purge() override { m_port->Purge(); }
    void PurgeOutput() override { m_port->PurgeOutput(); }
    void Wake() override { m_port->Wake(); }
    void Cancel() override { m_port->Cancel(); }
    bool IsDown() const override { return m_port->IsDown(); }
    std::string DownReason() const override { return m_port->DownReason(); }
    LineSettings ActualLine(const LineSettings& asked) const override { return m_port->ActualLine(asked); }
    std::chrono::microseconds OutputLead() const override { return m_port->OutputLead(); }

    PttLine* Line() const { return m_line.get(); }

private:
    std::unique_ptr<PortDevice> m_port;
    std::unique_ptr<PttLine> m_line;
    int m_openError = 0;          // owner's thread (Open)
    std::string m_openErrorText;  // owner's thread (Open)
    // Set in Open while no link thread runs; read by SetRts on any thread.
    std::atomic<bool> m_routing{false};
    bool m_lineOpen = false;   // owner's thread (Open/Close)
};
