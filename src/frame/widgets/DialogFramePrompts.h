#pragma once
// The document commands' questions asked with the standard Qt dialogs.
#include "frame/FramePrompts.h"

class DialogFramePrompts : public FramePrompts {
public:
    QString OpenFileName(QWidget* parent) override;
    QString SaveFileName(QWidget* parent, const QString& suggested) override;
    SaveAnswer AskSaveChanges(QWidget* parent, const QString& docName) override;
    void ShowError(QWidget* parent, const QString& text) override;
};
