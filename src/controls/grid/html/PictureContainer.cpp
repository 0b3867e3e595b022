#include "controls/grid/html/PictureContainer.h"

#include "platform/core/Errors.h"
#include "platform/draw/Graphics.h"
#include "platform/fs/Files.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace controls::grid {

namespace {

constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
constexpr qint64 kMaxPixels = 16 * 1024 * 1024;
const QString kResourceFolder = QStringLiteral(":/rcdata");

int byteAt(const QByteArray& d, qsizetype i) { return i >= 0 && i < d.size() ? quint8(d[i]) : 0; }
int word16(const QByteArray& d, qsizetype i) { return byteAt(d, i) | (byteAt(d, i + 1) << 8); }

bool isFrameBlock(const QByteArray& d, qsizetype p)
{
    return p + 8 < d.size() && quint8(d[p]) == 0x21 && quint8(d[p + 1]) == 0xF9 && quint8(d[p + 2]) == 0x04
           && quint8(d[p + 8]) == 0x2C;
}

QImage decode(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels)
        throw platform::EInvalidGraphic(QStringLiteral("Could not load image. Invalid format"));
    try {
        QImage image = platform::ReadImageData(data);
        if (qint64(image.width()) * image.height() > kMaxPixels)
            throw platform::EInvalidGraphic(QStringLiteral("Could not load image. Invalid format"));
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } catch (const platform::EInvalidGraphic&) {
        throw platform::EInvalidGraphic(QStringLiteral("Could not load image. Invalid format"));
    }
}

// The resource of that name in any letter case; empty name or none: no value.
QString resourcePath(const QString& name)
{
    if (name.isEmpty())
        return QString();
    const QDir dir(kResourceFolder);
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return QString();
}

} // namespace

// --- THTMLPicture ---------------------------------------------------------------------------

bool THTMLPicture::IsGIF() const { return m_data.size() >= 5 && m_data.startsWith("GIF8"); }

std::vector<int> THTMLPicture::frameBlocks() const
{
    std::vector<int> blocks;
    if (!IsGIF())
        return blocks;
    const qsizetype n = m_data.size();
    for (qsizetype p = m_data.indexOf('\x21'); p >= 0 && p + 8 < n; p = m_data.indexOf('\x21', p + 1))
        if (isFrameBlock(m_data, p))
            blocks.push_back(int(p));
    return blocks;
}

int THTMLPicture::FrameCount()
{
    if (m_frameCount != -1)
        return m_frameCount;
    if (!IsGIF())
        return -1;
    int count = 0;
    for (int p : frameBlocks())
        if (p + 9 < m_data.size())
            ++count;
    m_frameCount = count;
    return m_frameCount;
}

int THTMLPicture::FrameTime(int frame) const
{
    if (!IsGIF() || frame < 1)
        return -1;
    const std::vector<int> blocks = frameBlocks();
    if (size_t(frame) > blocks.size())
        return -1;
    return word16(m_data, blocks[size_t(frame - 1)] + 4);
}

void THTMLPicture::makePicture()
{
    m_frameXPos = m_frameYPos = m_frameXSize = m_frameYSize = 0;
    m_animMaxX = m_animMaxY = 0;
    m_image = QImage();
    QByteArray data = m_data;
    const std::vector<int> blocks = frameBlocks();
    if (!blocks.empty()) {
        m_animMaxX = word16(m_data, 6);
        m_animMaxY = word16(m_data, 8);
        const size_t selected = m_frame >= 1 && size_t(m_frame) <= blocks.size() ? size_t(m_frame - 1) : 0;
        const int p = blocks[selected];
        if (selected > 0)
            data = m_data.left(blocks.front()) + m_data.mid(p);
        m_frameXPos = word16(m_data, p + 9);
        m_frameYPos = word16(m_data, p + 11);
        m_frameXSize = word16(m_data, p + 13);
        m_frameYSize = word16(m_data, p + 15);
    }
    m_image = decode(data);
    // The decoder gives a frame on the whole logical screen; the picture is the frame alone,
    // which the renderer places at the frame's position.
    const QRect frame(m_frameXPos, m_frameYPos, m_frameXSize, m_frameYSize);
    if (!blocks.empty() && m_image.size() == QSize(m_animMaxX, m_animMaxY) && frame.isValid()
        && m_image.rect().contains(frame) && frame.size() != m_image.size())
        m_image = m_image.copy(frame);
}

void THTMLPicture::setData(const QByteArray& data)
{
    m_data = data;
    m_isEmpty = false;
    m_frameCount = -1;
    makePicture();
}

void THTMLPicture::LoadFromStream(const QByteArray& data)
{
    setData(data);
    if (OnChange)
        OnChange(this);
}

void THTMLPicture::ReadData(const QByteArray& data) { setData(data); }

void THTMLPicture::LoadFromFile(const QString& fileName)
{
    try {
        const QFileInfo info(fileName);
        if (!info.isFile() || info.size() > kMaxFileBytes)
            throw platform::Exception(QStringLiteral("Cannot open file"));
        const auto bytes = platform::readWholeFile(fileName, nullptr, kMaxFileBytes);
        if (!bytes)
            throw platform::Exception(QStringLiteral("Cannot open file"));
        LoadFromStream(*bytes);
    } catch (const std::exception&) {
        m_data.clear();
        m_image = QImage();
        m_isEmpty = true;
        m_frameCount = -1;
    }
}

