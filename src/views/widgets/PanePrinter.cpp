#include "views/widgets/PanePrinter.h"

#include "app/Latin1Text.h"
#include "app/CommandTable.h"
#include "app/widgets/PrintPreviewPages.h"
#include "views/ReceiveListPrint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

namespace {

const LineList& LinesOf(const PanePrinter::Listing& listing)
{
    static const LineList kNone;
    return listing.lines ? *listing.lines : kNone;
}

int RowHeight(QPrinter& printer, const QFont& font)
{
    return std::max(1, QFontMetrics(font, &printer).lineSpacing());
}

}  // namespace

int PanePrinter::LinesPerPage(QPrinter& printer, const QFont& font)
{
    const int height = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    return std::max(1, height / RowHeight(printer, font));
}

std::vector<int> PanePrinter::PrintTo(QPrinter& printer, const Listing& listing)
{
    std::vector<int> printed;
    QPainter p;
    if (!p.begin(&printer))
        return printed;
    p.setFont(listing.font);
    const int h = RowHeight(printer, listing.font);
    const QRect page = p.viewport();
    ReceiveListPrint plan(LinesOf(listing), std::max(1, page.height() / h));
    plan.StartJob();
    const int pages = plan.PageCount();
    const int first = std::clamp(printer.fromPage() > 0 ? printer.fromPage() : 1, 1, pages);
    const int last = printer.toPage() > 0 ? std::min(printer.toPage(), pages) : pages;
    // One line per row, never wrapped nor cut at the row's edges.
    const int flags = Qt::TextSingleLine | Qt::TextExpandTabs | Qt::TextDontClip;
    for (int number = first; number <= last; ++number) {
        if (number > first)
            printer.newPage();
        int y = 0;
        int rows = 0;
        for (const std::string& line : plan.PageLines(number)) {
            p.drawText(QRect(0, y, page.width(), h), flags, Latin1(line));
            y += h;
            ++rows;
        }
        if (listing.typedLine && plan.TakeTypedLine(number)) {
            p.drawText(QRect(0, y, page.width(), h), flags, Latin1(*listing.typedLine));
            ++rows;
        }
        printed.push_back(rows);
    }
    p.end();
    return printed;
}

void PanePrinter::Run(int id, QWidget* parent, QPrinter* printer, SettingsStore& settings, const Listing& listing)
{
    QPrinter own(QPrinter::HighResolution);
    QPrinter& target = printer ? *printer : own;
    if (id == ID_FILE_PRINT_PREVIEW) {
        target.setFromTo(0, 0);  // the preview shows every page
        QPrintPreviewDialog preview(&target, parent);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&listing](QPrinter* p) { PrintTo(*p, listing); });
        RunPrintPreview(preview, settings);
        return;
    }
    if (id == ID_FILE_PRINT) {
        const ReceiveListPrint plan(LinesOf(listing), LinesPerPage(target, listing.font));
        QPrintDialog dialog(&target, parent);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        // The last page to print defaults to the page count.
        dialog.setMinMax(1, plan.PageCount());
        target.setFromTo(1, plan.PageCount());
        if (dialog.exec() != QDialog::Accepted)
            return;
    } else {
        target.setFromTo(0, 0);  // Print Direct: every page
    }
    PrintTo(target, listing);
}
