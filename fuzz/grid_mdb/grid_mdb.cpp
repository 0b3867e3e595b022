// Access databases: any bytes load a table or end in an error.
#include "GuiHarness.h"
#include "OfficeFileHarness.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/Office.h"
#include "platform/core/Errors.h"

#include <cstdint>

VN_GUI_HARNESS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TExtStringGridInput grid;
    try {
        io::LoadFromMDBTable(grid, VnHarnessFile(bytes, QStringLiteral("db.mdb")), QStringLiteral("Meter List"));
    } catch (const platform::Exception&) {
    }
    return 0;
}
