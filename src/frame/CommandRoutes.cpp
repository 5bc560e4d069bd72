#include "frame/CommandRoutes.h"

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

// Editing commands go to the active pane; the station's commands (keying,
// send modes, tapes, report, macros) to the transmit pane from anywhere; the
// document, bars, help and dialogs to the frame.
constexpr CommandRoute kRoutes[] = {
    // File
    {ID_FILE_NEW, kFrame, kAny, kAlways},
    {ID_FILE_OPEN, kFrame, kAny, kAlways},
    {ID_FILE_SAVE, kFrame, kAny, kAlways},
    {ID_FILE_SAVE_AS, kFrame, kAny, kAlways},
    {ID_FILE_REPORT, kTransmit, kAny, kAlways},
    {ID_FILE_EXPORT_TAPE, kAllPanes, kActive, kAsk},
    {ID_FILE_IMPORT_TAPE, kTransmit | kTnc, kActive, kAlways},
    {ID_SEND_CQ, kTransmit, kAny, kAsk},
    {ID_SEND_BRAG, kTransmit, kAny, kAsk},
    {ID_SEND_EXCHANGE, kTransmit, kAny, kAsk},
    {ID_FILE_PRINT, kAllPanes, kActive, kAsk},
    {ID_FILE_PRINT_DIRECT, kAllPanes, kActive, kAsk},
    {ID_FILE_PRINT_PREVIEW, kAllPanes, kActive, kAsk},
    {ID_FILE_PRINT_SETUP, kFrame, kAny, kAlways},
    {ID_FILE_SEND_MAIL, kFrame, kAny, kAlways},
    {ID_FILE_MRU_FILE1, kFrame, kAny, kAsk},
    {ID_FILE_MRU_FILE2, kFrame, kAny, kAsk},
    {ID_FILE_MRU_FILE3, kFrame, kAny, kAsk},
    {ID_FILE_MRU_FILE4, kFrame, kAny, kAsk},
    {ID_APP_EXIT, kFrame, kAny, kAlways},
    // Edit
    {ID_EDIT_UNDO, kAllPanes, kActive, kAsk},
    {ID_EDIT_CUT, kAllPanes, kActive, kAsk},
    {ID_EDIT_COPY, kTransmit, kActive, kAsk},
    {ID_EDIT_PASTE, kTransmit, kActive, kAsk},
    {ID_EDIT_CQ_TAPE, kFrame, kAny, kAsk},
    {ID_EDIT_BRAG_TAPE, kFrame, kAny, kAsk},
    {ID_EDIT_EXCHANGE_TAPE, kFrame, kAny, kAsk},
    {ID_EDIT_STARTUP_TAPE, kFrame, kAny, kAsk},
    {ID_EDIT_TNC_STARTUP_TAPE, kFrame, kAny, kAsk},
    {ID_EDIT_NEW_TAPE, kFrame, kAny, kAsk},
    {ID_EDIT_MACROS, kFrame, kAny, kAsk},
    {ID_EDIT_SWAP_FIGS, kReceive | kTransmit, kActive, kAsk},
    {ID_EDIT_SWAP_LINE, kReceive | kTransmit, kActive, kAsk},
    {ID_EDIT_CLEAR_SCREEN, kAllPanes, kActive, kAlways},
    // View
    {ID_VIEW_TOOLBAR, kFrame, kAny, kAsk},
    {ID_VIEW_FUNCTION_BAR, kFrame, kAny, kAsk},
    {ID_VIEW_STATUS_BAR, kFrame, kAny, kAsk},
    {ID_VIEW_TUNING, kFrame, kAny, kAsk},
    {ID_WINDOW_SPLIT, kFrame, kAny, kAlways},
    {ID_NEXT_PANE, kFrame, kAny, kAlways},
    {ID_PREV_PANE, kFrame, kAny, kAlways},
    // Tools
    {ID_TOOLS_TRANSMIT, kTransmit, kAny, kAsk},
    {ID_TOOLS_RECEIVE, kTransmit, kAny, kAsk},
    {ID_TOOLS_SEND_RECEIVE, kTransmit, kAny, kAsk},
    {ID_TOOLS_CLEAR_TX_BUFFER, kTransmit, kAny, kAlways},
    {ID_TOOLS_LINE_MODE, kTransmit, kAny, kAsk},
    {ID_TOOLS_WORD_MODE, kTransmit, kAny, kAsk},
    {ID_TOOLS_CHAR_MODE, kTransmit, kAny, kAsk},
    {ID_TOOLS_KCALL, kFrame, kAny, kAsk},
    {ID_TOOLS_PORTS, kFrame, kAny, kAsk},
    {ID_TOOLS_OPTIONS, kFrame, kAny, kAsk},
    // Help
    {ID_HELP_FINDER, kFrame, kAny, kAlways},
    {ID_HELP, kFrame, kAny, kAlways},
    {ID_CONTEXT_HELP, kFrame, kAny, kAlways},
    {ID_APP_ABOUT, kFrame, kAny, kAlways},
    // Function bar
    {ID_MACRO_F2, kTransmit, kAny, kAlways},
    {ID_MACRO_F4, kTransmit, kAny, kAlways},
    {ID_MACRO_F5, kTransmit, kAny, kAlways},
    {ID_MACRO_F6, kTransmit, kAny, kAlways},
    {ID_MACRO_F7, kTransmit, kAny, kAlways},
    {ID_MACRO_F8, kTransmit, kAny, kAlways},
    {ID_MACRO_F9, kTransmit, kAny, kAlways},
    // Raised by the panes
    {ID_REPEAT_LAST, kTransmit, kActive, kAlways},
    {ID_DUPLICATE, kTransmit, kActive, kAlways},
    {ID_PASTE_KCALL, kReceive, kActive, kAlways},
};

}  // namespace

std::span<const CommandRoute> CommandRoutes()
{
    return kRoutes;
}

const CommandRoute* FindRoute(int id)
{
    for (const CommandRoute& r : kRoutes) {
        if (r.id == id)
            return &r;
    }
    return nullptr;
}
