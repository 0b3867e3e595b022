#pragma once
// Format: the printf-like formatting of the program's format texts ("%s%.8d", "%.2f").
//
// A specifier is "%" [ "-" ] [ width ] [ "." precision ] type, the type letter in either case:
//   d  integer, precision = minimum digits (zeros in front)      u  the same, unsigned
//   x  integer in upper-case hexadecimal, precision as for d    s  text, precision = maximum length
//   f  fixed, precision decimals (2)    e  scientific, precision significant digits (15)
//   g  general, precision significant digits (15)    n  fixed with thousand separators (2)
// "%%" is a percent sign. The width pads with blanks on the left, or on the right after "-";
// a "0" in the width pads with blanks too, as in the format texts the program stores. Widths
// and precisions above 4096 are refused.
// Decimal and thousand separators come from the format settings.
//
// Format texts come from stored data, so nothing in them is trusted: an argument that does not
// fit its specifier (a float for %d, a number for %s, an integer for %f), an unknown or
// unfinished specifier, and a missing argument raise EConvertError; extra arguments are ignored.
#include "platform/core/FormatSettings.h"

#include <QChar>
#include <QString>
#include <cstdint>
#include <initializer_list>

namespace platform {

class FormatArg {
public:
    enum class Kind { Int32, Int64, Float, Text };

    FormatArg(int v) : m_kind(Kind::Int32), m_int(v) {}
    FormatArg(unsigned v) : m_kind(Kind::Int64), m_int(int64_t(v)) {}
    FormatArg(long v) : m_kind(Kind::Int64), m_int(v) {}
    FormatArg(long long v) : m_kind(Kind::Int64), m_int(v) {}
    FormatArg(unsigned long v) : m_kind(Kind::Int64), m_int(int64_t(v)) {}
    FormatArg(unsigned long long v) : m_kind(Kind::Int64), m_int(int64_t(v)) {}
    FormatArg(double v) : m_kind(Kind::Float), m_float(v) {}
    FormatArg(float v) : m_kind(Kind::Float), m_float(v) {}
    FormatArg(const QString& v) : m_kind(Kind::Text), m_text(v) {}
    FormatArg(const char* utf8) : m_kind(Kind::Text), m_text(QString::fromUtf8(utf8)) {}
    FormatArg(QChar v) : m_kind(Kind::Text), m_text(v) {}
    FormatArg(bool) = delete;
    FormatArg(char) = delete;

    Kind kind() const { return m_kind; }
    int64_t intValue() const { return m_int; }
    double floatValue() const { return m_float; }
    const QString& text() const { return m_text; }

private:
    Kind m_kind;
    int64_t m_int = 0;
    double m_float = 0;
    QString m_text;
};

QString Format(const QString& format, std::initializer_list<FormatArg> args);
QString Format(const QString& format, std::initializer_list<FormatArg> args, const TFormatSettings& fs);

} // namespace platform
