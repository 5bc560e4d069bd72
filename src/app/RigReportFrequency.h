#pragma once
// The frequency a report logs, from the program's rig: nothing without a rig,
// while it is down, or before it has told its dial. For an RTTY port on the
// sound-card modem the signal's mark frequency on the air (RttyCarrier.h),
// on the sideband the rig's mode names; for a terminal unit or FSK keying the
// dial itself (the radio's RTTY modes show the mark frequency).
#include "modem/RttyCarrier.h"

#include <optional>
#include <string>

class SettingsStore;

std::optional<double> RigReportFrequency(const SettingsStore& settings);
// Upper for the rig's USB modes ("USB", "PKTUSB"); lower for everything else,
// the usual way to run AFSK.
Sideband SidebandOfMode(const std::string& mode);
