#include "views/TapeExport.h"

#include "app/SystemErrorText.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const std::string& data, int* error)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : 0;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool TapeExport::WriteLines(const std::string& path, const std::vector<std::string>& lines,
                            std::string* error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (error != nullptr)
            *error = SystemErrorText(errno);
        return false;
    }
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        int code = 0;
        if (!WriteAll(fd, line + "\r\n", &code)) {
            ::close(fd);
            if (error != nullptr)
                *error = SystemErrorText(code);
            return false;
        }
    }
    if (::close(fd) != 0) {
        if (error != nullptr)
            *error = SystemErrorText(errno);
        return false;
    }
    return true;
}
