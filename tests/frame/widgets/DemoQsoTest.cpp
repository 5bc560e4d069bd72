// The whole program in demo mode on the simulated band: a CQ from the tape,
// a station answering, its call picked with Paste K-Call, the exchange macro
// on Ctrl+A, the station signing off, the contact logged with Ctrl+R and the
// document saved and read back. The band has a fixed seed and no pile-ups, so
// the traffic is always the same. The same contact runs twice: on the plain
// simulated band at a high baud (short, with a keying trace), and heard
// through the sound-card modem at 110 baud on a clean path (+20 dB, no
// fading), where what reaches the receive pane is the real decoder's output.
#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "app/DemoSetup.h"
#include "app/QSettingsStore.h"
#include "app/RtyFormat.h"
#include "app/SettingsKeys.h"
#include "link/SimulatedRttyStatus.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView3.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <cstdlib>
#include <regex>
#include <sstream>

namespace {

std::string Slurp(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

// The index of the last receive line matching `re`, or -1.
int FindLine(const LineList& lines, const std::regex& re, std::cmatch* m = nullptr)
{
    for (size_t i = lines.size(); i-- > 0;) {
        std::cmatch local;  // a list's lines stay where they are while it grows
        const std::string_view line = lines[i];
        if (std::regex_search(line.data(), line.data() + line.size(), m ? *m : local, re))
            return static_cast<int>(i);
    }
    return -1;
}

struct QsoBand {
    const char* name;
    std::string device;   // COM1's device value; the sim band adds its keying trace
    uint32_t baud;
    int waitMs;           // bound for each answer of the band
    bool traced;
};

class DemoQso : public ::testing::TestWithParam<QsoBand> {
protected:
    void SetUp() override
    {
        const QString base = QDir::currentPath();
        ::setenv("XDG_DATA_HOME", (base + "/data").toLocal8Bit().constData(), 1);
        oldDir = base;
        // The operator's own settings, which a demo run must leave alone.
        {
            QSettingsStore own;
            own.Put(keys::MacroOwnCall, "W1OWN");
            own.PutText(keys::kDevices, "COM1", "/dev/ttyUSB7");
            own.Sync();
            ownFile = own.FileName().toStdString();
        }
        ownBefore = Slurp(ownFile);
        ASSERT_FALSE(ownBefore.empty());
    }
    void TearDown() override
    {
        frame.reset();
        doc.reset();
        app.reset();
        store.reset();
        QDir::setCurrent(oldDir);
    }

    QString oldDir;
    std::string ownFile, ownBefore;
    FakePrompts prompts;
    std::unique_ptr<QSettingsStore> store;
    std::unique_ptr<CVELTRANApp> app;
    std::unique_ptr<CVELTRANDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

TEST_P(DemoQso, CqAnswerExchangeReportAndSave)
{
    const QsoBand& band = GetParam();
    const std::string dir = demo::DirectoryPath();
    store = std::make_unique<QSettingsStore>(QString::fromStdString(demo::SettingsFilePath()));
    store->PutText(keys::kDevices, "COM1", band.device + (band.traced ? "&trace=" + dir + "/keying.trace" : ""));
    store->Put(keys::RTTYBaud, static_cast<int>(band.baud));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir)));
    QFile(QString::fromStdString(dir + "/TAPESTARTUP.TXT")).open(QIODevice::WriteOnly);   // nothing at start-up
    ASSERT_TRUE(demo::Prepare(*store, dir));
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir)));
    EXPECT_EQ(store->Get(keys::MacroOwnCall), demo::kOwnCall);
    EXPECT_EQ(store->GetText(keys::kDevices, "COM2", ""), demo::kTncDevice);

    app = std::make_unique<CVELTRANApp>(*store);
    app->LoadFonts();
    doc = std::make_unique<CVELTRANDoc>(*store);
    frame = std::make_unique<CMainFrame>(*app, *doc, &prompts);
    frame->Documents().NewDocument();
    frame->resize(900, 1000);
    frame->show();
    QApplication::setActiveWindow(frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    auto* receive = app->FindView<CVELTRANView>();
    auto* transmit = app->FindView<CVELTRANView3>();
    ASSERT_TRUE(receive && transmit);

    // CQ from the tape; a station answers the demo call with report and serial.
    QAction* sendCq = frame->Action(ID_SEND_CQ);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sendCq->isEnabled(); }, 3000));
    sendCq->trigger();
    const std::regex answer("N0CALL DE ([A-Z0-9]+) .*UR (5[5-9]9) .*NR (\\d{3})");
    std::cmatch m;
    ASSERT_TRUE(QTest::qWaitFor([&] { return FindLine(doc->GetList(1), answer, &m) >= 0; }, band.waitMs));
    const LineList lines = doc->GetList(1);
    const int line = FindLine(lines, answer, &m);
    const std::string caller = m[1];

    // Paste K-Call: right-click its call in the receive pane.
    bool paste = false;
    receive->SetMenuRunner([&](QMenu& menu, const QPoint&) {
        for (QAction* a : menu.actions())
            if (paste && a->text() == "Paste K-Call")
                a->trigger();
    });
    receive->viewport()->repaint();
    const int h = receive->m_tm.height, w = receive->m_tm.averageCharWidth;
    const int column = static_cast<int>(lines[line].find(caller)) + 1;
    const auto rightClick = [&](int y) {
        const QPoint at(column * w + w / 2, y + h / 2);
        QContextMenuEvent ev(QContextMenuEvent::Mouse, at, receive->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(receive->viewport(), &ev);
    };
    int y = receive->m_rcTxEcho.top() - h;
    for (; y >= 0 && receive->m_nSelLine != line + 1; y -= h)
        rightClick(y);
    ASSERT_EQ(receive->m_nSelLine, line + 1);
    paste = true;
    rightClick(y + h);
    EXPECT_EQ(store->Get(keys::MacroOtherCall), caller);

    // The exchange macro with Ctrl+A; the station confirms and signs.
    transmit->setFocus();
    QTest::keyClick(transmit, Qt::Key_A, Qt::ControlModifier);
    const std::regex signoff("N0CALL DE " + caller + " .*73 N0CALL DE " + caller + " SK");
    ASSERT_TRUE(QTest::qWaitFor([&] { return FindLine(doc->GetList(1), signoff, &m) >= 0; }, band.waitMs))
        << [&] { std::string all; for (std::string_view l : doc->GetList(1)) all.append(l) += "|\n"; for (std::string_view l : doc->GetList(3)) all.append("T").append(l) += "|\n"; return all; }();

    // Keying: the CQ tape and the exchange were one transmission each, and
    // the transmitter is off again (the band answers only once it drops).
    const SimulatedRttyStatus rtty = SimulatedRttyStatus::Current();
    EXPECT_TRUE(rtty.open);
    EXPECT_EQ(rtty.baud, band.baud);
    EXPECT_EQ(rtty.dataBits, 5);
    EXPECT_EQ(rtty.transmissions, 2u);
    EXPECT_FALSE(rtty.keyed);
    // The keying timeline: every write lies inside a keyed stretch.
    if (band.traced) {
        std::vector<std::string> events;
        std::istringstream trace(Slurp(dir + "/keying.trace"));
        std::string time, event;
        bool keyed = false;
        int writesUnkeyed = 0;
        while (trace >> time >> event) {
            std::string rest;
            std::getline(trace, rest);
            if (event == "rts")
                keyed = rest == " 1";
            if (event == "rts" || event == "open")
                events.push_back(event + rest);
            if (event == "write" && !keyed)
                ++writesUnkeyed;
        }
        EXPECT_EQ(writesUnkeyed, 0);
        const std::string open = "open " + std::to_string(band.baud) + " 5";
        EXPECT_EQ(events, (std::vector<std::string>{open, "rts 0", "rts 1", "rts 0", "rts 1", "rts 0"}));
    }

    // Ctrl+R logs the contact.
    QTest::keyClick(transmit, Qt::Key_R, Qt::ControlModifier);
    const std::string report = Slurp(dir + "/REPORT.TXT");
    EXPECT_NE(report.find("<operator:6>N0CALL<call:" + std::to_string(caller.size()) + ">" + caller), std::string::npos) << report;
    EXPECT_NE(report.find("<RST_SENT:3>599<RST_RCVD:3>599<band:3>10M<mode:4>RTTY<eor>\r\n"), std::string::npos) << report;

    // Saved and read back through the document reader.
    prompts.saveName = QString::fromStdString(dir + "/qso.rty");
    frame->Action(ID_FILE_SAVE)->trigger();
    RtyContent saved;
    std::string error;
    ASSERT_TRUE(ReadRtyFile(dir + "/qso.rty", saved, &error)) << error;
    EXPECT_EQ(saved.lists[0], doc->GetList(1));
    EXPECT_GE(FindLine(saved.lists[0], answer, &m), 0);
    EXPECT_GE(FindLine(saved.lists[0], signoff, &m), 0);
    EXPECT_EQ(saved.lists[2], doc->GetList(3));
    EXPECT_EQ(static_cast<int>(saved.counts[0]), doc->GetLineCount(1));

    frame->close();
    frame.reset();
    store->Sync();
    EXPECT_EQ(Slurp(ownFile), ownBefore);   // the user's own settings are untouched
}

// The sim band at 4800 baud with quick answers; the sound-card band at its
// top speed, with a channel seed whose clean path decodes every character.
INSTANTIATE_TEST_SUITE_P(
    Bands, DemoQso,
    ::testing::Values(QsoBand{"SimBand", "sim:band?seed=7&first=600000&answer=50&pileup=0", 4800, 10000, true},
                      QsoBand{"AudioBand", "audio:band?snr=20&fading=none&seed=7&first=600000&answer=50&pileup=0", 110,
                              20000, false}),
    [](const ::testing::TestParamInfo<QsoBand>& info) { return std::string(info.param.name); });

}  // namespace
