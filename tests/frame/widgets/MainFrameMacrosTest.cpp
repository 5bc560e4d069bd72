// Edit > Macros from the frame: enabled in the menu and on the tool bar, it
// opens the macro sheet, and a control-key macro typed there is what that key
// then sends from the transmit pane on the simulated modem.
#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "macros/widgets/CMacroSheet.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView3.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

namespace {

std::string Written(const SimulatedModem& modem)
{
    std::string all;
    for (const std::string& w : modem.Writes())
        all += w;
    return all;
}

class MainFrameMacros : public FrameFixture {};

}  // namespace

TEST_F(MainFrameMacros, ControlKeyMacroTypedInTheSheetIsWhatTheKeySends)
{
    store.Put(keys::RTTYType, 8);
    store.Put(keys::RTTYBaud, 110);
    store.Put(keys::Diddle, 0);
    store.Put(keys::CharMode, 1);
    store.Put(keys::WordMode, 0);
    store.PutText("Settings", "C", "W1AW");
    Make();
    auto modem = std::make_shared<SimulatedModem>("quiet");
    SerialLink& link = app->FindView<CVELTRANView>()->Link();
    link.Connect(false);
    link.SetDeviceOpener(
        [modem](int) -> std::unique_ptr<PortDevice> { return std::make_unique<SharedPortDevice>(modem); });
    frame->OnPortsConfirmed();
    ShowActive();
    ASSERT_TRUE(modem->IsOpen());

    frame->UpdateCommandStates();
    QAction* macros = frame->Action(ID_EDIT_MACROS);
    ASSERT_TRUE(macros->isEnabled());
    EXPECT_TRUE(frame->MainToolBar()->widgetForAction(macros)->isEnabled());

    bool edited = false;
    QTimer::singleShot(0, frame.get(), [&] {
        auto* sheet = qobject_cast<CMacroSheet*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        QTabBar* bar = sheet->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        QTest::keyClicks(sheet->findChild<QLineEdit*>("A"), "^WCQ DE ^C, k");
        QTest::mouseClick(sheet->Buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        edited = true;
    });
    macros->trigger();
    ASSERT_TRUE(edited);
    EXPECT_EQ(store.GetText("Settings", "A", ""), "^WCQ DE ^C, k");

    auto* transmit = app->FindView<CVELTRANView3>();
    transmit->setFocus();
    QTest::keyClick(transmit, Qt::Key_A, Qt::ControlModifier);
    QDeadlineTimer deadline(20000);
    while (Written(*modem).find("CQ DE W1AW, k") == std::string::npos && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_NE(Written(*modem).find("CQ DE W1AW, k"), std::string::npos) << Written(*modem);
}
