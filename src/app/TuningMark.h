#pragma once
// A mark tone chosen on the tuning display, made to last: the RTTY port's
// sound-card value ("Devices" "COM<RTTYPort>") gets the mark= that makes the
// receiver hear its mark at `markToneHz` (with reverse the nominal mark sits
// one shift below the heard one, as the sound-card device retunes it), the
// other options left as they are. The running modem is retuned through the
// tap (AudioTap::RequestMark), not through the store.
#include "app/SettingsStore.h"

// False (nothing written) when the RTTY port is not on the sound-card modem,
// its value doesn't parse, or the tones would leave the audio band (the
// device refuses such a retune too).
bool StoreRttyMark(SettingsStore& settings, double markToneHz);
