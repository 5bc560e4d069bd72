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
// The path from the current folder on, so the recent-file list and later
// saves find the same file whatever the current folder is then: "a.rty" and
// "./a.rty" become "<current folder>/a.rty". Symbolic links are not resolved.
std::string AbsoluteDocumentPath(const std::string& path);
