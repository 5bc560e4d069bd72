#pragma once
// The transmit side's view of a SerialLink. Flag changes are followed by the
// link's Wake() so its transmit thread looks at them at once instead of at
// its next unrelated event. User-interface thread only (the link's own
// methods keep their thread rules).
#include "views/TransmitLink.h"

class SerialLink;

class SerialLinkTransmit : public TransmitLink {
public:
    explicit SerialLinkTransmit(SerialLink& link) : m_link(link) {}

    void SendText(std::string& text) override;
    void SendChar(const char* text) override;
    void PushFront(uint8_t byte) override;
    void ClearTransmit() override;
    void KeyTransmitter() override;
    void StopSending() override;
    std::string TakeKeyFailure() override;
    void InjectTestMessage(bool testMode) override;
    uint8_t CurrentShiftCode() const override;
    void EchoThroughCodec(std::string& text, int stream) override;
    int DataBits() const override;
    size_t TxQueueLength() const override;
    size_t TxOutLength() const override;
    bool TxActive() const override;
    void SetTxActive(bool on) override;
    bool TxHold() const override;
    void SetTxHold(bool on) override;
    bool Keyed() const override;
    bool Diddle() const override;
    bool LineQuiet() const override;
    uint32_t LineTimeLeftMs() const override;
    bool IdleFillOnAir() const override;
    bool Down() const override;
    PortState State(const SettingsStore& settings) const override;

private:
    SerialLink& m_link;
};
