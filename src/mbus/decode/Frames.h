#pragma once
// The link frames the wired scan sends (EN 13757-2) and the checks of the replies it accepts.
// Builders write into the caller's buffer and give the number of bytes written, 0 when the
// buffer is too small (nothing is written then).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace mbus::decode {

inline constexpr size_t kShortFrameSize = 5;     // 10 C A CS 16
inline constexpr size_t kAppResetSize = 9;       // 68 03 03 68 C A 50 CS 16
inline constexpr size_t kSelectSecondarySize = 17;
inline constexpr uint8_t kAck = 0xE5;

// How the wired scan sets the frame count bit: toggled from request to request of one meter,
// or fixed by the user (value 0 clears it, any other value sets it).
struct CField {
    bool fixed = false;
    uint8_t fixedValue = 0;
};

// Low byte of the arithmetic sum of the bytes.
uint8_t checksum(std::span<const uint8_t> bytes);

size_t Build_SND_NKE(uint8_t address, std::span<uint8_t> out);
// frameCount counts the replies already read from this meter: the first request (0) has the
// FCB set.
size_t Build_REQ_UD2(uint8_t address, uint32_t frameCount, CField c, std::span<uint8_t> out);
size_t Build_App_Reset(uint8_t address, CField c, std::span<uint8_t> out);
// The eight digits of the identification number, most significant first; a digit below 0 is
// sent as the wildcard nibble F. Manufacturer, version and medium are wildcards.
size_t Build_Select_Secondary(const std::array<int, 8>& digits, CField c, std::span<uint8_t> out);

// A single acknowledgement byte E5.
bool isAck(std::span<const uint8_t> reply);
// A long frame (RSP_UD): 68 L L 68 ... CS 16 with a correct checksum over the bytes from the C
// field to the one before CS, and more than 21 bytes in all (the fixed header of a variable
// data structure and its end). The L field is not compared with the length.
bool isLongFrame(std::span<const uint8_t> reply);

} // namespace mbus::decode
