#include "app/AmateurBand.h"

#include <cmath>

namespace {

struct BandEdges {
    double lowHz;
    double highHz;
    const char* band;
};

constexpr BandEdges kBands[] = {
    {1'800'000.0, 2'000'000.0, "160"},
    {3'500'000.0, 4'000'000.0, "80"},
    {5'060'000.0, 5'450'000.0, "60"},
    {7'000'000.0, 7'300'000.0, "40"},
    {10'100'000.0, 10'150'000.0, "30"},
    {14'000'000.0, 14'350'000.0, "20"},
    {18'068'000.0, 18'168'000.0, "17"},
    {21'000'000.0, 21'450'000.0, "15"},
    {24'890'000.0, 24'990'000.0, "12"},
    {28'000'000.0, 29'700'000.0, "10"},
    {50'000'000.0, 54'000'000.0, "6"},
};

}  // namespace

std::optional<std::string> BandOfFrequency(double hz)
{
    if (!std::isfinite(hz) || hz <= 0.0)
        return std::nullopt;
    // A rig reports whole hertz; half a hertz of slack keeps an edge given as
    // a computed carrier (dial minus a tone in floating point) inside.
    for (const BandEdges& b : kBands) {
        if (hz >= b.lowHz - 0.5 && hz <= b.highHz + 0.5)
            return std::string(b.band);
    }
    return std::nullopt;
}
