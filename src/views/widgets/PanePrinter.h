#pragma once
// Printing of a pane's list, shared by the panes that print (receive, TNC,
// transmit): Print (the print dialog first), Print Direct (no dialog) and
// Print Preview, on the frame's printer. One list line per row, oldest first,
// with the given font (the printer's default font unless a pane gives
// another): lines per page L = page height / line height (at least 1),
// pages = ceiling of N / L (at least 1), and the page range chosen in the
// dialog is honoured. The dialog offers no selection and no print to file.
// User-interface thread only.
#include "app/LineList.h"

#include <QFont>
#include <optional>
#include <string>
#include <vector>

class QPrinter;
class SettingsStore;
class QWidget;

class PanePrinter {
public:
    struct Listing {
        const LineList* lines = nullptr;
        QFont font;
        // Printed once per job below the list's last line when its page has a
        // row left (the transmit pane's line still being typed).
        std::optional<std::string> typedLine;
    };

    // Runs the print command `id` (ID_FILE_PRINT, ID_FILE_PRINT_DIRECT or
    // ID_FILE_PRINT_PREVIEW) on `printer`, or on a default printer of its own
    // when it is nullptr. A cancelled dialog prints nothing. The preview
    // opens with the page view kept in `settings` ("PreviewPages").
    static void Run(int id, QWidget* parent, QPrinter* printer, SettingsStore& settings, const Listing& listing);

    static int LinesPerPage(QPrinter& printer, const QFont& font);
    // Prints the pages of the printer's page range (all when none is set);
    // returns how many lines went on each page printed.
    static std::vector<int> PrintTo(QPrinter& printer, const Listing& listing);
};
