#include "frame/FrameCommandTable.h"

void FrameCommandTable::Add(int id, Handler run, StateRule state)
{
    m_rows[id] = Row{std::move(run), std::move(state)};
}

bool FrameCommandTable::OnCommand(int id)
{
    const auto it = m_rows.find(id);
    if (it == m_rows.end())
        return false;
    // A copy: the handler may replace rows (the recent files) while it runs.
    const Handler run = it->second.run;
    if (run)
        run();
    return true;
}

bool FrameCommandTable::OnUpdateCommand(int id, CommandState& state)
{
    const auto it = m_rows.find(id);
    if (it == m_rows.end())
        return false;
    state = it->second.state ? it->second.state() : CommandState{};
    return true;
}
