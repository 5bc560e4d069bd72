// The printed macro list as text: the heading from the locale, 26 control
// lines and 7 function-key lines read from the store, body lines cut at 79
// characters; and one real print of it to a PDF file.
#include "app/MemorySettingsStore.h"
#include "macros/MacroListFormat.h"
#include "macros/MacroListHeading.h"
#include "macros/MacroStore.h"
#include "macros/widgets/MacroListPrinter.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const QDateTime kSunday(QDate(2026, 12, 6), QTime(14, 5));

std::vector<QString> ListOf(MemorySettingsStore& settings)
{
    MacroStore store(settings);
    return MacroListFormat::Lines(store, QStringLiteral("HEADING"));
}

}  // namespace

TEST(MacroListHeading, FollowsTheLocalesOrderSeparatorsAndClock)
{
    struct Case {
        QLocale locale;
        QDateTime when;
        const char* expected;
    };
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const Case cases[] = {
        // Comma separator, month-day-year, 12-hour clock: "2:5 PM".
        {us, kSunday, "VELTRAN Macros List Date: Sunday, December 6,  2026   2:5 PM"},
        {us, QDateTime(QDate(2026, 12, 7), QTime(0, 9)), "VELTRAN Macros List Date: Monday, December 7,  2026   12:9 AM"},
        // A decimal comma gives ";" between items; day-month-year; 24-hour.
        {de, kSunday, "VELTRAN Macros List Date: Sonntag;  6 Dezember;  2026   14:5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MacroListHeading::Build(c.when, MacroListHeading::FromLocale(c.locale), c.locale), c.expected);

    HeadingLocale ymd = MacroListHeading::FromLocale(us);
    ymd.dateOrder = 2;
    ymd.listSeparator = " / ";  // holds a blank: used as it is
    EXPECT_EQ(MacroListHeading::Build(kSunday, ymd, us), "VELTRAN Macros List Date: Sunday /  2026 / December 6   2:5 PM");
    ymd.dateOrder = 3;
    EXPECT_EQ(MacroListHeading::Build(kSunday, ymd, us), "VELTRAN Macros List Date: Sunday /    2:5 PM");
}

TEST(MacroListFormat, EmptyStorePrintsTheFixedEntriesOnly)
{
    MemorySettingsStore settings;
    const std::vector<QString> lines = ListOf(settings);
    ASSERT_EQ(lines.size(), 38u);
    for (int n : {0, 1, 3, 4})
        EXPECT_EQ(lines[n], "") << n;
    EXPECT_EQ(lines[2], "HEADING");
    EXPECT_EQ(lines[5], "Control-A:  ");
    EXPECT_EQ(lines[6], "Control-B:  ") << "an unset band prints empty, not 10";
    EXPECT_EQ(lines[8], "Control-D:  Date");
    EXPECT_EQ(lines[13], "Control-I:  Serial Number with Increment");
    EXPECT_EQ(lines[14], "Control-J:  Serial Number");
    EXPECT_EQ(lines[17], "Control-M:  Mode");
    EXPECT_EQ(lines[21], "Control-Q:  Quit: Stop Transmit");
    EXPECT_EQ(lines[24], "Control-T:  Time");
    EXPECT_EQ(lines[27], "Control-W:  Write: Start Transmit");
    EXPECT_EQ(lines[30], "Control-Z:  ");
    const char* fkeys[] = {"       F2:  ", "       F4:  ", "       F5:  ", "       F6:  ",
                           "       F7:  ", "       F8:  ", "       F9:  "};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(lines[31 + i], fkeys[i]);
    EXPECT_EQ(settings.PutCount(), 0u) << "printing writes nothing";
}

TEST(MacroListFormat, StoredValuesFollowTheirFormatAndLongOnesAreCut)
{
    MemorySettingsStore settings;
    settings.PutText("Settings", "B", "20");
    settings.PutText("Settings", "K", "DL0ABC");
    settings.PutText("Settings", "D", "never printed");  // D is the date code
    settings.PutText("Settings", "F6", "RYRY \xE9");
    settings.PutText("Settings", "A", std::string(200, 'X'));
    settings.PutText("Settings", "F9", std::string(67, 'Y'));
    const std::vector<QString> lines = ListOf(settings);
    ASSERT_EQ(lines.size(), 38u);
    EXPECT_EQ(lines[6], "Control-B:  20");
    EXPECT_EQ(lines[15], "Control-K:  DL0ABC");
    EXPECT_EQ(lines[8], "Control-D:  Date");
    EXPECT_EQ(lines[34], QString::fromLatin1("       F6:  RYRY \xE9"));
    EXPECT_EQ(lines[5], "Control-A:  " + QString(67, 'X'));
    EXPECT_EQ(lines[37], "       F9:  " + QString(67, 'Y'));
    for (size_t n = 5; n < lines.size(); ++n)
        EXPECT_LE(lines[n].size(), MacroListFormat::kMaxBodyChars) << n;
}

TEST(MacroListPrinter, PrintsOnePageToPdf)
{
    MemorySettingsStore settings;
    settings.PutText("Settings", "B", "20");
    MacroStore store(settings);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("macros.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    ASSERT_TRUE(MacroListPrinter::PrintTo(printer, store));
    EXPECT_EQ(printer.docName(), "VELTRAN MACROS");

    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    const QRegularExpressionMatch pages = QRegularExpression("/Count (\\d+)").match(QString::fromLatin1(bytes));
    ASSERT_TRUE(pages.hasMatch());
    EXPECT_EQ(pages.captured(1), "1");
}
