#include "link/SimOptions.h"

#include <charconv>
#include <cstdlib>

SimOptions SimOptions::Parse(std::string_view text)
{
    SimOptions o;
    const size_t q = text.find('?');
    o.mode = std::string(text.substr(0, q));
    if (q == std::string_view::npos)
        return o;
    std::string_view rest = text.substr(q + 1);
    while (!rest.empty()) {
        const size_t amp = rest.find('&');
        const std::string_view item = rest.substr(0, amp);
        rest = amp == std::string_view::npos ? std::string_view{} : rest.substr(amp + 1);
        if (item.empty())
            continue;
        const size_t eq = item.find('=');
        const std::string key(item.substr(0, eq));
        o.options[key] = eq == std::string_view::npos ? std::string{} : std::string(item.substr(eq + 1));
    }
    return o;
}

std::string SimOptions::Text(std::string_view key, std::string_view def) const
{
    const auto it = options.find(key);
    return it == options.end() ? std::string(def) : it->second;
}

long long SimOptions::Integer(std::string_view key, long long def) const
{
    const auto it = options.find(key);
    if (it == options.end())
        return def;
    long long v = 0;
    const char* end = it->second.data() + it->second.size();
    const auto r = std::from_chars(it->second.data(), end, v);
    return r.ec == std::errc{} && r.ptr == end ? v : def;
}

double SimOptions::Number(std::string_view key, double def) const
{
    const auto it = options.find(key);
    if (it == options.end() || it->second.empty())
        return def;
    char* end = nullptr;
    const double v = std::strtod(it->second.c_str(), &end);
    return end && *end == '\0' ? v : def;
}
