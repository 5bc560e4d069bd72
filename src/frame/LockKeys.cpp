#include "frame/LockKeys.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool LedOn(const std::filesystem::path& led)
{
    std::ifstream in(led / "brightness");
    int value = 0;
    return in >> value && value > 0;
}

}  // namespace

LockKeyState ReadLockKeyState()
{
    return ReadLockKeyState("/sys/class/leds");
}

LockKeyState ReadLockKeyState(const char* ledDirectory)
{
    LockKeyState state;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(ledDirectory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        // Any keyboard with the light on counts.
        if (name.ends_with("::capslock"))
            state.caps = state.caps || LedOn(it->path());
        else if (name.ends_with("::numlock"))
            state.num = state.num || LedOn(it->path());
        else if (name.ends_with("::scrolllock"))
            state.scroll = state.scroll || LedOn(it->path());
    }
    return state;
}
