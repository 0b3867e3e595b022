#pragma once
// Printing for the program's controls, on Qt's print support: a control lays its pages out in
// 0.1 mm on a PrintSurface (a printer, a PDF file, a preview); the surface sets the painter up
// so that one unit is 0.1 mm with y growing downwards from the page's top-left corner.
#include <QPainter>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace platform {

class PrintSurface {
public:
    virtual ~PrintSurface() = default;
    // The printable page in 0.1 mm.
    virtual QSizeF PageSize() const = 0;
    virtual QPainter& Painter() = 0;
    // Starts the next page; false when the device refuses.
    virtual bool NewPage() = 0;
    // Device dots per inch, for what the control measures in screen pixels.
    virtual double Resolution() const = 0;
};

// A surface on a paged device (QPrinter, QPdfWriter); the painter is begun on construction
// and ended with the surface.
class PagedSurface : public PrintSurface {
public:
    explicit PagedSurface(QPagedPaintDevice* device);
    ~PagedSurface() override;
    bool IsActive() const { return m_painter.isActive(); }
    QSizeF PageSize() const override;
    QPainter& Painter() override { return m_painter; }
    bool NewPage() override;
    double Resolution() const override;

private:
    void setUp();
    QPagedPaintDevice* m_device;
    QPainter m_painter;
};

// A surface on a painter that is already active (a widget, a picture): the page is the
// rectangle `area` of the device (in its pixels), at the device's resolution; there is one
// page only (NewPage draws on the same area again).
class PainterSurface : public PrintSurface {
public:
    PainterSurface(QPainter& painter, const QRect& area);
    ~PainterSurface() override;
    QSizeF PageSize() const override;
    QPainter& Painter() override { return m_painter; }
    bool NewPage() override { return false; }
    double Resolution() const override;

private:
    QPainter& m_painter;
    QRect m_area;
};

// Default: the printer's own orientation.
enum class PaperOrientation { Portrait, Landscape, Default };

// Writes a PDF file (A4 unless told otherwise) through draw, which gets the surface; the file
// goes through a temporary file and is renamed when complete. Raises platform::Exception when
// the file cannot be written.
void printToPdf(const QString& fileName, const QString& title, PaperOrientation orientation,
                const std::function<void(PrintSurface&)>& draw);
// The system's print dialog and printer; false when the user cancelled or there is no printer.
bool printWithDialog(QWidget* parent, const QString& title, PaperOrientation orientation,
                     const std::function<void(PrintSurface&)>& draw);
// A preview window (Qt's print preview) that draws the pages through draw; returns the
// preview widget's page count after the first layout (for tests: without showing it modally
// when exec is false).
int printPreview(QWidget* parent, const QString& title, PaperOrientation orientation,
                 const std::function<void(PrintSurface&)>& draw, bool exec = true);

} // namespace platform
