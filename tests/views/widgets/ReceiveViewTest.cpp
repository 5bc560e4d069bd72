// The receive pane as a widget, offscreen: Baudot codes from the simulated
// modem through the link and the display thread onto the page; layout,
// scrolling, double clicks, the context menu and the deadman.
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "link/TickSource.h"
#include "views/FrameStatus.h"
#include "views/widgets/CVELTRANView.h"

#include "support/FakeFileSystem.h"
#include "support/ModalDriver.h"

#include <QDir>
#include <QFileDialog>

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

class FakeStatus : public FrameStatus {
public:
    void SetDiddlePaneText(const std::string&) override {}
    void SetAutoPaneText(const std::string& text) override { autoPane.push_back(text); }
    void SetModePaneText(const std::string&) override {}
    void SetBaudPaneNumber(int) override {}
    void UpdatePortStatus() override {}
    void SetMessageText(const QString&) override {}
    std::vector<std::string> autoPane;
};

class FakeClock : public TickSource {
public:
    uint32_t Now() const override { return now.load(); }
    std::atomic<uint32_t> now{100000};
};

// Baudot codes.
constexpr char kA = 3, kB = 25, kC = 14, kD = 9, kE = 1, kF = 13, kR = 10, kY = 21, kJ = 11;
constexpr char kCR = 8, kLF = 2, kFigs = 27, kLtrs = 31;

class ReceiveViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Made with no port: nothing opens through the device map.
        settings.Put(keys::RTTYPort, 0);
        app.SetClock(&clock);
        view = std::make_unique<CVELTRANView>(app, doc, status);
        view->SetBeepHook([this](CVELTRANView::BeepKind kind) {
            if (kind == CVELTRANView::BeepKind::kDefault)
                ++defaultBeeps;
            else
                ++exclamations;
        });
        view->SetMenuRunner([this](QMenu& menu, const QPoint&) {
            menuItems.clear();
            for (QAction* a : menu.actions())
                menuItems.push_back(a->text().toStdString());
            if (chooseItem >= 0 && chooseItem < menu.actions().size())
                menu.actions()[chooseItem]->trigger();
            ++menusShown;
        });
        h = view->m_tm.height;
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        SetRows(20);
    }

    void TearDown() override
    {
        view.reset();
        app.SetClock(nullptr);
    }

    void SetRows(int rows)
    {
        const int extra = view->height() - view->viewport()->height();
        view->resize(300, rows * h + extra);
        QCoreApplication::processEvents();
        ASSERT_EQ(view->viewport()->height(), rows * h);
    }

    // Configures port 1 on the simulated modem (after start-up, as the Ports
    // dialog would).
    void AttachModem(int dataBits = 5)
    {
        view->Link().SetDeviceOpener(
            [this](int) -> std::unique_ptr<PortDevice> { return std::make_unique<SharedPortDevice>(modem); });
        settings.Put(keys::RTTYPort, 1);
        settings.Put(keys::RTTYType, dataBits);
        view->ApplyPortSettings();
        ASSERT_TRUE(view->Link().IsOpen());
    }

    const LineList& List() const { return doc.GetList(CVELTRANDoc::kReceiveList); }

    bool WaitForCurrentLine(const std::string& line)
    {
        return QTest::qWaitFor([&] { return view->CurrentLine() == line; }, 10000);
    }
    bool WaitForListSize(size_t n)
    {
        return QTest::qWaitFor([&] { return List().size() == n; }, 10000);
    }

    // Centre of the row whose top is `top`.
    QPoint RowPoint(int top, int column = 2) const
    {
        return QPoint(column * view->m_tm.averageCharWidth + view->m_tm.averageCharWidth / 2, top + h / 2);
    }

    void RightClick(const QPoint& at)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(view->viewport(), &event);
    }

    MemorySettingsStore settings;
    FakeClock clock;
    CVELTRANApp app{settings};
    CVELTRANDoc doc{settings};
    FakeStatus status;
    std::shared_ptr<SimulatedModem> modem = std::make_shared<SimulatedModem>();
    std::unique_ptr<CVELTRANView> view;
    std::atomic<int> defaultBeeps{0};
    std::atomic<int> exclamations{0};
    std::vector<std::string> menuItems;
    int chooseItem = -1;
    int menusShown = 0;
    int h = 1;
};

