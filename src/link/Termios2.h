#pragma once
// Line settings through the kernel's termios2 interface (TCGETS2/TCSETS2 with
// BOTHER), which takes any baud rate: the teleprinter rates 45, 57, 74 and 100
// have no Bxxx constant. Kept apart from PosixSerialPort because the kernel's
// <asm/termbits.h> clashes with the C library's <termios.h>.
#include "link/PortDevice.h"

namespace termios2io {

// The whole baud the device is asked for: `baud`, or for an exact rate that
// is not whole the nearest whole number (termios2 takes whole bauds only, so
// 45.45 runs as 45, 56.88 as 57 and 74.2 as 74: within 1 % of the teleprinter
// rate, inside what every RTTY receiver tolerates).
uint32_t WholeBaud(const LineSettings& settings);

// How the rate was set by ApplyLineSettings.
struct AppliedRate {
    // The rate the UART runs at, in hundredths of a baud.
    uint32_t hundredths = 0;
    // An exact rate went to the driver as its own divisor (the 8250/16550
    // family takes one): RestoreDivisor must run before the device is closed,
    // or the next program asking for 38400 baud would get this rate.
    bool customDivisor = false;
    int savedFlags = 0;
    int savedDivisor = 0;
};

// Raw mode at the given settings: any baud, CS5/CS7/CS8 (6 for other sizes),
// parity (none, odd, even, mark, space), one or two stop bits (two with five
// data bits gives one and a half on the wire), receiver on, modem status
// ignored, no flow control, zero bytes dropped on receive (not in the line
// discipline: PosixSerialPort drops them), no output processing.
// `hangUpOnClose` sets HUPCL (otherwise it stays as the device had it). A
// rate that is not whole is set exactly where the driver takes a divisor of
// its own (a UART of the 8250/16550 family: baud base / divisor, 115200 /
// 2535 = 45.44 baud), else as WholeBaud. False when the device refused.
bool ApplyLineSettings(int fd, const LineSettings& settings, bool hangUpOnClose, AppliedRate* applied = nullptr);
// Puts the driver's divisor setting back as it was before ApplyLineSettings.
void RestoreDivisor(int fd, const AppliedRate& applied);
// Sets HUPCL alone: when the last descriptor of the device closes, however
// the process ends (a crash, kill -9), the kernel drops RTS and DTR.
bool SetHangupOnClose(int fd);
// Discards input and output waiting in the driver.
bool FlushBoth(int fd);
// Discards output written and not yet sent; input stays.
bool FlushOutput(int fd);

}  // namespace termios2io
