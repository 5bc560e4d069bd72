#pragma once
// Command identifiers shared by the menu, the accelerators, the tool bar
// buttons and the prompt strings, and the one table where each command is
// declared: its menu text, status-bar prompt and tool tip, who carries it out
// and who says whether it is enabled, its accelerator keys, its button image
// and its check mark. A command's prompt and tool tip are the two halves of
// its prompt string (prompt, LF, tool tip). The frame registers the handlers
// of its own commands by id (FrameCommandTable); the panes carry theirs.
#include <array>
#include <span>
#include <string>
#include <vector>

enum CommandId : int {
    // File
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_REPORT = 32790,
    ID_FILE_EXPORT_TAPE = 32774,
    ID_FILE_IMPORT_TAPE = 32775,
    ID_SEND_CQ = 32785,
    ID_SEND_BRAG = 32786,
    ID_SEND_EXCHANGE = 32787,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_SEND_MAIL = 57612,
    ID_FILE_MRU_FILE1 = 57616,
    ID_FILE_MRU_FILE2 = 57617,
    ID_FILE_MRU_FILE3 = 57618,
    ID_FILE_MRU_FILE4 = 57619,
    ID_APP_EXIT = 57665,
    // Edit
    ID_EDIT_UNDO = 57643,
    ID_EDIT_CUT = 57635,
    ID_EDIT_COPY = 57634,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_CQ_TAPE = 32780,
    ID_EDIT_BRAG_TAPE = 32781,
    ID_EDIT_EXCHANGE_TAPE = 32782,
    ID_EDIT_STARTUP_TAPE = 32783,
    ID_EDIT_TNC_STARTUP_TAPE = 32813,
    ID_EDIT_NEW_TAPE = 32815,
    ID_EDIT_MACROS = 32789,
    ID_EDIT_SWAP_FIGS = 32791,
    ID_EDIT_SWAP_LINE = 32792,
    ID_EDIT_CLEAR_SCREEN = 32795,
    // View
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_FUNCTION_BAR = 32773,
    ID_VIEW_STATUS_BAR = 59393,
    ID_WINDOW_SPLIT = 57653,
    ID_VIEW_TUNING = 32830,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    // Tools
    ID_TOOLS_TRANSMIT = 32793,
    ID_TOOLS_RECEIVE = 32796,
    ID_TOOLS_SEND_RECEIVE = 32818,
    ID_TOOLS_CLEAR_TX_BUFFER = 32797,
    ID_TOOLS_LINE_MODE = 32798,
    ID_TOOLS_WORD_MODE = 32816,
    ID_TOOLS_CHAR_MODE = 32799,
    ID_TOOLS_KCALL = 32788,
    ID_TOOLS_PORTS = 32772,
    ID_TOOLS_OPTIONS = 32771,
    // Help
    ID_HELP_FINDER = 57667,
    ID_HELP = 57670,
    ID_CONTEXT_HELP = 57669,
    ID_APP_ABOUT = 57664,
    // Function bar: the F2 and F4..F9 macros
    ID_MACRO_F2 = 32801,
    ID_MACRO_F4 = 32803,
    ID_MACRO_F5 = 32804,
    ID_MACRO_F6 = 32805,
    ID_MACRO_F7 = 32806,
    ID_MACRO_F8 = 32807,
    ID_MACRO_F9 = 32808,
    // Raised by the panes themselves (keys, context menus, double clicks)
    ID_REPEAT_LAST = 32776,
    ID_DUPLICATE = 32777,
    ID_PASTE_KCALL = 32814,
};

// Status-bar indicator string ids; their initial texts fix the panes' widths.
enum IndicatorId : int {
    ID_INDICATOR_SPACER1 = 32779,
    ID_INDICATOR_SPACER2 = 32778,
    ID_INDICATOR_DIDDLE = 32809,
    ID_INDICATOR_AUTO = 32810,
    ID_INDICATOR_MODE = 32811,
    ID_INDICATOR_BAUD = 32812,
};

// The places that carry out commands; a row may name several panes.
enum CommandOwner : unsigned {
    kOwnerReceivePane = 1u << 0,
    kOwnerTransmitPane = 1u << 1,
    kOwnerTncPane = 1u << 2,
    // The frame: first the targets added to it (in the order added), then
    // its own rows.
    kOwnerFrame = 1u << 3,
};

enum class CommandReach {
    // Works on a pane's own text: only the active pane carries it out, and
    // only when the row names it; with any other pane active it is disabled.
    kActivePane,
    // Belongs to one owner (the station, the frame): reached from any pane.
    kAnyPane,
};

enum class CommandEnable {
    // Enabled whenever its owner is there; nobody is asked.
    kAlways,
    // The owner's OnUpdateCommand sets enabled and the check mark; a command
    // that no owner claims is disabled.
    kOwner,
};

struct CommandInfo {
    int id;
    const char* menuText;  // with '&' mnemonic and "\t<keys>"; empty when not in the menu
    const char* prompt;    // status-bar message-pane text while highlighted
    const char* toolTip;   // button tool tip
    unsigned owners;       // CommandOwner bits
    CommandReach reach;
    CommandEnable enable;
    // Its keys of accelerator table 128 in table order (the first is the one
    // the menu shows), in Qt's portable key-sequence text; unused ones nullptr.
    std::array<const char*, 3> keys{};
    const char* icon = nullptr;  // button image ":/icons/<icon>.svg"; nullptr when it has no button
    bool checkable = false;      // its menu item carries a check mark
};

// One accelerator of table 128, in Qt's portable key-sequence text ("Ctrl+N").
struct Accelerator {
    const char* keys;
    int id;
};

// Every command the program knows, in menu order, one row each.
std::span<const CommandInfo> CommandTable();
// The command with this id, or nullptr.
const CommandInfo* FindCommand(int id);
// Accelerator table 128: every key of every row.
std::span<const Accelerator> AcceleratorTable();
// The keys of table 128 that raise `id`, in table order (first = the one the menu shows).
std::vector<std::string> KeysForCommand(int id);
// The prompt string as the resource held it: prompt, LF, tool tip.
std::string PromptString(int id);
// Initial text of a status indicator (its width); empty for an unknown id.
const char* IndicatorText(int id);
