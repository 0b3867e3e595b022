#pragma once
// Grids for the exchange tests: a plain string grid with the whole class chain (painting,
// editing, keys), random contents drawn from a seed, and comparisons of two grids.
#include "controls/grid/input/GridInput.h"
#include "support/QtPrinters.h"

#include <QRandomGenerator>
#include <QString>
#include <gtest/gtest.h>
#include <memory>

namespace iotest {

using namespace controls::grid;

inline std::unique_ptr<TExtStringGridInput> makeGrid(int cols, int rows)
{
    auto g = std::make_unique<TExtStringGridInput>();
    g->resize(600, 400);
    g->SetColCount(cols);
    g->SetRowCount(rows);
    return g;
}

// A grid without fixed rows or columns.
inline std::unique_ptr<TExtStringGridInput> plainGrid(int cols, int rows)
{
    auto g = makeGrid(cols, rows);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    return g;
}

// What random texts are made of: every Unicode plane (BMP, supplementary, private use up to
// U+10FFFD), line breaks, tabs, quotes and the characters the formats escape.
enum TextKind {
    kAnyText,      // everything below
    kNoControls,   // without CR, LF and TAB (one-line formats)
};

inline QString randomText(QRandomGenerator& rng, TextKind kind = kAnyText)
{
    static const char32_t pool[] = {U'a', U'Z', U'0', U'9', U' ', U'"', U'\'', U',', U';', U'|', U'#', U'&', U'<',
                                    U'>', U'$', U'~', U'^', U'\\', U'=', U'\u00E9', U'\u00DF', U'\u20AC', U'\u4E2D',
                                    U'\uFB01', U'\U0001F600', U'\U00010348', U'\U0002A6D6', U'\U000E0041',
                                    U'\U000F0000', U'\U0010FFFD'};
    static const char32_t breaks[] = {U'\r', U'\n', U'\t'};
    const int len = int(rng.bounded(12));
    QString s;
    for (int i = 0; i < len; ++i) {
        char32_t c = pool[rng.bounded(int(std::size(pool)))];
        if (kind == kAnyText && rng.bounded(8) == 0)
            c = breaks[rng.bounded(3)];
        s += QString::fromUcs4(&c, 1);
    }
    if (kind == kAnyText && rng.bounded(6) == 0)
        s += QStringLiteral("\r\nline two");
    return s;
}

// Fills every cell with a random text (some left empty).
inline void fillRandom(TExtStringGrid& g, quint32 seed, TextKind kind = kAnyText)
{
    QRandomGenerator rng(seed);
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c)
            g.SetCells(c, r, rng.bounded(5) == 0 ? QString() : randomText(rng, kind));
}

inline void expectSameTexts(TExtStringGrid& a, TExtStringGrid& b, int colOffset = 0, int rowOffset = 0)
{
    for (int r = 0; r < a.RowCount(); ++r)
        for (int c = 0; c < a.ColCount(); ++c)
            ASSERT_EQ(a.Cells(c, r), b.Cells(c + colOffset, r + rowOffset)) << "cell " << c << "," << r;
}

} // namespace iotest
