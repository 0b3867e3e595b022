// Printing the grid to PDF: row pages with repeated fixed rows and "n/N" page numbers, column
// pages with "row-column" numbers, the preview's page count, fit to page, the page range of
// OnPrintStart, FastPrint, and grids wider than 512 columns. pdfinfo and pdftotext read the
// files we write.
#include "controls/grid/input/GridInput.h"
#include "controls/grid/print/GridPrint.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace controls::grid;
using controls::grid::print::TGridPrinter;
using testing_support::TempDir;

namespace {

const QSizeF kA4(2100, 2970);

QString tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& file)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(tool("pdfinfo", {file}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pdfPageText(const QString& file, int page)
{
    return tool("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-layout", file, "-"});
}

std::unique_ptr<TExtStringGridInput> tableGrid(int cols, int rows)
{
    auto g = std::make_unique<TExtStringGridInput>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    g->SetFixedCols(0);
    g->SetFixedRows(1);
    for (int c = 0; c < cols; ++c)
        g->SetCells(c, 0, QStringLiteral("Head%1").arg(c));
    for (int r = 1; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g->SetCells(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
    g->PrintSettings.PageNr = ppBottomCenter;
    g->PrintSettings.RepeatFixedRows = true;
    g->PrintSettings.Font.setPointSize(10);
    return g;
}

} // namespace

TEST(GridPrint, ThreeRowPagesWithRepeatedHeadersAndPageNumbers)
{
    // The smallest number of rows that needs three pages.
    int rows = 20;
    for (;; rows += 5) {
        auto g = tableGrid(3, rows);
        TGridPrinter p(*g);
        if (p.CountPages(kA4, TGridRect{0, 0, 2, rows - 1}) == 3)
            break;
        ASSERT_LT(rows, 2000);
    }
    auto g = tableGrid(3, rows);
    TGridPrinter printer(*g);
    TempDir dir;
    EXPECT_EQ(printer.PrintToPdf(dir.file("rows.pdf")), 3);
    if (qEnvironmentVariableIsSet("VN_KEEP_PRINTS"))
        QFile::copy(dir.file("rows.pdf"), qEnvironmentVariable("VN_KEEP_PRINTS") + "/rows.pdf");
    ASSERT_EQ(pdfPages(dir.file("rows.pdf")), 3);
    for (int page = 1; page <= 3; ++page) {
        const QString text = pdfPageText(dir.file("rows.pdf"), page);
        EXPECT_TRUE(text.contains("Head0")) << page; // the fixed row on every page
        EXPECT_TRUE(text.contains(QStringLiteral("%1/3").arg(page))) << text.toStdString();
    }
    EXPECT_TRUE(pdfPageText(dir.file("rows.pdf"), 1).contains("r1c0"));
    EXPECT_TRUE(pdfPageText(dir.file("rows.pdf"), 3).contains(QStringLiteral("r%1c2").arg(rows - 1)));
    // A row is on exactly one page.
    int pagesWithRow5 = 0;
    for (int page = 1; page <= 3; ++page)
        pagesWithRow5 += pdfPageText(dir.file("rows.pdf"), page).contains(QRegularExpression("\\br5c0\\b"));
    EXPECT_EQ(pagesWithRow5, 1);
    // The preview lays out as many pages as the print.
    EXPECT_EQ(printer.ShowPreview(nullptr, false), 3);
}

TEST(GridPrint, WideGridsPrintInColumnPages)
{
    auto g = tableGrid(16, 6);
    for (int c = 0; c < 16; ++c)
        g->SetCells(c, 1, QStringLiteral("a rather long cell text %1").arg(c));
    g->SetFixedCols(1);
    g->PrintSettings.RepeatFixedCols = true;
    TGridPrinter printer(*g);
    TempDir dir;
    const int pages = printer.PrintToPdf(dir.file("wide.pdf"));
    ASSERT_GT(pages, 1);
    if (qEnvironmentVariableIsSet("VN_KEEP_PRINTS")) // to look at the pages by hand
        QFile::copy(dir.file("wide.pdf"), qEnvironmentVariable("VN_KEEP_PRINTS") + "/wide.pdf");
    EXPECT_EQ(pdfPages(dir.file("wide.pdf")), pages);
    const QString second = pdfPageText(dir.file("wide.pdf"), 2);
    EXPECT_TRUE(second.contains("1-2")) << second.toStdString();
    EXPECT_TRUE(second.contains("Head0")); // the fixed column again
    // Fit to page (shrink) brings every column onto one page.
    g->PrintSettings.FitToPage = fpShrink;
    EXPECT_EQ(printer.CountPages(kA4, TGridRect{0, 0, 15, 5}), 1);
    int total = 0;
    for (int c = 0; c < 16; ++c)
        total += g->MaxWidths[size_t(c)] + 20;
    EXPECT_LE(total, 2100);
    // A narrow grid keeps its widths with fpShrink.
    auto narrow = tableGrid(2, 4);
    TGridPrinter np(*narrow);
    np.CountPages(kA4, TGridRect{0, 0, 1, 3});
    const int before = narrow->MaxWidths[0];
    narrow->PrintSettings.FitToPage = fpShrink;
    np.CountPages(kA4, TGridRect{0, 0, 1, 3});
    EXPECT_EQ(narrow->MaxWidths[0], before);
}

TEST(GridPrint, PageRangeFastPrintAndManyColumns)
{
    TempDir dir;
    auto g = tableGrid(3, 200);
    TGridPrinter printer(*g);
    printer.OnPrintStart = [](int, int& from, int& to) {
        from = 2;
        to = 1;
    };
    EXPECT_EQ(printer.PrintToPdf(dir.file("none.pdf")), 0);
    printer.OnPrintStart = [](int, int& from, int& to) {
        from = 2;
        to = 2;
    };
    printer.PrintToPdf(dir.file("two.pdf"));
    EXPECT_EQ(pdfPages(dir.file("two.pdf")), 1);
    EXPECT_TRUE(pdfPageText(dir.file("two.pdf"), 1).contains("2/2"));
    // Without a page count the number stands alone.
    printer.OnPrintStart = nullptr;
    printer.FastPrint = true;
    printer.PrintToPdf(dir.file("fast.pdf"));
    const QString first = pdfPageText(dir.file("fast.pdf"), 1);
    EXPECT_FALSE(first.contains("2147483647"));
    EXPECT_TRUE(first.contains(QRegularExpression("\\b1\\b")));
    // 600 columns: no column limit.
    auto wide = tableGrid(600, 3);
    TGridPrinter wp(*wide);
    EXPECT_GT(wp.CountPages(kA4, TGridRect{0, 0, 599, 2}), 10);
    EXPECT_GT(wide->MaxWidths[599], 0);
}