TEST_F(ReceiveViewTest, PortConfiguredAfterStartUpShowsReceivedTextAtOnce)
{
    EXPECT_EQ(view->m_bDisplayRunning, 0u);
    AttachModem();
    EXPECT_EQ(view->m_bDisplayRunning, 1u);
    modem->Feed(std::string{kR, kY, kR, kY});
    EXPECT_TRUE(WaitForCurrentLine(" RYRY"));

    // Port set to 0 and back: the display comes back with it.
    settings.Put(keys::RTTYPort, 0);
    view->ApplyPortSettings();
    EXPECT_EQ(view->m_bDisplayRunning, 0u);
    EXPECT_FALSE(view->Link().IsOpen());
    settings.Put(keys::RTTYPort, 1);
    view->ApplyPortSettings();
    modem->Feed(std::string{kLF});
    EXPECT_TRUE(WaitForListSize(1));
    EXPECT_EQ(List()[0], " RYRY");
}

TEST_F(ReceiveViewTest, CrLfInOnePieceGivesListLineAndCurrentLine)
{
    AttachModem();
    modem->Feed(std::string{kA, kB, kC, kCR, kLF, kD, kE, kF});
    ASSERT_TRUE(WaitForCurrentLine(" DEF"));
    ASSERT_TRUE(WaitForListSize(1));
    EXPECT_EQ(List()[0], " ABC");
}

TEST_F(ReceiveViewTest, SixtySevenCharactersWithoutLineEndMakeOneLine)
{
    AttachModem();
    modem->Feed(std::string(67, kR));
    ASSERT_TRUE(WaitForListSize(1));
    EXPECT_EQ(List()[0], " " + std::string(67, 'R'));
    EXPECT_EQ(view->CurrentLine(), "");
    modem->Feed(std::string{kY});
    EXPECT_TRUE(WaitForCurrentLine(" Y"));
    EXPECT_EQ(List().size(), 1u);
}

TEST_F(ReceiveViewTest, TwoLinesInOnePieceAreAppendedInOrder)
{
    AttachModem();
    modem->Feed(std::string{kA, kCR, kLF, kB, kCR, kLF});
    ASSERT_TRUE(WaitForListSize(2));
    EXPECT_EQ(List()[0], " A");
    EXPECT_EQ(List()[1], " B");
    EXPECT_EQ(view->CurrentLine(), "");
}

TEST_F(ReceiveViewTest, ExtraLineFeedSettingFollowsEveryLineWithAnEmptyOne)
{
    settings.Put(keys::RTTYLFLF, 1);
    AttachModem();
    modem->Feed(std::string{kA, kLF, kB, kLF});
    ASSERT_TRUE(WaitForListSize(4));
    EXPECT_EQ(List(), (LineList{" A", "", " B", ""}));
}

TEST_F(ReceiveViewTest, BaudotBellBeepsOnceAndIsShown)
{
    AttachModem();
    modem->Feed(std::string{kFigs, kJ, kLtrs, kA});
    ASSERT_TRUE(WaitForCurrentLine(" *A"));
    EXPECT_EQ(defaultBeeps.load(), 1);
}

TEST_F(ReceiveViewTest, AsciiBelBeepsOnce)
{
    AttachModem(8);
    modem->Feed("X\x07*Y");
    ASSERT_TRUE(WaitForCurrentLine(" X\x07*Y"));
    EXPECT_EQ(defaultBeeps.load(), 1);
}

TEST_F(ReceiveViewTest, ArrivingCharactersRepaintOnlyTheCurrentLineRow)
{
    AttachModem();
    modem->Feed(std::string{kA});
    ASSERT_TRUE(WaitForCurrentLine(" A"));
    QCoreApplication::processEvents();
    std::vector<QRect> painted;
    QObject::connect(view.get(), &CVELTRANView::painted, [&](const QRect& r) { painted.push_back(r); });
    modem->Feed(std::string{kB});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !painted.empty(); }, 10000));
    EXPECT_EQ(painted.front(), view->m_rcCurrentLine);
    EXPECT_EQ(painted.front().height(), h);
}

TEST_F(ReceiveViewTest, ThreeLinesOnTwentyRowsFillRowsOneToFive)
{
    settings.Put(keys::XRMerge, 1);
    doc.AddText(" LINE1\n LINE2\n LINE3", CVELTRANDoc::kReceiveList);
    view->SetTxEcho("ECHO");
    const QImage image = view->viewport()->grab().toImage();
    EXPECT_EQ(view->m_rcCurrentLine.top(), 4 * h);
    EXPECT_EQ(view->m_rcTxEcho.top(), 3 * h);

    const QRgb base = view->palette().color(QPalette::Base).rgb();
    auto rowHasInk = [&](int row) {
        for (int y = (row - 1) * h; y < row * h; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != base)
                    return true;
        return false;
    };
    for (int row = 1; row <= 4; ++row)
        EXPECT_TRUE(rowHasInk(row)) << row;
    for (int row = 5; row <= 20; ++row)
        EXPECT_FALSE(rowHasInk(row)) << row;  // current line empty, the rest of the page too
}

