#pragma once
// What the plain readers of the table files share: loading a file to its root element with the
// message the user sees when it cannot be read, and tables whose `row` elements stand directly
// in the root and whose cells are kept as the file holds their texts.
//
// A model's reader names its columns once, attribute and cell, and every row is read by that
// list: a missing attribute leaves the cell at the default of its row type.
#include "platform/xml/XmlDom.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tables {

// Loads `path` and gives its root element (the first element at document level). The message
// names the file when it cannot be read or holds no element; empty when the root was found.
QString loadTableRoot(platform::XmlDocument& doc, const QString& path, platform::XmlNode& root);

template <typename Row>
struct PlainTable {
    std::vector<Row> rows; // in file order
    QString error;         // the file cannot be read; empty otherwise
};

// One column of a plain table: the attribute and the cell of the row it fills.
template <typename Row>
struct TextColumn {
    const char* attribute;
    QString Row::*cell;
};

// Every element of the root as a row, its cells filled from the columns' attributes. No file:
// no rows and no error; a file that cannot be read: no rows and the message.
template <typename Row, size_t N>
PlainTable<Row> readPlainTable(const QString& path, const TextColumn<Row> (&columns)[N]);

// The texts of each row in the order of `columns` (the editor shows a row's cells in the order of
// the file's attributes).
template <typename Row, size_t N>
std::vector<QStringList> cellTexts(const std::vector<Row>& rows, const TextColumn<Row> (&columns)[N])
{
    std::vector<QStringList> texts;
    texts.reserve(rows.size());
    for (const Row& r : rows) {
        QStringList cells;
        cells.reserve(qsizetype(N));
        for (const TextColumn<Row>& c : columns)
            cells.push_back(r.*(c.cell));
        texts.push_back(std::move(cells));
    }
    return texts;
}

// The columns' attribute names, in order.
template <typename Row, size_t N>
QStringList columnAttributes(const TextColumn<Row> (&columns)[N])
{
    QStringList names;
    for (const TextColumn<Row>& c : columns)
        names << QLatin1String(c.attribute);
    return names;
}

// The elements of the root of an existing file, in order; `error` as loadTableRoot gives it.
std::vector<platform::XmlNode> rootElements(platform::XmlDocument& doc, const QString& path, QString& error);

template <typename Row, size_t N>
PlainTable<Row> readPlainTable(const QString& path, const TextColumn<Row> (&columns)[N])
{
    PlainTable<Row> t;
    platform::XmlDocument doc;
    for (const platform::XmlNode& e : rootElements(doc, path, t.error)) {
        Row r;
        for (const TextColumn<Row>& c : columns)
            if (const std::optional<QString> v = e.attribute(QString::fromLatin1(c.attribute)))
                r.*(c.cell) = *v;
        t.rows.push_back(std::move(r));
    }
    return t;
}

} // namespace tables
