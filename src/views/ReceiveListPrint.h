#pragma once
// What each printed page of a pane's list holds (PanePrinter): the list's
// lines oldest first, a page of `linesPerPage` lines after another, and, when
// the transmit pane prints the receive list, on the page where the list ends,
// if a row is left, the line still being typed (sent + unsent), printed once
// per job.
#include "app/LineList.h"

#include <string>
#include <vector>

class ReceiveListPrint {
public:
    ReceiveListPrint(const LineList& lines, int linesPerPage);

    // The least number of pages that holds every line (at least 1).
    int PageCount() const;
    // The lines of page `page` (1-based).
    std::vector<std::string> PageLines(int page) const;
    // Whether the typed line goes on `page`; true at most once per job
    // (the printed flag is set when it answers true).
    bool TakeTypedLine(int page);
    // A new job: the typed line may be printed again.
    void StartJob() { m_bLinePrinted = false; }

private:
    const LineList& m_lines;
    int m_nPerPage;
    bool m_bLinePrinted = false;
};
