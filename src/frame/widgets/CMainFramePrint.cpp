// The command line's print switches ("/p", "/pt"): the document is printed by
// the same command the File menu's Print runs, without its dialog.
#include "app/CommandTable.h"
#include "frame/widgets/CMainFrame.h"

#include <QPrinter>
#include <QPrinterInfo>

bool CMainFrame::PrintFromCommandLine(const std::string& path, const std::string& printerName)
{
    // The window was never shown: its size and place are not the operator's.
    m_layoutSaved = true;
    if (path.empty()) {
        m_docs.ReportError(QStringLiteral("No document file to print was named."));
        return false;
    }
    if (!m_docs.OpenDocumentFile(path))
        return false;
    QPrinter* printer = SharedPrinter();
    if (!printerName.empty()) {
        const QString name = QString::fromLocal8Bit(printerName.data(), static_cast<qsizetype>(printerName.size()));
        if (!QPrinterInfo::availablePrinterNames().contains(name)) {
            m_docs.ReportError(QStringLiteral("The printer %1 is not available.").arg(name));
            return false;
        }
        printer->setPrinterName(name);
    } else if (printer->outputFormat() == QPrinter::NativeFormat ? printer->printerName().isEmpty()
                                                                  : printer->outputFileName().isEmpty()) {
        m_docs.ReportError(QStringLiteral("No printer is set up."));
        return false;
    }
    if (!ExecuteCommand(ID_FILE_PRINT_DIRECT)) {
        m_docs.ReportError(QStringLiteral("The active pane has nothing to print."));
        return false;
    }
    return true;
}
