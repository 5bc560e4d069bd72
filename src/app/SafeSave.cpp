#include "app/SafeSave.h"

#include "app/FileIo.h"
#include "app/SystemErrorText.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
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

// Copies everything from `from` (at offset 0) to `to` (at offset 0) and cuts
// `to` to that length; 0 or an errno value.
int CopyContent(File& from, File& to)
{
    if (const int err = from.Seek(0))
        return err;
    if (const int err = to.Seek(0))
        return err;
    std::vector<char> buf(kCopyChunk);
    uint64_t total = 0;
    for (;;) {
        size_t got = 0;
        if (const int err = ReadFull(from, buf.data(), buf.size(), got))
            return err;
        if (got == 0)
            break;
        if (const int err = WriteAll(to, buf.data(), got))
            return err;
        total += got;
    }
    if (const int err = to.Truncate(total))
        return err;
    return to.Sync();
}

// The system's temporary folder as the standard library names it: the first
// of $TMPDIR, $TMP, $TEMP and $TEMPDIR that is set, else /tmp; empty when
// that is not a folder.
std::string TemporaryFolder(FileSystem& fs)
{
    std::string folder = "/tmp";
    for (const char* name : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"}) {
        if (const char* value = std::getenv(name); value && *value) {
            folder = value;
            break;
        }
    }
    FileInfo info;
    return fs.Stat(folder, info) == 0 && info.kind == FileInfo::Kind::Directory ? folder : std::string();
}

enum class Outcome { Done, Failed, NotHere };

bool Refusal(int err)
{
    return err == EACCES || err == EPERM || err == EROFS;
}

// Temporary file beside the target, then rename. NotHere: the folder or the
// file's owner does not allow it, and nothing was changed.
Outcome ReplaceByRename(FileSystem& fs, const std::filesystem::path& target, const FileInfo* old,
                        const FileImageWriter& write, std::string* error)
{
    std::filesystem::path dir = target.parent_path();
    if (dir.empty())
        dir = ".";
    std::string temp;
    std::unique_ptr<File> file;
    if (const int err = fs.CreateUnique((dir / Text({".", target.filename().string(), "."})).string(), temp, file)) {
        if (old && Refusal(err))
            return Outcome::NotHere;
        SetError(error, Text({"cannot create a file in ", dir.string(), ": ", SystemErrorText(err)}));
        return Outcome::Failed;
    }
    auto drop = [&] {
        file.reset();
        fs.Remove(temp);
    };
    if (old) {
        FileInfo mine;
        if (file->Stat(mine) != 0 ||
            ((mine.uid != old->uid || mine.gid != old->gid) && file->SetOwner(old->uid, old->gid) != 0) ||
            file->SetMode(old->mode) != 0 || file->CopyAttributesFrom(target.string()) != 0) {
            drop();
            return Outcome::NotHere;
        }
    } else if (file->SetMode(fs.NewFileMode()) != 0) {
        drop();
        return Outcome::NotHere;
    }
    int err = write(*file);
    if (err == 0)
        err = file->Sync();
    if (err == 0)
        err = file->Close();
    if (err != 0) {
        drop();
        SetError(error, Text({"cannot write ", target.string(), ": ", SystemErrorText(err)}));
        return Outcome::Failed;
    }
    file.reset();
    if ((err = fs.Rename(temp, target.string())) != 0) {
        fs.Remove(temp);
        // A sticky folder refuses to replace another account's file.
        if (old && Refusal(err))
            return Outcome::NotHere;
        SetError(error, Text({"cannot replace ", target.string(), ": ", SystemErrorText(err)}));
        return Outcome::Failed;
    }
    fs.SyncFolder(dir.string());
    return Outcome::Done;
}

bool WriteInPlace(FileSystem& fs, const std::filesystem::path& target, uint64_t size,
                  const FileImageWriter& write, std::string* error)
{
    const std::string name = target.string();
    std::unique_ptr<File> file;
    if (const int err = fs.Open(name, OpenMode::ReadWrite, file)) {
        SetError(error, Text({"cannot write ", name, ": ", SystemErrorText(err)}));
        return false;
    }
    // The old content first goes somewhere safe.
    const std::string folder = SaveBackupFolder();
    std::string backup;
    std::unique_ptr<File> copy;
    int err = fs.CreateUnique((std::filesystem::path(folder) / Text({target.filename().string(), "."})).string(),
                              backup, copy);
    if (err == 0)
        err = CopyContent(*file, *copy);
    if (err != 0) {
        if (copy) {
            copy.reset();
            fs.Remove(backup);
        }
        SetError(error, Text({"cannot keep a copy of ", name, " in ", folder, " before writing it (",
                              SystemErrorText(err), "); the file was not changed"}));
        return false;
    }
    auto dropCopy = [&] {
        copy.reset();
        fs.Remove(backup);
    };
    // Room for the new image before the first byte changes (a full disk then
    // fails here, not half-way); file systems that cannot reserve just write.
    err = file->Reserve(0, size);
    if (err == ENOSPC || err == EDQUOT) {
        dropCopy();
        SetError(error, Text({"cannot write ", name, ": ", SystemErrorText(err), "; the file was not changed"}));
        return false;
    }
    err = file->Seek(0);
    if (err == 0)
        err = write(*file);
    if (err == 0)
        err = file->Truncate(size);
    if (err == 0)
        err = file->Sync();
    if (err == 0) {
        dropCopy();
        if ((err = file->Close()) != 0) {
            SetError(error, Text({"cannot write ", name, ": ", SystemErrorText(err)}));
            return false;
        }
        return true;
    }
    const bool restored = CopyContent(*copy, *file) == 0;
    copy.reset();
    file.reset();
    if (restored) {
        fs.Remove(backup);
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
    FileSystem& fs = ProgramFileSystem();
    std::filesystem::path base;
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        base = cache;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        base = std::filesystem::path(home) / ".cache";
    if (!base.empty()) {
        const std::string folder = (base / "VELTRAN").string();
        if (fs.MakeFolders(folder) == 0 && fs.Access(folder, FileAccess::kWrite | FileAccess::kExecute) == 0)
            return folder;
    }
    return TemporaryFolder(fs);
}

bool SaveFileSafely(const std::string& path, uint64_t size, const FileImageWriter& write,
                    std::string* error, SaveMethod* used)
{
    FileSystem& fs = ProgramFileSystem();
    // A symbolic link is followed so that the link survives and its target
    // gets the new content.
    const std::filesystem::path target = fs.Resolve(path);
    FileInfo st;
    const bool exists = fs.Stat(target.string(), st) == 0;
    if (exists && st.kind != FileInfo::Kind::Regular) {
        SetError(error, Text({target.string(), " is not a regular file"}));
        return false;
    }
    if (!exists || st.links == 1) {
        switch (ReplaceByRename(fs, target, exists ? &st : nullptr, write, error)) {
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
    if (!WriteInPlace(fs, target, size, write, error))
        return false;
    if (used)
        *used = SaveMethod::InPlace;
    return true;
}
