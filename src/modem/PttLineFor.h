#pragma once
// The PTT line a sound-card port's device value asks for: "ptt=rts" or
// "ptt=dtr" of the serial device "pttdev=" (a "sim:" value keys the simulated
// modem's lines, which keep a trace), or "ptt=none" for the radio's VOX. New
// ways of keying (a rig's CAT command, a CM108 sound card's GPIO) are added
// here, behind the PttLine interface.
#include "link/PttLine.h"
#include "modem/AudioDeviceValue.h"

#include <memory>

// A line not yet opened; never null. A serial choice without a device opens
// with the error "No PTT device chosen".
std::unique_ptr<PttLine> PttLineFor(const AudioDeviceValue& value);
