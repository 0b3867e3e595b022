#include "image/TableFile.h"

#include "platform/text/Text.h"
#include "platform/text/UserError.h"

#include <QFileInfo>

namespace image {

using platform::UserError;

bool TableRow::is(const QString& attr, const QString& word) const
{
    const std::optional<QString> t = node_.attribute(attr);
    return t && platform::upperAscii(*t) == word;
}

QString TableRow::errorText(const QString& attr, const QString& problem) const
{
    QString where = file_;
    if (!section_.isEmpty())
        where += QStringLiteral(", section \"%1\"").arg(section_);
    return QStringLiteral("%1, row %2: the attribute \"%3\" %4")
        .arg(where)
        .arg(number_)
        .arg(attr, problem);
}

int64_t TableRow::requiredInt64(const QString& attr) const
{
    const std::optional<QString> t = node_.attribute(attr);
    if (!t)
        throw UserError(errorText(attr, QStringLiteral("is missing.")));
    const std::optional<int64_t> v = platform::toInt64(*t);
    if (!v)
        throw UserError(errorText(attr, QStringLiteral("must be a whole number, not \"%1\".").arg(*t)));
    return *v;
}

int32_t TableRow::requiredInt(const QString& attr) const
{
    const std::optional<QString> t = node_.attribute(attr);
    if (!t)
        throw UserError(errorText(attr, QStringLiteral("is missing.")));
    const std::optional<int32_t> v = platform::toInt(*t);
    if (!v)
        throw UserError(errorText(attr, QStringLiteral("must be a whole number, not \"%1\".").arg(*t)));
    return *v;
}

int32_t TableRow::intOr(const QString& attr, int32_t def) const
{
    const std::optional<QString> t = node_.attribute(attr);
    return t ? platform::toIntDef(*t, def) : def;
}

TableFile::TableFile(const QString& path) : fileName_(QFileInfo(path).fileName())
{
    QString error;
    if (!doc_.load(path, &error))
        throw UserError(QStringLiteral("The file %1 cannot be read: %2").arg(fileName_, error));
    root_ = doc_.rootElement();
    if (root_.isNull())
        throw UserError(QStringLiteral("The file %1 holds no table.").arg(fileName_));
}

std::vector<TableRow> TableFile::rowsOf(platform::XmlNode parent, const QString& sectionName) const
{
    // Walk the siblings once: indexed access would make large tables quadratic.
    std::vector<TableRow> rows;
    int number = 0;
    for (platform::XmlNode n = parent.child(0); !n.isNull(); n = n.nextSibling())
        if (n.isElement())
            rows.emplace_back(fileName_, sectionName, ++number, n);
    return rows;
}

std::vector<TableRow> TableFile::section(const QString& name) const
{
    const platform::XmlNode s = root_.element(name);
    if (s.isNull())
        throw UserError(QStringLiteral("The file %1 has no section \"%2\".").arg(fileName_, name));
    return rowsOf(s, name);
}

std::vector<TableRow> TableFile::rootRows() const { return rowsOf(root_, QString()); }

} // namespace image
