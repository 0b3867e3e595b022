#pragma once
// The cell store of the string grid: one text and one object reference per cell, addressed by
// column and row, independent of the grid's counts.
//
//   - Sparse: a cell that was never written (or was written empty and has no object) takes
//     no memory. A written cell costs its text and its column number; rows are kept in pages
//     of 256 that exist only while one of their rows holds something, so a cell written at
//     row 900,000 costs one page and one entry, not 900,000 rows.
//   - Grow-only in meaning: the grid's counts never touch the store. Texts and objects
//     beyond the counts stay and come back when the grid grows again; only writes, moves and
//     clear() change what is stored.
//   - Objects are references the store does not own; reading a cell that holds none gives
//     nullptr.
//   - A negative column or row raises EInvalidGridOperation ("Grid index out of range") and
//     changes nothing; there is no upper limit.
//
// Moves take the row (column) out at its old index and insert it at the new one; the rows
// (columns) in between shift by one toward the old place. They carry texts and objects and
// cost one pass over the rows in between (rows), or over the stored cells (columns).
#include "platform/text/UserError.h"

#include <QString>
#include <array>
#include <map>
#include <memory>
#include <vector>

namespace platform {

// A grid operation that cannot be done: an index out of range, impossible counts.
class EInvalidGridOperation : public UserError {
public:
    using UserError::UserError;
};

class GridCellStore {
public:
    GridCellStore();
    ~GridCellStore();
    GridCellStore(const GridCellStore&) = delete;
    GridCellStore& operator=(const GridCellStore&) = delete;

    QString text(int col, int row) const;
    void setText(int col, int row, const QString& text);
    void* object(int col, int row) const;
    void setObject(int col, int row, void* object);

    void moveRow(int from, int to);
    void moveColumn(int from, int to);
    // Drops every text and object reference.
    void clear();

    // What is held, for tests and benchmarks.
    qsizetype textCount() const;
    qsizetype objectCount() const;
    qsizetype pageCount() const { return qsizetype(m_pages.size()); }

    static constexpr int kRowsPerPage = 256;

private:
    struct TextCell {
        int col;
        QString text;
    };
    struct ObjectCell {
        int col;
        void* object;
    };
    struct Row {
        std::vector<TextCell> texts;       // sorted by column
        std::vector<ObjectCell> objects;   // sorted by column; empty unless objects are set
        bool isEmpty() const { return texts.empty() && objects.empty(); }
    };
    struct Page {
        std::array<std::unique_ptr<Row>, kRowsPerPage> rows;
        int used = 0;
    };

    static void checkIndex(int col, int row);
    const Row* findRow(int row) const;
    Row& rowForWrite(int row);
    void dropIfEmpty(int row);

    std::map<int, std::unique_ptr<Page>> m_pages; // by row / kRowsPerPage
};

} // namespace platform
