// The frame's command rows: a row claims its command, runs its handler and
// answers with its state rule; a command without a row is left to others.
#include "frame/FrameCommandTable.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameCommandTable, ARowRunsItsHandlerAndAnswersWithItsRule)
{
    FrameCommandTable table;
    int ran = 0;
    bool wanted = false;
    table.Add(1, [&] { ++ran; });
    table.Add(2, [&] { ran += 10; }, [&] { return CheckedIf(wanted); });
    table.Add(3, [&] { ran += 100; }, [] { return EnabledIf(false); });

    CommandState state{false, true};
    ASSERT_TRUE(table.OnUpdateCommand(1, state));
    EXPECT_TRUE(state.enabled);   // no rule: enabled, unchecked
    EXPECT_FALSE(state.checked);
    wanted = true;
    ASSERT_TRUE(table.OnUpdateCommand(2, state));
    EXPECT_TRUE(state.checked);
    ASSERT_TRUE(table.OnUpdateCommand(3, state));
    EXPECT_FALSE(state.enabled);

    EXPECT_TRUE(table.OnCommand(1));
    EXPECT_TRUE(table.OnCommand(2));
    EXPECT_EQ(ran, 11);
}

TEST(FrameCommandTable, ACommandWithoutARowIsNotClaimedAndALaterRowReplaces)
{
    FrameCommandTable table;
    int ran = 0;
    CommandState state{false, true};
    EXPECT_FALSE(table.OnUpdateCommand(7, state));
    EXPECT_FALSE(state.enabled);  // left alone for the next target
    EXPECT_FALSE(table.OnCommand(7));

    table.Add(7, [&] { ran = 1; });
    table.Add(7, [&] { ran = 2; });
    EXPECT_TRUE(table.Has(7));
    EXPECT_TRUE(table.OnCommand(7));
    EXPECT_EQ(ran, 2);
}

TEST(FrameCommandTable, AHandlerMayReplaceItsOwnRowWhileItRuns)
{
    FrameCommandTable table;
    int ran = 0;
    table.Add(5, [&] {
        table.Add(5, [&] { ran = 2; });
        ran = 1;
    });
    EXPECT_TRUE(table.OnCommand(5));
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(table.OnCommand(5));
    EXPECT_EQ(ran, 2);
}

}  // namespace
