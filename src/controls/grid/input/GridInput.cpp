// Keyboard, mouse, wheel, focus, the update lock and the grid timer of the string grid.
#include "controls/grid/input/GridInput.h"

#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"
#include "platform/core/FormatSettings.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QToolTip>

namespace controls::grid {

using namespace platform;

TExtStringGridInput::TExtStringGridInput(QWidget* parent) : TExtStringGridEdit(parent)
{
    UrlOpener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    DragDropSettings.OnDropTargetChange = [this]() { UpdateOleDropTarget(); };
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    // From the editor's list straight to a widget outside the grid: the grid is left now.
    m_listFocusConnection = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const bool nowInside = now && (now == this || isAncestorOf(now));
        if (m_focusInList && InEditorList(old) && !nowInside && !InEditorList(now)) {
            m_focusInList = false;
            doExit();
        }
    });
}

TExtStringGridInput::~TExtStringGridInput()
{
    disconnect(m_listFocusConnection);
}

bool TExtStringGridInput::InEditorList(const QWidget* w) const
{
    const TGridCombo* combo = EditCombo();
    if (w && combo && combo->view() && w->window() == combo->view()->window())
        return true;
    // The pop-up of another editor (the unit menu, the calendar) belongs to the editor too.
    const QWidget* popup = w ? w->window() : nullptr;
    return popup && popup->windowType() == Qt::Popup && popup->parentWidget() && isAncestorOf(popup->parentWidget());
}

// --- the update lock ----------------------------------------------------------------------------

void TExtStringGridInput::BeginUpdate()
{
    if (!isVisible())
        return;
    ++m_updateCount;
    setUpdatesEnabled(false);
}

void TExtStringGridInput::EndUpdate()
{
    // The count always goes down; only the repaint waits until the grid is shown.
    if (m_updateCount > 0)
        --m_updateCount;
    if (m_updateCount > 0 || Destroying())
        return;
    m_selChange = false;
    setUpdatesEnabled(true);
    if (isVisible()) {
        viewport()->update();
        update();
    }
}

void TExtStringGridInput::paint()
{
    if (m_updateCount > 0)
        return;
    ++m_paintCount;
    TExtStringGridEdit::paint();
}

void TExtStringGridInput::ResetFixedCellHighlight()
{
    if (HoverFixedCells != hfNone && m_hoverFixed.X != -1) {
        const TGridCoord old = m_hoverFixed;
        m_hoverFixed = TGridCoord{-1, -1};
        RepaintCell(old.X, old.Y);
    }
}

bool TExtStringGridInput::IsHoverFixedCell(int col, int row) const
{
    switch (HoverFixedCells) {
    case hfAll: return col < FixedCols() || row < FixedRows();
    case hfFixedColumns: return col < FixedCols();
    case hfFixedRows: return row < FixedRows();
    default: return false;
    }
}

void TExtStringGridInput::InitOrigColSizes() {}

// --- focus and the grid timer ---------------------------------------------------------------------

void TExtStringGridInput::CreateWnd()
{
    TExtStringGridEdit::CreateWnd();
    setWindowTimer(kGridTimerId, kGridTimerMs);
    if (QWidget* w = window(); w && w != this)
        w->installEventFilter(this);
}

void TExtStringGridInput::wmTimer(int id)
{
    if (id != kGridTimerId) {
        TExtStringGridEdit::wmTimer(id);
        return;
    }
    ++m_timerTicks;
    if (Navigation.AutoGotoIncremental && ++m_searchTics >= 4) {
        SearchInc.clear();
        m_searchTics = 0;
    }
    if (Hovering && !m_designing) {
        const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
        int c = -1, r = -1;
        mouseToCell(p.x(), p.y(), c, r);
        if (QApplication::widgetAt(QCursor::pos()) == viewport() && c >= FixedCols() && r >= FixedRows()) {
            setFocus(Qt::OtherFocusReason);
            SetRow(r);
            SetCol(c);
        }
    }
    if (EnableBlink) {
        m_gridBlink = !m_gridBlink;
        for (int r = topRow(); r < std::min(RowCount(), topRow() + visibleRowCount()); ++r)
            for (int c = leftCol(); c < std::min(ColCount(), leftCol() + visibleColCount()); ++c)
                if (PosInUpperCase(QStringLiteral("<BLI"), Cells(RealColIndex(c), r)) > 0)
                    RepaintCell(c, r);
    }
}

void TExtStringGridInput::wmSetFocus(QWidget* previous)
{
    TExtStringGridEdit::wmSetFocus(previous);
    const int rc = RealColIndex(col());
    if (HasCheckBox(rc, row()))
        return;
    if (Navigation.AlwaysEdit && !m_blockFocus) {
        bool canEdit = true;
        CheckCanEdit(rc, row(), canEdit);
        const bool inView = leftCol() <= col() && col() < leftCol() + visibleColCount() && topRow() <= row()
                            && row() < topRow() + visibleRowCount();
        if (canEdit && inView && previous != NormalEdit() && !(NormalEdit() && NormalEdit()->isAncestorOf(previous))
            && !m_specialEditor)
            ShowInplaceEdit();
    }
    if (IsMergedCell(rc, row()))
        RepaintCell(col(), row());
}

void TExtStringGridInput::wmKillFocus(QWidget* next)
{
    if (m_blockKill)
        return;
    TExtStringGridEdit::wmKillFocus(next);
    if (IsMergedCell(RealColIndex(col()), row()))
        RepaintCell(col(), row());
}

void TExtStringGridInput::doEnter()
{
    if (m_focusInList) {
        m_focusInList = false;
        return;
    }
    if (m_blockFocus)
        return;
    TExtStringGridEdit::doEnter();
    if (options().testFlag(goEditing) || MouseActions.RangeSelectAndEdit)
        selectCell(col(), row());
    RememberCellValue(col(), row());
}

void TExtStringGridInput::doExit()
{
    if (InEditorList(QApplication::focusWidget())) {
        m_focusInList = true;
        return;
    }
    if (m_blockKill)
        return;
    if (m_selChange && MouseActions.DisjunctRowSelect())
        SelectionToRowSelect(false);
    m_selChange = false;
    TExtStringGridEdit::doExit();
}

void TExtStringGridInput::click()
{
    TExtStringGridEdit::click();
    m_entered = false;
    RememberCellValue(col(), row());
}

