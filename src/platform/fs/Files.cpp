#include "platform/fs/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

std::optional<QByteArray> readWholeFile(const QString& path, QString* error, qint64 maxBytes)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("no file name");
        return std::nullopt;
    }
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    // With a limit, one byte beyond it tells a file of exactly the limit from a longer one.
    QByteArray data = maxBytes < 0 ? f.readAll() : f.read(maxBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    if (maxBytes >= 0 && data.size() > maxBytes) {
        if (error)
            *error = QStringLiteral("the file is too large");
        return std::nullopt;
    }
    return data;
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("no file name");
        return false;
    }
    QSaveFile f(path);
    // A file without write permission is read-only to us even for the administrator: its
    // owner marked it so, and replacing it through a rename would bypass that.
    const QFileInfo info(path);
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup |
                           QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & writeBits))) {
        if (error)
            *error = QStringLiteral("the file is read-only");
        return false;
    }
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    if (f.write(bytes) != bytes.size()) {
        if (error)
            *error = f.errorString();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

bool fileExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

bool folderExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

bool makeFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QDir().mkpath(path) && QFileInfo(path).isDir();
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return {};
    QString n = name;
    while (n.startsWith(QLatin1Char('/')))
        n.remove(0, 1);
    if (folder.endsWith(QLatin1Char('/')))
        return folder + n;
    return folder + QLatin1Char('/') + n;
}

} // namespace platform
