// Printing the grid to PDF: row pages with repeated fixed rows and "n/N" page numbers, column
// pages with "row-column" numbers, the preview's page count, fit to page, the page range of
// OnPrintStart, FastPrint, and grids wider than 512 columns. pdfinfo and pdftotext read the
// files we write.
#include "controls/grid/input/GridInput.h"
#include "controls/grid/print/GridPrint.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QDate>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <map>
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

namespace {

// The drawing calls of a print to PDF (the canvas call log), with the file's text.
struct LoggedPrint {
    QStringList calls;
    QString text;
    int pages = 0;
};

LoggedPrint printLogged(TGridPrinter& printer)
{
    TempDir dir;
    LoggedPrint out;
    platform::CanvasCallLog log;
    out.pages = printer.PrintToPdf(dir.file("p.pdf"));
    out.calls = log.calls();
    out.text = pdfPageText(dir.file("p.pdf"), 1);
    return out;
}

int countOf(const QStringList& calls, const QString& start)
{
    return int(std::count_if(calls.begin(), calls.end(), [&](const QString& c) { return c.startsWith(start); }));
}

} // namespace

TEST(GridPrint, CellGraphicsPrintOnlyWithPrintGraphics)
{
    auto g = tableGrid(3, 4);
    g->AddCheckBox(1, 1, true, false);
    g->AddCheckBoxColumn(2, true, true); // a data check box column: its text is the state
    g->SetCells(2, 2, g->CheckTrue);
    platform::Bitmap bitmap(32, 24, platform::clRed);
    g->AddBitmap(0, 2, &bitmap, false, haLeft, vaTop);
    TGridPrinter printer(*g);
    const int plainHeight = printer.MeasureCell(1, 3).height();

    LoggedPrint without = printLogged(printer);
    EXPECT_EQ(countOf(without.calls, "stretchDraw"), 0);
    EXPECT_FALSE(without.text.contains(QRegularExpression("\\bY\\b"))); // data check boxes print nothing

    g->PrintSettings.PrintGraphics = true;
    // The bitmap's size on paper raises its cell: 24 screen pixels are 6.35 mm at 96 dpi.
    EXPECT_EQ(printer.MeasureCell(0, 2).height(), int(std::lround(24 * 254.0 / g->logicalDpiX())));
    EXPECT_GT(printer.MeasureCell(0, 2).height(), plainHeight);
    LoggedPrint with = printLogged(printer);
    // The bitmap, the check box and the three data check boxes, each stretched onto paper.
    EXPECT_GE(countOf(with.calls, "stretchDraw"), 5) << with.calls.join('\n').toStdString();
    EXPECT_FALSE(with.text.contains(QRegularExpression("\\bY\\b")));
}

TEST(GridPrint, RotatedHtmlAndRichTextCells)
{
    auto g = tableGrid(3, 4);
    g->AddRotated(1, 1, 90, QStringLiteral("Turned"));
    g->SetCells(0, 2, QStringLiteral("<b>Bold</b> and <i>slanted</i>"));
    g->SetCells(2, 2, QStringLiteral("{\\rtf1\\ansi Rich \\b words\\b0}"));
    TGridPrinter printer(*g);
    // A text turned by 90 degrees takes its width as height.
    const QSize flat = printer.MeasureCell(1, 3);
    const QSize turned = printer.MeasureCell(1, 1);
    EXPECT_GT(turned.height(), turned.width());
    EXPECT_GT(turned.height(), flat.height());
    // HTML is measured as laid out, without its tags.
    g->SetCells(1, 3, QStringLiteral("Bold and slanted"));
    EXPECT_LE(std::abs(printer.MeasureCell(0, 2).width() - printer.MeasureCell(1, 3).width()),
              printer.MeasureCell(1, 3).width() / 5);

    const LoggedPrint out = printLogged(printer);
    EXPECT_GE(countOf(out.calls, "textOut"), 1); // the turned text
    const QString text = out.text.simplified();
    EXPECT_TRUE(text.contains("Bold and slanted")) << text.toStdString();
    EXPECT_FALSE(text.contains("<b>"));
    EXPECT_TRUE(text.contains("Rich words")) << text.toStdString();
    EXPECT_FALSE(text.contains("rtf1"));
}