void TExtStringGridInput::topLeftChanged()
{
    TExtStringGridEdit::topLeftChanged();
    if (SelectionRectangle() && Selection().Top != Selection().Bottom)
        invalidate();
    if (BackGround.Display() == bdTile && !BackGround.Bitmap().isEmpty())
        invalidate();
    if ((BackGround.Display() == bdGradientHorz || BackGround.Display() == bdGradientVert) && BackGround.ColorTo() != clNone)
        invalidate();
    if (m_editMode && m_specialEditor)
        HideInplaceEdit();
}

bool TExtStringGridInput::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QPoint p = viewport()->mapFrom(this, help->pos());
        const QString hint = BuildCellHint(p);
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this);
        return true;
    }
    return TExtStringGridEdit::event(e);
}

bool TExtStringGridInput::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == window() && (e->type() == QEvent::Move || e->type() == QEvent::Resize))
        MoveFocusWindow();
    try {
        return TExtStringGridEdit::eventFilter(watched, e);
    } catch (const platform::Exception&) {
        // A stretch column the grid does not have stretches nothing when the window is sized.
        return false;
    }
}

QString TExtStringGridInput::BuildCellHint(QPoint pos)
{
    int c = -1, r = -1;
    mouseToCell(pos.x(), pos.y(), c, r);
    if (c < 0 || r < 0)
        return QString();
    const QPoint b = BaseCell(RealColIndex(c), r);
    QString hint;
    const bool dataCell = c >= FixedCols() && r >= FixedRows() && c < ColCount() - FixedRightCols()
                          && r < RowCount() - FixedFooters();
    if (HintShowCells && dataCell)
        hint = HTMLHint ? Cells(b.x(), b.y()) : StripHTMLTags(Cells(b.x(), b.y()));
    if (HintShowLargeText) {
        const QSize size = GetCellTextSize(b.x(), b.y());
        const Rect rect = CellRect(c, r);
        if (size.width() > rect.width() || size.height() > rect.height())
            hint = StripHTMLTags(Cells(b.x(), b.y()));
    }
    if (!(FloatingFooter.Visible && r == RowCount() - 1))
        GetCellHint(b.x(), b.y(), hint);
    return hint;
}

// --- keys ---------------------------------------------------------------------------------------

bool TExtStringGridInput::ToggleControlByKey(quint16 key)
{
    const int rc = RealColIndex(col());
    if (!HasControlGraphic(rc, row()))
        return false;
    bool canEdit = options().testFlag(goEditing) || MouseActions.RangeSelectAndEdit;
    CheckCanEdit(rc, row(), canEdit);
    if (key == VK_SPACE && HasCheckBox(rc, row()) && (canEdit || ControlLook.CheckAlwaysActive)) {
        ToggleCellCheck(rc, row(), true);
        if (ShowModified.Enabled) {
            SetRowModified(RealRowIndex(row()), true);
            RepaintCell(0, row());
        }
        bool state = false;
        GetCheckBoxState(rc, RealRowIndex(row()), state);
        CheckBoxClick(rc, row(), state);
    } else if (key == VK_SPACE && IsRadio(rc, row()) && (canEdit || ControlLook.RadioAlwaysActive)) {
        SelectNextRadio(rc, row(), true);
        int index = -1;
        GetRadioIdx(rc, row(), index);
        if (OnRadioClick)
            OnRadioClick(this, rc, row(), index);
    } else if (key == VK_SPACE && HasRadioButton(rc, row()) && (canEdit || ControlLook.RadioAlwaysActive)) {
        CheckRadioButton(rc, row(), true);
        if (OnRadioButtonClick)
            OnRadioButtonClick(this, rc, row());
    } else if ((key == VK_RETURN || key == VK_SPACE) && HasButton(rc, row()) && canEdit) {
        ButtonClick(rc, row());
    }
    RepaintCell(col(), row());
    return true;
}

bool TExtStringGridInput::HandleHomeEnd(quint16 key, TShiftState shift, int leftCol0)
{
    const bool ctrl = shift.testFlag(ssCtrl);
    const bool rowSelect = options().testFlag(goRowSelect);
    const bool onlyFixedRow = FixedRowAlways() && RowCount() == 1;
    const int lastDataRow = RowCount() - FixedFooters() - 1;
    auto done = [&]() {
        if (onKeyDown) {
            quint16 copy = key;
            onKeyDown(this, copy, shift);
        }
        return true;
    };
    switch (Navigation.HomeEndKey) {
    case heFirstLastCell:
        if (ctrl)
            return false;
        if (key == VK_HOME)
            focusCell(FixedCols(), FixedRows(), true);
        else
            focusCell(ColCount() - 1, RowCount() - 1, true);
        MoveToBaseCell();
        return done();
    case heFirstLastRow: {
        if (ctrl)
            return false;
        if (onlyFixedRow)
            return false;
        const int r0 = row();
        const int target = key == VK_HOME ? FixedRows()
                                          : (FloatingFooter.Visible && RowCount() > 2 ? RowCount() - 2 : lastDataRow);
        if (shift.testFlag(ssShift)) {
            SetSelection(TGridRect{FixedCols(), std::min(r0, target), ColCount() - 1, std::max(r0, target)});
        } else {
            SetRow(target);
            MoveToBaseCell();
        }
        if (MouseActions.DisjunctRowSelect()) {
            if (!shift.testFlag(ssShift))
                ClearRowSelect();
            SelectionToRowSelect(true);
        }
        if (Navigation.KeepHorizScroll && rowSelect) {
            StartUpdate();
            setLeftCol(leftCol0);
            ResetUpdate();
        }
        return done();
    }
    case heFirstLastColumn:
        if (key == VK_HOME && ctrl) {
            SetRow(FixedRows());
            const int c = FirstTabCol(row());
            if (c >= 0)
                SetCol(c);
            MoveToBaseCell();
            setLeftCol(FirstNavigableCol());
            return done();
        }
        if (ctrl || rowSelect)
            return false;
        if (onlyFixedRow)
            return false;
        if (key == VK_HOME) {
            if (shift.testFlag(ssShift)) {
                SetSelection(TGridRect{FixedCols(), row(), col(), row()});
                RepaintRow(row());
            } else {
                const int c = FirstTabCol(row());
                if (c >= 0)
                    SetCol(c);
                MoveToBaseCell();
                setLeftCol(FirstNavigableCol());
            }
        } else {
            if (shift.testFlag(ssShift)) {
                SetSelection(TGridRect{col(), row(), ColCount() - FixedRightCols() - 1, row()});
                RepaintRow(row());
            } else {
                SetCol(ColCount() - 1);
                MoveToBaseCell();
                setLeftCol(std::max(FixedCols(), ColCount() - visibleColCount()));
            }
        }
        return done();
    }
    return false;
}

