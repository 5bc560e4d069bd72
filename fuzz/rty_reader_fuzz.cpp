// libFuzzer entry for the document reader. Any input must be either accepted
// (and then survive a write/read round trip unchanged) or refused with a
// reason, and no single allocation may exceed the input's size.
#include "app/RtyFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RtyContent content;
    std::string error;
    RtyReadStats stats;
    const bool ok = DecodeRty(bytes, content, &error, &stats);
    if (stats.largestAllocation > size)
        std::abort();
    if (!ok) {
        if (error.empty())
            std::abort();
        return 0;
    }
    RtyContent again;
    if (!DecodeRty(EncodeRty(content.lists, content.counts), again, &error))
        std::abort();
    for (int i = 0; i < 3; ++i) {
        if (again.lists[i] != content.lists[i] || again.counts[i] != content.counts[i])
            std::abort();
    }
    return 0;
}
