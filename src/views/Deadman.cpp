#include "views/Deadman.h"

#include <limits>

Deadman::Action Deadman::Tick(int32_t& count, bool disabled, bool txActive, bool keyed)
{
    if (disabled)
        return Action::kNone;
    if (count < std::numeric_limits<int32_t>::max())
        ++count;
    if (count <= kLimitSeconds)
        return Action::kNone;
    if (!txActive && !keyed)
        return Action::kNone;
    return Action::kForceReceive;
}
