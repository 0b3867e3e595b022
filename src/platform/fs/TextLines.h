#pragma once
// Text files made of lines, as the gateway's companion tools read them: every line ends in
// CR LF (the last one too) and the whole file is written at once through writeWholeFile, so
// an existing file is replaced only when the new one is complete.
#include <QString>
#include <QStringList>

namespace platform {

enum class LinesEncoding {
    Cp1252,  // Windows-1252, no byte-order mark; characters outside the code page become "?"
    Utf8Bom, // UTF-8 preceded by EF BB BF
};

// The bytes writeTextLines would write.
QByteArray encodeTextLines(const QStringList& lines, LinesEncoding encoding);
// False with the reason in `error` when the file cannot be written.
bool writeTextLines(const QString& path, const QStringList& lines, LinesEncoding encoding,
                    QString* error = nullptr);

} // namespace platform
