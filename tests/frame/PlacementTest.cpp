#include "frame/Placement.h"

#include <gtest/gtest.h>

namespace {

constexpr PlacementRect kDesktop{0, 0, 1920, 1080};
constexpr int S = placement::kDefault;

TEST(Placement, NothingStoredLeavesTheSystemDefault)
{
    EXPECT_TRUE(ComputePlacement({S, S, S, S}, kDesktop).useSystemDefault);
    // The four are written together; a partial set is treated as missing.
    EXPECT_TRUE(ComputePlacement({10, 10, S, 500}, kDesktop).useSystemDefault);
}

TEST(Placement, RectangleOnScreenIsKept)
{
    const WindowPlacement p = ComputePlacement({100, 50, 900, 650}, kDesktop);
    ASSERT_FALSE(p.useSystemDefault);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 50);
    EXPECT_EQ(p.cx, 800);
    EXPECT_EQ(p.cy, 600);
}

TEST(Placement, RectangleAboveTheScreenMovesToItsTopKeepingHeight)
{
    // Stored bottom edge (-100) lies above the desktop top.
    const WindowPlacement p = ComputePlacement({100, -500, 500, -100}, kDesktop);
    ASSERT_FALSE(p.useSystemDefault);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.cy, 400);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.cx, 400);
}

TEST(Placement, RectangleLeftOfTheScreenMovesToItsLeftEdge)
{
    const WindowPlacement p = ComputePlacement({-900, 100, -100, 500}, kDesktop);
    ASSERT_FALSE(p.useSystemDefault);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.cx, 800);
}

TEST(Placement, TooWideOrTooTallIsCutAtTheEdges)
{
    const WindowPlacement p = ComputePlacement({-20, 100, 2500, 1300}, kDesktop);
    ASSERT_FALSE(p.useSystemDefault);
    // Partly left of the screen: the left edge stays (only wholly-left moves),
    // and the width is cut so the right edge ends at the screen's.
    EXPECT_EQ(p.x, -20);
    EXPECT_EQ(p.cx, 1940);
    EXPECT_EQ(p.y, 100);
    EXPECT_EQ(p.cy, 980);
}

TEST(Placement, MovedWindowIsShortenedFromItsNewPosition)
{
    // Above the screen and taller than it: moved to the top, then cut at the bottom.
    const WindowPlacement p = ComputePlacement({0, -3000, 500, -1}, kDesktop);
    ASSERT_FALSE(p.useSystemDefault);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.cy, 1080);
}

TEST(Placement, DesktopNotAtOrigin)
{
    const PlacementRect desktop{-1280, 200, 640, 1224};
    const WindowPlacement p = ComputePlacement({0, 50, 300, 150}, desktop);
    ASSERT_FALSE(p.useSystemDefault);
    EXPECT_EQ(p.y, 200);
    EXPECT_EQ(p.cy, 100);
    EXPECT_EQ(p.cx, 300);
}

TEST(Placement, WindowWithNoAreaOnTheDesktopFallsBackToTheSystem)
{
    // Wholly below the desktop: shortening would give a negative height.
    EXPECT_TRUE(ComputePlacement({100, 2000, 500, 2600}, kDesktop).useSystemDefault);
    // Wholly right of it.
    EXPECT_TRUE(ComputePlacement({2000, 10, 2500, 300}, kDesktop).useSystemDefault);
    // Inverted rectangle.
    EXPECT_TRUE(ComputePlacement({500, 500, 100, 100}, kDesktop).useSystemDefault);
}

TEST(Placement, ExtremeStoredValuesDoNotOverflow)
{
    const int big = 0x7FFFFFFF;
    // Height from far above down to the bottom edge does not fit 32 bits.
    EXPECT_TRUE(ComputePlacement({-big, -big, big, big}, kDesktop).useSystemDefault);
    EXPECT_TRUE(ComputePlacement({big, 0, 5, 1}, kDesktop).useSystemDefault);
    const WindowPlacement p = ComputePlacement({-big + 1, 0, -big + 100, 10}, kDesktop);
    ASSERT_FALSE(p.useSystemDefault);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.cx, 99);
}

}  // namespace
