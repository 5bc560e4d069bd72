// CMainFrame, second half: the actions, menus and bars' commands, their
// routing and update, and the frame's own command handlers.
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/widgets/CAboutDlg.h"
#include "frame/widgets/CMainFrame.h"
#include "frame/widgets/FrameDialogCommands.h"
#include "frame/widgets/FrameIcons.h"
#include "frame/widgets/HelpWindow.h"
#include "frame/widgets/SplitKeyboardMover.h"
#include "frame/widgets/TuningDock.h"
#include "macros/widgets/CMacroSheet.h"
#include "modem/AudioTap.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

namespace {

bool IsRecentFile(int id)
{
    return id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4;
}

// Commands whose menu item carries a check mark.
bool IsCheckable(int id)
{
    switch (id) {
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_FUNCTION_BAR:
    case ID_VIEW_STATUS_BAR:
    case ID_VIEW_TUNING:
    case ID_TOOLS_TRANSMIT:
    case ID_TOOLS_RECEIVE:
    case ID_TOOLS_SEND_RECEIVE:
    case ID_TOOLS_LINE_MODE:
    case ID_TOOLS_WORD_MODE:
    case ID_TOOLS_CHAR_MODE:
        return true;
    default:
        return false;
    }
}

}  // namespace

void CMainFrame::CreateActions()
{
    for (const CommandInfo& c : CommandTable()) {
        if (IsRecentFile(c.id))
            continue;  // made per file by RebuildRecentFiles
        auto* action = new QAction(this);
        const QString text = QString::fromLatin1(c.menuText);
        action->setText(text.isEmpty() ? QString::fromLatin1(c.toolTip) : text);
        action->setStatusTip(QString::fromLatin1(c.prompt));
        action->setToolTip(QString::fromLatin1(c.toolTip));
        action->setIcon(FrameIcons::ForCommand(c.id));
        action->setData(c.id);
        action->setCheckable(IsCheckable(c.id));
        QList<QKeySequence> shortcuts;
        for (const std::string& keys : KeysForCommand(c.id))
            shortcuts.append(QKeySequence(QString::fromLatin1(keys.c_str())));
        action->setShortcuts(shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = c.id;
        connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
        m_actions[id] = action;
        // Accelerators without a menu item still need an action in the window.
        if (!shortcuts.isEmpty() && text.isEmpty())
            addAction(action);
    }
}

void CMainFrame::CreateMenus()
{
    auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else
                menu->addAction(m_actions.at(id));
        }
    };
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    add(m_fileMenu, {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0, ID_FILE_REPORT, 0,
                     ID_FILE_EXPORT_TAPE, ID_FILE_IMPORT_TAPE});
    QMenu* sendTape = m_fileMenu->addMenu(QStringLiteral("Se&nd Tape"));
    add(sendTape, {ID_SEND_CQ, ID_SEND_BRAG, ID_SEND_EXCHANGE});
    add(m_fileMenu, {0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0, ID_FILE_SEND_MAIL});
    m_recentAnchor = m_fileMenu->addSeparator();
    m_fileMenu->addSeparator();
    add(m_fileMenu, {ID_APP_EXIT});
    RebuildRecentFiles();

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    add(edit, {ID_EDIT_PASTE, 0});
    QMenu* tapes = edit->addMenu(QStringLiteral("&Tapes"));
    add(tapes, {ID_EDIT_CQ_TAPE, ID_EDIT_BRAG_TAPE, ID_EDIT_EXCHANGE_TAPE, ID_EDIT_STARTUP_TAPE,
                ID_EDIT_TNC_STARTUP_TAPE, 0, ID_EDIT_NEW_TAPE});
    add(edit, {ID_EDIT_MACROS, 0, ID_EDIT_SWAP_FIGS, ID_EDIT_SWAP_LINE, 0, ID_EDIT_CLEAR_SCREEN});

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    add(view, {ID_VIEW_TOOLBAR, ID_VIEW_FUNCTION_BAR, ID_VIEW_STATUS_BAR, ID_VIEW_TUNING, 0, ID_WINDOW_SPLIT});

    // No mnemonic on T: Alt+T is the Transmit accelerator, which must win.
    QMenu* tools = menuBar()->addMenu(QStringLiteral("T&ools"));
    add(tools, {ID_TOOLS_TRANSMIT, ID_TOOLS_RECEIVE, ID_TOOLS_SEND_RECEIVE, ID_TOOLS_CLEAR_TX_BUFFER, 0,
                ID_TOOLS_LINE_MODE, ID_TOOLS_WORD_MODE, ID_TOOLS_CHAR_MODE, 0, ID_TOOLS_KCALL, 0, ID_TOOLS_PORTS,
                ID_TOOLS_OPTIONS});

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, {ID_HELP_FINDER, 0, ID_APP_ABOUT});

    for (QMenu* menu : {m_fileMenu, sendTape, edit, tapes, view, tools, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
}

void CMainFrame::RebuildRecentFiles()
{
    if (!m_fileMenu)
        return;
    for (QAction* a : m_recentActions) {
        m_fileMenu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    const CommandInfo* info = FindCommand(ID_FILE_MRU_FILE1);
    const std::vector<std::string>& files = m_docs.Recent().Files();
    QAction* before = nullptr;
    const QList<QAction*> all = m_fileMenu->actions();
    const qsizetype anchor = all.indexOf(m_recentAnchor);
    if (anchor >= 0 && anchor + 1 < all.size())
        before = all[anchor + 1];
    if (files.empty()) {
        auto* placeholder = new QAction(QString::fromLatin1(info->menuText), this);
        placeholder->setEnabled(false);
        m_fileMenu->insertAction(before, placeholder);
        m_recentActions.push_back(placeholder);
        return;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const QString path = QString::fromLocal8Bit(files[i].c_str());
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), this);
        action->setStatusTip(QString::fromLatin1(info->prompt));
        action->setData(ID_FILE_MRU_FILE1 + static_cast<int>(i));
        const int id = ID_FILE_MRU_FILE1 + static_cast<int>(i);
        connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
        m_fileMenu->insertAction(before, action);
        m_recentActions.push_back(action);
    }
}

