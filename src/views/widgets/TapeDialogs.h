#pragma once
// The file dialogs and the error box of the tape commands: "Tape Import"
// (open) and "Tape Export" (save, initial name "VELTRAN Export.txt", asks
// before replacing a file), both with the text-file filter and the default
// extension ".TXT"; and the exclamation box with the system's error text.
// User-interface thread only.
#include "app/LineList.h"

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QFileDialog;
class QWidget;

class TapeDialogs {
public:
    // The dialogs as they are shown (exposed for tests).
    static std::unique_ptr<QFileDialog> MakeImportDialog(QWidget* parent);
    static std::unique_ptr<QFileDialog> MakeExportDialog(QWidget* parent);

    // The chosen file as a local path, or nothing when cancelled.
    static std::optional<std::string> AskImportPath(QWidget* parent);
    // Export Tape: asks for the file, then writes the non-empty lines with
    // CR LF; failures are shown, success is not.
    static void ExportList(QWidget* parent, const LineList& lines);
    // The exclamation box with an OK button.
    static void ShowFileError(QWidget* parent, const std::string& text);

    // Local 8-bit path of a file name the dialog gave.
    static std::string LocalPath(const QString& fileName);
};
