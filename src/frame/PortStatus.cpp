#include "frame/PortStatus.h"


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

std::string PortStatusToolTip(const PortState& rtty, const PortState& tnc)
{
    return DescribePortState(rtty) + "\n" + DescribePortState(tnc);
}

bool AnyPortSimulated(const PortState& rtty, const PortState& tnc)
{
    return ConditionOf(rtty) == PortCondition::Simulated || ConditionOf(tnc) == PortCondition::Simulated;
}
