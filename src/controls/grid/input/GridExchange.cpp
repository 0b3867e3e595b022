// The grid's exchange with the outside as far as the keyboard and the grid's own copying reach
// it; the formats themselves are in controls/grid/io.
#include "controls/grid/input/GridInput.h"
#include "controls/grid/input/GridDropTarget.h"
#include "controls/grid/io/CellStream.h"
#include "controls/grid/io/Clipboard.h"
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
    if (!allow)
        return true;
    if (OnOleDragStart)
        OnOleDragStart(this, r, rc);
    platform::ExchangeData data;
    if (r < FixedRows() && DragDropSettings.OleColumnDragDrop) {
        data.setColumn(c);
        data.setText(Cells(rc, r));
        const platform::DropEffect effect = platform::startDrag(viewport(), data, true);
        if (effect != platform::DropEffect::None && OnOleDragStop)
            OnOleDragStop(this, effect);
        return true;
    }
    m_dropSelection = Selection();
    data = io::RectToExchangeData(*this, m_dropSelection, false);
    const QString rich = Cells(rc, r);
    if (rich.contains(QLatin1String("{\\")))
        data.setBytes(platform::ExchangeFormat::Rtf, rich.toUtf8());
    const platform::DropEffect effect = platform::startDrag(viewport(), data, true);
    if (effect == platform::DropEffect::Move && !DragDropSettings.OleCopyAlways) {
        const TGridRect d = m_dropSelection;
        if (DragDropSettings.OleRemoveRows && options().testFlag(platform::goRowSelect))
            RemoveRows(d.Top, d.Bottom - d.Top + 1);
        else
            for (int cc = d.Left; cc <= d.Right; ++cc)
                for (int rr = d.Top; rr <= d.Bottom; ++rr)
                    SetCellEx(RealColIndex(cc), rr, QString());
    }
    if (effect != platform::DropEffect::None && OnOleDragStop)
        OnOleDragStop(this, effect);
    m_dropSelection = TGridRect{-1, -1, -1, -1};
    return true;
}

} // namespace controls::grid
