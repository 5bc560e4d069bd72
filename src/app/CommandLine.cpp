#include "app/CommandLine.h"

bool IsTestSwitch(std::string_view arg)
{
    return arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-') && (arg[1] == 'T' || arg[1] == 't');
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    ParsedCommandLine parsed;
    for (const std::string& arg : args) {
        if (IsTestSwitch(arg))
            parsed.testMode = true;
        else
            parsed.rest.push_back(arg);
    }
    return parsed;
}
