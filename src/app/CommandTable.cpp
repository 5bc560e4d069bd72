#include "app/CommandTable.h"

namespace {

// Texts of the program's own commands are fixed; the standard document, view
// and help commands carry this program's own wording.
constexpr CommandInfo kCommands[] = {
    // File
    {ID_FILE_NEW, "&New\tCtrl+N", "Create a new document", "New"},
    {ID_FILE_OPEN, "&Open...\tCtrl+O", "Open an existing document", "Open"},
    {ID_FILE_SAVE, "&Save\tCtrl+S", "Save the active document", "Save"},
    {ID_FILE_SAVE_AS, "Save &As...", "Save the active document with a new name", "Save As"},
    {ID_FILE_REPORT, "&Report\tCtrl+R", "Report Current Conditions to Log File", "Report"},
    {ID_FILE_EXPORT_TAPE, "&Export Tape", "Save the buffer as a text file", "Export Tape"},
    {ID_FILE_IMPORT_TAPE, "&Import Tape", "Read a text file from the disk", "Import Tape"},
    {ID_SEND_CQ, "&CQ", "Send the CQ Tape", "Send CQ"},
    {ID_SEND_BRAG, "&Brag", "Send the Brag Tape", "Send Brag"},
    {ID_SEND_EXCHANGE, "&Exchange", "Send the Exchange Tape", "Send Exchange"},
    {ID_FILE_PRINT, "&Print...\tCtrl+P", "Print the active pane", "Print"},
    {ID_FILE_PRINT_DIRECT, "", "Print the active pane with the current settings", "Print"},
    {ID_FILE_PRINT_PREVIEW, "Print Pre&view", "Show how the active pane will print", "Print Preview"},
    {ID_FILE_PRINT_SETUP, "P&rint Setup...", "Choose the printer and page settings", "Print Setup"},
    {ID_FILE_SEND_MAIL, "Sen&d...", "Send the document by electronic mail", "Send Mail"},
    {ID_FILE_MRU_FILE1, "Recent File", "Open this document", "Recent File"},
    {ID_FILE_MRU_FILE2, "", "Open this document", "Recent File"},
    {ID_FILE_MRU_FILE3, "", "Open this document", "Recent File"},
    {ID_FILE_MRU_FILE4, "", "Open this document", "Recent File"},
    {ID_APP_EXIT, "E&xit", "Quit the program, asking to save the document", "Exit"},
    // Edit
    {ID_EDIT_UNDO, "", "Undo the last action", "Undo"},
    {ID_EDIT_CUT, "", "Cut the selection to the clipboard", "Cut"},
    {ID_EDIT_COPY, "", "Copy the selection to the clipboard", "Copy"},
    {ID_EDIT_PASTE, "&Paste\tCtrl+V", "Insert the clipboard's text", "Paste"},
    {ID_EDIT_CQ_TAPE, "C&Q Tape", "Edit the CQ Tape", "CQ Tape"},
    {ID_EDIT_BRAG_TAPE, "&Brag Tape", "Edit the Brag Tape", "Brag Tape"},
    {ID_EDIT_EXCHANGE_TAPE, "&Exchange Tape", "Edit the Exchange Tape", "Exchange Tape"},
    {ID_EDIT_STARTUP_TAPE, "&Startup Tape", "Edit the Startup Tape", "Startup Tape"},
    {ID_EDIT_TNC_STARTUP_TAPE, "&TNC Startup Tape", "Edit the TNC Startup Tape", "TNC Startup Tape"},
    {ID_EDIT_NEW_TAPE, "&New Tape", "Create a new tape", "New Tape"},
    {ID_EDIT_MACROS, "&Macros", "Edit the Macros", "Macros"},
    {ID_EDIT_SWAP_FIGS, "&Swap Figures/Letters", "Swap the Baudot Figures/Letters Sign Bit", "Swap Fgrs/Ltrs"},
    {ID_EDIT_SWAP_LINE, "Swap &Line", "Flip the Sign Bit on the Whole Line", "Swap Line"},
    {ID_EDIT_CLEAR_SCREEN, "&Clear Screen", "Clear the Active Screen", "Clear Screen"},
    // View
    {ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar", "Toggle Toolbar"},
    {ID_VIEW_FUNCTION_BAR, "&Function Bar", "Show or hide the function bar", "Toggle Function Bar"},
    {ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar", "Toggle Status Bar"},
    {ID_WINDOW_SPLIT, "S&plit", "Move the pane dividers with the keyboard", "Split"},
    {ID_VIEW_TUNING, "T&uning Display", "Show or hide the sound card's waterfall and input level", "Toggle Tuning Display"},
    {ID_NEXT_PANE, "", "Switch to the next pane", "Next Pane"},
    {ID_PREV_PANE, "", "Switch back to the previous pane", "Previous Pane"},
    // Tools
    {ID_TOOLS_TRANSMIT, "&Transmit (TX)\tAlt+X", "Send the Transmission Data", "Transmit"},
    {ID_TOOLS_RECEIVE, "&Receive (RX)\tAlt+R", "Receive a transmission", "Receive"},
    {ID_TOOLS_SEND_RECEIVE, "Send/Receive\tAlt+A", "Send then Receive a transmission", "Send/Receive"},
    {ID_TOOLS_CLEAR_TX_BUFFER, "&Clear TX Buffer", "Clear the Buffered Transmission Data", "Clear Buffer"},
    {ID_TOOLS_LINE_MODE, "&Line Mode", "Send Data at the End of the Line", "Line Mode"},
    {ID_TOOLS_WORD_MODE, "&Word Mode", "Send Data at the End of each Word", "Word Mode"},
    {ID_TOOLS_CHAR_MODE, "C&haracter Mode", "Send each character individually", "Character Mode"},
    {ID_TOOLS_KCALL, "&K-Call\tAlt+K", "Set the Called Station", "K-Call"},
    {ID_TOOLS_PORTS, "&Ports", "Set up the COM ports", "Ports"},
    {ID_TOOLS_OPTIONS, "&Options", "Change the program Options", "Options"},
    // Help
    {ID_HELP_FINDER, "&Help Topics", "List the help topics", "Help Topics"},
    {ID_HELP, "", "Show the help for the current task", "Help"},
    {ID_CONTEXT_HELP, "", "Show help for the item under the pointer", "Help"},
    {ID_APP_ABOUT, "&About VELTRAN...", "Show the program's version and notices", "About"},
    // Function bar
    {ID_MACRO_F2, "", "Send the F2 Macro", "F2"},
    {ID_MACRO_F4, "", "Send the F4 Macro", "F4"},
    {ID_MACRO_F5, "", "Send the F5 Macro", "F5"},
    {ID_MACRO_F6, "", "Send the F6 Macro", "F6"},
    {ID_MACRO_F7, "", "Send the F7 Macro", "F7"},
    {ID_MACRO_F8, "", "Send the F8 Macro", "F8"},
    {ID_MACRO_F9, "", "Send the F9 Macro", "F9"},
    // Raised by the panes
    {ID_REPEAT_LAST, "", "Repeat Last Command", "Repeat Last Command"},
    {ID_DUPLICATE, "", "Duplicate Command", "Duplicate Command"},
    {ID_PASTE_KCALL, "", "Paste Current word into the K-Call", "Paste K-Call"},
};

constexpr Accelerator kAccelerators[] = {
    {"Ctrl+N", ID_FILE_NEW},
    {"Ctrl+O", ID_FILE_OPEN},
    {"Ctrl+S", ID_FILE_SAVE},
    {"Ctrl+R", ID_FILE_REPORT},
    {"Ctrl+P", ID_FILE_PRINT},
    {"Ctrl+V", ID_EDIT_PASTE},
    {"Shift+Ins", ID_EDIT_PASTE},
    {"Alt+X", ID_TOOLS_TRANSMIT},
    {"Alt+T", ID_TOOLS_TRANSMIT},
    {"Ctrl+W", ID_TOOLS_TRANSMIT},
    {"Alt+R", ID_TOOLS_RECEIVE},
    {"Ctrl+Q", ID_TOOLS_RECEIVE},
    {"Alt+A", ID_TOOLS_SEND_RECEIVE},
    {"Alt+K", ID_TOOLS_KCALL},
    {"Alt+Backspace", ID_EDIT_UNDO},
    {"Shift+Del", ID_EDIT_CUT},
    {"Ctrl+Ins", ID_EDIT_COPY},
    {"F1", ID_HELP},
    {"Shift+F1", ID_CONTEXT_HELP},
    {"F6", ID_NEXT_PANE},
    {"Shift+F6", ID_PREV_PANE},
};

struct Indicator {
    int id;
    const char* text;
};

constexpr Indicator kIndicators[] = {
    {ID_INDICATOR_SPACER1, "      "},
    {ID_INDICATOR_SPACER2, "      "},
    {ID_INDICATOR_DIDDLE, "Diddle"},
    {ID_INDICATOR_AUTO, "Auto  RXD   "},
    {ID_INDICATOR_MODE, "RTTY   "},
    {ID_INDICATOR_BAUD, "00000"},
};

}  // namespace

std::span<const CommandInfo> CommandTable()
{
    return kCommands;
}

const CommandInfo* FindCommand(int id)
{
    for (const CommandInfo& c : kCommands) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

std::span<const Accelerator> AcceleratorTable()
{
    return kAccelerators;
}

std::vector<std::string> KeysForCommand(int id)
{
    std::vector<std::string> keys;
    for (const Accelerator& a : kAccelerators) {
        if (a.id == id)
            keys.emplace_back(a.keys);
    }
    return keys;
}

std::string PromptString(int id)
{
    const CommandInfo* c = FindCommand(id);
    if (!c)
        return {};
    return std::string(c->prompt) + "\n" + c->toolTip;
}

const char* IndicatorText(int id)
{
    for (const Indicator& i : kIndicators) {
        if (i.id == id)
            return i.text;
    }
    return "";
}