void THTMLPicture::LoadFromResourceName(const QString& name)
{
    const QString path = resourcePath(name);
    if (path.isEmpty())
        return;
    const auto bytes = platform::readWholeFile(path, nullptr, kMaxFileBytes);
    if (bytes)
        LoadFromStream(*bytes);
}

void THTMLPicture::LoadFromResourceID(int id) { LoadFromResourceName(QString::number(id)); }

void THTMLPicture::LoadFromURL(const QString& url)
{
    if (url.startsWith(QLatin1String("RES://"), Qt::CaseInsensitive)) {
        m_id = url;
        const QString name = url.mid(6);
        if (!name.isEmpty())
            LoadFromResourceName(name);
    } else if (url.startsWith(QLatin1String("FILE://"), Qt::CaseInsensitive)) {
        m_id = url;
        const QString path = url.mid(7);
        if (!path.isEmpty())
            LoadFromFile(path);
    } else if (!Asynch) {
        m_url = url;
        m_id = url;
    } else if (!m_busy) {
        m_url = url;
        m_busy = true;
    }
}

void THTMLPicture::Assign(const THTMLPicture* source)
{
    m_isEmpty = true;
    m_image = QImage();
    m_frameCount = -1;
    m_nextCount = -1;
    m_timerCount = -1;
    m_frame = 1;
    if (!source) {
        m_data.clear();
        return;
    }
    m_data = source->m_data;
    m_isEmpty = false;
    try {
        makePicture();
    } catch (const platform::EInvalidGraphic&) {
        // The copy keeps the bytes and draws nothing, as the source does.
    }
    if (OnChange)
        OnChange(this);
}

void THTMLPicture::Draw(platform::Canvas& canvas, const platform::Rect& r) const
{
    if (m_isEmpty || m_image.isNull())
        return;
    const platform::Bitmap bitmap = platform::Bitmap::fromImage(m_image, platform::PixelFormat::pf32bit);
    if (Stretch)
        canvas.stretchDraw(r, bitmap);
    else
        canvas.draw(r.left, r.top, bitmap);
}

int THTMLPicture::MaxWidth() const { return m_animMaxX != 0 ? m_animMaxX : Width(); }
int THTMLPicture::MaxHeight() const { return m_animMaxY != 0 ? m_animMaxY : Height(); }

void THTMLPicture::SetFrame(int frame)
{
    m_frame = frame;
    if (!m_data.isEmpty()) {
        try {
            makePicture();
        } catch (const platform::EInvalidGraphic&) {
            // A frame that does not decode shows nothing.
        }
        if (OnFrameChange)
            OnFrameChange(this);
    }
}

void THTMLPicture::FrameNext()
{
    ++m_frame;
    if (m_frame > FrameCount())
        m_frame = 1;
}

void THTMLPicture::FramePrev()
{
    --m_frame;
    if (m_frame < 1)
        m_frame = std::max(1, FrameCount());
}

bool THTMLPicture::Step()
{
    if (m_frameCount < 2 || m_isEmpty)
        return false;
    if (m_nextCount == -1)
        m_nextCount = FrameTime(m_frame);
    bool changed = false;
    if (m_timerCount * 10 >= m_nextCount) {
        FrameNext();
        try {
            makePicture();
        } catch (const platform::EInvalidGraphic&) {
        }
        m_nextCount += FrameTime(m_frame);
        changed = true;
    }
    ++m_timerCount;
    return changed;
}

// --- cache and container -----------------------------------------------------------------------

THTMLPicture* THTMLPictureCache::AddPicture()
{
    m_items.push_back(std::make_unique<THTMLPicture>());
    return m_items.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const QString& id) const
{
    for (const auto& p : m_items)
        if (p->ID() == id)
            return p.get();
    return nullptr;
}

bool THTMLPictureCache::Animate()
{
    bool changed = false;
    for (const auto& p : m_items)
        changed = p->Step() || changed;
    return changed;
}

TPictureItem* TPictureCollection::Add()
{
    m_items.push_back(std::make_unique<TPictureItem>());
    return m_items.back().get();
}

TPictureItem* TPictureCollection::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    auto it = m_items.insert(m_items.begin() + index, std::make_unique<TPictureItem>());
    return it->get();
}

void TPictureCollection::Delete(int index)
{
    if (index >= 0 && index < Count())
        m_items.erase(m_items.begin() + index);
}

bool TPictureCollection::Animate()
{
    bool changed = false;
    for (const auto& item : m_items)
        changed = item->Picture().Step() || changed;
    return changed;
}

THTMLPicture* TPictureContainer::FindPicture(const QString& name)
{
    for (int i = 0; i < m_items.Count(); ++i)
        if (m_items.Items(i)->Name.compare(name, Qt::CaseInsensitive) == 0)
            return &m_items.Items(i)->Picture();
    return nullptr;
}

} // namespace controls::grid
