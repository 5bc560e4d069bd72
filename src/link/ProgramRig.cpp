#include "link/ProgramRig.h"

#include <mutex>

namespace {

struct Slot {
    std::mutex mutex;
    std::shared_ptr<Rig> rig;   // guarded by mutex
};

Slot& TheSlot()
{
    static Slot slot;
    return slot;
}

}  // namespace

std::shared_ptr<Rig> ProgramRig()
{
    Slot& s = TheSlot();
    std::lock_guard lock(s.mutex);
    return s.rig;
}

void SetProgramRig(std::shared_ptr<Rig> rig)
{
    Slot& s = TheSlot();
    std::shared_ptr<Rig> old;
    {
        std::lock_guard lock(s.mutex);
        old = std::move(s.rig);
        s.rig = std::move(rig);
    }
    // The old rig (if this was its last holder) closes here, outside the lock.
}

std::optional<RigReading> ProgramRigReading()
{
    const std::shared_ptr<Rig> rig = ProgramRig();
    if (!rig)
        return std::nullopt;
    return rig->Reading();
}
