#include "link/SimulatedRttyStatus.h"

#include "link/ThreadSafety.h"

namespace {

Mutex g_mutex;
SimulatedRttyStatus g_status GUARDED_BY(g_mutex);

}  // namespace

void SimulatedRttyStatus::Publish(const SimulatedRttyStatus& status)
{
    MutexLock lock(g_mutex);
    g_status = status;
}

SimulatedRttyStatus SimulatedRttyStatus::Current()
{
    MutexLock lock(g_mutex);
    return g_status;
}

std::string SimulatedRttyStatus::Line() const
{
    if (!open)
        return "RTTY: closed";
    std::string s = "RTTY: " + std::to_string(baud) + " baud " + (dataBits == 5 ? "Baudot" : "ASCII") + ", " +
                    (keyed ? "transmitting" : "receiving") + ", " + std::to_string(transmissions) + " transmissions, " + std::to_string(charsHeard) + " heard, " +
                    std::to_string(charsSent) + " sent";
    if (!cqCall.empty())
        s += ", " + cqCall + " calling CQ";
    return s;
}
