#include "app/FileSystem.h"

#include "app/PosixFileSystem.h"

#include <atomic>

namespace {

std::atomic<FileSystem*> g_installed{nullptr};

}  // namespace

FileSystem& ProgramFileSystem()
{
    FileSystem* fs = g_installed.load(std::memory_order_acquire);
    return fs ? *fs : PosixFileSystem::Instance();
}

void SetProgramFileSystem(FileSystem* fs)
{
    g_installed.store(fs, std::memory_order_release);
}
