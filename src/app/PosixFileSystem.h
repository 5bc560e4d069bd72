#pragma once
// The disk, through the POSIX calls: open/read/write with EINTR retried,
// fallocate for reservations, fsync, rename, flock and open-file-description
// record locks (so a lock held by a program using either kind is seen), and
// the extended-attribute calls. See FileSystem.h for the contract.
#include "app/FileSystem.h"

class PosixFileSystem : public FileSystem {
public:
    int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>& file) override;
    int CreateUnique(const std::string& prefix, std::string& path, std::unique_ptr<File>& file) override;
    int Stat(const std::string& path, FileInfo& info) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
    int SyncFolder(const std::string& path) override;
    std::string Resolve(const std::string& path) override;
    int Canonical(const std::string& path, std::string& canonical) override;
    uint32_t NewFileMode() override;
    int Access(const std::string& path, uint32_t what) override;
    int MakeFolders(const std::string& path) override;
    int ListFolder(const std::string& path, std::vector<std::string>& names) override;

    // The one disk; the program's file system unless a test installs another.
    static PosixFileSystem& Instance();
};
