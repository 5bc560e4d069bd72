#pragma once
// Reads the simulated modem's record for the one keying rule every test of an
// unkey path checks: RTS falls no earlier than 100 ms after the last stop bit
// of the last character written before it (or after output was purged,
// which cuts what was still on the line).
#include "link/SimulatedModem.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

namespace keying {

// The smallest time, over every fall of RTS that follows a write, from the
// moment the last character written before the fall left the line to the
// fall (negative when RTS fell under a character); nullopt when RTS never
// fell after a write.
inline std::optional<std::chrono::nanoseconds> SmallestUnkeyMargin(const std::vector<SimEvent>& log)
{
    std::optional<std::chrono::nanoseconds> smallest;
    std::optional<SimulatedModem::Clock::time_point> lineFree;
    for (const SimEvent& e : log) {
        if (e.kind == SimEvent::Kind::Write)
            lineFree = lineFree ? std::max(*lineFree, e.ends) : e.ends;
        // Output thrown away leaves the line free at that moment.
        if ((e.kind == SimEvent::Kind::PurgeOutput || e.kind == SimEvent::Kind::Purge) && lineFree)
            lineFree = std::min(*lineFree, e.time);
        if (e.kind == SimEvent::Kind::Rts && !e.level && lineFree) {
            const auto margin = e.time - *lineFree;
            smallest = smallest ? std::min(*smallest, margin) : margin;
        }
    }
    return smallest;
}

}  // namespace keying
