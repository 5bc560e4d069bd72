#pragma once
// The frame's command routing: which target carries out a command and what
// its menu item and buttons show, both read from the command's one row in
// the command table (CommandRoutes.h). Editing commands go to the active pane
// alone and are disabled where it has none; station commands reach the
// transmit pane from any pane; frame commands go to the targets added to the
// frame, then to the frame's own rows. Targets are not owned and must outlive the router.
// User-interface thread only.
#include "views/CommandTarget.h"

#include <array>
#include <vector>

class CommandRouter {
public:
    enum class Pane { kNone, kReceive, kTransmit, kTnc };

    // The pane's command target; nullptr when the pane is missing.
    void SetPane(Pane pane, CommandTarget* target);
    // The frame's own handlers, asked after every added target.
    void SetFrame(CommandTarget* frame) { m_frame = frame; }
    // A handler of frame commands (a dialog), asked before the frame's own.
    void AddFrameTarget(CommandTarget* target);

    // The command's state with `active` the active pane.
    CommandState Query(int id, Pane active) const;
    // Carries the command out when it is enabled; false when it is disabled,
    // nobody carries it, or its target turned it down.
    bool Execute(int id, Pane active) const;

private:
    struct Resolved {
        CommandTarget* target = nullptr;
        CommandState state;
    };
    Resolved Resolve(int id, Pane active) const;
    CommandTarget* PaneTarget(Pane pane) const;

    std::array<CommandTarget*, 3> m_panes{};  // receive, transmit, TNC
    std::vector<CommandTarget*> m_frameTargets;
    CommandTarget* m_frame = nullptr;
};