TEST(GridPrint, AnHtmlTitleIsFormattedAndMakesRoomForItself)
{
    auto g = tableGrid(2, 3);
    TGridPrinter printer(*g);
    int firstRowTop = 0;
    auto measure = [&]() {
        g->OnCustomCellDraw = [&](TExtStringGridPaint*, platform::Canvas&, int, int row, TGridDrawState,
                                  const platform::Rect& r, bool printing) {
            EXPECT_TRUE(printing);
            if (row == 0)
                firstRowTop = r.top;
        };
        return printLogged(printer);
    };
    measure();
    const int plainTop = firstRowTop;
    g->PrintSettings.Title = ppTopLeft;
    g->PrintSettings.TitleLines.Add(QStringLiteral("<b>Monthly</b> report"));
    g->PrintSettings.TitleLines.Add(QStringLiteral("<i>second</i> line"));
    const LoggedPrint out = measure();
    const QString text = out.text.simplified();
    EXPECT_TRUE(text.contains("Monthly report")) << text.toStdString();
    EXPECT_TRUE(text.contains("second line"));
    EXPECT_FALSE(text.contains("<b>"));
    EXPECT_GT(firstRowTop, plainTop); // the cells start below the title
}

TEST(GridPrint, CustomCellSizeAndDrawEvents)
{
    auto g = tableGrid(2, 12);
    TGridPrinter printer(*g);
    EXPECT_EQ(printer.CountPages(kA4, TGridRect{0, 0, 1, 11}), 1);
    // A row made taller than half a page by the size event pushes the rows after it on.
    printer.OnCustomCellSize = [](platform::Canvas&, int, int row, QSize& size, bool printing) {
        EXPECT_TRUE(printing);
        if (row == 5)
            size.setHeight(2400);
    };
    EXPECT_GE(printer.CountPages(kA4, TGridRect{0, 0, 1, 11}), 2);
    std::vector<int> pageEnds;
    printer.OnPrintPageDone = [&](QPainter*, int lastRow, int, int, int, int) { pageEnds.push_back(lastRow); };
    printLogged(printer);
    ASSERT_FALSE(pageEnds.empty());
    EXPECT_EQ(pageEnds[0], 5); // the first page ends before the enlarged row
    printer.OnPrintPageDone = nullptr;
    // The draw event gets every printed cell, in the device's pixels (300 dpi for PDF files).
    printer.OnCustomCellSize = nullptr;
    int cells = 0;
    platform::Rect first{};
    g->OnCustomCellDraw = [&](TExtStringGridPaint*, platform::Canvas&, int col, int row, TGridDrawState,
                              const platform::Rect& r, bool printing) {
        ++cells;
        if (col == 0 && row == 1) {
            first = r;
            EXPECT_TRUE(printing);
        }
    };
    printLogged(printer);
    EXPECT_EQ(cells, 2 * 12);
    const double toDevice = 300.0 / 254.0;
    EXPECT_NEAR(first.width(), (g->MaxWidths[0] + 20) * toDevice, 3);
}

