#pragma once
// Byte-exact expectations as hex strings: "10 7B 05 80 16".
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mbustest {

// Pairs of hex digits; blanks between them are optional. 'x' quotes one character as its byte:
// "FC 03 'h 'W 'k" gives FC 03 68 57 6B.
inline std::vector<uint8_t> bytes(std::string_view hex)
{
    std::vector<uint8_t> out;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        std::abort();
    };
    for (size_t i = 0; i < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
        } else if (hex[i] == '\'') {
            out.push_back(static_cast<uint8_t>(hex.at(i + 1)));
            i += 2;
        } else {
            out.push_back(static_cast<uint8_t>(digit(hex[i]) << 4 | digit(hex.at(i + 1))));
            i += 2;
        }
    }
    return out;
}

inline std::string hexOf(std::span<const uint8_t> b)
{
    static const char* d = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < b.size(); ++i) {
        if (i)
            s += ' ';
        s += d[b[i] >> 4];
        s += d[b[i] & 15];
    }
    return s;
}

inline std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace mbustest
