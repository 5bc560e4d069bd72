// The TNC pane inside the main window: its keys reach the TNC (a pseudo-
// terminal here) past the window's accelerators.
#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "app/SettingsKeys.h"
#include "support/Pty.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"

#include <QAction>
#include <QSplitter>

namespace {

class TncPaneFrame : public FrameFixture {};

TEST_F(TncPaneFrame, ControlKeysArrowsAndMacrosReachTheTnc)
{
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    store.PutText(keys::kDevices, keys::DeviceKey(2), pty.Path());
    store.PutText("Settings", "A", "MYCALL ");
    store.PutText("Settings", "F2", "two ");
    Make();
    ShowActive();
    auto* tnc = qobject_cast<CVELTRANView2*>(frame->Splitter()->widget(2));
    ASSERT_NE(tnc, nullptr);
    ASSERT_TRUE(tnc->Link().IsOpen());
    tnc->setFocus();
    QTest::keyClick(tnc, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(tnc, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(tnc, Qt::Key_F2);
    QTest::keyClick(tnc, Qt::Key_Up);
    QTest::keyClick(tnc, Qt::Key_Tab);
    QTest::keyClick(tnc, Qt::Key_X);
    const std::string sent = "MYCALL \x01\x03two \x0b\tx";
    EXPECT_EQ(pty.ReadAtLeast(sent.size()), sent);
    EXPECT_EQ(QApplication::focusWidget(), tnc);
    tnc->Link().Connect(false);  // before the pseudo-terminal goes
}

TEST_F(TncPaneFrame, WindowAcceleratorsTypedThereAreTheTncsAndNeverKeyTheRttyStation)
{
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    store.PutText(keys::kDevices, keys::DeviceKey(2), pty.Path());
    store.PutText("Settings", "V", "VVV");
    Make();
    ShowActive();
    auto* tnc = app->FindView<CVELTRANView2>();
    auto* rtty = app->FindView<CVELTRANView>();
    auto* transmit = app->FindView<CVELTRANView3>();
    ASSERT_TRUE(tnc && rtty && transmit);
    ASSERT_TRUE(tnc->Link().IsOpen());
    tnc->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(frame->ActiveView(), tnc);

    // The menu's Transmit still works from here; the keys typed here don't
    // touch it: Ctrl+Q is XON for the TNC, not Receive.
    frame->Action(ID_TOOLS_TRANSMIT)->trigger();
    ASSERT_EQ(rtty->Link().m_bKeyed.load(), 1u);
    QTest::keyClick(tnc, Qt::Key_Q, Qt::ControlModifier);
    QTest::keyClick(tnc, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(rtty->Link().m_bKeyed.load(), 1u);
    EXPECT_EQ(rtty->Link().m_bTxActive.load(), 1u);
    frame->Action(ID_TOOLS_RECEIVE)->trigger();
    ASSERT_EQ(rtty->Link().m_bKeyed.load(), 0u);
    QTest::keyClick(tnc, Qt::Key_W, Qt::ControlModifier);
    QTest::keyClick(tnc, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(tnc, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(tnc, Qt::Key_X);
    // Each is its macro (built in for Q and W: their own control
    // characters), then its control character, as Ctrl+A is.
    const std::string sent = "\x11\x11\x13\x17\x17VVV\x16\x0ex";
    EXPECT_EQ(pty.ReadAtLeast(sent.size()), sent);
    EXPECT_EQ(rtty->Link().m_bKeyed.load(), 0u);
    EXPECT_EQ(rtty->Link().m_bTxActive.load(), 0u);
    EXPECT_EQ(rtty->Link().TxQueueLength(), 0u);
    EXPECT_EQ(transmit->TypeAheadLine().LineText(), "");
    EXPECT_EQ(QApplication::focusWidget(), tnc);
    tnc->Link().Connect(false);  // before the pseudo-terminal goes
}

}  // namespace
