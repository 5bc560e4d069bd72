// libFuzzer entry for caret expansion over an arbitrary macro set. The input
// is NUL-separated: the first piece is a text expanded by ExpandReferences,
// every further piece "<key><macro text>" stores a macro under that key (any
// byte, so also keys no keyboard has). Then every key that got a macro is
// expanded, as pressed and as referred to.
// Whatever the macros refer to (cycles of any shape included), each call ends
// and its text stays within the budget the expander promises.
#include "FuzzInput.h"
#include "app/MacroExpander.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "app/WallClock.h"

#include <cstdlib>
#include <string>

namespace {

class FixedClock : public WallClock {
public:
    CivilTime Now(bool) const override { return CivilTime{1998, 7, 4, 12, 30}; }
};

// Each key expanded adds at most one stored macro's text or a built-in value
// (a few dozen bytes), and the stored text fetched is capped.
constexpr size_t kMaxOutput = MacroExpander::kMaxMacroBytes + 64 * MacroExpander::kMaxExpansions;

void Check(const std::string& text)
{
    if (text.size() > kMaxOutput)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    std::string text(in.Until('\0'));
    MemorySettingsStore store;
    int macros = 0;
    std::string keys;
    while (!in.Empty() && macros++ < 64) {
        const std::string_view piece = in.Until('\0');
        if (piece.empty())
            continue;
        const char key = piece[0];
        keys.push_back(key);
        store.PutText(keys::kSettings, MacroExpander::KeyName(key, key >= 0x71 && key <= 0x78),
                      piece.substr(1));
    }
    int32_t serial = macros % 2 ? INT32_MAX - 2 : 0;
    FixedClock clock;
    MacroExpander expander(store, serial, clock, [&] { return macros % 3 == 0 ? 8 : 5; });

    expander.ExpandReferences(text);
    Check(text);
    for (const char c : keys) {
        Check(expander.ExpandMacro(c, true));
        Check(expander.ExpandMacro(c, false));
    }
    return 0;
}
