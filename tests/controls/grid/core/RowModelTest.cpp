// Random sequences of row operations on random grids against a plain reference model: a vector
// of rows in real order, each with its texts, height and whether (and how) it is hidden.
#include "controls/grid/core/ExtStringGrid.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>

using namespace controls::grid;

namespace {

constexpr int kCols = 3;
constexpr int kDefaultHeight = 22;

struct ModelRow {
    QString texts[kCols];
    int height = kDefaultHeight;
    bool hidden = false;
    int level = -1; // filter level that hid it, -1 when hidden by range
};

struct Model {
    std::vector<ModelRow> rows;
    int filterLevel = 0;

    int shownCount() const
    {
        return int(std::count_if(rows.begin(), rows.end(), [](const ModelRow& r) { return !r.hidden; }));
    }
    // Real index of display row d.
    int realOf(int d) const
    {
        for (int r = 0; r < int(rows.size()); ++r)
            if (!rows[size_t(r)].hidden && d-- == 0)
                return r;
        return int(rows.size());
    }
    int displOf(int real) const
    {
        int d = 0;
        for (int r = 0; r < real && r < int(rows.size()); ++r)
            d += rows[size_t(r)].hidden ? 0 : 1;
        return d;
    }
    std::vector<int> shownReals() const
    {
        std::vector<int> out;
        for (int r = 0; r < int(rows.size()); ++r)
            if (!rows[size_t(r)].hidden)
                out.push_back(r);
        return out;
    }
    // New rows at display place d stand before the row shown there, after the hidden rows in
    // front of it; at the end they follow every row.
    void insert(int d, const std::vector<ModelRow>& block)
    {
        const int at = realOf(d);
        rows.insert(rows.begin() + at, block.begin(), block.end());
    }
    std::vector<ModelRow> removeShown(int d, int count)
    {
        std::vector<int> reals = shownReals();
        std::vector<ModelRow> out;
        for (int k = count - 1; k >= 0; --k) {
            out.insert(out.begin(), rows[size_t(reals[size_t(d + k)])]);
            rows.erase(rows.begin() + reals[size_t(d + k)]);
        }
        return out;
    }
};

void expectSame(const TExtStringGrid& g, const Model& m)
{
    ASSERT_EQ(g.RowCount(), m.shownCount());
    ASSERT_EQ(g.TotalRowCount(), int(m.rows.size()));
    ASSERT_EQ(g.NumHiddenRows(), int(m.rows.size()) - m.shownCount());
    const std::vector<int> reals = m.shownReals();
    for (int d = 0; d < g.RowCount(); ++d) {
        const ModelRow& row = m.rows[size_t(reals[size_t(d)])];
        ASSERT_EQ(g.RealRowIndex(d), reals[size_t(d)]) << "display row " << d;
        ASSERT_EQ(g.rowHeights(d), row.height) << "display row " << d;
        for (int c = 0; c < kCols; ++c)
            ASSERT_EQ(g.Cells(c, d), row.texts[c]) << "display row " << d << " column " << c;
    }
    for (int r = 0; r < int(m.rows.size()); ++r) {
        const ModelRow& row = m.rows[size_t(r)];
        ASSERT_EQ(g.IsHiddenRow(r), row.hidden) << "real row " << r;
        ASSERT_EQ(g.DisplRowIndex(r), m.displOf(r)) << "real row " << r;
        for (int c = 0; c < kCols; ++c)
            ASSERT_EQ(g.AllCells(c, r), row.texts[c]) << "real row " << r << " column " << c;
    }
    // Nothing of a removed or moved row stays behind beyond the count.
    for (int c = 0; c < kCols; ++c)
        ASSERT_EQ(g.cells(c, g.RowCount()), QString());
}

std::vector<int> randomSubset(std::mt19937& rng, int first, int last, int count)
{
    std::vector<int> all;
    for (int i = first; i < last; ++i)
        all.push_back(i);
    std::shuffle(all.begin(), all.end(), rng);
    all.resize(size_t(std::clamp(count, 0, int(all.size()))));
    std::sort(all.begin(), all.end());
    return all;
}

} // namespace

