// Page arithmetic of the receive pane: bottom edge, rows, hit test, scrolling.
#include "views/ReceivePage.h"

#include <gtest/gtest.h>

namespace {

constexpr int kH = 16;

PageMetrics Page(int rows, int64_t lines, bool merge, int64_t scrollBack = 0)
{
    PageMetrics m;
    m.top = 0;
    m.bottom = rows * kH;
    m.lineHeight = kH;
    m.keptCount = lines;
    m.lineCount = lines;
    m.merge = merge;
    m.scrollBack = scrollBack;
    return m;
}

int RowOf(int top)
{
    return top / kH + 1;  // 1-based row from the top of the page
}

TEST(ReceivePage, ThreeLinesOnTwentyRowsWithMergeFillRowsOneToFive)
{
    const PageMetrics m = Page(20, 3, true);
    EXPECT_EQ(ReceivePage::BottomEdge(m), 5 * kH);
    const auto rows = ReceivePage::VisibleRows(m);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].lineNumber, 3);
    EXPECT_EQ(RowOf(rows[0].top), 3);
    EXPECT_EQ(rows[2].lineNumber, 1);
    EXPECT_EQ(RowOf(rows[2].top), 1);
    int top = 0, bottom = 0;
    ReceivePage::EchoRow(m, &top, &bottom);
    EXPECT_EQ(RowOf(top), 4);
    ReceivePage::CurrentLineRow(m, &top, &bottom);
    EXPECT_EQ(RowOf(top), 5);
    EXPECT_EQ(bottom, 5 * kH);
}

TEST(ReceivePage, WithoutMergeTheListSitsDirectlyAboveTheCurrentLine)
{
    const PageMetrics m = Page(20, 3, false);
    const auto rows = ReceivePage::VisibleRows(m);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].bottom, ReceivePage::BottomEdge(m) - kH);
}

TEST(ReceivePage, FullPageUsesTheWholeHeightAndStopsAtTheTop)
{
    const PageMetrics m = Page(20, 1000, true);
    EXPECT_EQ(ReceivePage::BottomEdge(m), 20 * kH);
    const auto rows = ReceivePage::VisibleRows(m);
    ASSERT_EQ(rows.size(), 18u);
    EXPECT_EQ(rows.front().lineNumber, 1000);
    EXPECT_EQ(rows.back().lineNumber, 983);
    EXPECT_EQ(rows.back().top, 0);
}

TEST(ReceivePage, PartialTopRowIsDrawnButNothingAboveIt)
{
    PageMetrics m = Page(20, 1000, false);
    m.bottom += kH / 2;  // half a row more than 20
    const auto rows = ReceivePage::VisibleRows(m);
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_LT(rows.back().top, 0);
    EXPECT_GT(rows.back().bottom, 0);
}

TEST(ReceivePage, VisibleRowsCostOnlyThePageWhateverTheListLength)
{
    const PageMetrics m = Page(30, 1000000000, true, 5000);
    const auto rows = ReceivePage::VisibleRows(m);
    ASSERT_EQ(rows.size(), 28u);
    EXPECT_EQ(rows.front().lineNumber, 1000000000 - 5000);
}

TEST(ReceivePage, ScrolledBackPageHidesTheNewestLines)
{
    const auto rows = ReceivePage::VisibleRows(Page(20, 10, true, 4));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows.front().lineNumber, 6);
    EXPECT_TRUE(ReceivePage::VisibleRows(Page(20, 10, true, 11)).empty());
}

TEST(ReceivePage, KeptCountOnlyMovesTheBottomEdge)
{
    PageMetrics m = Page(20, 3, true);
    m.keptCount = 10;  // a document file whose stored count disagrees with its list
    EXPECT_EQ(ReceivePage::BottomEdge(m), 12 * kH);
    EXPECT_EQ(ReceivePage::VisibleRows(m).size(), 3u);
    m.keptCount = -50;  // damaged: taken as 0
    EXPECT_EQ(ReceivePage::BottomEdge(m), 2 * kH);
}

TEST(ReceivePage, ZeroLineHeightDoesNotDivideByZero)
{
    PageMetrics m = Page(20, 3, true);
    m.lineHeight = 0;
    EXPECT_EQ(ReceivePage::LineHeight(m), 1);
    EXPECT_NO_FATAL_FAILURE(ReceivePage::HitTest(m, 3));
}

