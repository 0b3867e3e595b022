#include "exports/ExportFile.h"

#include <QFileInfo>

#include "parameters/ParGenFile.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"
#include "workspace/Workspace.h"

namespace exports {

using platform::UserError;

void writeExportFile(const QString& path, const QStringList& lines, platform::LinesEncoding encoding)
{
    QString error;
    if (!platform::writeTextLines(path, lines, encoding, &error))
        throw UserError(QStringLiteral("The file %1 could not be written: %2").arg(path, error));
}

bool loadProjectFile(const QString& path, platform::XmlDocument& doc)
{
    doc.clear();
    if (!platform::fileExists(path))
        return false;
    QString error;
    if (!doc.load(path, &error))
        throw UserError(QStringLiteral("The file %1 cannot be read: %2").arg(QFileInfo(path).fileName(), error));
    return true;
}

bool loadParGen(parameters::ParGenFile& parGen)
{
    const QString& path = workspace::ws().Path_ParGen;
    QString error;
    switch (parGen.load(path, &error)) {
    case parameters::ParGenFile::Status::NoFile: return false;
    case parameters::ParGenFile::Status::Damaged:
        throw UserError(QStringLiteral("The file %1 cannot be read: %2").arg(QFileInfo(path).fileName(), error));
    case parameters::ParGenFile::Status::Loaded: break;
    }
    return true;
}

std::vector<platform::XmlNode> sectionRows(const platform::XmlDocument& doc, const QString& section)
{
    std::vector<platform::XmlNode> rows;
    const platform::XmlNode root = doc.rootElement();
    if (!root)
        return rows;
    const platform::XmlNode s = root.element(section);
    if (!s)
        return rows;
    const int n = s.elementCount();
    for (int i = 0; i < n; ++i) {
        const platform::XmlNode e = s.elementAt(i);
        if (e.name() == QLatin1String("row"))
            rows.push_back(e);
    }
    return rows;
}

QString rowPlace(const QString& path, const QString& section, int number)
{
    return QStringLiteral("%1, section \"%2\", row %3").arg(QFileInfo(path).fileName(), section).arg(number);
}

int32_t requiredRowInt(const platform::XmlNode& row, const QString& attr, const QString& place)
{
    const std::optional<QString> t = row.attribute(attr);
    if (!t)
        throw UserError(QStringLiteral("%1: the attribute \"%2\" is missing.").arg(place, attr));
    const std::optional<int32_t> v = platform::toInt(*t);
    if (!v)
        throw UserError(
            QStringLiteral("%1: the attribute \"%2\" must be a whole number, not \"%3\".").arg(place, attr, *t));
    return *v;
}

} // namespace exports
