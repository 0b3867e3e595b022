// The grid's exchange with the outside as far as the keyboard and the grid's own copying reach
// it; the formats themselves are in controls/grid/io.
#include "controls/grid/input/GridInput.h"
#include "controls/grid/input/GridDropTarget.h"
#include "controls/grid/io/CellStream.h"
#include "controls/grid/io/Clipboard.h"
#include "controls/grid/io/ColumnStates.h"
#include "platform/grid/Keys.h"

namespace controls::grid {

void TExtStringGridInput::AssignCells(TExtStringGrid* source)
{
    auto* s = dynamic_cast<TExtStringGridPaint*>(source);
    if (!s) {
        TExtStringGridEdit::AssignCells(source);
        return;
    }
    io::AssignCellsByStream(*this, *s);
}

} // namespace controls::grid

namespace controls::grid {

bool TExtStringGridInput::ClipboardShortCut(quint16& key, platform::TShiftState shift)
{
    using platform::ssAlt;
    using platform::ssCtrl;
    using platform::ssShift;
    if (!Navigation.AllowClipboardShortCuts || shift.testFlag(ssAlt))
        return false;
    const bool ctrl = shift.testFlag(ssCtrl);
    const bool shiftOnly = shift.testFlag(ssShift) && !ctrl;
    enum { None, Cut, Copy, Paste } op = None;
    if (ctrl && key == 'X')
        op = Cut;
    else if (ctrl && key == 'V')
        op = Paste;
    else if (ctrl && (key == 'C' || key == platform::VK_INSERT))
        op = Copy;
    else if (shiftOnly && key == platform::VK_INSERT)
        op = Paste;
    else if (shiftOnly && key == platform::VK_DELETE)
        op = Cut;
    if (op == None)
        return false;
    bool allow = true;
    const AllowEvent& event = op == Cut ? OnClipboardCut : op == Copy ? OnClipboardCopy : OnClipboardPaste;
    if (event)
        event(this, allow);
    if (allow) {
        if (op == Cut)
            io::CutSelectionToClipboard(*this);
        else if (op == Copy)
            io::CopySelectionToClipboard(*this);
        else
            io::PasteSelectionFromClipboard(*this);
    }
    key = 0;
    return true;
}

} // namespace controls::grid

