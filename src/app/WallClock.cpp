#include "app/WallClock.h"

#include <ctime>

namespace {

CivilTime Convert(std::time_t t, bool local)
{
    std::tm tm{};
    const bool ok = local ? localtime_r(&t, &tm) != nullptr : gmtime_r(&t, &tm) != nullptr;
    CivilTime c;
    if (!ok)
        return c;
    c.year = tm.tm_year + 1900;
    c.month = tm.tm_mon + 1;
    c.day = tm.tm_mday;
    c.hour = tm.tm_hour;
    c.minute = tm.tm_min;
    return c;
}

}  // namespace

CivilTime SystemWallClock::Now(bool local) const
{
    return Convert(std::time(nullptr), local);
}

const SystemWallClock& SystemWallClock::Instance()
{
    static const SystemWallClock clock;
    return clock;
}
