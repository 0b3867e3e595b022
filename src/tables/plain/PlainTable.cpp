#include "tables/plain/PlainTable.h"

#include "platform/fs/Files.h"

#include <QFileInfo>

namespace tables {

QString loadTableRoot(platform::XmlDocument& doc, const QString& path, platform::XmlNode& root)
{
    QString why;
    if (!doc.load(path, &why))
        return QStringLiteral("The file %1 cannot be read: %2").arg(QFileInfo(path).fileName(), why);
    root = doc.rootElement();
    if (!root)
        return QStringLiteral("The file %1 holds no table.").arg(QFileInfo(path).fileName());
    return {};
}

std::vector<platform::XmlNode> rootElements(platform::XmlDocument& doc, const QString& path, QString& error)
{
    std::vector<platform::XmlNode> rows;
    if (!platform::fileExists(path))
        return rows;
    platform::XmlNode root;
    error = loadTableRoot(doc, path, root);
    if (!error.isEmpty())
        return rows;
    const int n = root.elementCount();
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        rows.push_back(root.elementAt(i));
    return rows;
}

} // namespace tables
