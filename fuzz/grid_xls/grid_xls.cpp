// .xls workbooks: any bytes load or end in an error; libfreexl sees only files that passed
// the structural check, so none of them makes it read outside its buffers.
#include "GuiHarness.h"
#include "OfficeFileHarness.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/Office.h"
#include "controls/grid/io/XlsCheck.h"
#include "platform/core/Errors.h"

#include <cstdint>

VN_GUI_HARNESS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    io::XlsFacts facts;
    io::CheckXlsFile(bytes, facts);
    const QString file = VnHarnessFile(bytes, QStringLiteral("book.xls"));
    try {
        io::GetXLSSheets(file);
    } catch (const platform::Exception&) {
    }
    TExtStringGridInput grid;
    try {
        io::LoadFromXLS(grid, file);
    } catch (const platform::Exception&) {
    }
    return 0;
}
