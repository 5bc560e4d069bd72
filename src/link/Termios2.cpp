#include "link/Termios2.h"

// Only the kernel's definitions here: <termios.h> must not be included.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>

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

}  // namespace

uint32_t WholeBaud(const LineSettings& s)
{
    return s.baudHundredths ? (s.baudHundredths + 50) / 100 : s.baud;
}

bool ApplyLineSettings(int fd, const LineSettings& s, bool keepLinesOnClose)
{
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
    tio.c_cflag |= SizeFlag(s.dataBits) | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
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
    if (keepLinesOnClose)
        tio.c_cflag &= ~static_cast<tcflag_t>(HUPCL);
    tio.c_ispeed = WholeBaud(s);
    tio.c_ospeed = WholeBaud(s);
    return Set(fd, tio);
}

bool ClearHangupOnClose(int fd)
{
    struct termios2 tio {};
    if (!Get(fd, tio))
        return false;
    tio.c_cflag &= ~static_cast<tcflag_t>(HUPCL);
    return Set(fd, tio);
}

bool FlushBoth(int fd)
{
    return ioctl(fd, TCFLSH, TCIOFLUSH) == 0;
}

}  // namespace termios2io
