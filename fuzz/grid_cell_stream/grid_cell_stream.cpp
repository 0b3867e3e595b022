// The grid's binary cell stream from the clipboard, a drop or a bin file: any bytes end in a
// load or an EReadError, never a crash, a hang or a read past the end; a stream that loads is
// written again and loads again to the same texts.
#include "GuiHarness.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/CellStream.h"
#include "platform/core/Errors.h"

#include <cstdint>
#include <cstdlib>

VN_GUI_HARNESS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TExtStringGridInput grid;
    grid.SetColCount(6);
    grid.SetRowCount(6);
    try {
        io::LoadAtPointFromBinStream(grid, QPoint(1, 1), bytes);
    } catch (const platform::Exception&) {
    }
    // A full-grid stream may resize the grid: keep the round trip small.
    if (qint64(grid.ColCount()) * grid.RowCount() > 4096)
        return 0;
    const QByteArray again = io::SaveToBinStream(grid);
    TExtStringGridInput copy;
    io::LoadFromBinStream(copy, again);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            if (copy.Cells(c, r) != grid.Cells(c, r))
                std::abort();
    return 0;
}
