// Printing: the whole tree painted into one picture, scaled to the printer by the font heights
// on both devices and cut into pages row by row. The page counts are rounded up: a picture one
// page and one row high takes two pages, one exactly two pages wide two page columns, and no
// blank page is printed.
#include "controls/tree/LazyTree.h"
#include "platform/print/Print.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace controls {

using platform::Rect;

namespace {

// The tree's font as the printer takes it: in points, so that it keeps its size on paper.
QFont printerFontOf(const QFont& font, int screenDpi)
{
    QFont printerFont = font;
    if (printerFont.pixelSize() > 0)
        printerFont.setPointSizeF(printerFont.pixelSize() * 72.0 / std::max(1, screenDpi));
    return printerFont;
}

// The printable page in device pixels (the surface gives it in 0.1 mm).
QSize devicePage(platform::PrintSurface& surface)
{
    const double dotsPerUnit = surface.Resolution() / 254.0;
    return QSize(int(std::floor(surface.PageSize().width() * dotsPerUnit)),
                 int(std::floor(surface.PageSize().height() * dotsPerUnit)));
}

} // namespace

TLTPrintLayout TBaseLazyTree::PrintLayout(platform::PrintSurface& Printer, bool PrintHeader) const
{
    TLTPrintLayout layout;
    const Rect treeRect = GetTreeRect();
    layout.HeaderHeight = PrintHeader && FHeader->Options().contains(hoVisible) ? FHeader->Height() : 0;
    layout.Image = QSize(treeRect.width(), treeRect.height() + layout.HeaderHeight);
    const QFont printerFont = printerFontOf(font(), logicalDpiY());
    const double screenHeight = QFontMetrics(font(), this).boundingRect(QStringLiteral("Tj")).height();
    const double printerHeight =
        QFontMetrics(printerFont, Printer.Painter().device()).boundingRect(QStringLiteral("Tj")).height();
    layout.Scale = screenHeight > 0 ? printerHeight / screenHeight : 1.0;
    const QSize page = devicePage(Printer);
    layout.Page = QSize(std::max(1, int(std::lround(page.width() / layout.Scale))),
                        std::max(1, int(std::lround(page.height() / layout.Scale))));
    layout.HorizontalPages = std::max(1, (layout.Image.width() + layout.Page.width() - 1) / layout.Page.width());
    layout.VerticalPages = std::max(1, (layout.Image.height() + layout.Page.height() - 1) / layout.Page.height());
    return layout;
}

void TBaseLazyTree::Print(platform::PrintSurface& Printer, bool PrintHeader)
{
    BeginUpdate();
    const platform::Color savedColor = FColor;
    try {
        const TLTPrintLayout layout = PrintLayout(Printer, PrintHeader);
        const Rect treeRect = GetTreeRect();
        platform::Bitmap image(layout.Image.width(), layout.Image.height(), platform::clWhite, platform::PixelFormat::pf32bit);
        {
            platform::Canvas canvas(image);
            // The rows are painted on white paper.
            FColor = platform::clWhite;
            if (layout.HeaderHeight > 0)
                FHeader->Columns().PaintHeader(canvas, Rect{0, 0, treeRect.width(), layout.HeaderHeight}, QPoint(0, 0));
            PaintTree(canvas, treeRect, QPoint(0, layout.HeaderHeight), {poGridLines}, platform::PixelFormat::pf32bit);
            FColor = savedColor;
        }
        QPainter& painter = Printer.Painter();
        painter.setFont(printerFontOf(font(), logicalDpiY()));
        // The page in the surface's units (0.1 mm), one device pixel short at the bottom.
        const QSizeF paper = Printer.PageSize();
        const QRectF target(0, 0, paper.width(), paper.height() - 254.0 / Printer.Resolution());
        QImage page(layout.Page, QImage::Format_RGB32);
        for (int v = 0; v < layout.VerticalPages; ++v) {
            for (int h = 0; h < layout.HorizontalPages; ++h) {
                page.fill(Qt::white);
                {
                    QPainter copy(&page);
                    copy.drawImage(QPoint(0, 0), image.image(),
                                   QRect(QPoint(h * layout.Page.width(), v * layout.Page.height()), layout.Page));
                }
                painter.drawImage(target, page);
                if ((h + 1 < layout.HorizontalPages || v + 1 < layout.VerticalPages) && !Printer.NewPage())
                    throw ELazyTreeError(QStringLiteral("The printer refused a new page."));
            }
        }
    } catch (...) {
        FColor = savedColor;
        EndUpdate();
        throw;
    }
    EndUpdate();
}

} // namespace controls
