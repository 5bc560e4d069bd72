#include "app/StoredInt.h"

#include <charconv>

bool ParseStoredInt(std::string_view text, int& value)
{
    // from_chars takes no '+', but a text written by hand may carry one.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    int parsed = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed, 10);
    if (ec != std::errc() || ptr != end)
        return false;
    value = parsed;
    return true;
}
