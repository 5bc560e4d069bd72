#include "frame/PortStatus.h"

#include "app/DeviceMap.h"
#include "app/SettingsKeys.h"
#include "link/SerialLink.h"

PortStatusText ComputePortStatus(const PortStatusInput& in)
{
    if (in.rttyInUse) {
        if (in.rttyDown)
            return {"DOWN", 0, true};
        return {in.rttyByteSize == 5 ? "RTTY" : "ASCII", in.rttyBaud, false};
    }
    if (in.tncInUse) {
        if (in.tncDown)
            return {"DOWN", 0, true};
        return {"ASCII", in.tncBaud, false};
    }
    return {"", 0, false};
}

PortState StateOfLink(const std::string& name, int configuredPort, const SerialLink& link,
                      const SettingsStore& settings)
{
    PortState s;
    s.name = name;
    s.port = configuredPort > keys::kMaxPort ? 1 : configuredPort;
    if (s.port > 0)
        s.device = DevicePathForPort(settings, s.port);
    s.open = link.IsOpen();
    s.vanished = link.IsDown();
    s.error = link.OpenError();
    s.reason = s.vanished ? link.DownReason() : link.OpenErrorText();
    return s;
}

std::string PortStatusToolTip(const PortState& rtty, const PortState& tnc)
{
    return DescribePortState(rtty) + "\n" + DescribePortState(tnc);
}

bool AnyPortSimulated(const PortState& rtty, const PortState& tnc)
{
    return ConditionOf(rtty) == PortCondition::Simulated || ConditionOf(tnc) == PortCondition::Simulated;
}
