// CMainFrame: the frame's own command rows, and running commands through the
// routing.
#include "app/CVELTRANDoc.h"
#include "app/CVELTRANApp.h"
#include "app/CommandTable.h"
#include "frame/widgets/CMainFrame.h"
#include "frame/widgets/FrameDialogCommands.h"
#include "frame/widgets/FrameHelpCommands.h"
#include "frame/widgets/FrameMenus.h"
#include "frame/widgets/FramePanes.h"
#include "frame/widgets/FramePrinting.h"
#include "frame/widgets/FrameToolBars.h"
#include "frame/widgets/MailDocument.h"
#include "frame/widgets/SplitKeyboardMover.h"
#include "frame/widgets/StatusPanes.h"
#include "frame/widgets/TuningDock.h"
#include "macros/widgets/CMacroSheet.h"
#include "modem/AudioTap.h"

#include <QStatusBar>
#include <QToolBar>

void CMainFrame::AddCommandRows()
{
    FrameCommandTable& t = m_commands;
    t.Add(ID_FILE_NEW, [this] { m_docs.NewDocument(); });
    t.Add(ID_FILE_OPEN, [this] { m_docs.OpenDocument(); });
    t.Add(ID_FILE_SAVE, [this] { m_docs.Save(); });
    t.Add(ID_FILE_SAVE_AS, [this] { m_docs.SaveAs(); });
    t.Add(ID_FILE_SEND_MAIL, [this] { MailDocument(m_doc, *this); });
    t.Add(ID_APP_EXIT, [this] { close(); });
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id) {
        const size_t index = static_cast<size_t>(id - ID_FILE_MRU_FILE1);
        t.Add(
            id,
            [this, index] {
                const std::vector<std::string>& files = m_docs.Recent().Files();
                if (index < files.size()) {
                    const std::string path = files[index];  // the list changes while opening
                    m_docs.OpenDocumentFile(path);
                }
            },
            [this, index] { return EnabledIf(index < m_docs.Recent().Files().size()); });
    }
    t.Add(
        ID_EDIT_MACROS,
        [this] {
            // The sheet re-seeds the serial number of the receive pane's document.
            CMacroSheet sheet(m_app.Settings(), m_panes->Receive() ? &m_doc : nullptr, SharedPrinter(), this);
            sheet.DoModal();
        });
    t.Add(
        ID_VIEW_TOOLBAR, [this] { m_bars->ToggleMainBar(); },
        [this] { return CheckedIf(!m_bars->MainBar()->isHidden()); });
    t.Add(
        ID_VIEW_STATUS_BAR, [this] { statusBar()->setVisible(statusBar()->isHidden()); },
        [this] { return CheckedIf(!statusBar()->isHidden()); });
    t.Add(
        ID_VIEW_FUNCTION_BAR, [this] { m_bars->ToggleFunctionBar(); },
        [this] { return CheckedIf(m_bars->FunctionBarWanted()); });
    // Only a sound card has anything to show.
    t.Add(
        ID_VIEW_TUNING, [this] { m_tuningDock->SetWanted(!m_tuningDock->Wanted()); },
        [this] { return CommandState{RttyAudioTap().IsActive(), m_tuningDock->Wanted()}; });
    t.Add(ID_WINDOW_SPLIT, [this] { m_splitMover->Start(); });
    t.Add(ID_NEXT_PANE, [this] { m_panes->MoveFocus(1); });
    t.Add(ID_PREV_PANE, [this] { m_panes->MoveFocus(-1); });
    m_printing->AddRows(t);
    m_help->AddRows(t);
    m_dialogCommands->AddRows(t);
}

QAction* CMainFrame::Action(int id) const
{
    return m_menus ? m_menus->Action(id) : nullptr;
}

void CMainFrame::AddCommandTarget(CommandTarget* target)
{
    m_router.AddFrameTarget(target);
}

CommandState CMainFrame::QueryCommand(int id)
{
    return m_router.Query(id, m_panes->ActivePane());
}

bool CMainFrame::ExecuteCommand(int id)
{
    const bool done = m_router.Execute(id, m_panes->ActivePane());
    UpdateCommandStates();
    return done;
}

void CMainFrame::UpdateCommandStates()
{
    if (!m_menus || !m_status)
        return;  // the frame is still being assembled
    m_menus->ApplyStates([this](int id) { return QueryCommand(id); });
    // Panes 3 and 4 show the stored texts at every update.
    m_status->Refresh();
}
