// Configuring the RTTY link from the settings, on the simulated modem.
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "link/SerialLink.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "views/RttyLinkControl.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct LinkOnModem {
    LinkOnModem()
    {
        link.SetDeviceOpener([this](int port) -> std::unique_ptr<PortDevice> {
            lastPort = port;
            return std::make_unique<SharedPortDevice>(modem);
        });
    }
    std::shared_ptr<SimulatedModem> modem = std::make_shared<SimulatedModem>();
    SerialLink link;
    int lastPort = 0;
};

TEST(RttyLinkControl, FirstRunDefaultsOpenPortOneBaudotAt45HeldInReceive)
{
    MemorySettingsStore settings;
    LinkOnModem t;
    EXPECT_TRUE(RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings)));
    EXPECT_TRUE(t.link.IsOpen());
    EXPECT_EQ(t.lastPort, 1);
    EXPECT_EQ(t.modem->Settings().baud, 45u);
    EXPECT_EQ(t.modem->Settings().dataBits, 5);
    EXPECT_TRUE(t.modem->Settings().pttKeying);
    EXPECT_EQ(t.link.m_bTxHold.load(), 1u);
    EXPECT_EQ(t.link.m_bTxActive.load(), 0u);
    EXPECT_EQ(t.link.m_bDiddle.load(), 1u);
    EXPECT_FALSE(t.modem->Rts());
}

TEST(RttyLinkControl, PortZeroClosesAndPortAboveSixteenIsOne)
{
    MemorySettingsStore settings;
    LinkOnModem t;
    settings.Put(keys::RTTYPort, 17);
    EXPECT_TRUE(RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings)));
    EXPECT_EQ(t.lastPort, 1);
    settings.Put(keys::RTTYPort, 0);
    EXPECT_FALSE(RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings)));
    EXPECT_FALSE(t.link.IsOpen());
    settings.Put(keys::RTTYPort, -3);
    EXPECT_FALSE(RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings)));
}

TEST(RttyLinkControl, SameLineIsLeftOpenChangedLineReopensWithLettersShift)
{
    MemorySettingsStore settings;
    LinkOnModem t;
    RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings));
    RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings));
    EXPECT_EQ(t.modem->OpenCount(), 1);

    t.link.InvertReceiveShift();
    t.link.m_bTxFigures = 1;
    settings.Put(keys::RTTYBaud, 110);
    settings.Put(keys::RTTYType, 8);
    RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings));
    EXPECT_EQ(t.modem->OpenCount(), 2);
    EXPECT_EQ(t.modem->Settings().baud, 110u);
    EXPECT_EQ(t.modem->Settings().dataBits, 8);
    EXPECT_FALSE(t.modem->Settings().pttKeying);
    EXPECT_EQ(t.link.m_bRxFigures, 0u);
    EXPECT_EQ(t.link.m_bTxFigures, 0u);
}

TEST(RttyLinkControl, DamagedBaudAndDataBitsFallBackToTheDefaults)
{
    MemorySettingsStore settings;
    settings.Put(keys::RTTYBaud, 0);
    settings.Put(keys::RTTYType, 3);
    const RttyPortConfig c = RttyPortConfig::Read(settings);
    EXPECT_EQ(c.baud, 45);
    EXPECT_EQ(c.dataBits, 5);
    settings.PutText(keys::kPorts, "RTTYBaud", "fast");
    settings.Put(keys::RTTYType, 99);
    EXPECT_EQ(RttyPortConfig::Read(settings).baud, 45);
    EXPECT_EQ(RttyPortConfig::Read(settings).dataBits, 5);
}

TEST(RttyLinkControl, AutoAndDelayProtocolsReleaseTheHold)
{
    MemorySettingsStore settings;
    LinkOnModem t;
    settings.Put(keys::RTTYDuplex, 2);
    settings.Put(keys::Diddle, 0);
    settings.Put(keys::RTTYExtended, 1);
    t.link.m_bTxHold = 1;
    RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings));
    EXPECT_EQ(t.link.m_bTxHold.load(), 0u);
    EXPECT_EQ(t.link.m_bDiddle.load(), 0u);
    EXPECT_EQ(t.link.m_bExtended, 1u);
}

TEST(RttyLinkControl, ManualProtocolUnkeysAnActiveTransmission)
{
    MemorySettingsStore settings;
    LinkOnModem t;
    settings.Put(keys::RTTYDuplex, 2);
    RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings));
    t.link.m_bTxActive = 1;
    t.link.KeyTransmitter();
    ASSERT_TRUE(t.modem->Rts());
    settings.Put(keys::RTTYDuplex, 0);
    RttyLinkControl::Apply(t.link, RttyPortConfig::Read(settings));
    EXPECT_EQ(t.link.m_bTxHold.load(), 1u);
    EXPECT_EQ(t.link.m_bTxActive.load(), 0u);
    EXPECT_EQ(t.link.m_bKeyed.load(), 0u);
    EXPECT_FALSE(t.modem->Rts());
}

}  // namespace
