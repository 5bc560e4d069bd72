#pragma once
// The program's one printer: File, "P&rint Setup..." sets it up and every
// pane's Print prints on it, so the chosen printer and page settings apply to
// them all. Also the command line's "/p FILE" and "/pt FILE PRINTER": the
// document is printed by the command the File menu's Print runs, without its
// dialog. User-interface thread only.
#include <QPrinter>
#include <functional>
#include <memory>
#include <string>

class DocumentController;
class FrameCommandTable;
class QWidget;

class FramePrinting {
public:
    // `window` parents the set-up dialog and must outlive this.
    explicit FramePrinting(QWidget& window) : m_window(window) {}

    // Made at the first use.
    QPrinter* Printer();
    // The row of File, "P&rint Setup...".
    void AddRows(FrameCommandTable& table);

    // Opens `path`, then prints it with `printActivePane` on the shared
    // printer (set to `printerName` unless empty). Failures are reported as
    // the document commands report theirs; false then.
    bool PrintFile(DocumentController& docs, const std::string& path, const std::string& printerName,
                   const std::function<bool()>& printActivePane);

private:
    QWidget& m_window;
    std::unique_ptr<QPrinter> m_printer;
};
