#pragma once
// Timing shared by the link's source files (not part of its interface).
#include "link/LinkClock.h"

#include <chrono>

namespace seriallink {

// The transmitter needs this long after RTS rises before the first character,
// and the last character this long before RTS falls.
inline constexpr std::chrono::milliseconds kKeyingWait{100};
inline constexpr std::chrono::microseconds kMaxOutputLead = kKeyingWait / 2;
// The line settles after opening before anything is sent.
inline constexpr std::chrono::milliseconds kOpenSettle{100};

// Ends a link thread's count on its clock, however the thread leaves.
struct ClockLeave {
    LinkClock& clock;
    ~ClockLeave() { clock.Leave(); }
};

}  // namespace seriallink
