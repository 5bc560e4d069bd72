#include "views/TapeExport.h"

#include "app/FileIo.h"
#include "app/FileSystem.h"
#include "app/SystemErrorText.h"

#include <memory>

namespace {

bool Fail(std::string* error, int err)
{
    if (error != nullptr)
        *error = SystemErrorText(err);
    return false;
}

}  // namespace

bool TapeExport::WriteLines(const std::string& path, const LineList& lines,
                            std::string* error)
{
    std::unique_ptr<File> file;
    if (const int err = ProgramFileSystem().Open(path, OpenMode::Replace, file))
        return Fail(error, err);
    std::string text;
    for (std::string_view line : lines) {
        if (line.empty())
            continue;
        text.assign(line).append("\r\n");
        if (const int err = WriteAll(*file, text.data(), text.size()))
            return Fail(error, err);
    }
    if (const int err = file->Close())
        return Fail(error, err);
    return true;
}
