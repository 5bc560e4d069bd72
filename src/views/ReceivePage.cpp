#include "views/ReceivePage.h"

#include <algorithm>
#include <limits>

namespace {
constexpr int64_t kMaxBarValue = std::numeric_limits<int>::max();
}

int ReceivePage::LineHeight(const PageMetrics& m)
{
    return std::max(1, m.lineHeight);
}

int ReceivePage::BottomEdge(const PageMetrics& m)
{
    const int h = LineHeight(m);
    const int64_t rows = (static_cast<int64_t>(m.bottom) - m.top) / h;
    const int64_t needed = std::max<int64_t>(0, m.keptCount) + 2;
    if (needed < rows)
        return static_cast<int>(m.bottom - (rows - needed) * h);
    return m.bottom;
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
    const int h = LineHeight(m);
    int64_t rowBottom = static_cast<int64_t>(BottomEdge(m)) - ReservedHeight(m);
    int64_t line = m.lineCount - std::max<int64_t>(0, m.scrollBack);
    while (line >= 1 && rowBottom > m.top) {
        rows.push_back(Row{line, static_cast<int>(rowBottom - h), static_cast<int>(rowBottom)});
        rowBottom -= h;
        --line;
    }
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
    int64_t rowBottom = b - r;
    int64_t line = m.lineCount - std::max<int64_t>(0, m.scrollBack);
    while (line >= 1 && rowBottom > m.top) {
        if (rowBottom - h < y && y < rowBottom) {
            hit.kind = Hit::kListLine;
            hit.lineNumber = line;
            return hit;
        }
        rowBottom -= h;
        --line;
    }
    return hit;
}

int64_t ReceivePage::Scroll(ScrollRequest request, int64_t scrollBack, int64_t lineCount, int64_t thumbPos)
{
    const int64_t m = std::max<int64_t>(0, lineCount) + 1;
    int64_t next = scrollBack;
    switch (request) {
    case ScrollRequest::kLineUp:
        next = scrollBack < m ? scrollBack + 1 : m;
        break;
    case ScrollRequest::kLineDown:
        next = scrollBack > 0 ? scrollBack - 1 : 0;
        break;
    case ScrollRequest::kPageUp:
        next = scrollBack < m - 5 ? scrollBack + 5 : m;
        break;
    case ScrollRequest::kPageDown:
        next = scrollBack > 5 ? scrollBack - 5 : 0;
        break;
    case ScrollRequest::kThumbPosition:
    case ScrollRequest::kThumbTrack:
        next = m - thumbPos;
        break;
    case ScrollRequest::kTop:
        next = m;
        break;
    case ScrollRequest::kBottom:
        next = 0;
        break;
    case ScrollRequest::kOther:
        break;
    }
    return std::clamp<int64_t>(next, 0, m);
}

ScrollBarState ReceivePage::BarState(int64_t scrollBack, int64_t lineCount)
{
    const int64_t m = std::min(std::max<int64_t>(0, lineCount) + 1, kMaxBarValue);
    ScrollBarState state;
    state.minimum = 0;
    state.maximum = static_cast<int>(m);
    state.position = static_cast<int>(m - std::clamp<int64_t>(scrollBack, 0, m));
    state.enabled = lineCount > 0;
    return state;
}

int ReceivePage::Column(int x, int averageCharWidth)
{
    return x / std::max(1, averageCharWidth);
}
