#pragma once
// Where each command is carried out and who says whether it is enabled: the
// owners, reach and enable rule of the command's row in the command table
// (CommandTable.h). CommandRouter reads the same row for the command and for
// its menu and button state, so the two always go to the same place.
//
// The frame's commands (document, bars, help, the dialogs, Macros) are rows
// that the frame carries out through its FrameCommandTable, or through a
// handler added with CMainFrame::AddCommandTarget; a row that asks stays
// disabled until one of them claims it. A new frame command is its row in
// CommandTable.cpp and its handler's row where the frame's part that carries
// it adds its rows.
#include "app/CommandTable.h"

#include <span>

using CommandRoute = CommandInfo;

// Every routed command, one row each.
std::span<const CommandRoute> CommandRoutes();
// The row of `id`, or nullptr (an unknown command is disabled).
const CommandRoute* FindRoute(int id);
