// VELTRAN entry point: wires the subsystems together in start-up order.
// 1. the command line (test switch, a document file to open, print switches);
// 2. the live-audio backend of the sound-card modem (the sound server, found
//    the usual way: PULSE_SERVER, the client configuration, the desktop's);
// 3. the per-user settings store (Quorvane/VELTRAN);
// 4. whether the splash is wanted ("Options" "Splash");
// 5. the pane fonts and colours, and the rig (Hamlib) when one is set up;
// 6. the document and the main window with its panes (which open their ports),
//    then the document named on the command line, or a new one;
// 7. show the main window, then the splash. A print request ("/p", "/pt")
//    prints the document instead and exits without showing the window.
// With --demo, the store is the demo's own file and the current directory the
// demo directory (DemoSetup.h).
//
// However the program ends, the transmitter is released: File > Exit and the
// end of the event loop close the panes' links and the rig below; SIGTERM,
// SIGINT and SIGHUP do the same on the event loop (TerminationSignals) and
// exit with 128 + the signal; an exit() from inside Qt (the X server gone)
// closes the links and the rig from an exit handler; a fatal signal drops
// the serial and CM108 PTT lines (CrashLineRelease).
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandLine.h"
#include "app/DemoSetup.h"
#include "app/QSettingsStore.h"
#include "app/RigReportFrequency.h"
#include "app/RigSettings.h"
#include "app/SessionRecovery.h"
#include "app/TerminationSignals.h"
#include "app/widgets/CSplashWnd.h"
#include "app/widgets/RecoveryQuestionBox.h"
#include "frame/RecoveryStart.h"
#include "frame/widgets/CMainFrame.h"
#include "link/CrashLineRelease.h"
#include "link/OpenLinks.h"
#include "link/SerialLink.h"
#include "modem/ProgramLiveAudio.h"
#include "modem/PulseAudioBackend.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The links of the port-owning panes that exist.
std::vector<SerialLink*> PaneLinks(const CVELTRANApp& app)
{
    std::vector<SerialLink*> links;
    if (auto* receive = app.FindView<CVELTRANView>())
        links.push_back(&receive->Link());
    if (auto* tnc = app.FindView<CVELTRANView2>())
        links.push_back(&tnc->Link());
    return links;
}

// The air side as File > Exit leaves it: every link closed (unkeyed after
// its last character, PTT lines released, sound card silent, ports closed),
// then the rig (CAT PTT released, rig closed). Window's thread.
void CloseAirSide(const std::vector<SerialLink*>& links)
{
    for (SerialLink* link : links)
        link->Connect(false);
    CloseAllOpenLinks();
    StopProgramRig();
}

// For an exit() that never returns to main (Qt's on a lost X server). Runs
// before the statics made ahead of its registration are destroyed.
void ReleaseAirSideAtExit()
{
    CloseAirSide({});
    crashrelease::ReleaseRegisteredLines();   // lines of links owned by other threads
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    crashrelease::InstallFatalSignalHandler();
    // Set once the panes exist.
    CVELTRANApp* running = nullptr;
    CMainFrame* window = nullptr;
    // First thing, so that a signal during start-up waits for the event loop.
    TerminationSignals termination([&running, &window] {
        // No question is asked: the frame is destroyed, not closed, after the
        // loop returns, and keeps its layout as it does on File > Exit.
        if (window)
            window->hide();
        CloseAirSide(running ? PaneLinks(*running) : std::vector<SerialLink*>{});
    });
    // Before the air side goes: the session's text is kept for the next start.
    termination.AddStep([&running] {
        if (running && running->Recovery())
            running->Recovery()->WriteNow();
    });
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("VELTRAN"));
    QApplication::setApplicationVersion(QStringLiteral("1.2"));

    // QApplication has already taken its own options out of argv.
    std::vector<std::string> args;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray local = arguments[i].toLocal8Bit();
        args.emplace_back(local.constData(), static_cast<size_t>(local.size()));
    }
    const bool demoMode = demo::TakeDemoSwitch(args);
    const ParsedCommandLine command = ParseCommandLine(args, [](const std::string& arg) {
        return QFileInfo(QString::fromLocal8Bit(arg.data(), static_cast<qsizetype>(arg.size()))).isFile();
    });

    // Connects to nothing yet: a sound-card port opens its streams.
    SetProgramLiveAudio(std::make_unique<PulseAudioBackend>());

    std::unique_ptr<QSettingsStore> store = demoMode
        ? std::make_unique<QSettingsStore>(QString::fromStdString(demo::SettingsFilePath()))
        : std::make_unique<QSettingsStore>();
    QSettingsStore& settings = *store;
    if (demoMode) {
        const std::string dir = demo::DirectoryPath();
        if (demo::Prepare(settings, dir))
            QDir::setCurrent(QString::fromStdString(dir));
    }
    CVELTRANApp app(settings);
    app.m_bTestMode = command.testMode ? 1 : 0;
    const bool printing = command.print != PrintRequest::None;
    const bool splash = !printing && settings.Get(keys::Splash) != 0;
    app.LoadFonts();

    // The rig before the panes: a port keyed by CAT PTT opens through it.
    ApplyProgramRig(settings);
    std::atexit(ReleaseAirSideAtExit);   // after the rig's statics exist, so it runs before they go
    CVELTRANDoc doc(settings);
    doc.SetReportFrequencySource([&settings] { return RigReportFrequency(settings); });
    // A recovery copy left by an earlier session is offered before the panes
    // exist (RecoveryStart.h); printing leaves it alone.
    SessionRecovery recovery(doc, SessionRecovery::FolderFor(demoMode));
    RecoveryStart recoveryStart(recovery);
    if (!printing)
        recoveryStart.Ask([](const QString& question) { return AskRestoreSession(nullptr, question); });
    auto frame = std::make_unique<CMainFrame>(app, doc);
    if (printing) {
        // "/p" and "/pt": print without showing the window, then exit.
        const bool printed = frame->PrintFromCommandLine(command.fileToOpen, command.printerName);
        frame.reset();
        StopProgramRig();
        return printed ? 0 : 1;
    }
    // A file that cannot be opened (one that does not exist yet, too) is
    // reported as the Open command reports it; the program then starts with
    // a new document.
    if (command.fileToOpen.empty() || !frame->Documents().OpenDocumentFile(command.fileToOpen))
        frame->Documents().NewDocument();
    recoveryStart.Apply(frame->Documents(), app);

    if (demoMode) {
        CMainFrame* f = frame.get();
        const auto mark = [f](const QString& title) {
            const QString marked = QString::fromStdString(demo::Title(""));
            if (!title.endsWith(marked))
                f->setWindowTitle(title + marked);
        };
        QObject::connect(f, &QWidget::windowTitleChanged, f, mark);
        mark(f->windowTitle());
    }
    running = &app;
    window = frame.get();
    const std::vector<SerialLink*> paneLinks = PaneLinks(app);
    for (SerialLink* link : paneLinks)
        RegisterOpenLink(link);
    frame->show();
    if (splash)
        CSplashWnd::ShowSplashScreen(frame.get());
    const int rc = QApplication::exec();
    CSplashWnd::HideSplashScreen();
    for (SerialLink* link : paneLinks)
        UnregisterOpenLink(link);
    running = nullptr;
    window = nullptr;
    frame.reset();  // the panes close their ports before the application object goes
    app.SetRecovery(nullptr);
    recovery.Stop();  // the last copy written, or the removal of a clean exit done
    StopProgramRig();  // PTT released, the rig closed
    return rc;
}
