#include "views/widgets/TncTapeCommands.h"

#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "views/FileExists.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/TapeDialogs.h"


TncTapeCommands::TncTapeCommands(CVELTRANDoc& doc, CVELTRANView2& view)
    : QObject(&view), m_doc(doc), m_view(view), m_sender(*this, doc)
{
}

void TncTapeCommands::SendStartupTape()
{
    if (FileExists(TncTapeSender::kStartupTape))
        SendFile(TncTapeSender::kStartupTape);
}

void TncTapeCommands::SendFile(const std::string& path)
{
    m_sender.SendFileToTnc(path);
}

bool TncTapeCommands::OnCommand(int id)
{
    switch (id) {
    case ID_FILE_IMPORT_TAPE:
        if (const std::optional<std::string> path = TapeDialogs::AskImportPath(&m_view))
            SendFile(*path);
        return true;
    case ID_FILE_EXPORT_TAPE:
        TapeDialogs::ExportList(&m_view, m_doc.GetList(CVELTRANDoc::kTncList));
        return true;
    default:
        return false;
    }
}

bool TncTapeCommands::OnUpdateCommand(int id, CommandState& state)
{
    if (id != ID_FILE_IMPORT_TAPE && id != ID_FILE_EXPORT_TAPE)
        return false;
    state.enabled = true;
    return true;
}

void TncTapeCommands::SendToTnc(std::string& text)
{
    m_view.Link().SendText(text);
}

void TncTapeCommands::TncListChanged()
{
    m_view.ListChanged();
}

void TncTapeCommands::ShowFileError(const std::string& text)
{
    TapeDialogs::ShowFileError(&m_view, text);
}
