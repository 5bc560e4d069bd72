#include "app/SafeSave.h"

#include "app/SystemErrorText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace {

constexpr size_t kCopyChunk = size_t{1} << 20;

// Joins the pieces of a message. (GCC 12 warns falsely about
// `"literal" + std::string` at -O3, so messages are built by appending.)
std::string Text(std::initializer_list<std::string_view> parts)
{
    std::string out;
    for (std::string_view p : parts)
        out.append(p);
    return out;
}

void SetError(std::string* error, std::string text)
{
    if (error)
        *error = std::move(text);
}

// The file a save replaces: a symbolic link is followed so that the link
// survives and its target gets the new content.
std::filesystem::path SaveTarget(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path p(path);
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec))) {
        const auto resolved = std::filesystem::canonical(p, ec);
        if (!ec)
            return resolved;
    }
    return p;
}

// The process's file-creation mask, read without changing it.
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return 022;
}

void SyncDirectory(const std::filesystem::path& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool WriteAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// Copies everything from `from` (at offset 0) to `to` (at offset 0) and cuts
// `to` to that length; 0 or an errno value.
int CopyContent(int from, int to)
{
    if (::lseek(from, 0, SEEK_SET) < 0 || ::lseek(to, 0, SEEK_SET) < 0)
        return errno;
    std::vector<char> buf(kCopyChunk);
    off_t total = 0;
    for (;;) {
        const ssize_t r = ::read(from, buf.data(), buf.size());
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (r == 0)
            break;
        if (!WriteAll(to, buf.data(), static_cast<size_t>(r)))
            return errno;
        total += r;
    }
    if (::ftruncate(to, total) != 0 || ::fsync(to) != 0)
        return errno;
    return 0;
}

// Gives the new file every extended attribute of the old one (POSIX ACLs are
// kept there); false when one cannot be carried over.
bool CopyAttributes(const std::filesystem::path& target, int fd)
{
    const ssize_t size = ::listxattr(target.c_str(), nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP;  // a file system without attributes has none to lose
    if (size == 0)
        return true;
    std::vector<char> names(static_cast<size_t>(size));
    const ssize_t got = ::listxattr(target.c_str(), names.data(), names.size());
    if (got < 0)
        return false;
    for (size_t i = 0; i < static_cast<size_t>(got);) {
        const char* name = names.data() + i;
        i += std::char_traits<char>::length(name) + 1;
        const ssize_t len = ::getxattr(target.c_str(), name, nullptr, 0);
        if (len < 0)
            return false;
        std::vector<char> value(static_cast<size_t>(len));
        const ssize_t vlen = ::getxattr(target.c_str(), name, value.data(), value.size());
        if (vlen < 0 || ::fsetxattr(fd, name, value.data(), static_cast<size_t>(vlen), 0) != 0)
            return false;
    }
    return true;
}

enum class Outcome { Done, Failed, NotHere };

bool Refusal(int err)
{
    return err == EACCES || err == EPERM || err == EROFS;
}

// Temporary file beside the target, then rename. NotHere: the folder or the
// file's owner does not allow it, and nothing was changed.
Outcome ReplaceByRename(const std::filesystem::path& target, const struct stat* old,
                        const FileImageWriter& write, std::string* error)
{
    std::filesystem::path dir = target.parent_path();
    if (dir.empty())
        dir = ".";
    std::string temp = (dir / Text({".", target.filename().string(), ".XXXXXX"})).string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (old && Refusal(err))
            return Outcome::NotHere;
        SetError(error, Text({"cannot create a file in ", dir.string(), ": ", SystemErrorText(err)}));
        return Outcome::Failed;
    }
    auto drop = [&] {
        ::close(fd);
        ::unlink(temp.c_str());
    };
    if (old) {
        struct stat mine {};
        if (::fstat(fd, &mine) != 0 ||
            ((mine.st_uid != old->st_uid || mine.st_gid != old->st_gid) &&
             ::fchown(fd, old->st_uid, old->st_gid) != 0) ||
            ::fchmod(fd, old->st_mode & 07777) != 0 || !CopyAttributes(target, fd)) {
            drop();
            return Outcome::NotHere;
        }
    } else if (::fchmod(fd, 0666 & ~CurrentUmask()) != 0) {
        drop();
        return Outcome::NotHere;
    }
    int err = write(fd);
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    if (err != 0) {
        drop();
        SetError(error, Text({"cannot write ", target.string(), ": ", SystemErrorText(err)}));
        return Outcome::Failed;
    }
    if (::close(fd) != 0) {
        err = errno;
        ::unlink(temp.c_str());
        SetError(error, Text({"cannot write ", target.string(), ": ", SystemErrorText(err)}));
        return Outcome::Failed;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        ::unlink(temp.c_str());
        // A sticky folder refuses to replace another account's file.
        if (old && Refusal(err))
            return Outcome::NotHere;
        SetError(error, Text({"cannot replace ", target.string(), ": ", SystemErrorText(err)}));
        return Outcome::Failed;
    }
    SyncDirectory(dir);
    return Outcome::Done;
}

bool WriteInPlace(const std::filesystem::path& target, uint64_t size, const FileImageWriter& write,
                  std::string* error)
{
    const std::string name = target.string();
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, Text({"cannot write ", name, ": ", SystemErrorText(errno)}));
        return false;
    }
    // The old content first goes somewhere safe.
    const std::string folder = SaveBackupFolder();
    std::string backup = (std::filesystem::path(folder) / Text({target.filename().string(), ".XXXXXX"})).string();
    const int bfd = ::mkostemp(backup.data(), O_CLOEXEC);
    int err = bfd < 0 ? errno : CopyContent(fd, bfd);
    if (err != 0) {
        if (bfd >= 0) {
            ::close(bfd);
            ::unlink(backup.c_str());
        }
        ::close(fd);
        SetError(error, Text({"cannot keep a copy of ", name, " in ", folder, " before writing it (",
                              SystemErrorText(err), "); the file was not changed"}));
        return false;
    }
    // Room for the new image before the first byte changes (a full disk then
    // fails here, not half-way); file systems that cannot reserve just write.
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0 &&
        (errno == ENOSPC || errno == EDQUOT)) {
        err = errno;
        ::close(bfd);
        ::unlink(backup.c_str());
        ::close(fd);
        SetError(error, Text({"cannot write ", name, ": ", SystemErrorText(err), "; the file was not changed"}));
        return false;
    }
    if (::lseek(fd, 0, SEEK_SET) < 0)
        err = errno;
    if (err == 0)
        err = write(fd);
    if (err == 0 && (::ftruncate(fd, static_cast<off_t>(size)) != 0 || ::fsync(fd) != 0))
        err = errno;
    if (err == 0) {
        ::close(bfd);
        ::unlink(backup.c_str());
        if (::close(fd) != 0) {
            SetError(error, Text({"cannot write ", name, ": ", SystemErrorText(errno)}));
            return false;
        }
        return true;
    }
    const bool restored = CopyContent(bfd, fd) == 0;
    ::close(bfd);
    ::close(fd);
    if (restored) {
        ::unlink(backup.c_str());
        SetError(error, Text({"cannot write ", name, ": ", SystemErrorText(err), "; the file was left as it was"}));
    } else {
        SetError(error, Text({"cannot write ", name, ": ", SystemErrorText(err),
                              "; its previous content is kept in ", backup}));
    }
    return false;
}

}  // namespace

std::string SaveBackupFolder()
{
    std::filesystem::path base;
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        base = cache;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        base = std::filesystem::path(home) / ".cache";
    std::error_code ec;
    if (!base.empty()) {
        const std::filesystem::path folder = base / "VELTRAN";
        std::filesystem::create_directories(folder, ec);
        if (!ec && ::access(folder.c_str(), W_OK | X_OK) == 0)
            return folder.string();
    }
    return std::filesystem::temp_directory_path(ec).string();
}

bool SaveFileSafely(const std::string& path, uint64_t size, const FileImageWriter& write,
                    std::string* error, SaveMethod* used)
{
    const std::filesystem::path target = SaveTarget(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        SetError(error, Text({target.string(), " is not a regular file"}));
        return false;
    }
    if (!exists || st.st_nlink == 1) {
        switch (ReplaceByRename(target, exists ? &st : nullptr, write, error)) {
        case Outcome::Done:
            if (used)
                *used = SaveMethod::Replace;
            return true;
        case Outcome::Failed:
            return false;
        case Outcome::NotHere:
            break;
        }
    }
    if (!WriteInPlace(target, size, write, error))
        return false;
    if (used)
        *used = SaveMethod::InPlace;
    return true;
}
