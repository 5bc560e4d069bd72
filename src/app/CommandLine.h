#pragma once
// The program's own command-line switch: an argument that begins with '/' or
// '-' and whose next character is 'T' or 't' turns test mode on ("/t", "-T",
// "/Test"). Everything else is left, in order, for the standard handling
// (a document file to open and Qt's own options).
#include <string>
#include <string_view>
#include <vector>

bool IsTestSwitch(std::string_view arg);

struct ParsedCommandLine {
    bool testMode = false;
    std::vector<std::string> rest;
};

// `args` without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);
