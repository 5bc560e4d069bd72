#include "app/SystemErrorText.h"

#include <cstring>

namespace {

// strerror_r comes in two shapes; overloads pick whichever the C library has.
[[maybe_unused]] const char* Pick(int result, const char* buffer)
{
    return result == 0 ? buffer : nullptr;
}

[[maybe_unused]] const char* Pick(const char* result, const char*)
{
    return result;
}

}  // namespace

std::string SystemErrorText(int code)
{
    if (code == 0)
        return "Unknown Error";
    char buffer[256] = {};
    const char* text = Pick(strerror_r(code, buffer, sizeof buffer), buffer);
    if (text == nullptr || *text == '\0' || std::strncmp(text, "Unknown error", 13) == 0)
        return "Unknown Error";
    return text;
}
