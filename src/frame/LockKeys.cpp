#include "frame/LockKeys.h"

#include "app/FileIo.h"
#include "app/FileSystem.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The LED's "brightness" attribute: on when it reads as a number above 0.
bool LedOn(FileSystem& fs, const std::string& led)
{
    std::unique_ptr<File> file;
    if (fs.Open(led + "/brightness", OpenMode::Read, file) != 0)
        return false;
    char text[32];
    size_t got = 0;
    if (ReadFull(*file, text, sizeof text - 1, got) != 0)
        return false;
    text[got] = '\0';
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return end != text && value > 0;
}

}  // namespace

LockKeyState ReadLockKeyState()
{
    return ReadLockKeyState("/sys/class/leds");
}

LockKeyState ReadLockKeyState(const char* ledDirectory)
{
    FileSystem& fs = ProgramFileSystem();
    LockKeyState state;
    std::vector<std::string> names;
    fs.ListFolder(ledDirectory, names);
    const std::string folder = std::string(ledDirectory).ends_with('/') ? ledDirectory : std::string(ledDirectory) + "/";
    for (const std::string& name : names) {
        const std::string led = folder + name;
        // Any keyboard with the light on counts.
        if (name.ends_with("::capslock"))
            state.caps = state.caps || LedOn(fs, led);
        else if (name.ends_with("::numlock"))
            state.num = state.num || LedOn(fs, led);
        else if (name.ends_with("::scrolllock"))
            state.scroll = state.scroll || LedOn(fs, led);
    }
    return state;
}
