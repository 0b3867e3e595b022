#pragma once
// Plain reader of the project's table files (the BACnet object table, the Modbus access tables,
// the broadcast distribution table): a root element, optional section elements, one element per
// row with one attribute per column. It converts nothing by itself; `TableRow` offers the typed
// reads the image needs, and every failure is a platform::UserError whose message names the
// file, the section, the row and the attribute.
//
// Tables run to thousands of rows and are read once, in order: the file goes through the
// streaming platform::XmlRowReader in one pass (no DOM), which keeps the sections and rows as
// views of the document's text; numbers are converted straight from it by the program's
// integer rule.
#include "platform/xml/XmlRowReader.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace image {

// One row of a table: where it stands (for messages) and its element.
class TableRow {
public:
    TableRow(const QString* fileName, const QString* section, int number, const platform::XmlRowAttribute* attrs,
             int count)
        : file_(fileName), section_(section), number_(number), attrs_(attrs), count_(count) {}

    // 1-based position of the row in its section (or in the root).
    int number() const { return number_; }
    // Where the row stands, for messages: "<file>, section "<name>", row <n>".
    QString place() const;
    // The row's attributes in document order.
    const platform::XmlRowAttribute* attributes() const { return attrs_; }
    int attributeCount() const { return count_; }
    // The message for a bad value of this row's attribute: "<place>: the attribute "<attr>" <problem>".
    QString errorText(std::string_view attr, const QString& problem) const;

private:
    const QString* file_;
    const QString* section_;
    int number_;
    const platform::XmlRowAttribute* attrs_;
    int count_;
};

// The values of one row. A name is looked up where the same caller found it in the last row,
// then among all the row's attributes.
class RowValues {
public:
    explicit RowValues(const TableRow& row);

    const TableRow& row() const { return row_; }
    // The attribute's UTF-8 text; no value when it is missing.
    std::optional<std::string_view> raw(std::string_view attr) const;
    std::string_view rawOr(std::string_view attr, std::string_view def) const { return raw(attr).value_or(def); }
    // The text of an attribute the row must hold: a missing one stops the build with a message
    // naming the file, the row and the attribute.
    std::string_view requiredRaw(std::string_view attr) const;
    std::optional<QString> text(std::string_view attr) const;
    QString textOr(std::string_view attr, const QString& def) const;
    // True when the attribute's upper-case text is exactly `upperWord` (a check box is "Y").
    bool is(std::string_view attr, std::string_view upperWord) const;
    bool yes(std::string_view attr) const { return is(attr, "Y"); }

    // A whole number that the row must hold: a missing attribute or a text that is not a whole
    // number (the program's integer rule) stops the build with a message naming the file, the
    // row and the attribute.
    int32_t requiredInt(std::string_view attr) const;
    int64_t requiredInt64(std::string_view attr) const;
    // A whole number with a documented default for a missing attribute or other text.
    int32_t intOr(std::string_view attr, int32_t def) const;

    QString errorText(std::string_view attr, const QString& problem) const { return row_.errorText(attr, problem); }

private:
    const TableRow& row_;
    const platform::XmlRowAttribute* attrs_;
    int count_;
};

// Upper-cases a-z only, like platform::upperAscii, and compares with an upper-case ASCII word.
inline bool equalsUpperAscii(std::string_view text, std::string_view upperWord)
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

class TableFile {
public:
    // Loads the file. Throws platform::UserError when it cannot be read or is not well-formed
    // XML. The root is the document's first element (a declaration or comment before it is
    // passed over).
    explicit TableFile(const QString& path);
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    const QString& fileName() const { return fileName_; }
    // The rows of a section element of the root; throws when the section is missing. The rows
    // refer to this object and live no longer than it.
    std::vector<TableRow> section(const char* name) const;
    // True when the root holds a section element of this name.
    bool hasSection(const char* name) const;
    // The elements of a section that carry the name `element`, numbered among themselves: the
    // companion-file writers take only the `row` elements the editors write and pass over any
    // other. None when the root holds no such section.
    std::vector<TableRow> sectionElements(const char* section, std::string_view element) const;
    // The rows standing directly in the root (tables without sections).
    std::vector<TableRow> rootRows() const;

private:
    // An element and its attributes as a run of `attrs_`.
    struct Row {
        std::string_view name;
        uint32_t first;
        uint32_t count;
    };
    // An element directly in the root: a row of a table without sections, or a section whose
    // rows are a run of `sectionRows_`.
    struct Child {
        Row self;
        uint32_t firstRow;
        uint32_t rowCount;
    };
    TableRow rowAt(const Row& r, const QString* sectionName, int number) const;
    const Child* findSection(std::string_view name) const;
    // The rows of a section, all of them or those named `element`.
    std::vector<TableRow> rowsOf(const Child& c, const char* name, std::optional<std::string_view> element) const;

    std::unique_ptr<platform::XmlRowReader> reader_; // holds the text every view points into
    QString fileName_;
    QString noSection_;
    std::vector<platform::XmlRowAttribute> attrs_;
    std::vector<Child> children_;
    std::vector<Row> sectionRows_;
    mutable std::vector<std::unique_ptr<QString>> sectionNames_;
};

} // namespace image