TEST(GridPrint, PreviewAndPrintDrawOnAnyPainter)
{
    auto g = tableGrid(3, 200);
    TGridPrinter printer(*g);
    QImage page(600, 848, QImage::Format_RGB32);
    page.fill(Qt::white);
    std::vector<int> drawn;
    bool previewFlag = false;
    printer.OnPrintPage = [&](QPainter*, int nr, int, int) {
        drawn.push_back(nr);
        previewFlag = printer.IsPrintPreview;
    };
    {
        QPainter painter(&page);
        platform::PainterSurface surface(painter, QRect(0, 0, 600, 848));
        // Setting the preview page makes the range that page: only it is drawn.
        printer.SetPreviewPage(2);
        const int count = printer.PrintPreview(surface);
        EXPECT_GT(count, 2);
        EXPECT_EQ(drawn, std::vector<int>{2});
        EXPECT_TRUE(previewFlag);
        EXPECT_FALSE(printer.IsPrintPreview);
        // PrintDraw: the first page of the grid on the same painter.
        drawn.clear();
        printer.PrintDraw(surface);
        EXPECT_EQ(drawn, std::vector<int>{1});
    }
    int dark = 0;
    for (int y = 0; y < page.height(); y += 2)
        for (int x = 0; x < page.width(); x += 2)
            dark += qGray(page.pixel(x, y)) < 128;
    EXPECT_GT(dark, 100);
}

TEST(GridPrint, EmptyCellsMergedRowsAndScreenRowHeights)
{
    auto g = tableGrid(3, 6);
    g->SetCells(1, 2, QString());
    g->SetCells(0, 2, QString());
    g->SetCells(2, 2, QString());
    TGridPrinter printer(*g);
    // An empty cell measures one line of "gh": an empty row is one text line plus an eighth.
    const QSize empty = printer.MeasureCell(1, 2);
    const QSize full = printer.MeasureCell(1, 1);
    ASSERT_GT(empty.height(), 0);
    EXPECT_EQ(empty.height(), full.height());
    printer.CountPages(kA4, TGridRect{0, 0, 2, 5});
    EXPECT_EQ(printer.PrintRowHeight(2), empty.height() + empty.height() / 8);

    // With NoAutoSizeRow every row is its screen height on paper less 0.4 mm, whatever it holds.
    g->SetCells(0, 3, QStringLiteral("one\r\ntwo\r\nthree"));
    g->Multilinecells = true;
    EXPECT_GT(printer.PrintRowHeight(3), printer.PrintRowHeight(1));
    g->PrintSettings.NoAutoSizeRow = true;
    g->setRowHeights(4, 40);
    const double unit = 254.0 / g->logicalDpiX();
    for (int row : {1, 3})
        EXPECT_EQ(printer.PrintRowHeight(row), int(std::lround(g->rowHeights(row) * unit)) - 4) << row;
    EXPECT_EQ(printer.PrintRowHeight(4), int(std::lround(40 * unit)) - 4);
    g->PrintSettings.NoAutoSizeRow = false;

    // A cell merged over two rows is drawn once, over both rows.
    g->SetCells(1, 4, QStringLiteral("Merged"));
    g->MergeCells(1, 4, 1, 2);
    std::map<std::pair<int, int>, platform::Rect> drawn;
    int draws = 0;
    g->OnCustomCellDraw = [&](TExtStringGridPaint*, platform::Canvas&, int col, int row, TGridDrawState,
                              const platform::Rect& r, bool) {
        ++draws;
        drawn[{col, row}] = r;
    };
    const LoggedPrint out = printLogged(printer);
    EXPECT_EQ(draws, 3 * 6 - 1);
    ASSERT_TRUE(drawn.count({1, 4}));
    EXPECT_FALSE(drawn.count({1, 5}));
    const platform::Rect merged = drawn[{1, 4}];
    const int twoRows = drawn[{0, 4}].height() + drawn[{0, 5}].height();
    EXPECT_NEAR(merged.height(), twoRows, 3);
    EXPECT_EQ(out.text.count(QStringLiteral("Merged")), 1);
}

