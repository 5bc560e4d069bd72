#include "views/PromptFormat.h"

#include "app/WallClock.h"

#include <cstdio>

std::string FormatPromptText(int kind, bool useLocal, const WallClock& clock)
{
    char text[48];
    switch (kind) {
    case 0: {
        const CivilTime t = clock.Now(useLocal);
        std::snprintf(text, sizeof text, "%d-%02d-%02d> ", t.month, t.day, t.year % 100);
        return text;
    }
    case 1: {
        const CivilTime t = clock.Now(useLocal);
        std::snprintf(text, sizeof text, useLocal ? "%02d%02d> " : "%02d%02dZ> ", t.hour, t.minute);
        return text;
    }
    case 2:
        return "% ";
    case 3:
        return "> ";
    default:
        return {};
    }
}
