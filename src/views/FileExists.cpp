#include "views/FileExists.h"

#include <sys/stat.h>

int FileExists(const std::string& name)
{
    struct stat st {};
    if (name.empty() || ::stat(name.c_str(), &st) != 0)
        return 0;
    return S_ISDIR(st.st_mode) ? 0 : 1;
}
