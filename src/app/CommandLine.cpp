#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace {

bool EndsWithRty(std::string_view arg)
{
    constexpr std::string_view ext = ".rty";
    if (arg.size() < ext.size())
        return false;
    const std::string_view tail = arg.substr(arg.size() - ext.size());
    return std::equal(tail.begin(), tail.end(), ext.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

bool IsSwitch(std::string_view arg, bool exists)
{
    return !IsFileNameArgument(arg, exists);
}

// The switch's name in lower case, without its '/' or '-'.
std::string SwitchName(std::string_view arg)
{
    std::string name(arg.substr(1));
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

}  // namespace

bool IsFileNameArgument(std::string_view arg, bool exists)
{
    if (exists || arg.empty() || (arg[0] != '/' && arg[0] != '-'))
        return true;
    return std::count(arg.begin(), arg.end(), '/') >= 2 || EndsWithRty(arg);
}

bool IsTestSwitch(std::string_view arg)
{
    return arg.size() >= 2 && IsSwitch(arg, false) && (arg[1] == 'T' || arg[1] == 't');
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, const FileExistsCheck& exists)
{
    ParsedCommandLine parsed;
    std::vector<std::string> names;
    for (const std::string& arg : args) {
        const bool isFile = IsFileNameArgument(arg, exists && exists(arg));
        if (!isFile && IsTestSwitch(arg)) {
            parsed.testMode = true;
            continue;
        }
        if (!isFile && SwitchName(arg) == "p") {
            parsed.print = PrintRequest::Print;
            continue;
        }
        if (!isFile && SwitchName(arg) == "pt") {
            parsed.print = PrintRequest::PrintTo;
            continue;
        }
        if (isFile && !arg.empty())
            names.push_back(arg);
        parsed.rest.push_back(arg);
    }
    if (!names.empty())
        parsed.fileToOpen = names[0];
    if (parsed.print == PrintRequest::PrintTo && names.size() >= 2)
        parsed.printerName = names[1];
    return parsed;
}
