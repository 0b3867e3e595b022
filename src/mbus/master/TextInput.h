#pragma once
// Text files a person hands the M-Bus master windows (CSV tables, device descriptions): they come
// from spreadsheets and editors of every kind, so the encoding is guessed the way such a person
// expects: a byte-order mark decides; without one, text that is valid UTF-8 is UTF-8; anything
// else is Windows-1252, the code page older tools wrote in.
#include <QByteArray>
#include <QString>

namespace mbus::master {

QString decodeTextInput(const QByteArray& bytes);

// The whole file decoded as above. Throws platform::UserError "The file <name> cannot be read:
// <why>" when it cannot be read.
QString readTextInput(const QString& path);

} // namespace mbus::master
