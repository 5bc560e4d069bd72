#pragma once
// The printed macro list as text lines, read from the store at the moment of
// the call: line n of the result is drawn on line n of the page. Lines 0, 1,
// 3 and 4 are blank, line 2 is the heading, lines 5..30 the control letters
// A..Z ("Control-%c:  " and the letter's entry), lines 31..37 the function
// keys F2, F4..F9 ("       F%d:  " and the stored text). A body line is cut
// after kMaxBodyChars characters, so no stored text can run it past the line
// buffer of the layout. Texts are the store's 8-bit bytes as Latin-1.
#include <QString>
#include <vector>

class MacroStore;

class MacroListFormat {
public:
    static constexpr int kLineCount = 38;
    static constexpr int kFirstControlLine = 5;
    static constexpr int kFirstFunctionLine = 31;
    static constexpr int kMaxBodyChars = 79;  // a buffer of 80 with its terminator

    static std::vector<QString> Lines(const MacroStore& store, const QString& heading);

    // The entry after "Control-X:  ": a fixed text for the letters the
    // expansion replaces itself (D, I, J, M, Q, T, W), else the stored value
    // of the letter's key ("B" with no "10" default: an unset band is empty).
    static QString ControlEntry(const MacroStore& store, char letter);
};
