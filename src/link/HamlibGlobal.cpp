#include "link/HamlibGlobal.h"

#include <hamlib/rig.h>

#include <clocale>
#include <cstdarg>

namespace {

// Hamlib reports through this callback as well as to stderr; both are off.
int DropHamlibMessage(enum rig_debug_level_e, rig_ptr_t, const char*, va_list)
{
    return 0;
}

}  // namespace

Mutex& HamlibGlobalMutex()
{
    static Mutex mutex;
    return mutex;
}

void QuietHamlib()
{
    static bool done = false;  // under HamlibGlobalMutex()
    if (done)
        return;
    done = true;
    std::setlocale(LC_NUMERIC, "C");
    rig_set_debug(RIG_DEBUG_NONE);
    rig_set_debug_callback(&DropHamlibMessage, nullptr);
}
