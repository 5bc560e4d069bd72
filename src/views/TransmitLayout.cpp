#include "views/TransmitLayout.h"

#include <algorithm>

int TransmitLayout::BottomEdge(int clientHeight, int lineHeight, int historyCount)
{
    if (lineHeight <= 0)
        return clientHeight;
    const int n = historyCount + 2;
    const int rows = clientHeight / lineHeight;
    return n < rows ? clientHeight - (rows - n) * lineHeight : clientHeight;
}

TransmitLayout::Hit TransmitLayout::HitTest(int y, int clientHeight, int lineHeight,
                                            int historyCount, int scrollBack)
{
    Hit hit;
    if (lineHeight <= 0)
        return hit;
    const int bottom = BottomEdge(clientHeight, lineHeight, historyCount);
    if (y > bottom - lineHeight && y < bottom) {
        hit.kind = Hit::kCurrentLine;
        return hit;
    }
    // History rows as drawn: newest shown first, upwards until the top.
    int rowBottom = bottom - lineHeight;
    for (int line = historyCount - std::max(scrollBack, 0); line >= 1 && rowBottom > 0; --line) {
        if (y > rowBottom - lineHeight && y < rowBottom) {
            hit.kind = Hit::kHistoryLine;
            hit.line = line;
            return hit;
        }
        rowBottom -= lineHeight;
    }
    return hit;
}

int TransmitLayout::Scrolled(Scroll request, int thumb, int historyCount, int scrollBack)
{
    switch (request) {
    case Scroll::kLineUp:
        if (scrollBack < historyCount)
            ++scrollBack;
        break;
    case Scroll::kLineDown:
        if (scrollBack > 0)
            --scrollBack;
        break;
    case Scroll::kThumb:
        scrollBack = historyCount - thumb;
        break;
    case Scroll::kTop:
        scrollBack = historyCount;
        break;
    case Scroll::kBottom:
        scrollBack = 0;
        break;
    case Scroll::kPageUp:
    case Scroll::kPageDown:
        break;
    }
    return std::clamp(scrollBack, 0, std::max(historyCount, 0));
}
