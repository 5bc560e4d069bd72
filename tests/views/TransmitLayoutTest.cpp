// Transmit pane geometry: bottom edge of a short history, hit test bands,
// scroll requests; and the receive-list print plan.
#include "views/ReceiveListPrint.h"
#include "views/TransmitLayout.h"

#include <gtest/gtest.h>

namespace {

using Hit = TransmitLayout::Hit;
using Scroll = TransmitLayout::Scroll;

TEST(TransmitLayoutTest, ShortHistoryStartsNearTheTop)
{
    // 10 rows of 16 px, 3 history lines: n = 5 < 10, so the edge rises 5 rows.
    EXPECT_EQ(TransmitLayout::BottomEdge(160, 16, 3), 80);
    EXPECT_EQ(TransmitLayout::BottomEdge(160, 16, 8), 160);
    EXPECT_EQ(TransmitLayout::BottomEdge(165, 16, 100), 165);
}

TEST(TransmitLayoutTest, HitTestBandsAreStrict)
{
    // Bottom edge 80: current line 64..80, newest history 48..64, oldest 16..32.
    EXPECT_EQ(TransmitLayout::HitTest(70, 160, 16, 3, 0).kind, Hit::kCurrentLine);
    EXPECT_EQ(TransmitLayout::HitTest(64, 160, 16, 3, 0).kind, Hit::kNothing);
    EXPECT_EQ(TransmitLayout::HitTest(80, 160, 16, 3, 0).kind, Hit::kNothing);
    const Hit newest = TransmitLayout::HitTest(50, 160, 16, 3, 0);
    EXPECT_EQ(newest.kind, Hit::kHistoryLine);
    EXPECT_EQ(newest.line, 3);
    EXPECT_EQ(TransmitLayout::HitTest(20, 160, 16, 3, 0).line, 1);
    EXPECT_EQ(TransmitLayout::HitTest(10, 160, 16, 3, 0).kind, Hit::kNothing);
    EXPECT_EQ(TransmitLayout::HitTest(120, 160, 16, 3, 0).kind, Hit::kNothing);
    // Scrolled back one: the lowest history row is line 2, and line 1 above it.
    EXPECT_EQ(TransmitLayout::HitTest(50, 160, 16, 3, 1).line, 2);
    EXPECT_EQ(TransmitLayout::HitTest(20, 160, 16, 3, 1).kind, Hit::kNothing);
}

TEST(TransmitLayoutTest, ScrollRequests)
{
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kLineUp, 0, 5, 0), 1);
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kLineUp, 0, 5, 5), 5);
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kLineDown, 0, 5, 0), 0);
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kPageUp, 0, 5, 2), 2);
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kPageDown, 0, 5, 2), 2);
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kThumb, 1, 5, 0), 4);
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kThumb, 9, 5, 0), 0);
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kTop, 0, 5, 0), 5);
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kBottom, 0, 5, 3), 0);
    // A history emptied under a scrolled pane pulls it back to the newest.
    EXPECT_EQ(TransmitLayout::Scrolled(Scroll::kLineDown, 0, 0, 4), 0);
}

TEST(ReceiveListPrintTest, TypedLineGoesOnceBelowTheLastLineWhenRoomIsLeft)
{
    const LineList lines{" A", " B", " C", " D", " E"};
    ReceiveListPrint plan(lines, 2);
    EXPECT_EQ(plan.PageCount(), 3);
    EXPECT_EQ(plan.PageLines(2), (std::vector<std::string>{" C", " D"}));
    EXPECT_EQ(plan.PageLines(3), (std::vector<std::string>{" E"}));
    EXPECT_FALSE(plan.TakeTypedLine(2));
    EXPECT_TRUE(plan.TakeTypedLine(3));
    EXPECT_FALSE(plan.TakeTypedLine(3));  // once per job
    plan.StartJob();
    EXPECT_TRUE(plan.TakeTypedLine(3));
}

TEST(ReceiveListPrintTest, FullLastPageAndEmptyList)
{
    const LineList four{" A", " B", " C", " D"};
    ReceiveListPrint full(four, 2);
    EXPECT_EQ(full.PageCount(), 2);
    EXPECT_FALSE(full.TakeTypedLine(2));

    const LineList none;
    ReceiveListPrint empty(none, 50);
    EXPECT_EQ(empty.PageCount(), 1);
    EXPECT_TRUE(empty.PageLines(1).empty());
    EXPECT_TRUE(empty.TakeTypedLine(1));
}

}  // namespace
