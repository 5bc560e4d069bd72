#pragma once
// The calendar clock behind the date and time codes of macros, tapes and the
// report record, behind an interface so tests can fix the instant.
// Now() answers in local time or in UTC as the caller asks ("Settings"
// "UseLocal"). Thread-safe.
struct CivilTime {
    int year = 1970;  // full year, e.g. 1998
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
};

class WallClock {
public:
    virtual ~WallClock() = default;
    virtual CivilTime Now(bool local) const = 0;
};

// The system clock: localtime_r or gmtime_r of time(nullptr).
class SystemWallClock : public WallClock {
public:
    CivilTime Now(bool local) const override;
    static const SystemWallClock& Instance();
};
