// The grid's text cell file and stream from outside: any bytes load or end in the format's
// error, never a crash or a hang; what loads is saved again and reads back to the same texts.
#include "GuiHarness.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/TextCellFile.h"
#include "platform/core/Errors.h"

#include <cstdint>
#include <cstdlib>

VN_GUI_HARNESS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TExtStringGridInput grid;
    grid.Multilinecells = size % 2 == 0;
    try {
        io::LoadFromFileData(grid, bytes, QStringLiteral("fuzz.txt"));
    } catch (const platform::Exception&) {
    }
    TExtStringGridInput streamed;
    qsizetype pos = 0;
    try {
        io::LoadFromStream(streamed, bytes, pos);
    } catch (const platform::Exception&) {
    }
    if (pos < 0 || pos > bytes.size())
        std::abort();
    if (qint64(grid.ColCount()) * grid.RowCount() > 4096)
        return 0;
    grid.Multilinecells = true;
    QByteArray again;
    io::SaveToStream(grid, again);
    TExtStringGridInput copy;
    copy.Multilinecells = true;
    pos = 0;
    io::LoadFromStream(copy, again, pos);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            if (copy.Cells(c, r) != grid.Cells(c, r))
                std::abort();
    return 0;
}
