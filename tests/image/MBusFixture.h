#pragma once
// Generators of M_Bus.xml for the tests of the M-Bus images, and byte readers of the banks.
#include "ImageFixture.h"
#include "image/Bank.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <vector>

namespace image_test {

using AttrMap = std::map<QString, QString>;

inline QString attrText(AttrMap values, const AttrMap& over)
{
    for (const auto& [k, v] : over)
        values[k] = v;
    QString s;
    for (const auto& [k, v] : values)
        if (!v.isNull())
            s += QStringLiteral(" %1=\"%2\"").arg(k, v);
    return s;
}

// A taken 4-byte variable (type 0, 32 bits) unless `over` says otherwise; a null value leaves the
// attribute out.
inline QString mvar(const AttrMap& over = {})
{
    return QStringLiteral("<Variabile%1/>")
        .arg(attrText({{"Enable", "1"}, {"Desc", "v"}, {"Type", "0"}, {"Fun_Field", "0"}, {"Dim", "2"}}, over));
}

inline QString mnode(const AttrMap& over = {}, const std::vector<QString>& vars = {mvar()})
{
    QString s = QStringLiteral("<Nodo%1>")
                    .arg(attrText({{"Enable_Node", "1"}, {"Descrizione", "n"}, {"ID_Primary", "1"}}, over));
    for (const QString& v : vars)
        s += v;
    return s + QStringLiteral("</Nodo>");
}

inline QByteArray network(const std::vector<QString>& nodes)
{
    QString s = QStringLiteral("<M-Bus_Network>");
    for (const QString& n : nodes)
        s += n;
    return (s + QStringLiteral("</M-Bus_Network><!--SW_VERSION = 1.509-->")).toUtf8();
}

// A node with `n` taken variables.
inline QString nodeWith(int n, const AttrMap& nodeOver = {}, const AttrMap& varOver = {})
{
    return mnode(nodeOver, std::vector<QString>(static_cast<size_t>(n), mvar(varOver)));
}

// The M-Bus line keys that the meter parameter block needs.
inline std::vector<std::pair<QString, QString>> meterKeys(std::vector<std::pair<QString, QString>> more = {})
{
    std::vector<std::pair<QString, QString>> k{{"Meter_Baud", "3"}, {"Meter_Par", "2"}, {"Meter_Req_Delay", "100"}};
    k.insert(k.end(), more.begin(), more.end());
    return k;
}

inline uint32_t le32(const QByteArray& b, int offset)
{
    return image::readLE32(reinterpret_cast<const uint8_t*>(b.constData()) + offset);
}

inline uint16_t le16(const QByteArray& b, int offset)
{
    return image::readLE16(reinterpret_cast<const uint8_t*>(b.constData()) + offset);
}

inline uint8_t byteAt(const QByteArray& b, int offset) { return static_cast<uint8_t>(b.at(offset)); }

inline bool checksumValid(const QByteArray& b, int record)
{
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData()) + record;
    return image::byteSum(p, 2044) == image::readLE32(p + 2044);
}

// The zero-terminated name at a pool offset.
inline QByteArray poolName(const QByteArray& b, int offset) { return QByteArray(b.constData() + offset); }

} // namespace image_test
