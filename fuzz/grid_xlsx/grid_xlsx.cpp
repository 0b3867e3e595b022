// .xlsx workbooks: any bytes load or end in "Incorrect XLSX file"; what loads from a sheet is
// written again and reads back to the same texts.
#include "GuiHarness.h"
#include "OfficeFileHarness.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/Office.h"
#include "controls/grid/io/XlsxReader.h"
#include "platform/core/Errors.h"

#include <cstdint>
#include <cstdlib>

VN_GUI_HARNESS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const io::XlsxBook book = io::ReadXlsx(bytes);
        for (const io::XlsxSheet& s : book.sheets)
            for (const io::XlsxCell& c : s.cells)
                io::XlsxDisplayText(c, book.date1904);
    } catch (const platform::Exception&) {
        return 0;
    }
    TExtStringGridInput grid;
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    try {
        io::LoadFromXLS(grid, VnHarnessFile(bytes, QStringLiteral("book.xlsx")));
    } catch (const platform::Exception&) {
        return 0;
    }
    if (qint64(grid.ColCount()) * grid.RowCount() > 20000)
        return 0;
    // Texts a cell cannot hold, and line breaks other than LF, are not the reader's to keep.
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            if (grid.Cells(c, r).size() > io::kXlsxMaxTextLength || grid.Cells(c, r).contains(u'\r'))
                return 0;
    const QString again = VnHarnessFile(QByteArray(), QStringLiteral("again.xlsx"));
    try {
        io::SaveToXLS(grid, again);
    } catch (const platform::Exception&) {
        std::abort();
    }
    TExtStringGridInput copy;
    copy.SetFixedCols(0);
    copy.SetFixedRows(0);
    io::LoadFromXLS(copy, again);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            if (copy.Cells(c, r) != grid.Cells(c, r))
                std::abort();
    return 0;
}
