#pragma once
// The program's one top-level window: menu and accelerators, the main tool
// bar and the function bar, the ten status panes, and the three panes in a
// vertical splitter (row 0 receive, row 1 transmit, row 2 TNC). It remembers
// its placement, the bars' docking sides, the function bar's visibility and
// the upper two pane heights in "Layout", reading them once when made and
// writing them once when closed.
//
// Commands (ids of CommandTable.h) go where their row of CommandRoutes.h
// sends them (CommandRouter): editing commands to the active pane only,
// station commands to the transmit pane from any pane, the rest to the added
// targets and then the frame's own handlers (document, printing set-up, bars,
// panes, help, and the dialog commands of FrameDialogCommands). Accelerator
// keys are never typed into a pane, also while their command is disabled.
// Everything runs on the user-interface thread.
#include "app/PortState.h"
#include "frame/BarStyle.h"
#include "frame/DocumentController.h"
#include "frame/CommandRouter.h"
#include "views/CommandTarget.h"
#include "views/FrameStatus.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CVELTRANApp;
class CVELTRANDoc;
class CVELTRANView;
class CVELTRANView2;
class CVELTRANView3;
class FrameDialogCommands;
class FramePrompts;
class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QSplitter;
class QToolBar;
class HelpWindow;
class SplitKeyboardMover;
class TuningDock;

class CMainFrame : public QMainWindow, public FrameStatus, private CommandTarget {
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
    // own handlers; it claims what it carries in OnUpdateCommand. Not owned;
    // must outlive the frame.
    void AddCommandTarget(CommandTarget* target);

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
    QSplitter* Splitter() const { return m_wndSplitter; }
    QToolBar* MainToolBar() const { return m_wndToolBar; }
    QToolBar* FunctionBar() const { return m_wndFuncBar; }
    // The pane that keyboard input and pane commands go to.
    QWidget* ActiveView() const { return m_activeView; }
    // Status pane 0..9 text (0: the message pane or its idle text).
    QString PaneText(int pane) const;

    bool m_bFuncBar = false;
    std::string m_strDiddlePane;
    std::string m_strAutoPane;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateViews();
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void ApplyStoredPlacement();
    void FitStoredOuterSize();
    void SaveLayout();
    void RebuildRecentFiles();
    void DocumentChanged();
    void OnFocusChanged(QWidget* old, QWidget* now);
    void MovePaneFocus(int step);
    CommandRouter::Pane ActivePane() const;
    bool OnFrameCommand(int id);
    bool OnUpdateFrameCommand(int id, CommandState& state);
    // CommandTarget: the frame's own commands (the two above).
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;
    void ToggleFunctionBar();
    void PrintSetup();
    void SendMail();
    void ShowHelp();
    void ShowAbout();
    void RefreshLockPanes();
    // The document's title, with " (simulated)" while a port runs on the simulated modem.
    void RefreshTitle();
    // The RTTY and TNC ports as the operator is told them.
    std::pair<PortState, PortState> CurrentPortStates() const;
    QToolBar* MakeBar(const QString& name, const std::vector<int>& ids, QSize iconSize);

    CVELTRANApp& m_app;
    CVELTRANDoc& m_doc;
    std::unique_ptr<FramePrompts> m_ownPrompts;
    DocumentController m_docs;

    QSplitter* m_wndSplitter = nullptr;
    CVELTRANView* m_view = nullptr;
    CVELTRANView3* m_view3 = nullptr;
    CVELTRANView2* m_view2 = nullptr;
    QPointer<QWidget> m_activeView;

    QToolBar* m_wndToolBar = nullptr;
    QToolBar* m_wndFuncBar = nullptr;
    uint32_t m_toolBarStyle = 0;
    uint32_t m_funcBarStyle = 0;
    std::array<QLabel*, 10> m_panes{};  // [0] unused: pane 0 is the message area
    QLabel* m_idleLabel = nullptr;

    std::map<int, QAction*> m_actions;
    std::vector<QAction*> m_recentActions;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentAnchor = nullptr;
    CommandRouter m_router;

    std::unique_ptr<FrameDialogCommands> m_dialogCommands;
    std::unique_ptr<QPrinter> m_printer;
    QPointer<HelpWindow> m_help;
    SplitKeyboardMover* m_splitMover = nullptr;
    TuningDock* m_tuningDock = nullptr;
    QTimer m_updateTimer;
    // The stored outer size, until the window manager's frame is known and the
    // inner size has been set to fit it (or a short while after the first show).
    QSize m_wantedOuterSize;
    bool m_layoutSaved = false;
    bool m_bSimulated = false;  // a port runs on the simulated modem (UpdatePortStatus)
};
