// A settings file with every key set to garbage, written by hand in the
// store's own file format: the program starts on it, every value it uses is
// a safe one, and the operator can type and receive.
#include "FrameFixture.h"

#include "app/QSettingsStore.h"
#include "app/SettingsKeys.h"
#include "app/CommandTable.h"
#include "support/FakeFileSystem.h"
#include "support/ModalDriver.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"

#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QSplitter>

#include <climits>
#include <fstream>
#include <vector>

namespace {

// The garbage each run writes into every key.
struct Garbage {
    const char* what;
    std::string value;
    std::string ports = {};  // for "RTTYPort" and "TNCPort" when not empty
    // "COM1" and "COM2"; empty: both loop back what they send, so that the
    // typed text comes back.
    std::string devices = {};
};

std::vector<Garbage> Kinds()
{
    return {
        {"text in number keys", "W1AW de K1ABC"},
        {"negative", "-2147483648"},
        {"minus one, ports beyond 16", "-1", "99"},
        {"huge", "2147483647"},
        {"beyond 32 bits", "99999999999999999999"},
        {"10,000 characters", std::string(10000, '9')},
        {"invalid UTF-8", "\xff\xfe\xc3\x28\xa0\xa1"},
        {"store markup", "@Variant(\x01\xff garbage)"},
        {"simulated devices with garbage options", "12x", "",
         "sim:band?seed=-99999999999999999999&errors=nan&pileup=-7&\xff=&&=&answer=-1"},
        {"sound-card devices with garbage fields", "12x", "",
         "audio:\xff,capture=,mark=-1e400,shift=nan,afc=abc,usos=99999999999,ptt=both"},
    };
}

// A key as the file spells it (blanks as %20).
std::string FileKey(const std::string& key)
{
    std::string out;
    for (char c : key)
        out += c == ' ' ? std::string("%20") : std::string(1, c);
    return out;
}

std::vector<std::pair<std::string, std::string>> EveryKey()
{
    using namespace keys;
    std::vector<std::pair<std::string, std::string>> all;
    for (const IntKey& k : {RTTYPort, RTTYBaud, RTTYType, RTTYDuplex, RTTYExtended, RTTYCRLF, RTTYLFLF,
                            RTTYPageWidth, TNCPort, TNCBaud, TNCCRLF, TNCPageWidth, Diddle, DiddleBeep,
                            DisableDeadman, CharMode, WordMode, RTTYUnshiftOnSpace, RTTYSize, RTTYColor, DNCSize,
                            DNCColor, Toolbar2, ToolbarStyle, ToolbarStyle2, Split, Split2, Top, Bottom, Left,
                            Right, TuningDisplay, Splash, InitLogo, XRMerge, Prompt, EchoImport, AutoCaps, UseADIF,
                            LoggerUdp, LoggerPort, UseLocal, PreviewPages, RigModel, RigBaud})
        all.emplace_back(k.section, k.key);
    for (const TextKey& k : {RTTYFaceName, RTTYStyleName, DNCFaceName, DNCStyleName, Editor, LoggerAddress, RigPort,
                             RigPtt, RigPttDevice})
        all.emplace_back(k.section, k.key);
    for (const char* key : kMacroKeys)
        all.emplace_back(kSettings, key);
    for (int n = 1; n <= kRecentFileCount; ++n)
        all.emplace_back(kRecentFiles, RecentFileKey(n));
    for (int port = 3; port <= kMaxPort; ++port)
        all.emplace_back(kDevices, DeviceKey(port));
    return all;
}

std::string SettingsFile(const Garbage& g)
{
    std::string text;
    std::string section;
    for (const auto& [group, key] : EveryKey()) {
        if (group != section) {
            section = group;
            text += "\n[" + FileKey(group) + "]\n";
            if (group == keys::kDevices) {
                const std::string device = g.devices.empty() ? "sim:loopback" : g.devices;
                text += "COM1=" + device + "\nCOM2=" + device + "\n";
            }
        }
        const bool port = key == keys::RTTYPort.key || key == keys::TNCPort.key;
        text += FileKey(key) + "=" + (port && !g.ports.empty() ? g.ports : g.value) + "\n";
    }
    return text;
}

class GarbageSettings : public ::testing::Test {};

}  // namespace

