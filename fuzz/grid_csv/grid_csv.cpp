// CSV from files and drops: any bytes load (or end in "File is empty"), never a crash or a hang;
// what loads is written again and reads back to the same texts.
#include "GuiHarness.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/Csv.h"
#include "platform/core/Errors.h"

#include <cstdint>
#include <cstdlib>

VN_GUI_HARNESS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    if (size == 0)
        return 0;
    // The first byte picks the settings, the rest is the file.
    const uint8_t mode = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    TExtStringGridInput grid;
    grid.SetColCount(2);
    grid.SetRowCount(2);
    const QChar delimiters[] = {QChar(0), u',', u';', u'\t'};
    grid.Delimiter = delimiters[mode & 3];
    grid.JavaCSV = mode & 4;
    grid.LoadFirstRow = !(mode & 8);
    grid.OemConvert = mode & 16;
    try {
        io::LoadFromCSVStream(grid, bytes, (mode & 32) ? 3 : 0);
    } catch (const platform::Exception&) {
        return 0;
    }
    if (qint64(grid.ColCount()) * grid.RowCount() > 20000 || grid.JavaCSV)
        return 0;
    if (grid.Delimiter.isNull())
        grid.Delimiter = u',';
    grid.OemConvert = false;
    const QByteArray again = io::SaveToCSVBytes(grid, false);
    TExtStringGridInput copy;
    copy.Delimiter = grid.Delimiter;
    io::LoadFromCSVStream(copy, again);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            if (copy.Cells(c, r) != grid.Cells(c, r))
                std::abort();
    return 0;
}
