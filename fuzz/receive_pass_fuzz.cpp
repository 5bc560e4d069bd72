// libFuzzer entry for the receive page's display pass. The input is cut into
// the reads a link might hand over (a length byte, then that many bytes),
// each given to Pass with a page width the owner may have changed meanwhile
// (any stored value, clamped by the pass). Afterwards passes without new text
// run while NeedsPass asks for one. Holds: the passes finish, no line is
// wider than the widest page, each bell character rings once, and every
// byte but CR and LF is kept, in order,
// in the finished lines or the pending text.
#include "FuzzInput.h"
#include "views/ReceiveLineCutter.h"

#include <climits>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    static const int kWidths[] = {INT_MIN, -1, 0, 1, 34, 35, 67, 80, 180, 181, INT_MAX};
    static const int kByteSizes[] = {5, 7, 8, 0};
    const int byteSize = kByteSizes[in.Choice(4)];
    size_t bells = 0;
    ReceiveLineCutter cutter([&] { ++bells; });
    const char bell = byteSize == 5 ? '*' : '\a';
    size_t bellsSent = 0;

    std::string kept;   // what must survive: the input without CR and LF
    std::string lines;  // every finished line's text, marker dropped
    auto collect = [&] {
        const std::string completed = cutter.TakeCompleted();
        size_t start = 0;
        while (start <= completed.size() && !completed.empty()) {
            size_t end = completed.find('\n', start);
            if (end == std::string::npos)
                end = completed.size();
            const size_t length = end - start;
            if (length == 0 || completed[start] != ' ' ||
                length > 1 + ReceiveLineCutter::kMaxPageWidth)
                std::abort();
            lines.append(completed, start + 1, length - 1);
            start = end + 1;
        }
    };
    int width = kWidths[in.Choice(std::size(kWidths))];
    while (!in.Empty()) {
        const uint8_t op = in.Byte();
        if (op & 0x80)
            width = kWidths[op % std::size(kWidths)];
        const std::string_view read = in.Take(op & 0x3f);
        for (char c : read) {
            if (c != '\r' && c != '\n')
                kept.push_back(c);
            bellsSent += c == bell;
        }
        cutter.Pass(read, byteSize, width);
        if (op & 0x40)
            collect();
    }
    if (bells != bellsSent)
        std::abort();
    // Each pass finishes a line or shows the rest: one per pending byte at most.
    const size_t passLimit = cutter.Pending().size() + 2;
    for (size_t passes = 0; cutter.NeedsPass(width); ++passes) {
        if (passes > passLimit)
            std::abort();
        cutter.Pass({}, byteSize, width);
    }
    collect();
    std::string pending;
    for (char c : cutter.Pending()) {
        if (c == '\r')
            std::abort();
        if (c != '\n')
            pending.push_back(c);
    }
    if (lines + pending != kept)
        std::abort();
    return 0;
}
