#pragma once
// Hamlib's process-wide state (its backend list, its debug level) is not
// guarded by Hamlib itself. Whoever makes or lists rigs takes this lock;
// QuietHamlib turns Hamlib's own debug output off, once, and must be called
// (under the lock) before the first rig is made.
#include <mutex>

std::mutex& HamlibGlobalMutex();
void QuietHamlib();
