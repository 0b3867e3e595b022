#include "controls/grid/io/TextCodec.h"

#include "platform/text/Text.h"

#include <QStringDecoder>

namespace controls::grid::io {

namespace {

// A UTF-16 file may hold halves of surrogate pairs alone: they become U+FFFD, as UTF-8 input's
// damage does, so a text reads the same whatever it is written in next.
QString replaceLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

QString DecodeGridText(const QByteArray& bytes)
{
    const platform::BomInfo bom = platform::detectBom(bytes);
    if (bom.length > 0) {
        // Only the mark itself goes: a U+FEFF right after it is the text's first character.
        const auto encoding = bom.encoding == platform::TextEncoding::Utf16LE   ? QStringDecoder::Utf16LE
                              : bom.encoding == platform::TextEncoding::Utf16BE ? QStringDecoder::Utf16BE
                                                                                : QStringDecoder::Utf8;
        QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return replaceLoneSurrogates(decoder.decode(bytes.mid(bom.length)));
    }
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
