#include "platform/grid/GridCellStore.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace platform {

namespace {

const QString kIndexOutOfRange = QStringLiteral("Grid index out of range");

template <typename Cell>
auto findCell(std::vector<Cell>& cells, int col)
{
    return std::lower_bound(cells.begin(), cells.end(), col, [](const Cell& c, int k) { return c.col < k; });
}

template <typename Cell>
auto findCell(const std::vector<Cell>& cells, int col)
{
    return std::lower_bound(cells.begin(), cells.end(), col, [](const Cell& c, int k) { return c.col < k; });
}

template <typename Cell>
void rotateCells(std::vector<Cell>& cells, long long first, long long middle, long long last)
{
    auto lo = std::lower_bound(cells.begin(), cells.end(), first, [](const Cell& c, long long k) { return c.col < k; });
    auto mid = std::lower_bound(lo, cells.end(), middle, [](const Cell& c, long long k) { return c.col < k; });
    auto hi = std::lower_bound(mid, cells.end(), last, [](const Cell& c, long long k) { return c.col < k; });
    for (auto it = lo; it != mid; ++it)
        it->col = int(it->col + (last - middle));
    for (auto it = mid; it != hi; ++it)
        it->col = int(it->col - (middle - first));
    std::rotate(lo, mid, hi);
}

void checkRange(long long first, long long middle, long long last)
{
    if (first < 0 || middle < first || last < middle)
        throw EInvalidGridOperation(kIndexOutOfRange);
}

} // namespace

// --- one row -----------------------------------------------------------------------------------

QString GridRow::text(int col) const
{
    const QString* t = findText(col);
    return t ? *t : QString();
}

const QString* GridRow::findText(int col) const
{
    const auto it = findCell(m_texts, col);
    return it != m_texts.end() && it->col == col ? &it->text : nullptr;
}

void GridRow::setText(int col, const QString& text)
{
    const auto it = findCell(m_texts, col);
    const bool found = it != m_texts.end() && it->col == col;
    if (text.isEmpty()) {
        if (found)
            m_texts.erase(it);
    } else if (found) {
        it->text = text;
    } else {
        m_texts.insert(it, TextCell{col, text});
    }
}

void* GridRow::object(int col) const
{
    const auto it = findCell(m_objects, col);
    return it != m_objects.end() && it->col == col ? it->object : nullptr;
}

void GridRow::setObject(int col, void* object)
{
    const auto it = findCell(m_objects, col);
    const bool found = it != m_objects.end() && it->col == col;
    if (!object) {
        if (found)
            m_objects.erase(it);
    } else if (found) {
        it->object = object;
    } else {
        m_objects.insert(it, ObjectCell{col, object});
    }
}

void GridRow::rotateColumns(int first, int middle, int last)
{
    checkRange(first, middle, last);
    rotateCells(m_texts, first, middle, last);
    rotateCells(m_objects, first, middle, last);
}

// --- the store ---------------------------------------------------------------------------------

GridCellStore::GridCellStore() = default;
GridCellStore::~GridCellStore() = default;

void GridCellStore::checkIndex(int col, int row)
{
    if (col < 0 || row < 0)
        throw EInvalidGridOperation(kIndexOutOfRange);
}

void GridCellStore::checkAscending(const std::vector<int>& indexes)
{
    for (size_t i = 0; i < indexes.size(); ++i)
        if (indexes[i] < 0 || (i > 0 && indexes[i] <= indexes[i - 1]))
            throw EInvalidGridOperation(kIndexOutOfRange);
}

