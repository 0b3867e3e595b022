#pragma once
// Whole-file reading and writing. A write goes to a temporary file in the same folder and
// replaces the target only when every byte is on disk, so a failed save never leaves a half
// file and the previous file stays as it was.
#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// The whole file, or no value when it cannot be read; `error` (optional) gets the reason.
// With `maxBytes` not negative, a file longer than that gives no value either; the length is
// what can be read, whatever size the file system claims.
std::optional<QByteArray> readWholeFile(const QString& path, QString* error = nullptr, qint64 maxBytes = -1);
// Writes all bytes through a temporary file and rename. False with the reason on failure.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

bool fileExists(const QString& path);   // a file, not a folder
bool folderExists(const QString& path); // a folder
// Creates the folder and its parents; true when it exists afterwards.
bool makeFolder(const QString& path);
// Joins a folder and a name with exactly one "/" between them. An empty folder means "no
// folder" and gives an empty path, never a path at the root of the file system.
QString joinPath(const QString& folder, const QString& name);

} // namespace platform
