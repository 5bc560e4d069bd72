// The Ports dialog through its real controls, offscreen.
#include "app/CVELTRANApp.h"
#include "app/widgets/CPortsDialog.h"
#include "support/RecordingSettingsStore.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class PortsDialog : public ::testing::Test {
protected:
    void SetUp() override { app.LoadFonts(); }

    CPortsDialog& Open()
    {
        dialog = std::make_unique<CPortsDialog>(app, PortsDialogStatus{"RTTY state", "TNC state"});
        dialog->SetMessageSink([this](QWidget*, const QString& text) { messages << text; });
        dialog->show();
        return *dialog;
    }
    template <class T>
    T* Get(const char* name)
    {
        T* w = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    bool Checked(const char* name) { return Get<QAbstractButton>(name)->isChecked(); }
    // Near the left edge: a radio button or check box takes clicks on its
    // indicator and label only, not across the whole width it is given.
    void Click(const char* name)
    {
        QAbstractButton* b = Get<QAbstractButton>(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    void SetWidth(const char* name, const QString& text)
    {
        QLineEdit* field = Get<QLineEdit>(name);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

    RecordingSettingsStore store;
    CVELTRANApp app{store};
    std::unique_ptr<CPortsDialog> dialog;
    QStringList messages;
};

TEST_F(PortsDialog, FirstOpeningShowsTheDefaults)
{
    Open();
    EXPECT_EQ(dialog->windowTitle(), "COM Port Selection");
    QComboBox* rtty = Get<QComboBox>("rttyPort");
    ASSERT_EQ(rtty->count(), 9);
    EXPECT_EQ(rtty->itemText(0), " NONE");
    EXPECT_EQ(rtty->itemText(8), "COM8");
    EXPECT_EQ(rtty->currentText(), "COM1");
    EXPECT_EQ(Get<QComboBox>("tncPort")->currentText(), "COM2");
    EXPECT_EQ(Get<QComboBox>("tncBaud")->currentText(), "1200");
    for (const char* on : {"baud0", "type0", "duplex0", "rttyCrlf", "diddle", "diddleBeep"})
        EXPECT_TRUE(Checked(on)) << on;
    for (const char* off : {"rttyLflf", "rttyExtended", "disableDeadman", "tncCrlf"})
        EXPECT_FALSE(Checked(off)) << off;
    EXPECT_EQ(Get<QLineEdit>("rttyPageWidth")->text(), "67");
    EXPECT_EQ(Get<QLineEdit>("tncPageWidth")->text(), "67");
    EXPECT_EQ(Get<QAbstractButton>("baud3")->text(), "75");
}

TEST_F(PortsDialog, OkWritesEveryValueInItsOrderAnd75Stores74)
{
    Open();
    Click("baud3");
    Click("type1");
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const std::vector<std::string> order{
        "Ports/RTTYPort", "Ports/TNCPort",  "Ports/RTTYBaud",      "Ports/RTTYType",     "Ports/RTTYDuplex",
        "Ports/TNCBaud",  "Ports/RTTYExtended", "Ports/RTTYCRLF",  "Ports/RTTYLFLF",     "Ports/TNCCRLF",
        "Ports/Diddle",   "Ports/DiddleBeep", "Ports/RTTYPageWidth", "Ports/TNCPageWidth", "Ports/DisableDeadman"};
    EXPECT_EQ(store.writes, order);
    EXPECT_EQ(store.Get(keys::RTTYBaud), 74);
    EXPECT_EQ(store.Get(keys::RTTYType), 7);
    Open();
    EXPECT_TRUE(Checked("baud3"));
    EXPECT_TRUE(Checked("type1"));
}

TEST_F(PortsDialog, NoneStoresPortZeroAndDisablesPortSetup)
{
    Open();
    EXPECT_TRUE(Get<QPushButton>("rttySetup")->isEnabled());
    Get<QComboBox>("rttyPort")->setCurrentIndex(0);
    EXPECT_FALSE(Get<QPushButton>("rttySetup")->isEnabled());
    dialog->accept();
    EXPECT_EQ(store.Get(keys::RTTYPort), 0);
}

TEST_F(PortsDialog, PageWidthsOutsideTheRangeOrEmptyAreRefusedWithNothingWritten)
{
    const struct {
        const char* field;
        const char* text;
        const char* message;
    } cases[] = {
        {"rttyPageWidth", "34", "Please enter an integer between 35 and 180."},
        {"tncPageWidth", "181", "Please enter an integer between 35 and 180."},
        {"rttyPageWidth", "", "Please enter an integer."},
    };
    for (const auto& c : cases) {
        Open();
        messages.clear();
        SetWidth(c.field, QString::fromLatin1(c.text));
        dialog->accept();
        EXPECT_TRUE(dialog->isVisible()) << c.field << " " << c.text;
        EXPECT_EQ(store.PutCount(), 0u) << c.text;
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].toStdString(), c.message);
        EXPECT_EQ(dialog->focusWidget(), Get<QLineEdit>(c.field));
    }
    // Letters cannot be typed at all.
    SetWidth("rttyPageWidth", QStringLiteral("4x5"));
    EXPECT_EQ(Get<QLineEdit>("rttyPageWidth")->text(), "45");
}

TEST_F(PortsDialog, StoredValuesOutsideTheChoicesShowNoSelectionAndAreKept)
{
    store.Put(keys::RTTYPort, 12);
    store.Put(keys::RTTYType, 6);
    store.Put(keys::TNCBaud, 0);
    Open();
    EXPECT_EQ(Get<QComboBox>("rttyPort")->currentIndex(), -1);
    EXPECT_FALSE(Get<QPushButton>("rttySetup")->isEnabled());
    EXPECT_FALSE(Checked("type0") || Checked("type1") || Checked("type2"));
    EXPECT_EQ(Get<QComboBox>("tncBaud")->currentIndex(), -1);
    dialog->accept();
    EXPECT_EQ(store.Get(keys::RTTYPort), -1);  // no selection: no port
    EXPECT_EQ(store.Get(keys::RTTYType), 6);
    EXPECT_EQ(store.Get(keys::TNCBaud), 1200);  // never a speed of 0
}

TEST_F(PortsDialog, AFontChangeActsAtOnceAndSurvivesCancel)
{
    Open();
    QFont chosen(QStringLiteral("Courier"));
    chosen.setPixelSize(19);
    dialog->SetFontChooser([&](QWidget*, const QFont&, const QColor&) -> std::optional<PaneFontChoice> {
        return PaneFontChoice{chosen, QColor(0x10, 0x20, 0x30)};
    });
    Click("tncFont");
    dialog->reject();
    EXPECT_EQ(store.writes, (std::vector<std::string>{"Layout/DNCFaceName", "Layout/DNCStyleName", "Layout/DNCSize",
                                                      "Layout/DNCColor"}));
    EXPECT_EQ(store.Get(keys::DNCSize), -19);
    EXPECT_EQ(store.Get(keys::DNCColor), 0x302010);
    EXPECT_EQ(app.m_fontDNC.pixelSize(), 19);
    EXPECT_TRUE(app.m_fontDNC.fixedPitch());
    EXPECT_EQ(app.m_colorDNC, QColor(0x10, 0x20, 0x30));

    // A cancelled font chooser changes nothing.
    store.writes.clear();
    Open();
    dialog->SetFontChooser([](QWidget*, const QFont&, const QColor&) { return std::optional<PaneFontChoice>(); });
    Click("rttyFont");
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(PortsDialog, PortSetupChoicesAreWrittenOnOkOnlyAndCancelWritesNothing)
{
    auto chooser = [](QWidget*, int port, const std::string& current) -> std::optional<std::string> {
        EXPECT_EQ(port, 2);
        EXPECT_EQ(current, "sim:demo");  // the test main runs in demo mode
        return std::string("/dev/serial/by-id/usb-test");
    };
    Open();
    dialog->SetDeviceChooser(chooser);
    Click("tncSetup");
    Click("baud5");
    dialog->reject();
    EXPECT_EQ(store.PutCount(), 0u);
    Open();
    dialog->SetDeviceChooser(chooser);
    Click("tncSetup");
    dialog->accept();
    EXPECT_EQ(store.writes.back(), "Devices/COM2");
    EXPECT_EQ(store.GetText("Devices", "COM2", ""), "/dev/serial/by-id/usb-test");
}

}  // namespace
