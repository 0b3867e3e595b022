#pragma once
// Printing the string grid: the print job and page layout, and the printed cells.
//
// Pages are laid out in 0.1 mm, y growing downwards from the page's top edge. Every printed
// column is as wide as its widest printed cell (or its screen width with NoAutoSize, or
// FixedWidth), plus the column spacing; with FitToPage the widths and the fonts are scaled so
// that the columns fill the page width. Columns that do not fit form further column pages (the
// fixed columns repeated on each with RepeatFixedCols); rows that do not fit go to the next
// page whole (the fixed rows repeated at the top of each with RepeatFixedRows); a row taller
// than a page prints alone on its page. Each page gets the header and footer items of
// PrintSettings (time, date, page number, title: plain lines or, when the title lines hold
// HTML, the formatted block) at their positions and a frame by PrintSettings.Borders. The page
// number is "n/N" with PageNumSep and more than one page, "row page-column page" when there are
// column pages, and n alone when the count is not known (FastPrint).
//
// A printed cell takes its look from the grid's visual properties in print mode (the print
// colours and fonts; a column grid's per column). Plain text is laid out in 0.1 mm: one line
// (URL markup reduced, rotated text turned), several lines, or word-wrapped with NoAutoSize.
// HTML and RTF texts, and what OnCustomCellDraw draws, are drawn in the device's own pixels, so
// that point sizes keep their size on every printer. With PrintGraphics the cell graphics print
// too: bitmaps, icons, image-list images, check boxes and radio buttons, node glyphs, radio
// groups, pictures, progress bars and pies, and graphics drawn by an interface; each is drawn at
// its screen size and stretched to its size on paper.
//
// There is no limit on the number of columns (the width and edge lists grow with the grid).
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
    // Counts (unless FastPrint), then prints the rectangle (all cells by default) on the surface;
    // returns the pages.
    int Print(platform::PrintSurface& surface);
    int PrintRect(platform::PrintSurface& surface, const TGridRect& rect);
    int PrintSelection(platform::PrintSurface& surface);
    // All cells of the selected rows (disjunct row selection) or of the selection's rows and
    // columns; PrintSelectedCols is the same operation.
    int PrintSelectedRows(platform::PrintSurface& surface);
    int PrintSelectedCols(platform::PrintSurface& surface) { return PrintSelectedRows(surface); }
    // A PDF file of the grid (or of rect).
    int PrintToPdf(const QString& fileName);
    int PrintRectToPdf(const QString& fileName, const TGridRect& rect);
    // The pages PreviewPage() .. PageTo drawn on a preview surface; returns the page count.
    int PrintPreview(platform::PrintSurface& surface);
    int PrintPreviewRect(platform::PrintSurface& surface, const TGridRect& rect);
    int PrintPreviewSelection(platform::PrintSurface& surface);
    int PrintPreviewSelectedRows(platform::PrintSurface& surface);
    int PrintPreviewSelectedCols(platform::PrintSurface& surface) { return PrintPreviewSelectedRows(surface); }
    // The first page of the grid (or of rect) drawn on any surface, e.g. a picture.
    void PrintDraw(platform::PrintSurface& surface);
    void PrintDrawRect(platform::PrintSurface& surface, const TGridRect& rect);
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
    // The first page of the range; setting it makes the range that one page.
    int PreviewPage() const { return PageFrom; }
    void SetPreviewPage(int page) { PageFrom = PageTo = page; }
    int PageFrom = 1;
    int PageTo = 1;
    int PrintNrOfPages = 0;
    bool IsPrintPreview = false;
    QRect PrintPageRect;
    int PrintPageWidth = 0;
    int PrintColStart = 0;
    int PrintColEnd = 0;
    double FontScaleFactor = 1.0;

    // --- events ---------------------------------------------------------------------------------
    std::function<void(int pages, int& fromPage, int& toPage)> OnPrintStart;
    std::function<void(QPainter* painter, int pageNr, int pageWidth, int pageHeight)> OnPrintPage;
    std::function<void(int row, bool& newPage)> OnPrintNewPage;
    std::function<void(QPainter* painter, int lastRow, int lastRowOffset, int pageNr, int pageWidth, int pageHeight)>
        OnPrintPageDone;
    std::function<void(int pageNr, bool& cancel)> OnPrintCancel;
    std::function<void(int pageNum, int pageColNum, QString& text)> OnPrintGetPageNum;
    std::function<void(double& scale, bool& allow)> OnFitToPage;
    std::function<void(int col, int& width)> OnPrintSetColumnWidth;
    std::function<void(int row, int& height)> OnPrintSetRowHeight;
    // After each measurement of a cell that is not HTML; the size is in 0.1 mm and the canvas
    // carries the cell's font on paper.
    std::function<void(platform::Canvas& canvas, int col, int row, QSize& size, bool printing)> OnCustomCellSize;

    // The text of each page's header and footer items as last drawn (for tests).
    QStringList LastPageTexts;

private:
    int run(platform::PrintSurface* surface, TPrintMode mode, QSizeF paper, bool selectedOnly);
    int printJob(platform::PrintSurface& surface, const TGridRect& rect, bool selectedOnly);
    int previewJob(platform::PrintSurface& surface, const TGridRect& rect, bool selectedOnly);
    bool rowPrinted(int row, bool selectedOnly) const;
    bool colPrinted(int col, bool selectedOnly) const;
    QFont mapped(const QFont& f, double scale) const;
    // The HTML title: its lines joined when they hold HTML, else empty; and its height on paper.
    QString htmlTitle() const;
    int htmlTitleHeight(int pageWidth);
    void headerFooter(int rowPageNr, int colPageNr, bool columnPages, int pageCount);
    void frame(int y1, int y2, int firstCol, int lastCol, bool repeatCols);
    bool drawing() const { return m_painter && (m_mode == TPrintMode::Print || m_mode == TPrintMode::Preview); }
    bool inRange(int pageNr) const { return pageNr >= PageFrom && pageNr <= PageTo; }
    // Draws on a canvas in the device's pixels; the paper rectangle (0.1 mm) comes converted.
    void inDevice(const QRect& paper, const std::function<void(platform::Canvas&, const platform::Rect&)>& draw);
    // Device pixels of the output per screen pixel of the grid.
    double resFactor() const { return m_deviceDpi / m_gridDpi; }
    // A cell's graphic on paper inside r; the text's rectangle shrinks by the room it takes.
    void drawGraphic(platform::Canvas& canvas, int col, int row, const TCellFormat& f, QRect r, QRect& text);

    TExtStringGridPaint& m_grid;
    TGridRect m_rect{0, 0, 0, 0};
    QPainter* m_painter = nullptr;
    TPrintMode m_mode = TPrintMode::CountPrint;
    double m_gridDpi = 96.0;
    double m_deviceDpi = 96.0;
    double m_unit = 1.0; // 0.1 mm per screen pixel (F)
    int m_spacing = 20;
    int m_th = 0, m_p = 0, m_margin = 0, m_hh = 0, m_fh = 0;
    int m_pageWidth = 0, m_pageHeight = 0, m_footer = 0;
    int m_pageNr = 0;
    int m_firstCol = 0, m_lastCol = 0;
    bool m_repeatCols = false;
    bool m_selectedOnly = false;
    int m_cachedRow = -1, m_cachedHeight = 0, m_lastMeasured = 0;
};

} // namespace controls::grid::print
