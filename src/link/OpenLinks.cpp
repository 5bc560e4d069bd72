#include "link/OpenLinks.h"

#include "link/SerialLink.h"
#include "link/ThreadSafety.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

struct Entry {
    SerialLink* link;
    std::thread::id owner;
};

struct Registry {
    Mutex mutex;
    std::vector<Entry> entries GUARDED_BY(mutex);
};

// Never destroyed: an exit handler may look here after static destruction.
Registry& TheRegistry()
{
    static Registry* registry = new Registry;
    return *registry;
}

}  // namespace

void RegisterOpenLink(SerialLink* link)
{
    Registry& r = TheRegistry();
    MutexLock lock(r.mutex);
    const auto known = std::find_if(r.entries.begin(), r.entries.end(), [link](const Entry& e) { return e.link == link; });
    if (known == r.entries.end())
        r.entries.push_back({link, std::this_thread::get_id()});
}

void UnregisterOpenLink(SerialLink* link)
{
    Registry& r = TheRegistry();
    MutexLock lock(r.mutex);
    std::erase_if(r.entries, [link](const Entry& e) { return e.link == link; });
}

void CloseAllOpenLinks()
{
    std::vector<SerialLink*> mine;
    {
        Registry& r = TheRegistry();
        MutexLock lock(r.mutex);
        for (const Entry& e : r.entries) {
            if (e.owner == std::this_thread::get_id())
                mine.push_back(e.link);
        }
    }
    // Closing unregisters the link (once SerialLink does), so the lock is let go first.
    for (SerialLink* link : mine) {
        link->Connect(false);
        UnregisterOpenLink(link);
    }
}
