#include "frame/CommandRouter.h"

#include "frame/CommandRoutes.h"

namespace {

struct PaneOwner {
    CommandRouter::Pane pane;
    unsigned bit;
};

constexpr PaneOwner kPaneOwners[] = {
    {CommandRouter::Pane::kReceive, kOwnerReceivePane},
    {CommandRouter::Pane::kTransmit, kOwnerTransmitPane},
    {CommandRouter::Pane::kTnc, kOwnerTncPane},
};

}  // namespace

void CommandRouter::SetPane(Pane pane, CommandTarget* target)
{
    if (pane != Pane::kNone)
        m_panes[static_cast<size_t>(pane) - 1] = target;
}

void CommandRouter::AddFrameTarget(CommandTarget* target)
{
    if (target)
        m_frameTargets.push_back(target);
}

CommandTarget* CommandRouter::PaneTarget(Pane pane) const
{
    return pane == Pane::kNone ? nullptr : m_panes[static_cast<size_t>(pane) - 1];
}

CommandRouter::Resolved CommandRouter::Resolve(int id, Pane active) const
{
    Resolved r;
    r.state.enabled = false;
    const CommandRoute* route = FindRoute(id);
    if (!route)
        return r;
    // The owner's answer, or (kAlways) enabled without asking.
    auto take = [&](CommandTarget* target) {
        CommandState state;
        if (route->enable == CommandEnable::kOwner && !target->OnUpdateCommand(id, state))
            return false;
        if (route->enable == CommandEnable::kAlways)
            state = CommandState{};
        r = {target, state};
        return true;
    };
    for (const PaneOwner& owner : kPaneOwners) {
        if (!(route->owners & owner.bit))
            continue;
        if (route->reach == CommandReach::kActivePane && owner.pane != active)
            continue;
        if (CommandTarget* target = PaneTarget(owner.pane); target && take(target))
            return r;
    }
    if (route->owners & kOwnerFrame) {
        // Added handlers always answer for themselves: they claim what they carry.
        for (CommandTarget* target : m_frameTargets) {
            CommandState state;
            if (target->OnUpdateCommand(id, state)) {
                r = {target, state};
                return r;
            }
        }
        if (m_frame && take(m_frame))
            return r;
    }
    return r;
}

CommandState CommandRouter::Query(int id, Pane active) const
{
    return Resolve(id, active).state;
}

bool CommandRouter::Execute(int id, Pane active) const
{
    const Resolved r = Resolve(id, active);
    return r.target && r.state.enabled && r.target->OnCommand(id);
}