size_t GridCellStore::lowerBound(long long row) const
{
    size_t lo = 0, hi = m_index.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (indexAt(mid) < row)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void GridCellStore::settleShift()
{
    if (m_shiftFrom == SIZE_MAX)
        return;
    for (size_t i = m_shiftFrom; i < m_index.size(); ++i)
        m_index[i] += m_shiftBy;
    m_shiftFrom = SIZE_MAX;
    m_shiftBy = 0;
}

void GridCellStore::shiftTail(size_t from, int by)
{
    // The stored rows from `from` to the end move by `by`: noted, or added to what is owed
    // from the same place.
    if (by == 0 || from >= m_index.size())
        return;
    if (m_shiftFrom != SIZE_MAX && m_shiftFrom != from)
        settleShift();
    m_shiftFrom = from;
    m_shiftBy += by;
}

void GridCellStore::eraseEntries(size_t from, size_t to)
{
    if (from >= to)
        return;
    m_index.erase(m_index.begin() + std::ptrdiff_t(from), m_index.begin() + std::ptrdiff_t(to));
    m_cells.erase(m_cells.begin() + std::ptrdiff_t(from), m_cells.begin() + std::ptrdiff_t(to));
    // The owed tail keeps its first row: its place moves with the rows erased before it.
    if (m_shiftFrom != SIZE_MAX) {
        if (m_shiftFrom >= to)
            m_shiftFrom -= to - from;
        else if (m_shiftFrom > from)
            m_shiftFrom = from;
        if (m_shiftFrom >= m_index.size()) {
            m_shiftFrom = SIZE_MAX;
            m_shiftBy = 0;
        }
    }
}

const GridRow* GridCellStore::row(int row) const
{
    checkIndex(0, row);
    const size_t i = lowerBound(row);
    return i < m_index.size() && indexAt(i) == row ? m_cells[i].get() : nullptr;
}

GridRow& GridCellStore::rowForWrite(int row)
{
    // Filling a grid from the top appends.
    const size_t n = m_index.size();
    size_t i = n;
    if (n > 0 && indexAt(n - 1) >= row) {
        i = lowerBound(row);
        if (i < n && indexAt(i) == row)
            return *m_cells[i];
    }
    // A new row inside the owed tail is stored as the tail's rows are; one in front of it
    // moves the tail's first place by one.
    int stored = row;
    if (m_shiftFrom != SIZE_MAX) {
        if (i > m_shiftFrom || (i == n && i >= m_shiftFrom))
            stored = row - m_shiftBy;
        else
            ++m_shiftFrom;
    }
    m_index.insert(m_index.begin() + std::ptrdiff_t(i), stored);
    m_cells.insert(m_cells.begin() + std::ptrdiff_t(i), std::make_unique<GridRow>());
    return *m_cells[i];
}

void GridCellStore::dropIfEmpty(size_t i)
{
    if (m_cells[i]->isEmpty())
        eraseEntries(i, i + 1);
}

QString GridCellStore::text(int col, int row) const
{
    checkIndex(col, row);
    const size_t i = lowerBound(row);
    return i < m_index.size() && indexAt(i) == row ? m_cells[i]->text(col) : QString();
}

void GridCellStore::setText(int col, int row, const QString& text)
{
    checkIndex(col, row);
    if (text.isEmpty()) {
        const size_t i = lowerBound(row);
        if (i == m_index.size() || indexAt(i) != row)
            return;
        m_cells[i]->setText(col, text);
        dropIfEmpty(i);
        return;
    }
    rowForWrite(row).setText(col, text);
}

void* GridCellStore::object(int col, int row) const
{
    checkIndex(col, row);
    const size_t i = lowerBound(row);
    return i < m_index.size() && indexAt(i) == row ? m_cells[i]->object(col) : nullptr;
}

void GridCellStore::setObject(int col, int row, void* object)
{
    checkIndex(col, row);
    if (!object) {
        const size_t i = lowerBound(row);
        if (i == m_index.size() || indexAt(i) != row)
            return;
        m_cells[i]->setObject(col, nullptr);
        dropIfEmpty(i);
        return;
    }
    rowForWrite(row).setObject(col, object);
}

// --- row blocks --------------------------------------------------------------------------------

void GridCellStore::rotate(long long first, long long middle, long long last)
{
    settleShift();
    const size_t lo = lowerBound(first);
    const size_t mid = lowerBound(middle);
    const size_t hi = lowerBound(last);
    const int down = int(last - middle);
    const int up = int(middle - first);
    for (size_t i = lo; i < mid; ++i)
        m_index[i] += down;
    for (size_t i = mid; i < hi; ++i)
        m_index[i] -= up;
    if (lo < mid && mid < hi) {
        std::rotate(m_index.begin() + std::ptrdiff_t(lo), m_index.begin() + std::ptrdiff_t(mid),
                    m_index.begin() + std::ptrdiff_t(hi));
        std::rotate(m_cells.begin() + std::ptrdiff_t(lo), m_cells.begin() + std::ptrdiff_t(mid),
                    m_cells.begin() + std::ptrdiff_t(hi));
    }
}

void GridCellStore::rotateRows(int first, int middle, int last)
{
    checkRange(first, middle, last);
    rotate(first, middle, last);
}

void GridCellStore::insertRows(int first, int count, int last)
{
    if (first < 0 || count < 0 || last < first)
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (count == 0)
        return;
    eraseEntries(lowerBound(last), lowerBound((long long)last + count));
    const size_t lo = lowerBound(first);
    const size_t hi = lowerBound(last);
    if (hi == m_index.size()) {
        shiftTail(lo, count);
        return;
    }
    settleShift();
    for (size_t i = lo; i < hi; ++i)
        m_index[i] += count;
}

void GridCellStore::removeRows(int first, int count, int last)
{
    if (first < 0 || count < 0 || (long long)first + count > last)
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (count == 0)
        return;
    const size_t lo = lowerBound(first);
    eraseEntries(lo, lowerBound((long long)first + count));
    const size_t hi = lowerBound(last);
    if (hi == m_index.size()) {
        shiftTail(lo, -count);
        return;
    }
    settleShift();
    for (size_t i = lo; i < hi; ++i)
        m_index[i] -= count;
}

void GridCellStore::moveRow(int from, int to)
{
    checkIndex(0, from);
    checkIndex(0, to);
    if (from < to)
        rotate(from, (long long)from + 1, (long long)to + 1);
    else if (from > to)
        rotate(to, from, (long long)from + 1);
}

void GridCellStore::swapRows(int a, int b)
{
    checkIndex(0, a);
    checkIndex(0, b);
    if (a == b)
        return;
    if (a > b)
        std::swap(a, b);
    settleShift();
    const size_t ia = lowerBound(a);
    const size_t ib = lowerBound(b);
    const bool hasA = ia < m_index.size() && m_index[ia] == a;
    const bool hasB = ib < m_index.size() && m_index[ib] == b;
    if (hasA && hasB) {
        std::swap(m_cells[ia], m_cells[ib]);
    } else if (hasA) {
        // Row a travels to b, past the rows stored between the two, which stay.
        m_index[ia] = b;
        std::rotate(m_index.begin() + std::ptrdiff_t(ia), m_index.begin() + std::ptrdiff_t(ia + 1),
                    m_index.begin() + std::ptrdiff_t(ib));
        std::rotate(m_cells.begin() + std::ptrdiff_t(ia), m_cells.begin() + std::ptrdiff_t(ia + 1),
                    m_cells.begin() + std::ptrdiff_t(ib));
    } else if (hasB) {
        m_index[ib] = a;
        std::rotate(m_index.begin() + std::ptrdiff_t(ia), m_index.begin() + std::ptrdiff_t(ib),
                    m_index.begin() + std::ptrdiff_t(ib + 1));
        std::rotate(m_cells.begin() + std::ptrdiff_t(ia), m_cells.begin() + std::ptrdiff_t(ib),
                    m_cells.begin() + std::ptrdiff_t(ib + 1));
    }
}

void GridCellStore::clearRows(int first, int last)
{
    checkRange(first, first, last);
    eraseEntries(lowerBound(first), lowerBound(last));
}

std::vector<GridRowPtr> GridCellStore::takeRows(const std::vector<int>& rows, int last)
{
    checkAscending(rows);
    if (rows.empty())
        return {};
    if (rows.back() >= last)
        throw EInvalidGridOperation(kIndexOutOfRange);
    settleShift();
    std::vector<GridRowPtr> taken(rows.size());
    const size_t lo = lowerBound(rows.front());
    const size_t hi = lowerBound(last);
    size_t write = lo;
    size_t j = 0; // listed rows below the stored row at hand
    for (size_t i = lo; i < hi; ++i) {
        const int r = m_index[i];
        while (j < rows.size() && rows[j] < r)
            ++j;
        if (j < rows.size() && rows[j] == r) {
            taken[j] = std::move(m_cells[i]);
            ++j;
            continue;
        }
        m_index[write] = r - int(j);
        if (write != i)
            m_cells[write] = std::move(m_cells[i]);
        ++write;
    }
    eraseEntries(write, hi);
    return taken;
}

void GridCellStore::putRows(const std::vector<int>& positions, std::vector<GridRowPtr> rows, int last)
{
    checkAscending(positions);
    if (positions.size() != rows.size() || last < 0)
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (positions.empty())
        return;
    const long long k = (long long)positions.size();
    if (positions.back() >= last + k || positions.front() > last)
        throw EInvalidGridOperation(kIndexOutOfRange);
    settleShift();
    eraseEntries(lowerBound(last), lowerBound(last + k));
    const size_t lo = lowerBound(positions.front());
    const size_t hi = lowerBound(last);
    size_t added = 0;
    for (const GridRowPtr& r : rows)
        added += r ? 1 : 0; // rows are not looked into: at this size each look is a cache miss
    if (added == 0) {
        // Only empty rows: the stored rows are renumbered, nothing moves. A row at old index i
        // moves down by the puts whose position minus their rank is <= i: runs of rows between
        // two such thresholds move by the same amount, the last run (usually all of them) by k.
        size_t i = lo;
        for (size_t j = 0; j < positions.size(); ++j) {
            const int threshold = positions[j] - int(j);
            for (; i < hi && m_index[i] < threshold; ++i)
                m_index[i] += int(j);
        }
        for (; i < hi; ++i)
            m_index[i] += int(k);
        return;
    }
    // Make room for the rows that hold something and merge from the back, in place: a row at
    // old index i ends at i + (the puts whose position minus their rank is <= i). Empty rows
    // only renumber what follows them.
    const size_t oldSize = m_index.size();
    m_index.resize(oldSize + added);
    m_cells.resize(oldSize + added);
    std::move_backward(m_index.begin() + std::ptrdiff_t(hi), m_index.begin() + std::ptrdiff_t(oldSize),
                       m_index.end());
    std::move_backward(m_cells.begin() + std::ptrdiff_t(hi), m_cells.begin() + std::ptrdiff_t(oldSize),
                       m_cells.end());
    size_t write = hi + added; // one past the next place to fill
    size_t j = positions.size(); // puts not yet placed, counted from the front
    auto place = [&](size_t t) {
        if (rows[t]) {
            --write;
            m_index[write] = positions[t];
            m_cells[write] = std::move(rows[t]);
        }
    };
    for (size_t i = hi; i-- > lo;) {
        const int r = m_index[i];
        while (j > 0 && positions[j - 1] - int(j - 1) > r)
            place(--j);
        --write;
        m_index[write] = r + int(j);
        if (write != i)
            m_cells[write] = std::move(m_cells[i]);
    }
    while (j > 0)
        place(--j);
}

void GridCellStore::permuteRows(int first, const std::vector<int>& order)
{
    checkIndex(0, first);
    const int n = int(order.size());
    std::vector<int> inverse(static_cast<size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        const int from = order[size_t(i)];
        if (from < 0 || from >= n || inverse[size_t(from)] != -1)
            throw EInvalidGridOperation(kIndexOutOfRange);
        inverse[size_t(from)] = i;
    }
    settleShift();
    const size_t lo = lowerBound(first);
    const size_t hi = lowerBound((long long)first + n);
    if (lo == hi)
        return;
    // Each stored row into its new place, then the places walked in order: O(n).
    std::vector<GridRowPtr> places(static_cast<size_t>(n));
    for (size_t i = lo; i < hi; ++i)
        places[size_t(inverse[size_t(m_index[i] - first)])] = std::move(m_cells[i]);
    size_t write = lo;
    for (int i = 0; i < n; ++i) {
        if (!places[size_t(i)])
            continue;
        m_index[write] = first + i;
        m_cells[write] = std::move(places[size_t(i)]);
        ++write;
    }
}

// --- columns -----------------------------------------------------------------------------------

void GridCellStore::rotateColumns(int first, int middle, int last)
{
    checkRange(first, middle, last);
    for (GridRowPtr& row : m_cells)
        row->rotateColumns(first, middle, last);
}

void GridCellStore::moveColumn(int from, int to)
{
    checkIndex(from, 0);
    checkIndex(to, 0);
    if (from < to)
        rotateColumns(from, from + 1, int(std::min<long long>((long long)to + 1, INT_MAX)));
    else if (from > to)
        rotateColumns(to, from, int(std::min<long long>((long long)from + 1, INT_MAX)));
}

void GridCellStore::clear()
{
    m_index.clear();
    m_cells.clear();
    m_shiftFrom = SIZE_MAX;
    m_shiftBy = 0;
}

qsizetype GridCellStore::textCount() const
{
    qsizetype n = 0;
    for (const GridRowPtr& row : m_cells)
        n += qsizetype(row->texts().size());
    return n;
}

qsizetype GridCellStore::objectCount() const
{
    qsizetype n = 0;
    for (const GridRowPtr& row : m_cells)
        n += qsizetype(row->objects().size());
    return n;
}

} // namespace platform