namespace controls::grid {

TGridDropTarget* TExtStringGridInput::OleDropTarget() const
{
    return m_dropTarget.data();
}

void TExtStringGridInput::UpdateOleDropTarget()
{
    if (DragDropSettings.OleDropTarget() && !m_dropTarget) {
        m_dropTarget = new TGridDropTarget(this);
        m_dropTarget->AcceptText = DragDropSettings.OleAcceptText;
        m_dropTarget->AcceptFiles = DragDropSettings.OleAcceptFiles;
        m_dropTarget->AcceptURLs = DragDropSettings.OleAcceptURLs;
        m_dropTarget->AcceptCols = DragDropSettings.OleColumnDragDrop;
        platform::setDropRTFFlag(DragDropSettings.OleDropRTF);
    } else if (!DragDropSettings.OleDropTarget() && m_dropTarget) {
        delete m_dropTarget.data();
    }
}

void TExtStringGridInput::OleColumnDragStart(int col, int index, std::function<void(int index)> removeFromList)
{
    m_oleDragCol = col;
    m_oleDragIndex = index;
    m_oleDragList = std::move(removeFromList);
}

bool TExtStringGridInput::OleNotePress(platform::TMouseButton button, int x, int y, int c, int r)
{
    m_oleSelectionClick = false;
    if (!DragDropSettings.OleDropSource || button != platform::TMouseButton::mbLeft || c < 0 || r < 0)
        return false;
    const TGridRect s = Selection();
    const bool inSelection = c >= s.Left && c <= s.Right && r >= s.Top && r <= s.Bottom
                             && (s.Left != s.Right || s.Top != s.Bottom) && r >= FixedRows() && c >= FixedCols();
    const bool header = DragDropSettings.OleColumnDragDrop && r < FixedRows() && c >= FixedCols();
    if (!inSelection && !header)
        return false;
    m_oleSelectionClick = true;
    m_olePress = QPoint(x, y);
    return true;
}

bool TExtStringGridInput::OleReleaseWithoutDrag(int x, int y)
{
    if (!m_oleSelectionClick)
        return false;
    m_oleSelectionClick = false;
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    if (c >= FixedCols() && r >= FixedRows())
        FocusCell(c, r);
    return true;
}

bool TExtStringGridInput::OleDragFromMove(platform::TShiftState shift, int x, int y)
{
    if (!m_oleSelectionClick || !shift.testFlag(platform::ssLeft))
        return false;
    if (std::abs(x - m_olePress.x()) <= 3 && std::abs(y - m_olePress.y()) <= 3)
        return true;
    m_oleSelectionClick = false;
    int c = -1, r = -1;
    mouseToCell(m_olePress.x(), m_olePress.y(), c, r);
    if (c < 0 || r < 0)
        return true;
    const int rc = RealColIndex(c);
    bool allow = !(DragDropSettings.OleColumnsOnly && r >= FixedRows());
    if (allow && OnOleDrag)
        OnOleDrag(this, r, rc, Cells(rc, r), allow);
    if (!allow) {
        // A refused drag selects as a plain press would have.
        if (gridState() == platform::TGridState::gsNormal)
            setGridState(platform::TGridState::gsSelecting);
        return true;
    }
    if (OnOleDragStart)
        OnOleDragStart(this, r, rc);
    if (OnStartBlockFocus)
        OnStartBlockFocus(this);
    m_oleLastEffect = platform::DropEffect::None;
    const bool columnDrag = r < FixedRows() && DragDropSettings.OleColumnDragDrop;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    // What the mouse carries: a picture of the dragged cells (ShowCells), placed 4 pixels right
    // of and below the mouse (left of it, right-aligned, from right to left); without ShowCells a
    // column drag shows the header as a floating button with its bottom-left corner at the mouse.
    platform::DragImage image;
    if (DragDropSettings.ShowCells) {
        const int lastRow = std::min(RowCount() - 1, topRow() + visibleRowCount());
        const int lastCol = std::min(ColCount() - 1, leftCol() + visibleColCount());
        TGridRect cells{c, 0, c, lastRow};
        if (!columnDrag) {
            const TGridRect s = Selection();
            cells = TGridRect{s.Left < FixedCols() ? s.Left : std::max(s.Left, leftCol()),
                              s.Top < FixedRows() ? s.Top : std::max(s.Top, topRow()), std::min(s.Right, lastCol),
                              std::min(s.Bottom, lastRow)};
        }
        image.image = DragCellsImage(cells);
        image.hotSpot = rtl ? QPoint(image.image.width() + 4, -4) : QPoint(-4, -4);
    } else if (columnDrag) {
        image.image = DragHeaderImage(Cells(rc, 0), colWidths(c), rowHeights(0));
        image.hotSpot = QPoint(0, image.image.height());
    }
    const auto effectChanged = [this](platform::DropEffect e) {
        if (e != platform::DropEffect::None)
            m_oleLastEffect = e;
    };
    platform::ExchangeData data;
    if (columnDrag) {
        data.setColumn(c);
        data.setText(Cells(rc, r));
        const platform::DropEffect effect = platform::startDrag(viewport(), data, true, image, effectChanged);
        if (effect != platform::DropEffect::None && OnOleDragStop)
            OnOleDragStop(this, effect);
        if (m_dropTarget)
            m_dropTarget->HideArrows();
        return true;
    }
    m_dropSelection = Selection();
    data.setText(SelectedText());
    if (Navigation.AllowFmtClipboard) {
        QByteArray cells;
        io::SaveRectToBinStream(*this, m_dropSelection, cells);
        data.setBytes(platform::ExchangeFormat::GridCells, cells);
    }
    const QString rich = Cells(rc, r);
    if (platform::dropRTFFlag() && rich.contains(QLatin1String("{\\")))
        data.setBytes(platform::ExchangeFormat::Rtf, rich.toUtf8());
    const platform::DropEffect effect = platform::startDrag(viewport(), data, true, image, effectChanged);
    // A move takes the dragged rows or cells away: the selected rows (disjunct row selection)
    // or the rows the drag started with, which a drop above them into this grid has moved down.
    if (effect == platform::DropEffect::Move && !DragDropSettings.OleCopyAlways) {
        const TGridRect d = m_dropSelection;
        const bool disjunct = MouseActions.DisjunctRowSelect();
        if (DragDropSettings.OleRemoveRows && options().testFlag(platform::goRowSelect)) {
            if (disjunct)
                RemoveSelectedRows();
            else
                RemoveRows(d.Top, d.Bottom - d.Top + 1);
        } else if (disjunct) {
            ClearSelection();
        } else {
            for (int cc = d.Left; cc <= d.Right; ++cc)
                for (int rr = d.Top; rr <= d.Bottom; ++rr)
                    SetCellEx(RealColIndex(cc), rr, QString());
        }
    }
    if (effect != platform::DropEffect::None && OnOleDragStop)
        OnOleDragStop(this, effect);
    m_dropSelection = TGridRect{-1, -1, -1, -1};
    return true;
}

void TExtStringGridInput::Loaded()
{
    TExtStringGridEdit::Loaded();
    LoadSavedColumnSizes();
}

void TExtStringGridInput::LoadSavedColumnSizes()
{
    if (ColumnSize.Save)
        io::LoadColSizes(*this);
}

void TExtStringGridInput::SaveColumnSizesOnDestroy() noexcept
{
    if (!ColumnSize.Save)
        return;
    // A store that cannot be written loses this run's widths, nothing else: a grid being
    // destroyed has no caller to report to.
    try {
        io::SaveColSizes(*this);
    } catch (const std::exception&) {
    }
}

QImage TExtStringGridInput::DragCellsImage(const TGridRect&)
{
    return QImage();
}

QImage TExtStringGridInput::DragHeaderImage(const QString&, int, int)
{
    return QImage();
}

} // namespace controls::grid
