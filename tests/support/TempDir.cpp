#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempDir::write(const QString& name, const QByteArray& bytes) const
{
    const QString p = file(name);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
    return p;
}

QByteArray TempDir::read(const QString& name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool TempDir::exists(const QString& name) const { return QFileInfo::exists(file(name)); }

QByteArray hexBytes(const char* hex)
{
    QByteArray clean;
    for (const char* p = hex; *p; ++p)
        if (*p != ' ' && *p != '\n' && *p != '\t')
            clean.append(*p);
    return QByteArray::fromHex(clean);
}

QString toHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QByteArray dataFile(const QString& name)
{
    QFile f(QStringLiteral(VN_TEST_DATA_DIR) + QLatin1Char('/') + name);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("missing test data file");
    return f.readAll();
}

} // namespace testing_support
