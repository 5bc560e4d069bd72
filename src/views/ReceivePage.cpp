#include "views/ReceivePage.h"

#include "views/PaneViewport.h"

#include <algorithm>
#include <limits>

int ReceivePage::LineHeight(const PageMetrics& m)
{
    return std::max(1, m.lineHeight);
}

int ReceivePage::BottomEdge(const PageMetrics& m)
{
    return PaneViewport::BottomEdge(m.top, m.bottom, m.lineHeight, m.keptCount);
}

int ReceivePage::ReservedHeight(const PageMetrics& m)
{
    return m.merge ? 2 * LineHeight(m) : LineHeight(m);
}

void ReceivePage::CurrentLineRow(const PageMetrics& m, int* top, int* bottom)
{
    *bottom = BottomEdge(m);
    *top = *bottom - LineHeight(m);
}

void ReceivePage::EchoRow(const PageMetrics& m, int* top, int* bottom)
{
    *bottom = BottomEdge(m) - LineHeight(m);
    *top = *bottom - LineHeight(m);
}

std::vector<ReceivePage::Row> ReceivePage::VisibleRows(const PageMetrics& m)
{
    std::vector<Row> rows;
    const int64_t rowBottom = static_cast<int64_t>(BottomEdge(m)) - ReservedHeight(m);
    for (const PaneViewport::Row& r : PaneViewport::RowsAbove(rowBottom, m.top, m.lineHeight, m.lineCount, m.scrollBack))
        rows.push_back(Row{r.lineNumber, r.top, r.bottom});
    return rows;
}

ReceivePage::Hit ReceivePage::HitTest(const PageMetrics& m, int y)
{
    Hit hit;
    const int h = LineHeight(m);
    const int64_t b = BottomEdge(m);
    const int64_t r = ReservedHeight(m);
    if (b - r < y && y < b) {
        hit.kind = Hit::kCurrentLine;
        return hit;
    }
    if (const int64_t line = PaneViewport::LineAt(y, b - r, m.top, h, m.lineCount, m.scrollBack)) {
        hit.kind = Hit::kListLine;
        hit.lineNumber = line;
    }
    return hit;
}

int64_t ReceivePage::Scroll(ScrollRequest request, int64_t scrollBack, int64_t lineCount, int64_t thumbPos)
{
    return ViewportPolicy::ReceivePage().Scrolled(request, scrollBack, lineCount, thumbPos);
}

ScrollBarState ReceivePage::BarState(int64_t scrollBack, int64_t lineCount)
{
    return ViewportPolicy::ReceivePage().Bar(scrollBack, lineCount);
}

int ReceivePage::Column(int x, int averageCharWidth)
{
    return x / std::max(1, averageCharWidth);
}
