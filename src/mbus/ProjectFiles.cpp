#include "mbus/ProjectFiles.h"

#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"

#include <QFileInfo>

namespace mbus {

namespace {

[[noreturn]] void cannotRead(const char* noun, const QString& fileName, const QString& why)
{
    throw platform::UserError(
        QStringLiteral("The %1 %2 cannot be read: %3").arg(QLatin1String(noun), fileName, why));
}

} // namespace

QByteArray readFileBytes(const QString& path, const char* noun)
{
    QString error;
    std::optional<QByteArray> bytes = platform::readWholeFile(path, &error);
    if (!bytes)
        cannotRead(noun, QFileInfo(path).fileName(), error);
    return std::move(*bytes);
}

void parseFileBytes(platform::XmlDocument& doc, const QByteArray& bytes, const QString& fileName, const char* noun)
{
    QString error;
    if (!doc.loadBytes(bytes, &error))
        cannotRead(noun, fileName, error);
}

QByteArray savedBytes(const platform::XmlDocument& doc)
{
    platform::XmlSaveOptions options;
    options.indent = QStringLiteral("  ");
    return doc.toBytes(options);
}

void writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QString error;
    if (!platform::writeWholeFile(path, bytes, &error))
        throw platform::UserError(
            QStringLiteral("The file %1 cannot be written: %2").arg(QFileInfo(path).fileName(), error));
}

} // namespace mbus
