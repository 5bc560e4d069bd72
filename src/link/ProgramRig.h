#pragma once
// The program's one rig (the radio the operator set up in the Ports dialog),
// or none. Its reading is what the status bar shows and what a report takes
// its frequency from; CAT PTT lines key through it.
//
// Threads: any; the slot is guarded by its own mutex. A holder of the rig
// (a CAT PTT line of an open port) keeps the old one alive after it is
// replaced, until the port closes.
#include "link/Rig.h"

#include <memory>
#include <optional>

std::shared_ptr<Rig> ProgramRig();
void SetProgramRig(std::shared_ptr<Rig> rig);
// The rig's latest reading; nullopt when no rig is set up.
std::optional<RigReading> ProgramRigReading();
