// The transmit pane as a widget: Qt key events reach the type-ahead rules,
// painting (grey while the port is closed, note lines highlighted), the
// context menu and double click, commands and their states, printing to PDF,
// and the whole road from typed keys to Baudot codes on the simulated modem.
#include "TransmitFakes.h"

#include "app/CVELTRANApp.h"
#include "app/CommandTable.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "views/TransmitLayout.h"
#include "views/VirtualKey.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView3.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The two RTTY panes over a simulated modem the test keeps a handle on.
struct Panes {
    explicit Panes(int rttyPort = 1)
    {
        settings.Put(keys::RTTYPort, rttyPort);
        settings.Put(keys::Diddle, 0);
        settings.PutText("Devices", "COM1", "sim:quiet");
    }

    void Make()
    {
        rv = std::make_unique<CVELTRANView>(app, doc, status);
        rv->Link().Connect(false);
        rv->Link().SetDeviceOpener(
            [m = modem](int) -> std::unique_ptr<PortDevice> { return std::make_unique<SharedPortDevice>(m); });
        rv->ApplyPortSettings();
        tv = std::make_unique<CVELTRANView3>(app, doc, status);
        tv->SetMacroHandler([this](int key) { macros.push_back(key); });
        tv->resize(400, 200);
        QCoreApplication::processEvents();  // the pane becomes ready
    }

    const LineList& History() const { return doc.GetList(CVELTRANDoc::kTransmitList); }
    const LineList& ReceiveList() const { return doc.GetList(CVELTRANDoc::kReceiveList); }
    CommandState State(int id)
    {
        CommandState state;
        EXPECT_TRUE(tv->OnUpdateCommand(id, state)) << id;
        return state;
    }

    MemorySettingsStore settings;
    CVELTRANDoc doc{settings};
    CVELTRANApp app{settings};
    txfake::Status status;
    std::shared_ptr<SimulatedModem> modem = std::make_shared<SimulatedModem>("plain");
    std::vector<int> macros;
    std::unique_ptr<CVELTRANView> rv;
    std::unique_ptr<CVELTRANView3> tv;
};

// Bytes of all writes the modem took, in order.
std::string Written(const SimulatedModem& modem)
{
    std::string all;
    for (const std::string& w : modem.Writes())
        all += w;
    return all;
}

TEST(TransmitViewTest, TypedLineReachesTheModemAsBaudotAfterTransmit)
{
    Panes panes;
    panes.settings.Put(keys::WordMode, 0);
    panes.Make();
    ASSERT_TRUE(panes.modem->IsOpen());
    ASSERT_TRUE(panes.tv->m_bPortOpen);

    QTest::keyClicks(panes.tv.get(), "cq cq de test");
    QTest::keyClick(panes.tv.get(), Qt::Key_Return);
    ASSERT_EQ(panes.History().back(), " > cq cq de test");
    EXPECT_EQ(panes.ReceiveList().back(), ">CQ CQ DE TEST");
    // Under Manual the link is held: nothing goes out before Transmit.
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(panes.modem->Writes().empty());

    const auto pressed = SimulatedModem::Clock::now();
    panes.tv->OnCommand(ID_TOOLS_TRANSMIT);
    EXPECT_EQ(panes.status.LastAuto(), "TXD      ");
    const std::string expected{31,  // the shift code pushed at Transmit
                               31, 14, 23, 4, 14, 23, 4, 9, 1, 4, 16, 1, 5, 16, 8, 8, 2};
    ASSERT_TRUE(panes.modem->WaitFor(
        [&](const std::vector<SimEvent>& log) {
            size_t bytes = 0;
            for (const SimEvent& e : log)
                bytes += e.kind == SimEvent::Kind::Write ? e.bytes.size() : 0;
            return bytes >= expected.size();
        },
        10s));
    EXPECT_EQ(Written(*panes.modem), expected);

    // Let the last character leave the line, then go back to receive.
    std::this_thread::sleep_for(panes.modem->CharTime() * 2);
    panes.tv->OnCommand(ID_TOOLS_RECEIVE);
    EXPECT_EQ(panes.status.LastAuto(), "RXD      ");

    const std::vector<SimEvent> log = panes.modem->Log();
    auto find = [&](auto pred) {
        return std::find_if(log.begin(), log.end(), pred);
    };
    const auto rtsOn = find([](const SimEvent& e) { return e.kind == SimEvent::Kind::Rts && e.level; });
    const auto firstWrite = find([](const SimEvent& e) { return e.kind == SimEvent::Kind::Write; });
    const auto rtsOff = std::find_if(rtsOn == log.end() ? log.end() : rtsOn + 1, log.end(),
                                     [](const SimEvent& e) { return e.kind == SimEvent::Kind::Rts && !e.level; });
    ASSERT_NE(rtsOn, log.end());
    ASSERT_NE(firstWrite, log.end());
    ASSERT_NE(rtsOff, log.end());
    EXPECT_LT(rtsOn - log.begin(), firstWrite - log.begin());
    EXPECT_GE(rtsOn->time - pressed, 100ms);
    EXPECT_GE(firstWrite->time - rtsOn->time, 100ms);
    // The text keeps its 100 ms tail after its last stop bit; idle fill
    // after it is no text, and Receive cuts it at once.
    SimulatedModem::Clock::time_point textEnd{};
    for (const SimEvent& e : log) {
        if (e.kind == SimEvent::Kind::Write && e.bytes.find_first_not_of('\x1F') != std::string::npos)
            textEnd = std::max(textEnd, e.ends);
    }
    EXPECT_GE(rtsOff->time - textEnd, 100ms);
    EXPECT_FALSE(panes.modem->Rts());
}