TEST(GridPrint, SelectedRowsOnlyWithADisjunctRowSelection)
{
    auto g = tableGrid(3, 8);
    g->MouseActions.SetDisjunctRowSelect(true);
    g->SetRowSelect(2, true);
    g->SetRowSelect(5, true);
    TGridPrinter printer(*g);
    TempDir dir;
    int pages = 0;
    platform::printToPdf(dir.file("sel.pdf"), QString(), platform::PaperOrientation::Portrait,
                         [&](platform::PrintSurface& surface) { pages = printer.PrintSelectedRows(surface); });
    EXPECT_EQ(pages, 1);
    const QString text = pdfPageText(dir.file("sel.pdf"), 1);
    for (int r = 1; r < 8; ++r)
        EXPECT_EQ(text.contains(QStringLiteral("r%1c0").arg(r)), r == 2 || r == 5) << r << text.toStdString();
    // Every column of the selected rows, the fixed row only with FixedCellsAlways.
    EXPECT_TRUE(text.contains("r5c2"));
    EXPECT_FALSE(text.contains("Head0"));
    g->PrintSettings.FixedCellsAlways = true;
    platform::printToPdf(dir.file("sel2.pdf"), QString(), platform::PaperOrientation::Portrait,
                         [&](platform::PrintSurface& surface) { printer.PrintSelectedRows(surface); });
    EXPECT_TRUE(pdfPageText(dir.file("sel2.pdf"), 1).contains("Head0"));
}

TEST(GridPrint, HeaderAndFooterItemsJoinAtTheirPlaces)
{
    auto g = tableGrid(2, 3);
    TPrintSettings& s = g->PrintSettings;
    s.DateFormat = QStringLiteral("yyyy");
    s.TitleText = QStringLiteral("Meters");
    s.PagePrefix = QStringLiteral("Page");
    s.PageSuffix = QStringLiteral("of the list");
    s.PageNumberOffset = 4;
    const QString year = QString::number(QDate::currentDate().year());
    struct Case {
        TPrintPosition pos;
        const char* order; // T time, D date, P page, S title
    };
    // On the left each item goes in front of those before it, elsewhere behind them.
    for (const Case& k : {Case{ppTopLeft, "SPDT"}, Case{ppBottomRight, "TDPS"}, Case{ppTopCenter, "TDPS"}}) {
        s.Time = s.Date = s.PageNr = s.Title = k.pos;
        TGridPrinter printer(*g);
        const LoggedPrint out = printLogged(printer);
        ASSERT_EQ(printer.LastPageTexts.size(), 1) << printer.LastPageTexts.join('|').toStdString();
        QString expected;
        for (const char* c = k.order; *c; ++c) {
            const QString item = *c == 'T' ? QStringLiteral("\\d\\d:\\d\\d")
                                 : *c == 'D' ? year
                                 : *c == 'P' ? QStringLiteral("Page 5 of the list")
                                             : QStringLiteral("Meters");
            expected += (expected.isEmpty() ? QString() : QStringLiteral(" ")) + item;
        }
        const QRegularExpression whole(QStringLiteral("^%1$").arg(expected));
        EXPECT_TRUE(whole.match(printer.LastPageTexts[0]).hasMatch()) << printer.LastPageTexts[0].toStdString();
        EXPECT_TRUE(out.text.simplified().contains(QRegularExpression(expected))) << out.text.toStdString();
    }
    // The application has the last word on the number.
    s.Time = s.Date = s.Title = ppNone;
    TGridPrinter printer(*g);
    printer.OnPrintGetPageNum = [](int page, int, QString& text) { text = QStringLiteral("sheet %1").arg(page); };
    printLogged(printer);
    EXPECT_EQ(printer.LastPageTexts, QStringList{QStringLiteral("Page sheet 1 of the list")});
}

