#pragma once
// The program's own button images and window icon, drawn as SVG in the
// resource file (":/icons/...").
#include <QIcon>

namespace FrameIcons {
// Registers the resource file once (it lives in this static library).
void EnsureLoaded();
// The tool bar or function bar image its row of the command table names; a
// null icon when it has none.
QIcon ForCommand(int id);
QIcon AppIcon();
}  // namespace FrameIcons
