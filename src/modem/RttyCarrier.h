#pragma once
// Where an RTTY signal sent or heard through the sound card sits on the air,
// from the rig's dial frequency and the audio tones.
//
// Convention: an RTTY signal is named by its mark frequency. On lower
// sideband (the usual way to run AFSK, and how most rigs read out their RTTY
// modes) an audio tone of f Hz is on the air at dial − f, so the carrier is
// dial − mark tone and the space lies below it at dial − space tone: with the
// customary 2125/2295 Hz tones the mark is the higher of the two, as on the
// air. On upper sideband the tones add: dial + mark tone.
#include "modem/RttyParams.h"

enum class Sideband { Lower, Upper };

// The on-air mark frequency for an audio mark tone of `markToneHz`.
double RttyCarrierFrequency(double dialHz, double markToneHz, Sideband sideband);
// The same for the modem's settings: the tone heard as mark, reverse applied.
double RttyCarrierFrequency(double dialHz, const RttyParams& params, Sideband sideband);
