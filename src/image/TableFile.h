#pragma once
// Plain reader of the project's table files (the BACnet object table, the Modbus access tables,
// the broadcast distribution table): a root element, optional section elements, one element per
// row with one attribute per column. It converts nothing by itself; `TableRow` offers the typed
// reads the image needs, and every failure is a platform::UserError whose message names the
// file, the section, the row and the attribute.
#include "platform/xml/XmlDom.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace image {

class TableRow {
public:
    TableRow(const QString& fileName, const QString& section, int number, platform::XmlNode node)
        : file_(fileName), section_(section), number_(number), node_(node) {}

    // 1-based position of the row in its section (or in the root).
    int number() const { return number_; }

    std::optional<QString> text(const QString& attr) const { return node_.attribute(attr); }
    QString textOr(const QString& attr, const QString& def) const { return node_.attributeOr(attr, def); }
    // True when the attribute's upper-case text is exactly `word` (a check box is "Y").
    bool is(const QString& attr, const QString& word) const;
    bool yes(const QString& attr) const { return is(attr, QStringLiteral("Y")); }

    // A whole number that the row must hold: a missing attribute or a text that is not a whole
    // number (the program's integer rule) stops the build with a message.
    int32_t requiredInt(const QString& attr) const;
    int64_t requiredInt64(const QString& attr) const;
    // A whole number with a documented default for a missing attribute or other text.
    int32_t intOr(const QString& attr, int32_t def) const;

    // The message for a bad value of this row's attribute (for checks made by the caller).
    QString errorText(const QString& attr, const QString& problem) const;

private:
    QString file_;
    QString section_;
    int number_;
    platform::XmlNode node_;
};

class TableFile {
public:
    // Loads the file. Throws platform::UserError when it cannot be read or is not well-formed
    // XML. The root is the document's first element (a declaration or comment before it is
    // passed over).
    explicit TableFile(const QString& path);

    const QString& fileName() const { return fileName_; }
    platform::XmlNode root() const { return root_; }
    // The rows of a section element of the root; throws when the section is missing.
    std::vector<TableRow> section(const QString& name) const;
    // The rows standing directly in the root (tables without sections).
    std::vector<TableRow> rootRows() const;

private:
    std::vector<TableRow> rowsOf(platform::XmlNode parent, const QString& sectionName) const;
    platform::XmlDocument doc_;
    QString fileName_;
    platform::XmlNode root_;
};

} // namespace image