TEST(ReceivePage, HitTestOnEchoRowCountsAsCurrentLineAndBoundariesHitNothing)
{
    const PageMetrics m = Page(20, 3, true);
    using Hit = ReceivePage::Hit;
    EXPECT_EQ(ReceivePage::HitTest(m, 4 * kH + 3).kind, Hit::kCurrentLine);  // current line row
    EXPECT_EQ(ReceivePage::HitTest(m, 3 * kH + 3).kind, Hit::kCurrentLine);  // echo row
    EXPECT_EQ(ReceivePage::HitTest(m, 3 * kH).kind, Hit::kNothing);          // boundary echo/list
    EXPECT_EQ(ReceivePage::HitTest(m, 5 * kH).kind, Hit::kNothing);          // the bottom edge
    EXPECT_EQ(ReceivePage::HitTest(m, 2 * kH).kind, Hit::kNothing);          // boundary of two list rows

    const Hit lowest = ReceivePage::HitTest(m, 2 * kH + 5);
    EXPECT_EQ(lowest.kind, Hit::kListLine);
    EXPECT_EQ(lowest.lineNumber, 3);
    const Hit oldest = ReceivePage::HitTest(m, 5);
    EXPECT_EQ(oldest.lineNumber, 1);
}

TEST(ReceivePage, HitTestBelowTheCurrentLineOrAboveTheOldestHitsNothing)
{
    EXPECT_EQ(ReceivePage::HitTest(Page(20, 3, true), 10 * kH).kind, ReceivePage::Hit::kNothing);
    // Scrolled back by 1: the top row is empty on a full-height short page.
    const PageMetrics m = Page(20, 3, false, 1);
    const auto hit = ReceivePage::HitTest(m, ReceivePage::BottomEdge(m) - kH - kH / 2);
    EXPECT_EQ(hit.lineNumber, 2);
    EXPECT_EQ(ReceivePage::HitTest(m, ReceivePage::BottomEdge(m) - 3 * kH - kH / 2).kind,
              ReceivePage::Hit::kNothing);
}

TEST(ReceivePage, HitTestWithoutMergeTreatsTheEchoRowAsTheNewestLine)
{
    const PageMetrics m = Page(20, 3, false);
    const int b = ReceivePage::BottomEdge(m);
    const auto hit = ReceivePage::HitTest(m, b - kH - 3);
    EXPECT_EQ(hit.kind, ReceivePage::Hit::kListLine);
    EXPECT_EQ(hit.lineNumber, 3);
}

TEST(ReceivePage, ScrollTable)
{
    // N = 3, M = 4.
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kPageUp, 0, 3, 0), 4);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kLineUp, 0, 3, 0), 1);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kLineUp, 4, 3, 0), 4);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kLineDown, 0, 3, 0), 0);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kPageDown, 4, 3, 0), 0);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kTop, 0, 3, 0), 4);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kBottom, 4, 3, 0), 0);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kOther, 2, 3, 0), 2);
    // N = 100, M = 101.
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kPageUp, 10, 100, 0), 15);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kPageUp, 96, 100, 0), 101);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kPageUp, 95, 100, 0), 100);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kPageDown, 6, 100, 0), 1);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kPageDown, 5, 100, 0), 0);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kThumbTrack, 0, 100, 1), 100);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kThumbPosition, 0, 100, 101), 0);
    // Out-of-range inputs are clamped to 0..M.
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kThumbTrack, 0, 100, -50), 101);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kThumbTrack, 0, 100, 500), 0);
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kOther, 900, 100, 0), 101);
    // After Clear Screen the count may exceed the new M: line down brings it back.
    EXPECT_EQ(ReceivePage::Scroll(ScrollRequest::kLineDown, 50, 0, 0), 1);
}

TEST(ReceivePage, ScrollBarFollowsTheCountAndIsDisabledForAnEmptyList)
{
    const ScrollBarState s = ReceivePage::BarState(1, 3);
    EXPECT_EQ(s.minimum, 0);
    EXPECT_EQ(s.maximum, 4);
    EXPECT_EQ(s.position, 3);
    EXPECT_TRUE(s.enabled);
    EXPECT_FALSE(ReceivePage::BarState(0, 0).enabled);
    EXPECT_EQ(ReceivePage::BarState(0, 0).maximum, 1);
    EXPECT_EQ(ReceivePage::BarState(0, 1000000).position, 1000001);
}

TEST(ReceivePage, ColumnFromAverageCharacterWidth)
{
    EXPECT_EQ(ReceivePage::Column(0, 8), 0);
    EXPECT_EQ(ReceivePage::Column(7, 8), 0);
    EXPECT_EQ(ReceivePage::Column(8, 8), 1);
    EXPECT_EQ(ReceivePage::Column(100, 0), 100);
}

}  // namespace
