#pragma once
// The two tables of the template creation window as plain rows of cell texts, and what the window
// does with them without a widget: the check that turns them into a template's variables and
// request steps, and the reading of a CSV file into rows.
//
// A row holds the texts of its grid columns, column 0 (the row number) included, so column n of
// the window is index n here. Both tables are read from their first row and end at the first row
// whose column 1 is empty after trimming.
//
// The check reports the first failure only, as the window shows it: a prefix ("[BACnet Objects]
// Error row " or "[MBus Request] Error row "), the row number and the message, with nothing in
// between. Numbers are read by the program's whole-integer rule (decimal, or hexadecimal after
// "$", "x" or "0x"); a text that is not a number counts as -1.
#include "mbus/Template.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace mbus::master {

// Columns of the two grids, column 0 included.
constexpr int kObjectColumns = 13;
constexpr int kRequestColumns = 8;
// Data rows of each grid.
constexpr int kTemplateRows = 2000;

struct TemplateCheck {
    bool ok = true;
    QString message; // the first failure, as shown
    std::vector<TStruct_BACnet> variables;
    std::vector<TStruct_MBus> requests;
};

// Checks the objects table, then the requests table (`Controllo_dati`). The lists hold every row
// that passed, so they are complete only when `ok`.
TemplateCheck checkTemplateTables(const std::vector<QStringList>& objects, const std::vector<QStringList>& requests);

// The rows a table holds for the check: from row 1 up to, not including, the first row whose
// column 1 is empty after trimming. `cell(col, row)` gives a grid cell's text.
std::vector<QStringList> usedTemplateRows(const std::function<QString(int col, int row)>& cell, int rowCount,
                                          int colCount);

// One CSV line as fields: the text before the first ";" trimmed, then the trimmed rest in the same
// way; a line that ends in ";" has no empty field after it.
QStringList csvFields(const QString& line);

struct CsvRow {
    int row; // grid row: line n of the file (the header is line 0)
    QStringList fields;
};
// The rows a CSV text fills: its first line is a header; a line empty after trimming fills nothing.
std::vector<CsvRow> csvRows(const QString& text);

} // namespace mbus::master
