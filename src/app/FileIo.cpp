#include "app/FileIo.h"

#include <cerrno>

int WriteAll(File& file, const void* data, size_t n)
{
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        size_t done = 0;
        if (const int err = file.Write(p, n, done))
            return err;
        if (done == 0)
            return EIO;
        p += done;
        n -= done;
    }
    return 0;
}

int ReadFull(File& file, void* buffer, size_t n, size_t& got)
{
    char* p = static_cast<char*>(buffer);
    got = 0;
    while (got < n) {
        size_t r = 0;
        if (const int err = file.Read(p + got, n - got, r))
            return err;
        if (r == 0)
            break;
        got += r;
    }
    return 0;
}
