#include "views/KCallPicker.h"

namespace {
bool IsGap(char c)
{
    return c == ' ' || c == '\t';
}
}  // namespace

std::string KCallPicker::Pick(const std::string& line, int& column)
{
    if (column < 0 || static_cast<size_t>(column) >= line.size())
        return {};
    while (column > 0 && !IsGap(line[static_cast<size_t>(column)]))
        --column;
    if (IsGap(line[static_cast<size_t>(column)]))
        ++column;

    std::string word;
    for (size_t i = static_cast<size_t>(column); i < line.size() && !IsGap(line[i]); ++i) {
        const char c = line[i];
        word.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return word;
}
