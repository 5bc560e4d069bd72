#include "frame/widgets/FrameDialogCommands.h"

#include "app/CVELTRANApp.h"
#include "app/CommandTable.h"
#include "app/SettingsStore.h"
#include "frame/widgets/CKCallDialog.h"
#include "frame/widgets/COptionsDialog.h"

#include <QMessageBox>
#include <QWidget>

FrameDialogCommands::FrameDialogCommands(CVELTRANApp& app, QWidget& window, Hooks hooks)
    : m_app(app), m_window(window), m_hooks(std::move(hooks)), m_env(EditorEnvironment::FromProcess())
{
    m_message = [this](const QString& text) { QMessageBox::warning(&m_window, QStringLiteral("VELTRAN"), text); };
}

const char* FrameDialogCommands::TapeFileFor(int id)
{
    switch (id) {
    case ID_EDIT_CQ_TAPE:
        return "TAPECQ.TXT";
    case ID_EDIT_BRAG_TAPE:
        return "TAPEBRAG.TXT";
    case ID_EDIT_EXCHANGE_TAPE:
        return "TAPEEXCHANGE.TXT";
    case ID_EDIT_STARTUP_TAPE:
        return "TAPESTARTUP.TXT";
    case ID_EDIT_TNC_STARTUP_TAPE:
        return "TAPESTARTUPTNC.TXT";
    case ID_EDIT_NEW_TAPE:
        return "";
    default:
        return nullptr;
    }
}

bool FrameDialogCommands::OnUpdateCommand(int id, CommandState& state)
{
    if (id == ID_TOOLS_PORTS || id == ID_TOOLS_OPTIONS || id == ID_TOOLS_KCALL || TapeFileFor(id)) {
        state.enabled = true;
        return true;
    }
    return false;
}

bool FrameDialogCommands::OnCommand(int id)
{
    switch (id) {
    case ID_TOOLS_PORTS:
        RunPorts();
        return true;
    case ID_TOOLS_OPTIONS:
        RunOptions();
        return true;
    case ID_TOOLS_KCALL:
        RunKCall();
        return true;
    default:
        if (const char* file = TapeFileFor(id)) {
            EditTape(file);
            return true;
        }
        return false;
    }
}

void FrameDialogCommands::RunPorts()
{
    CPortsDialog dialog(m_app, m_hooks.portStates ? m_hooks.portStates() : PortsDialogStatus{}, &m_window);
    if (dialog.exec() == QDialog::Accepted && m_hooks.portsConfirmed)
        m_hooks.portsConfirmed(dialog.RemappedPorts());
    // Fonts chosen in the dialog apply even after Cancel.
    m_window.update();
    for (QWidget* child : m_window.findChildren<QWidget*>())
        child->update();
}

void FrameDialogCommands::RunOptions()
{
    COptionsDialog dialog(m_app.Settings(), m_env, &m_window);
    dialog.exec();
}

void FrameDialogCommands::RunKCall()
{
    SettingsStore& s = m_app.Settings();
    CKCallDialog dialog(s.Get(keys::MacroOtherCall), &m_window);
    if (dialog.exec() == QDialog::Accepted)
        s.Put(keys::MacroOtherCall, dialog.m_strCall);
}

void FrameDialogCommands::EditTape(const char* file)
{
    const std::string error = LaunchTapeEditor(m_app.Settings(), file, *m_launcher, m_env);
    if (!error.empty())
        m_message(QString::fromLocal8Bit(error.c_str()));
}
