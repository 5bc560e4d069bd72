#pragma once
// The stored style word of a tool bar ("Layout" "Toolbar Style" and
// "Toolbar Style 2"): window and bar style bits. The frame uses only the
// docking side (alignment bits) and keeps every other bit as it was read.
#include <cstdint>

enum class DockSide { Left, Top, Right, Bottom };

namespace barstyle {
inline constexpr uint32_t kChild = 0x40000000;
inline constexpr uint32_t kVisible = 0x10000000;
inline constexpr uint32_t kAlignLeft = 0x1000;
inline constexpr uint32_t kAlignTop = 0x2000;
inline constexpr uint32_t kAlignRight = 0x4000;
inline constexpr uint32_t kAlignBottom = 0x8000;
inline constexpr uint32_t kAlignAny = kAlignLeft | kAlignTop | kAlignRight | kAlignBottom;
inline constexpr uint32_t kBorderBottom = 0x0800;
// Tool tips, fly-by prompts and dynamic sizing, added to every bar when made.
inline constexpr uint32_t kCreateExtras = 0x34;
inline constexpr uint32_t kDefault = 0x50002800;
}  // namespace barstyle

// The side the alignment bits name; top when none or several are set.
DockSide DockSideOfStyle(uint32_t style);
// The style word with its alignment bits replaced by `side`.
uint32_t StyleWithDockSide(uint32_t style, DockSide side);
