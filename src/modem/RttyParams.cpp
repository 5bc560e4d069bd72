#include "modem/RttyParams.h"

#include <cmath>

bool RttyParams::Valid() const
{
    const auto inBand = [](double f) { return f >= 100.0 && f <= 3900.0; };
    return baud >= 10.0 && baud <= 300.0 && inBand(markHz) && inBand(markHz + shiftHz) &&
           std::fabs(shiftHz) >= 20.0 && stopBits >= 1.0 && stopBits <= 2.0 &&
           (dataBits == 5 || dataBits == 7 || dataBits == 8);
}

double BaudForLineRate(uint32_t lineBaud)
{
    switch (lineBaud) {
    case 45: return 45.45;
    case 57: return 56.88;
    case 74: return 74.2;
    default: return static_cast<double>(lineBaud);
    }
}
