#include "frame/Placement.h"

#include <limits>

namespace {

bool Fits32(int64_t v)
{
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

}  // namespace

WindowPlacement ComputePlacement(const PlacementRect& stored, const PlacementRect& desktop)
{
    WindowPlacement result;
    if (stored.top == placement::kDefault || stored.bottom == placement::kDefault ||
        stored.left == placement::kDefault || stored.right == placement::kDefault)
        return result;

    // 64-bit arithmetic: stored values may be anything a damaged store holds.
    int64_t y = stored.top;
    int64_t cy = int64_t{stored.bottom} - stored.top;
    int64_t x = stored.left;
    int64_t cx = int64_t{stored.right} - stored.left;

    if (y + cy < desktop.top)
        y = desktop.top;
    if (x + cx < desktop.left)
        x = desktop.left;
    if (y + cy > desktop.bottom)
        cy = int64_t{desktop.bottom} - y;
    if (x + cx > desktop.right)
        cx = int64_t{desktop.right} - x;

    // A rectangle stored wholly below or right of the desktop (or an inverted
    // one) would open with no size at all: let the system place it instead.
    if (cx <= 0 || cy <= 0 || !Fits32(x) || !Fits32(y) || !Fits32(cx) || !Fits32(cy))
        return result;

    result.useSystemDefault = false;
    result.x = static_cast<int>(x);
    result.y = static_cast<int>(y);
    result.cx = static_cast<int>(cx);
    result.cy = static_cast<int>(cy);
    return result;
}
