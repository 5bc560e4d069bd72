// A rig set up through the Ports dialog's device chooser against a real
// rigctld: the status bar shows its frequency, and the RTTY port, keyed by
// CAT PTT, puts the rig on the air and takes it off again.
#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "app/RigSettings.h"
#include "link/ProgramRig.h"
#include "support/ModalDriver.h"
#include "support/Rigctld.h"
#include "views/widgets/CVELTRANView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>

namespace {

bool EventuallyWithEvents(const std::function<bool()>& done)
{
    for (int i = 0; i < 500; ++i) {
        if (done())
            return true;
        QTest::qWait(20);
    }
    return done();
}

class RigFrame : public FrameFixture {
protected:
    void TearDown() override
    {
        FrameFixture::TearDown();
        StopProgramRig();
    }
};

TEST_F(RigFrame, ChooserSetsUpRigctldWithCatPttFrequencyShownAndKeyingFollowed)
{
    RIGCTLD_OR_SKIP();
    Rigctld daemon;
    ASSERT_TRUE(daemon.Running());
    ASSERT_EQ(daemon.Command("F 14085000"), "RPRT 0");
    ASSERT_EQ(daemon.Command("M USB 2400"), "RPRT 0");
    Make();
    auto* rigPane = frame->statusBar()->findChild<QLabel*>(QStringLiteral("RigPane"));
    ASSERT_NE(rigPane, nullptr);
    EXPECT_EQ(rigPane->text(), "");   // no rig yet

    bool chose = false;
    WhenModal([&](QDialog* ports) {
        WhenModal([&](QDialog* chooser) {
            auto* model = chooser->findChild<QComboBox*>(QStringLiteral("rigModel"));
            model->setCurrentIndex(model->findData(2));
            auto* port = chooser->findChild<QLineEdit*>(QStringLiteral("rigPort"));
            port->setFocus();
            QTest::keyClicks(port, QString::fromStdString(daemon.Address()));
            auto* ptt = chooser->findChild<QComboBox*>(QStringLiteral("rigPtt"));
            ptt->setCurrentIndex(ptt->findData(static_cast<int>(RigSettings::Ptt::Cat)));
            chose = true;
            ClickButton(chooser, QDialogButtonBox::Ok);
        });
        QTest::mouseClick(ports->findChild<QPushButton*>(QStringLiteral("rttySetup")), Qt::LeftButton);
        ClickButton(ports, QDialogButtonBox::Ok);
    });
    frame->ExecuteCommand(ID_TOOLS_PORTS);
    ASSERT_TRUE(chose);
    EXPECT_EQ(store.GetInt("Rig", "Model", 0), 2);
    EXPECT_EQ(store.GetText("Rig", "PTT", ""), "cat");
    ASSERT_NE(ProgramRig(), nullptr);

    EXPECT_TRUE(EventuallyWithEvents([&] { return rigPane->text() == "14.085000 MHz USB"; }))
        << rigPane->text().toStdString();

    auto* receive = qobject_cast<CVELTRANView*>(frame->Splitter()->widget(0));
    SerialLink& link = receive->Link();
    ASSERT_TRUE(link.IsOpen());
    EXPECT_EQ(daemon.Ptt(), false);
    frame->ExecuteCommand(ID_TOOLS_TRANSMIT);
    EXPECT_TRUE(EventuallyWithEvents([&] { return daemon.Ptt() == true; }));
    frame->ExecuteCommand(ID_TOOLS_RECEIVE);
    EXPECT_TRUE(EventuallyWithEvents([&] { return !link.m_bKeyed && daemon.Ptt() == false; }));
}

}  // namespace
