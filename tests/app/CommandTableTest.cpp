#include "app/CommandTable.h"

#include <gtest/gtest.h>
#include <set>

namespace {

struct Expected {
    int id;
    const char* prompt;
    const char* tip;
};

// The program's own commands with their prompt strings as listed for the menu.
constexpr Expected kOwn[] = {
    {32771, "Change the program Options", "Options"},
    {32772, "Set up the COM ports", "Ports"},
    {32773, "Show or hide the function bar", "Toggle Function Bar"},
    {32774, "Save the buffer as a text file", "Export Tape"},
    {32775, "Read a text file from the disk", "Import Tape"},
    {32776, "Repeat Last Command", "Repeat Last Command"},
    {32777, "Duplicate Command", "Duplicate Command"},
    {32780, "Edit the CQ Tape", "CQ Tape"},
    {32781, "Edit the Brag Tape", "Brag Tape"},
    {32782, "Edit the Exchange Tape", "Exchange Tape"},
    {32783, "Edit the Startup Tape", "Startup Tape"},
    {32785, "Send the CQ Tape", "Send CQ"},
    {32786, "Send the Brag Tape", "Send Brag"},
    {32787, "Send the Exchange Tape", "Send Exchange"},
    {32788, "Set the Called Station", "K-Call"},
    {32789, "Edit the Macros", "Macros"},
    {32790, "Report Current Conditions to Log File", "Report"},
    {32791, "Swap the Baudot Figures/Letters Sign Bit", "Swap Fgrs/Ltrs"},
    {32792, "Flip the Sign Bit on the Whole Line", "Swap Line"},
    {32793, "Send the Transmission Data", "Transmit"},
    {32795, "Clear the Active Screen", "Clear Screen"},
    {32796, "Receive a transmission", "Receive"},
    {32797, "Clear the Buffered Transmission Data", "Clear Buffer"},
    {32798, "Send Data at the End of the Line", "Line Mode"},
    {32799, "Send each character individually", "Character Mode"},
    {32813, "Edit the TNC Startup Tape", "TNC Startup Tape"},
    {32814, "Paste Current word into the K-Call", "Paste K-Call"},
    {32815, "Create a new tape", "New Tape"},
    {32816, "Send Data at the End of each Word", "Word Mode"},
    {32818, "Send then Receive a transmission", "Send/Receive"},
    {32801, "Send the F2 Macro", "F2"},
    {32803, "Send the F4 Macro", "F4"},
    {32804, "Send the F5 Macro", "F5"},
    {32805, "Send the F6 Macro", "F6"},
    {32806, "Send the F7 Macro", "F7"},
    {32807, "Send the F8 Macro", "F8"},
    {32808, "Send the F9 Macro", "F9"},
};

TEST(CommandTable, OwnPromptsAndTipsAreExact)
{
    for (const Expected& e : kOwn) {
        const CommandInfo* c = FindCommand(e.id);
        ASSERT_NE(c, nullptr) << e.id;
        EXPECT_STREQ(c->prompt, e.prompt) << e.id;
        EXPECT_STREQ(c->toolTip, e.tip) << e.id;
        EXPECT_EQ(PromptString(e.id), std::string(e.prompt) + "\n" + e.tip);
    }
}

TEST(CommandTable, MenuTextsAreExact)
{
    const std::pair<int, const char*> menu[] = {
        {57600, "&New\tCtrl+N"}, {57601, "&Open...\tCtrl+O"}, {57603, "&Save\tCtrl+S"},
        {57604, "Save &As..."}, {32790, "&Report\tCtrl+R"}, {32774, "&Export Tape"},
        {32775, "&Import Tape"}, {32785, "&CQ"}, {32786, "&Brag"}, {32787, "&Exchange"},
        {57607, "&Print...\tCtrl+P"}, {57609, "Print Pre&view"}, {57606, "P&rint Setup..."},
        {57612, "Sen&d..."}, {57616, "Recent File"}, {57665, "E&xit"}, {57637, "&Paste\tCtrl+V"},
        {32780, "C&Q Tape"}, {32781, "&Brag Tape"}, {32782, "&Exchange Tape"},
        {32783, "&Startup Tape"}, {32813, "&TNC Startup Tape"}, {32815, "&New Tape"},
        {32789, "&Macros"}, {32791, "&Swap Figures/Letters"}, {32792, "Swap &Line"},
        {32795, "&Clear Screen"}, {59392, "&Toolbar"}, {32773, "&Function Bar"},
        {59393, "&Status Bar"}, {57653, "S&plit"}, {32793, "&Transmit (TX)\tAlt+X"},
        {32796, "&Receive (RX)\tAlt+R"}, {32818, "Send/Receive\tAlt+A"},
        {32797, "&Clear TX Buffer"}, {32798, "&Line Mode"}, {32816, "&Word Mode"},
        {32799, "C&haracter Mode"}, {32788, "&K-Call\tAlt+K"}, {32772, "&Ports"},
        {32771, "&Options"}, {57667, "&Help Topics"}, {57664, "&About VELTRAN..."},
    };
    for (const auto& [id, text] : menu) {
        const CommandInfo* c = FindCommand(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_STREQ(c->menuText, text) << id;
    }
}

TEST(CommandTable, EveryCommandHasPromptAndTipAndIdsAreUnique)
{
    std::set<int> ids;
    for (const CommandInfo& c : CommandTable()) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
        EXPECT_NE(std::string(c.prompt), "") << c.id;
        EXPECT_NE(std::string(c.toolTip), "") << c.id;
    }
}

TEST(CommandTable, AcceleratorsOfTable128)
{
    EXPECT_EQ(KeysForCommand(ID_TOOLS_TRANSMIT), (std::vector<std::string>{"Alt+X", "Alt+T", "Ctrl+W"}));
    EXPECT_EQ(KeysForCommand(ID_TOOLS_RECEIVE), (std::vector<std::string>{"Alt+R", "Ctrl+Q"}));
    EXPECT_EQ(KeysForCommand(ID_EDIT_PASTE), (std::vector<std::string>{"Ctrl+V", "Shift+Ins"}));
    EXPECT_EQ(KeysForCommand(ID_NEXT_PANE), std::vector<std::string>{"F6"});
    EXPECT_EQ(KeysForCommand(ID_PREV_PANE), std::vector<std::string>{"Shift+F6"});
    EXPECT_EQ(KeysForCommand(ID_EDIT_UNDO), std::vector<std::string>{"Alt+Backspace"});
    EXPECT_TRUE(KeysForCommand(ID_MACRO_F6).empty());  // F6 belongs to the next-pane key
    std::set<std::string> keys;
    for (const Accelerator& a : AcceleratorTable()) {
        EXPECT_TRUE(keys.insert(a.keys).second) << a.keys;
        EXPECT_NE(FindCommand(a.id), nullptr) << a.keys;
    }
    EXPECT_EQ(keys.size(), 21u);
}

TEST(CommandTable, IndicatorTextsFixThePaneWidths)
{
    EXPECT_STREQ(IndicatorText(ID_INDICATOR_DIDDLE), "Diddle");
    EXPECT_STREQ(IndicatorText(ID_INDICATOR_AUTO), "Auto  RXD   ");
    EXPECT_STREQ(IndicatorText(ID_INDICATOR_MODE), "RTTY   ");
    EXPECT_STREQ(IndicatorText(ID_INDICATOR_BAUD), "00000");
    EXPECT_STREQ(IndicatorText(ID_INDICATOR_SPACER1), "      ");
}

}  // namespace
