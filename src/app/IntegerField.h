#pragma once
// The check a number field makes before its dialog closes with OK: a whole
// decimal integer within a range, or the message to show.
#include <optional>
#include <string>

struct IntegerFieldResult {
    std::optional<int> value;  // set when the text is acceptable
    std::string message;       // otherwise what to tell the operator
};

// "Please enter an integer." for text that is not a number (empty included),
// "Please enter an integer between <min> and <max>." for one out of range.
IntegerFieldResult CheckIntegerField(const std::string& text, int min, int max);
