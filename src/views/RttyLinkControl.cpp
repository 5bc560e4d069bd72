#include "views/RttyLinkControl.h"

#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "link/SerialLink.h"

RttyPortConfig RttyPortConfig::Read(const SettingsStore& settings)
{
    RttyPortConfig c;
    c.port = settings.Get(keys::RTTYPort);
    c.baud = settings.Get(keys::RTTYBaud);
    if (c.baud <= 0)
        c.baud = keys::RTTYBaud.def;
    c.dataBits = settings.Get(keys::RTTYType);
    if (c.dataBits < 5 || c.dataBits > 8)
        c.dataBits = keys::RTTYType.def;
    c.duplex = settings.Get(keys::RTTYDuplex);
    c.extended = settings.Get(keys::RTTYExtended) != 0;
    c.diddle = settings.Get(keys::Diddle) != 0;
    return c;
}

bool RttyLinkControl::Apply(SerialLink& link, const RttyPortConfig& c)
{
    bool configured = false;
    if (c.port <= 0) {
        link.Connect(false);
    } else {
        const uint32_t port = c.port > keys::kMaxPort ? 1u : static_cast<uint32_t>(c.port);
        if (link.m_nPort != port || link.m_nBaud != static_cast<uint32_t>(c.baud) ||
            link.m_nByteSize != c.dataBits || link.m_nParity != 0 || link.m_nStopBits != 0) {
            link.Connect(false);
            link.m_nPort = port;
            link.m_nParity = 0;
            link.m_nStopBits = 0;
            link.m_nByteSize = static_cast<uint8_t>(c.dataBits);
            link.m_bPttKeying = c.dataBits == 5 ? 1 : 0;
            link.SetReceiveShift(false);
            link.m_bTxFigures = 0;
            link.m_nBaud = static_cast<uint32_t>(c.baud);
        }
        configured = true;
        link.Connect(true);
    }

    link.SetExtended(c.extended);
    link.m_bDiddle = c.diddle ? 1 : 0;
    if (c.duplex != 0) {
        link.m_bTxHold = 0;
        link.Wake();
    } else {
        PutInReceive(link);
    }
    return configured;
}

void RttyLinkControl::PutInReceive(SerialLink& link)
{
    link.StopSending();
}