bool TExtStringGridInput::SkipFixed(quint16 key, TShiftState shift)
{
    if (!Navigation.SkipFixedCells)
        return false;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    int dc = 0, dr = 0;
    if (key == VK_LEFT)
        dc = rtl ? 1 : -1;
    else if (key == VK_RIGHT)
        dc = rtl ? -1 : 1;
    else if (key == VK_UP)
        dr = -1;
    else if (key == VK_DOWN)
        dr = 1;
    else
        return false;
    if (options().testFlag(goRowSelect) && dr != 0)
        return false;
    const int lastDataRow = RowCount() - FixedFooters() - 1;
    int c = col() + dc, r = row() + dr;
    const bool inData = c >= FixedCols() && c < ColCount() - FixedRightCols() && r >= FixedRows() && r <= lastDataRow;
    if (!inData || !IsFixed(c, r))
        return false;
    while (c >= FixedCols() && c < ColCount() - FixedRightCols() && r >= FixedRows() && r <= lastDataRow && IsFixed(c, r)) {
        c += dc;
        r += dr;
    }
    if (c >= FixedCols() && c < ColCount() - FixedRightCols() && r >= FixedRows() && r <= lastDataRow)
        focusCell(c, r, true);
    if (onKeyDown) {
        quint16 copy = key;
        onKeyDown(this, copy, shift);
    }
    return true;
}

void TExtStringGridInput::InsertRowByKey()
{
    bool allow = true;
    CanInsertRow(row(), allow);
    if (!allow)
        return;
    int d = row();
    const int rr = RealRowIndex(row());
    const bool filter = FilterActive;
    FilterActive = false;
    int index = rr;
    if (Navigation.InsertPosition == pInsertAfter) {
        if (FixedRowAlways() && FixedRows() == RowCount()) {
            index = rr;
            d = 1;
        } else {
            index = rr + 1;
            if (d + 1 < RowCount() + 1)
                d = d + 1;
        }
    }
    InsertRowAt(index);
    if (OnAutoInsertRow)
        OnAutoInsertRow(this, index);
    m_gridModified = true;
    FilterActive = filter;
    if (d < RowCount())
        SetRow(d);
    CalcFooter(-1);
}

void TExtStringGridInput::DeleteRowByKey()
{
    if (RowCount() - FixedRows() - FixedFooters() <= 0)
        return;
    const int rr = RealRowIndex(row());
    const bool filter = FilterActive;
    FilterActive = false;
    bool allow = true;
    if (OnCanDeleteRow)
        OnCanDeleteRow(this, rr, allow);
    FilterActive = filter;
    if (!allow)
        return;
    AutoDeleteRow(rr);
    if (FloatingFooter.Visible && row() == RowCount() - 1)
        SetRow(RowCount() - 2);
    RememberCellValue(col(), row());
    m_gridModified = true;
    CalcFooter(-1);
}

void TExtStringGridInput::SelectAllByKey()
{
    if (!(options() & (goRowSelect | goRangeSelect)))
        return;
    TGridRect r{FirstNavigableCol(), FixedRows(), ColCount() - FixedRightCols() - 1, RowCount() - FixedFooters() - 1};
    if (MouseActions.DisjunctRowSelect())
        for (int i = r.Top; i <= r.Bottom; ++i)
            SetRowSelect(i, true);
    KeyboardSelectAll(r);
    SetSelection(r);
    FocusCell(r.Right, r.Bottom);
    SetSelection(r);
}

