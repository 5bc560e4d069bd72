#pragma once
// How a stored value reads as an integer. Both settings stores use this one
// rule, so a value reads the same whether it was written as an integer or as
// text: an optional sign and decimal digits, nothing else, within 32 bits.
#include <string_view>

// True and `value` set when `text` is a whole decimal integer that fits in a
// signed 32-bit int; false (value untouched) for anything else ("", "abc",
// "12x", " 12", "2147483648").
bool ParseStoredInt(std::string_view text, int& value);
