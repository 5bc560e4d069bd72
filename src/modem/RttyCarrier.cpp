#include "modem/RttyCarrier.h"

double RttyCarrierFrequency(double dialHz, double markToneHz, Sideband sideband)
{
    return sideband == Sideband::Lower ? dialHz - markToneHz : dialHz + markToneHz;
}

double RttyCarrierFrequency(double dialHz, const RttyParams& params, Sideband sideband)
{
    return RttyCarrierFrequency(dialHz, params.MarkTone(), sideband);
}
