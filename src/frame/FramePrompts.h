#pragma once
// The questions and messages of the document commands, behind an interface so
// tests can answer them without modal dialogs. DialogFramePrompts (widgets)
// asks with the standard dialogs, modal over `parent`.
#include <QString>

class QWidget;

class FramePrompts {
public:
    enum class SaveAnswer { Save, Discard, Cancel };

    virtual ~FramePrompts() = default;
    // A document file to open; empty when cancelled.
    virtual QString OpenFileName(QWidget* parent) = 0;
    // A file to save the document as, starting from `suggested`; empty when cancelled.
    virtual QString SaveFileName(QWidget* parent, const QString& suggested) = 0;
    // "Save changes to <name>?" before unsaved changes would be thrown away.
    virtual SaveAnswer AskSaveChanges(QWidget* parent, const QString& docName) = 0;
    // A failure, with an OK button.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
};
