#include "macros/widgets/MacroListPrinter.h"

#include "macros/MacroListFormat.h"
#include "macros/MacroListHeading.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

void MacroListPrinter::Paint(QPainter& painter, const std::vector<QString>& lines)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const int h = metrics.height();
    for (size_t n = 0; n < lines.size(); ++n) {
        if (!lines[n].isEmpty())
            painter.drawText(QPoint(1, static_cast<int>(n) * h + metrics.ascent()), lines[n]);
    }
}

bool MacroListPrinter::PrintTo(QPrinter& printer, const MacroStore& store)
{
    printer.setDocName(QString::fromLatin1(kDocName));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    Paint(painter, MacroListFormat::Lines(store, MacroListHeading::Now()));
    painter.end();
    return true;
}

void MacroListPrinter::PrintWithDialog(QPrinter& printer, const MacroStore& store, QWidget* parent)
{
    printer.setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintTo(printer, store);
}

void MacroListPrinter::Preview(QPrinter& printer, const MacroStore& store, QWidget* parent)
{
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&store](QPrinter* p) { PrintTo(*p, store); });
    preview.exec();
}
