#include "frame/DocumentController.h"

#include "app/CVELTRANDoc.h"
#include "app/SessionRecovery.h"
#include "frame/DocumentNaming.h"
#include "frame/FramePrompts.h"

namespace {

QString LocalText(const std::string& s)
{
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

DocumentController::DocumentController(CVELTRANDoc& doc, SettingsStore& settings, FramePrompts& prompts)
    : m_doc(doc), m_prompts(prompts), m_recent(settings)
{
    m_recent.Load();
}

std::string DocumentController::Title() const
{
    return WindowTitleFor(m_path);
}

void DocumentController::Changed()
{
    // Nothing unsaved is left to recover.
    if (m_recovery && !m_doc.IsModified())
        m_recovery->Remove();
    if (m_changed)
        m_changed();
}

bool DocumentController::Adopt(const std::string& path)
{
    m_doc.SetModified(false);
    m_path = path;
    m_recent.Add(path);
    Changed();
    return true;
}

bool DocumentController::RestoreRecovery()
{
    if (!m_recovery)
        return false;
    std::string error;
    if (!m_recovery->Restore(&error)) {
        m_prompts.ShowError(m_parent, QStringLiteral("Cannot restore %1.\n%2")
                                          .arg(LocalText(m_recovery->DocumentPath()), LocalText(error)));
        return false;
    }
    m_path.clear();
    Changed();
    return true;
}

bool DocumentController::NewDocument()
{
    if (!SaveModified())
        return false;
    // The one document is reused: its lists stay (the panes clear their own),
    // and a new notice line is added.
    m_doc.OnNewDocument();
    m_doc.SetModified(false);
    m_path.clear();
    Changed();
    return true;
}

bool DocumentController::OpenDocument()
{
    if (!SaveModified())
        return false;
    const QString chosen = m_prompts.OpenFileName(m_parent);
    if (chosen.isEmpty())
        return false;
    const QByteArray local = chosen.toLocal8Bit();
    return LoadFrom(AbsoluteDocumentPath(std::string(local.constData(), static_cast<size_t>(local.size()))));
}

bool DocumentController::OpenDocumentFile(const std::string& path)
{
    if (path.empty() || !SaveModified())
        return false;
    const std::string absolute = AbsoluteDocumentPath(path);
    if (LoadFrom(absolute))
        return true;
    if (absolute != path)
        m_recent.Remove(path);  // an entry stored as typed by an earlier version
    return false;
}

bool DocumentController::LoadFrom(const std::string& path)
{
    std::string error;
    if (!m_doc.OpenFile(path, &error)) {
        m_prompts.ShowError(m_parent, QStringLiteral("Cannot open %1.\n%2").arg(LocalText(path), LocalText(error)));
        m_recent.Remove(path);
        return false;
    }
    return Adopt(path);
}

void DocumentController::ReportError(const QString& text)
{
    m_prompts.ShowError(m_parent, text);
}

bool DocumentController::Save()
{
    if (m_path.empty())
        return SaveAs();
    return SaveTo(m_path);
}

bool DocumentController::SaveAs()
{
    const std::string suggested = m_path.empty() ? std::string("VELTRAN") + docnames::kExtension : m_path;
    const QString chosen = m_prompts.SaveFileName(m_parent, LocalText(suggested));
    if (chosen.isEmpty())
        return false;
    const QByteArray local = chosen.toLocal8Bit();
    return SaveTo(WithRtyExtension(std::string(local.constData(), static_cast<size_t>(local.size()))));
}

bool DocumentController::SaveTo(const std::string& given)
{
    const std::string path = AbsoluteDocumentPath(given);
    std::string error;
    if (!m_doc.SaveFile(path, &error)) {
        m_prompts.ShowError(m_parent, QStringLiteral("Cannot save %1.\n%2").arg(LocalText(path), LocalText(error)));
        return false;
    }
    return Adopt(path);
}

bool DocumentController::SaveModified()
{
    if (!m_doc.IsModified())
        return true;
    switch (m_prompts.AskSaveChanges(m_parent, LocalText(DocumentNameFor(m_path)))) {
    case FramePrompts::SaveAnswer::Save:
        return Save();
    case FramePrompts::SaveAnswer::Discard:
        return true;
    case FramePrompts::SaveAnswer::Cancel:
        break;
    }
    return false;
}
