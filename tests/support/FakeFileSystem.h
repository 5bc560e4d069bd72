#pragma once
// An in-memory file system for tests. While one is alive it is the
// program's file system (ProgramFileSystem()), so every document, report and
// tape the code under test touches lives here and nowhere on the disk.
//
// It behaves like a POSIX disk seen by an ordinary account (uid 1000):
// folders exist wherever a path names one, unless marked read-only (no
// entry may be made, renamed or removed there) or made into a directory
// entry with MakeDirectory or MakeFolders (then opening it gives EISDIR); permission bits
// are honoured for the owner; a file that is renamed or removed stays
// readable through the files already open on it. It can also fail where a
// test asks:
//  - Fail(): an errno (or short reads and writes) for one operation on one
//    path (or every path), after a number of calls that succeed, for a
//    number of calls or for ever;
//  - SetFreeSpace(): a disk that holds only so many more bytes; a write that
//    does not fit writes what fits (a short write), the next gives ENOSPC;
//  - HoldLock(): another program holding the lock on a file.
// Thread-safe (one mutex guards all state).
#include "app/FileSystem.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

class FakeFileSystem : public FileSystem {
public:
    enum class Op { Open, Create, Read, Write, Truncate, Reserve, Sync, Close, Lock, Rename, Remove, Stat,
                    Access, MakeFolders, ListFolder };

    struct Fault {
        Op op;
        std::string path;     // the file it applies to; empty: every file
        int error = 0;        // the errno given; 0: only `shortTo` applies
        int after = 0;        // calls that succeed before the fault starts
        int times = -1;       // calls that fail; -1: every one from then on
        size_t shortTo = 0;   // Read/Write: move at most this many bytes per call
    };

    FakeFileSystem();
    ~FakeFileSystem() override;
    FakeFileSystem(const FakeFileSystem&) = delete;
    FakeFileSystem& operator=(const FakeFileSystem&) = delete;

    // Setting the scene.
    void Put(const std::string& path, const std::string& content, uint32_t mode = 0644);
    void MakeDirectory(const std::string& path);
    void SetReadOnlyFolder(const std::string& folder);
    void SetFreeSpace(uint64_t bytes);
    void Fail(const Fault& fault);
    void HoldLock(const std::string& path, bool held = true);

    // Looking at the result.
    std::optional<std::string> Contents(const std::string& path) const;
    // Every file, in path order (folders made with MakeDirectory not included).
    std::vector<std::string> Files() const;
    // Calls of `op` made so far (on `path`, or on every path when empty).
    int Calls(Op op, const std::string& path = {}) const;

    // FileSystem
    int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>& file) override;
    int CreateUnique(const std::string& prefix, std::string& path, std::unique_ptr<File>& file) override;
    int Stat(const std::string& path, FileInfo& info) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
    int SyncFolder(const std::string&) override { return 0; }
    std::string Resolve(const std::string& path) override { return path; }
    // There are no links: what exists is named as given.
    int Canonical(const std::string& path, std::string& canonical) override;
    uint32_t NewFileMode() override { return 0644; }
    // A file's owner bits; a folder may be entered and read, and written
    // unless read-only.
    int Access(const std::string& path, uint32_t what) override;
    // Records the folder (as MakeDirectory); EEXIST where a file is.
    int MakeFolders(const std::string& path) override;
    // The files and folders directly inside, in name order.
    int ListFolder(const std::string& path, std::vector<std::string>& names) override;

    static constexpr uint32_t kUid = 1000;

private:
    friend class FakeFile;
    struct Node {
        std::string data;
        uint32_t mode = 0644;
        uint32_t uid = kUid;
        uint32_t gid = kUid;
        uint64_t reserved = 0;
        const void* lockedBy = nullptr;  // the open file holding the lock
        bool heldElsewhere = false;      // HoldLock
    };
    struct ActiveFault {
        Fault fault;
        int seen = 0;
    };

    // Under m_mutex. The fault for this call, if any (counts the call).
    const Fault* Check(Op op, const std::string& path);
    bool FolderWritable(const std::string& path) const;
    uint64_t Used() const;
    uint64_t Free() const;

    mutable std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<Node>> m_files;
    std::set<std::string> m_directories;
    std::set<std::string> m_readOnlyFolders;
    std::vector<ActiveFault> m_faults;
    std::map<std::pair<Op, std::string>, int> m_calls;
    std::optional<uint64_t> m_freeSpace;  // from SetFreeSpace, over what is used then
    uint64_t m_usedAtLimit = 0;
    int m_nextUnique = 0;
};