TEST(GridPrint, TheApplicationSteersTheJobByItsEvents)
{
    auto g = tableGrid(3, 30);
    TGridPrinter printer(*g);
    const TGridRect all{0, 0, 2, 29};
    ASSERT_EQ(printer.CountPages(kA4, all), 1);
    // A page break asked for after row 10 (the next row to print is 11).
    printer.OnPrintNewPage = [](int row, bool& newPage) { newPage = newPage || row == 11; };
    EXPECT_EQ(printer.CountPages(kA4, all), 2);
    printer.OnPrintNewPage = nullptr;

    // Widths and heights the application sets.
    printer.OnPrintSetColumnWidth = [](int col, int& width) {
        if (col == 1)
            width = 600;
    };
    printer.OnPrintSetRowHeight = [](int row, int& height) {
        if (row == 2)
            height = 300;
    };
    printer.CountPages(kA4, all);
    EXPECT_EQ(g->MaxWidths[1], 600);
    EXPECT_EQ(printer.PrintRowHeight(2), 300);
    printer.OnPrintSetColumnWidth = nullptr;
    printer.OnPrintSetRowHeight = nullptr;

    // fpCustom: the application sees the factor that fills the page and may change or refuse it.
    printer.CountPages(kA4, all);
    const int natural = g->MaxWidths[0];
    g->PrintSettings.FitToPage = fpCustom;
    double offered = 0;
    printer.OnFitToPage = [&](double& scale, bool& allow) {
        offered = scale;
        allow = false;
    };
    printer.CountPages(kA4, all);
    EXPECT_GT(offered, 1.0); // three narrow columns would grow
    EXPECT_EQ(g->MaxWidths[0], natural);
    printer.OnFitToPage = [](double& scale, bool&) { scale = 2.0; };
    printer.CountPages(kA4, all);
    EXPECT_EQ(g->MaxWidths[0], natural * 2);
    g->PrintSettings.FitToPage = fpNever;

    // Cancelled after the first page: that page stays printed, no other follows.
    auto tall = tableGrid(3, 200);
    TGridPrinter tp(*tall);
    std::vector<int> asked;
    tp.OnPrintCancel = [&](int page, bool& cancel) {
        asked.push_back(page);
        cancel = page == 1;
    };
    TempDir dir;
    tp.PrintToPdf(dir.file("cancel.pdf"));
    EXPECT_EQ(asked, std::vector<int>{1});
    EXPECT_EQ(pdfPages(dir.file("cancel.pdf")), 1);
    EXPECT_TRUE(pdfPageText(dir.file("cancel.pdf"), 1).contains("r1c0"));

    // The paper's orientation, unless the printer's own is asked for.
    auto pageSize = [&](const QString& name) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
                                              .match(tool("pdfinfo", {dir.file(name)}));
        return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
    };
    g->PrintSettings.Orientation = poLandscape;
    printer.PrintToPdf(dir.file("landscape.pdf"));
    EXPECT_GT(pageSize("landscape.pdf").width(), pageSize("landscape.pdf").height());
    g->PrintSettings.UseDefaultOrientation = true;
    printer.PrintToPdf(dir.file("default.pdf"));
    EXPECT_LT(pageSize("default.pdf").width(), pageSize("default.pdf").height());
}

TEST(GridPrint, WordWrappedCellsWrapInTheirScreenWidth)
{
    auto g = tableGrid(2, 3);
    const QString words = QStringLiteral("several words that need more than one line in a narrow column");
    g->SetCells(1, 1, words);
    g->setColWidths(1, 80);
    g->PrintSettings.NoAutoSize = true;
    TGridPrinter printer(*g);
    printer.CountPages(kA4, TGridRect{0, 0, 1, 2});
    const int oneLine = printer.MeasureCell(0, 1).height();
    g->SetWordWrap(false);
    // Without word wrap the text stays on one line however narrow the column.
    EXPECT_EQ(printer.MeasureCell(1, 1).height(), oneLine);
    g->SetWordWrap(true);
    const QSize wrapped = printer.MeasureCell(1, 1);
    EXPECT_EQ(wrapped.width(), g->MaxWidths[1]);
    EXPECT_GE(wrapped.height(), 3 * oneLine);
    // Every word is printed, none cut off at the column's edge.
    const LoggedPrint out = printLogged(printer);
    EXPECT_TRUE(out.text.simplified().contains(QStringLiteral("several words that need")));
    for (const QString& w : words.split(u' '))
        EXPECT_TRUE(out.text.contains(w)) << w.toStdString() << out.text.toStdString();
}
