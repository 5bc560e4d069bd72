#include "views/widgets/TapeDialogs.h"

#include "views/TapeExport.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace {

std::unique_ptr<QFileDialog> MakeDialog(QWidget* parent, const char* title, bool save)
{
    auto dialog = std::make_unique<QFileDialog>(parent, QString::fromLatin1(title));
    dialog->setNameFilter(QString::fromLatin1(TapeExport::kFilter));
    dialog->setDefaultSuffix(QString::fromLatin1(TapeExport::kDefaultSuffix));
    if (save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        // Replacing an existing file is confirmed first.
        dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    return dialog;
}

}  // namespace

std::unique_ptr<QFileDialog> TapeDialogs::MakeImportDialog(QWidget* parent)
{
    return MakeDialog(parent, TapeExport::kImportTitle, false);
}

std::unique_ptr<QFileDialog> TapeDialogs::MakeExportDialog(QWidget* parent)
{
    auto dialog = MakeDialog(parent, TapeExport::kTitle, true);
    dialog->selectFile(QString::fromLatin1(TapeExport::kInitialName));
    return dialog;
}

std::string TapeDialogs::LocalPath(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

std::optional<std::string> TapeDialogs::AskImportPath(QWidget* parent)
{
    auto dialog = MakeImportDialog(parent);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return LocalPath(dialog->selectedFiles().front());
}

void TapeDialogs::ExportList(QWidget* parent, const LineList& lines)
{
    auto dialog = MakeExportDialog(parent);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    std::string error;
    if (!TapeExport::WriteLines(LocalPath(dialog->selectedFiles().front()), lines, &error))
        ShowFileError(parent, error);
}

void TapeDialogs::ShowFileError(QWidget* parent, const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("VELTRAN"), QString::fromLocal8Bit(text),
                    QMessageBox::Ok, parent);
    box.exec();
}