TEST(TransmitViewTest, KeyEventsMapToKeysAndCharacters)
{
    Panes panes;
    panes.settings.Put(keys::WordMode, 0);
    panes.Make();
    CVELTRANView3& tv = *panes.tv;
    QTest::keyClicks(&tv, "CQ DX");
    QTest::keyClick(&tv, Qt::Key_Home);
    QTest::keyClick(&tv, Qt::Key_Delete);  // deletes, inserts no DEL character
    QTest::keyClick(&tv, Qt::Key_End);
    QTest::keyClick(&tv, Qt::Key_Backspace);
    EXPECT_EQ(tv.TypeAheadLine().Line(), "Q D");

    QTest::keyClick(&tv, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&tv, Qt::Key_F4);
    QTest::keyClick(&tv, Qt::Key_T, Qt::AltModifier);  // a menu key, never text
    EXPECT_EQ(panes.macros, (std::vector<int>{'C', vkey::kF4}));
    EXPECT_EQ(tv.TypeAheadLine().Line(), "Q D");

    QTest::keyClick(&tv, Qt::Key_Escape);  // 27 is text
    QTest::keyClick(&tv, Qt::Key_Tab);  // below 27: ignored
    EXPECT_EQ(tv.TypeAheadLine().Line(), "Q D\x1b");
}

TEST(TransmitViewTest, ClosedPortIgnoresTypingAndPaintsGrey)
{
    Panes panes(0);
    panes.Make();
    CVELTRANView3& tv = *panes.tv;
    EXPECT_FALSE(tv.m_bPortOpen);
    QPalette palette = tv.palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0, 0, 255));
    palette.setColor(QPalette::Base, Qt::white);
    tv.setPalette(palette);
    tv.TypeAheadLine().InsertText("XXXXXXXX");  // text on the current line to see its colour
    QTest::keyClicks(&tv, "MORE");
    EXPECT_EQ(tv.TypeAheadLine().LineText(), "XXXXXXXX");

    const QImage image = tv.viewport()->grab().toImage();
    bool blue = false;
    for (int y = 0; y < image.height() && !blue; ++y)
        for (int x = 0; x < image.width() && !blue; ++x)
            blue = image.pixelColor(x, y) == QColor(0, 0, 255);
    EXPECT_TRUE(blue);
}

// Rows (in pixels) where the highlight colour was painted.
std::vector<int> HighlightedRows(CVELTRANView3& tv)
{
    const QImage image = tv.viewport()->grab().toImage();
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == QColor(255, 0, 0)) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

TEST(TransmitViewTest, NoteLinesAreHighlightedAndNotOfferedButDuplicateOnDoubleClick)
{
    Panes panes;
    panes.Make();
    CVELTRANView3& tv = *panes.tv;
    QPalette palette = tv.palette();
    palette.setColor(QPalette::Highlight, QColor(255, 0, 0));
    palette.setColor(QPalette::Base, Qt::white);
    tv.setPalette(palette);
    panes.doc.AddText(" > CQ", CVELTRANDoc::kTransmitList);
    panes.doc.AddText(">* Import Complete *", CVELTRANDoc::kTransmitList);
    panes.doc.AddText(" > QRZ", CVELTRANDoc::kTransmitList);

    const int h = tv.LineHeight();
    const int bottom = TransmitLayout::BottomEdge(tv.viewport()->height(), h, 3);
    const int noteRowTop = bottom - 3 * h;  // current line, then QRZ, then the note
    const std::vector<int> rows = HighlightedRows(tv);
    ASSERT_FALSE(rows.empty());
    for (int y : rows) {
        EXPECT_GE(y, noteRowTop);
        EXPECT_LT(y, noteRowTop + h);
    }

    const std::vector<CVELTRANView3::MenuItem> noteMenu = tv.ContextMenuItems(noteRowTop + h / 2);
    ASSERT_EQ(noteMenu.size(), 2u);
    EXPECT_EQ(noteMenu[0].id, ID_DUPLICATE);
    EXPECT_FALSE(noteMenu[0].enabled);
    EXPECT_FALSE(noteMenu[1].enabled);
    EXPECT_EQ(tv.TypeAheadLine().SelLine(), 2);

    const std::vector<CVELTRANView3::MenuItem> lineMenu = tv.ContextMenuItems(bottom - 2 * h + h / 2);
    ASSERT_EQ(lineMenu.size(), 2u);
    EXPECT_TRUE(lineMenu[0].enabled);
    EXPECT_EQ(lineMenu[1].text, "Copy");

    const std::vector<CVELTRANView3::MenuItem> current = tv.ContextMenuItems(bottom - h / 2);
    ASSERT_EQ(current.size(), 8u);
    EXPECT_EQ(current[0].text, "Repeat Last Command");
    EXPECT_EQ(current[5].id, ID_SEND_CQ);
    EXPECT_TRUE(tv.ContextMenuItems(bottom + h / 2).empty());

    QTest::mouseDClick(tv.viewport(), Qt::LeftButton, {}, QPoint(10, noteRowTop + h / 2));
    EXPECT_EQ(tv.TypeAheadLine().LineText(), "* Import Complete *");
}

