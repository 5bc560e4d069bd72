#include "frame/widgets/FrameDialogCommands.h"

#include "app/CVELTRANApp.h"
#include "app/CommandTable.h"
#include "app/SettingsStore.h"
#include "frame/FrameCommandTable.h"
#include "frame/widgets/CKCallDialog.h"
#include "frame/widgets/COptionsDialog.h"

#include <QMessageBox>
#include <QWidget>

FrameDialogCommands::FrameDialogCommands(CVELTRANApp& app, QWidget& window, Hooks hooks)
    : m_app(app), m_window(window), m_hooks(std::move(hooks)), m_env(EditorEnvironment::FromProcess())
{
    m_message = [this](const QString& text) { QMessageBox::warning(&m_window, QStringLiteral("VELTRAN"), text); };
}

void FrameDialogCommands::AddRows(FrameCommandTable& table)
{
    // The file each tape editing command opens ("" for New Tape).
    static constexpr struct {
        int id;
        const char* file;
    } kTapes[] = {
        {ID_EDIT_CQ_TAPE, "TAPECQ.TXT"},
        {ID_EDIT_BRAG_TAPE, "TAPEBRAG.TXT"},
        {ID_EDIT_EXCHANGE_TAPE, "TAPEEXCHANGE.TXT"},
        {ID_EDIT_STARTUP_TAPE, "TAPESTARTUP.TXT"},
        {ID_EDIT_TNC_STARTUP_TAPE, "TAPESTARTUPTNC.TXT"},
        {ID_EDIT_NEW_TAPE, ""},
    };
    table.Add(ID_TOOLS_PORTS, [this] { RunPorts(); });
    table.Add(ID_TOOLS_OPTIONS, [this] { RunOptions(); });
    table.Add(ID_TOOLS_KCALL, [this] { RunKCall(); });
    for (const auto& tape : kTapes)
        table.Add(tape.id, [this, file = tape.file] { EditTape(file); });
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
