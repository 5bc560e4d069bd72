#pragma once
// The veltran-rtty command-line tool: decode a recording (one signal, or
// every signal in it at once), make a test signal, pass a signal through the
// channel simulator. main() only forwards here, so tests run the tool
// in-process.
#include <iosfwd>
#include <string>
#include <vector>

// `args` without the program name. Returns the exit status: 0 on success,
// 2 for bad usage, 1 when a file can't be read or written.
int RunRttyTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
