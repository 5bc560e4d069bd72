#include "views/FileExists.h"

#include "app/FileSystem.h"

int FileExists(const std::string& name)
{
    FileInfo info;
    if (name.empty() || ProgramFileSystem().Stat(name, info) != 0)
        return 0;
    return info.kind == FileInfo::Kind::Directory ? 0 : 1;
}
