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

GridCellStore::Entries::const_iterator GridCellStore::lowerBound(int row) const
{
    return std::lower_bound(m_rows.begin(), m_rows.end(), row, [](const Entry& e, int r) { return e.row < r; });
}

GridCellStore::Entries::iterator GridCellStore::lowerBound(int row)
{
    return std::lower_bound(m_rows.begin(), m_rows.end(), row, [](const Entry& e, int r) { return e.row < r; });
}

const GridRow* GridCellStore::row(int row) const
{
    checkIndex(0, row);
    const auto it = lowerBound(row);
    return it != m_rows.end() && it->row == row ? it->cells.get() : nullptr;
}

GridRow& GridCellStore::rowForWrite(int row)
{
    // Filling a grid from the top appends.
    if (m_rows.empty() || m_rows.back().row < row) {
        m_rows.push_back(Entry{row, std::make_unique<GridRow>()});
        return *m_rows.back().cells;
    }
    auto it = lowerBound(row);
    if (it == m_rows.end() || it->row != row)
        it = m_rows.insert(it, Entry{row, std::make_unique<GridRow>()});
    return *it->cells;
}

void GridCellStore::dropIfEmpty(Entries::iterator it)
{
    if (it->cells->isEmpty())
        m_rows.erase(it);
}

QString GridCellStore::text(int col, int row) const
{
    checkIndex(col, row);
    const auto it = lowerBound(row);
    return it != m_rows.end() && it->row == row ? it->cells->text(col) : QString();
}

void GridCellStore::setText(int col, int row, const QString& text)
{
    checkIndex(col, row);
    if (text.isEmpty()) {
        const auto it = lowerBound(row);
        if (it == m_rows.end() || it->row != row)
            return;
        it->cells->setText(col, text);
        dropIfEmpty(it);
        return;
    }
    rowForWrite(row).setText(col, text);
}

void* GridCellStore::object(int col, int row) const
{
    checkIndex(col, row);
    const auto it = lowerBound(row);
    return it != m_rows.end() && it->row == row ? it->cells->object(col) : nullptr;
}

void GridCellStore::setObject(int col, int row, void* object)
{
    checkIndex(col, row);
    if (!object) {
        const auto it = lowerBound(row);
        if (it == m_rows.end() || it->row != row)
            return;
        it->cells->setObject(col, nullptr);
        dropIfEmpty(it);
        return;
    }
    rowForWrite(row).setObject(col, object);
}

// --- row blocks --------------------------------------------------------------------------------

void GridCellStore::rotateRows(int first, int middle, int last)
{
    checkRange(first, middle, last);
    const auto lo = lowerBound(first);
    const auto mid = lowerBound(middle);
    const auto hi = lowerBound(last);
    for (auto it = lo; it != mid; ++it)
        it->row += last - middle;
    for (auto it = mid; it != hi; ++it)
        it->row -= middle - first;
    std::rotate(lo, mid, hi);
}

void GridCellStore::moveRow(int from, int to)
{
    checkIndex(0, from);
    checkIndex(0, to);
    if (from == to)
        return;
    // One row out and in again: the entries between the two places are renumbered by one.
    auto a = lowerBound(std::min(from, to));
    auto b = lowerBound(std::max(from, to));
    if (from < to) {
        const bool moving = a != m_rows.end() && a->row == from;
        const auto end = b != m_rows.end() && b->row == to ? std::next(b) : b;
        for (auto it = moving ? std::next(a) : a; it != end; ++it)
            --it->row;
        if (moving) {
            a->row = to;
            std::rotate(a, std::next(a), end);
        }
    } else {
        const bool moving = b != m_rows.end() && b->row == from;
        for (auto it = a; it != b; ++it)
            ++it->row;
        if (moving) {
            b->row = to;
            std::rotate(a, b, std::next(b));
        }
    }
}

void GridCellStore::swapRows(int a, int b)
{
    checkIndex(0, a);
    checkIndex(0, b);
    if (a == b)
        return;
    if (a > b)
        std::swap(a, b);
    auto ia = lowerBound(a);
    auto ib = lowerBound(b);
    const bool hasA = ia != m_rows.end() && ia->row == a;
    const bool hasB = ib != m_rows.end() && ib->row == b;
    if (hasA && hasB) {
        std::swap(ia->cells, ib->cells);
    } else if (hasA) {
        // Row a travels to b: past the entries between the two.
        ia->row = b;
        std::rotate(ia, std::next(ia), ib);
    } else if (hasB) {
        ib->row = a;
        std::rotate(ia, ib, std::next(ib));
    }
}

