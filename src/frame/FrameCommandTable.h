#pragma once
// The frame's own commands, one row each: the command id with the handler
// that carries it out and the rule for its menu item's state. The frame's
// parts (documents, bars, panes, printing, help, dialogs) add their rows when
// the frame is assembled; the router asks the table as the frame's target, so
// a new frame command is its row here beside its texts and route.
// User-interface thread only.
#include "views/CommandTarget.h"

#include <functional>
#include <map>

class FrameCommandTable : public CommandTarget {
public:
    using Handler = std::function<void()>;
    using StateRule = std::function<CommandState()>;

    // Adds the row of `id`, replacing an earlier one. Without a rule the
    // command is enabled and unchecked.
    void Add(int id, Handler run, StateRule state = {});
    bool Has(int id) const { return m_rows.count(id) != 0; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

private:
    struct Row {
        Handler run;
        StateRule state;
    };
    std::map<int, Row> m_rows;
};

// State rules' shorthands.
inline CommandState EnabledIf(bool enabled)
{
    return CommandState{enabled, false};
}
inline CommandState CheckedIf(bool checked)
{
    return CommandState{true, checked};
}
