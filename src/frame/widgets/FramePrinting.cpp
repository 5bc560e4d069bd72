#include "frame/widgets/FramePrinting.h"

#include "app/CommandTable.h"
#include "frame/DocumentController.h"
#include "frame/FrameCommandTable.h"

#include <QPageSetupDialog>
#include <QPrinterInfo>

QPrinter* FramePrinting::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void FramePrinting::AddRows(FrameCommandTable& table)
{
    table.Add(ID_FILE_PRINT_SETUP, [this] {
        QPageSetupDialog dialog(Printer(), &m_window);
        dialog.exec();
    });
}

bool FramePrinting::PrintFile(DocumentController& docs, const std::string& path, const std::string& printerName,
                              const std::function<bool()>& printActivePane)
{
    if (path.empty()) {
        docs.ReportError(QStringLiteral("No document file to print was named."));
        return false;
    }
    if (!docs.OpenDocumentFile(path))
        return false;
    QPrinter* printer = Printer();
    if (!printerName.empty()) {
        const QString name = QString::fromLocal8Bit(printerName.data(), static_cast<qsizetype>(printerName.size()));
        if (!QPrinterInfo::availablePrinterNames().contains(name)) {
            docs.ReportError(QStringLiteral("The printer %1 is not available.").arg(name));
            return false;
        }
        printer->setPrinterName(name);
    } else if (printer->outputFormat() == QPrinter::NativeFormat ? printer->printerName().isEmpty()
                                                                  : printer->outputFileName().isEmpty()) {
        docs.ReportError(QStringLiteral("No printer is set up."));
        return false;
    }
    if (!printActivePane()) {
        docs.ReportError(QStringLiteral("The active pane has nothing to print."));
        return false;
    }
    return true;
}
