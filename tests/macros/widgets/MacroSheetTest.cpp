// The macro sheet offscreen, driven with real clicks and keys through its
// modal run: pages reload on every activation, only shown pages write, the
// band is stored as one of the nine band texts, and the starting serial
// number re-seeds the document only when changed and confirmed.
#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "macros/widgets/CMacroSheet.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

class MacroSheetTest : public ::testing::Test {
protected:
    // Runs the sheet modally; `steps` drive it from inside the run and must
    // end by pressing OK or Cancel.
    int Run(const std::function<void(CMacroSheet&)>& steps, CVELTRANDoc* doc = nullptr)
    {
        CMacroSheet sheet(settings, doc, nullptr);
        QTimer::singleShot(0, &sheet, [&] { steps(sheet); });
        return sheet.DoModal();
    }
    static void Page(CMacroSheet& s, int index)
    {
        QTabBar* bar = s.Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        ASSERT_EQ(s.Tabs()->currentIndex(), index);
    }
    static QLineEdit* Field(CMacroSheet& s, const char* key)
    {
        return s.findChild<QLineEdit*>(QString::fromLatin1(key));
    }
    static void Type(CMacroSheet& s, const char* key, const char* text)
    {
        QLineEdit* edit = Field(s, key);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }
    static void Ok(CMacroSheet& s) { QTest::mouseClick(s.Buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton); }
    static void Cancel(CMacroSheet& s)
    {
        QTest::mouseClick(s.Buttons()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    }
    std::string Stored(const char* key) { return settings.GetText("Settings", key, "<missing>"); }

    MemorySettingsStore settings;
};

}  // namespace

TEST_F(MacroSheetTest, EightPagesWithOkAndCancelOnly)
{
    CMacroSheet sheet(settings, nullptr, nullptr);
    EXPECT_EQ(sheet.windowTitle(), "Edit Macros");
    QStringList titles;
    for (int i = 0; i < sheet.Tabs()->count(); ++i)
        titles << sheet.Tabs()->tabText(i);
    EXPECT_EQ(titles, QStringList({"Main", "Embedded", "A-G", "H-L", "U-Z", "0-4", "5-9", "F2-F9"}));
    EXPECT_EQ(sheet.Buttons()->buttons().size(), 2);
    EXPECT_EQ(sheet.Buttons()->button(QDialogButtonBox::Apply), nullptr);
    // Every editable key has one field; F3 and F6 have none.
    for (const char* key : {"A", "C", "E", "F", "G", "H", "K", "L", "U", "Y", "Z", "0", "1", "2", "3", "4", "5",
                            "6", "7", "8", "9", "F2", "F4", "F5", "F7", "F8", "F9", "I"})
        EXPECT_NE(Field(sheet, key), nullptr) << key;
    EXPECT_EQ(Field(sheet, "F3"), nullptr);
    EXPECT_EQ(Field(sheet, "F6"), nullptr);
}

TEST_F(MacroSheetTest, EachActivationReloadsTheStoredValues)
{
    settings.PutText("Settings", "A", "CQ CQ");
    Run([&](CMacroSheet& s) {
        Page(s, 2);
        EXPECT_EQ(Field(s, "A")->text(), "CQ CQ");
        Type(s, "A", "TYPED");
        Page(s, 3);
        settings.PutText("Settings", "C", "W1AW");  // changed behind the sheet's back
        Page(s, 2);
        EXPECT_EQ(Field(s, "A")->text(), "CQ CQ") << "unsaved typing is replaced";
        EXPECT_EQ(Field(s, "C")->text(), "W1AW");
        Type(s, "E", "DE ^C");
        Page(s, 7);  // typed, then left without coming back: still saved on OK
        Ok(s);
    });
    EXPECT_EQ(Stored("E"), "DE ^C");
    EXPECT_EQ(Stored("A"), "CQ CQ");
}

