#include "macros/MacroListHeading.h"

namespace {

// Where the first of `letters` stands in a date or time format, skipping
// quoted literal text; -1 when absent.
qsizetype FirstOf(const QString& format, QStringView letters)
{
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && letters.contains(c))
            return i;
    }
    return -1;
}

int DateOrder(const QString& format)
{
    const qsizetype d = FirstOf(format, u"d");
    const qsizetype m = FirstOf(format, u"M");
    const qsizetype y = FirstOf(format, u"y");
    if (d < 0 || m < 0 || y < 0)
        return -1;
    if (m < d && d < y)
        return 0;
    if (d < m && m < y)
        return 1;
    if (y < m && m < d)
        return 2;
    return -1;
}

// The characters between the hour and the minute fields, e.g. ":" or ".".
QString TimeSeparator(const QString& format)
{
    const qsizetype h = FirstOf(format, u"hH");
    if (h < 0)
        return QStringLiteral(":");
    qsizetype i = h;
    while (i < format.size() && (format[i] == QLatin1Char('h') || format[i] == QLatin1Char('H')))
        ++i;
    QString sep;
    while (i < format.size() && format[i] != QLatin1Char('m') && !format[i].isLetter()) {
        if (format[i] != QLatin1Char('\''))
            sep += format[i];
        ++i;
    }
    return sep.isEmpty() ? QStringLiteral(":") : sep;
}

}  // namespace

HeadingLocale MacroListHeading::FromLocale(const QLocale& locale)
{
    HeadingLocale h;
    // No list separator in Linux locales: ";" where the decimal point is a
    // comma (so that lists of numbers stay readable), else ",".
    h.listSeparator = locale.decimalPoint() == QLatin1String(",") ? QStringLiteral(";") : QStringLiteral(",");
    h.dateOrder = DateOrder(locale.dateFormat(QLocale::ShortFormat));
    const QString time = locale.timeFormat(QLocale::ShortFormat);
    h.is24Hour = FirstOf(time, u"aA") < 0;
    h.timeSeparator = TimeSeparator(time);
    h.amText = locale.amText();
    h.pmText = locale.pmText();
    return h;
}

QString MacroListHeading::Build(const QDateTime& local, const HeadingLocale& settings, const QLocale& names)
{
    QString sep = settings.listSeparator;
    if (!sep.contains(QLatin1Char(' ')))
        sep += QLatin1Char(' ');
    const QDate date = local.date();
    const QTime time = local.time();
    const QString month = names.monthName(date.month(), QLocale::LongFormat);
    const QString day = QString::number(date.day());
    const QString year = QString::number(date.year());

    QString text = QStringLiteral("VELTRAN Macros List Date: ");
    text += names.dayName(date.dayOfWeek(), QLocale::LongFormat) + sep;
    switch (settings.dateOrder) {
    case 0: text += month + QLatin1Char(' ') + day + sep + QLatin1Char(' ') + year; break;
    case 1: text += QLatin1Char(' ') + day + QLatin1Char(' ') + month + sep + QLatin1Char(' ') + year; break;
    case 2: text += QLatin1Char(' ') + year + sep + month + QLatin1Char(' ') + day; break;
    default: break;
    }
    text += QStringLiteral("   ");
    const int hour = time.hour();
    const QString minute = QString::number(time.minute());
    if (settings.is24Hour) {
        text += QString::number(hour) + settings.timeSeparator + minute;
    } else {
        const int h12 = hour % 12 == 0 ? 12 : hour % 12;
        text += QString::number(h12) + settings.timeSeparator + minute + QLatin1Char(' ');
        text += hour < 12 ? settings.amText : settings.pmText;
    }
    return text;
}

QString MacroListHeading::Now()
{
    const QLocale locale;
    return Build(QDateTime::currentDateTime(), FromLocale(locale), locale);
}
