#include "image/TableFile.h"

#include "platform/text/Text.h"
#include "platform/text/UserError.h"

#include <QFileInfo>
#include <cstring>

namespace image {

using platform::UserError;

namespace {

QString qs(std::string_view v) { return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size())); }

} // namespace

bool equalsUpperAscii(std::string_view text, std::string_view upperWord)
{
    if (text.size() != upperWord.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != upperWord[i])
            return false;
    }
    return true;
}

RowValues::RowValues(const TableRow& row) : row_(row)
{
    count_ = row.node().attributeViews(inline_, kInline);
    attrs_ = inline_;
    if (count_ == kInline && row.node().attributeCount() > kInline) {
        more_.resize(static_cast<size_t>(row.node().attributeCount()));
        count_ = row.node().attributeViews(more_.data(), static_cast<int>(more_.size()));
        attrs_ = more_.data();
    }
}

std::optional<std::string_view> RowValues::raw(const char* attr) const
{
    // The first byte turns most other names away; the library compare is quicker than a byte
    // loop on the rest.
    auto same = [attr](const char* name) { return name[0] == attr[0] && std::strcmp(name, attr) == 0; };
    // From the attribute after the last one found to the end, then from the first.
    for (int k = 0; k < count_; ++k) {
        int i = next_ + k;
        if (i >= count_)
            i -= count_;
        if (same(attrs_[i].name)) {
            next_ = i + 1 < count_ ? i + 1 : 0;
            return std::string_view(attrs_[i].value);
        }
    }
    return std::nullopt;
}

std::optional<QString> RowValues::text(const char* attr) const
{
    const std::optional<std::string_view> v = raw(attr);
    if (!v)
        return std::nullopt;
    return qs(*v);
}

QString RowValues::textOr(const char* attr, const QString& def) const
{
    const std::optional<std::string_view> v = raw(attr);
    return v ? qs(*v) : def;
}

bool RowValues::is(const char* attr, std::string_view upperWord) const
{
    const std::optional<std::string_view> v = raw(attr);
    return v && equalsUpperAscii(*v, upperWord);
}

QString TableRow::errorText(const char* attr, const QString& problem) const
{
    QString where = *file_;
    if (!section_->isEmpty())
        where += QStringLiteral(", section \"%1\"").arg(*section_);
    return QStringLiteral("%1, row %2: the attribute \"%3\" %4")
        .arg(where)
        .arg(number_)
        .arg(QString::fromLatin1(attr), problem);
}

int64_t RowValues::requiredInt64(const char* attr) const
{
    const std::optional<std::string_view> t = raw(attr);
    if (!t)
        throw UserError(errorText(attr, QStringLiteral("is missing.")));
    const std::optional<int64_t> v = platform::toInt64(*t);
    if (!v)
        throw UserError(errorText(attr, QStringLiteral("must be a whole number, not \"%1\".").arg(qs(*t))));
    return *v;
}

int32_t RowValues::requiredInt(const char* attr) const
{
    const std::optional<std::string_view> t = raw(attr);
    if (!t)
        throw UserError(errorText(attr, QStringLiteral("is missing.")));
    const std::optional<int32_t> v = platform::toInt(*t);
    if (!v)
        throw UserError(errorText(attr, QStringLiteral("must be a whole number, not \"%1\".").arg(qs(*t))));
    return *v;
}

int32_t RowValues::intOr(const char* attr, int32_t def) const
{
    const std::optional<std::string_view> t = raw(attr);
    if (!t)
        return def;
    return platform::toInt(*t).value_or(def);
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

std::vector<TableRow> TableFile::rowsOf(const platform::XmlNode& parent, const QString* sectionName) const
{
    // Walk the siblings once: indexed access would make large tables quadratic.
    std::vector<TableRow> rows;
    int number = 0;
    for (platform::XmlNode n = parent.child(0); !n.isNull(); n = n.nextSibling())
        if (n.isElement())
            rows.emplace_back(&fileName_, sectionName, ++number, n);
    return rows;
}

std::vector<TableRow> TableFile::section(const char* name) const
{
    const QString sectionName = QString::fromLatin1(name);
    const platform::XmlNode s = root_.element(sectionName);
    if (s.isNull())
        throw UserError(QStringLiteral("The file %1 has no section \"%2\".").arg(fileName_, sectionName));
    sectionNames_.push_back(std::make_unique<QString>(sectionName));
    return rowsOf(s, sectionNames_.back().get());
}

std::vector<TableRow> TableFile::rootRows() const { return rowsOf(root_, &noSection_); }

} // namespace image