TEST_F(MacroSheetTest, PagesNeverShownWriteNothingAndCancelWritesNothing)
{
    EXPECT_EQ(Run([](CMacroSheet& s) { Ok(s); }), QDialog::Accepted);
    EXPECT_EQ(settings.PutCount(), 1u) << "only the unchanged serial number";
    EXPECT_EQ(Stored("I"), "0");

    Run([&](CMacroSheet& s) {
        Page(s, 3);
        Type(s, "K", "DL0ABC");
        Ok(s);
    });
    EXPECT_EQ(Stored("K"), "DL0ABC");
    EXPECT_EQ(Stored("H"), "");  // every key of a shown page is written
    for (const char* key : {"A", "U", "0", "5", "F2", "B"})
        EXPECT_EQ(Stored(key), "<missing>") << key;

    EXPECT_EQ(Run([&](CMacroSheet& s) {
                  Page(s, 3);
                  Type(s, "K", "G3XYZ");
                  Cancel(s);
              }),
              QDialog::Rejected);
    EXPECT_EQ(Stored("K"), "DL0ABC");
}

TEST_F(MacroSheetTest, BandIsStoredAsTheSliderPositionsText)
{
    struct Case {
        const char* stored;  // nullptr: never stored
        int position;
        const char* after;
    };
    for (const Case& c : {Case{"25", 0, "10"}, Case{nullptr, 0, "10"}, Case{"75", 7, "75"}, Case{"80", 8, "80"}}) {
        if (c.stored)
            settings.PutText("Settings", "B", c.stored);
        Run([&](CMacroSheet& s) {
            Page(s, 1);
            auto* slider = s.findChild<QSlider*>("B");
            EXPECT_EQ(slider->minimum(), 0);
            EXPECT_EQ(slider->maximum(), 8);
            EXPECT_EQ(slider->value(), c.position) << (c.stored ? c.stored : "none");
            Ok(s);
        });
        EXPECT_EQ(Stored("B"), c.after);
    }
    settings.PutText("Settings", "B", "10");
    Run([&](CMacroSheet& s) {
        Page(s, 1);
        auto* slider = s.findChild<QSlider*>("B");
        slider->setFocus();
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(slider, Qt::Key_Right);
        Ok(s);
    });
    EXPECT_EQ(Stored("B"), "20");
}

TEST_F(MacroSheetTest, ChangedSerialNumberReseedsTheDocumentOnlyWhenConfirmed)
{
    CVELTRANDoc doc(settings);
    doc.m_nSerialNumber = 57;  // Ctrl-I was pressed during this run
    Run(
        [&](CMacroSheet& s) {
            Page(s, 1);
            EXPECT_EQ(Field(s, "I")->text(), "0");
            Type(s, "I", "1x0-0");  // only typed digits are taken
            EXPECT_EQ(Field(s, "I")->text(), "100");
            Ok(s);
        },
        &doc);
    EXPECT_EQ(Stored("I"), "100");
    EXPECT_EQ(doc.m_nSerialNumber, 100);

    doc.m_nSerialNumber = 103;
    Run([&](CMacroSheet& s) {
        Page(s, 1);
        Ok(s);
    }, &doc);
    EXPECT_EQ(doc.m_nSerialNumber, 103) << "an unchanged number leaves the running one";

    Run(
        [&](CMacroSheet& s) {
            Page(s, 1);
            Type(s, "I", "7");
            Cancel(s);
        },
        &doc);
    EXPECT_EQ(Stored("I"), "100");
    EXPECT_EQ(doc.m_nSerialNumber, 103);

    // With no document an edited serial number is discarded even after OK.
    Run([&](CMacroSheet& s) {
        Page(s, 1);
        Type(s, "I", "7");
        Ok(s);
    });
    EXPECT_EQ(Stored("I"), "100");

    // A stored text that is no number is shown and kept as it is.
    settings.PutText("Settings", "I", "abc");
    Run([&](CMacroSheet& s) {
        Page(s, 1);
        Ok(s);
    }, &doc);
    EXPECT_EQ(Stored("I"), "abc");
    EXPECT_EQ(doc.m_nSerialNumber, 103);
}
