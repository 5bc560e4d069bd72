#include "frame/BarStyle.h"

DockSide DockSideOfStyle(uint32_t style)
{
    switch (style & barstyle::kAlignAny) {
    case barstyle::kAlignLeft:
        return DockSide::Left;
    case barstyle::kAlignRight:
        return DockSide::Right;
    case barstyle::kAlignBottom:
        return DockSide::Bottom;
    default:
        return DockSide::Top;
    }
}

uint32_t StyleWithDockSide(uint32_t style, DockSide side)
{
    uint32_t bit = barstyle::kAlignTop;
    switch (side) {
    case DockSide::Left:
        bit = barstyle::kAlignLeft;
        break;
    case DockSide::Top:
        bit = barstyle::kAlignTop;
        break;
    case DockSide::Right:
        bit = barstyle::kAlignRight;
        break;
    case DockSide::Bottom:
        bit = barstyle::kAlignBottom;
        break;
    }
    return (style & ~barstyle::kAlignAny) | bit;
}
