// Cutting received text into receive-page lines.
#include "views/ReceiveLineCutter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Repaint = ReceiveLineCutter::Repaint;

// Runs passes the way the display thread does: one with the new text, then
// more while the cutter still has work.
void Feed(ReceiveLineCutter& cutter, const std::string& text, int byteSize = 5, int width = 67)
{
    cutter.Pass(text, byteSize, width);
    int guard = 0;
    while (cutter.NeedsPass(width) && ++guard < 10000)
        cutter.Pass({}, byteSize, width);
    ASSERT_LT(guard, 10000) << "the cutter never settles";
}

TEST(ReceiveLineCutter, SixtySevenCharactersMakeOneLineAndTheNextStartsTheCurrentLine)
{
    ReceiveLineCutter cutter;
    const std::string text(67, 'R');
    Feed(cutter, text);
    EXPECT_EQ(cutter.TakeCompleted(), " " + text);
    EXPECT_EQ(cutter.CurrentLine(), "");

    Feed(cutter, "Y");
    EXPECT_EQ(cutter.TakeCompleted(), "");
    EXPECT_EQ(cutter.CurrentLine(), " Y");
}

TEST(ReceiveLineCutter, SixtySixCharactersStayOnTheCurrentLine)
{
    ReceiveLineCutter cutter;
    Feed(cutter, std::string(66, 'R'));
    EXPECT_EQ(cutter.TakeCompleted(), "");
    EXPECT_EQ(cutter.CurrentLine(), " " + std::string(66, 'R'));
}

TEST(ReceiveLineCutter, CrIsDroppedAndLineEndsAtLf)
{
    ReceiveLineCutter cutter;
    Feed(cutter, "ABC\r\nDEF");
    EXPECT_EQ(cutter.TakeCompleted(), " ABC");
    EXPECT_EQ(cutter.CurrentLine(), " DEF");
    EXPECT_EQ(cutter.Pending(), "DEF");
}

TEST(ReceiveLineCutter, OnePassFinishesOneLineAndAsksForMore)
{
    ReceiveLineCutter cutter;
    EXPECT_EQ(cutter.Pass("ONE\nTWO\nTH", 5, 67), Repaint::kWholeView);
    EXPECT_EQ(cutter.CurrentLine(), "");
    EXPECT_TRUE(cutter.NeedsPass(67));
    EXPECT_EQ(cutter.Pass({}, 5, 67), Repaint::kWholeView);
    EXPECT_TRUE(cutter.NeedsPass(67));
    EXPECT_EQ(cutter.Pass({}, 5, 67), Repaint::kCurrentLine);
    EXPECT_FALSE(cutter.NeedsPass(67));
    EXPECT_EQ(cutter.TakeCompleted(), " ONE\n TWO");
    EXPECT_EQ(cutter.CurrentLine(), " TH");
}

TEST(ReceiveLineCutter, PartialLineNeedsNoFurtherPassAndEmptyPassDoesNothing)
{
    ReceiveLineCutter cutter;
    EXPECT_EQ(cutter.Pass({}, 5, 67), Repaint::kNone);
    EXPECT_EQ(cutter.Pass("CQ", 5, 67), Repaint::kCurrentLine);
    EXPECT_FALSE(cutter.NeedsPass(67));
    EXPECT_EQ(cutter.Pass("\r", 5, 67), Repaint::kCurrentLine);
    EXPECT_EQ(cutter.CurrentLine(), " CQ");
}

TEST(ReceiveLineCutter, EmptyLinesAreKept)
{
    ReceiveLineCutter cutter;
    Feed(cutter, "\n\nX\n");
    EXPECT_EQ(cutter.TakeCompleted(), " \n \n X");
    EXPECT_EQ(cutter.CurrentLine(), "");
}

TEST(ReceiveLineCutter, TakeCompletedEmptiesTheHandOver)
{
    ReceiveLineCutter cutter;
    Feed(cutter, "A\n");
    std::string current, completed;
    cutter.Snapshot(&current, &completed);
    EXPECT_EQ(completed, " A");
    EXPECT_EQ(cutter.TakeCompleted(), "");
    Feed(cutter, "B\n");
    EXPECT_EQ(cutter.TakeCompleted(), " B");
}

