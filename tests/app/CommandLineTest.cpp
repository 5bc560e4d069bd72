#include "app/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, TestSwitchIsSlashOrHyphenThenT)
{
    for (const char* yes : {"/t", "/T", "-t", "-T", "/Test", "-tnc", "/t=1"})
        EXPECT_TRUE(IsTestSwitch(yes)) << yes;
    for (const char* no : {"/x", "-x", "t", "T", "/", "-", "", "--test", " /t", "\\t", "file.rty"})
        EXPECT_FALSE(IsTestSwitch(no)) << no;
}

TEST(CommandLine, OtherArgumentsKeepTheirOrder)
{
    const ParsedCommandLine p = ParseCommandLine({"/x", "log.rty", "/Test", "-style", "fusion"});
    EXPECT_TRUE(p.testMode);
    EXPECT_EQ(p.rest, (std::vector<std::string>{"/x", "log.rty", "-style", "fusion"}));

    const ParsedCommandLine none = ParseCommandLine({"/x"});
    EXPECT_FALSE(none.testMode);
    EXPECT_EQ(none.rest, (std::vector<std::string>{"/x"}));
    EXPECT_FALSE(ParseCommandLine({}).testMode);
}
