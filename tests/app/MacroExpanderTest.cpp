// Caret expansion: built-in keys, stored macros, references, the
// self-reference rule, the function-key names and the nesting bounds.
#include "app/MacroExpander.h"
#include "app/MemorySettingsStore.h"
#include "app/WallClock.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class FixedClock : public WallClock {
public:
    CivilTime utc;
    CivilTime local;
    CivilTime Now(bool isLocal) const override { return isLocal ? local : utc; }
};

class MacroExpanderTest : public ::testing::Test {
protected:
    MacroExpander Make()
    {
        return MacroExpander(settings, serial, clock, [this] { return byteSize; });
    }
    void Macro(const char* key, const char* text) { settings.PutText("Settings", key, text); }

    MemorySettingsStore settings;
    int32_t serial = 0;
    int byteSize = 5;
    FixedClock clock;
};

}  // namespace

TEST_F(MacroExpanderTest, SerialNumberCountsOnIAndRepeatsOnJ)
{
    serial = 0;
    MacroExpander x = Make();
    EXPECT_EQ(x.ExpandMacro('I', true), "0");
    EXPECT_EQ(x.ExpandMacro('I', true), "1");
    EXPECT_EQ(x.ExpandMacro('I', true), "2");
    EXPECT_EQ(x.ExpandMacro('J', true), "2");
    EXPECT_EQ(x.ExpandMacro('J', true), "2");
    EXPECT_EQ(serial, 3);
    // Every I counts, also inside references; the store's "I" is untouched.
    Macro("A", "NR ^I ^I ^J");
    EXPECT_EQ(x.ExpandMacro('A', true), "NR 3 4 4");
    EXPECT_FALSE(settings.Contains("Settings", "I"));
}

TEST_F(MacroExpanderTest, SerialNumberWrapsAsA32BitWordWithoutOverflow)
{
    serial = INT32_MAX;
    MacroExpander x = Make();
    EXPECT_EQ(x.ExpandMacro('I', true), "2147483647");
    EXPECT_EQ(serial, INT32_MIN);
    EXPECT_EQ(x.ExpandMacro('J', true), "2147483647");
    EXPECT_EQ(x.ExpandMacro('I', true), "-2147483648");
}

TEST_F(MacroExpanderTest, DateAndTimeAtAFixedInstantInUtcAndLocalTime)
{
    clock.utc = CivilTime{2009, 3, 6, 14, 5};
    clock.local = CivilTime{2009, 3, 6, 15, 5};
    MacroExpander x = Make();
    EXPECT_EQ(x.ExpandMacro('D', true), "3-06-09 ");
    EXPECT_EQ(x.ExpandMacro('T', true), "1405Z ");

    settings.PutInt("Settings", "UseLocal", 1);
    EXPECT_EQ(x.ExpandMacro('T', true), "1505 ");
    clock.local = CivilTime{2000, 12, 31, 0, 9};
    EXPECT_EQ(x.ExpandMacro('D', true), "12-31-00 ");
    EXPECT_EQ(x.ExpandMacro('T', true), "0009 ");
}

TEST_F(MacroExpanderTest, ModeFollowsTheLinksDataBitsAtEachExpansion)
{
    MacroExpander x = Make();
    byteSize = 5;
    EXPECT_EQ(x.ExpandMacro('M', true), "RTTY ");
    byteSize = 7;
    EXPECT_EQ(x.ExpandMacro('M', true), "ASCII ");
    byteSize = 8;
    EXPECT_EQ(x.ExpandMacro('M', true), "ASCII ");

    // Without a link the configured data type decides.
    MacroExpander noLink(settings, serial, clock, {});
    EXPECT_EQ(noLink.ExpandMacro('M', true), "RTTY ");
    settings.PutInt("Ports", "RTTYType", 8);
    EXPECT_EQ(noLink.ExpandMacro('M', true), "ASCII ");
}

