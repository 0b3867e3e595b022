// Pasted text (the clipboard of any program, text drops): the parser stores it, grows the grid
// within bounds and never crashes or hangs; the extent and the line split agree.
#include "GuiHarness.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/Clipboard.h"

#include <cstdint>
#include <cstdlib>

VN_GUI_HARNESS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    if (size == 0 || size > 8192)
        return 0;
    const uint8_t mode = data[0];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    TExtStringGridInput grid;
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetFixedRows(0);
    grid.SetFixedCols(0);
    grid.setOptions(grid.options() | platform::goEditing);
    grid.Navigation.AllowClipboardColGrow = mode & 1;
    grid.Navigation.AllowClipboardRowGrow = mode & 2;
    grid.Navigation.ClipboardPasteAction = (mode & 4) ? paInsert : paReplace;
    int rows = 0, cols = 0;
    const int fields = io::PasteText(grid, mode & 8 ? 1 : 0, 0, rows, cols, text);
    const std::vector<io::TPasteLine> lines = io::SplitPasteLines(text);
    if (rows != int(lines.size()) || fields < rows)
        std::abort();
    const QPoint extent = io::TextExtent(text);
    if (extent.x() < 1 || extent.y() > int(lines.size()))
        std::abort();
    grid.SetSelection(TGridRect{0, 0, 0, 0});
    io::SetSelectionAsText(grid, text);
    (void)io::RectToText(grid, TGridRect{0, 0, grid.ColCount() - 1, grid.RowCount() - 1}, false);
    return 0;
}