void TExtStringGridInput::wmKeyDown(TWMKey& msg)
{
    quint16 key = msg.CharCode;
    const TShiftState shift = keyState();
    m_moveSelection = Selection();
    const int leftCol0 = leftCol();
    const bool keepH = (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN)
                       && options().testFlag(goRowSelect) && leftCol() != FixedCols() && Navigation.KeepHorizScroll;
    auto swallow = [&]() {
        if (onKeyDown) {
            quint16 copy = key;
            onKeyDown(this, copy, shift);
        }
        msg.CharCode = 0;
        msg.Result = 1;
    };

    if (Navigation.MoveScrollOnly
        && (key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME || key == VK_UP || key == VK_DOWN)) {
        const int vr = visibleRowCount();
        switch (key) {
        case VK_PRIOR: setTopRow(topRow() > vr + FixedRows() ? topRow() - vr : FixedRows()); break;
        case VK_NEXT:
            if (topRow() + vr < RowCount())
                setTopRow(topRow() + vr);
            break;
        case VK_END: setTopRow(RowCount() - vr); break;
        case VK_HOME: setTopRow(FixedRows()); break;
        case VK_UP:
            if (topRow() > FixedRows())
                setTopRow(topRow() - 1);
            break;
        default:
            if (topRow() + vr < RowCount())
                setTopRow(topRow() + 1);
            break;
        }
        msg.Result = 1;
        return;
    }
    const int rc = RealColIndex(col());
    if (MouseActions.EditOnDblClickOnly() && (key == VK_RETURN || key == VK_F2) && !options().testFlag(goEditing)) {
        const bool keep = MouseActions.RangeSelectAndEdit;
        MouseActions.RangeSelectAndEdit = true;
        if (IsEditable(rc, row())) {
            SetEditChangeFlag();
            setOptions(options() | goEditing);
        }
        MouseActions.RangeSelectAndEdit = keep;
    }
    if (MouseActions.RangeSelectAndEdit && !options().testFlag(goEditing) && (key == VK_RETURN || key == VK_F2)) {
        if (!IsEditable(rc, row())) {
            swallow();
            return;
        }
        SetEditChangeFlag();
        setOptions(options() | goEditing);
        ShowInplaceEdit();
    }
    if (key == VK_RETURN || key == VK_F2) {
        if (options().testFlag(goEditing) && !IsEditable(rc, row())) {
            swallow();
            return;
        }
        const QString text = Cells(rc, row());
        if (GetTextKind(text, EnableHTML) == 1 && text.toUpper().contains(QStringLiteral("<CONTROL"))) {
            msg.Result = 1;
            return;
        }
    }
    if (key == VK_RETURN && !IsEditable(rc, row())) {
        swallow();
        return;
    }
    if (key == VK_RETURN || key == VK_SPACE)
        ToggleControlByKey(key); // the key goes on through the steps below
    if ((key == VK_HOME || key == VK_END) && HandleHomeEnd(key, shift, leftCol0)) {
        msg.CharCode = 0;
        msg.Result = 0;
        return;
    }
    // Row-select scrolling.
    if (options().testFlag(goRowSelect) && visibleColCount() < ColCount() && (key == VK_LEFT || key == VK_RIGHT)) {
        const bool scroll = Navigation.LeftRightRowSelect ? shift.testFlag(ssCtrl) : true;
        if (scroll) {
            if (key == VK_LEFT && leftCol() > FixedCols())
                setLeftCol(leftCol() - 1);
            else if (key == VK_RIGHT && leftCol() + visibleColCount() < ColCount())
                setLeftCol(leftCol() + 1);
            if (!Navigation.LeftRightRowSelect) {
                swallow();
                msg.Result = 0;
                return;
            }
        }
    }
    if (key == VK_TAB && options().testFlag(goTabs)) {
        TabAdvance(shift.testFlag(ssShift));
        if (Selection() != m_moveSelection) {
            const TGridRect s = Selection();
            SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        }
        msg.CharCode = 0;
        return;
    }
    if (SkipFixed(key, shift)) {
        msg.CharCode = 0;
        return;
    }
    if (Navigation.AppendOnArrowDown && key == VK_DOWN && IsLastDataRow()) {
        AppendRowByKey();
        msg.CharCode = 0;
        return;
    }
    if (SelectionRectangle() && Selection() != m_moveSelection) {
        InvalidateCellRange(Selection());
        m_moveSelection = Selection();
    }
    if (keepH)
        BeginUpdate();
    TExtStringGridEdit::wmKeyDown(msg);
    key = msg.CharCode == 0 ? key : msg.CharCode;
    if (keepH) {
        setLeftCol(leftCol0);
        EndUpdate();
    }
    const int rs = MouseActions.DisjunctRowSelect() && MouseActions.RowSelectPersistent ? RealRowIndex(row()) : row();
    const bool noAlt = !shift.testFlag(ssAlt);
    if (key == VK_INSERT && Navigation.AllowInsertRow && !(shift & (ssCtrl | ssShift | ssAlt))) {
        InsertRowByKey();
    } else if (key == 'A' && shift.testFlag(ssCtrl) && !shift.testFlag(ssAlt)) {
        SelectAllByKey();
        return;
    } else if (key >= VK_PRIOR && key <= VK_DOWN && MouseActions.DisjunctRowSelect()) {
        if (!(shift & (ssShift | ssCtrl)))
            ClearRowSelect();
        if (shift.testFlag(ssShift))
            SelectionToRowSelect(true);
        else
            SetRowSelect(rs, true);
    } else if (key == VK_SPACE && MouseActions.DisjunctRowSelect()) {
        SetRowSelect(rs, !RowSelect(rs));
    } else if (key == VK_DELETE && Navigation.AllowDeleteRow && noAlt) {
        DeleteRowByKey();
    }
    if (key == VK_RETURN || key == VK_F2)
        RememberCellValue(col(), row());
    if (Selection() != m_moveSelection) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        m_moveSelection = s;
    }
}

void TExtStringGridInput::keyDown(quint16& key, TShiftState shift)
{
    m_lastKeyCell = TGridCoord{col(), row()};
    const int rowBefore = row();
    if (ClipboardShortCut(key, shift))
        return;
    TExtStringGridEdit::keyDown(key, shift);
    if (Navigation.CursorMoveRows && shift.testFlag(ssCtrl) && (key == VK_UP || key == VK_DOWN)) {
        const TGridRect s = Selection();
        if (key == VK_DOWN && s.Bottom < RowCount() - 1) {
            if (s.Top == s.Bottom) {
                MoveRow(s.Top, s.Top + 1);
                SetRow(s.Top + 1);
            } else {
                MoveRows(s.Top, s.Top + 1, s.Bottom - s.Top + 1);
                SetSelection(TGridRect{FixedCols(), s.Top + 1, ColCount() - 1, s.Bottom + 1});
            }
        } else if (key == VK_UP && s.Top > FixedRows()) {
            if (s.Top == s.Bottom) {
                MoveRow(s.Top, s.Top - 1);
                SetRow(s.Top - 1);
            } else {
                MoveRows(s.Top, s.Top - 1, s.Bottom - s.Top + 1);
                SetSelection(TGridRect{FixedCols(), s.Top - 1, ColCount() - 1, s.Bottom - 1});
            }
        }
    }
    if (Navigation.CursorAdvance != caDefault && !shift.testFlag(ssCtrl)) {
        const bool snake = Navigation.CursorAdvance == caSnake;
        const int lastDataRow = RowCount() - FixedFooters() - 1;
        const TGridCoord was = m_lastKeyCell;
        int c = col(), r = row();
        bool wrap = false;
        if (key == VK_LEFT && was.X == FixedCols()) {
            c = ColCount() - FixedRightCols() - 1;
            if (snake && r > FixedRows())
                --r;
            wrap = true;
        } else if (key == VK_UP && was.Y == FixedRows()) {
            r = lastDataRow;
            if (snake && c > FixedCols())
                --c;
            wrap = true;
        } else if (key == VK_RIGHT && was.X == ColCount() - 1) {
            c = FixedCols();
            if (snake && r < lastDataRow)
                ++r;
            wrap = true;
        } else if (key == VK_DOWN && was.Y == RowCount() - 1) {
            r = FixedRows();
            if (snake && c < ColCount() - FixedRightCols() - 1)
                ++c;
            wrap = true;
        }
        if (wrap)
            focusCell(c, r, true);
    }
    if (Navigation.SkipDisabledRows && row() == rowBefore && (key == VK_UP || key == VK_DOWN)) {
        int r = rowBefore + (key == VK_UP ? -1 : 1);
        while (r >= FixedRows() && r < RowCount() && !RowEnabled(RealRowIndex(r)))
            r += key == VK_UP ? -1 : 1;
        if (r >= FixedRows() && r < RowCount() && r != rowBefore && RowEnabled(RealRowIndex(r)))
            SetRow(r);
    }
}

void TExtStringGridInput::keyUp(quint16& key, TShiftState shift)
{
    if (key == VK_PRIOR || key == VK_NEXT || key == VK_END || (key >= VK_LEFT && key <= VK_DOWN) || key == VK_INSERT
        || key == VK_DELETE)
        SearchInc.clear();
    TExtStringGridEdit::keyUp(key, shift);
    if (Navigation.AlwaysEdit
        && ((key >= VK_LEFT && key <= VK_DOWN) || (key == VK_TAB && options().testFlag(goTabs)))
        && !HasControlGraphic(RealColIndex(col()), row()))
        ShowInplaceEdit();
    if (Selection() != m_moveSelection && (key == VK_TAB || (key >= VK_LEFT && key <= VK_DOWN))) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        m_moveSelection = s;
    }
}

