#include "frame/PortStatus.h"

PortStatusText ComputePortStatus(const PortStatusInput& in)
{
    if (in.rttyInUse)
        return {in.rttyByteSize == 5 ? "RTTY" : "ASCII", in.rttyBaud};
    if (in.tncInUse)
        return {"ASCII", in.tncBaud};
    return {"", 0};
}
