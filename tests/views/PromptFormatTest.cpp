// Prompt texts by kind, in local time and UTC.
#include "TransmitFakes.h"

#include "views/PromptFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(PromptFormatTest, KindsAndTimeZones)
{
    txfake::Calendar clock;  // local 9:05, UTC 14:05 on 6 March 2009
    EXPECT_EQ(FormatPromptText(0, false, clock), "3-06-09> ");
    EXPECT_EQ(FormatPromptText(1, false, clock), "1405Z> ");
    EXPECT_EQ(FormatPromptText(1, true, clock), "0905> ");
    EXPECT_EQ(FormatPromptText(2, false, clock), "% ");
    EXPECT_EQ(FormatPromptText(3, true, clock), "> ");
    EXPECT_EQ(FormatPromptText(4, false, clock), "");
    EXPECT_EQ(FormatPromptText(-1, false, clock), "");
}

TEST(PromptFormatTest, DateFollowsUseLocalAcrossMidnight)
{
    txfake::Calendar clock;
    clock.localTime = {1999, 12, 31, 23, 59};
    clock.utcTime = {2000, 1, 1, 4, 59};
    EXPECT_EQ(FormatPromptText(0, true, clock), "12-31-99> ");
    EXPECT_EQ(FormatPromptText(0, false, clock), "1-01-00> ");
}

}  // namespace
