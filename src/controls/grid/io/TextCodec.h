#pragma once
// How the grid's text formats read bytes from files, streams and drops: a byte-order mark
// decides (UTF-8, UTF-16 LE or BE); without one the bytes are UTF-8 when they are valid UTF-8,
// else Windows-1252 (the 8-bit code page of files written elsewhere).
#include <QByteArray>
#include <QString>

namespace controls::grid::io {

QString DecodeGridText(const QByteArray& bytes);
// UTF-16 LE with its byte-order mark.
QByteArray EncodeUtf16WithBom(const QString& text);
QByteArray EncodeUtf8WithBom(const QString& text);

} // namespace controls::grid::io
