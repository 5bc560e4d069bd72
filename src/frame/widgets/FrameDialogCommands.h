#pragma once
// The frame's dialog commands: Ports, Options, K-Call and the tape editing
// commands (C&Q, Brag, Exchange, Startup, TNC Startup, New Tape). The dialogs
// run modally over the main window; after the Ports dialog is confirmed the
// frame re-applies the ports. User-interface thread only.
#include "app/widgets/CPortsDialog.h"
#include "frame/TapeEditor.h"

#include <QString>
#include <functional>
#include <memory>
#include <set>

class CVELTRANApp;
class FrameCommandTable;
class QWidget;

class FrameDialogCommands {
public:
    struct Hooks {
        std::function<PortsDialogStatus()> portStates;  // what the Ports dialog shows of each port
        // Re-applies the ports after OK; the port numbers whose device changed.
        std::function<void(const std::set<int>&)> portsConfirmed;
    };

    FrameDialogCommands(CVELTRANApp& app, QWidget& window, Hooks hooks);

    // The rows of Ports, Options, K-Call and the tape editing commands.
    // This must outlive `table`'s use.
    void AddRows(FrameCommandTable& table);

    // Seams for tests: the process launcher and environment of the tape
    // editor, and where failures are shown (a message box by default).
    void SetLauncher(ProcessLauncher* launcher) { m_launcher = launcher ? launcher : &m_detached; }
    void SetEditorEnvironment(EditorEnvironment env) { m_env = std::move(env); }
    void SetMessageSink(std::function<void(const QString&)> sink) { m_message = std::move(sink); }

private:
    void RunPorts();
    void RunOptions();
    void RunKCall();
    void EditTape(const char* file);

    CVELTRANApp& m_app;
    QWidget& m_window;
    Hooks m_hooks;
    DetachedProcessLauncher m_detached;
    ProcessLauncher* m_launcher = &m_detached;
    EditorEnvironment m_env;
    std::function<void(const QString&)> m_message;
};
