#pragma once
// Printing the string grid: the print job and page layout, and the printed cells.
//
// Pages are laid out in 0.1 mm. Every printed column is as wide as its widest printed cell
// (or its screen width with NoAutoSize, or FixedWidth), plus the column spacing; with FitToPage
// the widths and the fonts are scaled so that the columns fill the page width. Columns that do
// not fit form further column pages (the fixed columns repeated on each with RepeatFixedCols);
// rows that do not fit go to the next page whole (the fixed rows repeated at the top of each
// with RepeatFixedRows). Each page gets the header and footer items of PrintSettings (time,
// date, page number, title) at their positions and a frame by PrintSettings.Borders. The page
// number is "n/N" with PageNumSep and more than one page, "row page-column page" when there
// are column pages, and n alone when the count is not known (FastPrint).
//
// There is no limit on the number of columns (the width and edge lists grow with the grid).
// Cell graphics, HTML and RTF texts print as their plain text.
#include "controls/grid/paint/GridPaint.h"
#include "platform/print/Print.h"

#include <QRect>
#include <QSizeF>
#include <functional>
#include <vector>

class QPainter;

namespace controls::grid::print {

enum class TPrintMode { Preview, Print, CountPrint, CountPreview };

class TGridPrinter {
public:
    explicit TGridPrinter(TExtStringGridPaint& grid);

    // --- entry points ---------------------------------------------------------------------------
    // Counts, then prints the rectangle (all cells by default) on the surface; returns the pages.
    int Print(platform::PrintSurface& surface);
    int PrintRect(platform::PrintSurface& surface, const TGridRect& rect);
    int PrintSelection(platform::PrintSurface& surface);
    // Selected rows (with disjunct row selection) or the selection's rows and columns.
    int PrintSelectedRows(platform::PrintSurface& surface);
    // A PDF file of the grid (or of rect).
    int PrintToPdf(const QString& fileName);
    int PrintRectToPdf(const QString& fileName, const TGridRect& rect);
    // The pages PreviewPage .. PageTo drawn on a preview surface; returns the page count.
    int PrintPreview(platform::PrintSurface& surface);
    // Only counts: the pages a print on paper of this size (0.1 mm) would take.
    int CountPages(QSizeF paper, const TGridRect& rect, bool selectedOnly = false);
    // Shows Qt's print preview of the grid; returns its page count (exec false: only lays out).
    int ShowPreview(QWidget* parent, bool exec = true);
    bool PrintWithDialog(QWidget* parent);

    // --- the printed cells -----------------------------------------------------------------------
    // Size of a cell's content on paper (real column), width and height in 0.1 mm.
    QSize MeasureCell(int col, int row);
    int PrintRowHeight(int row);
    // Draws display columns firstCol..lastCol of row with its top at y; returns the row's full height.
    int DrawPrintedRow(int y, int firstCol, int lastCol, int row);

    // --- state ------------------------------------------------------------------------------------
    bool FastPrint = false;
    int PreviewPage = 1;
    int PageFrom = 1;
    int PageTo = 1;
    int PrintNrOfPages = 0;
    QRect PrintPageRect;
    int PrintPageWidth = 0;
    int PrintColStart = 0;
    int PrintColEnd = 0;
    double FontScaleFactor = 1.0;

    // --- events ---------------------------------------------------------------------------------
    std::function<void(int pages, int& fromPage, int& toPage)> OnPrintStart;
    std::function<void(QPainter* painter, int pageNr, int pageWidth, int pageHeight)> OnPrintPage;
    std::function<void(int row, bool& newPage)> OnPrintNewPage;
    std::function<void(int lastRow, int pageNr)> OnPrintPageDone;
    std::function<void(int pageNr, bool& cancel)> OnPrintCancel;
    std::function<void(int pageNum, int pageColNum, QString& text)> OnPrintGetPageNum;
    std::function<void(double& scale, bool& allow)> OnFitToPage;
    std::function<void(int col, int& width)> OnPrintSetColumnWidth;
    std::function<void(int row, int& height)> OnPrintSetRowHeight;

    // The text of each page's header and footer items as last drawn (for tests).
    QStringList LastPageTexts;

private:
    int run(platform::PrintSurface* surface, TPrintMode mode, QSizeF paper, bool selectedOnly);
    bool rowPrinted(int row, bool selectedOnly) const;
    bool colPrinted(int col, bool selectedOnly) const;
    QFont mapped(const QFont& f, double scale) const;
    void headerFooter(int pageNr, int pageColNr, bool columnPages, int pageCount);
    void frame(int y1, int y2, int firstCol, int lastCol, bool repeatCols);
    bool drawing() const { return m_painter && (m_mode == TPrintMode::Print || m_mode == TPrintMode::Preview); }
    bool inRange(int pageNr) const { return pageNr >= PageFrom && pageNr <= PageTo; }

    TExtStringGridPaint& m_grid;
    TGridRect m_rect{0, 0, 0, 0};
    QPainter* m_painter = nullptr;
    TPrintMode m_mode = TPrintMode::CountPrint;
    double m_unit = 1.0; // 0.1 mm per screen pixel
    int m_spacing = 20;
    int m_th = 0, m_p = 0, m_margin = 0, m_hh = 0, m_fh = 0;
    int m_pageWidth = 0, m_pageHeight = 0;
    int m_pageNr = 0;
    int m_firstCol = 0, m_lastCol = 0;
    bool m_repeatCols = false;
    int m_cachedRow = -1, m_cachedHeight = 0;
};

} // namespace controls::grid::print
