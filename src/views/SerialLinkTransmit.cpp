#include "views/SerialLinkTransmit.h"

#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "link/SerialLink.h"
#include "views/LinkPortState.h"

#include <algorithm>
#include <cstdint>

void SerialLinkTransmit::SendText(std::string& text) { m_link.SendText(text); }
void SerialLinkTransmit::SendChar(const char* text) { m_link.SendChar(text); }
void SerialLinkTransmit::PushFront(uint8_t byte) { m_link.PushFront(byte); }
void SerialLinkTransmit::ClearTransmit() { m_link.ClearTransmit(); }
void SerialLinkTransmit::KeyTransmitter() { m_link.KeyTransmitter(); }
void SerialLinkTransmit::StopSending() { m_link.StopSending(); }
std::string SerialLinkTransmit::TakeKeyFailure() { return m_link.TakeKeyFailure(); }
void SerialLinkTransmit::InjectTestMessage(bool testMode) { m_link.InjectTestMessage(testMode); }
uint8_t SerialLinkTransmit::CurrentShiftCode() const { return m_link.CurrentShiftCode(); }

void SerialLinkTransmit::EchoThroughCodec(std::string& text, int stream)
{
    m_link.EchoThroughCodec(text, stream);
}

int SerialLinkTransmit::DataBits() const { return m_link.m_nByteSize; }

size_t SerialLinkTransmit::TxQueueLength() const { return m_link.TxQueueLength(); }
size_t SerialLinkTransmit::TxOutLength() const { return m_link.TxOutLength(); }
bool SerialLinkTransmit::TxActive() const { return m_link.m_bTxActive.load() != 0; }

void SerialLinkTransmit::SetTxActive(bool on)
{
    m_link.m_bTxActive = on ? 1 : 0;
    m_link.Wake();
}

bool SerialLinkTransmit::TxHold() const { return m_link.m_bTxHold.load() != 0; }

void SerialLinkTransmit::SetTxHold(bool on)
{
    m_link.m_bTxHold = on ? 1 : 0;
    m_link.Wake();
}

bool SerialLinkTransmit::Keyed() const { return m_link.m_bKeyed.load() != 0; }
bool SerialLinkTransmit::Diddle() const { return m_link.m_bDiddle.load() != 0; }
bool SerialLinkTransmit::LineQuiet() const { return m_link.IsLineQuiet(); }
uint32_t SerialLinkTransmit::LineTimeLeftMs() const
{
    return static_cast<uint32_t>(std::min<int64_t>(m_link.LineTimeLeft().count(), UINT32_MAX));
}

bool SerialLinkTransmit::IdleFillOnAir() const { return m_link.IsIdleFillOnAir(); }
bool SerialLinkTransmit::Down() const { return m_link.IsDown(); }

PortState SerialLinkTransmit::State(const SettingsStore& settings) const
{
    return StateOfLink("RTTY", settings.Get(keys::RTTYPort), m_link, settings);
}
