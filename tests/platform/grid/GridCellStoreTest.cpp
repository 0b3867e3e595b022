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
    EXPECT_EQ(s.pageCount(), 0) << "reading creates nothing";
    s.setText(3, 900'000, QStringLiteral("far"));
    s.setText(2'000'000'000, 2'000'000'000, QStringLiteral("very far"));
    EXPECT_EQ(s.pageCount(), 2);
    EXPECT_EQ(s.textCount(), 2);
    EXPECT_EQ(s.text(3, 900'000), QStringLiteral("far"));
    EXPECT_EQ(s.text(2'000'000'000, 2'000'000'000), QStringLiteral("very far"));
    // An empty text with no object is no cell: the pages go away again.
    s.setText(3, 900'000, QString());
    s.setText(2'000'000'000, 2'000'000'000, QString());
    EXPECT_EQ(s.pageCount(), 0);
    // A cell holding only an object stays until the object goes too.
    s.setObject(0, 5, obj(1));
    s.setText(0, 5, QStringLiteral("t"));
    s.setText(0, 5, QString());
    EXPECT_EQ(s.object(0, 5), obj(1));
    s.setObject(0, 5, nullptr);
    EXPECT_EQ(s.pageCount(), 0);
}

TEST(GridCellStore, RowMovesCarryTextsAndObjectsAcrossPages)
{
    // Rows near page edges, in the middle of pages and in empty stretches; both directions.
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
    EXPECT_EQ(s.pageCount(), 0);
}
