#pragma once
// Where each command is carried out and who says whether it is enabled: one
// row per command of CommandTable.h. CommandRouter reads the same row for the
// command and for its menu and button state, so the two always go to the
// same place.
//
// To hand a frame command to a new handler (a dialog), keep its row
// (owner kOwnerFrame, enable kOwner) and add the handler with
// CMainFrame::AddCommandTarget: it claims the command in OnUpdateCommand.
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
