#include "app/LogAppend.h"

#include "app/FileIo.h"
#include "app/SystemErrorText.h"

#include <cerrno>
#include <memory>

namespace {

std::string BaseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Fail(std::string& error, int err)
{
    error = SystemErrorText(err);
    return false;
}

// True when the file's last byte is not LF (nothing to do for an empty file).
bool EndsInsideALine(File& file, uint64_t size)
{
    if (size == 0 || file.Seek(size - 1) != 0)
        return false;
    char last = '\n';
    size_t got = 0;
    return file.Read(&last, 1, got) == 0 && got == 1 && last != '\n';
}

}  // namespace

bool AppendLine(FileSystem& fs, const std::string& path, std::string_view line, std::string& error)
{
    std::unique_ptr<File> file;
    if (const int err = fs.Open(path, OpenMode::Append, file))
        return Fail(error, err);
    // A file system without locks still takes the record.
    if (file->Lock(kLockWait) == EWOULDBLOCK) {
        error = BaseName(path) + " is locked by another program.";
        return false;
    }
    FileInfo before;
    if (const int err = file->Stat(before))
        return Fail(error, err);
    std::string text;
    if (EndsInsideALine(*file, before.size))
        text = "\r\n";
    text.append(line);
    const int reserved = file->Reserve(before.size, text.size());
    if (reserved == ENOSPC || reserved == EDQUOT)
        return Fail(error, reserved);
    int err = WriteAll(*file, text.data(), text.size());
    if (err == 0)
        err = file->Sync();
    if (err != 0) {
        file->Truncate(before.size);
        return Fail(error, err);
    }
    if ((err = file->Close()) != 0)
        return Fail(error, err);
    return true;
}
