// The type-ahead line: send modes, wrap, keys and characters, line ends,
// history and receive-pane copies, and the commands on typed text.
#include "TransmitFakes.h"

#include "views/CommandTarget.h"
#include "views/VirtualKey.h"

#include <gtest/gtest.h>

using txfake::Bench;

namespace {

struct TypeAheadTest : ::testing::Test {
    void StartIn(int charMode, int wordMode, int protocol = 0)
    {
        b.settings.Put(keys::CharMode, charMode);
        b.settings.Put(keys::WordMode, wordMode);
        b.settings.Put(keys::RTTYDuplex, protocol);
        b.Start();
    }
    Bench b;
};

std::string Repeat(char c, int n) { return std::string(static_cast<size_t>(n), c); }

TEST_F(TypeAheadTest, LineModeWrapAtSeventyThirdCharacterCarriesPartialWord)
{
    StartIn(0, 0);
    const std::string first = Repeat('A', 60) + " " + Repeat('B', 11);  // 72 characters
    b.Type(first);
    EXPECT_TRUE(b.link().texts.empty());
    EXPECT_EQ(b.line->Caret(), 72);

    b.Type("C");  // the 73rd
    ASSERT_EQ(b.link().texts.size(), 1u);
    EXPECT_EQ(b.link().texts[0], Repeat('A', 60) + "\r\r\n");
    ASSERT_EQ(b.History().size(), 1u);
    EXPECT_EQ(b.History()[0], " > " + Repeat('A', 60));
    EXPECT_EQ(b.line->Line(), Repeat('B', 11) + "C");
    EXPECT_EQ(b.line->Caret(), 12);
    EXPECT_EQ(b.line->DisplayLine(), " > " + Repeat('B', 11) + "C");
}

TEST_F(TypeAheadTest, LineModeWithoutUsableBlankSendsWholeLine)
{
    StartIn(0, 0);
    b.Type(Repeat('X', 73));
    ASSERT_EQ(b.link().texts.size(), 1u);
    EXPECT_EQ(b.link().texts[0], Repeat('X', 73) + "\r\r\n");
    EXPECT_TRUE(b.line->Line().empty());

    // A blank only at the very start does not count as a wrap point.
    b.Type(" " + Repeat('Y', 72));
    ASSERT_EQ(b.link().texts.size(), 2u);
    EXPECT_EQ(b.link().texts[1], " " + Repeat('Y', 72) + "\r\r\n");
}

TEST_F(TypeAheadTest, LineModeEditsAtTheCaret)
{
    StartIn(0, 0);
    b.Type("CQ DX");
    b.line->OnKeyDown(vkey::kHome, false);
    b.Type("A");
    EXPECT_EQ(b.line->Line(), "ACQ DX");
    b.line->OnKeyDown(vkey::kDelete, false);
    EXPECT_EQ(b.line->Line(), "AQ DX");
    b.line->OnKeyDown(vkey::kEnd, false);
    EXPECT_EQ(b.line->Caret(), 5);
    b.line->OnKeyDown(vkey::kLeft, false);
    b.line->OnChar(8);
    EXPECT_EQ(b.line->Line(), "AQ X");
    b.line->OnKeyDown(vkey::kRight, false);
    b.line->OnKeyDown(vkey::kRight, false);  // already at the end
    EXPECT_EQ(b.line->Caret(), 4);
    b.line->OnKeyDown(vkey::kDelete, false);  // past the end: nothing
    EXPECT_EQ(b.line->Line(), "AQ X");
}

TEST_F(TypeAheadTest, CharacterModeSendsEachCharacterAndEndsLineAtSixtyEighth)
{
    StartIn(1, 1);
    EXPECT_TRUE(b.line->CharMode());
    EXPECT_FALSE(b.line->WordMode());
    b.Type(Repeat('R', 67));
    EXPECT_EQ(b.link().texts.size(), 67u);
    EXPECT_TRUE(b.History().empty());
    EXPECT_EQ(b.receive.deadmanClears, 67);
    EXPECT_EQ(b.receive.txEcho, Repeat('R', 67));
    EXPECT_EQ(b.link().echoStreams.back(), 1);

    b.Type("Y");
    ASSERT_EQ(b.History().size(), 1u);
    EXPECT_EQ(b.History()[0], " > " + Repeat('R', 67) + "Y");
    ASSERT_EQ(b.link().chars.size(), 1u);
    EXPECT_EQ(b.link().chars[0], "\r\r\n");
    EXPECT_TRUE(b.line->Sent().empty());
}

TEST_F(TypeAheadTest, CharacterModeEnterSendsOnlyTheLineEnd)
{
    b.settings.Put(keys::RTTYCRLF, 0);
    StartIn(1, 0);
    b.Type("DE");
    b.line->OnChar(13);
    EXPECT_EQ(b.link().AllSent(), "DE\r\n");
    ASSERT_EQ(b.link().chars.size(), 1u);
    EXPECT_EQ(b.link().chars[0], "\r\n");
    // Nothing can be edited once it is gone.
    b.Type("K");
    b.line->OnChar(8);
    b.line->OnKeyDown(vkey::kHome, false);
    EXPECT_EQ(b.line->Sent(), "K");
    EXPECT_EQ(b.line->Caret(), 1);
}

TEST_F(TypeAheadTest, WordModeHandsOnEachWordAtItsBlank)
{
    StartIn(0, 1);
    b.Type("CQ");
    EXPECT_TRUE(b.link().texts.empty());
    b.Type(" ");
    ASSERT_EQ(b.link().texts.size(), 1u);
    EXPECT_EQ(b.link().texts[0], "CQ ");
    b.Type("CQ");
    EXPECT_EQ(b.line->Sent(), "CQ ");
    EXPECT_EQ(b.line->Word(), "CQ");
    b.line->OnChar(13);
    ASSERT_EQ(b.link().texts.size(), 2u);
    EXPECT_EQ(b.link().texts[1], "CQ\r\r\n");
    EXPECT_EQ(b.History().back(), " > CQ CQ");
}

TEST_F(TypeAheadTest, WordModeBackspaceInSentTextMovesCaretOnly)
{
    StartIn(0, 1);
    b.Type("CQ DE");
    b.line->OnKeyDown(vkey::kHome, false);  // caret at 3, start of the word
    b.line->OnKeyDown(vkey::kLeft, false);  // into the sent "CQ "
    EXPECT_EQ(b.line->Caret(), 2);
    b.line->OnChar(8);
    EXPECT_EQ(b.line->Caret(), 1);
    EXPECT_EQ(b.line->Sent(), "CQ ");
    EXPECT_EQ(b.line->Word(), "DE");
    // The caret never goes below the start of the line.
    b.line->OnChar(8);
    b.line->OnChar(8);
    EXPECT_EQ(b.line->Caret(), 0);
    // Typing appends to the word whatever the caret.
    b.Type("X");
    EXPECT_EQ(b.line->Word(), "DEX");
    EXPECT_EQ(b.line->Caret(), 6);
}

TEST_F(TypeAheadTest, WordModePasteHandsOnOneWordPerInsertion)
{
    StartIn(0, 1);
    b.line->Paste("CQ CQ DE TEST ");
    ASSERT_EQ(b.link().texts.size(), 1u);
    EXPECT_EQ(b.link().texts[0], "CQ ");
    EXPECT_EQ(b.line->Word(), "CQ DE TEST ");
    b.Type("K");
    EXPECT_EQ(b.link().texts.back(), "CQ ");
    b.Type("K");
    EXPECT_EQ(b.link().texts.back(), "DE ");
    b.Type("K");
    EXPECT_EQ(b.link().texts.back(), "TEST ");
    EXPECT_EQ(b.line->Word(), "KKK");
    EXPECT_EQ(b.line->Sent(), "CQ CQ DE TEST ");
}

TEST_F(TypeAheadTest, WordModeEndsLineFiveBeyondWidthWithoutCarrying)
{
    StartIn(0, 1);
    b.Type(Repeat('W', 72));
    EXPECT_TRUE(b.History().empty());
    b.Type("Z");
    ASSERT_EQ(b.History().size(), 1u);
    EXPECT_EQ(b.link().texts.back(), Repeat('W', 72) + "Z\r\r\n");
    EXPECT_TRUE(b.line->Word().empty());
}

TEST_F(TypeAheadTest, OneInsertionEndsAtMostOneLineAndLongLinesGoWhole)
{
    StartIn(0, 0);
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += "ABCDEFG ";
    text += "TAIL";
    b.line->Paste(text);
    ASSERT_EQ(b.History().size(), 1u);
    EXPECT_EQ(b.History()[0].size(), 3 + text.size() - 5);
    EXPECT_EQ(b.line->Line(), "TAIL");
    // The finished line is over 1024 characters: it still goes, whole.
    ASSERT_EQ(b.link().texts.size(), 1u);
    EXPECT_EQ(b.link().texts[0], text.substr(0, text.size() - 5) + "\r\r\n");
}

TEST_F(TypeAheadTest, ControlKeyRunsMacroAndDropsItsCharacter)
{
    StartIn(0, 0);
    EXPECT_TRUE(b.line->OnKeyDown('C', true));
    EXPECT_FALSE(b.line->OnChar(3));
    ASSERT_EQ(b.macros.size(), 1u);
    EXPECT_EQ(b.macros[0], 'C');
    EXPECT_TRUE(b.line->Line().empty());

    EXPECT_TRUE(b.line->OnKeyDown(vkey::kF4, false));
    EXPECT_TRUE(b.line->OnKeyDown('7', true));
    EXPECT_EQ(b.macros, (std::vector<int>{'C', vkey::kF4, '7'}));

    // A plain letter is the toolkit's; its character is text.
    EXPECT_FALSE(b.line->OnKeyDown('C', false));
    EXPECT_TRUE(b.line->OnChar('c'));
    EXPECT_EQ(b.line->Line(), "c");
}

TEST_F(TypeAheadTest, AutoCapsAndControlCharacters)
{
    b.settings.Put(keys::AutoCaps, 1);
    StartIn(0, 0);
    b.Type("cq");
    b.line->OnChar(9);
    b.line->OnChar(1);
    b.line->OnChar(27);
    EXPECT_EQ(b.line->Line(), "CQ\x1b");
    b.line->OnChar(13);
    EXPECT_EQ(b.link().texts.back(), "CQ\x1b\r\r\n");
}

TEST_F(TypeAheadTest, ClosedPortLeavesEverythingToTheToolkit)
{
    b.receive.displayRunning = false;
    StartIn(0, 0);
    EXPECT_FALSE(b.line->PortOpen());
    EXPECT_FALSE(b.line->OnKeyDown('C', true));
    EXPECT_FALSE(b.line->OnChar('A'));
    EXPECT_FALSE(b.line->OnChar(13));
    EXPECT_TRUE(b.macros.empty());
    EXPECT_TRUE(b.History().empty());
}

TEST_F(TypeAheadTest, RepeatLastCommandSkipsMarkerAndPrompt)
{
    StartIn(0, 0);
    b.line->RepeatLastCommand();  // empty history: nothing
    EXPECT_TRUE(b.line->Line().empty());
    b.Type("CQ DE TEST\r");
    EXPECT_EQ(b.History().back(), " > CQ DE TEST");
    b.line->OnKeyDown(vkey::kUp, false);
    EXPECT_EQ(b.line->Line(), "CQ DE TEST");
    b.line->OnKeyDown(vkey::kF3, false);
    EXPECT_EQ(b.line->Line(), "CQ DE TESTCQ DE TEST");
}

TEST_F(TypeAheadTest, DuplicateAndCopyUseTheChosenHistoryLine)
{
    StartIn(0, 0);
    b.doc.AddText(">NOTE LINE", CVELTRANDoc::kTransmitList);
    b.Type("RST 599\r");
    CommandState copy;
    b.line->UpdateCopy(copy);
    EXPECT_FALSE(copy.enabled);
    EXPECT_FALSE(b.line->CopyText());

    b.line->SetSelLine(2);
    b.line->UpdateCopy(copy);
    EXPECT_TRUE(copy.enabled);
    EXPECT_EQ(b.line->CopyText().value(), "> RST 599");
    b.line->DuplicateCommand();
    EXPECT_EQ(b.line->Line(), "> RST 599");

    b.line->SetSelLine(1);
    EXPECT_EQ(b.line->CopyText().value(), "NOTE LINE");
    b.line->SetSelLine(3);  // no such line
    b.line->DuplicateCommand();
    EXPECT_EQ(b.line->Line(), "> RST 599");
}

TEST_F(TypeAheadTest, EndLineCopiesIntoReceivePaneUnderManualWithMerge)
{
    StartIn(0, 0);
    b.receive.txEcho = "stale";
    b.Type("cq de test\r");
    ASSERT_EQ(b.ReceiveList().size(), 1u);
    EXPECT_EQ(b.ReceiveList()[0], ">CQ DE TEST");  // as the far end prints it
    EXPECT_EQ(b.link().echoStreams.back(), 2);
    EXPECT_TRUE(b.receive.txEcho.empty());
    EXPECT_EQ(b.receive.scrolls, 1);
    EXPECT_EQ(b.History()[0], " > cq de test");
    EXPECT_EQ(b.line->Prompt(), "> ");

    b.settings.Put(keys::XRMerge, 0);
    b.Type("again\r");
    EXPECT_EQ(b.ReceiveList().size(), 1u);
}

TEST_F(TypeAheadTest, AutoProtocolAlwaysCopiesAndShowsHandOn)
{
    b.settings.Put(keys::XRMerge, 0);
    StartIn(0, 1, 2);
    EXPECT_FALSE(b.line->WordMode());  // cleared under Auto
    b.Type("QRZ\r");
    EXPECT_EQ(b.ReceiveList().back(), ">QRZ");
    EXPECT_EQ(b.status.LastAuto(), "Auto TXD   ");
    EXPECT_EQ(b.link().texts.back(), "QRZ\r\r\n");
}

TEST_F(TypeAheadTest, DelayProtocolStoresFinishedLines)
{
    StartIn(0, 0, 1);
    b.Type("CQ TEST\r");
    EXPECT_TRUE(b.link().texts.empty());
    EXPECT_EQ(b.control->Delayed(), "CQ TEST\r\r\n");
    EXPECT_TRUE(b.ReceiveList().empty());
    EXPECT_EQ(b.receive.deadmanClears, 0);
    EXPECT_EQ(b.History().back(), " > CQ TEST");
}

TEST_F(TypeAheadTest, NoReceiveViewStillEditsAndKeepsHistory)
{
    b.host.receive = nullptr;
    StartIn(0, 0);
    EXPECT_FALSE(b.line->PortOpen());
    // With the port flag forced by a later refresh the line still edits.
    b.host.receive = &b.receive;
    b.line->RefreshPortState();
    b.host.receive = nullptr;
    b.Type("HELLO\r");
    EXPECT_EQ(b.History().back(), " > HELLO");
    EXPECT_TRUE(b.link().ops.empty());
    EXPECT_TRUE(b.ReceiveList().empty());
}

TEST_F(TypeAheadTest, ModeCommandsHandOnUnsentTextAtOnce)
{
    StartIn(0, 0);
    b.Type("HELLO");
    b.line->SetWordMode();
    ASSERT_EQ(b.link().texts.size(), 1u);
    EXPECT_EQ(b.link().texts[0], "HELLO");  // no line end
    EXPECT_EQ(b.line->Sent(), "HELLO");
    EXPECT_TRUE(b.line->Line().empty());
    EXPECT_EQ(b.line->Caret(), 5);
    EXPECT_TRUE(b.ReceiveList().empty());  // the copy is off
    EXPECT_EQ(b.status.LastAuto(), "Auto TXD   ");

    b.Type(" WOR");
    b.line->SetLineMode();
    EXPECT_EQ(b.link().texts.back(), "WOR");
    EXPECT_EQ(b.line->Sent(), "HELLO WOR");
    b.Type("LD\r");
    EXPECT_EQ(b.link().texts.back(), "LD\r\r\n");
    EXPECT_EQ(b.History().back(), " > HELLO WORLD");

    CommandState state;
    b.line->UpdateLineMode(state);
    EXPECT_TRUE(state.checked);
    b.line->SetCharMode();
    b.line->UpdateCharMode(state);
    EXPECT_TRUE(state.checked);
    b.line->UpdateWordMode(state);
    EXPECT_FALSE(state.checked);
}

TEST_F(TypeAheadTest, CharacterModeNeedsManualButWordModeComesBackUnderDelay)
{
    StartIn(1, 0, 1);
    EXPECT_FALSE(b.line->CharMode());
    b.line->SetCharMode();
    EXPECT_FALSE(b.line->CharMode());
    EXPECT_FALSE(b.line->WordMode());
    b.line->SetWordMode();
    EXPECT_TRUE(b.line->WordMode());
}

TEST_F(TypeAheadTest, ModeChangeUnderDelaySendsEarlierLinesFirst)
{
    StartIn(0, 0, 1);
    b.Type("FIRST LINE\rSECOND");
    b.line->SetWordMode();
    EXPECT_EQ(b.link().AllSent(), "FIRST LINE\r\r\nSECOND");
    EXPECT_TRUE(b.control->Delayed().empty());
    // The finished line got its receive-pane copy; the partial one did not.
    EXPECT_EQ(b.ReceiveList(), (LineList{">FIRST LINE", ">"}));
}

TEST_F(TypeAheadTest, ClearScreenEmptiesBothLists)
{
    StartIn(0, 0);
    b.doc.AddText(" RECEIVED", CVELTRANDoc::kReceiveList);
    b.Type("SENT\r");
    ASSERT_FALSE(b.History().empty());
    b.line->ClearScreen();
    EXPECT_TRUE(b.History().empty());
    EXPECT_TRUE(b.ReceiveList().empty());
    EXPECT_GT(b.receive.repaints, 0);
}

TEST_F(TypeAheadTest, ModesComeFromSettingsAndAreWrittenBack)
{
    StartIn(1, 1);
    EXPECT_TRUE(b.line->CharMode());
    EXPECT_FALSE(b.line->WordMode());
    b.line->SetWordMode();
    b.line->SaveModes();
    EXPECT_EQ(b.settings.Get(keys::CharMode), 0);
    EXPECT_EQ(b.settings.Get(keys::WordMode), 1);
}

TEST_F(TypeAheadTest, DiscardUnsentKeepsSentPart)
{
    StartIn(0, 1);
    b.Type("CQ DE");
    b.line->DiscardUnsent();
    EXPECT_EQ(b.line->DisplayLine(), " > CQ ");
    EXPECT_EQ(b.line->Caret(), 3);
}

}  // namespace
