// The TNC display pass: the "short" rule, backspaces on a short partial line,
// lines cut at LF, CR or the page width, and a CR inside a cut line.
#include "views/TncLineCutter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Repaint = DisplayPass::Repaint;

struct Step {
    std::string taken;
    Repaint repaint;
    std::string current;  // the current line after the pass
};

struct Case {
    const char* name;
    int width;
    std::vector<Step> steps;
    std::string completed;  // the finished lines after the last step
};

std::string Chars(size_t n, char c = 'x')
{
    return std::string(n, c);
}

class TncLineCutterCases : public ::testing::TestWithParam<Case> {};

TEST_P(TncLineCutterCases, Pass)
{
    const Case& c = GetParam();
    TncLineCutter cutter;
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        EXPECT_EQ(cutter.Pass(s.taken, 8, c.width), s.repaint) << "step " << i;
        EXPECT_EQ(cutter.CurrentLine(), s.current) << "step " << i;
        EXPECT_EQ(cutter.Caret(), static_cast<int>(s.current.size())) << "step " << i;
    }
    EXPECT_EQ(cutter.TakeCompleted(), c.completed);
    EXPECT_FALSE(cutter.NeedsPass(c.width));
}

INSTANTIATE_TEST_SUITE_P(
    TncLineCutter, TncLineCutterCases,
    ::testing::Values(
        // W = 67: up to 33 characters are the current line; from 34 to 66
        // nothing changes; at 67 the first 67 characters become a list line.
        Case{"ShortRule", 67,
             {{Chars(33), Repaint::kCurrentLine, Chars(33)},
              {"x", Repaint::kNone, Chars(33)},
              {Chars(32), Repaint::kNone, Chars(33)},
              {"yz", Repaint::kWholeView, "z"}},
             Chars(66) + "y"},
        Case{"ThirtyFourInOnePieceWaits", 67, {{Chars(34), Repaint::kNone, ""}}, ""},
        Case{"CrLfLinesInOnePiece", 67, {{"cmd:\r\nOK\r\n", Repaint::kWholeView, ""}}, "cmd:\nOK"},
        Case{"CrAloneEndsALine", 67, {{"cmd:\rOK\rC", Repaint::kWholeView, "C"}}, "cmd:\nOK"},
        Case{"BackspaceRubsOutOnAShortLine", 67,
             {{"AB", Repaint::kCurrentLine, "AB"}, {"\b", Repaint::kCurrentLineErase, "A"}},
             ""},
        Case{"BackspaceAtTheStartGoesAlone", 67, {{"\bA\b\bB", Repaint::kCurrentLineErase, "B"}}, ""},
        // A CR before the LF deletes itself and the character after it.
        Case{"CrInsideACutLine", 67, {{"CR\rXY\n", Repaint::kWholeView, ""}}, "CRY"},
        // In a cut line a backspace stays a character.
        Case{"BackspaceInACutLineStays", 67, {{"AB\b\n", Repaint::kWholeView, ""}}, "AB\b"},
        // Split over two arrivals a CR LF is still one line end; a further
        // LF is an empty line.
        Case{"CrLfSplitIsOneLineEnd", 67,
             {{"abc\r", Repaint::kWholeView, ""}, {"\n", Repaint::kNone, ""}, {"\nOK", Repaint::kWholeView, "OK"}},
             "abc\n"},
        Case{"LfLaterThanTheNextTextIsALineEnd", 67,
             {{"abc\r", Repaint::kWholeView, ""}, {"d", Repaint::kCurrentLine, "d"}, {"\n", Repaint::kWholeView, ""}},
             "abc\nd"},
        // A line finished before long unfinished text is shown at once, and
        // the current line no longer shows what went into it.
        Case{"FinishedLineBeforeWaitingText", 67,
             {{"cmd", Repaint::kCurrentLine, "cmd"}, {":\n" + Chars(40), Repaint::kWholeView, ""}},
             "cmd:"},
        // Stored widths outside 35..180 are taken as the nearest bound.
        Case{"ZeroWidthIsThirtyFive", 0, {{Chars(70), Repaint::kWholeView, ""}}, Chars(35) + "\n" + Chars(35)},
        Case{"NegativeWidthIsThirtyFive", -9, {{Chars(17), Repaint::kCurrentLine, Chars(17)}}, ""},
        Case{"HugeWidthIsOneEighty", 1 << 30, {{Chars(181), Repaint::kWholeView, "x"}}, Chars(180)},
        // A line end further than the width wraps the line there first, as
        // the same text arriving slowly would.
        Case{"LateLfStillWrapsAtTheWidth", 35, {{Chars(40) + "\nOK", Repaint::kWholeView, "OK"}},
             Chars(35) + "\n" + Chars(5)},
        Case{"LateCrStillWrapsAtTheWidth", 35, {{Chars(35) + "\rOK", Repaint::kWholeView, "OK"}},
             Chars(35) + "\n"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(TncLineCutter, NarrowerWidthCutsWaitingTextWithoutNewData)
{
    TncLineCutter cutter;
    EXPECT_EQ(cutter.Pass(Chars(60), 8, 67), Repaint::kNone);
    EXPECT_TRUE(cutter.NeedsPass(40));
    EXPECT_EQ(cutter.Pass({}, 8, 40), Repaint::kWholeView);
    EXPECT_EQ(cutter.TakeCompleted(), Chars(40));
    EXPECT_EQ(cutter.Pass({}, 8, 40), Repaint::kNone);
}

}  // namespace
