#include "platform/exchange/NamedFormats.h"
#include "platform/exchange/Exchange.h"

#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QPixmap>
#include <QWidget>
#include <QtEndian>
#include <array>

namespace platform {

namespace {

enum class Conversion { Raw, ZeroTerminated, Utf16Text, CfHtml };

struct FormatEntry {
    const char* name;
    QString mime;
    Conversion conversion;
};

const std::array<FormatEntry, 8>& formats()
{
    static const std::array<FormatEntry, 8> table{{
        {"Lazy Tree Data", mimeType(ExchangeFormat::TreeNodes), Conversion::Raw},
        {"Lazy Tree Reference", QStringLiteral("application/x-varnetor-tree-reference"), Conversion::Raw},
        {"HTML Format", mimeType(ExchangeFormat::Html), Conversion::CfHtml},
        {"Rich Text Format", mimeType(ExchangeFormat::Rtf), Conversion::ZeroTerminated},
        {"Rich Text Format Without Objects", QStringLiteral("text/rtf;variant=without-objects"), Conversion::ZeroTerminated},
        {"CSV", QStringLiteral("text/csv"), Conversion::ZeroTerminated},
        {"Unicode text", mimeType(ExchangeFormat::Text), Conversion::Utf16Text},
        {"Plain text", QStringLiteral("text/plain;charset=windows-1252"), Conversion::ZeroTerminated},
    }};
    return table;
}

const QString kWindowsMimePrefix = QStringLiteral("application/x-qt-windows-mime;value=\"");

const FormatEntry* entryByName(const QString& name)
{
    for (const FormatEntry& e : formats())
        if (name.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

Conversion conversionOf(const QString& name)
{
    const FormatEntry* e = entryByName(name);
    return e ? e->conversion : Conversion::Raw;
}

QByteArray withoutTerminator(const QByteArray& block)
{
    const qsizetype end = block.indexOf('\0');
    return end < 0 ? block : block.left(end);
}

// The number after "Key:" in a CF_HTML header, -1 when it is missing or not a number.
qsizetype headerNumber(const QByteArray& block, const char* key)
{
    const qsizetype at = block.indexOf(key);
    if (at < 0)
        return -1;
    qsizetype i = at + qsizetype(qstrlen(key));
    qsizetype value = 0;
    int digits = 0;
    while (i < block.size() && block[i] >= '0' && block[i] <= '9' && digits < 10) {
        value = value * 10 + (block[i] - '0');
        ++i;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

} // namespace

QString mimeTypeOfFormat(const QString& formatName)
{
    if (const FormatEntry* e = entryByName(formatName))
        return e->mime;
    return kWindowsMimePrefix + formatName + QLatin1Char('"');
}

QString formatOfMimeType(const QString& mimeType)
{
    for (const FormatEntry& e : formats())
        if (mimeType == e.mime)
            return QString::fromLatin1(e.name);
    if (mimeType.startsWith(kWindowsMimePrefix) && mimeType.endsWith(QLatin1Char('"')))
        return mimeType.mid(kWindowsMimePrefix.size(), mimeType.size() - kWindowsMimePrefix.size() - 1);
    return QString();
}

QByteArray blockToMimeBytes(const QString& formatName, const QByteArray& block)
{
    switch (conversionOf(formatName)) {
    case Conversion::Raw:
        return block;
    case Conversion::ZeroTerminated:
        return withoutTerminator(block);
    case Conversion::Utf16Text: {
        QString text(block.size() / 2, Qt::Uninitialized);
        qFromLittleEndian<char16_t>(block.constData(), block.size() / 2, reinterpret_cast<char16_t*>(text.data()));
        const qsizetype end = text.indexOf(QChar(0));
        return (end < 0 ? text : text.left(end)).toUtf8();
    }
    case Conversion::CfHtml: {
        // The document the header points at (StartHTML to EndHTML), when the numbers hold.
        const qsizetype start = headerNumber(block, "StartHTML:");
        const qsizetype end = headerNumber(block, "EndHTML:");
        if (start >= 0 && end >= start && end <= block.size())
            return block.mid(start, end - start);
        return withoutTerminator(block);
    }
    }
    return block;
}

QByteArray mimeBytesToBlock(const QString& formatName, const QByteArray& bytes)
{
    switch (conversionOf(formatName)) {
    case Conversion::Raw:
        return bytes;
    case Conversion::ZeroTerminated:
        return bytes + QByteArray(1, '\0');
    case Conversion::Utf16Text: {
        const QString text = QString::fromUtf8(bytes) + QChar(0);
        QByteArray block(text.size() * 2, Qt::Uninitialized);
        qToLittleEndian<char16_t>(text.utf16(), text.size(), block.data());
        return block;
    }
    case Conversion::CfHtml: {
        // A header of fixed length in front of the document; the fragment is what stands
        // between the fragment marks, or the whole document.
        const QByteArray startMark("<!--StartFragment-->");
        const qsizetype markAt = bytes.indexOf(startMark);
        const qsizetype endMark = bytes.indexOf("<!--EndFragment-->");
        const qsizetype headerSize = 97;
        qsizetype fragmentStart = markAt >= 0 ? markAt + startMark.size() : 0;
        qsizetype fragmentEnd = endMark >= fragmentStart ? endMark : bytes.size();
        auto number = [](qsizetype n) { return QByteArray::number(n).rightJustified(8, '0'); };
        const QByteArray header = "Version:1.0\r\nStartHTML:" + number(headerSize) + "\r\nEndHTML:" +
                                  number(headerSize + bytes.size()) + "\r\nStartFragment:" +
                                  number(headerSize + fragmentStart) + "\r\nEndFragment:" +
                                  number(headerSize + fragmentEnd) + "\r\n";
        return header + bytes + QByteArray(1, '\0');
    }
    }
    return bytes;
}

// --- the lazily rendered container --------------------------------------------------------------

LazyMimeData::~LazyMimeData()
{
    if (released)
        released();
}

QStringList LazyMimeData::formats() const
{
    QStringList out;
    if (formatNames)
        for (const QString& name : formatNames())
            out << mimeTypeOfFormat(name);
    for (const QString& stored : QMimeData::formats())
        if (!out.contains(stored))
            out << stored;
    return out;
}

bool LazyMimeData::hasFormat(const QString& mimeType) const { return formats().contains(mimeType); }

QVariant LazyMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (QMimeData::formats().contains(mimeType))
        return QMimeData::retrieveData(mimeType, type);
    const QString name = formatOfMimeType(mimeType);
    if (name.isEmpty() || !render || !formatNames || !formatNames().contains(name, Qt::CaseInsensitive))
        return QVariant();
    const std::optional<QByteArray> block = render(name);
    if (!block)
        return QVariant();
    const QByteArray bytes = blockToMimeBytes(name, *block);
    if (type.id() == QMetaType::QString)
        return QString::fromUtf8(bytes);
    return bytes;
}

QStringList formatNamesOf(const QMimeData* data)
{
    QStringList names;
    if (!data)
        return names;
    for (const QString& mime : data->formats()) {
        const QString name = formatOfMimeType(mime);
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    return names;
}

std::optional<QByteArray> formatBlock(const QMimeData* data, const QString& formatName)
{
    if (!data)
        return std::nullopt;
    const QString mime = mimeTypeOfFormat(formatName);
    if (!data->hasFormat(mime))
        return std::nullopt;
    const QByteArray bytes = data->data(mime);
    // A format the maker could not render now reads as empty: it is not there.
    if (bytes.isEmpty())
        return std::nullopt;
    return mimeBytesToBlock(formatName, bytes);
}

// --- clipboard ----------------------------------------------------------------------------------

bool setClipboardMimeData(QMimeData* data)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        delete data;
        return false;
    }
    clipboard->setMimeData(data);
    return true;
}

const QMimeData* clipboardMimeData()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

void flushClipboard(const QMimeData* owner)
{
    const QMimeData* current = clipboardMimeData();
    if (!current || (owner && current != owner))
        return;
    auto* copy = new QMimeData;
    for (const QString& mime : current->formats()) {
        const QByteArray bytes = current->data(mime);
        if (!bytes.isEmpty())
            copy->setData(mime, bytes);
    }
    setClipboardMimeData(copy);
}

// --- drag ---------------------------------------------------------------------------------------

namespace {

class QtDragService final : public DragService {
public:
    unsigned exec(QWidget* source, QMimeData* data, const QImage& image, QPoint hotSpot, unsigned allowedEffects) override
    {
        auto* drag = new QDrag(source);
        drag->setMimeData(data);
        if (!image.isNull()) {
            drag->setPixmap(QPixmap::fromImage(image));
            drag->setHotSpot(hotSpot);
        }
        const Qt::DropActions actions = Qt::DropActions::fromInt(int(allowedEffects & 7));
        const Qt::DropAction preferred = (allowedEffects & DROPEFFECT_MOVE) ? Qt::MoveAction : Qt::CopyAction;
        const Qt::DropAction result = drag->exec(actions, preferred);
        return unsigned(result) & 7;
    }
};

DragService* g_dragService = nullptr;

} // namespace

DragService& dragService()
{
    static QtDragService qtDrag;
    return g_dragService ? *g_dragService : qtDrag;
}

void setDragService(DragService* service) { g_dragService = service; }

} // namespace platform
