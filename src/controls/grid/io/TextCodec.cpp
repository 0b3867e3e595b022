#include "controls/grid/io/TextCodec.h"

#include "platform/text/Text.h"

#include <QStringDecoder>

namespace controls::grid::io {

QString DecodeGridText(const QByteArray& bytes)
{
    if (platform::detectBom(bytes).length > 0)
        return platform::decodeTextFile(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return platform::decodeCp1252(bytes);
}

QByteArray EncodeUtf16WithBom(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray EncodeUtf8WithBom(const QString& text)
{
    return QByteArray("\xEF\xBB\xBF", 3) + text.toUtf8();
}

} // namespace controls::grid::io
