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

// A path is a file name even before it exists: never the test switch.
TEST(CommandLine, FileNamesAreNeverSwitches)
{
    struct Case {
        const char* arg;
        bool exists;
        bool fileName;
    };
    const Case cases[] = {
        {"/tmp/new.rty", false, true}, {"/t/x", false, true},     {"/test.rty", false, true},
        {"/T.RTY", false, true},       {"-t.Rty", false, true},   {"/tmp", true, true},
        {"log", false, true},          {"/t", false, false},      {"/Test", false, false},
        {"-t", false, false},          {"/tmp", false, false},    {"/pt", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsFileNameArgument(c.arg, c.exists), c.fileName) << c.arg;
        const ParsedCommandLine p = ParseCommandLine({c.arg}, [&](const std::string&) { return c.exists; });
        EXPECT_EQ(p.fileToOpen, c.fileName ? c.arg : "") << c.arg;
        EXPECT_EQ(p.testMode, !c.fileName && (c.arg[1] == 't' || c.arg[1] == 'T')) << c.arg;
    }
}

TEST(CommandLine, PrintSwitchesNameTheDocumentAndThePrinter)
{
    struct Case {
        std::vector<std::string> args;
        PrintRequest print;
        const char* file;
        const char* printer;
    };
    const Case cases[] = {
        {{"/p", "log.rty"}, PrintRequest::Print, "log.rty", ""},
        {{"log.rty", "-P"}, PrintRequest::Print, "log.rty", ""},
        {{"/pt", "/home/op/log.rty", "Shack Laser"}, PrintRequest::PrintTo, "/home/op/log.rty", "Shack Laser"},
        {{"/PT", "log.rty"}, PrintRequest::PrintTo, "log.rty", ""},
        {{"/p"}, PrintRequest::Print, "", ""},
        {{"/px", "log.rty"}, PrintRequest::None, "log.rty", ""},
        {{"log.rty", "other"}, PrintRequest::None, "log.rty", ""},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine p = ParseCommandLine(c.args);
        EXPECT_EQ(p.print, c.print) << c.args[0];
        EXPECT_EQ(p.fileToOpen, c.file) << c.args[0];
        EXPECT_EQ(p.printerName, c.printer) << c.args[0];
        EXPECT_FALSE(p.testMode) << c.args[0];
    }
}
