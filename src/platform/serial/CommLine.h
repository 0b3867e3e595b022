#pragma once
// The line settings of a serial port as the kernel keeps them (termios2), in a form free of the
// system's terminal headers, and their translation to and from the control block the serial
// component works with. Kept apart so that the translation can be checked without a device:
// pseudo-terminals drop parity and the smaller data sizes, so those settings are checked on
// the settings written, not on a round trip.
#include <cstdint>

namespace platform {

// The device control block: the line speed, framing, flow control and special characters.
struct TDCB {
    uint32_t BaudRate = 0;
    uint32_t Flags = 0;   // the bits below
    uint16_t XonLim = 0;  // kept with the block; the kernel has no such thresholds
    uint16_t XoffLim = 0;
    uint8_t ByteSize = 8; // 4..8
    uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    uint8_t XonChar = 17;
    uint8_t XoffChar = 19;
    uint8_t ErrorChar = 0;
    uint8_t EofChar = 0;
    uint8_t EvtChar = 0;
};

namespace dcb {
inline constexpr uint32_t fBinary = 0x0001;
inline constexpr uint32_t fParity = 0x0002;
inline constexpr uint32_t fOutxCtsFlow = 0x0004;
inline constexpr uint32_t fOutxDsrFlow = 0x0008;
inline constexpr uint32_t fDtrControlMask = 0x0030;
inline constexpr uint32_t fDtrControlEnable = 0x0010;
inline constexpr uint32_t fDtrControlHandshake = 0x0020;
inline constexpr uint32_t fDsrSensitivity = 0x0040;
inline constexpr uint32_t fTXContinueOnXoff = 0x0080;
inline constexpr uint32_t fOutX = 0x0100;
inline constexpr uint32_t fInX = 0x0200;
inline constexpr uint32_t fErrorChar = 0x0400;
inline constexpr uint32_t fNull = 0x0800;
inline constexpr uint32_t fRtsControlMask = 0x3000;
inline constexpr uint32_t fRtsControlEnable = 0x1000;
inline constexpr uint32_t fRtsControlHandshake = 0x2000;
// The bits the kernel's line settings carry; the others live only in the block.
inline constexpr uint32_t lineBits = fParity | fOutxCtsFlow | fRtsControlHandshake | fOutX | fInX;
} // namespace dcb

struct LineSettings {
    uint32_t iflag = 0;
    uint32_t oflag = 0;
    uint32_t cflag = 0;
    uint32_t lflag = 0;
    uint8_t line = 0;
    uint8_t cc[19] = {};
    uint32_t ispeed = 0;
    uint32_t ospeed = 0;
};

// The ioctls; false with the system's error code in err.
bool readLine(int fd, LineSettings& out, int& err);
bool writeLine(int fd, const LineSettings& in, int& err);

// Raw bytes both ways, no echo, no signals, no translation; a read returns at once with what
// is queued.
void makeRaw(LineSettings& s);

// Writes the block's speed, framing, flow control and start/stop characters into s, leaving
// every other setting as it is. False when the block asks for what no line can do (a data
// size outside 5..8, a speed of 0); s is then unchanged.
bool dcbToLine(const TDCB& d, LineSettings& s);
// The block of a port: what the line settings carry, and from `kept` what only the block
// carries (the bits outside dcb::lineBits, the thresholds and the other characters).
TDCB lineToDcb(const LineSettings& s, const TDCB& kept);

} // namespace platform
