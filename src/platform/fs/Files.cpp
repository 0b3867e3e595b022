#include "platform/fs/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <optional>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemError(int code)
{
    char buffer[256];
    // The GNU strerror_r returns the text (possibly not in the buffer).
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text);
}

const QRegularExpression& tempPattern()
{
    static const QRegularExpression re(QStringLiteral("^\\..+\\.~vn(\\d+)\\.[A-Za-z0-9]{6}$"));
    return re;
}

// The temporary files this process is writing now (another thread's save must not lose its
// file to our clean-up).
QMutex& inProgressMutex()
{
    static QMutex m;
    return m;
}
QSet<QString>& inProgress()
{
    static QSet<QString> s;
    return s;
}

bool processAlive(qint64 pid)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

void removeStaleWriteTemps(const QString& folder)
{
    if (folder.isEmpty())
        return;
    const qint64 self = ::getpid();
    const QStringList names = QDir(folder).entryList({QStringLiteral(".*.~vn*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& n : names) {
        const QRegularExpressionMatch m = tempPattern().match(n);
        if (!m.hasMatch())
            continue;
        const QString full = joinPath(folder, n);
        const qint64 pid = m.captured(1).toLongLong();
        if (pid == self) {
            const QMutexLocker lock(&inProgressMutex());
            if (inProgress().contains(full))
                continue;
        } else if (processAlive(pid)) {
            continue;
        }
        QFile::remove(full);
    }
}

namespace {

QString tempNameFor(const QString& path)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
    const QFileInfo info(path);
    return joinPath(info.path(), QStringLiteral(".%1.~vn%2.%3").arg(info.fileName()).arg(qint64(::getpid())).arg(suffix));
}

// Writes `bytes` to the new file `temp` and brings them to the disk; the system's text on
// failure.
bool writeTemp(const QString& temp, const QByteArray& bytes, std::optional<mode_t> keepMode, QString* error)
{
    const QByteArray native = QFile::encodeName(temp);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, keepMode.value_or(0666));
    if (fd < 0) {
        if (error)
            *error = systemError(errno);
        return false;
    }
    if (keepMode)
        (void)::fchmod(fd, *keepMode);
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    int failure = 0;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            failure = errno;
            break;
        }
        p += n;
        left -= n;
    }
    if (!failure && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && !failure)
        failure = errno;
    if (failure) {
        if (error)
            *error = systemError(failure);
        return false;
    }
    return true;
}

} // namespace

bool isWriteTempName(const QString& fileName) { return tempPattern().match(fileName).hasMatch(); }

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
    // Read in pieces until the end, so that memory follows the file; with a limit, one byte
    // beyond it tells a file of exactly the limit from a longer one.
    QByteArray data;
    const qint64 claimed = f.size();
    if (claimed > 0)
        data.reserve(qsizetype(maxBytes < 0 ? claimed : std::min(claimed, maxBytes + 1)));
    constexpr qint64 kPiece = 1 << 16;
    for (;;) {
        const qint64 room = maxBytes < 0 ? kPiece : std::min(kPiece, maxBytes + 1 - qint64(data.size()));
        if (room <= 0)
            break;
        const QByteArray piece = f.read(room);
        if (piece.isEmpty())
            break;
        data.append(piece);
    }
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
    if (info.isDir()) {
        if (error)
            *error = systemError(EISDIR);
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    std::optional<mode_t> mode;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        mode = st.st_mode & 07777;

    removeStaleWriteTemps(info.path());
    const QString temp = tempNameFor(path);
    {
        const QMutexLocker lock(&inProgressMutex());
        inProgress().insert(temp);
    }
    bool ok = writeTemp(temp, bytes, mode, error);
    if (ok && ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        if (error)
            *error = systemError(errno);
        ok = false;
    }
    if (!ok)
        ::unlink(QFile::encodeName(temp).constData());
    {
        const QMutexLocker lock(&inProgressMutex());
        inProgress().remove(temp);
    }
    if (ok) {
        // The rename itself on disk.
        const int dir = ::open(QFile::encodeName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return ok;
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
