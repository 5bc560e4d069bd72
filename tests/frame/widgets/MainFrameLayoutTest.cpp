#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "app/widgets/CSplashWnd.h"
#include "frame/BarStyle.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"

#include <QAction>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

namespace {

using MainFrameLayout = FrameFixture;

TEST_F(MainFrameLayout, FirstRunDefaults)
{
    Make();
    ShowActive();
    EXPECT_EQ(frame->toolBarArea(frame->MainToolBar()), Qt::TopToolBarArea);
    EXPECT_EQ(frame->toolBarArea(frame->FunctionBar()), Qt::TopToolBarArea);
    EXPECT_TRUE(frame->MainToolBar()->isVisible());
    EXPECT_FALSE(frame->FunctionBar()->isVisible());
    const QList<int> sizes = frame->Splitter()->sizes();
    ASSERT_EQ(sizes.size(), 3);
    EXPECT_EQ(sizes[0], 200);
    EXPECT_EQ(sizes[1], 300);
    EXPECT_GT(sizes[2], 0);
    // Pane 3 shows "Diddle" and pane 4 is empty until a pane writes them.
    EXPECT_EQ(frame->PaneText(3), "Diddle");
    EXPECT_EQ(frame->PaneText(4), "");
    EXPECT_EQ(frame->PaneText(0), "For Help, press F1");
    // An RTTY port is configured: the transmit pane is the active one.
    EXPECT_EQ(frame->ActiveView(), app->FindView<CVELTRANView3>());

    CloseAndDestroy();
    EXPECT_EQ(store.GetInt("Layout", "Split", -1), 200);
    EXPECT_EQ(store.GetInt("Layout", "Split2", -1), 300);
    EXPECT_EQ(store.GetInt("Layout", "Toolbar2", -1), 0);
    EXPECT_EQ(static_cast<uint32_t>(store.GetInt("Layout", "Toolbar Style", 0)), 0x50002834u);
    EXPECT_EQ(static_cast<uint32_t>(store.GetInt("Layout", "Toolbar Style 2", 0)), 0x50002834u);
    EXPECT_TRUE(store.Contains("Layout", "Top"));
}

TEST_F(MainFrameLayout, StoredHeightsAndPlacementAreUsed)
{
    store.PutInt("Layout", "Split", 120);
    store.PutInt("Layout", "Split2", 90);
    store.PutInt("Layout", "Left", 40);
    store.PutInt("Layout", "Top", 30);
    store.PutInt("Layout", "Right", 740);
    store.PutInt("Layout", "Bottom", 580);
    Make();
    EXPECT_EQ(frame->frameGeometry().topLeft(), QPoint(40, 30));
    EXPECT_EQ(frame->size(), QSize(700, 550));
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    const QList<int> sizes = frame->Splitter()->sizes();
    EXPECT_EQ(sizes[0], 120);
    EXPECT_EQ(sizes[1], 90);
}

TEST_F(MainFrameLayout, StoredRectangleAboveTheScreenOpensAtItsTop)
{
    store.PutInt("Layout", "Left", 10);
    store.PutInt("Layout", "Top", -900);
    store.PutInt("Layout", "Right", 410);
    store.PutInt("Layout", "Bottom", -600);
    Make();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(frame->frameGeometry().top(), screen.top());
    EXPECT_EQ(frame->height(), 300);
}

TEST_F(MainFrameLayout, BarDockedOnTheLeftStaysThereAfterARestart)
{
    Make();
    ShowActive();
    frame->addToolBar(Qt::LeftToolBarArea, frame->MainToolBar());
    frame->addToolBar(Qt::BottomToolBarArea, frame->FunctionBar());
    CloseAndDestroy();
    const uint32_t style = static_cast<uint32_t>(store.GetInt("Layout", "Toolbar Style", 0));
    EXPECT_EQ(style & barstyle::kAlignAny, barstyle::kAlignLeft);
    EXPECT_EQ(style & ~barstyle::kAlignAny, 0x50000834u);

    Make();
    ShowActive();
    EXPECT_EQ(frame->toolBarArea(frame->MainToolBar()), Qt::LeftToolBarArea);
    EXPECT_EQ(frame->toolBarArea(frame->FunctionBar()), Qt::BottomToolBarArea);
    EXPECT_FALSE(frame->FunctionBar()->isVisible());
}

TEST_F(MainFrameLayout, ClosingMaximisedKeepsTheStoredRectangleButSavesTheSplit)
{
    store.PutInt("Layout", "Left", 20);
    store.PutInt("Layout", "Top", 20);
    store.PutInt("Layout", "Right", 700);
    store.PutInt("Layout", "Bottom", 700);
    Make();
    frame->showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    ASSERT_TRUE(frame->isMaximized());
    QList<int> sizes = frame->Splitter()->sizes();
    sizes[0] = 90;
    frame->Splitter()->setSizes(sizes);
    const int split2 = frame->Splitter()->sizes()[1];
    CloseAndDestroy();
    EXPECT_EQ(store.GetInt("Layout", "Left", 0), 20);
    EXPECT_EQ(store.GetInt("Layout", "Top", 0), 20);
    EXPECT_EQ(store.GetInt("Layout", "Right", 0), 700);
    EXPECT_EQ(store.GetInt("Layout", "Bottom", 0), 700);
    EXPECT_EQ(store.GetInt("Layout", "Split", 0), 90);
    EXPECT_EQ(store.GetInt("Layout", "Split2", 0), split2);
}

TEST_F(MainFrameLayout, FunctionBarToggleFollowsItsCheckMarkAndIsStoredAtClose)
{
    Make();
    ShowActive();
    QAction* toggle = frame->Action(ID_VIEW_FUNCTION_BAR);
    ASSERT_NE(toggle, nullptr);
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(frame->FunctionBar()->isVisible());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_FALSE(store.Contains("Layout", "Toolbar2"));  // written only at close
    CloseAndDestroy();
    EXPECT_EQ(store.GetInt("Layout", "Toolbar2", 0), 1);
    Make();
    ShowActive();
    EXPECT_TRUE(frame->FunctionBar()->isVisible());
}

TEST_F(MainFrameLayout, HidingTheMainBarLastsForTheRunOnly)
{
    Make();
    ShowActive();
    frame->Action(ID_VIEW_TOOLBAR)->trigger();
    frame->Action(ID_VIEW_STATUS_BAR)->trigger();
    EXPECT_FALSE(frame->MainToolBar()->isVisible());
    EXPECT_FALSE(frame->statusBar()->isVisible());
    EXPECT_FALSE(frame->Action(ID_VIEW_TOOLBAR)->isChecked());
    CloseAndDestroy();
    Make();
    ShowActive();
    EXPECT_TRUE(frame->MainToolBar()->isVisible());
    EXPECT_TRUE(frame->statusBar()->isVisible());
}

TEST_F(MainFrameLayout, TncOnlyGivesAsciiWithTheTncBaudAndTheTncPaneActive)
{
    store.PutInt("Ports", "RTTYPort", 0);
    store.PutInt("Ports", "TNCPort", 2);
    store.PutInt("Ports", "TNCBaud", 9600);
    Make();
    ShowActive();
    EXPECT_EQ(frame->PaneText(5), "ASCII");
    EXPECT_EQ(frame->PaneText(6), "9600");
    EXPECT_EQ(frame->ActiveView(), app->FindView<CVELTRANView2>());
}

TEST_F(MainFrameLayout, NoPortGivesEmptyModeAndZero)
{
    store.PutInt("Ports", "RTTYPort", 0);
    store.PutInt("Ports", "TNCPort", 0);
    Make();
    EXPECT_EQ(frame->PaneText(5), "");
    EXPECT_EQ(frame->PaneText(6), "0");
}

TEST_F(MainFrameLayout, AsciiRttyPortShowsAsciiAndItsBaud)
{
    store.PutInt("Ports", "RTTYType", 7);
    store.PutInt("Ports", "RTTYBaud", 110);
    Make();
    EXPECT_EQ(frame->PaneText(5), "ASCII");
    EXPECT_EQ(frame->PaneText(6), "110");
    frame->SetBaudPaneNumber(-45);
    EXPECT_EQ(frame->PaneText(6), "-45");
}

TEST_F(MainFrameLayout, BaudotDefaultsShowRtty45)
{
    Make();
    EXPECT_EQ(frame->PaneText(5), "RTTY");
    EXPECT_EQ(frame->PaneText(6), "45");
}

TEST_F(MainFrameLayout, StatusPanesKeepTheirWidthAndStoredTextsComeBack)
{
    Make();
    ShowActive();
    QLabel* auto4 = frame->statusBar()->findChild<QLabel*>("StatusPane4");
    ASSERT_NE(auto4, nullptr);
    const int width = auto4->width();
    frame->SetAutoPaneText("Auto TXD   and a great deal more text");
    EXPECT_EQ(auto4->width(), width);
    frame->SetDiddlePaneText("12");
    frame->SetModePaneText("XYZ");
    frame->UpdateCommandStates();
    EXPECT_EQ(frame->PaneText(3), "12");
    EXPECT_EQ(frame->PaneText(4), "Auto TXD   and a great deal more text");
    frame->UpdatePortStatus();
    EXPECT_EQ(frame->PaneText(5), "RTTY");
}

TEST_F(MainFrameLayout, MenuPromptShowsInTheMessagePane)
{
    Make();
    ShowActive();
    frame->Action(ID_TOOLS_PORTS)->showStatusText(frame.get());
    EXPECT_EQ(frame->PaneText(0), "Set up the COM ports");
    frame->SetMessageText(QString());
    EXPECT_EQ(frame->PaneText(0), "For Help, press F1");
}

TEST_F(MainFrameLayout, SplashGoesOnAKeyPressThatDoesNothingElse)
{
    Make();
    ShowActive();
    const int before = doc->GetLineCount(CVELTRANDoc::kReceiveList);
    CSplashWnd::ShowSplashScreen(frame.get());
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    CSplashWnd::ShowSplashScreen(frame.get());  // again: only repaints
    QWidget* target = frame->ActiveView();
    // Ctrl+N would make a new document (and add the notice line).
    QTest::keyClick(target, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_EQ(doc->GetLineCount(CVELTRANDoc::kReceiveList), before);
    // With the splash gone (and the main window active again) the key works.
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(target, Qt::Key_N, Qt::ControlModifier);
    EXPECT_GT(doc->GetLineCount(CVELTRANDoc::kReceiveList), before);
}

TEST_F(MainFrameLayout, SplashGoesOnAMousePressAndNothingElseClosesIt)
{
    Make();
    ShowActive();
    CSplashWnd::ShowSplashScreen(frame.get());
    QTest::qWait(50);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    QTest::mouseMove(frame->ActiveView());
    EXPECT_NE(CSplashWnd::Current(), nullptr);
    QTest::mouseClick(frame->MainToolBar(), Qt::RightButton);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
}

}  // namespace
