#pragma once
// The keyboard's lock-key lights, for status panes 7 to 9. Read from the LED
// class devices the kernel exposes (/sys/class/leds/*::capslock etc.); a
// machine without them (or a remote display) shows every lock as off.
struct LockKeyState {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockKeyState ReadLockKeyState();
// The same from another LED directory (tests).
LockKeyState ReadLockKeyState(const char* ledDirectory);
