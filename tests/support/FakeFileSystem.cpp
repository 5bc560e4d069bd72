#include "support/FakeFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string Parent(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

class FakeFile : public File {
public:
    FakeFile(FakeFileSystem& fs, std::string path, std::shared_ptr<FakeFileSystem::Node> node, bool readable,
             bool writable, bool append)
        : m_fs(fs), m_path(std::move(path)), m_node(std::move(node)), m_bRead(readable), m_bWrite(writable),
          m_bAppend(append)
    {
    }
    ~FakeFile() override { Close(); }

    int Read(void* buffer, size_t n, size_t& got) override
    {
        got = 0;
        std::lock_guard lock(m_fs.m_mutex);
        if (const auto* f = m_fs.Check(FakeFileSystem::Op::Read, m_path)) {
            if (f->error)
                return f->error;
            n = std::min(n, std::max<size_t>(f->shortTo, 1));
        }
        if (!m_node)
            return EBADF;
        if (!m_bRead)
            return EBADF;
        const std::string& data = m_node->data;
        if (m_offset < data.size()) {
            got = std::min<uint64_t>(n, data.size() - m_offset);
            std::memcpy(buffer, data.data() + m_offset, got);
            m_offset += got;
        }
        return 0;
    }
    int Write(const void* bytes, size_t n, size_t& done) override
    {
        done = 0;
        std::lock_guard lock(m_fs.m_mutex);
        if (const auto* f = m_fs.Check(FakeFileSystem::Op::Write, m_path)) {
            if (f->error)
                return f->error;
            n = std::min(n, std::max<size_t>(f->shortTo, 1));
        }
        if (!m_node || !m_bWrite)
            return EBADF;
        std::string& data = m_node->data;
        if (m_bAppend)
            m_offset = data.size();
        // Bytes beyond what the file holds or has reserved take free space.
        const uint64_t held = std::max<uint64_t>(data.size(), m_node->reserved);
        const uint64_t room = held + m_fs.Free();
        if (m_offset >= room)
            return ENOSPC;
        n = static_cast<size_t>(std::min<uint64_t>(n, room - m_offset));
        if (data.size() < m_offset + n)
            data.resize(m_offset + n, '\0');
        std::memcpy(data.data() + m_offset, bytes, n);
        m_offset += n;
        done = n;
        return 0;
    }
    int Seek(uint64_t offset) override
    {
        m_offset = offset;
        return 0;
    }
    int Truncate(uint64_t size) override
    {
        std::lock_guard lock(m_fs.m_mutex);
        if (const auto* f = m_fs.Check(FakeFileSystem::Op::Truncate, m_path); f && f->error)
            return f->error;
        if (!m_node || !m_bWrite)
            return EBADF;
        const uint64_t held = std::max<uint64_t>(m_node->data.size(), m_node->reserved);
        if (size > held && size - held > m_fs.Free())
            return ENOSPC;
        m_node->data.resize(size, '\0');
        return 0;
    }
    int Reserve(uint64_t offset, uint64_t size) override
    {
        std::lock_guard lock(m_fs.m_mutex);
        if (const auto* f = m_fs.Check(FakeFileSystem::Op::Reserve, m_path); f && f->error)
            return f->error;
        if (!m_node || !m_bWrite)
            return EBADF;
        const uint64_t want = offset + size;
        const uint64_t held = std::max<uint64_t>(m_node->data.size(), m_node->reserved);
        if (want > held && want - held > m_fs.Free())
            return ENOSPC;
        m_node->reserved = std::max(m_node->reserved, want);
        return 0;
    }
    int Sync() override
    {
        std::lock_guard lock(m_fs.m_mutex);
        if (const auto* f = m_fs.Check(FakeFileSystem::Op::Sync, m_path); f && f->error)
            return f->error;
        return m_node ? 0 : EBADF;
    }
    int Stat(FileInfo& info) override
    {
        std::lock_guard lock(m_fs.m_mutex);
        if (!m_node)
            return EBADF;
        info = FileInfo{};
        info.size = m_node->data.size();
        info.mode = m_node->mode;
        info.uid = m_node->uid;
        info.gid = m_node->gid;
        return 0;
    }
    int SetOwner(uint32_t uid, uint32_t gid) override
    {
        std::lock_guard lock(m_fs.m_mutex);
        if (!m_node)
            return EBADF;
        if (uid != FakeFileSystem::kUid)
            return EPERM;  // an ordinary account cannot give a file away
        m_node->uid = uid;
        m_node->gid = gid;
        return 0;
    }
    int SetMode(uint32_t mode) override
    {
        std::lock_guard lock(m_fs.m_mutex);
        if (!m_node)
            return EBADF;
        m_node->mode = mode & 07777;
        return 0;
    }
    int CopyAttributesFrom(const std::string&) override { return 0; }
    int Lock(std::chrono::milliseconds) override
    {
        std::lock_guard lock(m_fs.m_mutex);
        if (const auto* f = m_fs.Check(FakeFileSystem::Op::Lock, m_path); f && f->error)
            return f->error;
        if (!m_node)
            return EBADF;
        if (m_node->heldElsewhere || (m_node->lockedBy != nullptr && m_node->lockedBy != this))
            return EWOULDBLOCK;
        m_node->lockedBy = this;
        return 0;
    }
    int Close() override
    {
        std::lock_guard lock(m_fs.m_mutex);
        if (!m_node)
            return 0;
        if (m_node->lockedBy == this)
            m_node->lockedBy = nullptr;
        m_node.reset();
        if (const auto* f = m_fs.Check(FakeFileSystem::Op::Close, m_path); f && f->error)
            return f->error;
        return 0;
    }

private:
    FakeFileSystem& m_fs;
    std::string m_path;
    std::shared_ptr<FakeFileSystem::Node> m_node;
    bool m_bRead;
    bool m_bWrite;
    bool m_bAppend;
    uint64_t m_offset = 0;
};