TEST(TransmitViewTest, CommandsAndTheirStates)
{
    Panes panes;
    panes.Make();
    CVELTRANView3& tv = *panes.tv;
    EXPECT_TRUE(panes.State(ID_TOOLS_WORD_MODE).checked);
    tv.OnCommand(ID_TOOLS_LINE_MODE);
    EXPECT_TRUE(panes.State(ID_TOOLS_LINE_MODE).checked);
    EXPECT_FALSE(panes.State(ID_TOOLS_WORD_MODE).checked);
    EXPECT_TRUE(panes.State(ID_TOOLS_RECEIVE).checked);
    EXPECT_FALSE(panes.State(ID_TOOLS_TRANSMIT).checked);
    EXPECT_TRUE(panes.State(ID_TOOLS_SEND_RECEIVE).enabled);
    EXPECT_FALSE(panes.State(ID_EDIT_COPY).enabled);

    QTest::keyClicks(&tv, "RST 599");
    QTest::keyClick(&tv, Qt::Key_Return);
    tv.TypeAheadLine().SetSelLine(1);
    tv.OnCommand(ID_EDIT_COPY);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "> RST 599");
    EXPECT_TRUE(panes.State(ID_EDIT_PASTE).enabled);
    tv.OnCommand(ID_EDIT_PASTE);
    EXPECT_EQ(tv.TypeAheadLine().Line(), "> RST 599");

    tv.OnCommand(ID_EDIT_CLEAR_SCREEN);
    EXPECT_TRUE(panes.History().empty());
    EXPECT_TRUE(panes.ReceiveList().empty());

    panes.settings.Put(keys::RTTYDuplex, 2);
    EXPECT_FALSE(panes.State(ID_TOOLS_SEND_RECEIVE).enabled);
    panes.app.m_bTestMode = 1;
    EXPECT_TRUE(panes.State(ID_TOOLS_SEND_RECEIVE).enabled);
}

TEST(TransmitViewTest, ModesAreWrittenBackWhenThePaneCloses)
{
    Panes panes;
    panes.settings.Put(keys::WordMode, 1);
    panes.Make();
    panes.tv->OnCommand(ID_TOOLS_CHAR_MODE);
    panes.tv.reset();
    EXPECT_EQ(panes.settings.Get(keys::CharMode), 1);
    EXPECT_EQ(panes.settings.Get(keys::WordMode), 0);
}

TEST(TransmitViewTest, PrintsReceiveListWithTypedLineToPdf)
{
    Panes panes;
    panes.Make();
    for (int i = 0; i < 5; ++i)
        panes.doc.AddText(" RECEIVED LINE " + std::to_string(i), CVELTRANDoc::kReceiveList);
    panes.tv->TypeAheadLine().InsertText("UNSENT");

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("receive.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    panes.tv->PrintReceiveList(printer);

    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    const QRegularExpressionMatch pages = QRegularExpression("/Count (\\d+)").match(QString::fromLatin1(bytes));
    ASSERT_TRUE(pages.hasMatch());
    EXPECT_EQ(pages.captured(1), "1");
}

TEST(TransmitViewTest, ScrollBarMovesTheHistory)
{
    Panes panes;
    panes.Make();
    CVELTRANView3& tv = *panes.tv;
    for (int i = 0; i < 30; ++i)
        panes.doc.AddText(" LINE", CVELTRANDoc::kTransmitList);
    QScrollBar* bar = tv.verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(tv.ScrollBack(), 30);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(tv.ScrollBack(), 29);
    EXPECT_EQ(bar->value(), 1);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(tv.ScrollBack(), 29);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(tv.ScrollBack(), 0);
    EXPECT_EQ(bar->value(), 30);

    // Scrolled back, a finished line keeps the pane where it is and the bar
    // says so; the top of the bar reaches the oldest line.
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QTest::keyClicks(&tv, "NEW\r");
    EXPECT_EQ(tv.ScrollBack(), 1);
    EXPECT_EQ(bar->maximum(), 31);
    EXPECT_EQ(bar->value(), 30);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(tv.ScrollBack(), 31);
}

}  // namespace
