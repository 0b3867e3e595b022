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

namespace {

QPageLayout::Orientation qtOrientation(PaperOrientation o)
{
    return o == PaperOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
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
        writer.setPageOrientation(qtOrientation(orientation));
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
    printer.setPageOrientation(qtOrientation(orientation));
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
    printer.setPageOrientation(qtOrientation(orientation));
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