TEST_F(ReceiveViewTest, PageUpWithThreeLinesScrollsFullyBackAndBarFollows)
{
    QScrollBar* bar = view->verticalScrollBar();
    EXPECT_FALSE(bar->isEnabled());  // nothing to scroll yet
    doc.AddText(" 1\n 2\n 3", CVELTRANDoc::kReceiveList);
    view->viewport()->repaint();
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->maximum(), 4);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(view->ScrollBack(), 4);
    EXPECT_EQ(bar->value(), 0);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view->ScrollBack(), 3);
    EXPECT_EQ(bar->value(), 1);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view->ScrollBack(), 0);
}

TEST_F(ReceiveViewTest, DoubleClickOnEchoRowSwapsShiftAndOnLowestListRowSwapsThatLine)
{
    settings.Put(keys::XRMerge, 1);
    doc.AddText(" A1\n -Q\n RY", CVELTRANDoc::kReceiveList);
    view->viewport()->repaint();
    ASSERT_EQ(view->m_link.m_bRxFigures, 0u);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, RowPoint(view->m_rcTxEcho.top()));
    EXPECT_EQ(view->m_link.m_bRxFigures, 1u);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, RowPoint(view->m_rcCurrentLine.top()));
    EXPECT_EQ(view->m_link.m_bRxFigures, 0u);

    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, RowPoint(view->m_rcTxEcho.top() - h));
    EXPECT_EQ(view->m_nSelLine, 3);
    EXPECT_EQ(List()[2], " 46");
    EXPECT_EQ(List()[0], " A1");
    // A click exactly on a row boundary hits nothing.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, view->m_rcTxEcho.top() - h));
    EXPECT_EQ(List()[1], " -Q");
}

TEST_F(ReceiveViewTest, RightClickOnEmptySpaceShowsNoMenuButSetsTheColumn)
{
    doc.AddText(" 1\n 2\n 3", CVELTRANDoc::kReceiveList);
    view->viewport()->repaint();
    RightClick(RowPoint(15 * h, 7));  // below the current line
    EXPECT_EQ(menusShown, 0);
    EXPECT_EQ(view->m_nSelColumn, 7);
    EXPECT_EQ(view->m_nSelLine, -1);

    RightClick(RowPoint(view->m_rcCurrentLine.top(), 1));
    EXPECT_EQ(menusShown, 1);
    EXPECT_EQ(menuItems, (std::vector<std::string>{"Swap Fgrs/Ltrs"}));
}

TEST_F(ReceiveViewTest, PasteKCallFromTheContextMenu)
{
    doc.AddText(" CQ DE abc k", CVELTRANDoc::kReceiveList);
    view->viewport()->repaint();
    const int row = view->m_rcTxEcho.top() - h;
    chooseItem = 1;  // "Paste K-Call"

    RightClick(RowPoint(row, 8));  // the b of abc
    EXPECT_EQ(menuItems, (std::vector<std::string>{"Swap Line", "Paste K-Call"}));
    EXPECT_EQ(view->m_nSelLine, 1);
    EXPECT_EQ(settings.Get(keys::MacroOtherCall), "ABC");

    settings.Put(keys::MacroOtherCall, "");
    RightClick(RowPoint(row, 6));  // the blank after DE
    EXPECT_EQ(settings.Get(keys::MacroOtherCall), "ABC");

    RightClick(RowPoint(row, 0));  // the marker column
    EXPECT_EQ(settings.Get(keys::MacroOtherCall), "CQ");
    EXPECT_EQ(List()[0], " CQ DE abc k");  // the line itself is untouched
}

TEST_F(ReceiveViewTest, SwapLineAndPasteKCallAfterClearScreenDoNothing)
{
    doc.AddText(" A1", CVELTRANDoc::kReceiveList);
    view->m_nSelLine = 1;
    view->m_nSelColumn = 1;
    CommandState state;
    ASSERT_TRUE(view->OnUpdateCommand(ID_EDIT_SWAP_LINE, state));
    EXPECT_TRUE(state.enabled);
    ASSERT_TRUE(view->OnCommand(ID_EDIT_CLEAR_SCREEN));
    EXPECT_TRUE(List().empty());
    EXPECT_EQ(view->m_nSelLine, 1);  // left as it was
    EXPECT_TRUE(view->OnCommand(ID_EDIT_SWAP_LINE));
    EXPECT_TRUE(view->OnCommand(ID_PASTE_KCALL));
    EXPECT_EQ(settings.Get(keys::MacroOtherCall), "");
    view->m_nSelLine = -1;
    view->OnUpdateCommand(ID_EDIT_SWAP_LINE, state);
    EXPECT_FALSE(state.enabled);
}