TEST_F(MacroExpanderTest, TransmitterControlKeys)
{
    MacroExpander x = Make();
    EXPECT_EQ(x.ExpandMacro('W', true), "\x17");
    EXPECT_EQ(x.ExpandMacro('Q', true), "\x11");
    Macro("E", "^W CQ^q");
    EXPECT_EQ(x.ExpandMacro('E', true), "\x17 CQ\x11");
}

TEST_F(MacroExpanderTest, StoredMacrosAndReferences)
{
    Macro("C", "W1AW");
    Macro("K", "DL0ABC");
    Macro("A", "^K DE ^C ^C");
    MacroExpander x = Make();
    EXPECT_EQ(x.ExpandMacro('A', true), "DL0ABC DE W1AW W1AW");
    // A key with nothing stored expands to nothing, and so does a reference to it.
    EXPECT_EQ(x.ExpandMacro('G', true), "");
    Macro("F", "<^G>");
    EXPECT_EQ(x.ExpandMacro('F', true), "<>");
    // B is a stored value like a macro, with an empty default here.
    Macro("U", "[^B]");
    EXPECT_EQ(x.ExpandMacro('U', true), "[]");
    Macro("B", "20");
    EXPECT_EQ(x.ExpandMacro('U', true), "[20]");
}

TEST_F(MacroExpanderTest, SelfReferenceAddsNothing)
{
    Macro("C", "W1AW ^C!");
    MacroExpander x = Make();
    EXPECT_EQ(x.ExpandMacro('C', true), "W1AW !");
    // The lower-case reference is another byte: it expands C once more, and
    // inside that expansion the lower-case one is the self-reference.
    Macro("C", "X^c");
    EXPECT_EQ(x.ExpandMacro('C', true), "XX");
}

TEST_F(MacroExpanderTest, CaretsDoubledAndTrailing)
{
    Macro("A", "5^^3 = 125");
    Macro("Z", "^^^^");
    Macro("Y", "end^");
    Macro("U", "a^^^K b");
    Macro("K", "CALL");
    MacroExpander x = Make();
    EXPECT_EQ(x.ExpandMacro('A', true), "5^3 = 125");
    EXPECT_EQ(x.ExpandMacro('Z', true), "^^");
    EXPECT_EQ(x.ExpandMacro('Y', true), "end");
    EXPECT_EQ(x.ExpandMacro('U', true), "a^CALL b");

    std::string text = "x^^y^";
    x.ExpandReferences(text);
    EXPECT_EQ(text, "x^y");
    // The expansion ends at a trailing caret even when text could follow it.
    text = "^";
    x.ExpandReferences(text);
    EXPECT_EQ(text, "");
}

TEST_F(MacroExpanderTest, FunctionKeyCodesAndLowerCaseReferences)
{
    Macro("F2", "two");
    Macro("F3", "three");
    Macro("F4", "four");
    Macro("F6", "six");
    Macro("F7", "seven");
    Macro("F9", "nine");
    Macro("B", "40");
    Macro("A", "alpha");
    clock.utc = CivilTime{1998, 12, 6, 14, 5};
    MacroExpander x = Make();
    // From the keyboard the codes 0x71..0x78 are the function keys, also
    // 0x71 and 0x74, which a caret reference would read as Q and T.
    EXPECT_EQ(x.ExpandMacro(0x71, true), "two");
    EXPECT_EQ(x.ExpandMacro(0x73, true), "four");
    EXPECT_EQ(x.ExpandMacro(0x74, true), "");
    Macro("F5", "five");
    EXPECT_EQ(x.ExpandMacro(0x74, true), "five");

    std::string text = "^t|^s|^b|^r|^u|^v|^x|^a|^q|^w";
    x.ExpandReferences(text);
    EXPECT_EQ(text, "1405Z |four|40|three|six|seven|nine|alpha|\x11|\x17");
}

