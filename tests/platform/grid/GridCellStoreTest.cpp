#include "platform/grid/GridCellStore.h"

#include <QString>
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <random>

using namespace platform;

namespace {

void* obj(int n) { return reinterpret_cast<void*>(quintptr(0x1000 + 16 * n)); }

// A plain reference model: every cell as a map entry.
struct Model {
    std::map<std::pair<int, int>, QString> texts;   // (row, col)
    std::map<std::pair<int, int>, void*> objects;

    template <typename M>
    static void moveRows(M& m, int from, int to)
    {
        M out;
        for (const auto& [key, v] : m) {
            int r = key.first;
            if (r == from)
                r = to;
            else if (from < to && r > from && r <= to)
                --r;
            else if (from > to && r >= to && r < from)
                ++r;
            out[{r, key.second}] = v;
        }
        m.swap(out);
    }
    template <typename M>
    static void moveCols(M& m, int from, int to)
    {
        M out;
        for (const auto& [key, v] : m) {
            int c = key.second;
            if (c == from)
                c = to;
            else if (from < to && c > from && c <= to)
                --c;
            else if (from > to && c >= to && c < from)
                ++c;
            out[{key.first, c}] = v;
        }
        m.swap(out);
    }
};

void expectSame(const GridCellStore& s, const Model& m, int maxCol, int maxRow)
{
    for (int r = 0; r <= maxRow; ++r) {
        for (int c = 0; c <= maxCol; ++c) {
            const auto t = m.texts.find({r, c});
            ASSERT_EQ(s.text(c, r), t == m.texts.end() ? QString() : t->second) << "text at " << c << "," << r;
            const auto o = m.objects.find({r, c});
            ASSERT_EQ(s.object(c, r), o == m.objects.end() ? nullptr : o->second) << "object at " << c << "," << r;
        }
    }
    EXPECT_EQ(s.textCount(), qsizetype(m.texts.size()));
    EXPECT_EQ(s.objectCount(), qsizetype(m.objects.size()));
}

} // namespace

TEST(GridCellStore, NegativeIndexesRaiseAndChangeNothing)
{
    GridCellStore s;
    s.setText(1, 1, QStringLiteral("keep"));
    s.setObject(1, 1, obj(1));
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"text col", [&] { (void)s.text(-1, 0); }},
        {"text row", [&] { (void)s.text(0, -1); }},
        {"set text", [&] { s.setText(-1, 1, QStringLiteral("x")); }},
        {"set text row", [&] { s.setText(1, -3, QStringLiteral("x")); }},
        {"object", [&] { (void)s.object(-2, 1); }},
        {"set object", [&] { s.setObject(1, -1, obj(2)); }},
        {"move row from", [&] { s.moveRow(-1, 1); }},
        {"move row to", [&] { s.moveRow(1, -1); }},
        {"move col from", [&] { s.moveColumn(-1, 1); }},
        {"move col to", [&] { s.moveColumn(1, -5); }},
    };
    for (const auto& [name, call] : calls) {
        try {
            call();
            ADD_FAILURE() << name << ": no error";
        } catch (const EInvalidGridOperation& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Grid index out of range")) << name;
        }
        EXPECT_EQ(s.text(1, 1), QStringLiteral("keep")) << name;
        EXPECT_EQ(s.object(1, 1), obj(1)) << name;
        EXPECT_EQ(s.textCount(), 1) << name;
        EXPECT_EQ(s.objectCount(), 1) << name;
    }
}

