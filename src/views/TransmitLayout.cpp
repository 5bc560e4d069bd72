#include "views/TransmitLayout.h"

#include "views/PaneViewport.h"

#include <algorithm>

int TransmitLayout::BottomEdge(int clientHeight, int lineHeight, int historyCount)
{
    if (lineHeight <= 0)
        return clientHeight;
    return PaneViewport::BottomEdge(0, clientHeight, lineHeight, historyCount);
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
    if (const int64_t line = PaneViewport::LineAt(y, bottom - lineHeight, 0, lineHeight, historyCount, scrollBack)) {
        hit.kind = Hit::kHistoryLine;
        hit.line = static_cast<int>(line);
    }
    return hit;
}

int TransmitLayout::Scrolled(Scroll request, int thumb, int historyCount, int scrollBack)
{
    ScrollRequest r = ScrollRequest::kOther;
    switch (request) {
    case Scroll::kLineUp: r = ScrollRequest::kLineUp; break;
    case Scroll::kLineDown: r = ScrollRequest::kLineDown; break;
    case Scroll::kPageUp: r = ScrollRequest::kPageUp; break;
    case Scroll::kPageDown: r = ScrollRequest::kPageDown; break;
    case Scroll::kThumb: r = ScrollRequest::kThumbTrack; break;
    case Scroll::kTop: r = ScrollRequest::kTop; break;
    case Scroll::kBottom: r = ScrollRequest::kBottom; break;
    }
    return static_cast<int>(ViewportPolicy::TransmitHistory().Scrolled(r, scrollBack, historyCount, thumb));
}