void TExtStringGridInput::wmChar(TWMKey& msg)
{
    QChar c(char16_t(msg.CharCode));
    const int rc = RealColIndex(col());
    const QString text = Cells(rc, row());
    if (GetTextKind(text, EnableHTML) == 1 && text.toUpper().contains(QStringLiteral("<CONTROL"))) {
        msg.Result = 1;
        return;
    }
    if (MouseActions.EditOnDblClickOnly()) {
        bool canEdit = true;
        CheckCanEdit(rc, row(), canEdit);
        if (canEdit) {
            SetEditChangeFlag();
            setOptions(options() | goEditing);
        }
    }
    const bool ctrl = keyState().testFlag(ssCtrl);
    if (Navigation.AllowClipboardShortCuts && ctrl && (c.unicode() == 3 || c.unicode() == 22 || c.unicode() == 24))
        return;
    if (MouseActions.RangeSelectAndEdit && !HasControlGraphic(rc, row()) && IsEditable(rc, row()) && c.unicode() != 9
        && c.unicode() != 27 && !ctrl) {
        QChar copy = c;
        if (OnKeyPress)
            OnKeyPress(this, copy);
        m_startEditChar = c;
        SetEditChangeFlag();
        setOptions(options() | goEditing);
        ScrollInView(col(), row());
        TExtStringGridEdit::wmChar(msg);
        return;
    }
    if (c == u'.' && (msg.KeyData & kKeyDataKeypad) && ExcelStyleDecimalSeparator)
        c = platform::FormatSettings().DecimalSeparator;
    if (c.unicode() == 13 && HasControlGraphic(rc, row()) && Navigation.AdvanceOnEnter) {
        msg.CharCode = c.unicode();
        TExtStringGridEdit::wmChar(msg);
        return;
    }
    if (options().testFlag(goEditing) && c.unicode() != 9 && (c.unicode() == 8 || (c.unicode() >= 32 && c.unicode() <= 255) || c.unicode() > 255)) {
        if (OnKeyPress)
            OnKeyPress(this, c);
        if (c.isNull())
            return;
        m_startEditChar = c;
        if (!HasControlGraphic(rc, row()))
            showEditorChar(c);
        return;
    }
    msg.CharCode = c.unicode();
    TExtStringGridEdit::wmChar(msg);
}

// --- mouse --------------------------------------------------------------------------------------

bool TExtStringGridInput::InHeaderSizingBorder(int x, int, int col, int row) const
{
    if (!options().testFlag(goColSizing) || row >= FixedRows() || col < 0)
        return false;
    const Rect r = cellRect(col, row);
    return x - r.left < 4 || r.right - x < 4;
}

bool TExtStringGridInput::FollowAnchor(int col, int row, const QString& anchor)
{
    bool autoHandle = true;
    if (OnAnchorClick)
        OnAnchorClick(this, row, col, anchor, autoHandle);
    if (!autoHandle)
        return true;
    if (anchor.toUpper().contains(QStringLiteral("CELL://"))) {
        // A link to another cell of the grid.
        const QString ref = anchor.mid(anchor.toUpper().indexOf(QStringLiteral("CELL://")) + 7);
        TGridCoord cell;
        if (ParseRCReference(ref, cell) && cell.X >= 0 && cell.Y >= 0 && cell.X < ColCount() && cell.Y < RowCount()) {
            FocusCell(cell.X, cell.Y);
            ScrollInView(cell.X, cell.Y);
        }
        return true;
    }
    // Only web and mail links are opened: never local files or programs.
    QString target = anchor.trimmed();
    if (target.toUpper().startsWith(QStringLiteral("WWW.")))
        target.prepend(QStringLiteral("http://"));
    const QUrl url(target, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == QStringLiteral("http") || scheme == QStringLiteral("https") || scheme == QStringLiteral("mailto")) && UrlOpener)
        UrlOpener(url);
    return true;
}

