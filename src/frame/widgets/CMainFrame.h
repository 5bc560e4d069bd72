#pragma once
// The program's one top-level window, assembled from its parts: the menus
// and actions (FrameMenus), the two bars (FrameToolBars), the ten status
// panes (StatusPanes), the three panes in their splitter (FramePanes: row 0
// receive, row 1 transmit, row 2 TNC), the stored placement (FramePlacement),
// printing (FramePrinting), help (FrameHelpCommands) and the dialog commands
// (FrameDialogCommands). Placement, the bars' docking sides, the function
// bar's visibility and the upper two pane heights live in "Layout", read once
// when the window is made and written once when it closes.
//
// Commands (ids of CommandTable.h) go where their row of the command table
// sends them (CommandRouter): editing commands to the active pane only,
// station commands to the transmit pane from any pane, the rest to the added
// targets and then the frame's own rows (FrameCommandTable, filled by the
// parts). Accelerator keys are never typed into a pane, also while their
// command is disabled. Everything runs on the user-interface thread.
#include "app/PortState.h"
#include "frame/CommandRouter.h"
#include "frame/DocumentController.h"
#include "frame/FrameCommandTable.h"
#include "views/FrameStatus.h"

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <set>
#include <string>
#include <utility>

class CVELTRANApp;
class CVELTRANDoc;
class FrameDialogCommands;
class FrameHelpCommands;
class FrameMenus;
class FramePanes;
class FramePlacement;
class FramePrinting;
class FramePrompts;
class FrameToolBars;
class QAction;
class QSplitter;
class QToolBar;
class SplitKeyboardMover;
class StatusPanes;
class TuningDock;

class CMainFrame : public QMainWindow, public FrameStatus {
    Q_OBJECT

public:
    // `prompts` answers the document commands' questions; nullptr uses the
    // standard dialogs. It must outlive the frame.
    CMainFrame(CVELTRANApp& app, CVELTRANDoc& doc, FramePrompts* prompts = nullptr, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // FrameStatus
    void SetDiddlePaneText(const std::string& text) override;
    void SetAutoPaneText(const std::string& text) override;
    void SetModePaneText(const std::string& text) override;
    void SetBaudPaneNumber(int n) override;
    void UpdatePortStatus() override;
    void SetMessageText(const QString& text) override;
    QPrinter* SharedPrinter() override;

    // Runs a command through the routing; false when nobody handled it or it is disabled.
    bool ExecuteCommand(int id);
    // The command's state as the menu and buttons show it.
    CommandState QueryCommand(int id);
    // Refreshes every action's enabled/checked state and panes 3 and 4.
    void UpdateCommandStates();
    // Adds a handler of frame commands (a dialog), asked before the frame's
    // own rows; it claims what it carries in OnUpdateCommand. Not owned;
    // must outlive the frame.
    void AddCommandTarget(CommandTarget* target);
    // The frame's own command rows.
    const FrameCommandTable& FrameCommands() const { return m_commands; }

    // After the Ports dialog was confirmed: the receive pane re-applies the
    // RTTY settings, the TNC pane the TNC settings, the transmit pane copies
    // the port state again, then panes 5 and 6 are recomputed. A link whose
    // port number was given another device (`remapped`) is closed first, so
    // it reopens on the new one.
    void OnPortsConfirmed(const std::set<int>& remapped = {});

    // "/p FILE" and "/pt FILE PRINTER" of the command line, for a frame that is
    // never shown: opens `path`, then prints it as the Print command of the
    // active pane does, on the shared printer (set to `printerName` unless
    // empty). Failures are reported as the document commands report theirs;
    // false then. The stored layout is left alone.
    bool PrintFromCommandLine(const std::string& path, const std::string& printerName);

    DocumentController& Documents() { return m_docs; }
    // Ports, Options, K-Call and the tape editing commands.
    FrameDialogCommands& DialogCommands() { return *m_dialogCommands; }
    QAction* Action(int id) const;
    QSplitter* Splitter() const;
    QToolBar* MainToolBar() const;
    QToolBar* FunctionBar() const;
    // The pane that keyboard input and pane commands go to.
    QWidget* ActiveView() const;
    // Status pane 0..9 text (0: the message pane or its idle text).
    QString PaneText(int pane) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The frame's own rows of m_commands (CMainFrameCommands.cpp).
    void AddCommandRows();
    void SaveLayout();
    void DocumentChanged();
    // The document's title, with " (simulated)" while a port runs on the simulated modem.
    void RefreshTitle();
    // The RTTY and TNC ports as the operator is told them.
    std::pair<PortState, PortState> CurrentPortStates() const;

    CVELTRANApp& m_app;
    CVELTRANDoc& m_doc;
    std::unique_ptr<FramePrompts> m_ownPrompts;
    DocumentController m_docs;
    FrameCommandTable m_commands;
    CommandRouter m_router;

    std::unique_ptr<FramePlacement> m_placement;
    std::unique_ptr<FramePanes> m_panes;
    std::unique_ptr<FrameMenus> m_menus;
    std::unique_ptr<FrameToolBars> m_bars;
    std::unique_ptr<StatusPanes> m_status;
    std::unique_ptr<FramePrinting> m_printing;
    std::unique_ptr<FrameHelpCommands> m_help;
    std::unique_ptr<FrameDialogCommands> m_dialogCommands;
    SplitKeyboardMover* m_splitMover = nullptr;
    TuningDock* m_tuningDock = nullptr;
    QTimer m_updateTimer;
    bool m_layoutSaved = false;
    bool m_bSimulated = false;  // a port runs on the simulated modem (UpdatePortStatus)
};
