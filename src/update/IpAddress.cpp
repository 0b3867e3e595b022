#include "update/IpAddress.h"

#include "platform/text/Text.h"

namespace update {

QString Ipv4Address::text() const
{
    return QStringLiteral("%1.%2.%3.%4").arg(parts[0]).arg(parts[1]).arg(parts[2]).arg(parts[3]);
}

std::optional<uint8_t> parseAddressPart(const QString& text)
{
    const QString t = platform::trim(text);
    if (t.isEmpty() || t.size() > 3)
        return std::nullopt;
    int v = 0;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        v = v * 10 + (c.unicode() - '0');
    }
    if (v > 255)
        return std::nullopt;
    return uint8_t(v);
}

std::optional<Ipv4Address> parseAddressFields(const QString& f1, const QString& f2, const QString& f3,
                                              const QString& f4)
{
    Ipv4Address a;
    const QString* fields[4] = {&f1, &f2, &f3, &f4};
    for (int i = 0; i < 4; ++i) {
        const auto p = parseAddressPart(*fields[i]);
        if (!p)
            return std::nullopt;
        a.parts[size_t(i)] = *p;
    }
    return a;
}

bool Valid_IP(const QString& IP, QString& ip1, QString& ip2, QString& ip3, QString& ip4)
{
    // Each of the first three parts ends at the first "." of the trimmed rest.
    QString rest = platform::trim(IP);
    QString parts[3];
    for (QString& part : parts) {
        const qsizetype dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0)
            return false;
        part = platform::trim(rest.left(dot));
        rest = platform::trim(rest.mid(dot + 1));
    }
    ip1 = parts[0];
    ip2 = parts[1];
    ip3 = parts[2];
    ip4 = rest;
    return parseAddressFields(ip1, ip2, ip3, ip4).has_value();
}

} // namespace update