void TExtStringGridInput::wmLButtonDown(TWMMouse& msg)
{
    m_doOnClick = true;
    m_mouseDownMove = true;
    m_mouseDownFlag = true;
    m_pressSelection = Selection();
    const int x = msg.XPos, y = msg.YPos;
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);

    if (MouseActions.RangeSelectAndEdit && options().testFlag(goEditing) && !Selection().contains(c, r)) {
        SetEditChangeFlag();
        setOptions(options() & ~TGridOptions(goEditing));
    }
    if (OnCanClickCell && c >= 0 && r >= 0) {
        bool allow = true;
        OnCanClickCell(this, r, c, allow);
        if (!allow)
            return;
    }
    const int c0 = c, r0 = r;
    SearchInc.clear();
    m_pushedCellButton = TGridCoord{-1, -1};

    if (c < 0 || r < 0) {
        HideInplaceEdit();
        if (!FixedRowAlways())
            TExtStringGridEdit::wmLButtonDown(msg);
        return;
    }
    const QPoint base = BaseCell(RealColIndex(c), r);
    const int rc = base.x();
    const int dc = DisplColIndex(base.x());
    r = base.y();
    const Rect cell = CellRect(dc, r);
    if (MouseActions.CaretPositioning)
        m_lButFlg = true;
    bool fixed = false;
    IsFixedCell(dc, r, fixed);
    const bool stdFixed = dc < FixedCols() || r < FixedRows();
    const bool extraFixed = fixed && !stdFixed;
    if (fixed || stdFixed)
        HideInplaceEdit();

    if (ControlLook.SpinButtonsAlwaysVisible() && HasSpinEdit(rc, r) && x > cell.right - 18) {
        // Remembered for the spin editor that opens: it steps once by the half pressed.
        m_spinUpClick = y < (cell.top + cell.bottom) / 2;
        m_spinDnClick = !m_spinUpClick;
    }
    if (IsRadio(rc, r)) {
        bool editable = IsEditable(rc, r);
        if (editable || ControlLook.RadioAlwaysActive) {
            HideInplaceEdit();
            RadioGroupClick(rc, r, x - cell.left, y - cell.top);
            setFocus(Qt::MouseFocusReason);
            return;
        }
    }
    if (HasRating(rc, r) && IsEditable(rc, r)) {
        HideInplaceEdit();
        double rate = int((x - cell.left) / 9) / 2.0;
        if (RatingChange(rc, r, rate)) {
            SetFloats(rc, r, rate);
            RepaintCell(dc, r);
        }
        return;
    }
    if (HasButton(rc, r)) {
        HideInplaceEdit();
        if (!fixed && !stdFixed) {
            m_forceSel = true;
            selectCell(dc, r);
            m_forceSel = false;
        }
        const Rect b = GetCellButtonRect(rc, r);
        if (b.contains(x, y)) {
            PushButton(rc, r, true);
            m_pushedCellButton = TGridCoord{dc, r};
            if (OnClickCell)
                OnClickCell(this, r, dc);
            return;
        }
    }
    if (HasExpand(rc, r) && GetExpandRect(rc, r).contains(x, y)) {
        HideInplaceEdit();
        PushButton(rc, r, true);
        m_pushedCellButton = TGridCoord{dc, r};
        if (OnClickCell)
            OnClickCell(this, r, dc);
        return;
    }
    if (dc >= ColCount() || r >= RowCount()) {
        TExtStringGridEdit::wmLButtonDown(msg);
        return;
    }
    // Links in the cell text.
    const QString text = Cells(rc, r);
    if (URLShow() && GetTextKind(text, EnableHTML) != 1 && IsURL(text)) {
        FollowAnchor(rc, r, text);
        return;
    }

    bool canEdit = options().testFlag(goEditing) || MouseActions.RangeSelectAndEdit;
    CheckCanEdit(rc, r, canEdit);

    // A check box or radio button of the cell.
    if ((canEdit || ControlLook.CheckAlwaysActive) && (HasCheckBox(rc, r) || HasRadioButton(rc, r))
        && IsInCheckBox(rc, r, x, y)) {
        HideInplaceEdit();
        setFocus(Qt::MouseFocusReason);
        bool state = false;
        if (HasRadioButton(rc, r)) {
            CheckRadioButton(rc, r, true);
            if (OnRadioButtonClick)
                OnRadioButtonClick(this, rc, r);
        } else {
            ToggleCellCheck(rc, r, true);
            if (ShowModified.Enabled) {
                SetRowModified(RealRowIndex(r), true);
                RepaintCell(0, r);
            }
            GetCheckBoxState(rc, RealRowIndex(r), state);
            if (!Navigation.AlwaysEdit && dc >= FixedCols() && r >= FixedRows() && (dc != col() || r != row()))
                moveCurrent(dc, r, true, true);
            CheckBoxClick(rc, r, state);
        }
        if (HideFocusRect)
            RepaintCell(dc, r);
        if (onMouseDown)
            onMouseDown(this, TMouseButton::mbLeft, msg.Keys, x, y);
        click();
        return;
    }

    if (extraFixed) {
        if (!(FloatingFooter.Visible && FloatingFooter.FooterStyle == fsFixedLastRow && r == RowCount() - 1) && OnClickCell)
            OnClickCell(this, r, dc);
        return;
    }

    // A merged cell: the press goes to its base cell.
    if (IsMergedCell(rc, r) && !fixed && !onMouseDown) {
        msg.XPos = cell.left + 2;
        msg.YPos = cell.top + 2;
    }
    const bool alwaysEdit = Navigation.AlwaysEdit;
    Navigation.AlwaysEdit = false;
    TExtStringGridEdit::wmLButtonDown(msg);
    Navigation.AlwaysEdit = alwaysEdit;

    if (!(r < FixedRows() && InHeaderSizingBorder(x, y, c0, r0)) && OnClickCell)
        OnClickCell(this, r, dc);
    if (OnCellValidate) {
        m_entered = false;
        RememberCellValue(col(), row());
    }
    if (x - cell.left >= 4 && cell.right - x >= 4 && !fixed && !stdFixed && canEdit && MouseActions.DirectEdit
        && !HasControlGraphic(rc, r)) {
        bool allow = true;
        CellChanging(dc, r, allow);
        if (allow) {
            FocusCell(dc, r);
            RememberCellValue(dc, r);
            ShowInplaceEdit();
        }
    }
}

void TExtStringGridInput::mouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    if (OleNotePress(button, x, y, c, r))
        return;
    if (MouseActions.RangeSelectAndEdit && button == TMouseButton::mbLeft && !MouseActions.EditOnDblClickOnly()) {
        if (c == col() && r == row() && !options().testFlag(goEditing) && IsEditable(RealColIndex(c), r)) {
            SetEditChangeFlag();
            setOptions(options() | goEditing);
            TExtStringGridEdit::mouseDown(button, shift, x, y);
            ShowInplaceEdit();
            return;
        }
        if ((c != col() || r != row()) && options().testFlag(goEditing) && shift.testFlag(ssShift)) {
            SetEditChangeFlag();
            setOptions(options() & ~TGridOptions(goEditing));
            TExtStringGridEdit::mouseDown(button, shift, x, y);
            return;
        }
    }
    if (IsHoverFixedCell(c, r) && r == FixedRows() - 1 && ControlLook.FixedGradientDownTo != clNone)
        RepaintCell(c, r);
    TExtStringGridEdit::mouseDown(button, shift, x, y);
    if (auto* g = SyncGrid.Grid()) {
        if (SyncGrid.SelectionColumn && g->colCount() > col())
            g->setCol(col());
        if (SyncGrid.SelectionRow && g->rowCount() > row())
            g->setRow(row());
    }
}

void TExtStringGridInput::wmRButtonDown(TWMMouse& msg)
{
    TExtStringGridEdit::wmRButtonDown(msg);
    int c = -1, r = -1;
    mouseToCell(msg.XPos, msg.YPos, c, r);
    if (c < 0 || r < 0)
        return;
    if (MouseActions.SelectOnRightClick && c >= FixedCols() && r >= FixedRows() && !HasControlGraphic(RealColIndex(c), r)
        && !Selection().contains(c, r))
        FocusCell(c, r);
    if (OnRightClickCell)
        OnRightClickCell(this, r, c);
}