TEST(GridCellStore, TakesMemoryOnlyForWhatIsWritten)
{
    GridCellStore s;
    EXPECT_EQ(s.text(400, 2'000'000'000), QString());
    EXPECT_EQ(s.storedRowCount(), 0) << "reading creates nothing";
    s.setText(3, 900'000, QStringLiteral("far"));
    s.setText(2'000'000'000, 2'000'000'000, QStringLiteral("very far"));
    EXPECT_EQ(s.storedRowCount(), 2);
    EXPECT_EQ(s.textCount(), 2);
    EXPECT_EQ(s.text(3, 900'000), QStringLiteral("far"));
    EXPECT_EQ(s.text(2'000'000'000, 2'000'000'000), QStringLiteral("very far"));
    // An empty text with no object is no cell: the rows go away again.
    s.setText(3, 900'000, QString());
    s.setText(2'000'000'000, 2'000'000'000, QString());
    EXPECT_EQ(s.storedRowCount(), 0);
    // A cell holding only an object stays until the object goes too.
    s.setObject(0, 5, obj(1));
    s.setText(0, 5, QStringLiteral("t"));
    s.setText(0, 5, QString());
    EXPECT_EQ(s.object(0, 5), obj(1));
    s.setObject(0, 5, nullptr);
    EXPECT_EQ(s.storedRowCount(), 0);
}

TEST(GridCellStore, RowMovesCarryTextsAndObjects)
{
    // Between stored rows, onto and off stored rows, across empty stretches; both directions.
    struct Case {
        int from;
        int to;
    };
    const Case cases[] = {{0, 9}, {9, 0}, {2, 600}, {600, 2}, {255, 256}, {256, 255}, {10, 2000},
                          {2000, 10}, {511, 1}, {3, 3}, {700, 1000}, {1000, 700}};
    for (const Case& c : cases) {
        GridCellStore s;
        Model m;
        const int rows[] = {0, 1, 2, 9, 10, 255, 256, 257, 511, 600, 700, 1999, 2000};
        for (int r : rows) {
            for (int col : {0, 3}) {
                const QString t = QStringLiteral("%1/%2").arg(col).arg(r);
                s.setText(col, r, t);
                m.texts[{r, col}] = t;
            }
            if (r % 2 == 0) {
                s.setObject(1, r, obj(r));
                m.objects[{r, 1}] = obj(r);
            }
        }
        s.moveRow(c.from, c.to);
        Model::moveRows(m.texts, c.from, c.to);
        Model::moveRows(m.objects, c.from, c.to);
        SCOPED_TRACE(testing::Message() << "move " << c.from << " -> " << c.to);
        expectSame(s, m, 3, 2100);
    }
}

TEST(GridCellStore, ColumnMovesAndRandomMixAgreeWithTheModel)
{
    std::mt19937 rng(11);
    GridCellStore s;
    Model m;
    for (int step = 0; step < 3000; ++step) {
        const int op = int(rng() % 6);
        const int col = int(rng() % 12);
        const int row = int(rng() % 700);
        switch (op) {
        case 0:
        case 1: {
            const QString t = (rng() % 5 == 0) ? QString() : QStringLiteral("v%1").arg(step);
            s.setText(col, row, t);
            if (t.isEmpty())
                m.texts.erase({row, col});
            else
                m.texts[{row, col}] = t;
            break;
        }
        case 2: {
            void* o = (rng() % 4 == 0) ? nullptr : obj(step);
            s.setObject(col, row, o);
            if (o)
                m.objects[{row, col}] = o;
            else
                m.objects.erase({row, col});
            break;
        }
        case 3: {
            const int to = int(rng() % 700);
            s.moveRow(row, to);
            Model::moveRows(m.texts, row, to);
            Model::moveRows(m.objects, row, to);
            break;
        }
        case 4: {
            const int to = int(rng() % 12);
            s.moveColumn(col, to);
            Model::moveCols(m.texts, col, to);
            Model::moveCols(m.objects, col, to);
            break;
        }
        default: break;
        }
    }
    expectSame(s, m, 12, 700);
    s.clear();
    EXPECT_EQ(s.textCount(), 0);
    EXPECT_EQ(s.storedRowCount(), 0);
}

namespace {

// A second plain model for the block operations: rows as a vector, each row a map of cells.
struct RowModel {
    struct Cell {
        QString text;
        void* object = nullptr;
        bool operator==(const Cell&) const = default;
    };
    using Row = std::map<int, Cell>;
    std::vector<Row> rows;

    void ensure(size_t n)
    {
        if (rows.size() < n)
            rows.resize(n);
    }
    void rotate(int first, int middle, int last)
    {
        ensure(size_t(last));
        std::rotate(rows.begin() + first, rows.begin() + middle, rows.begin() + last);
    }
};

RowModel::Row modelOf(const GridRow* row)
{
    RowModel::Row out;
    if (!row)
        return out;
    for (const auto& t : row->texts())
        out[t.col].text = t.text;
    for (const auto& o : row->objects())
        out[o.col].object = o.object;
    return out;
}

void expectRows(const GridCellStore& s, RowModel m, int upTo)
{
    m.ensure(size_t(upTo));
    for (int r = 0; r < upTo; ++r)
        ASSERT_EQ(modelOf(s.row(r)), m.rows[size_t(r)]) << "row " << r;
    qsizetype stored = 0;
    for (const auto& row : m.rows)
        stored += row.empty() ? 0 : 1;
    EXPECT_EQ(s.storedRowCount(), stored);
}

std::vector<int> randomSubset(std::mt19937& rng, int first, int last, int count)
{
    std::vector<int> all;
    for (int i = first; i < last; ++i)
        all.push_back(i);
    std::shuffle(all.begin(), all.end(), rng);
    all.resize(size_t(std::min<int>(count, int(all.size()))));
    std::sort(all.begin(), all.end());
    return all;
}

} // namespace

TEST(GridCellStore, BlockOperationsAgreeWithAPlainModel)
{
    constexpr int kRows = 120;
    std::mt19937 rng(2024);
    GridCellStore s;
    RowModel m;
    m.ensure(kRows + 40);
    for (int step = 0; step < 4000; ++step) {
        const int op = int(rng() % 11);
        const int a = int(rng() % kRows), b = int(rng() % kRows), c = int(rng() % kRows);
        int lo = std::min({a, b, c}), hi = std::max({a, b, c});
        int mid = a + b + c - lo - hi;
        switch (op) {
        case 0:
        case 1: { // writes, sparse: many rows stay empty
            const int col = int(rng() % 6);
            if (rng() % 3 == 0) {
                void* o = rng() % 4 == 0 ? nullptr : obj(step);
                s.setObject(col, a, o);
                m.rows[size_t(a)][col].object = o;
            } else {
                const QString t = rng() % 5 == 0 ? QString() : QStringLiteral("v%1").arg(step);
                s.setText(col, a, t);
                m.rows[size_t(a)][col].text = t;
            }
            auto& row = m.rows[size_t(a)];
            if (row[col] == RowModel::Cell())
                row.erase(col);
            break;
        }
        case 2:
            s.rotateRows(lo, mid, hi);
            m.rotate(lo, mid, hi);
            break;
        case 3:
            s.moveRow(a, b);
            if (a < b)
                m.rotate(a, a + 1, b + 1);
            else if (a > b)
                m.rotate(b, a, a + 1);
            break;
        case 4:
            s.swapRows(a, b);
            std::swap(m.rows[size_t(a)], m.rows[size_t(b)]);
            break;
        case 5:
            s.clearRows(lo, hi);
            for (int r = lo; r < hi; ++r)
                m.rows[size_t(r)].clear();
            break;
        case 6: { // take some rows out of [lo, hi) and put them back elsewhere in the range
            if (hi - lo < 2)
                break;
            const std::vector<int> taken = randomSubset(rng, lo, hi, 1 + int(rng() % 6));
            std::vector<GridRowPtr> rows = s.takeRows(taken, hi);
            std::vector<RowModel::Row> expected;
            for (auto it = taken.rbegin(); it != taken.rend(); ++it) {
                expected.insert(expected.begin(), m.rows[size_t(*it)]);
                m.rows.erase(m.rows.begin() + *it);
                m.rows.insert(m.rows.begin() + (hi - 1), RowModel::Row());
            }
            ASSERT_EQ(rows.size(), taken.size());
            for (size_t i = 0; i < rows.size(); ++i)
                ASSERT_EQ(modelOf(rows[i].get()), expected[i]) << "taken row " << taken[i];
            const int end = hi - int(taken.size());
            const std::vector<int> places = randomSubset(rng, lo, hi, int(taken.size()));
            s.putRows(places, std::move(rows), end);
            m.rows.erase(m.rows.begin() + end, m.rows.begin() + hi);
            for (size_t i = 0; i < places.size(); ++i)
                m.rows.insert(m.rows.begin() + places[i], expected[i]);
            break;
        }
        case 7: {
            std::vector<int> order(size_t(hi - lo));
            for (size_t i = 0; i < order.size(); ++i)
                order[i] = int(i);
            std::shuffle(order.begin(), order.end(), rng);
            s.permuteRows(lo, order);
            std::vector<RowModel::Row> before(m.rows.begin() + lo, m.rows.begin() + hi);
            for (size_t i = 0; i < order.size(); ++i)
                m.rows[size_t(lo) + i] = before[size_t(order[i])];
            break;
        }
        case 8: { // columns
            const int c1 = int(rng() % 7), c2 = int(rng() % 7), c3 = int(rng() % 7);
            const int cl = std::min({c1, c2, c3}), ch = std::max({c1, c2, c3}), cm = c1 + c2 + c3 - cl - ch;
            s.rotateColumns(cl, cm, ch);
            for (auto& row : m.rows) {
                RowModel::Row out;
                for (auto& [col, cell] : row) {
                    int n = col;
                    if (col >= cl && col < cm)
                        n = col + (ch - cm);
                    else if (col >= cm && col < ch)
                        n = col - (cm - cl);
                    out[n] = cell;
                }
                row.swap(out);
            }
            break;
        }
        default: { // an empty block in, or a block out, within [lo, hi); a range reaching past
                   // every stored row leaves the renumbering owed
            if (rng() % 2)
                hi = kRows + 20;
            const int count = std::min(hi - lo, 1 + int(rng() % 4));
            if (rng() % 2) {
                s.insertRows(lo, count, hi);
                m.rows.erase(m.rows.begin() + hi, m.rows.begin() + hi + count);
                m.rows.insert(m.rows.begin() + lo, size_t(count), RowModel::Row());
            } else {
                s.removeRows(lo, count, hi);
                m.rows.erase(m.rows.begin() + lo, m.rows.begin() + lo + count);
                m.rows.insert(m.rows.begin() + (hi - count), size_t(count), RowModel::Row());
            }
            break;
        }
        }
        SCOPED_TRACE(testing::Message() << "step " << step << " op " << op);
        expectRows(s, m, kRows + 40);
        if (HasFatalFailure())
            return;
    }
    expectRows(s, m, kRows + 40);
}

TEST(GridCellStore, BlockOperationsRefuseBadIndexesAndChangeNothing)
{
    GridCellStore s;
    s.setText(0, 3, QStringLiteral("keep"));
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"rotate order", [&] { s.rotateRows(5, 2, 9); }},
        {"rotate negative", [&] { s.rotateRows(-1, 2, 9); }},
        {"clear backwards", [&] { s.clearRows(4, 2); }},
        {"take unsorted", [&] { (void)s.takeRows({4, 3}, 9); }},
        {"take beyond", [&] { (void)s.takeRows({3, 9}, 9); }},
        {"put mismatch", [&] { s.putRows({1, 2}, {}, 9); }},
        {"permute twice", [&] { s.permuteRows(0, {0, 0, 1}); }},
        {"permute range", [&] { s.permuteRows(0, {0, 3}); }},
        {"swap negative", [&] { s.swapRows(-2, 3); }},
    };
    for (const auto& [name, call] : calls) {
        EXPECT_THROW(call(), EInvalidGridOperation) << name;
        EXPECT_EQ(s.text(0, 3), QStringLiteral("keep")) << name;
        EXPECT_EQ(s.storedRowCount(), 1) << name;
    }
}

TEST(GridCellStore, InsertAtTheTopMovesReferencesNotTexts)
{
    GridCellStore s;
    for (int r = 0; r < 1000; ++r)
        s.setText(0, r, QStringLiteral("row %1").arg(r));
    const QString* before = s.row(500)->findText(0);
    s.rotateRows(0, 1000, 1001); // one empty row in at the top
    EXPECT_EQ(s.row(0), nullptr);
    EXPECT_EQ(s.row(501)->findText(0), before) << "the text stayed where it was in memory";
    EXPECT_EQ(s.text(0, 1000), QStringLiteral("row 999"));
    s.rotateRows(0, 1, 1001); // and out again
    EXPECT_EQ(s.row(500)->findText(0), before);
    EXPECT_EQ(s.text(0, 0), QStringLiteral("row 0"));
}
