#pragma once
// Where the main window opens: the stored rectangle ("Layout" "Top", "Bottom",
// "Left", "Right"; the sentinel kDefault means "never stored") clamped to the
// desktop so that a window saved on a screen that is gone still shows up.
#include <cstdint>

struct PlacementRect {
    int left;
    int top;
    int right;   // exclusive, as the stored values are
    int bottom;  // exclusive
};

struct WindowPlacement {
    bool useSystemDefault = true;  // leave position and size to the window system
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

namespace placement {
inline constexpr int kDefault = static_cast<int>(0x80000000u);
}

// Applies the stored rectangle, in this order: a window whose bottom edge lies
// above the desktop is moved down to its top; one whose right edge lies left of
// it is moved to its left edge; one reaching past the bottom or right edge is
// shortened or narrowed to end there (using the position already moved).
// When any of the four values was never stored, or the result would have no
// area on the desktop (stored wholly below or right of it), or the arithmetic
// leaves the 32-bit range, the window system places the window instead.
WindowPlacement ComputePlacement(const PlacementRect& stored, const PlacementRect& desktop);
