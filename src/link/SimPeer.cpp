#include "link/SimPeer.h"

#include "link/SimulatedBandPeer.h"
#include "link/SimulatedTncPeer.h"

std::unique_ptr<SimPeer> MakeSimPeer(const SimOptions& options)
{
    if (options.mode == "band")
        return std::make_unique<SimulatedBandPeer>(options);
    if (options.mode == "tnc")
        return std::make_unique<SimulatedTncPeer>();
    return nullptr;
}
