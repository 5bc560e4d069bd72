#pragma once
// "Paste K-Call": the word of a receive-list line under a character column,
// upper-cased, for the called-station macro ("Settings" "K").
#include <string>

class KCallPicker {
public:
    // The word at `column` of `line` (marker included), or empty when there is
    // none: a negative column or one at or past the end of the line picks
    // nothing. The column moves back to the start of the word; a column on a
    // blank or TAB moves to the word after it. Only a..z are upper-cased.
    static std::string Pick(const std::string& line, int& column);
};
