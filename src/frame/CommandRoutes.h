#pragma once
// Where each command is carried out and who says whether it is enabled: one
// row per command of CommandTable.h. CommandRouter reads the same row for the
// command and for its menu and button state, so the two always go to the
// same place.
//
// The dialog commands (Ports, Options, K-Call, the tapes, Macros) are rows
// of the frame that ask: they stay disabled until a handler claims them, one
// added with CMainFrame::AddCommandTarget or a case of the frame's own
// handlers, with the same id in OnCommand and in OnUpdateCommand. A new
// command needs a row here as well as its texts in CommandTable.cpp.
#include <span>

// The places that carry out commands; a row may name several panes.
enum CommandOwner : unsigned {
    kOwnerReceivePane = 1u << 0,
    kOwnerTransmitPane = 1u << 1,
    kOwnerTncPane = 1u << 2,
    // The frame: first the targets added to it (in the order added), then
    // its own handlers.
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

struct CommandRoute {
    int id;
    unsigned owners;  // CommandOwner bits
    CommandReach reach;
    CommandEnable enable;
};

// Every routed command, one row each.
std::span<const CommandRoute> CommandRoutes();
// The row of `id`, or nullptr (an unknown command is disabled).
const CommandRoute* FindRoute(int id);