FakeFileSystem::FakeFileSystem()
{
    SetProgramFileSystem(this);
}

FakeFileSystem::~FakeFileSystem()
{
    SetProgramFileSystem(nullptr);
}

void FakeFileSystem::Put(const std::string& path, const std::string& content, uint32_t mode)
{
    std::lock_guard lock(m_mutex);
    auto node = std::make_shared<Node>();
    node->data = content;
    node->mode = mode;
    m_files[path] = std::move(node);
}

void FakeFileSystem::MakeDirectory(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    m_directories.insert(path);
}

void FakeFileSystem::SetReadOnlyFolder(const std::string& folder)
{
    std::lock_guard lock(m_mutex);
    m_readOnlyFolders.insert(folder);
}

void FakeFileSystem::SetFreeSpace(uint64_t bytes)
{
    std::lock_guard lock(m_mutex);
    m_freeSpace = bytes;
    m_usedAtLimit = Used();
}

void FakeFileSystem::Fail(const Fault& fault)
{
    std::lock_guard lock(m_mutex);
    m_faults.push_back({fault, 0});
}

void FakeFileSystem::HoldLock(const std::string& path, bool held)
{
    std::lock_guard lock(m_mutex);
    auto it = m_files.find(path);
    if (it != m_files.end())
        it->second->heldElsewhere = held;
}

std::optional<std::string> FakeFileSystem::Contents(const std::string& path) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_files.find(path);
    if (it == m_files.end())
        return std::nullopt;
    return it->second->data;
}

std::vector<std::string> FakeFileSystem::Files() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> names;
    for (const auto& [name, node] : m_files)
        names.push_back(name);
    return names;
}

int FakeFileSystem::Calls(Op op, const std::string& path) const
{
    std::lock_guard lock(m_mutex);
    int n = 0;
    for (const auto& [key, count] : m_calls) {
        if (key.first == op && (path.empty() || key.second == path))
            n += count;
    }
    return n;
}

const FakeFileSystem::Fault* FakeFileSystem::Check(Op op, const std::string& path)
{
    ++m_calls[{op, path}];
    // Every matching fault counts the call; one that fails wins over one
    // that only shortens.
    const Fault* found = nullptr;
    for (ActiveFault& a : m_faults) {
        if (a.fault.op != op || (!a.fault.path.empty() && a.fault.path != path))
            continue;
        ++a.seen;
        const bool active = a.seen > a.fault.after && (a.fault.times < 0 || a.seen <= a.fault.after + a.fault.times);
        if (active && (!found || (a.fault.error != 0 && found->error == 0)))
            found = &a.fault;
    }
    return found;
}

bool FakeFileSystem::FolderWritable(const std::string& path) const
{
    return m_readOnlyFolders.count(Parent(path)) == 0;
}

uint64_t FakeFileSystem::Used() const
{
    uint64_t used = 0;
    for (const auto& [name, node] : m_files)
        used += std::max<uint64_t>(node->data.size(), node->reserved);
    return used;
}

uint64_t FakeFileSystem::Free() const
{
    if (!m_freeSpace)
        return UINT64_MAX / 4;
    const uint64_t capacity = m_usedAtLimit + *m_freeSpace;
    const uint64_t used = Used();
    return used >= capacity ? 0 : capacity - used;
}

