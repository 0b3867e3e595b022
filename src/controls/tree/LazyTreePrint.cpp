// Printing: the whole tree painted into one picture, scaled to the printer by the font heights
// on both devices and cut into pages row by row. A picture one page and one row high takes two
// pages, one exactly two pages wide two page columns: the page counts are rounded up, so no
// blank page is printed.
#include "controls/tree/LazyTree.h"
#include "platform/qttransfer/Printer.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace controls {

using platform::Rect;

void TBaseLazyTree::Print(platform::Printer* Printer, bool PrintHeader)
{
    if (!Printer)
        return;
    BeginUpdate();
    const platform::Color savedColor = FColor;
    try {
        const Rect treeRect = GetTreeRect();
        const bool withHeader = PrintHeader && FHeader->Options().contains(hoVisible);
        const int headerHeight = withHeader ? FHeader->Height() : 0;
        platform::Bitmap image(treeRect.width(), treeRect.height() + headerHeight, platform::clWhite,
                               platform::PixelFormat::pf32bit);
        {
            platform::Canvas canvas(image);
            FColor = platform::clWhite;
            if (withHeader) {
                const QFont savedHeaderFont = FHeader->Font();
                QFont headerFont = savedHeaderFont;
                headerFont.setStyleStrategy(QFont::PreferAntialias);
                FHeader->SetFont(headerFont);
                FHeader->Columns().PaintHeader(canvas, Rect{0, 0, treeRect.width(), headerHeight}, QPoint(0, 0));
                FHeader->SetFont(savedHeaderFont);
            }
            PaintTree(canvas, treeRect, QPoint(0, headerHeight), {poGridLines}, platform::PixelFormat::pf32bit);
            FColor = savedColor;
        }
        if (!Printer->BeginDoc())
            throw ELazyTreeError(QStringLiteral("The printer cannot start the document."));
        QPainter& painter = Printer->Canvas();
        // The printer's font is the tree's in points, so that it keeps its size on paper.
        QFont printerFont = font();
        if (printerFont.pixelSize() > 0)
            printerFont.setPointSizeF(printerFont.pixelSize() * 72.0 / std::max(1, logicalDpiY()));
        painter.setFont(printerFont);
        const double screenHeight = QFontMetrics(font(), this).boundingRect(QStringLiteral("Tj")).height();
        const double printerHeight = QFontMetrics(printerFont, Printer->Device()).boundingRect(QStringLiteral("Tj")).height();
        const double scale = screenHeight > 0 ? printerHeight / screenHeight : 1.0;
        const int pageHeight = std::max(1, int(std::lround(Printer->PageHeight() / scale)));
        const int pageWidth = std::max(1, int(std::lround(Printer->PageWidth() / scale)));
        const int horizontalPages = std::max(1, (image.width() + pageWidth - 1) / pageWidth);
        const int verticalPages = std::max(1, (image.height() + pageHeight - 1) / pageHeight);
        QImage page(pageWidth, pageHeight, QImage::Format_RGB32);
        for (int v = 0; v < verticalPages; ++v) {
            for (int h = 0; h < horizontalPages; ++h) {
                page.fill(Qt::white);
                {
                    QPainter copy(&page);
                    copy.drawImage(QPoint(0, 0), image.image(), QRect(h * pageWidth, v * pageHeight, pageWidth, pageHeight));
                }
                painter.drawImage(QRect(0, 0, Printer->PageWidth(), Printer->PageHeight() - 1), page);
                if (h + 1 < horizontalPages || v + 1 < verticalPages)
                    Printer->NewPage();
            }
        }
        Printer->EndDoc();
    } catch (...) {
        // An interrupted print writes no document.
        FColor = savedColor;
        EndUpdate();
        throw;
    }
    EndUpdate();
}

} // namespace controls