TEST_F(ReceiveViewTest, DeadmanForcesReceiveAfter601SecondsKeyed)
{
    AttachModem();
    settings.Put(keys::RTTYDuplex, 2);
    settings.Put(keys::Diddle, 0);  // no idle fill: the keying stays the test's own
    view->ApplyPortSettings();
    view->m_link.m_bTxActive = 1;
    view->m_link.KeyTransmitter();
    ASSERT_EQ(view->m_link.m_bKeyed.load(), 1u);
    for (int s = 1; s <= 600; ++s) {
        clock.now += 1000;
        view->DeadmanTick();
    }
    EXPECT_TRUE(status.autoPane.empty());
    EXPECT_EQ(view->m_link.m_bKeyed.load(), 1u);
    clock.now += 1000;
    view->DeadmanTick();
    ASSERT_EQ(status.autoPane.size(), 1u);
    EXPECT_EQ(status.autoPane.back(), "RXD      ");
    EXPECT_EQ(view->m_link.m_bKeyed.load(), 0u);
    EXPECT_EQ(view->m_link.m_bTxActive.load(), 0u);
    EXPECT_EQ(view->m_link.m_bTxHold.load(), 1u);
    EXPECT_FALSE(modem->Rts());
    EXPECT_EQ(exclamations.load(), 1);
    // The idle display keeps its poll stamp moving with the clock.
    EXPECT_EQ(view->m_dwLastPoll.load(), clock.now.load());
}

TEST_F(ReceiveViewTest, DisabledDeadmanNeverCounts)
{
    settings.Put(keys::DisableDeadman, 1);
    view->m_link.m_bTxActive = 1;
    for (int s = 0; s < 700; ++s)
        view->DeadmanTick();
    EXPECT_EQ(view->m_nDeadmanCount, 0);
    EXPECT_TRUE(status.autoPane.empty());
    EXPECT_EQ(exclamations.load(), 0);
}

TEST_F(ReceiveViewTest, DamagedPageWidthDoesNotFloodThePage)
{
    settings.Put(keys::RTTYPageWidth, 0);
    AttachModem();
    modem->Feed(std::string(40, kE));
    ASSERT_TRUE(WaitForCurrentLine(" EEEEE"));
    ASSERT_TRUE(WaitForListSize(1));
    EXPECT_EQ(List(), (LineList{" " + std::string(35, 'E')}));
}

TEST_F(ReceiveViewTest, ExportTapeGoesThroughTheInstalledHandler)
{
    CommandState state;
    view->OnUpdateCommand(ID_FILE_EXPORT_TAPE, state);
    EXPECT_TRUE(state.enabled);  // the tape dialogs' export by default
    view->SetExportTapeHandler({});
    view->OnUpdateCommand(ID_FILE_EXPORT_TAPE, state);
    EXPECT_FALSE(state.enabled);
    LineList exported;
    view->SetExportTapeHandler([&](QWidget*, const LineList& lines) { exported = lines; });
    doc.AddText(" X\n>Y", CVELTRANDoc::kReceiveList);
    EXPECT_TRUE(view->OnCommand(ID_FILE_EXPORT_TAPE));
    EXPECT_EQ(exported, (LineList{" X", ">Y"}));
}

TEST_F(ReceiveViewTest, ExportIntoAFolderThatRefusesTheFileTellsTheOperatorWhy)
{
    FakeFileSystem fs;
    const std::string folder = QDir::currentPath().toStdString();
    fs.SetReadOnlyFolder(folder);
    doc.AddText(" X", CVELTRANDoc::kReceiveList);
    QString shown;
    WhenModal([&](QDialog* d) {
        auto* files = qobject_cast<QFileDialog*>(d);
        if (!files)
            return;
        AnswerMessageBox(&shown);
        files->selectFile(QString::fromStdString(folder + "/out.txt"));
        d->accept();  // the file dialog's own accept, as its Save button does
    });
    EXPECT_TRUE(view->OnCommand(ID_FILE_EXPORT_TAPE));
    EXPECT_EQ(shown, "Permission denied");
    EXPECT_EQ(fs.Files(), std::vector<std::string>{});
}

}  // namespace
