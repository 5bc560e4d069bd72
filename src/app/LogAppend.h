#pragma once
// Appends one line to a log file (the Report command's "REPORT.TXT") as a
// whole or not at all:
//  - the file is created when missing and never truncated below what it held;
//  - an exclusive lock is taken first (waiting up to kLockWait), so two
//    programs appending at once never mix or cut each other's records; a lock
//    another program keeps longer refuses the append;
//  - room is reserved before the first byte, and a write or flush that
//    still fails cuts the file back to where it was, so no half record stays;
//  - a file whose last line has no line end (edited by hand, or a cut that
//    failed) first gets CR LF, so every record starts a line of its own;
//  - the line is flushed to the disk before success is reported.
// Any thread; one call at a time per file within the program.
#include "app/FileSystem.h"

#include <chrono>
#include <string>
#include <string_view>

inline constexpr std::chrono::milliseconds kLockWait{250};

// False with the text for the operator in `error`: the system's text for the
// failure ("Unknown Error" when it has none), or "<name> is locked by
// another program." when the lock stays taken.
bool AppendLine(FileSystem& fs, const std::string& path, std::string_view line, std::string& error);
