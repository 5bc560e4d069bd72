#pragma once
// The Yes/No box of the start-up question about a recovery copy
// (RecoveryQuestion.h gives its text). Yes is the default: keeping the text
// is what a key pressed in haste should do.
class QString;
class QWidget;

// True when the operator chose Yes. `parent` may be nullptr.
bool AskRestoreSession(QWidget* parent, const QString& question);
