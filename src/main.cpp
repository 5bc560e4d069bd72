// VELTRAN entry point: wires the subsystems together in start-up order.
// 1. the command line (test switch, a document file to open, print switches);
// 2. the per-user settings store (Quorvane/VELTRAN);
// 3. whether the splash is wanted ("Options" "Splash");
// 4. the pane fonts and colours;
// 5. the document and the main window with its panes (which open their ports),
//    then the document named on the command line, or a new one;
// 6. show the main window, then the splash. A print request ("/p", "/pt")
//    prints the document instead and exits without showing the window.
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandLine.h"
#include "app/QSettingsStore.h"
#include "app/widgets/CSplashWnd.h"
#include "frame/widgets/CMainFrame.h"

#include <QApplication>
#include <QFileInfo>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
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
    const ParsedCommandLine command = ParseCommandLine(args, [](const std::string& arg) {
        return QFileInfo(QString::fromLocal8Bit(arg.data(), static_cast<qsizetype>(arg.size()))).isFile();
    });

    QSettingsStore settings;
    CVELTRANApp app(settings);
    app.m_bTestMode = command.testMode ? 1 : 0;
    const bool printing = command.print != PrintRequest::None;
    const bool splash = !printing && settings.Get(keys::Splash) != 0;
    app.LoadFonts();

    CVELTRANDoc doc(settings);
    auto frame = std::make_unique<CMainFrame>(app, doc);
    if (printing) {
        // "/p" and "/pt": print without showing the window, then exit.
        const bool printed = frame->PrintFromCommandLine(command.fileToOpen, command.printerName);
        frame.reset();
        return printed ? 0 : 1;
    }
    // A file that cannot be opened (one that does not exist yet, too) is
    // reported as the Open command reports it; the program then starts with
    // a new document.
    if (command.fileToOpen.empty() || !frame->Documents().OpenDocumentFile(command.fileToOpen))
        frame->Documents().NewDocument();

    frame->show();
    if (splash)
        CSplashWnd::ShowSplashScreen(frame.get());
    const int rc = QApplication::exec();
    CSplashWnd::HideSplashScreen();
    frame.reset();  // the panes close their ports before the application object goes
    return rc;
}
