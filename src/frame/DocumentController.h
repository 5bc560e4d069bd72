#pragma once
// New, Open, Save and Save As of the one document, with its file path, the
// recent-file list and the question before unsaved changes are thrown away.
// A file that fails to open is reported with its reason and the open
// document (lists, counts and path) stays as it was. User-interface thread only.
#include "frame/RecentFileList.h"

#include <functional>
#include <string>

class CVELTRANDoc;
class SessionRecovery;
class FramePrompts;
class SettingsStore;
class QString;
class QWidget;

class DocumentController {
public:
    DocumentController(CVELTRANDoc& doc, SettingsStore& settings, FramePrompts& prompts);

    // Parent of the dialogs (the main window); may be nullptr.
    void SetDialogParent(QWidget* parent) { m_parent = parent; }
    // Called after the document's contents or name changed (title, repaint).
    void SetChangedCallback(std::function<void()> changed) { m_changed = std::move(changed); }

    // The recovery copy (not owned; nullptr: none): it goes whenever the
    // document is left without unsaved changes (saved, opened, new).
    void SetRecovery(SessionRecovery* recovery) { m_recovery = recovery; }
    // The document takes the recovery copy's lines and stays modified, with
    // no name ("Untitled"), so that the operator saves it. A copy that cannot
    // be read is reported as a failed open is; false then.
    bool RestoreRecovery();

    // Each returns false when cancelled or failed.
    bool NewDocument();
    bool OpenDocument();                        // asks for the file
    bool OpenDocumentFile(const std::string& path);  // recent files, drops, command line
    bool Save();
    bool SaveAs();
    // Asks whether to save a modified document: false when the operator cancels
    // or the save failed, so the caller must not throw the document away.
    bool SaveModified();

    // Reports a failure the way the document commands report theirs.
    void ReportError(const QString& text);

    const std::string& Path() const { return m_path; }
    std::string Title() const;
    RecentFileList& Recent() { return m_recent; }

private:
    bool SaveTo(const std::string& path);
    bool LoadFrom(const std::string& path);  // no question asked
    void Changed();
    // After a successful open or save: the document is clean, named `path`,
    // and first in the recent-file list.
    bool Adopt(const std::string& path);

    CVELTRANDoc& m_doc;
    FramePrompts& m_prompts;
    RecentFileList m_recent;
    QWidget* m_parent = nullptr;
    std::function<void()> m_changed;
    SessionRecovery* m_recovery = nullptr;
    std::string m_path;  // empty: never saved ("Untitled")
};
