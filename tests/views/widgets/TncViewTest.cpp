// The TNC pane as a widget, offscreen: real key events to the bytes on the
// port (simulated modem, and the POSIX port on a pseudo-terminal), what the
// TNC answers into the TNC list, and printing of that list to PDF.
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "support/NullFrameStatus.h"
#include "support/Pty.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/PanePrinter.h"

#include <QBackingStore>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

class PrintingStatus : public NullFrameStatus {
public:
    QPrinter* SharedPrinter() override { return printer; }
    QPrinter* printer = nullptr;
};

// A PDF printer whose pages hold exactly `rows` lines of the default font.
void MakePdfPrinter(QPrinter& printer, const QString& path, int rows)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    const int h = QFontMetrics(QFont(), &printer).lineSpacing();
    const double points = (rows * h + h / 2) * 72.0 / printer.resolution();
    printer.setPageLayout(QPageLayout(QPageSize(QSizeF(300, points), QPageSize::Point), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
}

int PdfPageCount(const QString& path)
{
    QFile pdf(path);
    if (!pdf.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpressionMatch m =
        QRegularExpression("/Count (\\d+)").match(QString::fromLatin1(pdf.readAll()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class TncViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.Put(keys::TNCPort, 0);  // made with no port, as before the Ports dialog
        view = std::make_unique<CVELTRANView2>(app, doc, status);
        view->resize(400, 300);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        view->activateWindow();
        view->setFocus();
    }

    void AttachModem()
    {
        view->Link().SetDeviceOpener(
            [this](int) -> std::unique_ptr<PortDevice> { return std::make_unique<SharedPortDevice>(modem); });
        settings.Put(keys::TNCPort, 2);
        settings.Put(keys::TNCBaud, 19200);
        view->ApplyPortSettings();
        ASSERT_TRUE(view->Link().IsOpen());
    }

    // The bytes written to the modem since the last call, once `n` have come.
    std::string Sent(size_t n)
    {
        auto total = [](const std::vector<SimEvent>& log) {
            size_t bytes = 0;
            for (const SimEvent& e : log)
                bytes += e.kind == SimEvent::Kind::Write ? e.bytes.size() : 0;
            return bytes;
        };
        modem->WaitFor([&](const std::vector<SimEvent>& log) { return total(log) >= m_seen + n; }, 10s);
        std::string all;
        for (const std::string& w : modem->Writes())
            all += w;
        const std::string fresh = all.substr(std::min(m_seen, all.size()));
        m_seen = all.size();
        return fresh;
    }

    const LineList& Tnc() const { return doc.GetList(CVELTRANDoc::kTncList); }

    MemorySettingsStore settings;
    CVELTRANApp app{settings};
    CVELTRANDoc doc{settings};
    PrintingStatus status;
    std::shared_ptr<SimulatedModem> modem = std::make_shared<SimulatedModem>();
    std::unique_ptr<CVELTRANView2> view;
    size_t m_seen = 0;
};

TEST_F(TncViewTest, KeysGoToTheTncAsTyped)
{
    AttachModem();
    settings.PutText("Settings", "A", "HELLO ");
    settings.PutText("Settings", "C", "W1AW");
    settings.PutText("Settings", "F2", "two ");
    settings.PutText("Settings", "F5", "five ");
    settings.PutText("Settings", "F8", "eight");
    struct Case {
        const char* what;
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        int crlf;
        std::string sent;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier;
    const std::vector<Case> cases = {
        {"enter sends CR", {{Qt::Key_Return, none}}, 0, "\r"},
        {"enter with TNCCRLF sends CR LF", {{Qt::Key_Return, none}}, 1, "\r\n"},
        {"macro, then the control character", {{Qt::Key_A, ctrl}}, 0, "HELLO \x01"},
        {"Ctrl+C is only 0x03", {{Qt::Key_C, ctrl}}, 0, "\x03"},
        {"arrows are BS VT TAB LF", {{Qt::Key_Left, none}, {Qt::Key_Up, none}, {Qt::Key_Right, none},
                                     {Qt::Key_Down, none}}, 0, "\b\x0b\t\n"},
        {"function key macros", {{Qt::Key_F2, none}, {Qt::Key_F5, none}, {Qt::Key_F8, none}}, 0, "two five eight"},
        {"tab, escape and backspace; delete sends nothing",
         {{Qt::Key_Tab, none}, {Qt::Key_Escape, none}, {Qt::Key_Backspace, none}, {Qt::Key_Delete, none},
          {Qt::Key_X, none}}, 0, "\t\x1b\bx"},
    };
    for (const Case& c : cases) {
        settings.Put(keys::TNCCRLF, c.crlf);
        for (const auto& [key, mods] : c.keys)
            QTest::keyClick(view.get(), key, mods);
        EXPECT_EQ(Sent(c.sent.size()), c.sent) << c.what;
    }
    EXPECT_TRUE(view->hasFocus());  // Tab stayed in the pane
    EXPECT_TRUE(Tnc().empty());     // nothing echoed locally
}

TEST_F(TncViewTest, WithoutAPortKeysSendNothingTheTextIsGreyAndTheCaretFollowsTheFocus)
{
    const QColor blue(0, 0, 255);
    app.m_colorDNC = blue;
    doc.AddText("MONITOR ON", CVELTRANDoc::kTncList);
    auto paintedIn = [&](const QColor& colour) {
        const QImage image = view->viewport()->grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == colour)
                    return true;
        return false;
    };
    QTest::keyClicks(view.get(), "abc");
    EXPECT_FALSE(view->Link().IsOpen());
    EXPECT_EQ(view->m_bPortConfigured, 0u);
    EXPECT_FALSE(paintedIn(blue));
    AttachModem();
    EXPECT_TRUE(paintedIn(blue));

    EXPECT_TRUE(view->HasCaret());
    view->clearFocus();
    EXPECT_FALSE(view->HasCaret());
}

TEST_F(TncViewTest, PortOnAPseudoTerminalCarriesKeysAndAnswers)
{
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    settings.PutText(keys::kDevices, keys::DeviceKey(2), pty.Path());
    settings.Put(keys::TNCPort, 2);
    view->ApplyPortSettings();  // configured after start-up: shown at once
    ASSERT_TRUE(view->Link().IsOpen());

    QTest::keyClicks(view.get(), "mycall");
    QTest::keyClick(view.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(view.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view.get(), Qt::Key_Return);
    const std::string typed = "mycall\x03\x1a\r";
    EXPECT_EQ(pty.ReadAtLeast(typed.size()), typed);

    pty.WriteAll("cmd:\r\nOK\rC,R\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Tnc().size() == 3; }, 10000));
    EXPECT_EQ(Tnc(), (LineList{"cmd:", "OK", "C,R"}));
    pty.WriteAll("AB\b");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->CurrentLine() == "A"; }, 10000));
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 3);
    view->Link().Connect(false);  // before the pseudo-terminal goes
}

TEST_F(TncViewTest, PageMovedUpByArrivingLinesLooksAsIfPaintedWhole)
{
    AttachModem();
    // What the window holds where the pane is, against the pane painted afresh.
    auto shownAsPainted = [&] {
        QWidget* port = view->viewport();
        auto* store = dynamic_cast<QImage*>(port->backingStore()->paintDevice());
        if (!store)
            return false;
        const QRect where(port->mapTo(port->window(), QPoint(0, 0)) * store->devicePixelRatio(),
                          port->size() * store->devicePixelRatio());
        return store->copy(where).convertToFormat(QImage::Format_RGB32) ==
               port->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    size_t lines = 0;
    auto arrive = [&](int count) {
        for (int i = 0; i < count; ++i, ++lines) {
            modem->Feed("LINE " + std::to_string(lines) + "\r\n");
            ASSERT_TRUE(QTest::qWaitFor([&] { return Tnc().size() == lines + 1; }, 10000));
        }
        modem->Feed("PART");
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->CurrentLine() == "PART"; }, 10000));
        modem->Feed("\r\n");
        ++lines;
        ASSERT_TRUE(QTest::qWaitFor([&] { return Tnc().size() == lines; }, 10000));
    };
    arrive(40);  // a full page, then lines one at a time
    EXPECT_TRUE(QTest::qWaitFor(shownAsPainted, 5000));
    view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    arrive(3);  // scrolled back: the newest line stays hidden as the page moves
    EXPECT_TRUE(QTest::qWaitFor(shownAsPainted, 5000));
}

