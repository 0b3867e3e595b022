// Drops from other programs: the formats a drag carries (text, RTF, the grid's cells, a column,
// URLs, a file) in any combination and content reach the grid's drop handlers, which never
// crash or hang. The first bytes pick the formats and the target; the rest is the content.
#include "GuiHarness.h"
#include "controls/grid/input/GridDropTarget.h"
#include "controls/grid/input/GridInput.h"
#include "platform/core/Errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

VN_GUI_HARNESS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    if (size < 3 || size > 16384)
        return 0;
    const uint8_t formats = data[0];
    const uint8_t col = data[1] % 8, row = data[2] % 8;
    const QByteArray content(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));
    // One window for the whole run, never destroyed (it must not outlive the application).
    static QWidget* window = new QWidget;
    static TExtStringGridInput* grid = [] {
        auto* g = new TExtStringGridInput(window);
        g->setGeometry(0, 0, 400, 300);
        window->resize(420, 320);
        window->show();
        return g;
    }();
    grid->SetColCount(5);
    grid->SetRowCount(6);
    grid->setOptions(grid->options() | platform::goEditing);
    grid->DragDropSettings.OleInsertRows = formats & 64;
    grid->DragDropSettings.OleColumnReorder = true;
    grid->DragDropSettings.OleColumnDragDrop = true;
    grid->DragDropSettings.SetOleDropTarget(true);
    grid->OleDropTarget()->AcceptCols = true;
    platform::setDropRTFFlag(formats & 128);

    platform::ExchangeData d;
    if (formats & 1)
        d.setText(QString::fromUtf8(content));
    if (formats & 2)
        d.setBytes(platform::ExchangeFormat::Rtf, content);
    if (formats & 4)
        d.setBytes(platform::ExchangeFormat::GridCells, content);
    if (formats & 8)
        d.setColumn(content.isEmpty() ? 0 : uint8_t(content[0]) % 12);
    QTemporaryDir dir;
    QList<QUrl> urls;
    if (formats & 16)
        urls << QUrl(QString::fromUtf8(content.left(64)));
    if (formats & 32) {
        const QString name = dir.filePath(QStringLiteral("drop.csv"));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
        f.close();
        urls << QUrl::fromLocalFile(name);
    }
    if (!urls.isEmpty())
        d.setUrls(urls);
    const platform::Rect r = grid->CellRect(col % grid->ColCount(), row % grid->RowCount());
    const QPoint at = grid->viewport()->mapToGlobal(QPoint(r.left + 2, r.top + 2));
    try {
        grid->OleDropTarget()->DragEnter(d, formats & 1, true, at);
        grid->OleDropTarget()->DragOver(false, true, at);
        grid->OleDropTarget()->Drop(d, false, true, at);
    } catch (const platform::Exception&) {
    }
    grid->OleDropTarget()->DragLeave();
    return 0;
}
