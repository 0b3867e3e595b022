// The kernel's own termios2 (speeds of any value) rather than the C library's termios: the two
// cannot share one file, so this file holds every use of it.
#include "platform/serial/CommLine.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

namespace platform {

static_assert(sizeof(LineSettings::cc) == NCCS);

namespace {

struct SpeedCode {
    uint32_t rate;
    uint32_t code;
};
// The rates with a code of their own; any other rate goes as BOTHER with its number.
constexpr SpeedCode kSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

termios2 toKernel(const LineSettings& s)
{
    termios2 t{};
    t.c_iflag = s.iflag;
    t.c_oflag = s.oflag;
    t.c_cflag = s.cflag;
    t.c_lflag = s.lflag;
    t.c_line = s.line;
    std::memcpy(t.c_cc, s.cc, sizeof s.cc);
    t.c_ispeed = s.ispeed;
    t.c_ospeed = s.ospeed;
    return t;
}

LineSettings fromKernel(const termios2& t)
{
    LineSettings s;
    s.iflag = t.c_iflag;
    s.oflag = t.c_oflag;
    s.cflag = t.c_cflag;
    s.lflag = t.c_lflag;
    s.line = t.c_line;
    std::memcpy(s.cc, t.c_cc, sizeof s.cc);
    s.ispeed = t.c_ispeed;
    s.ospeed = t.c_ospeed;
    return s;
}

} // namespace

bool readLine(int fd, LineSettings& out, int& err)
{
    termios2 t{};
    if (::ioctl(fd, TCGETS2, &t) != 0) {
        err = errno;
        return false;
    }
    out = fromKernel(t);
    return true;
}

bool writeLine(int fd, const LineSettings& in, int& err)
{
    const termios2 t = toKernel(in);
    if (::ioctl(fd, TCSETS2, &t) != 0) {
        err = errno;
        return false;
    }
    return true;
}

void makeRaw(LineSettings& s)
{
    s.iflag &= ~static_cast<uint32_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IMAXBEL);
    s.oflag &= ~static_cast<uint32_t>(OPOST);
    s.lflag &= ~static_cast<uint32_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    s.cflag |= CREAD | CLOCAL;
    s.cc[VMIN] = 0;
    s.cc[VTIME] = 0;
}

bool dcbToLine(const TDCB& d, LineSettings& s)
{
    uint32_t size = 0;
    switch (d.ByteSize) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
    }
    if (d.BaudRate == 0)
        return false;
    LineSettings t = s;
    uint32_t speed = BOTHER;
    for (const SpeedCode& c : kSpeeds)
        if (c.rate == d.BaudRate)
            speed = c.code;
    t.cflag &= ~static_cast<uint32_t>(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.cflag |= speed | size;
    t.ispeed = d.BaudRate;
    t.ospeed = d.BaudRate;
    switch (d.Parity) {
    case 1: t.cflag |= PARENB | PARODD; break;
    case 2: t.cflag |= PARENB; break;
    case 3: t.cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: t.cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    // One and a half stop bits exist only with five data bits; the line gives two instead.
    if (d.StopBits != 0)
        t.cflag |= CSTOPB;
    if ((d.Flags & dcb::fOutxCtsFlow) || (d.Flags & dcb::fRtsControlMask) == dcb::fRtsControlHandshake)
        t.cflag |= CRTSCTS;
    t.iflag &= ~static_cast<uint32_t>(INPCK | IXON | IXOFF | IXANY);
    if (d.Flags & dcb::fParity)
        t.iflag |= INPCK;
    if (d.Flags & dcb::fOutX)
        t.iflag |= IXON;
    if (d.Flags & dcb::fInX)
        t.iflag |= IXOFF;
    t.cc[VSTART] = d.XonChar;
    t.cc[VSTOP] = d.XoffChar;
    s = t;
    return true;
}

TDCB lineToDcb(const LineSettings& s, const TDCB& kept)
{
    TDCB d = kept;
    d.BaudRate = s.ospeed;
    switch (s.cflag & CSIZE) {
    case CS5: d.ByteSize = 5; break;
    case CS6: d.ByteSize = 6; break;
    case CS7: d.ByteSize = 7; break;
    default: d.ByteSize = 8; break;
    }
    if (!(s.cflag & PARENB))
        d.Parity = 0;
    else if (s.cflag & CMSPAR)
        d.Parity = (s.cflag & PARODD) ? 3 : 4;
    else
        d.Parity = (s.cflag & PARODD) ? 1 : 2;
    if (!(s.cflag & CSTOPB))
        d.StopBits = 0;
    else if (kept.StopBits == 0)
        d.StopBits = 2;
    d.Flags &= ~dcb::lineBits;
    d.Flags |= dcb::fBinary;
    if (s.cflag & CRTSCTS)
        d.Flags |= dcb::fOutxCtsFlow | dcb::fRtsControlHandshake;
    if (s.iflag & INPCK)
        d.Flags |= dcb::fParity;
    if (s.iflag & IXON)
        d.Flags |= dcb::fOutX;
    if (s.iflag & IXOFF)
        d.Flags |= dcb::fInX;
    d.XonChar = s.cc[VSTART];
    d.XoffChar = s.cc[VSTOP];
    return d;
}

} // namespace platform