TEST_F(TncViewTest, TwentyLinesOnTenRowPagesPrintTwoPages)
{
    for (int i = 0; i < 20; ++i)
        doc.AddText("TNC LINE " + std::to_string(i), CVELTRANDoc::kTncList);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    QPrinter printer(QPrinter::HighResolution);
    MakePdfPrinter(printer, dir.filePath("plan.pdf"), 10);
    ASSERT_EQ(PanePrinter::LinesPerPage(printer, QFont()), 10);
    PanePrinter::Listing listing;
    listing.lines = &Tnc();
    EXPECT_EQ(PanePrinter::PrintTo(printer, listing), (std::vector<int>{10, 10}));
    printer.setFromTo(2, 2);
    EXPECT_EQ(PanePrinter::PrintTo(printer, listing), (std::vector<int>{10}));

    // Print Direct from the pane itself, on the frame's printer.
    QPrinter shared(QPrinter::HighResolution);
    MakePdfPrinter(shared, dir.filePath("tnc.pdf"), 10);
    status.printer = &shared;
    ASSERT_TRUE(view->OnCommand(ID_FILE_PRINT_DIRECT));
    EXPECT_EQ(PdfPageCount(dir.filePath("tnc.pdf")), 2);
}

TEST(ReceiveViewPrinting, PrintsTheReceiveList)
{
    MemorySettingsStore settings;
    settings.Put(keys::RTTYPort, 0);
    CVELTRANApp app{settings};
    CVELTRANDoc doc{settings};
    PrintingStatus status;
    CVELTRANView view(app, doc, status);
    for (int i = 0; i < 25; ++i)
        doc.AddText(" RECEIVED " + std::to_string(i), CVELTRANDoc::kReceiveList);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QPrinter printer(QPrinter::HighResolution);
    MakePdfPrinter(printer, dir.filePath("receive.pdf"), 10);
    status.printer = &printer;
    ASSERT_TRUE(view.OnCommand(ID_FILE_PRINT_DIRECT));
    EXPECT_EQ(PdfPageCount(dir.filePath("receive.pdf")), 3);
}

}  // namespace
