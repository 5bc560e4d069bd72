#pragma once
// Paints the macro list (MacroListFormat) on one printer page: line n with
// its top at n x h and its left edge at x = 1 in device pixels, h being the
// line height of the painter's default font on that device. Asks the print
// dialog first (all pages, no range, no selection; printing to a PDF file is
// one of its printers) or shows the print preview. The store is read when
// the page is painted, so only saved macros are printed.
// User-interface thread only.
#include <QString>
#include <vector>

class MacroStore;
class QPainter;
class QPrinter;
class QWidget;

namespace MacroListPrinter {

inline constexpr const char* kDocName = "VELTRAN MACROS";

// Draws `lines` with the painter's current font.
void Paint(QPainter& painter, const std::vector<QString>& lines);
// Prints the list of `store` now, with the heading of this moment; false when
// the printer could not start the document (nothing is reported).
bool PrintTo(QPrinter& printer, const MacroStore& store);
// The print dialog, then printing; a cancelled dialog prints nothing.
void PrintWithDialog(QPrinter& printer, const MacroStore& store, QWidget* parent);
// The print preview, which can print from there.
void Preview(QPrinter& printer, const MacroStore& store, QWidget* parent);

}  // namespace MacroListPrinter
