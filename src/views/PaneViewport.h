#pragma once
// Which part of a pane's list is on screen: the scroll-back count (newest
// lines hidden below the page; 0 follows the newest line), the page
// arithmetic of a list drawn from the bottom up, and the scroll bar's range.
// It is the only writer of its pane's scroll bar: every change goes out
// through the bar writer, and only when the bar would show something else.
// The pane's own table is its ViewportPolicy.
//
// New lines appear at the bottom: a page at the newest line follows them, a
// scrolled-back page keeps the same number of newest lines hidden.
// User-interface thread only.
#include "views/ViewportPolicy.h"

#include <cstdint>
#include <functional>
#include <vector>

class PaneViewport {
public:
    using BarWriter = std::function<void(const ScrollBarState&)>;

    explicit PaneViewport(ViewportPolicy policy) : m_policy(policy) {}

    // Writes the bar at once and after every change.
    void SetBarWriter(BarWriter writer);

    // The list now holds `lineCount` lines (added, cleared or replaced).
    void SetLineCount(int64_t lineCount);
    // A scroll request from the bar; `thumbPos` for the two thumb requests.
    // Returns true when the scroll-back count changed.
    bool Scroll(ScrollRequest request, int64_t thumbPos);
    void ScrollToNewest();

    int64_t ScrollBack() const { return m_scrollBack; }
    int64_t LineCount() const { return m_lineCount; }
    ScrollBarState Bar() const { return m_policy.Bar(m_scrollBack, m_lineCount); }

    // Page arithmetic, in client coordinates (bottom exclusive). A short list
    // starts near the top: with `keptCount` lines and v whole rows, the
    // bottom edge rises by v - (keptCount + 2) rows while that is positive.
    static int BottomEdge(int top, int bottom, int lineHeight, int64_t keptCount);

    // One list line on the page: its number (1-based from the oldest) and row.
    struct Row {
        int64_t lineNumber;
        int top;
        int bottom;
    };
    // The list rows drawn upwards from `rowBottom` (just above the rows the
    // pane reserves for its current line), newest shown first, until the top
    // of the page or the oldest line; the cost is the visible rows only.
    static std::vector<Row> RowsAbove(int64_t rowBottom, int top, int lineHeight, int64_t lineCount,
                                      int64_t scrollBack);

    // The list line whose row (as RowsAbove lays them out) holds y strictly
    // inside it, or 0 when none does: boundaries belong to no row.
    static int64_t LineAt(int y, int64_t rowBottom, int top, int lineHeight, int64_t lineCount,
                          int64_t scrollBack);

private:
    void WriteBar();

    ViewportPolicy m_policy;
    BarWriter m_writer;
    int64_t m_lineCount = 0;
    int64_t m_scrollBack = 0;
    ScrollBarState m_written;
    bool m_bWritten = false;
};
