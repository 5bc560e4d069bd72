#pragma once
// The rig's status pane: the dial frequency and mode ("14.085000 MHz USB"),
// "RIG DOWN" while the rig doesn't answer, nothing when no rig is set up.
#include "link/Rig.h"

#include <optional>
#include <string>

struct RigPaneText {
    std::string text;
    std::string toolTip;   // why the rig is down, or what the pane shows
    bool down = false;     // the pane is marked
};

RigPaneText ComputeRigPane(const std::optional<RigReading>& reading);
// 14085000 -> "14.085000 MHz"
std::string FormatDialFrequency(uint64_t hz);
