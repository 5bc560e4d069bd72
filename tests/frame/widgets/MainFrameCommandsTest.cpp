#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "frame/widgets/HelpWindow.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolBar>
#include <map>

namespace {

using MainFrameCommands = FrameFixture;

// Every action reachable from the menu bar, by command id, with the popup path.
void CollectMenu(QMenu* menu, std::map<int, QAction*>& out)
{
    for (QAction* a : menu->actions()) {
        if (a->menu())
            CollectMenu(a->menu(), out);
        else if (a->data().isValid())
            out[a->data().toInt()] = a;
    }
}

TEST_F(MainFrameCommands, EveryMenuCommandCarriesItsTextPromptAndTip)
{
    Make();
    std::map<int, QAction*> menu;
    for (QAction* top : frame->menuBar()->actions())
        CollectMenu(top->menu(), menu);
    int menuItems = 0;
    for (const CommandInfo& c : CommandTable()) {
        const std::string text = c.menuText;
        if (text.empty() || c.id == ID_FILE_MRU_FILE1)
            continue;
        ++menuItems;
        ASSERT_TRUE(menu.count(c.id)) << "no menu item for " << c.id;
        QAction* a = menu[c.id];
        EXPECT_EQ(a->text().toStdString(), text) << c.id;
        EXPECT_EQ(a->statusTip().toStdString(), c.prompt) << c.id;
        EXPECT_EQ(a->toolTip().toStdString(), c.toolTip) << c.id;
    }
    EXPECT_EQ(menuItems, 43);
    // Commands raised only by the panes have no menu item.
    EXPECT_FALSE(menu.count(ID_REPEAT_LAST));
    EXPECT_FALSE(menu.count(ID_DUPLICATE));
    EXPECT_FALSE(menu.count(ID_PASTE_KCALL));
}

TEST_F(MainFrameCommands, BarsHoldTheirButtonsInOrder)
{
    Make();
    std::vector<int> main;
    for (QAction* a : frame->MainToolBar()->actions())
        main.push_back(a->isSeparator() ? 0 : a->data().toInt());
    const std::vector<int> expected = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_SEND_CQ, ID_SEND_BRAG,
                                       ID_SEND_EXCHANGE, 0, ID_EDIT_PASTE, ID_EDIT_SWAP_FIGS, ID_EDIT_MACROS,
                                       ID_EDIT_CLEAR_SCREEN, 0, ID_FILE_PRINT, 0, ID_TOOLS_PORTS, 0,
                                       ID_TOOLS_TRANSMIT, ID_TOOLS_RECEIVE, ID_TOOLS_SEND_RECEIVE,
                                       ID_TOOLS_CLEAR_TX_BUFFER, ID_TOOLS_LINE_MODE, ID_TOOLS_WORD_MODE,
                                       ID_TOOLS_CHAR_MODE, 0, ID_APP_ABOUT};
    EXPECT_EQ(main, expected);
    QStringList tips;
    for (QAction* a : frame->FunctionBar()->actions()) {
        tips.append(a->toolTip());
        EXPECT_FALSE(a->icon().isNull());
    }
    EXPECT_EQ(tips, (QStringList{"F2", "F4", "F5", "F6", "F7", "F8", "F9"}));
    for (QAction* a : frame->MainToolBar()->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->data().toInt();
        }
    }
}

TEST_F(MainFrameCommands, EachAcceleratorReachesItsCommand)
{
    Make();
    ShowActive();
    // Only the key-to-command path is under test: the commands themselves
    // (dialogs, printing) are cut off, and every action is enabled.
    for (const Accelerator& acc : AcceleratorTable()) {
        QAction* action = frame->Action(acc.id);
        ASSERT_NE(action, nullptr) << acc.keys;
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    }
    for (const Accelerator& acc : AcceleratorTable()) {
        QAction* action = frame->Action(acc.id);
        action->setEnabled(true);
        QSignalSpy spy(action, &QAction::triggered);
        const QKeySequence seq(QString::fromLatin1(acc.keys));
        const QKeyCombination combo = seq[0];
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : frame.get();
        QTest::keyClick(target, combo.key(), combo.keyboardModifiers());
        EXPECT_EQ(spy.count(), 1) << acc.keys;
    }
}

TEST_F(MainFrameCommands, F6AndShiftF6WalkThePanes)
{
    Make();
    ShowActive();
    auto* receive = app->FindView<CVELTRANView>();
    auto* transmit = app->FindView<CVELTRANView3>();
    auto* tnc = app->FindView<CVELTRANView2>();
    ASSERT_EQ(frame->ActiveView(), transmit);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_EQ(frame->ActiveView(), tnc);
    EXPECT_TRUE(tnc->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_EQ(frame->ActiveView(), receive);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(frame->ActiveView(), tnc);
    // A click in a pane makes it the active one too.
    receive->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(frame->ActiveView(), receive);
}

TEST_F(MainFrameCommands, FrameAndDialogCommandsAreAlwaysAvailable)
{
    Make();
    for (int id : {ID_TOOLS_PORTS, ID_TOOLS_OPTIONS, ID_TOOLS_KCALL, ID_EDIT_CQ_TAPE, ID_EDIT_BRAG_TAPE,
                   ID_EDIT_EXCHANGE_TAPE, ID_EDIT_STARTUP_TAPE, ID_EDIT_TNC_STARTUP_TAPE, ID_EDIT_NEW_TAPE})
        EXPECT_TRUE(frame->QueryCommand(id).enabled) << id;
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_PRINT_SETUP, ID_APP_EXIT,
                   ID_HELP_FINDER, ID_APP_ABOUT, ID_WINDOW_SPLIT, ID_FILE_SEND_MAIL})
        EXPECT_TRUE(frame->QueryCommand(id).enabled) << id;
}