TEST(ReceiveLineCutter, BellCharactersRingOncePerCharacterAndStayInTheText)
{
    int rings = 0;
    ReceiveLineCutter baudot([&] { ++rings; });
    Feed(baudot, "A*B**\x07", 5);
    EXPECT_EQ(rings, 3);
    EXPECT_EQ(baudot.CurrentLine(), " A*B**\x07");

    rings = 0;
    ReceiveLineCutter ascii([&] { ++rings; });
    Feed(ascii, "A*\x07" "B\x07", 8);
    EXPECT_EQ(rings, 2);
    Feed(ascii, "\x07", 7);
    EXPECT_EQ(rings, 3);
    EXPECT_EQ(ascii.CurrentLine(), " A*\x07" "B\x07\x07");
}

TEST(ReceiveLineCutter, BellRingsOnlyForNewlyTakenText)
{
    int rings = 0;
    ReceiveLineCutter cutter([&] { ++rings; });
    Feed(cutter, "**\n**\n**");
    EXPECT_EQ(rings, 6);
}

TEST(ReceiveLineCutter, StoredPageWidthIsClampedToItsBounds)
{
    EXPECT_EQ(ReceiveLineCutter::ClampPageWidth(0), 35);
    EXPECT_EQ(ReceiveLineCutter::ClampPageWidth(-7), 35);
    EXPECT_EQ(ReceiveLineCutter::ClampPageWidth(34), 35);
    EXPECT_EQ(ReceiveLineCutter::ClampPageWidth(35), 35);
    EXPECT_EQ(ReceiveLineCutter::ClampPageWidth(67), 67);
    EXPECT_EQ(ReceiveLineCutter::ClampPageWidth(180), 180);
    EXPECT_EQ(ReceiveLineCutter::ClampPageWidth(181), 180);
    EXPECT_EQ(ReceiveLineCutter::ClampPageWidth(2147483647), 180);
}

TEST(ReceiveLineCutter, ZeroOrNegativeWidthNeitherHangsNorFloodsThePage)
{
    for (int width : {0, -1, -2147483647 - 1}) {
        ReceiveLineCutter cutter;
        Feed(cutter, std::string(40, 'E'), 5, width);
        EXPECT_EQ(cutter.TakeCompleted(), " " + std::string(35, 'E')) << width;
        EXPECT_EQ(cutter.CurrentLine(), " EEEEE") << width;
    }
}

TEST(ReceiveLineCutter, HugeWidthStillWrapsAtTheUpperBound)
{
    ReceiveLineCutter cutter;
    Feed(cutter, std::string(400, 'T'), 5, 1000000);
    EXPECT_EQ(cutter.TakeCompleted(), " " + std::string(180, 'T') + "\n " + std::string(180, 'T'));
    EXPECT_EQ(cutter.CurrentLine(), " " + std::string(40, 'T'));
}

// The lines must not depend on how the link happened to split the text: a
// long line ahead of its LF in one read wraps at the page width as well.
TEST(ReceiveLineCutter, SameTextGivesTheSameLinesHoweverItArrives)
{
    const std::string r67(67, 'R');
    const struct {
        std::string text;
        std::string lines;
        std::string current;
    } cases[] = {
        {std::string(100, 'R') + "\nNEXT", " " + r67 + "\n " + std::string(33, 'R'), " NEXT"},
        {r67 + "\nNEXT", " " + r67 + "\n ", " NEXT"},
        {r67 + "R\n", " " + r67 + "\n R", ""},
    };
    for (const auto& c : cases) {
        ReceiveLineCutter atOnce;
        Feed(atOnce, c.text);
        EXPECT_EQ(atOnce.TakeCompleted(), c.lines) << c.text;
        EXPECT_EQ(atOnce.CurrentLine(), c.current) << c.text;
        ReceiveLineCutter slowly;
        for (char ch : c.text)
            Feed(slowly, std::string(1, ch));
        EXPECT_EQ(slowly.TakeCompleted(), c.lines) << c.text;
    }
}

TEST(ReceiveLineCutter, NarrowerWidthFinishesPendingTextWithoutNewData)
{
    ReceiveLineCutter cutter;
    Feed(cutter, std::string(50, 'N'), 5, 67);
    EXPECT_FALSE(cutter.NeedsPass(67));
    EXPECT_TRUE(cutter.NeedsPass(40));
    Feed(cutter, "", 5, 40);
    EXPECT_EQ(cutter.TakeCompleted(), std::string(" ").append(40, 'N'));
    EXPECT_EQ(cutter.CurrentLine(), std::string(" ").append(10, 'N'));
}

}  // namespace
