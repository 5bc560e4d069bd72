#pragma once
// The command line. A switch is an argument that begins with '/' or '-' and
// is not a file name; a file name is an argument that names an existing
// file, contains a second '/', ends in ".rty" (any case), or begins with
// neither '/' nor '-'. So "/tmp/new.rty" is always a file name, even before
// it exists, and never the test switch.
//
// Switches acted on (letters in any case):
//  - T...: test mode ("/t", "-T", "/Test");
//  - p: print the document named by the first file name, then exit;
//  - pt: print it to the printer named by the next file name, then exit.
// The first file name is the document to open. Every other argument is left,
// in order, for the standard handling (Qt has already taken its own options).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Whether an argument names an existing file (main: the file system).
using FileExistsCheck = std::function<bool(const std::string& arg)>;

bool IsFileNameArgument(std::string_view arg, bool exists = false);
bool IsTestSwitch(std::string_view arg);

enum class PrintRequest { None, Print, PrintTo };

struct ParsedCommandLine {
    bool testMode = false;
    PrintRequest print = PrintRequest::None;
    std::string fileToOpen;   // empty: start with a new document
    std::string printerName;  // the printer of "/pt"; empty: the default printer
    std::vector<std::string> rest;  // everything but the test and print switches
};

// `args` without the program name. Without `exists`, no argument is taken
// for an existing file.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, const FileExistsCheck& exists = {});
