#include "app/CommandTable.h"

namespace {

constexpr unsigned kReceive = kOwnerReceivePane;
constexpr unsigned kTransmit = kOwnerTransmitPane;
constexpr unsigned kTnc = kOwnerTncPane;
constexpr unsigned kFrame = kOwnerFrame;
constexpr unsigned kAllPanes = kReceive | kTransmit | kTnc;

constexpr CommandReach kActive = CommandReach::kActivePane;
constexpr CommandReach kAny = CommandReach::kAnyPane;
constexpr CommandEnable kAlways = CommandEnable::kAlways;
constexpr CommandEnable kAsk = CommandEnable::kOwner;

// Texts of the program's own commands are fixed; the standard document, view
// and help commands carry this program's own wording. Editing commands go to
// the active pane; the station's commands (keying, send modes, tapes, report,
// macros) to the transmit pane from anywhere; the document, bars, help and
// dialogs to the frame. A row is: id, menu text, prompt, tool tip, owners,
// reach, enable rule, keys, button image, check mark.
constexpr CommandInfo kCommands[] = {
    // File
    {ID_FILE_NEW, "&New\tCtrl+N", "Create a new document", "New",
     kFrame, kAny, kAlways, {"Ctrl+N"}, "new"},
    {ID_FILE_OPEN, "&Open...\tCtrl+O", "Open an existing document", "Open",
     kFrame, kAny, kAlways, {"Ctrl+O"}, "open"},
    {ID_FILE_SAVE, "&Save\tCtrl+S", "Save the active document", "Save",
     kFrame, kAny, kAlways, {"Ctrl+S"}, "save"},
    {ID_FILE_SAVE_AS, "Save &As...", "Save the active document with a new name", "Save As",
     kFrame, kAny, kAlways},
    {ID_FILE_REPORT, "&Report\tCtrl+R", "Report Current Conditions to Log File", "Report",
     kTransmit, kAny, kAlways, {"Ctrl+R"}},
    {ID_FILE_EXPORT_TAPE, "&Export Tape", "Save the buffer as a text file", "Export Tape",
     kAllPanes, kActive, kAsk},
    {ID_FILE_IMPORT_TAPE, "&Import Tape", "Read a text file from the disk", "Import Tape",
     kTransmit | kTnc, kActive, kAlways},
    {ID_SEND_CQ, "&CQ", "Send the CQ Tape", "Send CQ",
     kTransmit, kAny, kAsk, {}, "send_cq"},
    {ID_SEND_BRAG, "&Brag", "Send the Brag Tape", "Send Brag",
     kTransmit, kAny, kAsk, {}, "send_brag"},
    {ID_SEND_EXCHANGE, "&Exchange", "Send the Exchange Tape", "Send Exchange",
     kTransmit, kAny, kAsk, {}, "send_exchange"},
    {ID_FILE_PRINT, "&Print...\tCtrl+P", "Print the active pane", "Print",
     kAllPanes, kActive, kAsk, {"Ctrl+P"}, "print"},
    {ID_FILE_PRINT_DIRECT, "", "Print the active pane with the current settings", "Print",
     kAllPanes, kActive, kAsk},
    {ID_FILE_PRINT_PREVIEW, "Print Pre&view", "Show how the active pane will print", "Print Preview",
     kAllPanes, kActive, kAsk},
    {ID_FILE_PRINT_SETUP, "P&rint Setup...", "Choose the printer and page settings", "Print Setup",
     kFrame, kAny, kAlways},
    {ID_FILE_SEND_MAIL, "Sen&d...", "Send the document by electronic mail", "Send Mail",
     kFrame, kAny, kAlways},
    {ID_FILE_MRU_FILE1, "Recent File", "Open this document", "Recent File",
     kFrame, kAny, kAsk},
    {ID_FILE_MRU_FILE2, "", "Open this document", "Recent File",
     kFrame, kAny, kAsk},
    {ID_FILE_MRU_FILE3, "", "Open this document", "Recent File",
     kFrame, kAny, kAsk},
    {ID_FILE_MRU_FILE4, "", "Open this document", "Recent File",
     kFrame, kAny, kAsk},
    {ID_APP_EXIT, "E&xit", "Quit the program, asking to save the document", "Exit",
     kFrame, kAny, kAlways},
    // Edit
    {ID_EDIT_UNDO, "", "Undo the last action", "Undo",
     kAllPanes, kActive, kAsk, {"Alt+Backspace"}},
    {ID_EDIT_CUT, "", "Cut the selection to the clipboard", "Cut",
     kAllPanes, kActive, kAsk, {"Shift+Del"}},
    {ID_EDIT_COPY, "", "Copy the selection to the clipboard", "Copy",
     kTransmit, kActive, kAsk, {"Ctrl+Ins"}},
    {ID_EDIT_PASTE, "&Paste\tCtrl+V", "Insert the clipboard's text", "Paste",
     kTransmit, kActive, kAsk, {"Ctrl+V", "Shift+Ins"}, "paste"},
    {ID_EDIT_CQ_TAPE, "C&Q Tape", "Edit the CQ Tape", "CQ Tape",
     kFrame, kAny, kAsk},
    {ID_EDIT_BRAG_TAPE, "&Brag Tape", "Edit the Brag Tape", "Brag Tape",
     kFrame, kAny, kAsk},
    {ID_EDIT_EXCHANGE_TAPE, "&Exchange Tape", "Edit the Exchange Tape", "Exchange Tape",
     kFrame, kAny, kAsk},
    {ID_EDIT_STARTUP_TAPE, "&Startup Tape", "Edit the Startup Tape", "Startup Tape",
     kFrame, kAny, kAsk},
    {ID_EDIT_TNC_STARTUP_TAPE, "&TNC Startup Tape", "Edit the TNC Startup Tape", "TNC Startup Tape",
     kFrame, kAny, kAsk},
    {ID_EDIT_NEW_TAPE, "&New Tape", "Create a new tape", "New Tape",
     kFrame, kAny, kAsk},
    {ID_EDIT_MACROS, "&Macros", "Edit the Macros", "Macros",
     kFrame, kAny, kAsk, {}, "macros"},
    {ID_EDIT_SWAP_FIGS, "&Swap Figures/Letters", "Swap the Baudot Figures/Letters Sign Bit", "Swap Fgrs/Ltrs",
     kReceive | kTransmit, kActive, kAsk, {}, "swap_figs"},
    {ID_EDIT_SWAP_LINE, "Swap &Line", "Flip the Sign Bit on the Whole Line", "Swap Line",
     kReceive | kTransmit, kActive, kAsk},
    {ID_EDIT_CLEAR_SCREEN, "&Clear Screen", "Clear the Active Screen", "Clear Screen",
     kAllPanes, kActive, kAlways, {}, "clear_screen"},
    // View
    {ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar", "Toggle Toolbar",
     kFrame, kAny, kAsk, {}, nullptr, true},
    {ID_VIEW_FUNCTION_BAR, "&Function Bar", "Show or hide the function bar", "Toggle Function Bar",
     kFrame, kAny, kAsk, {}, nullptr, true},
    {ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar", "Toggle Status Bar",
     kFrame, kAny, kAsk, {}, nullptr, true},
    {ID_WINDOW_SPLIT, "S&plit", "Move the pane dividers with the keyboard", "Split",
     kFrame, kAny, kAlways},
    {ID_VIEW_TUNING, "T&uning Display", "Show or hide the sound card's waterfall and input level", "Toggle Tuning Display",
     kFrame, kAny, kAsk, {}, nullptr, true},
    {ID_NEXT_PANE, "", "Switch to the next pane", "Next Pane",
     kFrame, kAny, kAlways, {"F6"}},
    {ID_PREV_PANE, "", "Switch back to the previous pane", "Previous Pane",
     kFrame, kAny, kAlways, {"Shift+F6"}},
    // Tools
    {ID_TOOLS_TRANSMIT, "&Transmit (TX)\tAlt+X", "Send the Transmission Data", "Transmit",
     kTransmit, kAny, kAsk, {"Alt+X", "Alt+T", "Ctrl+W"}, "transmit", true},
    {ID_TOOLS_RECEIVE, "&Receive (RX)\tAlt+R", "Receive a transmission", "Receive",
     kTransmit, kAny, kAsk, {"Alt+R", "Ctrl+Q"}, "receive", true},
    {ID_TOOLS_SEND_RECEIVE, "Send/Receive\tAlt+A", "Send then Receive a transmission", "Send/Receive",
     kTransmit, kAny, kAsk, {"Alt+A"}, "send_receive", true},
    {ID_TOOLS_CLEAR_TX_BUFFER, "&Clear TX Buffer", "Clear the Buffered Transmission Data", "Clear Buffer",
     kTransmit, kAny, kAlways, {}, "clear_buffer"},
    {ID_TOOLS_LINE_MODE, "&Line Mode", "Send Data at the End of the Line", "Line Mode",
     kTransmit, kAny, kAsk, {}, "line_mode", true},
    {ID_TOOLS_WORD_MODE, "&Word Mode", "Send Data at the End of each Word", "Word Mode",
     kTransmit, kAny, kAsk, {}, "word_mode", true},
    {ID_TOOLS_CHAR_MODE, "C&haracter Mode", "Send each character individually", "Character Mode",
     kTransmit, kAny, kAsk, {}, "char_mode", true},
    {ID_TOOLS_KCALL, "&K-Call\tAlt+K", "Set the Called Station", "K-Call",
     kFrame, kAny, kAsk, {"Alt+K"}},
    {ID_TOOLS_PORTS, "&Ports", "Set up the COM ports", "Ports",
     kFrame, kAny, kAsk, {}, "ports"},
    {ID_TOOLS_OPTIONS, "&Options", "Change the program Options", "Options",
     kFrame, kAny, kAsk},
    // Help
    {ID_HELP_FINDER, "&Help Topics", "List the help topics", "Help Topics",
     kFrame, kAny, kAlways},
    {ID_HELP, "", "Show the help for the current task", "Help",
     kFrame, kAny, kAlways, {"F1"}},
    {ID_CONTEXT_HELP, "", "Show help for the item under the pointer", "Help",
     kFrame, kAny, kAlways, {"Shift+F1"}},
    {ID_APP_ABOUT, "&About VELTRAN...", "Show the program's version and notices", "About",
     kFrame, kAny, kAlways, {}, "about"},
    // Function bar
    {ID_MACRO_F2, "", "Send the F2 Macro", "F2",
     kTransmit, kAny, kAlways, {}, "fkey_F2"},
    {ID_MACRO_F4, "", "Send the F4 Macro", "F4",
     kTransmit, kAny, kAlways, {}, "fkey_F4"},
    {ID_MACRO_F5, "", "Send the F5 Macro", "F5",
     kTransmit, kAny, kAlways, {}, "fkey_F5"},
    {ID_MACRO_F6, "", "Send the F6 Macro", "F6",
     kTransmit, kAny, kAlways, {}, "fkey_F6"},
    {ID_MACRO_F7, "", "Send the F7 Macro", "F7",
     kTransmit, kAny, kAlways, {}, "fkey_F7"},
    {ID_MACRO_F8, "", "Send the F8 Macro", "F8",
     kTransmit, kAny, kAlways, {}, "fkey_F8"},
    {ID_MACRO_F9, "", "Send the F9 Macro", "F9",
     kTransmit, kAny, kAlways, {}, "fkey_F9"},
    // Raised by the panes
    {ID_REPEAT_LAST, "", "Repeat Last Command", "Repeat Last Command",
     kTransmit, kActive, kAlways},
    {ID_DUPLICATE, "", "Duplicate Command", "Duplicate Command",
     kTransmit, kActive, kAlways},
    {ID_PASTE_KCALL, "", "Paste Current word into the K-Call", "Paste K-Call",
     kReceive, kActive, kAlways},
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
    static const std::vector<Accelerator> all = [] {
        std::vector<Accelerator> keys;
        for (const CommandInfo& c : kCommands) {
            for (const char* k : c.keys) {
                if (k)
                    keys.push_back(Accelerator{k, c.id});
            }
        }
        return keys;
    }();
    return all;
}

std::vector<std::string> KeysForCommand(int id)
{
    std::vector<std::string> keys;
    if (const CommandInfo* c = FindCommand(id)) {
        for (const char* k : c->keys) {
            if (k)
                keys.emplace_back(k);
        }
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