int FakeFileSystem::Open(const std::string& path, OpenMode mode, std::unique_ptr<File>& file)
{
    std::lock_guard lock(m_mutex);
    if (const auto* f = Check(Op::Open, path); f && f->error)
        return f->error;
    if (m_directories.count(path))
        return EISDIR;
    const bool read = mode != OpenMode::Replace;
    const bool write = mode != OpenMode::Read;
    auto it = m_files.find(path);
    if (it == m_files.end()) {
        if (mode == OpenMode::Read || mode == OpenMode::ReadWrite)
            return ENOENT;
        if (!FolderWritable(path))
            return EACCES;
        it = m_files.emplace(path, std::make_shared<Node>()).first;
    } else {
        const uint32_t m = it->second->mode;
        if ((read && !(m & 0400)) || (write && !(m & 0200)))
            return EACCES;
        if (mode == OpenMode::Replace)
            it->second->data.clear();
    }
    file = std::make_unique<FakeFile>(*this, path, it->second, read, write, mode == OpenMode::Append);
    return 0;
}

int FakeFileSystem::CreateUnique(const std::string& prefix, std::string& path, std::unique_ptr<File>& file)
{
    std::lock_guard lock(m_mutex);
    if (const auto* f = Check(Op::Create, prefix); f && f->error)
        return f->error;
    if (!FolderWritable(prefix + "X"))
        return EACCES;
    char suffix[8];
    do {
        std::snprintf(suffix, sizeof suffix, "%06d", ++m_nextUnique % 1000000);
        path = prefix + suffix;
    } while (m_files.count(path));
    auto node = std::make_shared<Node>();
    node->mode = 0600;
    m_files[path] = node;
    file = std::make_unique<FakeFile>(*this, path, node, true, true, false);
    return 0;
}

int FakeFileSystem::Stat(const std::string& path, FileInfo& info)
{
    std::lock_guard lock(m_mutex);
    if (const auto* f = Check(Op::Stat, path); f && f->error)
        return f->error;
    info = FileInfo{};
    if (m_directories.count(path)) {
        info.kind = FileInfo::Kind::Directory;
        info.mode = 0755;
        return 0;
    }
    auto it = m_files.find(path);
    if (it == m_files.end())
        return ENOENT;
    info.size = it->second->data.size();
    info.mode = it->second->mode;
    info.uid = it->second->uid;
    info.gid = it->second->gid;
    return 0;
}

int FakeFileSystem::Rename(const std::string& from, const std::string& to)
{
    std::lock_guard lock(m_mutex);
    if (const auto* f = Check(Op::Rename, to); f && f->error)
        return f->error;
    auto it = m_files.find(from);
    if (it == m_files.end())
        return ENOENT;
    if (m_directories.count(to))
        return EISDIR;
    if (!FolderWritable(from) || !FolderWritable(to))
        return EACCES;
    auto node = it->second;
    m_files.erase(it);
    m_files[to] = std::move(node);
    return 0;
}

int FakeFileSystem::Remove(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    if (const auto* f = Check(Op::Remove, path); f && f->error)
        return f->error;
    if (!FolderWritable(path))
        return EACCES;
    return m_files.erase(path) ? 0 : ENOENT;
}

int FakeFileSystem::Access(const std::string& path, uint32_t what)
{
    std::lock_guard lock(m_mutex);
    if (const auto* f = Check(Op::Access, path); f && f->error)
        return f->error;
    const auto it = m_files.find(path);
    if (it == m_files.end())
        return (what & FileAccess::kWrite) && m_readOnlyFolders.count(path) ? EACCES : 0;
    const uint32_t owner = (it->second->mode >> 6) & 7;
    return (owner & what) == what ? 0 : EACCES;
}

int FakeFileSystem::MakeFolders(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    if (const auto* f = Check(Op::MakeFolders, path); f && f->error)
        return f->error;
    if (m_files.count(path))
        return EEXIST;
    m_directories.insert(path);
    return 0;
}

int FakeFileSystem::ListFolder(const std::string& path, std::vector<std::string>& names)
{
    std::lock_guard lock(m_mutex);
    names.clear();
    if (const auto* f = Check(Op::ListFolder, path); f && f->error)
        return f->error;
    if (m_files.count(path))
        return ENOTDIR;
    const std::string prefix = path.ends_with('/') ? path : path + "/";
    std::set<std::string> inside;
    auto add = [&](const std::string& entry) {
        if (entry.starts_with(prefix) && entry.size() > prefix.size())
            inside.insert(entry.substr(prefix.size(), entry.find('/', prefix.size()) - prefix.size()));
    };
    for (const auto& [name, node] : m_files)
        add(name);
    for (const std::string& dir : m_directories)
        add(dir);
    names.assign(inside.begin(), inside.end());
    return 0;
}

int FakeFileSystem::Canonical(const std::string& path, std::string& canonical)
{
    std::lock_guard lock(m_mutex);
    canonical.clear();
    if (!m_files.count(path) && !m_directories.count(path))
        return ENOENT;
    canonical = path;
    return 0;
}
