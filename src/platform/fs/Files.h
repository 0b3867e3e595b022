#pragma once
// Whole-file reading and writing. A write goes to a temporary file in the same folder and
// replaces the target only when every byte is on disk, so a failed save never leaves a half
// file and the previous file stays as it was.
//
// The temporary file is hidden and named so that it is ours to recognise:
// ".<target name>.~vn<process id>.<6 letters>". A save that was killed leaves one behind; the
// next save into that folder removes every such file whose process has ended (or that this
// process is not writing), so a folder handed on whole (an updater's bin folder) holds no stray
// copy. Failures carry the system's own text ("No space left on device").
#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// The whole file, or no value when it cannot be read; `error` (optional) gets the reason.
// With `maxBytes` not negative, a file longer than that gives no value either; the length is
// what can be read, whatever size the file system claims. Memory follows the file, not the
// limit.
std::optional<QByteArray> readWholeFile(const QString& path, QString* error = nullptr, qint64 maxBytes = -1);
// Writes all bytes through a temporary file and rename. False with the reason on failure.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// Whether a file name is one of writeWholeFile's temporary files.
bool isWriteTempName(const QString& fileName);
// Removes from `folder` the temporary files that killed saves left behind (those whose process
// has ended); writeWholeFile does this itself, a folder handed on whole calls it first.
void removeStaleWriteTemps(const QString& folder);

bool fileExists(const QString& path);   // a file, not a folder
bool folderExists(const QString& path); // a folder
// Creates the folder and its parents; true when it exists afterwards.
bool makeFolder(const QString& path);
// Joins a folder and a name with exactly one "/" between them. An empty folder means "no
// folder" and gives an empty path, never a path at the root of the file system.
QString joinPath(const QString& folder, const QString& name);

} // namespace platform
