#include "tables/nmea/NmeaFiles.h"

#include "platform/fs/Files.h"
#include "platform/xml/XmlDom.h"

#include <QFileInfo>

namespace tables::nmea {

namespace {

// Calls `row` for each element of the root of the file; the message when it cannot be read.
template <typename Fn>
QString forEachRow(const QString& path, Fn row)
{
    platform::XmlDocument doc;
    QString why;
    if (!doc.load(path, &why))
        return QStringLiteral("The file %1 cannot be read: %2").arg(QFileInfo(path).fileName(), why);
    const platform::XmlNode root = doc.rootElement();
    for (int i = 0; root && i < root.elementCount(); ++i)
        row(root.elementAt(i));
    return {};
}

// The attribute into `cell` when the row has it; the cell keeps its default otherwise.
void take(const platform::XmlNode& row, const char* name, QString& cell)
{
    if (const std::optional<QString> v = row.attribute(QString::fromLatin1(name)))
        cell = *v;
}

} // namespace

FrameTable<ReceiveRow> readReceiveFrames(const QString& path)
{
    FrameTable<ReceiveRow> t;
    if (!platform::fileExists(path))
        return t;
    t.error = forEachRow(path, [&](const platform::XmlNode& e) {
        ReceiveRow r;
        take(e, "PGN", r.PGN);
        take(e, "SA", r.SA);
        take(e, "TP", r.TP);
        take(e, "FP", r.FP);
        take(e, "TP_Start", r.TP_Start);
        take(e, "TP_NByte", r.TP_NByte);
        take(e, "Delete", r.Delete);
        take(e, "Mnemonic", r.Mnemonic);
        t.rows.push_back(r);
    });
    return t;
}

FrameTable<TransmitRow> readTransmitFrames(const QString& path)
{
    FrameTable<TransmitRow> t;
    if (!platform::fileExists(path))
        return t;
    t.error = forEachRow(path, [&](const platform::XmlNode& e) {
        TransmitRow r;
        take(e, "Priority", r.Priority);
        take(e, "PGN", r.PGN);
        take(e, "SA", r.SA);
        take(e, "TP", r.TP);
        take(e, "FP", r.FP);
        take(e, "TP_NByte", r.TP_NByte);
        take(e, "T_Type", r.T_Type);
        take(e, "SendTimer", r.SendTimer);
        take(e, "Mnemonic", r.Mnemonic);
        t.rows.push_back(r);
    });
    return t;
}

} // namespace tables::nmea
