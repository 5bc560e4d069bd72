#pragma once
// Hamlib's process-wide state (its backend list, its debug level) is not
// guarded by Hamlib itself. Whoever makes or lists rigs takes this lock;
// QuietHamlib must be called under it, on the thread that owns the rig (the
// main thread in the program), before the rig's own thread calls Hamlib.
//
// QuietHamlib turns Hamlib's debug output off and sets the numeric locale to
// "C". Hamlib switches LC_NUMERIC to "C" and back around its number parsing
// (opening a rigctld connection does), keeping the pointer to the old name
// across the switch that frees it; with "C" already in force the switch
// changes nothing and frees nothing, and no other thread sees the locale
// change under it. The program formats and parses numbers without the C
// locale (std::to_chars, QLocale), so "C" costs it nothing.
#include "link/ThreadSafety.h"

Mutex& HamlibGlobalMutex();
void QuietHamlib() REQUIRES(HamlibGlobalMutex());
