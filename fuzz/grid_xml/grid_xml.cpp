// XML documents read into the grid: any bytes load or end in the parse error, never a crash, a
// hang or an entity from outside; what loads is written again and reads back to the same texts.
#include "GuiHarness.h"
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/Xml.h"
#include "platform/core/Errors.h"

#include <cstdint>
#include <cstdlib>

VN_GUI_HARNESS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    TExtStringGridInput grid;
    grid.SetFixedRows(0);
    grid.SetFixedCols(0);
    try {
        io::LoadFromXMLData(grid, bytes, mode & 1, mode & 2);
    } catch (const platform::Exception&) {
        return 0;
    }
    if (qint64(grid.ColCount()) * grid.RowCount() > 4096)
        return 0;
    const QByteArray again = io::SaveToXMLBytes(grid, QStringLiteral("L"), QStringLiteral("R"), nullptr, true);
    TExtStringGridInput copy;
    copy.SetFixedRows(0);
    copy.SetFixedCols(0);
    io::LoadFromXMLData(copy, again);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c) {
            const QString t = grid.Cells(c, r);
            // Texts the XML coding cannot carry: two quotes (an empty cell), "$amp;" and
            // characters XML has no place for.
            if (t == QLatin1String("\"\"") || t.contains(QLatin1String("$amp;")))
                continue;
            bool plain = true;
            for (char32_t ch : t.toUcs4())
                plain = plain && (ch == 9 || ch == 10 || ch == 13 || (ch >= 0x20 && ch != 0xFFFE && ch != 0xFFFF));
            if (plain && copy.Cells(c, r) != t)
                std::abort();
        }
    return 0;
}
