#pragma once
// The Help menu's commands and F1: the user guide in its own window beside
// the main window, the pointer's "What's This?" mode (Shift+F1) and the
// About box. User-interface thread only.
#include <QPointer>

class FrameCommandTable;
class HelpWindow;
class QWidget;

class FrameHelpCommands {
public:
    // `window` parents the help window and the About box; it must outlive this.
    explicit FrameHelpCommands(QWidget& window) : m_window(window) {}

    void AddRows(FrameCommandTable& table);
    // The main window closes: the guide goes with it.
    void CloseHelp();

private:
    void ShowHelp();

    QWidget& m_window;
    QPointer<HelpWindow> m_help;
};
