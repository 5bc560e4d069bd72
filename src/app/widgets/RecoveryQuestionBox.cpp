#include "app/widgets/RecoveryQuestionBox.h"

#include <QMessageBox>

bool AskRestoreSession(QWidget* parent, const QString& question)
{
    return QMessageBox::question(parent, QStringLiteral("VELTRAN"), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}
