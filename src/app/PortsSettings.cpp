#include "app/PortsSettings.h"

#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"

PortsSettings PortsSettings::Read(const SettingsStore& s)
{
    PortsSettings p;
    p.rttyPort = s.Get(keys::RTTYPort);
    p.tncPort = s.Get(keys::TNCPort);
    p.rttyBaud = s.Get(keys::RTTYBaud);
    p.rttyType = s.Get(keys::RTTYType);
    p.rttyDuplex = s.Get(keys::RTTYDuplex);
    p.tncBaud = s.Get(keys::TNCBaud);
    p.rttyExtended = s.Get(keys::RTTYExtended) != 0;
    p.rttyCrlf = s.Get(keys::RTTYCRLF) != 0;
    p.rttyLflf = s.Get(keys::RTTYLFLF) != 0;
    p.tncCrlf = s.Get(keys::TNCCRLF) != 0;
    p.diddle = s.Get(keys::Diddle) != 0;
    p.diddleBeep = s.Get(keys::DiddleBeep) != 0;
    p.rttyPageWidth = s.Get(keys::RTTYPageWidth);
    p.tncPageWidth = s.Get(keys::TNCPageWidth);
    p.disableDeadman = s.Get(keys::DisableDeadman) != 0;
    return p;
}

void PortsSettings::Write(SettingsStore& s) const
{
    s.Put(keys::RTTYPort, rttyPort);
    s.Put(keys::TNCPort, tncPort);
    s.Put(keys::RTTYBaud, rttyBaud);
    s.Put(keys::RTTYType, rttyType);
    s.Put(keys::RTTYDuplex, rttyDuplex);
    // The TNC link must never run at 0 baud.
    s.Put(keys::TNCBaud, tncBaud > 0 ? tncBaud : keys::TNCBaud.def);
    s.Put(keys::RTTYExtended, rttyExtended ? 1 : 0);
    s.Put(keys::RTTYCRLF, rttyCrlf ? 1 : 0);
    s.Put(keys::RTTYLFLF, rttyLflf ? 1 : 0);
    s.Put(keys::TNCCRLF, tncCrlf ? 1 : 0);
    s.Put(keys::Diddle, diddle ? 1 : 0);
    s.Put(keys::DiddleBeep, diddleBeep ? 1 : 0);
    s.Put(keys::RTTYPageWidth, rttyPageWidth);
    s.Put(keys::TNCPageWidth, tncPageWidth);
    s.Put(keys::DisableDeadman, disableDeadman ? 1 : 0);
}

namespace portschoice {

int PortListIndex(int stored)
{
    if (stored <= 0)
        return 0;
    return stored <= kListedPorts ? stored : -1;
}

int BaudButton(int stored)
{
    switch (stored) {
    case 50:
        return 1;
    case 57:
        return 2;
    case 74:
    case 75:
        return 3;
    case 100:
        return 4;
    case 110:
        return 5;
    default:
        return 0;
    }
}

int TypeButton(int stored)
{
    for (size_t i = 0; i < kTypeValues.size(); ++i) {
        if (kTypeValues[i] == stored)
            return static_cast<int>(i);
    }
    return -1;
}

int DuplexButton(int stored)
{
    return stored >= 0 && stored <= 2 ? stored : -1;
}

int TncSpeedIndex(int stored)
{
    for (size_t i = 0; i < kTncSpeeds.size(); ++i) {
        if (kTncSpeeds[i] == stored)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace portschoice
