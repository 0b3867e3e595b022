#include "platform/exchange/Exchange.h"

#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QPixmap>
#include <QWidget>

namespace platform {

namespace {

int byteSlot(ExchangeFormat f)
{
    switch (f) {
    case ExchangeFormat::Rtf:
        return 0;
    case ExchangeFormat::Html:
        return 1;
    case ExchangeFormat::GridCells:
        return 2;
    case ExchangeFormat::TreeNodes:
        return 3;
    case ExchangeFormat::HtmlFormat:
        return 4;
    default:
        return -1;
    }
}

} // namespace

QString mimeType(ExchangeFormat format)
{
    for (const ExchangeFormatInfo& info : kExchangeFormats)
        if (info.format == format)
            return QString::fromLatin1(info.mime);
    return QString();
}

bool ExchangeData::has(ExchangeFormat format) const
{
    switch (format) {
    case ExchangeFormat::Text:
        return m_hasText;
    case ExchangeFormat::GridColumn:
        return m_column >= 0;
    case ExchangeFormat::Urls:
        return !m_urls.isEmpty();
    case ExchangeFormat::Files:
        return !m_files.isEmpty();
    default:
        return m_hasBytes[byteSlot(format)];
    }
}

bool ExchangeData::isEmpty() const
{
    for (const ExchangeFormatInfo& info : kExchangeFormats)
        if (has(info.format))
            return false;
    return true;
}

void ExchangeData::setBytes(ExchangeFormat format, const QByteArray& bytes)
{
    const int slot = byteSlot(format);
    if (slot < 0)
        return;
    m_bytes[slot] = bytes;
    m_hasBytes[slot] = true;
}

QByteArray ExchangeData::bytes(ExchangeFormat format) const
{
    const int slot = byteSlot(format);
    return slot < 0 ? QByteArray() : m_bytes[slot];
}

void ExchangeData::setUrls(const QList<QUrl>& urls)
{
    m_urls.clear();
    m_files.clear();
    for (const QUrl& u : urls) {
        if (u.isLocalFile())
            m_files << u.toLocalFile();
        else if (u.isValid() && !u.isEmpty())
            m_urls << u;
    }
}

QMimeData* ExchangeData::toMimeData() const
{
    auto* mime = new QMimeData;
    if (m_hasText)
        mime->setText(m_text);
    for (ExchangeFormat f : {ExchangeFormat::Rtf, ExchangeFormat::Html, ExchangeFormat::HtmlFormat,
                             ExchangeFormat::GridCells, ExchangeFormat::TreeNodes})
        if (has(f))
            mime->setData(mimeType(f), bytes(f));
    if (has(ExchangeFormat::Html))
        mime->setHtml(QString::fromUtf8(bytes(ExchangeFormat::Html)));
    if (m_column >= 0)
        mime->setData(mimeType(ExchangeFormat::GridColumn), QByteArray::number(m_column));
    QList<QUrl> all = m_urls;
    for (const QString& f : m_files)
        all << QUrl::fromLocalFile(f);
    if (!all.isEmpty())
        mime->setUrls(all);
    return mime;
}

ExchangeData ExchangeData::fromMimeData(const QMimeData* mime)
{
    ExchangeData d;
    if (!mime)
        return d;
    if (mime->hasUrls())
        d.setUrls(mime->urls());
    // A file manager's drag also offers the names as text: files are files, not cell text.
    if (mime->hasText() && d.m_files.isEmpty())
        d.setText(mime->text());
    for (ExchangeFormat f :
         {ExchangeFormat::Rtf, ExchangeFormat::HtmlFormat, ExchangeFormat::GridCells, ExchangeFormat::TreeNodes})
        if (mime->hasFormat(mimeType(f)))
            d.setBytes(f, mime->data(mimeType(f)));
    if (mime->hasFormat(QStringLiteral("application/rtf")) && !d.has(ExchangeFormat::Rtf))
        d.setBytes(ExchangeFormat::Rtf, mime->data(QStringLiteral("application/rtf")));
    if (mime->hasHtml())
        d.setBytes(ExchangeFormat::Html, mime->html().toUtf8());
    if (mime->hasFormat(mimeType(ExchangeFormat::GridColumn))) {
        bool ok = false;
        const int col = mime->data(mimeType(ExchangeFormat::GridColumn)).trimmed().toInt(&ok);
        if (ok && col >= 0)
            d.setColumn(col);
    }
    return d;
}

void setClipboardData(const ExchangeData& data)
{
    QGuiApplication::clipboard()->setMimeData(data.toMimeData());
}

ExchangeData clipboardData()
{
    return ExchangeData::fromMimeData(QGuiApplication::clipboard()->mimeData());
}

void setClipboardText(const QString& text)
{
    ExchangeData d;
    d.setText(text);
    setClipboardData(d);
}

DropEffect dropEffectFromKeys(bool ctrlHeld, bool moveAllowed)
{
    if (ctrlHeld)
        return DropEffect::Copy;
    return moveAllowed ? DropEffect::Move : DropEffect::Copy;
}

namespace {

DragRunner& dragRunner()
{
    static DragRunner runner;
    return runner;
}

DropEffect effectOf(Qt::DropAction action)
{
    return action == Qt::MoveAction ? DropEffect::Move : action == Qt::CopyAction ? DropEffect::Copy : DropEffect::None;
}

} // namespace

DragRunner setDragRunner(DragRunner runner)
{
    DragRunner before = std::move(dragRunner());
    dragRunner() = std::move(runner);
    return before;
}

DropEffect startDrag(QWidget* source, const ExchangeData& data, bool allowMove, const DragImage& image,
                     std::function<void(DropEffect)> effectChanged)
{
    if (dragRunner())
        return dragRunner()(DragRequest{source, data, allowMove, image, std::move(effectChanged)});
    // Qt deletes the drag itself once it has ended.
    auto* drag = new QDrag(source);
    drag->setMimeData(data.toMimeData());
    if (!image.image.isNull()) {
        drag->setPixmap(QPixmap::fromImage(image.image));
        drag->setHotSpot(image.hotSpot);
    }
    if (effectChanged)
        QObject::connect(drag, &QDrag::actionChanged,
                         [effectChanged](Qt::DropAction action) { effectChanged(effectOf(action)); });
    const Qt::DropActions actions = allowMove ? (Qt::CopyAction | Qt::MoveAction) : Qt::CopyAction;
    return effectOf(drag->exec(actions, Qt::CopyAction));
}

} // namespace platform
