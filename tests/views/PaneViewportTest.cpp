// The pane viewport with the TNC terminal's table: no page steps, M = N, the
// bar written only when it would show something else.
#include "views/PaneViewport.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PaneViewport, TncTableAndBar)
{
    PaneViewport vp(ViewportPolicy::TncTerminal());
    std::vector<ScrollBarState> written;
    vp.SetBarWriter([&](const ScrollBarState& s) { written.push_back(s); });
    EXPECT_EQ(written.back(), (ScrollBarState{0, 0, 0, false}));  // empty: disabled, not hidden

    vp.SetLineCount(3);
    EXPECT_EQ(written.back(), (ScrollBarState{0, 3, 3, true}));
    const size_t writes = written.size();
    vp.SetLineCount(3);
    EXPECT_EQ(written.size(), writes);  // nothing new to show

    struct Step {
        ScrollRequest request;
        int64_t thumb;
        int64_t scrollBack;
    };
    for (const Step& s : {Step{ScrollRequest::kLineUp, 0, 1}, Step{ScrollRequest::kPageUp, 0, 1},
                          Step{ScrollRequest::kPageDown, 0, 1}, Step{ScrollRequest::kTop, 0, 3},
                          Step{ScrollRequest::kLineUp, 0, 3}, Step{ScrollRequest::kThumbTrack, 2, 1},
                          Step{ScrollRequest::kLineDown, 0, 0}, Step{ScrollRequest::kLineDown, 0, 0},
                          Step{ScrollRequest::kThumbPosition, -7, 3}, Step{ScrollRequest::kBottom, 0, 0}}) {
        vp.Scroll(s.request, s.thumb);
        EXPECT_EQ(vp.ScrollBack(), s.scrollBack);
        EXPECT_EQ(written.back().position, 3 - s.scrollBack);
    }

    // A scrolled-back page keeps its newest lines hidden as lines come; a
    // shorter list (Clear Screen) brings the count back within range.
    vp.Scroll(ScrollRequest::kLineUp, 0);
    vp.SetLineCount(10);
    EXPECT_EQ(vp.ScrollBack(), 1);
    EXPECT_EQ(written.back(), (ScrollBarState{0, 10, 9, true}));
    vp.SetLineCount(0);
    EXPECT_EQ(vp.ScrollBack(), 0);
    EXPECT_EQ(written.back(), (ScrollBarState{0, 0, 0, false}));
}
