#include "platform/print/Print.h"

#include "platform/core/Errors.h"
#include "platform/fs/Files.h"

#include <QDialog>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace platform {

PagedSurface::PagedSurface(QPagedPaintDevice* device) : m_device(device)
{
    if (m_painter.begin(device))
        setUp();
}

PagedSurface::~PagedSurface()
{
    if (m_painter.isActive())
        m_painter.end();
}

void PagedSurface::setUp()
{
    const double dotsPerUnit = Resolution() / 254.0;
    m_painter.resetTransform();
    m_painter.scale(dotsPerUnit, dotsPerUnit);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

QSizeF PagedSurface::PageSize() const
{
    const QRectF mm = m_device->pageLayout().paintRect(QPageLayout::Millimeter);
    return QSizeF(mm.width() * 10.0, mm.height() * 10.0);
}

bool PagedSurface::NewPage()
{
    const bool ok = m_device->newPage();
    setUp();
    return ok;
}

double PagedSurface::Resolution() const
{
    return m_device->logicalDpiX();
}

PainterSurface::PainterSurface(QPainter& painter, const QRect& area) : m_painter(painter), m_area(area)
{
    m_painter.save();
    const double dotsPerUnit = Resolution() / 254.0;
    m_painter.translate(area.topLeft());
    m_painter.scale(dotsPerUnit, dotsPerUnit);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

PainterSurface::~PainterSurface()
{
    m_painter.restore();
}

QSizeF PainterSurface::PageSize() const
{
    const double unitsPerDot = 254.0 / Resolution();
    return QSizeF(m_area.width() * unitsPerDot, m_area.height() * unitsPerDot);
}

double PainterSurface::Resolution() const
{
    const QPaintDevice* device = m_painter.device();
    return device && device->logicalDpiX() > 0 ? device->logicalDpiX() : 96.0;
}

namespace {

// Sets the orientation unless the printer's own one is asked for.
void orient(QPagedPaintDevice& device, PaperOrientation o)
{
    if (o != PaperOrientation::Default)
        device.setPageOrientation(o == PaperOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

} // namespace

void printToPdf(const QString& fileName, const QString& title, PaperOrientation orientation,
                const std::function<void(PrintSurface&)>& draw)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("print.pdf"));
    {
        QPdfWriter writer(path);
        writer.setTitle(title);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        orient(writer, orientation);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        PagedSurface surface(&writer);
        if (!surface.IsActive())
            throw Exception(QStringLiteral("Cannot create file ") + fileName);
        draw(surface);
    }
    QString error;
    const auto bytes = readWholeFile(path, &error);
    if (!bytes || !writeWholeFile(fileName, *bytes, &error))
        throw Exception(QStringLiteral("Cannot create file %1: %2").arg(fileName, error));
}

bool printWithDialog(QWidget* parent, const QString& title, PaperOrientation orientation,
                     const std::function<void(PrintSurface&)>& draw)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    orient(printer, orientation);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    PagedSurface surface(&printer);
    if (!surface.IsActive())
        return false;
    draw(surface);
    return true;
}

int printPreview(QWidget* parent, const QString& title, PaperOrientation orientation,
                 const std::function<void(PrintSurface&)>& draw, bool exec)
{
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setDocName(title);
    orient(printer, orientation);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QDialog dialog(parent);
    dialog.setWindowTitle(title.isEmpty() ? QStringLiteral("Print preview") : title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* preview = new QPrintPreviewWidget(&printer, &dialog);
    layout->addWidget(preview);
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, [&draw](QPrinter* p) {
        PagedSurface surface(p);
        if (surface.IsActive())
            draw(surface);
    });
    preview->updatePreview();
    const int pages = preview->pageCount();
    if (exec) {
        dialog.resize(800, 900);
        dialog.exec();
    }
    return pages;
}

} // namespace platform
