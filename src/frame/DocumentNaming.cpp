#include "frame/DocumentNaming.h"

#include <filesystem>

std::string DocumentNameFor(const std::string& path)
{
    if (path.empty())
        return docnames::kUntitled;
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WindowTitleFor(const std::string& path)
{
    return DocumentNameFor(path) + " - " + docnames::kAppTitle;
}

std::string WithRtyExtension(const std::string& path)
{
    if (path.empty())
        return path;
    const std::string name = DocumentNameFor(path);
    // A leading dot marks a hidden file, not an extension.
    if (name.find('.', 1) != std::string::npos)
        return path;
    return path + docnames::kExtension;
}

std::string AbsoluteDocumentPath(const std::string& path)
{
    if (path.empty())
        return path;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}