void GridCellStore::clearRows(int first, int last)
{
    checkRange(first, first, last);
    m_rows.erase(lowerBound(first), lowerBound(last));
}

std::vector<GridRowPtr> GridCellStore::takeRows(const std::vector<int>& rows, int last)
{
    checkAscending(rows);
    if (rows.empty())
        return {};
    if (rows.back() >= last)
        throw EInvalidGridOperation(kIndexOutOfRange);
    std::vector<GridRowPtr> taken(rows.size());
    const auto lo = lowerBound(rows.front());
    const auto hi = lowerBound(last);
    auto write = lo;
    size_t j = 0; // listed rows below the entry at hand
    for (auto it = lo; it != hi; ++it) {
        while (j < rows.size() && rows[j] < it->row)
            ++j;
        if (j < rows.size() && rows[j] == it->row) {
            taken[j] = std::move(it->cells);
            ++j;
            continue;
        }
        it->row -= int(j);
        if (write != it)
            *write = std::move(*it);
        ++write;
    }
    m_rows.erase(write, hi);
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
    m_rows.erase(lowerBound(last), lowerBound(int(last + k)));
    const auto lo = lowerBound(positions.front());
    const auto hi = lowerBound(last);
    Entries merged;
    merged.reserve(size_t(hi - lo) + rows.size());
    size_t j = 0;
    auto emitPut = [&]() {
        if (rows[j] && !rows[j]->isEmpty())
            merged.push_back(Entry{positions[j], std::move(rows[j])});
        ++j;
    };
    for (auto it = lo; it != hi; ++it) {
        // A row at old index i ends at i + (the puts whose position minus their rank is <= i).
        while (j < positions.size() && positions[j] - int(j) <= it->row)
            emitPut();
        merged.push_back(Entry{it->row + int(j), std::move(it->cells)});
    }
    while (j < positions.size())
        emitPut();
    const auto at = m_rows.erase(lo, hi);
    m_rows.insert(at, std::make_move_iterator(merged.begin()), std::make_move_iterator(merged.end()));
}

void GridCellStore::permuteRows(int first, const std::vector<int>& order)
{
    checkIndex(0, first);
    const int n = int(order.size());
    std::vector<int> inverse(size_t(n), -1);
    for (int i = 0; i < n; ++i) {
        const int from = order[size_t(i)];
        if (from < 0 || from >= n || inverse[size_t(from)] != -1)
            throw EInvalidGridOperation(kIndexOutOfRange);
        inverse[size_t(from)] = i;
    }
    const auto lo = lowerBound(first);
    const auto hi = lowerBound(int((long long)first + n));
    if (lo == hi)
        return;
    // Each stored row into its new place, then the places walked in order: O(n).
    std::vector<GridRowPtr> places(static_cast<size_t>(n));
    for (auto it = lo; it != hi; ++it)
        places[size_t(inverse[size_t(it->row - first)])] = std::move(it->cells);
    auto write = lo;
    for (int i = 0; i < n; ++i) {
        if (!places[size_t(i)])
            continue;
        write->row = first + i;
        write->cells = std::move(places[size_t(i)]);
        ++write;
    }
}

// --- columns -----------------------------------------------------------------------------------

void GridCellStore::rotateColumns(int first, int middle, int last)
{
    checkRange(first, middle, last);
    for (Entry& e : m_rows)
        e.cells->rotateColumns(first, middle, last);
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

void GridCellStore::clear() { m_rows.clear(); }

qsizetype GridCellStore::textCount() const
{
    qsizetype n = 0;
    for (const Entry& e : m_rows)
        n += qsizetype(e.cells->texts().size());
    return n;
}

qsizetype GridCellStore::objectCount() const
{
    qsizetype n = 0;
    for (const Entry& e : m_rows)
        n += qsizetype(e.cells->objects().size());
    return n;
}

} // namespace platform