QAction* CMainFrame::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::AddCommandTarget(CommandTarget* target)
{
    m_router.AddFrameTarget(target);
}

CommandRouter::Pane CMainFrame::ActivePane() const
{
    const QWidget* active = m_activeView.data();
    if (active && active == m_view)
        return CommandRouter::Pane::kReceive;
    if (active && active == m_view3)
        return CommandRouter::Pane::kTransmit;
    if (active && active == m_view2)
        return CommandRouter::Pane::kTnc;
    return CommandRouter::Pane::kNone;
}

CommandState CMainFrame::QueryCommand(int id)
{
    return m_router.Query(id, ActivePane());
}

bool CMainFrame::ExecuteCommand(int id)
{
    const bool done = m_router.Execute(id, ActivePane());
    UpdateCommandStates();
    return done;
}

void CMainFrame::UpdateCommandStates()
{
    for (const auto& [id, action] : m_actions) {
        const CommandState state = QueryCommand(id);
        action->setEnabled(state.enabled);
        if (action->isCheckable())
            action->setChecked(state.checked);
    }
    // Panes 3 and 4 show the stored texts at every update.
    SetDiddlePaneText(m_strDiddlePane);
    SetAutoPaneText(m_strAutoPane);
    RefreshLockPanes();
}

// The frame as its router's last target: its own handlers below.
bool CMainFrame::OnCommand(int id)
{
    return OnFrameCommand(id);
}

bool CMainFrame::OnUpdateCommand(int id, CommandState& state)
{
    return OnUpdateFrameCommand(id, state);
}

bool CMainFrame::OnUpdateFrameCommand(int id, CommandState& state)
{
    switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
    case ID_FILE_PRINT_SETUP:
    case ID_FILE_SEND_MAIL:
    case ID_APP_EXIT:
    case ID_WINDOW_SPLIT:
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
    case ID_HELP_FINDER:
    case ID_HELP:
    case ID_CONTEXT_HELP:
    case ID_APP_ABOUT:
    case ID_EDIT_MACROS:
        state.enabled = true;
        return true;
    case ID_VIEW_TOOLBAR:
        state.checked = !m_wndToolBar->isHidden();
        return true;
    case ID_VIEW_STATUS_BAR:
        state.checked = !statusBar()->isHidden();
        return true;
    case ID_VIEW_FUNCTION_BAR:
        state.checked = m_bFuncBar;
        return true;
    case ID_VIEW_TUNING:
        // Only a sound card has anything to show.
        state.enabled = RttyAudioTap().IsActive();
        state.checked = m_tuningDock->Wanted();
        return true;
    default:
        if (IsRecentFile(id)) {
            state.enabled = static_cast<size_t>(id - ID_FILE_MRU_FILE1) < m_docs.Recent().Files().size();
            return true;
        }
        return m_dialogCommands->OnUpdateCommand(id, state);
    }
}

