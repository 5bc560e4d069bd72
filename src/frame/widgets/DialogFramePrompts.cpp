#include "frame/widgets/DialogFramePrompts.h"

#include "frame/DocumentNaming.h"

#include <QFileDialog>
#include <QMessageBox>

QString DialogFramePrompts::OpenFileName(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                        QString::fromLatin1(docnames::kFilter) + QStringLiteral(";;All Files (*)"));
}

QString DialogFramePrompts::SaveFileName(QWidget* parent, const QString& suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Save As"), suggested,
                                        QString::fromLatin1(docnames::kFilter));
}

FramePrompts::SaveAnswer DialogFramePrompts::AskSaveChanges(QWidget* parent, const QString& docName)
{
    const auto button = QMessageBox::question(parent, QString::fromLatin1(docnames::kAppTitle),
                                              QStringLiteral("Save changes to %1?").arg(docName),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return SaveAnswer::Save;
    if (button == QMessageBox::No)
        return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

void DialogFramePrompts::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QString::fromLatin1(docnames::kAppTitle), text, QMessageBox::Ok);
}
