#pragma once
// The files and folders the program reads, writes and looks into (documents,
// "REPORT.TXT", tapes and their exports, the save backup folder, the tape
// editor's program, device and LED folders) all go through this one small
// interface, as the ports go
// through PortDevice: PosixFileSystem is the disk, and tests put an
// in-memory one in its place that fails where they ask
// (tests/support/FakeFileSystem.h). ProgramFileSystem() is the one in use.
//
// Every call returns 0 or an errno value. A File is used by one thread at a
// time; a FileSystem may be called from any thread.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FileInfo {
    enum class Kind { Regular, Directory, Other };
    Kind kind = Kind::Regular;
    uint64_t size = 0;
    uint32_t mode = 0;  // permission bits (07777)
    uint32_t uid = 0;
    uint32_t gid = 0;
    uint64_t links = 1;
};

// What Access asks may be done with a path; any combination. On a folder,
// kWrite is making entries in it and kExecute reaching what is inside.
struct FileAccess {
    static constexpr uint32_t kRead = 4;
    static constexpr uint32_t kWrite = 2;
    static constexpr uint32_t kExecute = 1;
};

enum class OpenMode {
    Read,       // an existing file, for reading
    ReadWrite,  // an existing file, for reading and writing from offset 0
    Append,     // reading and writing, every write at the end; created when missing
    Replace,    // writing from offset 0; created when missing, else cut to nothing
};

// An open file; closed when destroyed.
class File {
public:
    virtual ~File() = default;

    // One read of at most `n` bytes at the current offset: `got` is 0 at the
    // end of the file and may be less than `n` anywhere (a short read).
    virtual int Read(void* buffer, size_t n, size_t& got) = 0;
    // One write of at most `n` bytes: `done` may be less than `n` (a short
    // write). WriteAll (FileIo.h) continues until everything is written.
    virtual int Write(const void* data, size_t n, size_t& done) = 0;
    virtual int Seek(uint64_t offset) = 0;
    virtual int Truncate(uint64_t size) = 0;
    // Room on the disk for `size` bytes from `offset`, without changing the
    // file's size, so that a full disk fails here and not half-way through
    // writing. EOPNOTSUPP where the file system cannot reserve.
    virtual int Reserve(uint64_t offset, uint64_t size) = 0;
    virtual int Sync() = 0;
    virtual int Stat(FileInfo& info) = 0;
    virtual int SetOwner(uint32_t uid, uint32_t gid) = 0;
    virtual int SetMode(uint32_t mode) = 0;
    // Gives this file every extended attribute (POSIX ACLs among them) of the
    // file at `from`.
    virtual int CopyAttributesFrom(const std::string& from) = 0;
    // An exclusive lock on the whole file against every other program (and
    // every other open of it) that locks it, waiting at most `wait`:
    // EWOULDBLOCK when another still holds it. Released by closing.
    virtual int Lock(std::chrono::milliseconds wait) = 0;
    // Closes now, with the error a close may still reveal (a delayed write).
    virtual int Close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens a regular file; a folder gives EISDIR and any other kind of file
    // (a device, a pipe) EINVAL, so nothing ever waits on one.
    virtual int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>& file) = 0;
    // A new empty file named `prefix` and six random characters, readable and
    // writable by the owner only; its name goes to `path`.
    virtual int CreateUnique(const std::string& prefix, std::string& path,
                             std::unique_ptr<File>& file) = 0;
    // What a path names, following symbolic links.
    virtual int Stat(const std::string& path, FileInfo& info) = 0;
    // Replaces `to` (if any) by `from` in one step.
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    virtual int Remove(const std::string& path) = 0;
    // Makes the entries of a folder (a rename in it) durable.
    virtual int SyncFolder(const std::string& path) = 0;
    // The file a symbolic link finally names; any other path as given.
    virtual std::string Resolve(const std::string& path) = 0;
    // The absolute path of what `path` names, every symbolic link and "."
    // or ".." along it resolved; an errno value when it names nothing.
    virtual int Canonical(const std::string& path, std::string& canonical) = 0;
    // The permission bits a newly created file gets (0666 less the
    // process's creation mask).
    virtual uint32_t NewFileMode() = 0;
    // 0 when this process may do all of `what` (FileAccess bits) with the
    // file or folder at `path`; else EACCES, or why it can't be looked at.
    virtual int Access(const std::string& path, uint32_t what) = 0;
    // Makes the folder and every missing folder above it; 0 also when it is
    // there already.
    virtual int MakeFolders(const std::string& path) = 0;
    // The names of the entries in a folder ("." and ".." left out), in the
    // order the folder gives them. After a failure part-way, `names` holds
    // those read before it.
    virtual int ListFolder(const std::string& path, std::vector<std::string>& names) = 0;
};

// The file system in use: the disk unless a test installed another.
FileSystem& ProgramFileSystem();
// Installs `fs` (not owned; nullptr: the disk again). Only while no file
// operation runs: at start-up, or in a test between its steps.
void SetProgramFileSystem(FileSystem* fs);
