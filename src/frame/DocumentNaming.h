#pragma once
// Names of the one document type: the main window's title and the ".rty"
// file names offered by the file dialogs.
#include <string>

namespace docnames {
inline constexpr const char* kAppTitle = "Quorvane VELTRAN";
inline constexpr const char* kUntitled = "Untitled";
inline constexpr const char* kFilter = "VELTRAN Files (*.rty)";
inline constexpr const char* kExtension = ".rty";
}  // namespace docnames

// "<file name> - Quorvane VELTRAN", or "Untitled - ..." for a document never
// saved. Only the last path component is shown.
std::string WindowTitleFor(const std::string& path);
// The name the document is called by in questions ("Save changes to ...?").
std::string DocumentNameFor(const std::string& path);
// Appends ".rty" when the file name part has no extension.
std::string WithRtyExtension(const std::string& path);
