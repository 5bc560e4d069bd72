// libFuzzer entry for reading a tape file: the input is the file (held in
// memory, opened by its path as a send opens it). Holds: every byte comes
// back, in order; no piece is empty or longer than the buffer; no piece but
// the last ends inside a caret reference; and each piece expands (with no
// macros stored) to a finite text.
#include "app/MacroExpander.h"
#include "app/MemorySettingsStore.h"
#include "app/WallClock.h"
#include "views/TapeReader.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

// True when `piece` ends in the middle of a reference: a caret whose
// character has not come yet.
bool EndsInsideReference(const std::string& piece)
{
    size_t i = 0;
    while (i < piece.size()) {
        if (piece[i] == '^') {
            if (i + 1 >= piece.size())
                return true;
            i += 2;
        } else {
            ++i;
        }
    }
    return false;
}

class FixedClock : public WallClock {
public:
    CivilTime Now(bool) const override { return CivilTime{1998, 7, 4, 12, 30}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = ::memfd_create("tape", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    TapeReader reader;
    int error = 0;
    if (!reader.Open(path, &error))
        std::abort();
    MemorySettingsStore store;
    int32_t serial = 0;
    FixedClock clock;
    MacroExpander expander(store, serial, clock, [] { return 5; });

    std::string all;
    std::string piece;
    bool carriedReference = false;
    for (;;) {
        const TapeReader::Result result = reader.Next(piece, &error);
        if (result == TapeReader::Result::kError)
            std::abort();
        if (result == TapeReader::Result::kEnd)
            break;
        // Only the very last piece may end inside a reference.
        if (carriedReference || piece.empty() || piece.size() > TapeReader::kBufferSize)
            std::abort();
        carriedReference = EndsInsideReference(piece);
        all += piece;
        expander.ExpandReferences(piece);
    }
    if (all != std::string_view(reinterpret_cast<const char*>(data), size))
        std::abort();
    return 0;
}
