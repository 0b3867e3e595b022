#include "platform/fs/TextLines.h"

#include "platform/fs/Files.h"
#include "platform/text/Text.h"

namespace platform {

QByteArray encodeTextLines(const QStringList& lines, LinesEncoding encoding)
{
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    if (encoding == LinesEncoding::Utf8Bom)
        return QByteArray("\xEF\xBB\xBF", 3) + text.toUtf8();
    return encodeCp1252(text);
}

bool writeTextLines(const QString& path, const QStringList& lines, LinesEncoding encoding,
                    QString* error)
{
    return writeWholeFile(path, encodeTextLines(lines, encoding), error);
}

} // namespace platform
