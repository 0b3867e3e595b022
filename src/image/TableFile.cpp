#include "image/TableFile.h"

#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"

#include <QFileInfo>
#include <array>
#include <cstdint>
#include <cstring>

namespace image {

using platform::UserError;

namespace {

QString qs(std::string_view v) { return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size())); }

} // namespace


RowValues::RowValues(const TableRow& row) : row_(row), attrs_(row.attributes()), count_(row.attributeCount()) {}

namespace {

// Every row of a table lists its attributes in the same order, so where a name was found in the
// last row is where it stands in this one. The hint is keyed by the address of the caller's name
// (a literal, fixed for the life of the program); a wrong or stale hint only costs the search.
struct ColumnHint {
    const char* name = nullptr;
    int index = 0;
};
thread_local std::array<ColumnHint, 64> t_columnHints{};

ColumnHint& hintFor(std::string_view attr)
{
    // Literals stand a few bytes apart: a multiplicative hash spreads neighbours over the slots.
    const uint64_t key = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(attr.data()));
    return t_columnHints[(key * 0x9E3779B97F4A7C15ull) >> 58];
}

} // namespace

std::optional<std::string_view> RowValues::raw(std::string_view attr) const
{
    auto same = [attr](std::string_view name) {
        return name.size() == attr.size() && std::memcmp(name.data(), attr.data(), attr.size()) == 0;
    };
    ColumnHint& hint = hintFor(attr);
    if (hint.name == attr.data() && hint.index < count_ && same(attrs_[hint.index].name))
        return attrs_[hint.index].value;
    for (int i = 0; i < count_; ++i) {
        if (same(attrs_[i].name)) {
            hint = {attr.data(), i};
            return attrs_[i].value;
        }
    }
    return std::nullopt;
}

std::optional<QString> RowValues::text(std::string_view attr) const
{
    const std::optional<std::string_view> v = raw(attr);
    if (!v)
        return std::nullopt;
    return qs(*v);
}

QString RowValues::textOr(std::string_view attr, const QString& def) const
{
    const std::optional<std::string_view> v = raw(attr);
    return v ? qs(*v) : def;
}

bool RowValues::is(std::string_view attr, std::string_view upperWord) const
{
    const std::optional<std::string_view> v = raw(attr);
    return v && equalsUpperAscii(*v, upperWord);
}

QString TableRow::place() const
{
    QString where = *file_;
    if (!section_->isEmpty())
        where += QStringLiteral(", section \"%1\"").arg(*section_);
    return QStringLiteral("%1, row %2").arg(where).arg(number_);
}

QString TableRow::errorText(std::string_view attr, const QString& problem) const
{
    return QStringLiteral("%1: the attribute \"%2\" %3")
        .arg(place(), QString::fromLatin1(attr.data(), static_cast<qsizetype>(attr.size())), problem);
}

std::string_view RowValues::requiredRaw(std::string_view attr) const
{
    const std::optional<std::string_view> t = raw(attr);
    if (!t)
        throw UserError(errorText(attr, QStringLiteral("is missing.")));
    return *t;
}

int64_t RowValues::requiredInt64(std::string_view attr) const
{
    const std::string_view t = requiredRaw(attr);
    const std::optional<int64_t> v = platform::toInt64(t);
    if (!v)
        throw UserError(errorText(attr, QStringLiteral("must be a whole number, not \"%1\".").arg(qs(t))));
    return *v;
}

int32_t RowValues::requiredInt(std::string_view attr) const
{
    const std::string_view t = requiredRaw(attr);
    const std::optional<int32_t> v = platform::toInt(t);
    if (!v)
        throw UserError(errorText(attr, QStringLiteral("must be a whole number, not \"%1\".").arg(qs(t))));
    return *v;
}

int32_t RowValues::intOr(std::string_view attr, int32_t def) const
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
    // A table's attributes take some twenty bytes of text each: room for them up front spares
    // the copies of a growing list.
    attrs_.reserve(static_cast<size_t>(bytes->size()) / 20);
    reader_ = std::make_unique<platform::XmlRowReader>(std::move(*bytes));
    platform::XmlRowReader& r = *reader_;

    // The root is the first element at document level; its child elements and their child
    // elements are kept, anything deeper or outside it is only checked. The whole file is read
    // before any row is used: a fault anywhere refuses the file.
    bool haveRoot = false;
    bool inRoot = false;
    auto takeRow = [&]() {
        const Row row{r.name(), static_cast<uint32_t>(attrs_.size()), static_cast<uint32_t>(r.attributes().size())};
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
            children_.push_back({takeRow(), static_cast<uint32_t>(sectionRows_.size()), 0});
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

const TableFile::Child* TableFile::findSection(std::string_view name) const
{
    for (const Child& c : children_)
        if (c.self.name == name)
            return &c;
    return nullptr;
}

std::vector<TableRow> TableFile::rowsOf(const Child& c, const char* name, std::optional<std::string_view> element) const
{
    sectionNames_.push_back(std::make_unique<QString>(QString::fromLatin1(name)));
    const QString* n = sectionNames_.back().get();
    std::vector<TableRow> rows;
    rows.reserve(c.rowCount);
    for (uint32_t k = 0; k < c.rowCount; ++k) {
        const Row& r = sectionRows_[c.firstRow + k];
        if (!element || r.name == *element)
            rows.push_back(rowAt(r, n, static_cast<int>(rows.size()) + 1));
    }
    return rows;
}

std::vector<TableRow> TableFile::section(const char* name) const
{
    if (const Child* c = findSection(name))
        return rowsOf(*c, name, std::nullopt);
    throw UserError(QStringLiteral("The file %1 has no section \"%2\".").arg(fileName_, QString::fromLatin1(name)));
}

bool TableFile::hasSection(const char* name) const { return findSection(name) != nullptr; }

std::vector<TableRow> TableFile::sectionElements(const char* section, std::string_view element) const
{
    const Child* c = findSection(section);
    return c ? rowsOf(*c, section, element) : std::vector<TableRow>{};
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
