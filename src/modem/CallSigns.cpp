#include "modem/CallSigns.h"

#include <algorithm>

namespace {

bool Letter(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool Digit(char c)
{
    return c >= '0' && c <= '9';
}

// The longest slash-separated part that has the shape of a call.
std::string_view CallPart(std::string_view token)
{
    std::string_view best;
    while (!token.empty()) {
        const size_t slash = token.find('/');
        const std::string_view part = token.substr(0, slash);
        if (IsCallSign(part) && part.size() > best.size())
            best = part;
        if (slash == std::string_view::npos)
            break;
        token.remove_prefix(slash + 1);
    }
    return best;
}

}  // namespace

bool IsCallSign(std::string_view t)
{
    if (t.size() < 3 || t.size() > 8)
        return false;
    size_t prefix = 0;
    if (t.size() >= 2 && Letter(t[0]) && Letter(t[1]))
        prefix = 2;
    else if (t.size() >= 2 && ((Letter(t[0]) && Digit(t[1])) || (Digit(t[0]) && Letter(t[1]))) && t.size() >= 3 &&
             Digit(t[2]))
        prefix = 2;
    else if (Letter(t[0]))
        prefix = 1;
    else
        return false;
    if (prefix >= t.size() || !Digit(t[prefix]))
        return false;
    const std::string_view suffix = t.substr(prefix + 1);
    return !suffix.empty() && suffix.size() <= 4 && std::all_of(suffix.begin(), suffix.end(), Letter);
}

std::vector<std::string> FindCallSigns(std::string_view text)
{
    std::vector<std::string> calls;
    size_t i = 0;
    while (i < text.size()) {
        const auto inToken = [&](char c) { return Letter(c) || Digit(c) || c == '/'; };
        if (!inToken(text[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && inToken(text[end]))
            ++end;
        const std::string_view call = CallPart(text.substr(i, end - i));
        if (!call.empty() && std::find(calls.begin(), calls.end(), call) == calls.end())
            calls.emplace_back(call);
        i = end;
    }
    return calls;
}
