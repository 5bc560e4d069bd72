#pragma once
// The last guard of a keyed transmitter when the process dies of a fatal
// signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT): the descriptors of the
// lines that key PTT are kept in a fixed, lock-free table, and the fatal
// handler drops them with async-signal-safe calls only, then lets the signal
// take its course (the previous handler, or the default action).
//
// - A serial device keying PTT (the RTTY port under PTT keying, a separate
//   PTT port, an FSK keying adapter): RTS and DTR are dropped (TIOCMBIC).
// - A CM108 adapter's hidraw device: the HID report that sets the PTT GPIO
//   low is written.
//
// Nothing here helps after kill -9 (no handler runs): there HUPCL drops the
// serial lines when the kernel closes the device, and a CM108 GPIO stays as
// it was. A rig keyed by CAT can't be reached from a signal handler at all.
//
// Threads: Register/Unregister from any thread; the table holds a fixed
// number of descriptors of each kind, and a line that finds no free slot is
// simply not covered. Unregister before closing the descriptor.
#include <cstddef>
#include <cstdint>

namespace crashrelease {

enum class LineKind { SerialModemLines, Cm108Gpio };

// Slots per kind: more PTT lines than any station opens at once.
inline constexpr size_t kSlots = 16;

// The GPIO Hamlib keys on a CM108 adapter unless told otherwise (its
// default bit number 2, the adapter's GPIO3).
inline constexpr int kCm108PttBit = 2;
// The output report that sets that GPIO low: report number 0, then the
// adapter's four bytes (function, GPIO values, GPIO directions, spare).
inline constexpr uint8_t kCm108ReleaseReport[5] = {0x00, 0x00, 0x00, 1u << kCm108PttBit, 0x00};

// False when every slot of the kind is taken (the line is then not covered).
bool Register(int fd, LineKind kind);
void Unregister(int fd, LineKind kind);

// Drops every registered line. Async-signal-safe; any thread, any time.
void ReleaseRegisteredLines() noexcept;

// Installs the fatal-signal handler, on an alternate stack for the calling
// thread (a stack overflow on another thread kills without the release).
// Idempotent. Call from main before the link threads start.
void InstallFatalSignalHandler();

}  // namespace crashrelease
