#pragma once
// Replaces the content of a file so that a failed save never leaves it
// half-written, in whichever of two ways the file and its folder allow:
//
//  - Replace: the new image is written to a temporary file beside the target,
//    given the target's owner, group, mode and extended attributes (ACLs),
//    flushed to disk and renamed over it. Chosen when the target is new, or a
//    plain file with one link, and the folder lets us create and rename there
//    and the owner and attributes can be carried over.
//  - In place: the target itself is rewritten (so its owner, mode, ACLs and
//    every hard link stay as they are), but only after a copy of its old
//    content is safe in the backup folder (SaveBackupFolder()). Space is
//    reserved before the first byte is written; if the write fails, the old
//    content is put back and the copy removed; if even that fails, the copy
//    is kept and the error names it. Chosen when the folder may not be
//    written (a shared log folder, a file given to the user by another
//    account), the file has other hard links, or a rename would lose its
//    owner or attributes.
//
// A symbolic link is followed: the link stays and its target is saved. A
// target that exists but is not a regular file (a folder, a device, a pipe)
// is refused. Every file is reached through ProgramFileSystem(). Plain
// functions, no shared state; any thread.
#include "app/FileSystem.h"

#include <cstdint>
#include <functional>
#include <string>

enum class SaveMethod { Replace, InPlace };

// Writes the whole image to `file` from its current offset; returns 0 or the
// errno value of the first failure.
using FileImageWriter = std::function<int(File& file)>;

// `size` is the exact size of the image `write` produces. On failure returns
// false with the reason in `error` (which also says whether the file was left
// as it was). `used`, when given, tells which way the file was written.
bool SaveFileSafely(const std::string& path, uint64_t size, const FileImageWriter& write,
                    std::string* error, SaveMethod* used = nullptr);

// Where in-place saves keep the old content while they write:
// $XDG_CACHE_HOME/VELTRAN (default ~/.cache/VELTRAN), or the temporary
// folder when that cannot be made.
std::string SaveBackupFolder();
