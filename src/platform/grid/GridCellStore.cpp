#include "platform/grid/GridCellStore.h"

#include <algorithm>

namespace platform {

namespace {

template <typename Cell>
auto findCell(std::vector<Cell>& cells, int col)
{
    return std::lower_bound(cells.begin(), cells.end(), col,
                            [](const Cell& c, int k) { return c.col < k; });
}

template <typename Cell>
auto findCell(const std::vector<Cell>& cells, int col)
{
    return std::lower_bound(cells.begin(), cells.end(), col,
                            [](const Cell& c, int k) { return c.col < k; });
}

// Renumbers the cells of one row for a column move from `from` to `to` and restores the order.
template <typename Cell>
void moveCells(std::vector<Cell>& cells, int from, int to)
{
    const int lo = std::min(from, to);
    const int hi = std::max(from, to);
    auto first = findCell(cells, lo);
    auto last = std::upper_bound(first, cells.end(), hi, [](int k, const Cell& c) { return k < c.col; });
    if (first == last)
        return;
    for (auto it = first; it != last; ++it) {
        if (it->col == from)
            it->col = to;
        else
            it->col += from < to ? -1 : 1;
    }
    std::sort(first, last, [](const Cell& a, const Cell& b) { return a.col < b.col; });
}

int pageOf(int row) { return row / GridCellStore::kRowsPerPage; }
int slotOf(int row) { return row % GridCellStore::kRowsPerPage; }

} // namespace

GridCellStore::GridCellStore() = default;
GridCellStore::~GridCellStore() = default;

void GridCellStore::checkIndex(int col, int row)
{
    if (col < 0 || row < 0)
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
}

const GridCellStore::Row* GridCellStore::findRow(int row) const
{
    const auto it = m_pages.find(pageOf(row));
    if (it == m_pages.end())
        return nullptr;
    return it->second->rows[size_t(slotOf(row))].get();
}

GridCellStore::Row& GridCellStore::rowForWrite(int row)
{
    auto& page = m_pages[pageOf(row)];
    if (!page)
        page = std::make_unique<Page>();
    auto& r = page->rows[size_t(slotOf(row))];
    if (!r) {
        r = std::make_unique<Row>();
        ++page->used;
    }
    return *r;
}

void GridCellStore::dropIfEmpty(int row)
{
    const auto it = m_pages.find(pageOf(row));
    if (it == m_pages.end())
        return;
    auto& r = it->second->rows[size_t(slotOf(row))];
    if (r && r->isEmpty()) {
        r.reset();
        if (--it->second->used == 0)
            m_pages.erase(it);
    }
}

QString GridCellStore::text(int col, int row) const
{
    checkIndex(col, row);
    const Row* r = findRow(row);
    if (!r)
        return QString();
    const auto it = findCell(r->texts, col);
    return it != r->texts.end() && it->col == col ? it->text : QString();
}

void GridCellStore::setText(int col, int row, const QString& text)
{
    checkIndex(col, row);
    if (text.isEmpty()) {
        const Row* found = findRow(row);
        if (!found)
            return;
        Row& r = const_cast<Row&>(*found);
        const auto it = findCell(r.texts, col);
        if (it != r.texts.end() && it->col == col) {
            r.texts.erase(it);
            dropIfEmpty(row);
        }
        return;
    }
    Row& r = rowForWrite(row);
    const auto it = findCell(r.texts, col);
    if (it != r.texts.end() && it->col == col)
        it->text = text;
    else
        r.texts.insert(it, TextCell{col, text});
}

void* GridCellStore::object(int col, int row) const
{
    checkIndex(col, row);
    const Row* r = findRow(row);
    if (!r)
        return nullptr;
    const auto it = findCell(r->objects, col);
    return it != r->objects.end() && it->col == col ? it->object : nullptr;
}

void GridCellStore::setObject(int col, int row, void* object)
{
    checkIndex(col, row);
    if (!object) {
        const Row* found = findRow(row);
        if (!found)
            return;
        Row& r = const_cast<Row&>(*found);
        const auto it = findCell(r.objects, col);
        if (it != r.objects.end() && it->col == col) {
            r.objects.erase(it);
            dropIfEmpty(row);
        }
        return;
    }
    Row& r = rowForWrite(row);
    const auto it = findCell(r.objects, col);
    if (it != r.objects.end() && it->col == col)
        it->object = object;
    else
        r.objects.insert(it, ObjectCell{col, object});
}

void GridCellStore::moveRow(int from, int to)
{
    checkIndex(0, from);
    checkIndex(0, to);
    if (from == to)
        return;
    // Rotate the rows between the two places by one. Pages are looked up once each (the two
    // rows of a step share a page except at page edges), stretches without pages are skipped
    // whole, and pages left empty are dropped at the end.
    auto lookup = [this](int pageIndex) -> Page* {
        const auto it = m_pages.find(pageIndex);
        return it == m_pages.end() ? nullptr : it->second.get();
    };
    auto create = [this](int pageIndex) -> Page* {
        auto& p = m_pages[pageIndex];
        if (!p)
            p = std::make_unique<Page>();
        return p.get();
    };
    const int step = from < to ? 1 : -1;
    std::unique_ptr<Row> moving;
    if (Page* p = lookup(pageOf(from)); p && p->rows[size_t(slotOf(from))]) {
        moving = std::move(p->rows[size_t(slotOf(from))]);
        --p->used;
    }
    int r = from; // the slot that is empty now and takes the next row
    Page* pr = lookup(pageOf(r));
    while (r != to) {
        const int next = r + step;
        const int pageNext = pageOf(next);
        Page* pn = pageNext == pageOf(r) ? pr : lookup(pageNext);
        if (!pn) {
            // Rows next .. stop hold nothing: after the shift r .. stop - step hold nothing
            // either, and stop is the next slot to fill.
            const int edge = step > 0 ? (pageNext + 1) * kRowsPerPage - 1 : pageNext * kRowsPerPage;
            r = step > 0 ? std::min(edge, to) : std::max(edge, to);
            pr = nullptr;
            continue;
        }
        auto& src = pn->rows[size_t(slotOf(next))];
        if (src) {
            if (!pr)
                pr = create(pageOf(r));
            pr->rows[size_t(slotOf(r))] = std::move(src);
            ++pr->used;
            --pn->used;
        }
        r = next;
        pr = pn;
    }
    if (moving) {
        if (!pr)
            pr = create(pageOf(to));
        pr->rows[size_t(slotOf(to))] = std::move(moving);
        ++pr->used;
    }
    auto it = m_pages.lower_bound(pageOf(std::min(from, to)));
    const int lastPage = pageOf(std::max(from, to));
    while (it != m_pages.end() && it->first <= lastPage)
        it = it->second->used == 0 ? m_pages.erase(it) : std::next(it);
}

void GridCellStore::moveColumn(int from, int to)
{
    checkIndex(from, 0);
    checkIndex(to, 0);
    if (from == to)
        return;
    for (auto& [index, page] : m_pages) {
        for (auto& row : page->rows) {
            if (!row)
                continue;
            moveCells(row->texts, from, to);
            moveCells(row->objects, from, to);
        }
    }
}

void GridCellStore::clear() { m_pages.clear(); }

qsizetype GridCellStore::textCount() const
{
    qsizetype n = 0;
    for (const auto& [index, page] : m_pages)
        for (const auto& row : page->rows)
            if (row)
                n += qsizetype(row->texts.size());
    return n;
}

qsizetype GridCellStore::objectCount() const
{
    qsizetype n = 0;
    for (const auto& [index, page] : m_pages)
        for (const auto& row : page->rows)
            if (row)
                n += qsizetype(row->objects.size());
    return n;
}

} // namespace platform
