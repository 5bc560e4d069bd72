#pragma once
// The dated heading line of the printed macro list, built from the local
// date and time and the user's locale: "VELTRAN Macros List Date: ", the
// weekday, the list separator, the date in the locale's short-date order with
// the month's full name and the year in full, three blanks, and the time with
// the locale's time separator and minutes without a leading zero (24-hour, or
// 12-hour with the morning/afternoon designator). Plain data in, text out.
#include <QDateTime>
#include <QLocale>
#include <QString>

struct HeadingLocale {
    QString listSeparator;  // used as given, plus one blank when it holds none
    int dateOrder = 0;      // 0 month-day-year, 1 day-month-year, 2 year-month-day, other: no date
    bool is24Hour = false;
    QString timeSeparator = QStringLiteral(":");
    QString amText = QStringLiteral("AM");
    QString pmText = QStringLiteral("PM");
};

class MacroListHeading {
public:
    // The locale's settings. Linux locales carry no list separator: a locale
    // that writes decimals with a comma uses ";" between list items, every
    // other locale ",".
    static HeadingLocale FromLocale(const QLocale& locale);

    // The heading for `local` (local time), with weekday and month names from
    // `names`.
    static QString Build(const QDateTime& local, const HeadingLocale& settings, const QLocale& names);
    // The user's locale and the clock's local time now.
    static QString Now();
};
