#include "views/ViewportPolicy.h"

#include <algorithm>
#include <limits>

int64_t ViewportPolicy::Extent(int64_t lineCount) const
{
    return std::max<int64_t>(0, lineCount) + extraRows;
}

int64_t ViewportPolicy::Scrolled(ScrollRequest request, int64_t scrollBack, int64_t lineCount,
                                 int64_t thumbPos) const
{
    const int64_t m = Extent(lineCount);
    int64_t next = scrollBack;
    switch (request) {
    case ScrollRequest::kLineUp: next = scrollBack + 1; break;
    case ScrollRequest::kLineDown: next = scrollBack - 1; break;
    case ScrollRequest::kPageUp: next = scrollBack + pageStep; break;
    case ScrollRequest::kPageDown: next = scrollBack - pageStep; break;
    case ScrollRequest::kThumbPosition:
    case ScrollRequest::kThumbTrack: next = m - thumbPos; break;
    case ScrollRequest::kTop: next = m; break;
    case ScrollRequest::kBottom: next = 0; break;
    case ScrollRequest::kOther: break;
    }
    return std::clamp<int64_t>(next, 0, m);
}

ScrollBarState ViewportPolicy::Bar(int64_t scrollBack, int64_t lineCount) const
{
    constexpr int64_t kMaxBarValue = std::numeric_limits<int>::max();
    const int64_t m = std::min(Extent(lineCount), kMaxBarValue);
    ScrollBarState state;
    state.maximum = static_cast<int>(m);
    state.position = static_cast<int>(m - std::clamp<int64_t>(scrollBack, 0, m));
    state.enabled = lineCount > 0;
    return state;
}
