#pragma once
// Readable failure messages for Qt values in GoogleTest.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os)
{
    bool printable = true;
    for (char c : b)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t') ||
            static_cast<unsigned char>(c) >= 0x7F)
            printable = false;
    if (printable)
        *os << '"' << b.toStdString() << '"';
    else
        *os << "hex[" << b.toHex(' ').toUpper().toStdString() << ']';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i)
        *os << (i ? ", \"" : "\"") << l[i].toStdString() << '"';
    *os << '}';
}
