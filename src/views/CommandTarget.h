#pragma once
// A receiver of menu, accelerator and button commands (ids of CommandTable.h).
// The frame sends each command where its row of the frame's routing table
// says: the active pane (editing commands), the transmit pane (station
// commands, from any pane), or the targets added to the frame and then the
// frame itself.
//
// Contract: a target that carries out a command in OnCommand must also claim
// it in OnUpdateCommand (return true, with enabled set as it should be). The
// frame shows a command that nobody claims as disabled, and a disabled menu
// item, button or accelerator does not fire.
// All calls come on the user-interface thread.

struct CommandState {
    bool enabled = true;
    bool checked = false;
};

class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    // Carries out the command; false when this target does not handle it.
    virtual bool OnCommand(int id) = 0;
    // Sets the command's enabled/checked state; false when this target does
    // not handle it (the state is then left to the next target).
    virtual bool OnUpdateCommand(int id, CommandState& state)
    {
        (void)id;
        (void)state;
        return false;
    }
};
