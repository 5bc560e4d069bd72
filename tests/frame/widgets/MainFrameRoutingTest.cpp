// Commands in the whole window: the panes carry what their rows say, and
// editing commands and their keys reach only the active pane (Ctrl+V with an
// empty clipboard or with the TNC pane active sends nothing on the RTTY link).
#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "frame/CommandRoutes.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"

#include <QClipboard>

namespace {

class MainFrameRouting : public FrameFixture {
protected:
    void MakeShown()
    {
        store.PutText("Settings", "V", "VVV");
        Make();
        ShowActive();
        receive = app->FindView<CVELTRANView>();
        transmit = app->FindView<CVELTRANView3>();
        tnc = app->FindView<CVELTRANView2>();
    }
    void Activate(QWidget* pane)
    {
        pane->setFocus(Qt::MouseFocusReason);
        ASSERT_EQ(frame->ActiveView(), pane);
    }

    CVELTRANView* receive = nullptr;
    CVELTRANView3* transmit = nullptr;
    CVELTRANView2* tnc = nullptr;
};

TEST_F(MainFrameRouting, EveryPaneCarriesTheAlwaysEnabledCommandsItsRowsGiveIt)
{
    // The router does not ask about these, so each owner must really carry
    // them (a row that asks may find a pane without the command: disabled).
    MakeShown();
    const std::pair<unsigned, CommandTarget*> panes[] = {
        {kOwnerReceivePane, receive}, {kOwnerTransmitPane, transmit}, {kOwnerTncPane, tnc}};
    for (const CommandRoute& route : CommandRoutes()) {
        if (route.enable != CommandEnable::kAlways)
            continue;
        for (const auto& [bit, pane] : panes) {
            CommandState state;
            if (route.owners & bit) {
                EXPECT_TRUE(pane->OnUpdateCommand(route.id, state)) << route.id << " on pane " << bit;
            }
        }
    }
}

TEST_F(MainFrameRouting, CtrlVWithAnEmptyClipboardDoesNothing)
{
    MakeShown();
    QGuiApplication::clipboard()->clear();
    Activate(transmit);
    EXPECT_FALSE(frame->QueryCommand(ID_EDIT_PASTE).enabled);
    QTest::keyClick(transmit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(transmit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(transmit->TypeAheadLine().LineText(), "");
    EXPECT_EQ(receive->Link().TxQueueLength(), 0u);
}

TEST_F(MainFrameRouting, EditingCommandsLeaveTheTransmitPaneAloneWhenAnotherPaneIsActive)
{
    MakeShown();
    QGuiApplication::clipboard()->setText(QStringLiteral("HELLO "));
    doc->AddText(" TYPED", CVELTRANDoc::kTransmitList);
    Activate(tnc);
    EXPECT_FALSE(frame->QueryCommand(ID_EDIT_PASTE).enabled);
    QTest::keyClick(tnc, Qt::Key_V, Qt::ControlModifier);
    EXPECT_FALSE(frame->ExecuteCommand(ID_EDIT_PASTE));
    EXPECT_EQ(transmit->TypeAheadLine().LineText(), "");
    EXPECT_EQ(receive->Link().TxQueueLength(), 0u);

    Activate(receive);
    EXPECT_FALSE(frame->QueryCommand(ID_FILE_IMPORT_TAPE).enabled);
    ASSERT_TRUE(frame->ExecuteCommand(ID_EDIT_CLEAR_SCREEN));
    EXPECT_EQ(doc->GetLineCount(CVELTRANDoc::kTransmitList), 1);

    Activate(transmit);
    ASSERT_TRUE(frame->ExecuteCommand(ID_EDIT_PASTE));
    EXPECT_EQ(transmit->TypeAheadLine().LineText(), "HELLO ");
}

TEST_F(MainFrameRouting, EveryCommandOfTheFrameHasARowThatCarriesIt)
{
    // A frame row without a handler would be a menu item that never works.
    Make();
    for (const CommandRoute& route : CommandRoutes()) {
        if (route.owners & kOwnerFrame) {
            EXPECT_TRUE(frame->FrameCommands().Has(route.id)) << route.id;
        }
    }
}

}  // namespace
