// Paste K-Call word picking, Swap Line and the deadman count.
#include "views/Deadman.h"
#include "views/KCallPicker.h"
#include "views/ReceiveLineSwap.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const std::string kLine = " CQ DE abc k";  // marker, then the words CQ, DE, abc, k

TEST(KCallPicker, ClickOnAWordPicksItUpperCased)
{
    int column = 8;  // the b of abc
    EXPECT_EQ(KCallPicker::Pick(kLine, column), "ABC");
    EXPECT_EQ(column, 7);
}

TEST(KCallPicker, ClickOnABlankPicksTheWordAfterIt)
{
    int column = 6;  // the blank after DE
    EXPECT_EQ(KCallPicker::Pick(kLine, column), "ABC");
    EXPECT_EQ(column, 7);
}

TEST(KCallPicker, ClickOnTheMarkerPicksTheFirstWord)
{
    int column = 0;
    EXPECT_EQ(KCallPicker::Pick(kLine, column), "CQ");
    EXPECT_EQ(column, 1);
}

TEST(KCallPicker, LastWordAndTabs)
{
    int column = 11;
    EXPECT_EQ(KCallPicker::Pick(kLine, column), "K");
    column = 4;
    EXPECT_EQ(KCallPicker::Pick(" de\tw1aw/3 x", column), "W1AW/3");
}

TEST(KCallPicker, ColumnOutsideTheLineOrATrailingBlankPicksNothing)
{
    int column = 12;  // == length
    EXPECT_EQ(KCallPicker::Pick(kLine, column), "");
    column = -1;
    EXPECT_EQ(KCallPicker::Pick(kLine, column), "");
    column = 3;
    EXPECT_EQ(KCallPicker::Pick(" CQ ", column), "");
    column = 0;
    EXPECT_EQ(KCallPicker::Pick("", column), "");
}

TEST(KCallPicker, OnlyAsciiLettersAreUpperCased)
{
    int column = 1;
    EXPECT_EQ(KCallPicker::Pick(" g4\xe9x", column), "G4\xe9X");
}

TEST(ReceiveLineSwap, MarkerStaysAndTheRestIsSwapped)
{
    EXPECT_EQ(ReceiveLineSwap::Swap(" A1"), " -Q");
    EXPECT_EQ(ReceiveLineSwap::Swap(">-Q"), ">A1");
    EXPECT_EQ(ReceiveLineSwap::Swap(" A_;B"), " -?");
    EXPECT_EQ(ReceiveLineSwap::Swap(""), "");
    EXPECT_EQ(ReceiveLineSwap::Swap(" "), " ");
}

TEST(Deadman, DisabledNeverCounts)
{
    int32_t count = 0;
    for (int i = 0; i < 700; ++i)
        EXPECT_EQ(Deadman::Tick(count, true, true, true), Deadman::Action::kNone);
    EXPECT_EQ(count, 0);
}

TEST(Deadman, ForcesReceiveAfterSixHundredSecondsWhileKeyed)
{
    int32_t count = 0;
    for (int i = 0; i < 600; ++i)
        ASSERT_EQ(Deadman::Tick(count, false, false, true), Deadman::Action::kNone) << i;
    EXPECT_EQ(count, 600);
    EXPECT_EQ(Deadman::Tick(count, false, false, true), Deadman::Action::kForceReceive);
    // Every later keyed tick forces again until the transmit side resets the count.
    EXPECT_EQ(Deadman::Tick(count, false, true, false), Deadman::Action::kForceReceive);
    count = 0;
    EXPECT_EQ(Deadman::Tick(count, false, true, true), Deadman::Action::kNone);
}

TEST(Deadman, UnkeyedCountKeepsGrowingWithoutForcing)
{
    int32_t count = 0;
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(Deadman::Tick(count, false, false, false), Deadman::Action::kNone);
    EXPECT_EQ(count, 1000);
    EXPECT_EQ(Deadman::Tick(count, false, false, true), Deadman::Action::kForceReceive);
}

TEST(Deadman, CountSaturatesInsteadOfOverflowing)
{
    int32_t count = INT32_MAX;
    EXPECT_EQ(Deadman::Tick(count, false, true, false), Deadman::Action::kForceReceive);
    EXPECT_EQ(count, INT32_MAX);
}

}  // namespace
