#pragma once
// The cell store of the string grid: one text and one object reference per cell, addressed by
// column and row, independent of the grid's counts. The grids above it (the string grid, the
// hidden rows, the sorter and the filter) move rows through the block operations below.
//
// Cost model.
//   - Sparse: a cell that was never written (or was written empty and has no object) takes
//     no memory; a row holding nothing takes none either. A written row costs its index and
//     a reference in two ascending lists, plus its cells: each its column and text.
//     A cell written at row 2,000,000,000 costs one entry, not two billion rows.
//   - A cell read or write finds its row by binary search over the rows that hold something.
//   - Every block operation on rows is one pass over the rows that hold something inside the
//     range it touches (plus the k rows it moves in or out): it renumbers and moves row
//     references, never a cell text. Inserting or removing one row at the top of 1,000,000
//     filled rows renumbers 1,000,000 indexes and copies no text.
//   - Writes in ascending row order append; a write that creates a row in front of many
//     stored rows shifts their entries once.
//   - Inserting or removing rows whose range reaches past the last stored row only notes the
//     renumbering of the rows after them (settled by the next operation that reorders rows):
//     repeated inserts at the top of a million rows cost O(1) each.
//
// Meaning.
//   - Grow-only: the grid's counts never touch the store. Texts and objects beyond the counts
//     stay and come back when the grid grows again; only writes, the block operations and
//     clear() change what is stored.
//   - Objects are references the store does not own; reading a cell that holds none gives
//     nullptr. Dropping a row (clearRows, an overwritten place) drops its references.
//   - A negative column or row, or an index list that is not ascending, raises
//     EInvalidGridOperation ("Grid index out of range") and changes nothing; there is no upper
//     limit.
//
// Row block operations (all indexes are store rows; ranges are [first, last)):
//   rotateRows(first, middle, last)   rows middle..last-1 move to first.., rows first..middle-1
//                                     follow them: the one primitive behind inserting (an empty
//                                     block rotated in), removing (rotated out and cleared) and
//                                     moving blocks of rows
//   insertRows(first, count, last)    count empty rows in at first: the rows of [first, last)
//                                     move down by count, the count rows that stood at last..
//                                     are dropped (rotateRows of an empty block, without moves)
//   removeRows(first, count, last)    rows first .. first + count - 1 are dropped, the rows of
//                                     [first + count, last) move up, the freed places at the end
//                                     of the range hold nothing
//   moveRow(from, to)                 one row out at from and in at to; the rows in between
//                                     shift by one toward from
//   swapRows(a, b)
//   clearRows(first, last)            drops texts and references of the rows
//   takeRows(rows, last)              the listed rows leave the store and are handed over; the
//                                     other rows of [rows.front(), last) close up, the places
//                                     freed at the end of the range hold nothing
//   putRows(positions, rows, last)    the inverse: the rows go to the listed places (their
//                                     final indexes); the rows of [positions.front(), last)
//                                     make room in order; the range grows to last + k and the
//                                     k rows that stood at last.. are dropped. A row handed in
//                                     is nullptr (an empty row) or holds something
//   permuteRows(first, order)         row first + i takes the row that stood at
//                                     first + order[i] (order is a permutation of 0..n-1)
// Columns: rotateColumns(first, middle, last) and moveColumn(from, to) do the same for
// columns, one pass over the stored cells.
#include "platform/text/UserError.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// A grid operation that cannot be done: an index out of range, impossible counts.
class EInvalidGridOperation : public UserError {
public:
    using UserError::UserError;
};

// The cells of one row, in the store or taken out of it (a hidden row, a row on its way to
// another place). Cells are kept by column, ascending.
class GridRow {
public:
    struct TextCell {
        int col;
        QString text;
    };
    struct ObjectCell {
        int col;
        void* object;
    };

    QString text(int col) const;
    // The row's text of the column, or nullptr: no copy.
    const QString* findText(int col) const;
    void setText(int col, const QString& text);
    void* object(int col) const;
    void setObject(int col, void* object);
    bool isEmpty() const { return m_texts.empty() && m_objects.empty(); }
    const std::vector<TextCell>& texts() const { return m_texts; }
    const std::vector<ObjectCell>& objects() const { return m_objects; }
    // Columns middle..last-1 move to first.., first..middle-1 follow them.
    void rotateColumns(int first, int middle, int last);

private:
    std::vector<TextCell> m_texts;
    std::vector<ObjectCell> m_objects; // empty unless objects are set
};

using GridRowPtr = std::unique_ptr<GridRow>;

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
    // The row's cells, or nullptr when it holds nothing.
    const GridRow* row(int row) const;

    // Rows that hold something, ascending, from `first` on: for walks over many rows that
    // must not look each one up (autosizing, searching). Calls fn(row, cells) until it returns
    // false or last is reached.
    template <typename Fn>
    void forEachRow(int first, int last, Fn&& fn) const
    {
        for (size_t i = lowerBound(first); i < m_index.size() && indexAt(i) < last; ++i)
            if (!fn(indexAt(i), *m_cells[i]))
                return;
    }

    void rotateRows(int first, int middle, int last);
    void insertRows(int first, int count, int last);
    void removeRows(int first, int count, int last);
    void moveRow(int from, int to);
    void swapRows(int a, int b);
    void clearRows(int first, int last);
    std::vector<GridRowPtr> takeRows(const std::vector<int>& rows, int last);
    void putRows(const std::vector<int>& positions, std::vector<GridRowPtr> rows, int last);
    void permuteRows(int first, const std::vector<int>& order);

    void rotateColumns(int first, int middle, int last);
    void moveColumn(int from, int to);
    // Drops every text and object reference.
    void clear();

    // What is held, for tests and benchmarks.
    qsizetype textCount() const;
    qsizetype objectCount() const;
    qsizetype storedRowCount() const { return qsizetype(m_index.size()); }

private:
    // The row index of stored row i, with the shift still owed to the tail of the list.
    int indexAt(size_t i) const { return m_index[i] + (i >= m_shiftFrom ? m_shiftBy : 0); }
    void settleShift();
    void shiftTail(size_t from, int by);
    static void checkIndex(int col, int row);
    static void checkAscending(const std::vector<int>& indexes);
    size_t lowerBound(long long row) const;
    GridRow& rowForWrite(int row);
    void dropIfEmpty(size_t i);
    void rotate(long long first, long long middle, long long last);
    void eraseEntries(size_t from, size_t to);

    // The rows that hold something: their indexes ascending, and their cells (never empty) at
    // the same places. Kept apart so that renumbering rows walks the indexes alone.
    std::vector<int> m_index;
    std::vector<GridRowPtr> m_cells;
    // Rows inserted or removed above all the rows that follow: the renumbering of that tail is
    // owed (added when read) until another operation needs the indexes as stored, so that
    // inserting rows at the top again and again costs nothing per row stored below.
    size_t m_shiftFrom = SIZE_MAX;
    int m_shiftBy = 0;
};

} // namespace platform
