#pragma once
// The process's open links, so that an exit that bypasses the windows (the
// X server gone: Qt calls exit() from the window's thread) still closes each
// one the orderly way: unkeyed after the last character, ports released.
//
// SerialLink::Connect registers a link once it is open and unregisters it
// when it closes; an owner may also register its link for as long as the
// link lives (closing a closed link does nothing). Registering twice or
// unregistering an unknown link does nothing; a link must be unregistered
// before it is destroyed. Each link is closed only from the thread that
// registered it (its owner's): a link owned elsewhere is left to
// CrashLineRelease's line drop.
//
// Threads: any; the registry is guarded by its own mutex, which is never
// held while a link closes.
class SerialLink;

void RegisterOpenLink(SerialLink* link);
void UnregisterOpenLink(SerialLink* link);
// Closes (Connect(false)) every registered link the calling thread owns.
void CloseAllOpenLinks();
