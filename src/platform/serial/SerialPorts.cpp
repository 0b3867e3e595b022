#include "platform/serial/SerialPorts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <utility>

namespace platform {

namespace {

// A small sysfs attribute, trimmed; no value when it cannot be read.
std::optional<QString> readAttribute(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromLatin1(f.read(256)).trimmed();
}

QString driverName(const QString& ttyDir)
{
    const QFileInfo link(ttyDir + QStringLiteral("/device/driver"));
    if (!link.exists())
        return {};
    return QFileInfo(link.symLinkTarget().isEmpty() ? link.absoluteFilePath() : link.symLinkTarget())
        .fileName();
}

bool isHardwarePort(const QString& ttyDir, const QString& name)
{
    if (!QFileInfo::exists(ttyDir + QStringLiteral("/device")))
        return false;
    if (name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM")))
        return true;
    if (const auto type = readAttribute(ttyDir + QStringLiteral("/type"))) {
        bool ok = false;
        const int t = type->toInt(&ok, 0);
        return ok && t != 0;
    }
    const QString driver = driverName(ttyDir);
    return !driver.isEmpty() && driver != QLatin1String("serial8250");
}

bool isCandidateName(const QString& name)
{
    for (const char* prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
        const QLatin1String p(prefix);
        if (name.size() > p.size() && name.startsWith(p)) {
            const QString digits = name.mid(p.size());
            return std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
        }
    }
    return false;
}

// "ttyUSB10" -> ("ttyUSB", 10)
std::pair<QString, qlonglong> sortKey(const QString& name)
{
    qsizetype i = name.size();
    while (i > 0 && name[i - 1].isDigit())
        --i;
    return {name.left(i), name.mid(i).toLongLong()};
}

} // namespace

QStringList listSerialPorts(const QString& sysfsRoot)
{
    const QDir ttyClass(sysfsRoot + QStringLiteral("/class/tty"));
    QStringList names;
    const auto entries = ttyClass.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : entries)
        if (isCandidateName(name) && isHardwarePort(ttyClass.filePath(name), name))
            names.append(name);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return sortKey(a) < sortKey(b); });
    QStringList paths;
    for (const QString& n : names)
        paths.append(QStringLiteral("/dev/") + n);
    return paths;
}

} // namespace platform
