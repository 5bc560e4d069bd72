#pragma once
// The arithmetic of the receive page: where the bottom edge lies, which list
// lines occupy which rows, what a point hits, and how the scroll requests move
// the scroll-back count. Pure functions on a PageMetrics value, so the
// widget only paints what they say and tests need no display.
//
// The page is drawn from the bottom up: the current line (still arriving),
// above it the transmit-echo line when "XRMerge" is set, above that the newest
// list lines, skipping the `scrollBack` newest ones. Walks start at the newest
// end and stop at the top of the page, so the cost is the visible rows only,
// however long the list is.
#include "views/ViewportPolicy.h"

#include <cstdint>
#include <vector>

struct PageMetrics {
    int top = 0;         // client rectangle, bottom exclusive as in a window rectangle
    int bottom = 0;
    int lineHeight = 1;  // h; values below 1 are taken as 1
    int64_t keptCount = 0;  // the document's kept count of the receive list (bottom-edge rule only)
    int64_t lineCount = 0;  // lines actually in the receive list (N)
    bool merge = false;     // "XRMerge": the transmit-echo row is shown
    int64_t scrollBack = 0; // newest lines scrolled out of view below the page
};

class ReceivePage {
public:
    // One list line on the page: its number, 1-based from the oldest, and the
    // row it occupies (top inclusive, bottom exclusive).
    struct Row {
        int64_t lineNumber;
        int top;
        int bottom;
    };

    struct Hit {
        enum Kind { kNothing, kCurrentLine, kListLine };
        Kind kind = kNothing;
        int64_t lineNumber = -1;  // for kListLine
    };

    static int LineHeight(const PageMetrics& m);
    // Bottom edge B: a short page starts near the top. A negative kept count
    // (a damaged document file) is taken as 0.
    static int BottomEdge(const PageMetrics& m);
    // Height of the rows below the list: the current line, plus the echo row.
    static int ReservedHeight(const PageMetrics& m);
    // Row of the current line and of the transmit-echo line (top, bottom).
    static void CurrentLineRow(const PageMetrics& m, int* top, int* bottom);
    static void EchoRow(const PageMetrics& m, int* top, int* bottom);

    // The list lines drawn, newest first (lowest row first).
    static std::vector<Row> VisibleRows(const PageMetrics& m);

    // What the vertical position y hits. Boundaries belong to no row.
    static Hit HitTest(const PageMetrics& m, int y);

    // The new scroll-back count for a request (thumbPos for the two thumb
    // requests), clamped to 0..N+1: the receive page's ViewportPolicy.
    static int64_t Scroll(ScrollRequest request, int64_t scrollBack, int64_t lineCount, int64_t thumbPos);
    // The scroll bar for a scroll-back count: range 0..M, position M - scrollBack,
    // disabled (not hidden) when the list is empty and nothing can scroll.
    static ScrollBarState BarState(int64_t scrollBack, int64_t lineCount);

    // Character column of a point from the average character width (integer
    // division, toward zero). A width below 1 is taken as 1.
    static int Column(int x, int averageCharWidth);
};