TEST_F(MacroExpanderTest, ExpandReferencesHasNoSelfRule)
{
    Macro("C", "W1AW");
    MacroExpander x = Make();
    std::string text = "^C de ^C";
    x.ExpandReferences(text);
    EXPECT_EQ(text, "W1AW de W1AW");
}

TEST_F(MacroExpanderTest, BytesThatNameNoMacroExpandToNothing)
{
    // Punctuation, control and 8-bit characters after a caret name no macro.
    settings.PutText("Settings", "/", "slash");
    settings.PutText("Settings", "\xe9", "e-acute");
    MacroExpander x = Make();
    std::string text = std::string("a^/b^\xe9" "c^\x01" "d^\r\n", 13);
    x.ExpandReferences(text);
    EXPECT_EQ(text, "abcd\n");
}

TEST_F(MacroExpanderTest, ATwoMacroCycleStopsAtTheDepthBound)
{
    Macro("A", "x^B");
    Macro("B", "y^A");
    MacroExpander x = Make();
    std::string expected;
    for (int level = 1; level <= MacroExpander::kMaxDepth; ++level)
        expected += (level % 2 == 1) ? "x" : "y";
    EXPECT_EQ(x.ExpandMacro('A', true), expected);

    // In a tape the first reference is the first level.
    std::string text = "^A";
    x.ExpandReferences(text);
    EXPECT_EQ(text, expected);
}

TEST_F(MacroExpanderTest, LegitimateNestingIsUntouched)
{
    Macro("C", "W1AW");
    Macro("K", "DL0ABC");
    Macro("H", "599");
    Macro("E", "^K DE ^C");
    Macro("F", "^E ^H ^I");
    Macro("G", "^F ^F");
    MacroExpander x = Make();
    EXPECT_EQ(x.ExpandMacro('G', true), "DL0ABC DE W1AW 599 0 DL0ABC DE W1AW 599 1");
}

TEST_F(MacroExpanderTest, CyclesOfAnyShapeFinishWithBoundedOutput)
{
    // Fan-out cycles would grow without end: every key refers to all others
    // several times over, with the serial number counting along.
    std::string wide;
    for (int i = 0; i < 200; ++i)
        wide += "^A^B^C^E^I^a^b^c";
    for (const char* key : {"A", "B", "C", "E"})
        Macro(key, wide.c_str());
    Macro("Z", std::string(4000, 'z').append("^Z^Y").c_str());
    Macro("Y", std::string(4000, 'y').append("^Z^Y^z^y").c_str());

    MacroExpander x = Make();
    for (char key : {'A', 'B', 'C', 'E', 'Z', 'Y'}) {
        const std::string out = x.ExpandMacro(key, true);
        EXPECT_LE(out.size(), MacroExpander::kMaxMacroBytes + 16 * MacroExpander::kMaxExpansions);
    }
    std::string text = wide + wide;
    x.ExpandReferences(text);
    // Seven top-level expansions, each within its budget of keys.
    EXPECT_LE(serial, 7 * MacroExpander::kMaxExpansions);
}

TEST_F(MacroExpanderTest, RandomMacroSetsNeverCrash)
{
    std::mt19937 rng(12345);
    const char alphabet[] = "^^^^ABCEIJKQWabceiqwxs \x11\x17" "0123456789";
    const char* keys[] = {"A", "B", "C", "E", "K", "0", "1", "F4", "F9"};
    for (int round = 0; round < 20; ++round) {
        for (const char* key : keys) {
            std::string text;
            const size_t length = rng() % 120;
            for (size_t i = 0; i < length; ++i)
                text += alphabet[rng() % (sizeof alphabet - 1)];
            Macro(key, text.c_str());
        }
        MacroExpander x = Make();
        for (char key : {'A', 'B', 'C', 'E', 'K', '0', '1', char(0x73), char(0x78)})
            (void)x.ExpandMacro(key, true);
        std::string tape;
        for (int i = 0; i < 300; ++i)
            tape += static_cast<char>(rng() & 0xFF);
        x.ExpandReferences(tape);
    }
    SUCCEED();
}
