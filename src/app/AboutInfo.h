#pragma once
// The two measured lines of the About box: total physical memory and the free
// space available to this user where documents and tapes are kept (the
// current directory).
#include <cstdint>
#include <optional>
#include <string>

// "%lu KB Memory" with the bytes divided by 1024.
std::string FormatMemoryLine(uint64_t totalBytes);
// "%lu %s Free Space on %s": MB (KB / 1024) when the KB figure exceeds 1024,
// else KB; "Unavailable" when the free space could not be learned.
std::string FormatDiskLine(std::optional<uint64_t> freeKB, const std::string& place);
// The place named in the disk line: the directory cut after a drive letter
// and colon when it starts with one, else the whole directory.
std::string DiskPlace(const std::string& directory);

// Total physical memory in bytes (0 when unknown).
uint64_t PhysicalMemoryBytes();
// Free space available to an unprivileged user on the file system holding
// `directory`, in KB; nothing when it can't be learned.
std::optional<uint64_t> FreeDiskKB(const std::string& directory);
// The current directory, or empty when it can't be learned.
std::string CurrentDirectory();
