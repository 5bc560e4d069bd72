#include "views/PaneViewport.h"

#include <algorithm>

void PaneViewport::SetBarWriter(BarWriter writer)
{
    m_writer = std::move(writer);
    m_bWritten = false;
    WriteBar();
}

void PaneViewport::SetLineCount(int64_t lineCount)
{
    m_lineCount = std::max<int64_t>(0, lineCount);
    m_scrollBack = std::clamp<int64_t>(m_scrollBack, 0, m_policy.Extent(m_lineCount));
    WriteBar();
}

bool PaneViewport::Scroll(ScrollRequest request, int64_t thumbPos)
{
    const int64_t before = m_scrollBack;
    m_scrollBack = m_policy.Scrolled(request, m_scrollBack, m_lineCount, thumbPos);
    // The bar's own move is replaced by the position the table gives.
    m_bWritten = false;
    WriteBar();
    return m_scrollBack != before;
}

void PaneViewport::ScrollToNewest()
{
    m_scrollBack = 0;
    WriteBar();
}

void PaneViewport::WriteBar()
{
    const ScrollBarState state = Bar();
    if (!m_writer || (m_bWritten && state == m_written))
        return;
    m_written = state;
    m_bWritten = true;
    m_writer(state);
}

int PaneViewport::BottomEdge(int top, int bottom, int lineHeight, int64_t keptCount)
{
    const int h = std::max(1, lineHeight);
    const int64_t rows = (static_cast<int64_t>(bottom) - top) / h;
    const int64_t needed = std::max<int64_t>(0, keptCount) + 2;
    if (needed < rows)
        return static_cast<int>(bottom - (rows - needed) * h);
    return bottom;
}

std::vector<PaneViewport::Row> PaneViewport::RowsAbove(int64_t rowBottom, int top, int lineHeight,
                                                       int64_t lineCount, int64_t scrollBack)
{
    std::vector<Row> rows;
    const int h = std::max(1, lineHeight);
    int64_t line = lineCount - std::max<int64_t>(0, scrollBack);
    while (line >= 1 && rowBottom > top) {
        rows.push_back(Row{line, static_cast<int>(rowBottom - h), static_cast<int>(rowBottom)});
        rowBottom -= h;
        --line;
    }
    return rows;
}

int64_t PaneViewport::LineAt(int y, int64_t rowBottom, int top, int lineHeight, int64_t lineCount,
                             int64_t scrollBack)
{
    const int h = std::max(1, lineHeight);
    // Rows lie upwards from rowBottom, newest first, one per line height.
    if (y >= rowBottom || rowBottom <= top)
        return 0;
    const int64_t rank = (rowBottom - 1 - y) / h;  // 0 for the lowest row
    const int64_t rowTop = rowBottom - (rank + 1) * h;
    const int64_t line = lineCount - std::max<int64_t>(0, scrollBack) - rank;
    // The row must be drawn (its bottom below the page top) and y strictly inside.
    if (line < 1 || rowTop + h <= top || y <= rowTop)
        return 0;
    return line;
}
