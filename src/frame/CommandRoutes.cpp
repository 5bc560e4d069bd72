#include "frame/CommandRoutes.h"

std::span<const CommandRoute> CommandRoutes()
{
    return CommandTable();
}

const CommandRoute* FindRoute(int id)
{
    return FindCommand(id);
}
