#pragma once
// A mark frequency chosen on the tuning display, made to last: the RTTY
// port's sound-card value ("Devices" "COM<RTTYPort>") gets the new mark=,
// the other options left as they are. The running modem is retuned through
// the tap (AudioTap::RequestMark), not through the store.
#include "app/SettingsStore.h"

// False (nothing written) when the RTTY port is not on the sound-card modem
// or its value doesn't parse.
bool StoreRttyMark(SettingsStore& settings, double markHz);