TEST(RowModelTest, RandomRowOperationsAgreeWithAPlainModel)
{
    int label = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        TExtStringGrid g;
        g.SetColCount(kCols);
        g.SetFixedRows(0);
        g.SetFixedCols(0);
        g.SetDefaultRowHeight(kDefaultHeight);
        const int rows = 2 + int(rng() % 40);
        g.SetRowCount(rows);
        Model m;
        m.rows.resize(size_t(rows));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < kCols; ++c)
                if (rng() % 4 != 0) {
                    m.rows[size_t(r)].texts[c] = QStringLiteral("t%1").arg(++label);
                    g.SetCells(c, r, m.rows[size_t(r)].texts[c]);
                }
        for (int step = 0; step < 250; ++step) {
            const int n = g.RowCount();
            const int total = g.TotalRowCount();
            const int op = int(rng() % 15);
            std::string what;
            switch (op) {
            case 0: { // write a cell
                const int d = int(rng() % unsigned(n)), c = int(rng() % kCols);
                const QString t = rng() % 5 == 0 ? QString() : QStringLiteral("w%1").arg(++label);
                g.SetCells(c, d, t);
                m.rows[size_t(m.realOf(d))].texts[c] = t;
                what = "write";
                break;
            }
            case 1: { // a row height
                const int d = int(rng() % unsigned(n)), h = 10 + int(rng() % 30);
                g.setRowHeights(d, h);
                m.rows[size_t(m.realOf(d))].height = h;
                what = "height";
                break;
            }
            case 2: { // insert
                const int d = int(rng() % unsigned(n + 1)), k = 1 + int(rng() % 4);
                g.InsertRows(d, k);
                m.insert(d, std::vector<ModelRow>(size_t(k)));
                what = "insert";
                break;
            }
            case 3: { // remove
                const int d = int(rng() % unsigned(n)), asked = 1 + int(rng() % 4);
                const int k = std::min({asked, n - d, n - 1}); // cut at the end; one row stays
                g.RemoveRows(d, asked);
                if (k > 0)
                    m.removeShown(d, k);
                what = "remove";
                break;
            }
            case 4: { // hide a range of real rows
                const int from = int(rng() % unsigned(total)), to = from + int(rng() % 5);
                g.HideRows(from, to);
                for (int r = from; r <= to && r < total && m.shownCount() > 1; ++r)
                    if (!m.rows[size_t(r)].hidden) {
                        m.rows[size_t(r)].hidden = true;
                        m.rows[size_t(r)].level = -1;
                    }
                what = "hide range";
                break;
            }
            case 5: { // a filter level
                std::vector<int> list = randomSubset(rng, 0, n, int(rng() % unsigned(n)));
                const std::vector<int> reals = m.shownReals();
                g.HideRowList(list);
                if (int(list.size()) >= n)
                    list.resize(size_t(n - 1));
                for (int d : list) {
                    m.rows[size_t(reals[size_t(d)])].hidden = true;
                    m.rows[size_t(reals[size_t(d)])].level = m.filterLevel;
                }
                ++m.filterLevel;
                what = "hide list";
                break;
            }
            case 6: { // show a range
                const int from = int(rng() % unsigned(total)), to = from + int(rng() % 6);
                g.UnHideRows(from, to);
                if (m.rows[size_t(from)].hidden)
                    for (int r = from; r <= to && r < total; ++r)
                        m.rows[size_t(r)].hidden = false;
                what = "show range";
                break;
            }
            case 7: // the last filter level
                g.UnHideRowList();
                for (ModelRow& r : m.rows)
                    if (r.hidden && r.level >= 0 && r.level == m.filterLevel - 1)
                        r.hidden = false;
                what = "show list";
                break;
            case 8:
                if (rng() % 3 != 0)
                    break;
                g.UnHideRowsAll();
                for (ModelRow& r : m.rows)
                    r.hidden = false;
                what = "show all";
                break;
            case 9: { // a block of rows to another place
                const int from = int(rng() % unsigned(n));
                const int count = 1 + int(rng() % unsigned(std::min(4, n - from)));
                int to = int(rng() % unsigned(n + 1));
                g.MoveRows(from, to, count);
                if (from + count < to)
                    to -= count;
                to = std::min(to, n - count);
                if (to != from) {
                    const std::vector<ModelRow> block = m.removeShown(from, count);
                    m.insert(to, block);
                }
                what = "move rows";
                break;
            }
            case 10: { // a permutation of display rows
                const int first = int(rng() % unsigned(n));
                const int count = 1 + int(rng() % unsigned(n - first));
                std::vector<int> order(static_cast<size_t>(count));
                for (int i = 0; i < count; ++i)
                    order[size_t(i)] = i;
                std::shuffle(order.begin(), order.end(), rng);
                g.PermuteRows(first, order);
                const std::vector<int> reals = m.shownReals();
                std::vector<ModelRow> before;
                for (int i = 0; i < count; ++i)
                    before.push_back(m.rows[size_t(reals[size_t(first + i)])]);
                for (int i = 0; i < count; ++i)
                    m.rows[size_t(reals[size_t(first + i)])] = before[size_t(order[size_t(i)])];
                what = "permute";
                break;
            }
            case 11: { // swap two display rows
                const int a = int(rng() % unsigned(n)), b = int(rng() % unsigned(n));
                g.SwapRows(a, b);
                std::swap(m.rows[size_t(m.realOf(a))], m.rows[size_t(m.realOf(b))]);
                what = "swap";
                break;
            }
            case 12: { // one row moved by the user
                const int a = int(rng() % unsigned(n)), b = int(rng() % unsigned(n));
                g.MoveRow(a, b);
                const std::vector<int> reals = m.shownReals();
                std::vector<ModelRow> shown;
                for (int r : reals)
                    shown.push_back(m.rows[size_t(r)]);
                if (a < b)
                    std::rotate(shown.begin() + a, shown.begin() + a + 1, shown.begin() + b + 1);
                else if (a > b)
                    std::rotate(shown.begin() + b, shown.begin() + a, shown.begin() + a + 1);
                for (size_t i = 0; i < reals.size(); ++i)
                    m.rows[size_t(reals[i])] = shown[i];
                what = "move row";
                break;
            }
            case 13: { // the later rows of each group of equal texts in column 0 go
                if (rng() % 4 != 0)
                    break;
                g.RemoveDuplicates(0, true);
                std::vector<QString> seen;
                std::vector<int> drop;
                const std::vector<int> reals = m.shownReals();
                for (size_t d = 0; d < reals.size(); ++d) {
                    const QString& t = m.rows[size_t(reals[d])].texts[0];
                    if (std::find(seen.begin(), seen.end(), t) != seen.end())
                        drop.push_back(int(d));
                    else
                        seen.push_back(t);
                }
                if (int(drop.size()) >= n)
                    drop.resize(size_t(n - 1));
                for (auto it = drop.rbegin(); it != drop.rend(); ++it)
                    m.removeShown(*it, 1);
                what = "remove duplicates";
                break;
            }
            default: { // free and delete
                const int d = int(rng() % unsigned(n)), asked = 1 + int(rng() % 3);
                const int k = std::min({asked, n - d, n - 1});
                g.FreeAndDeleteRows(d, asked);
                if (k > 0)
                    m.removeShown(d, k);
                what = "free and delete";
                break;
            }
            }
            SCOPED_TRACE(testing::Message() << "seed " << seed << " step " << step << " " << what);
            expectSame(g, m);
            if (HasFatalFailure())
                return;
        }
    }
}
