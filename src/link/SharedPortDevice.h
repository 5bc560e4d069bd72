#pragma once
// A PortDevice that forwards to a device held elsewhere, so a test (or the
// device map) can keep its own handle on the device a SerialLink is using,
// for instance to drive and inspect a SimulatedModem across opens.
#include "link/PortDevice.h"

#include <memory>
#include <utility>

class SharedPortDevice : public PortDevice {
public:
    explicit SharedPortDevice(std::shared_ptr<PortDevice> device) : m_device(std::move(device)) {}

    bool Open(const LineSettings& settings) override { return m_device->Open(settings); }
    int OpenError() const override { return m_device->OpenError(); }
    std::string OpenErrorText() const override { return m_device->OpenErrorText(); }
    void Close() override { m_device->Close(); }
    PortEvents WaitEvents() override { return m_device->WaitEvents(); }
    size_t Read(uint8_t* buffer, size_t max) override { return m_device->Read(buffer, max); }
    size_t Write(const uint8_t* data, size_t len, uint32_t timeoutMs) override
    {
        return m_device->Write(data, len, timeoutMs);
    }
    void SetRts(bool on) override { m_device->SetRts(on); }
    void SetDtr(bool on) override { m_device->SetDtr(on); }
    bool KeyPtt(bool on) override { return m_device->KeyPtt(on); }
    std::string PttFailureText() const override { return m_device->PttFailureText(); }
    void Purge() override { m_device->Purge(); }
    void PurgeOutput() override { m_device->PurgeOutput(); }
    void Wake() override { m_device->Wake(); }
    void Cancel() override { m_device->Cancel(); }
    bool IsDown() const override { return m_device->IsDown(); }
    std::string DownReason() const override { return m_device->DownReason(); }
    LineSettings ActualLine(const LineSettings& asked) const override { return m_device->ActualLine(asked); }
    std::chrono::microseconds OutputLead() const override { return m_device->OutputLead(); }

private:
    std::shared_ptr<PortDevice> m_device;
};
