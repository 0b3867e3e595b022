#include "image/Bank.h"

#include "platform/text/UserError.h"

#include <QString>
#include <cstring>

namespace image {

void BankBuffer::setLength(int32_t length)
{
    if (length < 0 || length > capacity())
        throw platform::UserError(QStringLiteral("Internal error: the image does not fit its bank buffer."));
    length_ = length;
}

QByteArray BankBuffer::filled() const
{
    return QByteArray(reinterpret_cast<const char*>(bytes_.data()), length_);
}

BankWriter::BankWriter(BankBuffer& bank, int32_t offset)
    : data_(bank.data()), capacity_(bank.capacity()), offset_(offset)
{
    if (offset < 0 || offset > capacity_)
        overrun();
}

void BankWriter::overrun()
{
    throw platform::UserError(QStringLiteral("Internal error: the image does not fit its bank buffer."));
}

BankWriter& BankWriter::bytes(const uint8_t* src, int32_t n)
{
    uint8_t* p = room(n);
    if (n > 0)
        std::memcpy(p, src, static_cast<size_t>(n));
    sum_ += byteSum(p, static_cast<size_t>(n));
    return *this;
}

BankWriter& BankWriter::zeros(int32_t n)
{
    uint8_t* p = room(n);
    if (n > 0)
        std::memset(p, 0, static_cast<size_t>(n));
    return *this;
}

uint32_t byteSum(const uint8_t* p, size_t n)
{
    uint32_t s = 0;
    for (size_t i = 0; i < n; ++i)
        s += p[i];
    return s;
}

uint32_t readLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint16_t readLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

} // namespace image
