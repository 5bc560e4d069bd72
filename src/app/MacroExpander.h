#pragma once
// Caret expansion of macro, tape and report texts.
//
// A key stands for a live value (D date, T time, I/J serial number, M mode),
// a transmitter control character (W start transmitting, Q stop once sent) or
// the macro text stored under it in "Settings"; inside any text a caret
// followed by a key stands for that key's expansion and two carets give one
// caret. Macro texts are read from the store at each expansion.
//
// Bounds: references may nest at most kMaxDepth macros deep (the key pressed
// or the first reference of a tape being the first); a reference that would
// go deeper expands to nothing. One top-level call expands at most
// kMaxExpansions keys and fetches at most kMaxMacroBytes of stored macro
// text; references beyond either budget also expand to nothing. So macros
// that refer to each other in a cycle of any shape give a finite text in
// bounded time instead of recursing without end.
//
// The expander is a short-lived helper over the document's state; it runs on
// the user-interface thread only.
#include "app/WallClock.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class SettingsStore;

class MacroExpander {
public:
    static constexpr int kMaxDepth = 8;
    static constexpr int kMaxExpansions = 4096;
    static constexpr size_t kMaxMacroBytes = size_t{1} << 18;

    static constexpr char kStartTransmit = 0x17;  // Ctrl-W
    static constexpr char kStopTransmit = 0x11;   // Ctrl-Q

    // `serialNumber` is the document's running counter (I increments it);
    // `rttyByteSize` gives the RTTY link's data bits at the moment of use.
    MacroExpander(const SettingsStore& settings, int32_t& serialNumber, const WallClock& clock,
                  std::function<int()> rttyByteSize);

    // The expansion of one key: a keyboard key code ('A'..'Z', '0'..'9', the
    // function-key codes 0x71..0x78) or, not from the keyboard, the character
    // written after a caret (upper-cased first). A reference inside the macro
    // to the key itself adds nothing.
    std::string ExpandMacro(char key, bool fromKeyboard);
    // Replaces `text` with its expansion: every caret and the character after
    // it by that character's expansion, two carets by one, a caret at the very
    // end by nothing.
    void ExpandReferences(std::string& text);

    // The store name of a key ("A", "7", "F2".."F9" for 0x71..0x78) as
    // ExpandMacro looks it up, before the built-in keys are considered.
    static std::string KeyName(char key, bool fromKeyboard);

private:
    struct Budget {
        int expansions = kMaxExpansions;
        size_t macroBytes = kMaxMacroBytes;
    };

    std::string Expand(char key, bool fromKeyboard, int depth, Budget& budget);
    // Appends the expansion of `text` to `out`; with `selfRule` a reference to
    // `self` adds nothing.
    void Scan(std::string_view text, bool selfRule, char self, int depth, Budget& budget,
              std::string& out);
    bool BuiltIn(const std::string& name, std::string& out);

    const SettingsStore& m_settings;
    int32_t& m_nSerialNumber;
    const WallClock& m_clock;
    std::function<int()> m_rttyByteSize;
};
