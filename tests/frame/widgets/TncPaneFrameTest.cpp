// The TNC pane inside the main window: its keys reach the TNC (a pseudo-
// terminal here) past the window's accelerators.
#include "FrameFixture.h"

#include "app/SettingsKeys.h"
#include "support/Pty.h"
#include "views/widgets/CVELTRANView2.h"

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

}  // namespace