void TExtStringGridInput::mouseMove(TShiftState shift, int x, int y)
{
    if (OleDragFromMove(shift, x, y))
        return;
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    if (c >= 0 && r >= 0 && !m_designing) {
        if (HoverRow && r != HoverRowIdx) {
            const int old = HoverRowIdx;
            HoverRowIdx = r;
            if (old >= 0 && old < RowCount())
                RepaintRow(old);
            RepaintRow(r);
        }
        if (HoverFixedCells != hfNone && (m_hoverFixed.X != c || m_hoverFixed.Y != r)) {
            const TGridCoord old = m_hoverFixed;
            m_hoverFixed = TGridCoord{c, r};
            if (old.X != -1 && (old.X < FixedCols() || old.Y < FixedRows()))
                RepaintCell(old.X, old.Y);
            if (c < FixedCols() || r < FixedRows())
                RepaintCell(c, r);
        }
        const int rc = RealColIndex(c);
        const bool overButton = (HasButton(rc, r) && GetCellButtonRect(rc, r).contains(x, y))
                                || (HasExpand(rc, r) && GetExpandRect(rc, r).contains(x, y));
        const TGridCoord old = m_hoverButton;
        if (overButton && (old.X != c || old.Y != r)) {
            m_hoverButton = TGridCoord{c, r};
            if (old.X >= 0)
                RepaintCell(old.X, old.Y);
            RepaintCell(c, r);
        } else if (!overButton && old.X >= 0) {
            m_hoverButton = TGridCoord{-1, -1};
            RepaintCell(old.X, old.Y);
        }
        // The hand cursor over a link.
        const QString text = Cells(rc, r);
        if (URLShow() && GetTextKind(text, EnableHTML) != 1 && IsURL(text))
            viewport()->setCursor(Qt::PointingHandCursor);
        else
            viewport()->unsetCursor();
    }
    TExtStringGridEdit::mouseMove(shift, x, y);
    if (gridState() == TGridState::gsColSizing && OnColumnSizing && sizingIndex() >= 0) {
        const Rect cell = cellRect(sizingIndex(), 0);
        OnColumnSizing(this, sizingIndex(), x - cell.left);
    }
}

void TExtStringGridInput::cmMouseLeave()
{
    TExtStringGridEdit::cmMouseLeave();
    if (HoverFixedCells != hfNone && m_hoverFixed.X != -1) {
        const TGridCoord old = m_hoverFixed;
        m_hoverFixed = TGridCoord{-1, -1};
        RepaintCell(old.X, old.Y);
    }
    if (HoverRow && HoverRowIdx != -1) {
        const int old = HoverRowIdx;
        HoverRowIdx = -1;
        if (old < RowCount())
            RepaintRow(old);
    }
}

void TExtStringGridInput::wmLButtonUp(TWMMouse& msg)
{
    m_mouseDownMove = false;
    m_mouseDownFlag = false;
    const int x = msg.XPos, y = msg.YPos;
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);

    if (m_pushedCellButton.X >= 0) {
        const TGridCoord pushed = m_pushedCellButton;
        m_pushedCellButton = TGridCoord{-1, -1};
        const int prc = RealColIndex(pushed.X);
        bool enabled = options().testFlag(goEditing);
        bool pushedFixed = false;
        IsFixedCell(pushed.X, pushed.Y, pushedFixed);
        if (c >= 0 && r >= 0 && !ControlLook.NoDisabledButtonLook()) {
            const QPoint b = BaseCell(RealColIndex(c), r);
            bool canEdit = true;
            CheckCanEdit(b.x(), b.y(), canEdit);
            bool f = false;
            IsFixedCell(DisplColIndex(b.x()), b.y(), f);
            enabled = canEdit && !f;
        }
        if (enabled || ControlLook.NoDisabledButtonLook() || pushedFixed) {
            PushButton(prc, pushed.Y, false);
            if (c >= 0 && r >= 0) {
                const QPoint b = BaseCell(RealColIndex(c), r);
                if (HasButton(b.x(), b.y()) && GetCellButtonRect(b.x(), b.y()).contains(x, y))
                    ButtonClick(prc, pushed.Y);
                if (HasExpand(b.x(), b.y()) && GetExpandRect(b.x(), b.y()).contains(x, y))
                    ToggleExpand(prc, pushed.Y);
            }
        } else {
            PushButton(prc, pushed.Y, false);
        }
        if (c >= 0 && r >= 0) {
            const QPoint b = BaseCell(RealColIndex(c), r);
            if ((HasButton(b.x(), b.y()) && GetCellButtonRect(b.x(), b.y()).contains(x, y))
                || (HasExpand(b.x(), b.y()) && GetExpandRect(b.x(), b.y()).contains(x, y)))
                return;
        }
    }
    if (m_doOnClick && c >= 0 && r >= 0 && (c < FixedCols() || r < FixedRows())
        && !(r < FixedRows() && InHeaderSizingBorder(x, y, c, r)) && onClick)
        onClick(this);
    m_doOnClick = false;

    const bool moving = gridState() == TGridState::gsColMoving || gridState() == TGridState::gsRowMoving;
    TExtStringGridEdit::wmLButtonUp(msg);
    if (c < 0 || r < 0 || moving)
        return;
    if (c >= FixedCols() || SortSettings.FixedCols) {
        const int rc = RealColIndex(c);
        if (HasCheckBox(rc, r) && OnCheckBoxMouseUp) {
            bool state = false;
            GetCheckBoxState(rc, RealRowIndex(r), state);
            OnCheckBoxMouseUp(this, rc, r, state);
        }
        if (IsRadio(rc, r) && OnRadioMouseUp) {
            int index = -1;
            GetRadioIdx(rc, r, index);
            OnRadioMouseUp(this, rc, r, index);
        }
    }
    m_dblClk = false;
}

void TExtStringGridInput::mouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OleReleaseWithoutDrag(x, y))
        return;
    m_dropDownDown = false;
    TExtStringGridEdit::mouseUp(button, shift, x, y);
    // The selection changed by this click: reported once, on release.
    if (button == TMouseButton::mbLeft && Selection() != m_pressSelection) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        m_pressSelection = s;
    }
}

