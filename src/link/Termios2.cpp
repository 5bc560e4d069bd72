#include "link/Termios2.h"

// Only the kernel's definitions here: <termios.h> must not be included.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>
#include <linux/serial.h>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace termios2io {

namespace {

tcflag_t SizeFlag(uint8_t dataBits)
{
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

bool Get(int fd, struct termios2& tio)
{
    return ioctl(fd, TCGETS2, &tio) == 0;
}

bool Set(int fd, const struct termios2& tio)
{
    return ioctl(fd, TCSETS2, &tio) == 0;
}

// An exact rate as the driver's own divisor, where the driver takes one.
bool SetExactDivisor(int fd, uint32_t hundredths, AppliedRate& out)
{
    struct serial_struct was {};
    if (ioctl(fd, TIOCGSERIAL, &was) != 0)
        return false;
    // Only a UART that knows its type and clock (the 8250 family) divides by
    // the divisor it is given. USB adapters answer with no type; there the
    // divisor would be ignored and the line would run at 38400 baud.
    if (was.type == PORT_UNKNOWN || was.baud_base <= 0)
        return false;
    const uint64_t divisor = (uint64_t{static_cast<uint32_t>(was.baud_base)} * 100 + hundredths / 2) / hundredths;
    if (divisor == 0 || divisor > 0xFFFF)
        return false;
    struct serial_struct want = was;
    want.flags = (was.flags & ~ASYNC_SPD_MASK) | ASYNC_SPD_CUST;
    want.custom_divisor = static_cast<int>(divisor);
    struct serial_struct now {};
    if (ioctl(fd, TIOCSSERIAL, &want) != 0 || ioctl(fd, TIOCGSERIAL, &now) != 0 ||
        (now.flags & ASYNC_SPD_MASK) != ASYNC_SPD_CUST || now.custom_divisor != want.custom_divisor) {
        ioctl(fd, TIOCSSERIAL, &was);
        return false;
    }
    out.customDivisor = true;
    out.savedFlags = was.flags;
    out.savedDivisor = was.custom_divisor;
    out.hundredths = static_cast<uint32_t>(uint64_t{static_cast<uint32_t>(was.baud_base)} * 100 / divisor);
    return true;
}

}  // namespace

void RestoreDivisor(int fd, const AppliedRate& applied)
{
    if (!applied.customDivisor)
        return;
    struct serial_struct ss {};
    if (ioctl(fd, TIOCGSERIAL, &ss) != 0)
        return;
    ss.flags = (ss.flags & ~ASYNC_SPD_MASK) | (applied.savedFlags & ASYNC_SPD_MASK);
    ss.custom_divisor = applied.savedDivisor;
    ioctl(fd, TIOCSSERIAL, &ss);
}

uint32_t WholeBaud(const LineSettings& s)
{
    return s.baudHundredths ? (s.baudHundredths + 50) / 100 : s.baud;
}

bool ApplyLineSettings(int fd, const LineSettings& s, bool hangUpOnClose, AppliedRate* applied)
{
    AppliedRate rate;
    struct termios2 tio {};
    if (!Get(fd, tio))
        return false;

    // Raw input: no break or parity processing beyond ignoring bad bytes,
    // no CR/NL mapping, no software flow control.
    tio.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF |
                                          IXANY | PARMRK | INPCK | IUCLC | IMAXBEL);
    tio.c_iflag |= IGNBRK;
    if (s.parity != 0)
        tio.c_iflag |= INPCK | IGNPAR;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;

    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD |
                                          (CBAUD << IBSHIFT));
    tio.c_cflag |= SizeFlag(s.dataBits) | CREAD | CLOCAL;
    // A rate that is not whole, set as the UART's own divisor, hides behind
    // 38400 baud (the driver divides by the divisor whenever it is asked for
    // 38400); any other rate goes as a number of bauds.
    const bool exact = s.baudHundredths % 100 != 0 && SetExactDivisor(fd, s.baudHundredths, rate);
    if (exact) {
        tio.c_cflag |= B38400;
        tio.c_ispeed = tio.c_ospeed = 38400;
    } else {
        tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
        tio.c_ispeed = tio.c_ospeed = WholeBaud(s);
        rate.hundredths = WholeBaud(s) * 100;
    }
    switch (s.parity) {
    case 1: tio.c_cflag |= PARENB | PARODD; break;
    case 2: tio.c_cflag |= PARENB; break;
    case 3: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: tio.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    // CSTOPB with CS5 is one and a half stop bits on the wire: the 16550
    // family and the common USB UARTs (PL2303, CH340) frame five-bit
    // characters that way. A chip that sends two instead is still copied by
    // every RTTY receiver: the longer stop is only more idle mark.
    if (s.stopBits != 0)
        tio.c_cflag |= CSTOPB;
    if (hangUpOnClose)
        tio.c_cflag |= HUPCL;
    const bool set = Set(fd, tio);
    if (!set)
        RestoreDivisor(fd, rate);
    if (applied != nullptr)
        *applied = set ? rate : AppliedRate{};
    return set;
}

bool SetHangupOnClose(int fd)
{
    struct termios2 tio {};
    if (!Get(fd, tio))
        return false;
    tio.c_cflag |= HUPCL;
    return Set(fd, tio);
}

bool FlushBoth(int fd)
{
    return ioctl(fd, TCFLSH, TCIOFLUSH) == 0;
}

bool FlushOutput(int fd)
{
    return ioctl(fd, TCFLSH, TCOFLUSH) == 0;
}

}  // namespace termios2io