class ProbeTarget : public CommandTarget {
public:
    ProbeTarget(int id, bool enabled) : m_id(id), m_enabled(enabled) {}
    bool OnCommand(int id) override
    {
        if (id != m_id)
            return false;
        ++runs;
        return true;
    }
    bool OnUpdateCommand(int id, CommandState& state) override
    {
        if (id != m_id)
            return false;
        ++queries;
        state.enabled = m_enabled;
        state.checked = true;
        return true;
    }
    int runs = 0;
    int queries = 0;

private:
    int m_id;
    bool m_enabled;
};

TEST_F(MainFrameCommands, ExtraTargetsComeAfterThePanesAndBeforeTheFrame)
{
    Make();
    ProbeTarget ports(ID_TOOLS_PORTS, true);
    ProbeTarget portsToo(ID_TOOLS_PORTS, true);
    ProbeTarget disabledOptions(ID_TOOLS_OPTIONS, false);
    frame->AddCommandTarget(&ports);
    frame->AddCommandTarget(&portsToo);
    frame->AddCommandTarget(&disabledOptions);
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->Action(ID_TOOLS_PORTS)->isEnabled());
    frame->Action(ID_TOOLS_PORTS)->trigger();
    EXPECT_EQ(ports.runs, 1);
    EXPECT_EQ(portsToo.runs, 0);
    // A target that says "disabled" keeps the command from running at all.
    EXPECT_FALSE(frame->Action(ID_TOOLS_OPTIONS)->isEnabled());
    EXPECT_FALSE(frame->ExecuteCommand(ID_TOOLS_OPTIONS));
    EXPECT_EQ(disabledOptions.runs, 0);
}

TEST_F(MainFrameCommands, PrintingIsAskedOfTheActivePaneOnly)
{
    Make();
    ProbeTarget printer(ID_FILE_PRINT, true);
    ProbeTarget preview(ID_FILE_PRINT_PREVIEW, true);
    frame->AddCommandTarget(&printer);
    frame->AddCommandTarget(&preview);
    ProbeTarget options(ID_TOOLS_OPTIONS, true);
    frame->AddCommandTarget(&options);
    frame->UpdateCommandStates();
    EXPECT_EQ(printer.queries + preview.queries, 0);
    EXPECT_GT(options.queries, 0);  // other commands do reach the extra targets
    // Print Setup is the frame's own and always there.
    EXPECT_TRUE(frame->Action(ID_FILE_PRINT_SETUP)->isEnabled());
}

TEST_F(MainFrameCommands, SplitMovesTheDividersFromTheKeyboard)
{
    Make();
    ShowActive();
    const QList<int> start = frame->Splitter()->sizes();
    ASSERT_TRUE(frame->ExecuteCommand(ID_WINDOW_SPLIT));
    QWidget* w = QApplication::focusWidget();
    QTest::keyClick(w, Qt::Key_Down);
    QTest::keyClick(w, Qt::Key_Down);
    EXPECT_EQ(frame->Splitter()->sizes()[0], start[0] + 16);
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_EQ(frame->Splitter()->sizes(), start);

    frame->ExecuteCommand(ID_WINDOW_SPLIT);
    QTest::keyClick(w, Qt::Key_Tab);
    QTest::keyClick(w, Qt::Key_Up, Qt::ControlModifier);
    // An accelerator key does nothing while the dividers move.
    const int lines = doc->GetLineCount(CVELTRANDoc::kReceiveList);
    QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(doc->GetLineCount(CVELTRANDoc::kReceiveList), lines);
    QTest::keyClick(w, Qt::Key_Return);
    const QList<int> after = frame->Splitter()->sizes();
    EXPECT_EQ(after[0], start[0]);
    EXPECT_EQ(after[1], start[1] - 1);
    // The row-0 minimum holds however far it is pushed.
    frame->ExecuteCommand(ID_WINDOW_SPLIT);
    for (int i = 0; i < 60; ++i)
        QTest::keyClick(w, Qt::Key_Up);
    QTest::keyClick(w, Qt::Key_Return);
    EXPECT_EQ(frame->Splitter()->sizes()[0], 50);
}

TEST_F(MainFrameCommands, HelpTopicsShowsTheUserGuide)
{
    Make();
    ShowActive();
    frame->ExecuteCommand(ID_HELP_FINDER);
    auto* help = frame->findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const QString text = help->Browser()->toPlainText();
    for (const char* topic : {"Macros and caret codes", "Tapes", "REPORT.TXT", "[Devices]", "Keys"})
        EXPECT_TRUE(text.contains(QLatin1String(topic))) << topic;
    frame->ExecuteCommand(ID_HELP);
    EXPECT_EQ(frame->findChildren<HelpWindow*>().size(), 1);
}

TEST_F(MainFrameCommands, PortsConfirmedReappliesEveryPaneAndTheStatus)
{
    Make();
    EXPECT_EQ(frame->PaneText(5), "RTTY");
    store.PutInt("Ports", "RTTYPort", 0);
    store.PutInt("Ports", "TNCBaud", 4800);
    frame->OnPortsConfirmed();
    EXPECT_EQ(app->FindView<CVELTRANView3>()->m_bPortOpen, 0u);
    EXPECT_EQ(frame->PaneText(5), "ASCII");
    EXPECT_EQ(frame->PaneText(6), "4800");
}

}  // namespace