TEST_F(GarbageSettings, TheProgramStartsOnSafeValuesAndTheOperatorTypesAndReceives)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Garbage& g : Kinds()) {
        SCOPED_TRACE(g.what);
        FakeFileSystem files;  // REPORT.TXT stays in memory
        const std::string path = "garbage.conf";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << SettingsFile(g);
        QSettingsStore store(QString::fromStdString(path));
        FakePrompts prompts;
        auto app = std::make_unique<CVELTRANApp>(store);
        app->LoadFonts();
        auto doc = std::make_unique<CVELTRANDoc>(store);
        auto frame = std::make_unique<CMainFrame>(*app, *doc, &prompts);
        frame->Documents().NewDocument();
        frame->show();
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));

        EXPECT_TRUE(screen.intersects(frame->geometry())) << "the window is on the screen";
        for (int h : frame->Splitter()->sizes())
            EXPECT_GE(h, 0);
        const int pixel = app->m_fontRTTY.pixelSize() > 0 ? app->m_fontRTTY.pixelSize() : app->m_fontRTTY.pointSize();
        EXPECT_GT(pixel, 0);
        EXPECT_LE(pixel, 256) << "a readable font";

        auto* receive = app->FindView<CVELTRANView>();
        auto* transmit = app->FindView<CVELTRANView3>();
        ASSERT_TRUE(receive && transmit);
        // A port number of 0 or less means no port; anything else that is
        // not a port in range opens COM1.
        const bool noPort = store.Get(keys::RTTYPort) <= 0;
        const bool loopback = g.devices.empty();
        if (loopback) {
            ASSERT_EQ(receive->Link().IsOpen(), !noPort);
        }
        transmit->setFocus();
        QTest::keyClicks(transmit, "ry ");
        QTest::keyClick(transmit, Qt::Key_Return);
        const auto typed = [&] {
            for (std::string_view line : doc->GetList(CVELTRANDoc::kTransmitList))
                if (line.find("ry") != std::string::npos || line.find("RY") != std::string::npos)
                    return true;
            return false;
        };
        // Without a port the transmit pane takes no keys (a port that is
        // down still takes them).
        EXPECT_EQ(typed(), !noPort) << "the typed line is in the transmit history";
        const auto received = [&] {
            for (std::string_view line : doc->GetList(CVELTRANDoc::kReceiveList))
                if (line.find("RY") != std::string::npos)
                    return true;
            return false;
        };
        if (!noPort && loopback) {
            EXPECT_TRUE(QTest::qWaitFor(received, 10000)) << "the typed text comes back on the receive page";
        }

        auto* tnc = app->FindView<CVELTRANView2>();
        ASSERT_NE(tnc, nullptr);
        if (store.Get(keys::TNCPort) > 0 && loopback) {
            ASSERT_TRUE(tnc->Link().IsOpen());
            EXPECT_GT(tnc->Link().m_nBaud, 0u);
            EXPECT_LE(tnc->Link().m_nBaud, static_cast<uint32_t>(INT32_MAX));
            tnc->setFocus();
            QTest::keyClicks(tnc, "tnc");
            QTest::keyClick(tnc, Qt::Key_Return);
            const auto answered = [&] {
                for (std::string_view line : doc->GetList(CVELTRANDoc::kTncList))
                    if (line.find("tnc") != std::string::npos)
                        return true;
                return false;
            };
            EXPECT_TRUE(QTest::qWaitFor(answered, 10000)) << "the TNC pane works";
        }

        // The dialogs open on the garbage and close again.
        for (int id : {ID_TOOLS_PORTS, ID_TOOLS_OPTIONS, ID_TOOLS_KCALL, ID_EDIT_MACROS}) {
            bool shown = false;
            WhenModal([&](QDialog* d) {
                shown = d != nullptr;
                if (d)
                    d->reject();
            });
            frame->ExecuteCommand(id);
            EXPECT_TRUE(shown) << id;
        }

        // The report (and its copy to the logger over UDP) from garbage values
        // is one whole record; a message box would say why not.
        if (!noPort) {
            QString box;
            QTimer guard;
            guard.setSingleShot(true);
            QObject::connect(&guard, &QTimer::timeout, [&box] {
                if (auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    box = m->text();
                    m->accept();
                }
            });
            guard.start(300);
            frame->ExecuteCommand(ID_FILE_REPORT);
            EXPECT_EQ(box, QString());
            const std::string log = files.Contents("REPORT.TXT").value_or("");
            EXPECT_EQ(log.size() - std::min(log.size(), log.rfind("<eor>\r\n")), 7u) << log.substr(0, 200);
        }
        frame->close();
        frame.reset();
        doc.reset();
        app.reset();
    }
}