void TExtStringGridInput::wmLButtonDblClk(TWMMouse& msg)
{
    int c = -1, r = -1;
    mouseToCell(msg.XPos, msg.YPos, c, r);
    if (c == -1) {
        if (FixedRowAlways()) {
            TExtStringGridEdit::wmLButtonDblClk(msg);
            return;
        }
        c = ColCount() - 1;
        r = 0;
    }
    if (r >= 0 && r < FixedRows() && options().testFlag(goColSizing) && MouseActions.AutoSizeColOnDblClick) {
        const Rect cell = cellRect(c, r);
        auto sizeColumn = [&](int col) {
            bool allow = true;
            if (OnColumnSize)
                OnColumnSize(this, col, allow);
            if (allow) {
                AutoSizeCol(col, 0);
                if (OnEndColumnSize)
                    OnEndColumnSize(this, col);
            }
        };
        if (msg.XPos - cell.left < 4 && c - 1 >= FixedCols()) {
            m_dblClk = true;
            sizeColumn(c - 1);
            TExtStringGridEdit::wmLButtonDblClk(msg);
            return;
        }
        if (cell.right - msg.XPos < 4 && c >= FixedCols()) {
            m_dblClk = true;
            sizeColumn(c);
            return;
        }
    }
    if (r < 0)
        return;
    const int rc = RealColIndex(c);
    if ((HasButton(rc, r) && GetCellButtonRect(rc, r).contains(msg.XPos, msg.YPos))
        || (HasExpand(rc, r) && GetExpandRect(rc, r).contains(msg.XPos, msg.YPos)))
        return;
    if (HasControlGraphic(rc, r)) {
        TExtStringGridEdit::wmLButtonDblClk(msg);
        return;
    }
    TExtStringGridEdit::wmLButtonDblClk(msg);
    if (OnDblClickCell)
        OnDblClickCell(this, r, c);
    if (MouseActions.EditOnDblClickOnly()) {
        const bool keep = MouseActions.RangeSelectAndEdit;
        MouseActions.RangeSelectAndEdit = true;
        if (IsEditable(rc, r)) {
            SetEditChangeFlag();
            setOptions(options() | goEditing);
            ShowInplaceEdit();
        }
        MouseActions.RangeSelectAndEdit = keep;
    }
}

void TExtStringGridInput::RadioGroupClick(int col, int row, int xOffset, int yOffset)
{
    const QPoint b = BaseCell(col, row);
    if (!IsFixed(DisplColIndex(b.x()), b.y()))
        FocusCell(DisplColIndex(b.x()), b.y());
    const platform::TStringList* items = GetRadioStrings(col, row);
    if (!items || items->Count() == 0)
        return;
    const int pitch = ControlLook.ControlStyle() >= csWinXP ? 16 : ControlLook.RadioSize();
    TCellGraphic* g = GetCellGraphic(col, row);
    const QFontMetrics fm(font());
    int chosen = -1;
    int sum = 0;
    for (int i = 0; i < items->Count(); ++i) {
        const int span = g && g->CellBoolean ? fm.horizontalAdvance(items->Strings(i)) + pitch
                                             : std::max(pitch, fm.height());
        const int offset = g && g->CellBoolean ? xOffset : yOffset;
        if (offset >= sum && offset < sum + span) {
            chosen = i;
            break;
        }
        sum += span;
    }
    if (chosen < 0)
        return;
    SetRadioIdx(col, row, chosen);
    SetCells(col, row, Cells(col, row));
    if (OnRadioClick)
        OnRadioClick(this, col, row, chosen);
}

void TExtStringGridInput::CornerSelectAll(TGridRect&) {}

// --- the wheel ----------------------------------------------------------------------------------

void TExtStringGridInput::WheelScrollDone(int, bool&) {}

void TExtStringGridInput::wmMouseWheel(TWMMouseWheel& msg)
{
    const TGridRect s0 = Selection();
    const bool towardsUser = msg.WheelDelta < 0;
    const int lines = QApplication::wheelScrollLines() > 0 ? QApplication::wheelScrollLines() : visibleRowCount();
    if (msg.Keys.testFlag(ssCtrl) && IntelliZoom) {
        Zoom(towardsUser ? lines : -lines);
        AutoSizeCells(true, 4, 4);
        return;
    }
    if (!EnableWheel || (FixedRowAlways() && RowCount() == 1))
        return;
    const int step = MouseActions.WheelIncrement > 0 ? MouseActions.WheelIncrement : lines;
    const int lastDataRow = RowCount() - FixedFooters() - 1;
    int target = row();
    if (MouseActions.WheelAction() == waMoveSelection) {
        target = towardsUser ? row() + step : row() - step;
    } else {
        if (towardsUser) {
            if (topRow() < RowCount() - visibleRowCount())
                setTopRow(std::min(topRow() + step, RowCount() - visibleRowCount()));
        } else {
            setTopRow(std::max(FixedRows(), topRow() - step));
        }
    }
    target = std::clamp(target, FixedRows(), std::max(FixedRows(), lastDataRow));
    int moved = 0;
    if (target >= 0 && target < RowCount() && MouseActions.WheelAction() == waMoveSelection) {
        if (MouseActions.DisjunctRowSelect())
            ClearRowSelect();
        moved = target - row();
        if (col() >= ColCount() || col() < FixedCols())
            SetCol(std::clamp(col(), FixedCols(), ColCount() - 1));
        SetRow(target);
    }
    bool handled = true;
    WheelScrollDone(moved, handled);
    if ((MouseActions.WheelIncrement != 0 || MouseActions.DisjunctRowSelect()) && handled) {
        bool h = false;
        const QPoint p(msg.XPos, msg.YPos);
        if (towardsUser && onMouseWheelDown)
            onMouseWheelDown(this, msg.Keys, p, h);
        else if (!towardsUser && onMouseWheelUp)
            onMouseWheelUp(this, msg.Keys, p, h);
        msg.Result = 1;
    }
    if (Selection() != s0) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
}

bool TExtStringGridInput::doMouseWheelDown(TShiftState shift, QPoint mousePos)
{
    if (MouseActions.WheelAction() == waScroll || !EnableWheel) {
        bool handled = false;
        if (onMouseWheelDown)
            onMouseWheelDown(this, shift, mousePos, handled);
        return handled;
    }
    const bool directEdit = MouseActions.DirectEdit;
    MouseActions.DirectEdit = false;
    const bool result = TExtStringGridEdit::doMouseWheelDown(shift, mousePos);
    MouseActions.DirectEdit = directEdit;
    return result;
}

bool TExtStringGridInput::doMouseWheelUp(TShiftState shift, QPoint mousePos)
{
    if (MouseActions.WheelAction() == waScroll || !EnableWheel) {
        bool handled = false;
        if (onMouseWheelUp)
            onMouseWheelUp(this, shift, mousePos, handled);
        return handled;
    }
    if (row() >= RowCount() || col() >= ColCount())
        return true;
    const bool directEdit = MouseActions.DirectEdit;
    MouseActions.DirectEdit = false;
    const bool result = TExtStringGridEdit::doMouseWheelUp(shift, mousePos);
    MouseActions.DirectEdit = directEdit;
    return result;
}

} // namespace controls::grid
