#include "controls/tree/LazyTreeClasses.h"

#include <cstring>

namespace controls {

void LtAssert(bool condition, const char* message, const char* source)
{
    if (!condition)
        throw ELazyTreeAssertion(QString::fromUtf8(message), QString::fromUtf8(source));
}

void LtAssert(bool condition, const QString& message, const char* source)
{
    if (!condition)
        throw ELazyTreeAssertion(message, QString::fromUtf8(source));
}

namespace {
constexpr qsizetype kGrowStep = 4096;
qsizetype roundUpToStep(qsizetype n) { return (n + kGrowStep - 1) / kGrowStep * kGrowStep; }
} // namespace

// --- TBufferedString ------------------------------------------------------------------------

void TBufferedString::Grow(qsizetype by)
{
    const qsizetype newSize = (FEnd - FStart) + by;
    auto buffer = std::make_unique<char16_t[]>(size_t(newSize));
    if (FPosition > 0)
        std::memcpy(buffer.get(), FBuffer.get(), size_t(FPosition) * sizeof(char16_t));
    FBuffer = std::move(buffer);
    FStart = 0;
    FEnd = newSize;
}

void TBufferedString::Add(const QString& s)
{
    const qsizetype len = s.size();
    if (len == 0)
        return;
    if (FEnd - FPosition <= len)
        Grow(roundUpToStep(len));
    std::memcpy(FBuffer.get() + FPosition, s.utf16(), size_t(len) * sizeof(char16_t));
    FPosition += len;
}

void TBufferedString::AddNewLine()
{
    if (FEnd - FPosition <= 4)
        Grow(kGrowStep);
    FBuffer[size_t(FPosition++)] = u'\r';
    FBuffer[size_t(FPosition++)] = u'\n';
}

QString TBufferedString::AsString() const
{
    if (FPosition == 0)
        return QString();
    return QString(reinterpret_cast<const QChar*>(FBuffer.get()), FPosition);
}

// --- TBufferedRawByteString ------------------------------------------------------------------

void TBufferedRawByteString::Grow(qsizetype by)
{
    const qsizetype newSize = (FEnd - FStart) + by;
    auto buffer = std::make_unique<char[]>(size_t(newSize));
    if (FPosition > 0)
        std::memcpy(buffer.get(), FBuffer.get(), size_t(FPosition));
    FBuffer = std::move(buffer);
    FStart = 0;
    FEnd = newSize;
}

void TBufferedRawByteString::Add(const QByteArray& s)
{
    // Unlike the UTF-16 builder, an empty text still runs the growth test.
    const qsizetype len = s.size();
    if (FEnd - FPosition <= len)
        Grow(roundUpToStep(len));
    if (len > 0)
        std::memcpy(FBuffer.get() + FPosition, s.constData(), size_t(len));
    FPosition += len;
}

void TBufferedRawByteString::AddNewLine()
{
    if (FEnd - FPosition <= 2)
        Grow(kGrowStep);
    FBuffer[size_t(FPosition++)] = '\r';
    FBuffer[size_t(FPosition++)] = '\n';
}

QByteArray TBufferedRawByteString::AsString() const { return QByteArray(FBuffer.get(), FPosition); }

} // namespace controls
