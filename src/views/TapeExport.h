#pragma once
// Export Tape: writes the lines of a pane's list to a text file, oldest first,
// each non-empty line followed by CR LF (empty lines are left out). Lines of
// the receive list keep their marker character. The file is created or
// replaced; others may read and write it meanwhile.
#include "app/LineList.h"

#include <string>

class TapeExport {
public:
    // Save dialog: title, initial name, filter and default extension.
    static constexpr const char* kTitle = "Tape Export";
    static constexpr const char* kInitialName = "VELTRAN Export.txt";
    // Open dialog of Import Tape.
    static constexpr const char* kImportTitle = "Tape Import";
    static constexpr const char* kFilter = "Text Files (*.txt);;All Files (*.*)";
    static constexpr const char* kDefaultSuffix = "TXT";

    // False with the system's text in `error` when the file cannot be created
    // or a write fails (what was written before stays written).
    static bool WriteLines(const std::string& path, const LineList& lines,
                           std::string* error);
};
