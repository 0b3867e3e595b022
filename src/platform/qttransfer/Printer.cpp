#include "platform/qttransfer/Printer.h"
#include "platform/core/Errors.h"
#include "platform/fs/Files.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

namespace platform {

PdfFilePrinter::PdfFilePrinter(const QString& fileName, int resolution, QPageSize::PageSizeId pageSize)
    : m_fileName(fileName)
    , m_folder(std::make_unique<QTemporaryDir>())
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setResolution(resolution);
    m_printer->setPageSize(QPageSize(pageSize));
    m_printer->setPageOrientation(QPageLayout::Portrait);
    m_printer->setOutputFileName(m_folder->filePath(QStringLiteral("print.pdf")));
}

PdfFilePrinter::~PdfFilePrinter()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool PdfFilePrinter::BeginDoc()
{
    if (!m_folder->isValid())
        return false;
    m_painter = std::make_unique<QPainter>();
    return m_painter->begin(m_printer.get());
}

QPainter& PdfFilePrinter::Canvas() { return *m_painter; }

QPaintDevice* PdfFilePrinter::Device() { return m_printer.get(); }

int PdfFilePrinter::PageWidth() const { return m_printer->pageLayout().paintRectPixels(m_printer->resolution()).width(); }

int PdfFilePrinter::PageHeight() const
{
    return m_printer->pageLayout().paintRectPixels(m_printer->resolution()).height();
}

void PdfFilePrinter::NewPage() { m_printer->newPage(); }

void PdfFilePrinter::EndDoc()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
    QString error;
    const std::optional<QByteArray> bytes = readWholeFile(m_printer->outputFileName(), &error);
    if (!bytes)
        throw Exception(error);
    if (!writeWholeFile(m_fileName, *bytes, &error))
        throw Exception(error);
}

} // namespace platform
