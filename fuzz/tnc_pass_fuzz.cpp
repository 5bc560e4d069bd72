// libFuzzer entry for the TNC pane's display pass: arbitrary reads (a length
// byte, then that many bytes) with page widths the owner may change between
// them, then passes without new text while NeedsPass asks for one. Holds:
// the passes finish, no finished or current line is wider than the widest
// page, the caret stays inside the current line, and nothing is finished
// that was never received.
#include "FuzzInput.h"
#include "views/ReceiveLineCutter.h"
#include "views/TncLineCutter.h"

#include <climits>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    static const int kWidths[] = {INT_MIN, -1, 0, 1, 34, 35, 67, 80, 180, 181, INT_MAX};
    constexpr size_t kWidest = ReceiveLineCutter::kMaxPageWidth;
    TncLineCutter cutter;
    size_t received = 0;
    size_t finished = 0;
    auto check = [&] {
        std::string line;
        int caret = -1;
        cutter.Current(&line, &caret);
        if (line.size() > kWidest || caret < 0 || static_cast<size_t>(caret) > line.size())
            std::abort();
        const std::string completed = cutter.TakeCompleted();
        size_t start = 0;
        while (!completed.empty() && start <= completed.size()) {
            size_t end = completed.find('\n', start);
            if (end == std::string::npos)
                end = completed.size();
            if (end - start > kWidest)
                std::abort();
            finished += end - start;
            start = end + 1;
        }
        if (finished > received)
            std::abort();
    };
    int width = kWidths[in.Choice(std::size(kWidths))];
    while (!in.Empty()) {
        const uint8_t op = in.Byte();
        if (op & 0x80)
            width = kWidths[op % std::size(kWidths)];
        const std::string_view read = in.Take(op & 0x3f);
        received += read.size();
        cutter.Pass(read, 8, width);
        if (op & 0x40)
            check();
    }
    const size_t passLimit = cutter.Pending().size() + 2;
    for (size_t passes = 0; cutter.NeedsPass(width); ++passes) {
        if (passes > passLimit)
            std::abort();
        cutter.Pass({}, 8, width);
    }
    check();
    return 0;
}
