#include "image/TableFile.h"

#include "platform/fs/Files.h"
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

RowValues::RowValues(const TableRow& row) : row_(row), attrs_(row.attributes()), count_(row.attributeCount()) {}

std::optional<std::string_view> RowValues::raw(const char* attr) const
{
    // The first byte turns most other names away.
    auto same = [attr](std::string_view name) {
        return name[0] == attr[0] && std::strncmp(name.data(), attr, name.size()) == 0 && attr[name.size()] == '\0';
    };
    // From the attribute after the last one found to the end, then from the first.
    for (int k = 0; k < count_; ++k) {
        int i = next_ + k;
        if (i >= count_)
            i -= count_;
        if (same(attrs_[i].name)) {
            next_ = i + 1 < count_ ? i + 1 : 0;
            return attrs_[i].value;
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
    std::optional<QByteArray> bytes = platform::readWholeFile(path, &error);
    if (!bytes)
        throw UserError(QStringLiteral("The file %1 cannot be read: %2").arg(fileName_, error));
    reader_ = std::make_unique<platform::XmlRowReader>(std::move(*bytes));
    platform::XmlRowReader& r = *reader_;

    // The root is the first element at document level; its child elements and their child
    // elements are kept, anything deeper or outside it is only checked. The whole file is read
    // before any row is used: a fault anywhere refuses the file.
    bool haveRoot = false;
    bool inRoot = false;
    auto takeRow = [&]() {
        const Row row{static_cast<uint32_t>(attrs_.size()), static_cast<uint32_t>(r.attributes().size())};
        attrs_.insert(attrs_.end(), r.attributes().begin(), r.attributes().end());
        return row;
    };
    for (;;) {
        const platform::XmlRowReader::Event ev = r.next();
        if (ev == platform::XmlRowReader::Event::Done)
            break;
        if (ev == platform::XmlRowReader::Event::Error)
            throw UserError(QStringLiteral("The file %1 cannot be read: %2").arg(fileName_, r.error()));
        const int depth = r.depth();
        if (ev == platform::XmlRowReader::Event::EndElement) {
            if (depth == 0)
                inRoot = false;
            continue;
        }
        if (depth == 0) {
            inRoot = !haveRoot;
            haveRoot = true;
        } else if (inRoot && depth == 1) {
            children_.push_back({r.name(), takeRow(), static_cast<uint32_t>(sectionRows_.size()), 0});
        } else if (inRoot && depth == 2) {
            sectionRows_.push_back(takeRow());
            ++children_.back().rowCount;
        }
    }
    if (!haveRoot)
        throw UserError(QStringLiteral("The file %1 holds no table.").arg(fileName_));
}

TableRow TableFile::rowAt(const Row& r, const QString* sectionName, int number) const
{
    return TableRow(&fileName_, sectionName, number, attrs_.data() + r.first, static_cast<int>(r.count));
}

std::vector<TableRow> TableFile::section(const char* name) const
{
    const QString sectionName = QString::fromLatin1(name);
    const std::string_view wanted(name);
    for (const Child& c : children_) {
        if (c.name != wanted)
            continue;
        sectionNames_.push_back(std::make_unique<QString>(sectionName));
        const QString* n = sectionNames_.back().get();
        std::vector<TableRow> rows;
        rows.reserve(c.rowCount);
        for (uint32_t k = 0; k < c.rowCount; ++k)
            rows.push_back(rowAt(sectionRows_[c.firstRow + k], n, static_cast<int>(k) + 1));
        return rows;
    }
    throw UserError(QStringLiteral("The file %1 has no section \"%2\".").arg(fileName_, sectionName));
}

std::vector<TableRow> TableFile::rootRows() const
{
    std::vector<TableRow> rows;
    rows.reserve(children_.size());
    for (size_t k = 0; k < children_.size(); ++k)
        rows.push_back(rowAt(children_[k].self, &noSection_, static_cast<int>(k) + 1));
    return rows;
}

} // namespace image
