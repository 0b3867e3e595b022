#pragma once
// The plain model of a table editor: sections of rows of cell texts, as the dialog's grids hold
// them, with the load, the row check (`Controllo_dati`) and the save of the table file. Works on
// a TableDescription (tables/frame/TableDescription.h); no widget.
//
// The file: no declaration, the root element first, the version comment after the root, one
// element per section in the description's order (or the rows directly in the root), after the
// description's always-empty elements, one `row` element (or the description's row element) per
// used row with one attribute per data column in column order, texts unchanged.
// Written in UTF-8, whole, through a temporary file and rename.
//
// Load. Row i + 1 of a section is the section's child element i, whatever its name. A column's
// attribute that is absent gets the column's `absent` text; a required one stops the load at
// that row (the rows before it stay). Rows beyond the capacity are counted, not shown. A file
// that cannot be parsed, whose root is not the table's root element or that lacks a section
// gives an error naming the file and the line (or the section); the model then holds what could
// be read. Any load error marks the result damaged: the dialog asks before OK replaces the file.
//
// Used rows. In every section the rows 1, 2, ... up to the first row whose key cell, trimmed, is
// empty are the table; the rows below it are neither checked nor saved. With `skipEmptyKeys`
// every row with a key is used; a section without a key column uses every row. A row whose enable cell (where there is one), trimmed and
// upper-cased, is not "Y" is not checked but is saved.
//
// Texts of the frame's own messages, fixed English (the UI-text table has none for them):
//   "Error! The file <name> cannot be read (line <n>): <reason>."
//   "Error! The file <name> does not hold the table <root>."
//   "Error! The file <name> has no section <element>."
//   "Error! The file <name>: row <r> of <section> lacks the attribute <attribute>; the rows
//    from there on were not loaded."
//   "Error! The file <name> cannot be written: <reason>"
//   "Warning! The file <name> holds <n> rows more than the table shows; they are not shown and
//    OK would not save them."
//   (questions of the dialog: see tables/frame/window/TableDialog.h)
#include "tables/frame/TableDescription.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace tables {

// The cells of one data row: cells[c - 1] holds grid column c (column 0, the row number, is
// not kept).
using RowCells = QStringList;

struct TableModel {
    std::vector<std::vector<RowCells>> sections; // [section][row - 1]

    // `capacity` rows per section, each cell holding its column's fresh-row text.
    static TableModel fresh(const TableDescription& desc, int capacity);
    static RowCells freshRow(const SectionDescription& section);

    int rowCount(int section) const { return int(sections[size_t(section)].size()); }
    // Empty for a row or column outside the model.
    QString cell(int section, int row, int col) const;
    void setCell(int section, int row, int col, const QString& text);
};

struct LoadResult {
    TableModel model;
    bool exists = false; // the file was there
    QString error;       // why the file was not read whole; empty when it was
    bool damaged() const { return !error.isEmpty(); }
    QString warning;     // rows beyond the capacity; empty when none
    std::vector<int> notShown; // per section: rows of the file beyond the capacity
    std::vector<int> rowsRead; // per section: rows 1 .. n were filled from the file
};

// Loads the table file at `path` into a fresh model of `capacity` rows per section. No file:
// the fresh model and no error.
LoadResult loadTable(const TableDescription& desc, const QString& path, int capacity);
LoadResult loadTableBytes(const TableDescription& desc, const QByteArray& bytes, const QString& fileName, int capacity);
// The load of a table whose file has a reader of its own: `rows` (per section, the cells of each
// file row in column order, as that reader gave them) fill a fresh model of `capacity` rows; the
// rows beyond the capacity are counted and warned about as loadTable does; `error` is the
// reader's message (empty when it read the whole file).
LoadResult loadedRows(const TableDescription& desc, const std::vector<std::vector<RowCells>>& rows,
                      const QString& fileName, int capacity, bool exists, const QString& error);

// --- the row check ---------------------------------------------------------------------------

// One row as the checks see it. Numbers follow the program's integer rule ("$" hex, leading
// blanks), with a default for text that is not one.
class RowView {
public:
    RowView(const TableDescription& desc, const TableModel& model, int section, int row)
        : desc_(&desc), model_(&model), section_(section), row_(row) {}
    int section() const { return section_; }
    int row() const { return row_; }
    QString cell(int col) const { return model_->cell(section_, row_, col); }
    QString trimmed(int col) const;
    QString upper(int col) const; // trimmed, upper-cased
    int number(int col, int def = -1) const;
    const TableDescription& description() const { return *desc_; }

private:
    const TableDescription* desc_;
    const TableModel* model_;
    int section_;
    int row_;
};

// A failed check: the message is text `prefixText`, the row number, text `messageText` and
// `bound`, run together. Without a prefix (-1) the row number is left out too.
struct Failure {
    int prefixText = -1;
    int messageText = -1;
    QString bound{};
};
QString failureMessage(const Failure& f, int row);

using RowCheck = std::function<std::optional<Failure>(const RowView& row)>;
// After every row has passed: the number of checked rows of each section.
using TableCheck = std::function<std::optional<Failure>(const std::vector<int>& checked)>;

struct CheckResult {
    bool ok = true;
    QString message;  // the error box's text when not ok
    int section = -1; // where the failing row is (-1 for a check over the whole table)
    int row = 0;
};

// The sections in order, the used rows of each, checked by `rowCheck` (rows passed over by the
// enable column excepted), then `tableCheck`. The first failure ends the check.
CheckResult Controllo_dati(const TableDescription& desc, const TableModel& model, const RowCheck& rowCheck,
                           const TableCheck& tableCheck = {});

// --- used rows -------------------------------------------------------------------------------

bool keyEmpty(const TableDescription& desc, const TableModel& model, int section, int row);
// The rows that are checked (enable column aside) and saved, in order.
std::vector<int> usedRows(const TableDescription& desc, const TableModel& model, int section);
// A row holding text in a column that is not a check box (after trimming), other than the
// column's fresh-row text.
bool rowInUse(const SectionDescription& section, const RowCells& cells);
// The first row in use below the first row with an empty key, which a save would drop; no
// value when there is none (and always with `skipEmptyKeys`).
struct RowRef {
    int section = 0;
    int row = 0;
};
std::optional<RowRef> firstDroppedRow(const TableDescription& desc, const TableModel& model);
// The first row whose key cell is empty while the row is in use, which a save drops with its
// values: the first row with an empty key of a section (with `skipEmptyKeys`, any such row).
std::optional<RowRef> firstKeylessRow(const TableDescription& desc, const TableModel& model);

// --- save ------------------------------------------------------------------------------------

QByteArray tableXml(const TableDescription& desc, const TableModel& model, int converterType);
// Writes the file whole; false with the message naming the file when it cannot be written
// (the previous file stays as it was).
bool saveTable(const TableDescription& desc, const TableModel& model, const QString& path, int converterType,
               QString* error);

} // namespace tables
