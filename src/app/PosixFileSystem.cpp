#include "app/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace {

void Fill(const struct stat& st, FileInfo& info)
{
    info.kind = S_ISREG(st.st_mode)   ? FileInfo::Kind::Regular
                : S_ISDIR(st.st_mode) ? FileInfo::Kind::Directory
                                      : FileInfo::Kind::Other;
    info.size = static_cast<uint64_t>(st.st_size);
    info.mode = st.st_mode & 07777;
    info.uid = st.st_uid;
    info.gid = st.st_gid;
    info.links = st.st_nlink;
}

bool Busy(int err)
{
    return err == EWOULDBLOCK || err == EAGAIN || err == EACCES;
}

class PosixFile : public File {
public:
    explicit PosixFile(int fd) : m_fd(fd) {}
    ~PosixFile() override { Close(); }

    int Read(void* buffer, size_t n, size_t& got) override
    {
        got = 0;
        for (;;) {
            const ssize_t r = ::read(m_fd, buffer, n);
            if (r >= 0) {
                got = static_cast<size_t>(r);
                return 0;
            }
            if (errno != EINTR)
                return errno;
        }
    }
    int Write(const void* data, size_t n, size_t& done) override
    {
        done = 0;
        for (;;) {
            const ssize_t w = ::write(m_fd, data, n);
            if (w >= 0) {
                done = static_cast<size_t>(w);
                return 0;
            }
            if (errno != EINTR)
                return errno;
        }
    }
    int Seek(uint64_t offset) override
    {
        return ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0 ? errno : 0;
    }
    int Truncate(uint64_t size) override
    {
        return ::ftruncate(m_fd, static_cast<off_t>(size)) != 0 ? errno : 0;
    }
    int Reserve(uint64_t offset, uint64_t size) override
    {
        if (size == 0)
            return 0;
        return ::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
                           static_cast<off_t>(size)) != 0
            ? errno
            : 0;
    }
    int Sync() override { return ::fsync(m_fd) != 0 ? errno : 0; }
    int Stat(FileInfo& info) override
    {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0)
            return errno;
        Fill(st, info);
        return 0;
    }
    int SetOwner(uint32_t uid, uint32_t gid) override
    {
        return ::fchown(m_fd, uid, gid) != 0 ? errno : 0;
    }
    int SetMode(uint32_t mode) override { return ::fchmod(m_fd, mode) != 0 ? errno : 0; }
    int CopyAttributesFrom(const std::string& from) override
    {
        const ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP ? 0 : errno;  // no attributes there to lose
        if (size == 0)
            return 0;
        std::vector<char> names(static_cast<size_t>(size));
        const ssize_t got = ::listxattr(from.c_str(), names.data(), names.size());
        if (got < 0)
            return errno;
        for (size_t i = 0; i < static_cast<size_t>(got);) {
            const char* name = names.data() + i;
            i += std::char_traits<char>::length(name) + 1;
            const ssize_t len = ::getxattr(from.c_str(), name, nullptr, 0);
            if (len < 0)
                return errno;
            std::vector<char> value(static_cast<size_t>(len));
            const ssize_t vlen = ::getxattr(from.c_str(), name, value.data(), value.size());
            if (vlen < 0 || ::fsetxattr(m_fd, name, value.data(), static_cast<size_t>(vlen), 0) != 0)
                return errno;
        }
        return 0;
    }
    int Lock(std::chrono::milliseconds wait) override
    {
        // Another program may lock with flock or with record locks; both are
        // taken. Neither call can wait with a limit, so a held lock is looked
        // at again every few milliseconds until `wait` has passed.
        constexpr auto kStep = std::chrono::milliseconds(20);
        const auto until = std::chrono::steady_clock::now() + wait;
        bool flocked = false;
        for (;;) {
            int err = 0;
            if (!flocked) {
                if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
                    flocked = true;
                else
                    err = errno;
            }
            if (flocked) {
                struct flock region {};
                region.l_type = F_WRLCK;
                region.l_whence = SEEK_SET;
                if (::fcntl(m_fd, F_OFD_SETLK, &region) == 0)
                    return 0;
                err = errno;
            }
            if (err == EINTR)
                continue;
            if (!Busy(err))
                return err;
            if (std::chrono::steady_clock::now() >= until)
                return EWOULDBLOCK;
            std::this_thread::sleep_for(kStep);
        }
    }
    int Close() override
    {
        if (m_fd < 0)
            return 0;
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc != 0 && errno != EINTR ? errno : 0;
    }

private:
    int m_fd;
};

// Opened without waiting (a pipe would wait for its other end), then
// refused unless it is a regular file.
int OpenRegular(const std::string& path, int flags, std::unique_ptr<File>& file)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        return errno;
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : 0;
    if (err == 0 && !S_ISREG(st.st_mode))
        err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    if (err == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        err = errno;
    if (err != 0) {
        ::close(fd);
        return err;
    }
    file = std::make_unique<PosixFile>(fd);
    return 0;
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

}  // namespace

int PosixFileSystem::Open(const std::string& path, OpenMode mode, std::unique_ptr<File>& file)
{
    switch (mode) {
    case OpenMode::Read:
        return OpenRegular(path, O_RDONLY, file);
    case OpenMode::ReadWrite:
        return OpenRegular(path, O_RDWR, file);
    case OpenMode::Append:
        return OpenRegular(path, O_RDWR | O_CREAT | O_APPEND, file);
    case OpenMode::Replace:
        // Cut only once it is known to be a regular file.
        if (const int err = OpenRegular(path, O_WRONLY | O_CREAT, file))
            return err;
        if (const int err = file->Truncate(0)) {
            file.reset();
            return err;
        }
        return 0;
    }
    return EINVAL;
}

int PosixFileSystem::CreateUnique(const std::string& prefix, std::string& path, std::unique_ptr<File>& file)
{
    path = prefix + "XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    file = std::make_unique<PosixFile>(fd);
    return 0;
}

int PosixFileSystem::Stat(const std::string& path, FileInfo& info)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno;
    Fill(st, info);
    return 0;
}

int PosixFileSystem::Rename(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) != 0 ? errno : 0;
}

int PosixFileSystem::Remove(const std::string& path)
{
    return ::unlink(path.c_str()) != 0 ? errno : 0;
}

int PosixFileSystem::SyncFolder(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int err = ::fsync(fd) != 0 ? errno : 0;
    ::close(fd);
    return err;
}

std::string PosixFileSystem::Resolve(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path p(path);
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec))) {
        const auto resolved = std::filesystem::canonical(p, ec);
        if (!ec)
            return resolved.string();
    }
    return path;
}

int PosixFileSystem::Canonical(const std::string& path, std::string& canonical)
{
    std::error_code ec;
    canonical = std::filesystem::canonical(path, ec).string();
    return ec.value();
}

uint32_t PosixFileSystem::NewFileMode()
{
    return 0666 & ~CurrentUmask();
}

int PosixFileSystem::Access(const std::string& path, uint32_t what)
{
    const int mode = ((what & FileAccess::kRead) ? R_OK : 0) | ((what & FileAccess::kWrite) ? W_OK : 0) |
                     ((what & FileAccess::kExecute) ? X_OK : 0);
    return ::access(path.c_str(), mode ? mode : F_OK) == 0 ? 0 : errno;
}

int PosixFileSystem::MakeFolders(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return ec.value();
}

int PosixFileSystem::ListFolder(const std::string& path, std::vector<std::string>& names)
{
    names.clear();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    return ec.value();
}

PosixFileSystem& PosixFileSystem::Instance()
{
    static PosixFileSystem disk;
    return disk;
}
