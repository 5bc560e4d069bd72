#include "app/AboutInfo.h"

#include <cctype>
#include <cstdio>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

std::string FormatMemoryLine(uint64_t totalBytes)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lu KB Memory", static_cast<unsigned long>(totalBytes / 1024));
    return buf;
}

std::string FormatDiskLine(std::optional<uint64_t> freeKB, const std::string& place)
{
    if (!freeKB)
        return "Unavailable";
    unsigned long amount = static_cast<unsigned long>(*freeKB);
    const char* unit = "KB";
    if (*freeKB > 1024) {
        amount = static_cast<unsigned long>(*freeKB / 1024);
        unit = "MB";
    }
    std::vector<char> buf(place.size() + 64);
    std::snprintf(buf.data(), buf.size(), "%lu %s Free Space on %s", amount, unit, place.c_str());
    return buf.data();
}

std::string DiskPlace(const std::string& directory)
{
    if (directory.size() >= 2 && std::isalpha(static_cast<unsigned char>(directory[0])) && directory[1] == ':')
        return directory.substr(0, 2);
    return directory;
}

uint64_t PhysicalMemoryBytes()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

std::optional<uint64_t> FreeDiskKB(const std::string& directory)
{
    struct statvfs st {};
    if (directory.empty() || ::statvfs(directory.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<uint64_t>(st.f_bavail) * static_cast<uint64_t>(st.f_frsize) / 1024;
}

std::string CurrentDirectory()
{
    std::vector<char> buf(4096);
    if (!::getcwd(buf.data(), buf.size()))
        return {};
    return buf.data();
}