bool CMainFrame::OnFrameCommand(int id)
{
    switch (id) {
    case ID_FILE_NEW:
        m_docs.NewDocument();
        return true;
    case ID_FILE_OPEN:
        m_docs.OpenDocument();
        return true;
    case ID_FILE_SAVE:
        m_docs.Save();
        return true;
    case ID_FILE_SAVE_AS:
        m_docs.SaveAs();
        return true;
    case ID_FILE_PRINT_SETUP:
        PrintSetup();
        return true;
    case ID_FILE_SEND_MAIL:
        SendMail();
        return true;
    case ID_APP_EXIT:
        close();
        return true;
    case ID_VIEW_TOOLBAR:
        m_wndToolBar->setVisible(m_wndToolBar->isHidden());
        return true;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(statusBar()->isHidden());
        return true;
    case ID_VIEW_FUNCTION_BAR:
        ToggleFunctionBar();
        return true;
    case ID_VIEW_TUNING:
        m_tuningDock->SetWanted(!m_tuningDock->Wanted());
        return true;
    case ID_WINDOW_SPLIT:
        m_splitMover->Start();
        return true;
    case ID_NEXT_PANE:
        MovePaneFocus(1);
        return true;
    case ID_PREV_PANE:
        MovePaneFocus(-1);
        return true;
    case ID_HELP_FINDER:
    case ID_HELP:
        ShowHelp();
        return true;
    case ID_CONTEXT_HELP:
        QWhatsThis::enterWhatsThisMode();
        return true;
    case ID_APP_ABOUT:
        ShowAbout();
        return true;
    case ID_EDIT_MACROS: {
        // The sheet re-seeds the serial number of the receive pane's document.
        CMacroSheet sheet(m_app.Settings(), m_view ? &m_doc : nullptr, SharedPrinter(), this);
        sheet.DoModal();
        return true;
    }
    default:
        if (IsRecentFile(id)) {
            const size_t index = static_cast<size_t>(id - ID_FILE_MRU_FILE1);
            const std::vector<std::string>& files = m_docs.Recent().Files();
            if (index < files.size()) {
                const std::string path = files[index];  // the list changes while opening
                m_docs.OpenDocumentFile(path);
            }
            return true;
        }
        return m_dialogCommands->OnCommand(id);
    }
}

void CMainFrame::ToggleFunctionBar()
{
    m_bFuncBar = !m_bFuncBar;
    m_wndFuncBar->setVisible(m_bFuncBar);
}

QPrinter* CMainFrame::SharedPrinter()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void CMainFrame::PrintSetup()
{
    QPageSetupDialog dialog(SharedPrinter(), this);
    dialog.exec();
}

void CMainFrame::SendMail()
{
    // The mail client gets a copy of the document as it is now; the document's
    // own name and modified state are left alone.
    const QString copy = QDir(QDir::tempPath()).filePath(QStringLiteral("VELTRAN.rty"));
    const QByteArray local = copy.toLocal8Bit();
    const bool wasModified = m_doc.IsModified();
    std::string error;
    const bool saved = m_doc.SaveFile(std::string(local.constData(), static_cast<size_t>(local.size())), &error);
    m_doc.SetModified(wasModified);
    const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (saved && !xdgEmail.isEmpty() &&
        QProcess::startDetached(xdgEmail, {QStringLiteral("--subject"), QStringLiteral("VELTRAN Document"),
                                           QStringLiteral("--attach"), copy}))
        return;
    if (!QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:?subject=VELTRAN%20Document"))))
        SetMessageText(QStringLiteral("No mail program is set up on this desktop."));
}

void CMainFrame::ShowHelp()
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void CMainFrame::ShowAbout()
{
    CAboutDlg dialog(this);
    dialog.exec();
}
