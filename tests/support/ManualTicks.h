#pragma once
// A tick source that stands still until the test moves it.
#include "link/TickSource.h"

class ManualTicks : public TickSource {
public:
    uint32_t Now() const override { return now; }
    uint32_t now = 0;
};
