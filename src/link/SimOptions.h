#pragma once
// The text after "sim:" in a device value: a mode name, then optionally "?"
// and options "key=value" separated by "&" ("band?seed=7&errors=0.01").
// A key without "=" has an empty value; later keys replace earlier ones.
#include <map>
#include <string>
#include <string_view>

struct SimOptions {
    std::string mode;
    std::map<std::string, std::string, std::less<>> options;

    static SimOptions Parse(std::string_view text);

    // The option's value, or `def` when absent or not a number.
    std::string Text(std::string_view key, std::string_view def = {}) const;
    long long Integer(std::string_view key, long long def) const;
    double Number(std::string_view key, double def) const;
};
