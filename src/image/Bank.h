#pragma once
// The bank buffers the images are assembled in, and the little-endian writer every serializer
// of the builder uses. A serializer appends at a given offset and hands back the offset after
// what it wrote; the build routine stores the final offset as the buffer's length.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace image {

// A fixed-size byte array with a running length (the bytes filled, counted from byte 0).
// The memory is taken once; builds only overwrite it.
class BankBuffer {
public:
    explicit BankBuffer(int32_t capacity) : bytes_(static_cast<size_t>(capacity), 0) {}
    int32_t capacity() const { return static_cast<int32_t>(bytes_.size()); }
    int32_t length() const { return length_; }
    void setLength(int32_t length);
    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }
    // Bytes 0 .. length-1: exactly what goes into the bank file.
    QByteArray filled() const;

private:
    std::vector<uint8_t> bytes_;
    int32_t length_ = 0;
};

// Writes little-endian values into a bank buffer from an offset on, keeping the sum of the
// unsigned bytes it has written (the parameter record's checksum). Writing past the end of the
// buffer throws platform::UserError: an image never overruns its bank.
class BankWriter {
public:
    BankWriter(BankBuffer& bank, int32_t offset);
    BankWriter& u8(uint32_t v)
    {
        uint8_t* p = room(1);
        p[0] = static_cast<uint8_t>(v);
        sum_ += p[0];
        return *this;
    }
    BankWriter& u16(uint32_t v) { return le(v, 2); } // low 16 bits
    BankWriter& u32(uint32_t v) { return le(v, 4); }
    BankWriter& bytes(const uint8_t* p, int32_t n);
    BankWriter& zeros(int32_t n);
    int32_t offset() const { return offset_; }
    uint32_t sum() const { return sum_; }

private:
    BankWriter& le(uint32_t v, int n)
    {
        uint8_t* p = room(n);
        for (int i = 0; i < n; ++i) {
            p[i] = static_cast<uint8_t>(v >> (8 * i));
            sum_ += p[i];
        }
        return *this;
    }
    uint8_t* room(int32_t n)
    {
        if (n < 0 || n > capacity_ - offset_)
            overrun();
        uint8_t* p = data_ + offset_;
        offset_ += n;
        return p;
    }
    [[noreturn]] static void overrun();
    uint8_t* data_;
    int32_t capacity_;
    int32_t offset_;
    uint32_t sum_ = 0;
};

// 32-bit sum of the unsigned values of n bytes (wraps like the gateway's own sum).
uint32_t byteSum(const uint8_t* p, size_t n);
uint32_t readLE32(const uint8_t* p);
uint16_t readLE16(const uint8_t* p);

// An IPv4 address inside table records: a 32-bit number whose most significant byte is the
// first part of the dotted text (stored little-endian like every other number).
inline uint32_t ipNumber(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    return (uint32_t(a) << 24) | (uint32_t(b) << 16) | (uint32_t(c) << 8) | uint32_t(d);
}

} // namespace image
