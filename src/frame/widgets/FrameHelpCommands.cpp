#include "frame/widgets/FrameHelpCommands.h"

#include "app/CommandTable.h"
#include "app/widgets/CAboutDlg.h"
#include "frame/FrameCommandTable.h"
#include "frame/widgets/HelpWindow.h"

#include <QWhatsThis>

void FrameHelpCommands::AddRows(FrameCommandTable& table)
{
    table.Add(ID_HELP_FINDER, [this] { ShowHelp(); });
    table.Add(ID_HELP, [this] { ShowHelp(); });
    table.Add(ID_CONTEXT_HELP, [] { QWhatsThis::enterWhatsThisMode(); });
    table.Add(ID_APP_ABOUT, [this] {
        CAboutDlg dialog(&m_window);
        dialog.exec();
    });
}

void FrameHelpCommands::ShowHelp()
{
    if (!m_help)
        m_help = new HelpWindow(&m_window);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void FrameHelpCommands::CloseHelp()
{
    if (m_help)
        m_help->close();
}
