#include "frame/RigPaneText.h"

#include <cstdio>

std::string FormatDialFrequency(uint64_t hz)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%llu.%06llu MHz", static_cast<unsigned long long>(hz / 1000000),
                  static_cast<unsigned long long>(hz % 1000000));
    return buf;
}

RigPaneText ComputeRigPane(const std::optional<RigReading>& reading)
{
    RigPaneText out;
    if (!reading)
        return out;
    if (reading->down) {
        out.text = "RIG DOWN";
        out.toolTip = "Rig: " + (reading->reason.empty() ? std::string("not answering") : reading->reason);
        out.down = true;
        return out;
    }
    if (reading->frequencyHz == 0) {
        out.toolTip = "Rig: no frequency yet";
        return out;
    }
    out.text = FormatDialFrequency(reading->frequencyHz);
    if (!reading->mode.empty())
        out.text += " " + reading->mode;
    out.toolTip = "Rig: dial frequency and mode";
    return out;
}
