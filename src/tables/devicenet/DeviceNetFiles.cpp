#include "tables/devicenet/DeviceNetFiles.h"

#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/xml/XmlDom.h"
#include "tables/plain/PlainTable.h"

#include <QFileInfo>
#include <algorithm>
#include <array>

namespace tables::devicenet {

namespace {

QString attributeMessage(const QString& where, const QString& attr, const QString& problem)
{
    return QStringLiteral("%1: the attribute \"%2\" %3").arg(where, attr, problem);
}

// A whole number in `low`..`high`; otherwise the message.
std::optional<int> numberIn(const QString& text, int low, int high, const QString& where, const QString& attr,
                            QString& error)
{
    const std::optional<int32_t> v = platform::toInt(text);
    if (!v) {
        error = attributeMessage(where, attr, QStringLiteral("must be a whole number, not \"%1\".").arg(text));
        return std::nullopt;
    }
    if (*v < low || *v > high) {
        error = attributeMessage(where, attr, QStringLiteral("must lie between %1 and %2, not %3.").arg(low).arg(high).arg(*v));
        return std::nullopt;
    }
    return *v;
}

// The bytes of one direction of a slave from its "ByteIN" or "ByteOUT" element.
QString readBytes(const platform::XmlNode& node, const char* name, int count, QStringList& offsets,
                  QStringList& mnemonics, const QString& slave)
{
    const platform::XmlNode bytes = node.element(QString::fromLatin1(name));
    if (!bytes)
        return {}; // not written by the editor: the bytes stay "None"
    const int n = std::min(bytes.elementCount(), count);
    for (int i = 0; i < n; ++i) {
        const platform::XmlNode row = bytes.elementAt(i);
        const QString where = QStringLiteral("%1, %2 byte %3").arg(slave, QString::fromLatin1(name)).arg(i);
        const std::optional<QString> offset = row.attribute(QStringLiteral("Offset"));
        const std::optional<QString> mnemonic = row.attribute(QStringLiteral("Mnemonic"));
        if (!offset)
            return attributeMessage(where, QStringLiteral("Offset"), QStringLiteral("is missing."));
        if (!mnemonic)
            return attributeMessage(where, QStringLiteral("Mnemonic"), QStringLiteral("is missing."));
        if (const std::optional<int32_t> p = platform::toInt(*offset); p && (*p < 0 || *p >= kByteArraySize))
            return attributeMessage(where, QStringLiteral("Offset"),
                                    QStringLiteral("must be \"None\" or a position between 0 and %1, not %2.")
                                        .arg(kByteArraySize - 1)
                                        .arg(*p));
        offsets[i] = *offset;
        mnemonics[i] = *mnemonic;
    }
    return {};
}

} // namespace

NetTable readNetTable(const QString& path)
{
    NetTable t;
    platform::XmlDocument doc;
    const std::vector<platform::XmlNode> rows = rootElements(doc, path, t.error);
    const QString file = QFileInfo(path).fileName();
    static const std::array<QString, 4> kAttrs{QStringLiteral("ID"), QStringLiteral("NB_IN"), QStringLiteral("NB_OUT"),
                                               QStringLiteral("Mnemonic")};
    // A hand-made file with more rows than the grid has would otherwise fill the editor past
    // its last row and give each extra slave up to twice 65535 bytes to hold.
    const size_t kept = std::min(rows.size(), static_cast<size_t>(kMaxSlaves));
    for (size_t i = 0; i < kept; ++i) {
        const platform::XmlNode& row = rows[i];
        std::array<QString, 4> values;
        for (size_t a = 0; a < kAttrs.size(); ++a) {
            const std::optional<QString> v = row.attribute(kAttrs[a]);
            if (!v) {
                t.error = attributeMessage(QStringLiteral("%1, row %2").arg(file).arg(i + 1), kAttrs[a],
                                           QStringLiteral("is missing."));
                return t;
            }
            values[a] = *v;
        }
        t.rows.push_back({values[0], values[1], values[2], values[3]});
    }
    if (rows.size() > kept)
        t.error = QStringLiteral("%1 holds %2 slaves; the network has room for %3.").arg(file).arg(rows.size()).arg(kMaxSlaves);
    return t;
}

SlaveList Load_Slave_DN(const QString& netPath)
{
    return slavesFromNet(readNetTable(netPath), QFileInfo(netPath).fileName());
}

SlaveList slavesFromNet(const NetTable& net, const QString& file)
{
    SlaveList list;
    for (size_t i = 0; i < net.rows.size(); ++i) {
        const NetRow& r = net.rows[i];
        const QString where = QStringLiteral("%1, row %2").arg(file).arg(i + 1);
        QString error;
        const std::optional<int> id = numberIn(r.ID, 0, kMaxNodeId, where, QStringLiteral("ID"), error);
        const std::optional<int> in = id ? numberIn(r.NB_IN, 0, kMaxByteCount, where, QStringLiteral("NB_IN"), error)
                                         : std::nullopt;
        const std::optional<int> out = in ? numberIn(r.NB_OUT, 0, kMaxByteCount, where, QStringLiteral("NB_OUT"), error)
                                          : std::nullopt;
        if (!out) {
            list.error = error;
            return list;
        }
        Slave s;
        s.ID = static_cast<uint8_t>(*id);
        s.ByteIN = static_cast<uint16_t>(*in);
        s.ByteOUT = static_cast<uint16_t>(*out);
        for (int b = 0; b < s.ByteIN; ++b) {
            s.List_ByteIN << QStringLiteral("None");
            s.List_ByteIN_M << QString();
        }
        for (int b = 0; b < s.ByteOUT; ++b) {
            s.List_ByteOUT << QStringLiteral("None");
            s.List_ByteOUT_M << QString();
        }
        list.slaves.push_back(std::move(s));
    }
    list.error = net.error;
    return list;
}

QString Load_Offset_Slave_DN(SlaveList& list, const QString& defOffPath, int* nodes)
{
    if (nodes)
        *nodes = 0;
    if (!platform::fileExists(defOffPath))
        return {};
    platform::XmlDocument doc;
    platform::XmlNode root;
    if (QString error = loadTableRoot(doc, defOffPath, root); !error.isEmpty())
        return error;
    if (nodes)
        *nodes = root.elementCount();
    const QString file = QFileInfo(defOffPath).fileName();
    const int n = std::min(root.elementCount(), static_cast<int>(list.slaves.size()));
    for (int k = 0; k < n; ++k) {
        Slave& s = list.slaves[static_cast<size_t>(k)];
        const platform::XmlNode node = root.elementAt(k);
        const QString slave = QStringLiteral("%1, slave %2 (ID %3)").arg(file).arg(k + 1).arg(s.ID);
        if (QString e = readBytes(node, "ByteIN", s.ByteIN, s.List_ByteIN, s.List_ByteIN_M, slave); !e.isEmpty())
            return e;
        if (QString e = readBytes(node, "ByteOUT", s.ByteOUT, s.List_ByteOUT, s.List_ByteOUT_M, slave); !e.isEmpty())
            return e;
    }
    return {};
}

std::optional<int> offsetPosition(const QString& offset)
{
    const std::optional<int32_t> v = platform::toInt(offset);
    if (!v)
        return std::nullopt;
    return *v;
}

std::optional<OffsetClash> Check_Data(const std::vector<Slave>& slaves)
{
    // Who took each position first: slave ID and byte number.
    std::vector<std::pair<int, int>> taken(kByteArraySize, {-1, -1});
    for (const Slave& s : slaves) {
        for (int i = 0; i < s.List_ByteOUT.size(); ++i) {
            const int position = offsetPosition(s.List_ByteOUT[i]).value_or(-1);
            if (position < 0)
                continue; // "None"
            if (position >= kByteArraySize)
                return OffsetClash{-1, -1, s.ID, i, position, true};
            std::pair<int, int>& first = taken[static_cast<size_t>(position)];
            if (first.first >= 0)
                return OffsetClash{first.first, first.second, s.ID, i, position, false};
            first = {s.ID, i};
        }
    }
    return std::nullopt;
}

QByteArray offsetsXml(const std::vector<Slave>& slaves)
{
    platform::XmlDocument doc;
    platform::XmlNode root = doc.appendElement(QStringLiteral("Define_Offset"));
    doc.appendComment(QStringLiteral("SW_VERSION = 1.000"));
    for (const Slave& s : slaves) {
        platform::XmlNode node = root.appendElement(QStringLiteral("Nodo_DNET"));
        const std::pair<const QStringList*, const QStringList*> directions[] = {{&s.List_ByteIN, &s.List_ByteIN_M},
                                                                                {&s.List_ByteOUT, &s.List_ByteOUT_M}};
        for (int d = 0; d < 2; ++d) {
            platform::XmlNode bytes = node.appendElement(d == 0 ? QStringLiteral("ByteIN") : QStringLiteral("ByteOUT"));
            const auto [offsets, mnemonics] = directions[d];
            for (qsizetype i = 0; i < offsets->size(); ++i) {
                platform::XmlNode row = bytes.appendElement(QStringLiteral("row"));
                row.setAttribute(QStringLiteral("Offset"), offsets->at(i));
                row.setAttribute(QStringLiteral("Mnemonic"), mnemonics->value(i));
            }
        }
    }
    platform::XmlSaveOptions options;
    options.indent = QStringLiteral("  ");
    return doc.toBytes(options);
}

bool Save_Offset_Slave_DN(const std::vector<Slave>& slaves, const QString& path, QString* error)
{
    QString why;
    if (path.isEmpty())
        why = QStringLiteral("no project is open");
    else if (platform::writeWholeFile(path, offsetsXml(slaves), &why))
        return true;
    if (error)
        *error = QStringLiteral("Error! The file %1 cannot be written: %2").arg(QFileInfo(path).fileName(), why);
    return false;
}

} // namespace tables::devicenet
