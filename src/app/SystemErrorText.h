#pragma once
// The operating system's message text for an error number (errno), shown in
// the error message boxes of the file commands, the report and the tape
// editor launch. "Unknown Error" when the system has no text for it.
#include <string>

std::string SystemErrorText(int code);
