#pragma once
// The PTT line a sound-card port's device value asks for: "ptt=rts" or
// "ptt=dtr" of the serial device "pttdev=" (a "sim:" value keys the simulated
// modem's lines, which keep a trace), "ptt=cat" for the rig's own PTT command
// through the program's rig (no rig set up: it never opens), "ptt=cm108" for
// a GPIO of the CM108 adapter "pttdev=/dev/hidrawN", or "ptt=none" for the
// radio's VOX.
#include "link/PttLine.h"
#include "modem/AudioDeviceValue.h"

#include <memory>

// A line not yet opened; never null. A serial choice without a device opens
// with the error "No PTT device chosen".
std::unique_ptr<PttLine> PttLineFor(const AudioDeviceValue& value);
