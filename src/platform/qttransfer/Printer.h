#pragma once
// The printer of the tree's printing, on Qt's print support: a document is begun, painted page
// by page through a painter in device pixels and ended. PdfFilePrinter writes a PDF file; it
// is rendered into a temporary folder and then written whole (temporary file and rename), so a
// failed print leaves no half file and the previous file as it was.
#include <QPageSize>
#include <QString>
#include <memory>

class QPainter;
class QPaintDevice;
class QPrinter;
class QTemporaryDir;

namespace platform {

class Printer {
public:
    virtual ~Printer() = default;
    // Starts the document (and its first page); false when the device refuses.
    virtual bool BeginDoc() = 0;
    // The painter of the document, between BeginDoc and EndDoc.
    virtual QPainter& Canvas() = 0;
    virtual QPaintDevice* Device() = 0;
    // The printable area of a page, in device pixels.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual void NewPage() = 0;
    // Ends the document; raises platform::Exception when it cannot be written.
    virtual void EndDoc() = 0;
};

// A PDF file at `resolution` dots per inch on paper of `pageSize`, portrait.
class PdfFilePrinter final : public Printer {
public:
    PdfFilePrinter(const QString& fileName, int resolution = 300, QPageSize::PageSizeId pageSize = QPageSize::A4);
    ~PdfFilePrinter() override;
    bool BeginDoc() override;
    QPainter& Canvas() override;
    QPaintDevice* Device() override;
    int PageWidth() const override;
    int PageHeight() const override;
    void NewPage() override;
    void EndDoc() override;

private:
    QString m_fileName;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
};

} // namespace platform
