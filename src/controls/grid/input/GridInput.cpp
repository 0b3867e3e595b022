// Keyboard, mouse, wheel, focus, the update lock and the grid timer of the string grid.
#include "controls/grid/input/GridInput.h"

#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/io/Clipboard.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"
#include "platform/core/FormatSettings.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QToolTip>
#include <utility>

#include <utility>

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
    SaveColumnSizesOnDestroy();
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
    // The dotted line of a fixed column (row) being sized, and the mark of panning.
    Canvas& cv = canvas();
    if (m_sizingFixed || m_sizingFixedR) {
        cv.pen() = platform::Pen{platform::clBlack, 1, platform::PenStyle::Dot};
        const int bottom = std::min(viewport()->height(), CellRect(0, RowCount() - 1).bottom);
        const int right = std::min(viewport()->width(), CellRect(ColCount() - 1, 0).right);
        if (m_sizingFixed) {
            cv.moveTo(m_sizeFixedX, 0);
            cv.lineTo(m_sizeFixedX, bottom > 0 ? bottom : viewport()->height());
        } else {
            cv.moveTo(0, m_sizeFixedY);
            cv.lineTo(right > 0 ? right : viewport()->width(), m_sizeFixedY);
        }
    }
    if (m_panning) {
        cv.pen() = platform::Pen{platform::clBlack, 1, platform::PenStyle::Solid};
        cv.brush() = platform::Brush{platform::clWhite, platform::BrushStyle::Solid};
        cv.ellipse(Rect{m_panPos.x() - 12, m_panPos.y() - 12, m_panPos.x() + 12, m_panPos.y() + 12});
    }
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
    LoadSavedColumnSizes();
    setWindowTimer(kGridTimerId, kGridTimerMs);
    if (QWidget* w = window(); w && w != this)
        w->installEventFilter(this);
}

void TExtStringGridInput::wmTimer(int id)
{
    // While panning every tick steps it.
    if (m_panning)
        PanStep();
    if (id == kPanTimerId)
        return;
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
    // The focus coming back after an editor link's pop-up closed: the grid moved it itself, and
    // the flag serves that one focus change only.
    if (std::exchange(m_invokedFocusChange, false))
        return;
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
    const bool filter = FilterActive();
    SetFilterActive(false);
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
    SetFilterActive(filter);
    if (d < RowCount())
        SetRow(d);
    CalcFooter(-1);
}

void TExtStringGridInput::DeleteRowByKey()
{
    if (RowCount() - FixedRows() - FixedFooters() <= 0)
        return;
    const int rr = RealRowIndex(row());
    const bool filter = FilterActive();
    SetFilterActive(false);
    bool allow = true;
    if (OnCanDeleteRow)
        OnCanDeleteRow(this, rr, allow);
    SetFilterActive(filter);
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
    if (m_panning)
        StopPanning();
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
    // Ctrl+F with the search bar shown: its edit takes the focus; the steps go on.
    if (key == 'F' && shift.testFlag(ssCtrl))
        FocusSearchFooter();
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

void TExtStringGridInput::keyPress(QChar& key)
{
    const char16_t k = key.unicode();
    if (k != 13 && k != 27 && k != 0 && !options().testFlag(goEditing) && Navigation.AutoGotoWhenSorted) {
        if (Navigation.AutoGotoIncremental) {
            if (k == 8)
                SearchInc.chop(1);
            else
                SearchInc += key;
            m_searchTics = 0;
        } else {
            SearchInc = key;
        }
        const int r = SearchInc.isEmpty() ? -1 : Search(SearchInc.toUpper());
        if (r < 0)
            SearchInc.clear();
        else
            SetRow(r);
    }
    TExtStringGridEdit::keyPress(key);
}

// --- mouse --------------------------------------------------------------------------------------

bool TExtStringGridInput::InHeaderSizingBorder(int x, int, int col, int row) const
{
    if (!options().testFlag(goColSizing) || row >= FixedRows() || col < 0)
        return false;
    const Rect r = cellRect(col, row);
    return x - r.left < 4 || r.right - x < 4;
}

bool TExtStringGridInput::InSizingZoneOutside(int x, int y)
{
    TGridState state = TGridState::gsNormal;
    int index = -1, pos = 0, ofs = 0;
    platform::TStringGrid::calcSizingState(x, y, state, index, pos, ofs, calcDrawInfo());
    return state == TGridState::gsColSizing || state == TGridState::gsRowSizing;
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
    if (m_panning)
        StopPanning();
    m_doOnClick = true;
    m_mouseDownMove = true;
    m_mouseDownFlag = true;
    m_spinUpClick = m_spinDnClick = false;
    m_pressSpinUp = m_pressSpinDn = false;
    m_colSized = m_rowSized = false;
    m_pressSelection = Selection();
    const int x = msg.XPos, y = msg.YPos;
    m_pressX = x;
    m_pressY = y;
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);

    // The selection's handle: a drag of it enlarges the selection, which is then filled.
    if (SelectionResizer() && SelectionRectangle() && InSelectionHandle(x, y)) {
        StartSelectionResize(msg);
        return;
    }

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
    const bool ctrl = msg.Keys.testFlag(ssCtrl), shiftKey = msg.Keys.testFlag(ssShift), alt = msg.Keys.testFlag(ssAlt);
    if (MouseActions.DisjunctCellSelect() && !ctrl && c >= FixedCols() && r >= FixedRows()) {
        ClearSelectedCells();
        invalidate();
    }
    SearchInc.clear();
    m_pushedCellButton = TGridCoord{-1, -1};
    m_deselectState = false;
    m_disjunctPress = false;

    if (c < 0 || r < 0) {
        HideInplaceEdit();
        // The border of the last column (row) lies beside the cells: sizing it is no press on
        // the empty area, which a grid that keeps its header ignores.
        if (!FixedRowAlways() || InSizingZoneOutside(x, y))
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
    // A fixed column's (row's) border sizes it (MouseActions.SizeFixedCol / SizeFixedRow).
    if (m_sizeFixed) {
        m_sizingFixed = true;
        m_sizeFixedX = x;
        m_sizingFixedCol = FixedColBorderAt(x);
        viewport()->update();
        return;
    }
    if (m_sizeFixedR) {
        m_sizingFixedR = true;
        m_sizeFixedY = y;
        m_sizingFixedRow = FixedRowBorderAt(y);
        viewport()->update();
        return;
    }
    bool fixed = false;
    IsFixedCell(dc, r, fixed);
    const bool stdFixed = dc < FixedCols() || r < FixedRows();
    const bool extraFixed = fixed && !stdFixed;
    if (fixed || stdFixed)
        HideInplaceEdit();
    // A fixed cell drawn as a button is held down until the release.
    if ((fixed || stdFixed) && FixedAsButtons && options().testFlag(goFixedVertLine)
        && options().testFlag(goFixedHorzLine) && borderStyle() == platform::TBorderStyle::bsSingle
        && !(dc == 0 && IsNode(r) && IsInNodeGlyph(r, x - cell.left))) {
        m_pushedFixed = TGridCoord{dc, r};
        m_pushedCellButton = TGridCoord{dc, r};
        m_fixedCellPushed = true;
        RepaintCell(dc, r);
    }

    // Which half of an always-shown spin button was pressed, for the spin editor that opens.
    if (ControlLook.SpinButtonsAlwaysVisible() && HasSpinEdit(rc, r) && x > cell.right - 18) {
        // Remembered for the spin editor that opens: it steps once by the half pressed.
        m_spinUpClick = y < (cell.top + cell.bottom) / 2;
        m_spinDnClick = !m_spinUpClick;
        m_pressSpinUp = m_spinUpClick;
        m_pressSpinDn = m_spinDnClick;
    }
    if (NodePress(dc, r, x, y, cell, msg.Keys))
        return;
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
    // Disjunct rows and columns: Shift extends, Ctrl on a selected one deselects it at the
    // release, a plain press starts afresh.
    if (MouseActions.DisjunctRowSelect() && r >= FixedRows() && (dc != 0 || !MouseActions.HotmailRowSelect())) {
        if (shiftKey) {
            TExtStringGridEdit::wmLButtonDown(msg);
            SetSelection(TGridRect{std::min(dc, m_pressSelection.Left), std::min(r, m_pressSelection.Top),
                                   std::max(dc, m_pressSelection.Left), std::max(r, m_pressSelection.Top)});
            return;
        }
        if (ctrl || MouseActions.DisjunctRowSelectNoCtrl) {
            if (RowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r))
                m_deselectState = true;
        } else {
            m_disjunctPress = true;
            if (!alt)
                ClearRowSelect();
        }
    }
    if (MouseActions.DisjunctColSelect() && dc >= FixedCols()) {
        if (ctrl) {
            if (ColSelect(dc))
                m_deselectState = true;
        } else {
            m_disjunctPress = true;
            ClearColSelect();
        }
    }
    // Links in the cell text.
    const QString text = Cells(rc, r);
    if (URLShow() && GetTextKind(text, EnableHTML) != 1 && IsURL(text)) {
        FollowAnchor(rc, r, text);
        return;
    }

    // Whole rows, columns or everything by their headers (the mode the mouse move chose).
    m_moveCell = -1;
    const TGridRect s0 = m_pressSelection;
    const TGridCoord oldCurrent{col(), row()};
    if (dc < FixedCols() && r < FixedRows() && MouseActions.AllSelect && options().testFlag(goRangeSelect)
        && m_mouseSelectMode == msAllSelect) {
        setFocus(Qt::MouseFocusReason);
        // The export hook hears of a whole-grid selection as of an export that starts, reaches the
        // last row and does not go on.
        ExportNotification(esExportStart, -1);
        ExportNotification(esExportNewRow, RowCount() - 1);
        ExportNotification(esExportFail, -1);
        TGridRect all{FirstNavigableCol(), FixedRows(), ColCount() - 1, RowCount() - 1};
        CornerSelectAll(all);
        SetSelection(all);
        HeaderSelectionDone(oldCurrent);
    } else if (dc < FixedCols() && r >= FixedRows() && MouseActions.RowSelect && m_mouseSelectMode == msRowSelect) {
        if (m_editing)
            setFocus(Qt::MouseFocusReason);
        if (MouseActions.DisjunctCellSelect())
            ClearSelectedCells();
        const int from = shiftKey ? std::min(r, s0.Top) : r;
        const int to = shiftKey ? std::max(r, s0.Top) : r;
        SetSelection(TGridRect{FirstNavigableCol(), from, ColCount() - 1, to});
        HeaderSelectionDone(oldCurrent);
        m_mouseSelectStart = r;
        RepaintCol(0);
    } else if (r < FixedRows() && dc >= FixedCols() && MouseActions.ColSelect && options().testFlag(goRangeSelect)
               && m_mouseSelectMode == msColumnSelect) {
        setFocus(Qt::MouseFocusReason);
        if (MouseActions.DisjunctCellSelect())
            ClearSelectedCells();
        int from = dc, to = dc;
        if (shiftKey) {
            from = dc < s0.Left ? dc : s0.Left;
            to = dc < s0.Left ? s0.Right : dc;
        }
        SetSelection(TGridRect{from, FixedRows(), to, RowCount() - 1});
        HeaderSelectionDone(oldCurrent);
        m_mouseSelectStart = dc;
    }
    if (r < FixedRows() && dc >= FixedCols())
        m_moveCell = dc;
    else if (dc < FixedCols() && r >= FixedRows())
        m_moveCell = r;
    m_moveOfsX = x - cell.left;
    m_moveOfsY = y - cell.top;

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
    TGridCombo* combo = EditCombo();
    const bool comboWasShown = combo && combo->isVisible();
    TExtStringGridEdit::mouseDown(button, shift, x, y);
    // A press on the right end of a list cell, where its editor's drop button shows, that opens
    // the editor drops its list too (on the release, which an open list would take for a click
    // beside it).
    m_dropOnRelease = combo && !comboWasShown && combo->isVisible() && button == TMouseButton::mbLeft && c == col()
                      && r == row() && x >= cellRect(c, r).right - combo->ButtonWidth() - 4;
    if (gridState() == TGridState::gsColSizing && sizingIndex() >= 0)
        m_pressSize = colWidths(std::min(sizingIndex(), ColCount() - 1));
    else if (gridState() == TGridState::gsRowSizing && sizingIndex() >= 0)
        m_pressSize = rowHeights(std::min(sizingIndex(), RowCount() - 1));
    if (auto* g = SyncGrid.Grid()) {
        if (SyncGrid.SelectionColumn && g->colCount() > col())
            g->setCol(col());
        if (SyncGrid.SelectionRow && g->rowCount() > row())
            g->setRow(row());
    }
}

void TExtStringGridInput::wmRButtonDown(TWMMouse& msg)
{
    if (m_panning)
        StopPanning();
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
    const TGridRect s0 = Selection();
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
    }
    const bool buttonDown = m_mouseDownMove;
    if (m_mouseResize && buttonDown) {
        ResizeSelectionTo(x, y);
        viewport()->setCursor(Qt::SizeFDiagCursor);
        return;
    }
    // Rows (columns) dragged through their headers.
    if (buttonDown && m_mouseSelectStart >= 0 && MouseActions.RowSelect && m_mouseSelectMode == msRowSelect) {
        if (r >= FixedRows() && r < RowCount() - FixedFooters()) {
            const int from = std::min(m_mouseSelectStart, r), to = std::max(m_mouseSelectStart, r);
            SetSelection(TGridRect{FirstNavigableCol(), std::max(from, FixedRows()), ColCount() - 1, to});
        }
        if (y > viewport()->height() - 4 && topRow() + visibleRowCount() < RowCount())
            setTopRow(topRow() + 1);
        else if (FixedRows() > 0 && y < rowHeights(0) && topRow() > FixedRows())
            setTopRow(topRow() - 1);
    } else if (buttonDown && m_mouseSelectStart >= 0 && MouseActions.ColSelect && m_mouseSelectMode == msColumnSelect
               && c >= 0) {
        const int from = std::max(FixedCols(), std::min(m_mouseSelectStart, c));
        SetSelection(TGridRect{from, FixedRows(), std::max(m_mouseSelectStart, c), RowCount() - 1});
    }
    // The borders of fixed columns (rows) size them; the dotted line follows while it runs.
    if (!m_designing) {
        m_sizeFixed = MouseActions.SizeFixedCol && c >= 0 && r >= 0 && FixedColBorderAt(x) >= 0;
        m_sizeFixedR = MouseActions.SizeFixedRow && c >= 0 && r >= 0 && FixedRowBorderAt(y) >= 0;
    }
    if (m_sizingFixed && m_sizeFixedX != x) {
        m_sizeFixedX = x;
        viewport()->update();
    }
    if (m_sizingFixedR && m_sizeFixedY != y) {
        m_sizeFixedY = y;
        viewport()->update();
    }
    // A column or row move may be refused while it runs.
    if (gridState() == TGridState::gsColMoving && OnColumnMove) {
        bool allow = true;
        OnColumnMove(this, m_moveCell, allow);
        if (!allow)
            cancelMode();
    } else if (gridState() == TGridState::gsRowMoving && OnRowMove) {
        bool allow = true;
        OnRowMove(this, m_moveCell, allow);
        if (!allow)
            cancelMode();
    }
    if (!m_designing && !buttonDown)
        UpdateSelectMode(x, y, c, r);
    TExtStringGridEdit::mouseMove(shift, x, y);
    ApplyGridCursor(x, y);
    // The size a sizing would give, to the events and the sizing hint.
    if (gridState() == TGridState::gsColSizing && sizingIndex() >= 0) {
        m_colSized = true;
        if (OnColumnSizing)
            OnColumnSizing(this, sizingIndex(), std::max(0, m_pressSize + x - m_pressX));
    } else if (gridState() == TGridState::gsRowSizing && sizingIndex() >= 0) {
        m_rowSized = true;
        if (OnRowSizing)
            OnRowSizing(this, sizingIndex(), std::max(0, m_pressSize + y - m_pressY));
    } else if (m_sizingFixed && m_sizingFixedCol >= 0 && OnColumnSizing) {
        OnColumnSizing(this, m_sizingFixedCol, x - FixedColsExtent(m_sizingFixedCol));
    } else if (m_sizingFixedR && m_sizingFixedRow >= 0 && OnRowSizing) {
        OnRowSizing(this, m_sizingFixedRow, y - FixedRowsExtent(m_sizingFixedRow));
    }
    if (HintShowSizing)
        ShowSizingHint(x, y);
    if (Selection() != s0 && buttonDown) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
}

void TExtStringGridInput::UpdateSelectMode(int x, int y, int c, int r)
{
    TMouseSelection mode = msNormalSelect;
    if (SelectionResizer() && SelectionRectangle() && InSelectionHandle(x, y)) {
        mode = msResizeSelect;
    } else if (c >= 0 && r >= 0 && c < FixedCols() && r < FixedRows()) {
        if (MouseActions.AllSelect)
            mode = msAllSelect;
    } else if (c >= FixedCols() && r >= 0 && r < FixedRows()) {
        if (MouseActions.ColSelect && !InSizingZone(x, y))
            mode = msColumnSelect;
    } else if (c >= 0 && c < FixedCols() && r >= FixedRows()) {
        const int lastRow = FloatingFooter.Visible && FloatingFooter.FooterStyle == fsFixedLastRow ? RowCount() - 2
                                                                                                 : RowCount() - 1;
        if (MouseActions.RowSelect && r <= lastRow && !InSizingZone(x, y))
            mode = msRowSelect;
    }
    m_mouseSelectMode = mode;
}

namespace {
// An arrow cursor pointing down (columns) or right (rows), drawn once.
QCursor selectArrowCursor(bool down)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::white);
    p.setBrush(Qt::black);
    const QPolygon arrow = down ? QPolygon({QPoint(4, 1), QPoint(11, 1), QPoint(11, 8), QPoint(14, 8), QPoint(7, 15),
                                            QPoint(1, 8), QPoint(4, 8)})
                                : QPolygon({QPoint(1, 4), QPoint(8, 4), QPoint(8, 1), QPoint(15, 7), QPoint(8, 14),
                                            QPoint(8, 11), QPoint(1, 11)});
    p.drawPolygon(arrow);
    p.end();
    return down ? QCursor(pm, 7, 15) : QCursor(pm, 15, 7);
}
} // namespace

void TExtStringGridInput::ApplyGridCursor(int x, int y)
{
    const bool sizing = gridState() == TGridState::gsColSizing || gridState() == TGridState::gsRowSizing;
    if (m_mouseSelectMode != msNormalSelect && !sizing) {
        switch (m_mouseSelectMode) {
        case msColumnSelect: viewport()->setCursor(selectArrowCursor(true)); return;
        case msRowSelect: viewport()->setCursor(selectArrowCursor(false)); return;
        case msAllSelect: viewport()->setCursor(Qt::CrossCursor); return;
        case msResizeSelect: viewport()->setCursor(Qt::SizeFDiagCursor); return;
        default: break;
        }
    }
    if (m_sizeFixed || m_sizingFixed) {
        viewport()->setCursor(Qt::SplitHCursor);
        return;
    }
    if (m_sizeFixedR || m_sizingFixedR) {
        viewport()->setCursor(Qt::SplitVCursor);
        return;
    }
    // The hand over a link; elsewhere the sizing cursor over a border, else none.
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    const QString text = c >= 0 && r >= 0 ? Cells(RealColIndex(c), r) : QString();
    if (URLShow() && !text.isEmpty() && GetTextKind(text, EnableHTML) != 1 && IsURL(text)
        && gridState() == TGridState::gsNormal && !InSizingZoneOutside(x, y))
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        wmSetCursor(x, y);
}

void TExtStringGridInput::ShowSizingHint(int x, int y)
{
    int index = -1;
    QString text;
    if (gridState() == TGridState::gsColSizing && sizingIndex() >= 0) {
        index = sizingIndex();
        text = QStringLiteral("cw=<b>%1</b>").arg(std::max(0, m_pressSize + x - m_pressX));
    } else if (gridState() == TGridState::gsRowSizing && sizingIndex() >= 0) {
        index = sizingIndex();
        text = QStringLiteral("rh=<b>%1</b>").arg(std::max(0, m_pressSize + y - m_pressY));
    } else if (m_sizingFixed && m_sizingFixedCol >= 0) {
        text = QStringLiteral("cw=<b>%1</b>").arg(x - FixedColsExtent(m_sizingFixedCol));
    } else if (m_sizingFixedR && m_sizingFixedRow >= 0) {
        text = QStringLiteral("rh=<b>%1</b>").arg(y - FixedRowsExtent(m_sizingFixedRow));
    } else {
        return;
    }
    Rect cell = index >= 0 ? cellRect(gridState() == TGridState::gsColSizing ? index : 0,
                                      gridState() == TGridState::gsColSizing ? 0 : index)
                           : cellRect(0, 0);
    ShowGridHint(text, viewport()->mapToGlobal(QPoint(cell.left, cell.top)));
}

int TExtStringGridInput::FixedColsExtent(int upTo) const
{
    int x = 0;
    for (int i = 0; i < upTo && i < FixedCols(); ++i)
        x += colWidths(i) + 1;
    return x;
}

int TExtStringGridInput::FixedRowsExtent(int upTo) const
{
    int y = 0;
    for (int i = 0; i < upTo && i < FixedRows(); ++i)
        y += rowHeights(i) + 1;
    return y;
}

int TExtStringGridInput::FixedColBorderAt(int x) const
{
    int found = -1;
    int border = 0;
    for (int i = 0; i < FixedCols(); ++i) {
        border += colWidths(i) + 1;
        if (std::abs(border - x) < 3)
            found = i;
    }
    return found;
}

int TExtStringGridInput::FixedRowBorderAt(int y) const
{
    int found = -1;
    int border = 0;
    for (int i = 0; i < FixedRows(); ++i) {
        border += rowHeights(i) + 1;
        if (std::abs(border - y) < 3)
            found = i;
    }
    return found;
}

// --- the selection handle --------------------------------------------------------------------------

bool TExtStringGridInput::InSelectionHandle(int x, int y) const
{
    const TGridRect sel = Selection();
    const Rect cell = cellRect(sel.Right, sel.Bottom);
    if (cell.width() <= 0 || cell.height() <= 0)
        return false;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const int left = rtl ? cell.left : cell.right - 6;
    return x >= left && x < left + 6 && y >= cell.bottom - 6 && y < cell.bottom;
}

void TExtStringGridInput::StartSelectionResize(TWMMouse& msg)
{
    // The selection goes to the clipboard, to be pasted into the enlarged selection at the
    // release; until then the drag grows the selection from its top-left.
    m_dropSelection = Selection();
    io::CopySelectionToClipboard(*this);
    m_mouseResize = true;
    setFocus(Qt::MouseFocusReason);
    msg.Result = 1;
}

void TExtStringGridInput::ResizeSelectionTo(int x, int y)
{
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    if (c < 0 || r < 0)
        return;
    const TGridRect s{m_dropSelection.Left, m_dropSelection.Top, std::max(m_dropSelection.Right, c),
                      std::max(m_dropSelection.Bottom, r)};
    if (s != Selection()) {
        SetSelection(s);
        RepaintRect(s);
    }
}

void TExtStringGridInput::FinishSelectionResize()
{
    const TGridRect now = Selection();
    if (OnSelectionResize)
        OnSelectionResize(this, m_dropSelection, now);
    // The block copied at the press goes into the enlarged selection (with smart pasting it is
    // repeated over it), editing counted as on for the paste.
    const TGridOptions before = options();
    if (!before.testFlag(goEditing)) {
        SetEditChangeFlag();
        setOptions(before | goEditing);
    }
    io::PasteSelectionFromClipboard(*this);
    if (!before.testFlag(goEditing)) {
        SetEditChangeFlag();
        setOptions(before);
    }
    m_mouseResize = false;
    if (OnSelectionResized)
        OnSelectionResized(this, m_dropSelection, now);
}

void TExtStringGridInput::cmMouseLeave()
{
    TExtStringGridEdit::cmMouseLeave();
    m_mouseSelectMode = msNormalSelect;
    m_sizeFixed = m_sizeFixedR = false;
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
    m_mouseSelectMode = msNormalSelect;
    m_mouseSelectStart = -1;
    const int x = msg.XPos, y = msg.YPos;
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    ClearColMoveFlag();
    if (m_mouseResize) {
        ResizeSelectionTo(x, y);
        FinishSelectionResize();
        return;
    }
    // A fixed column (row) sized by its border gets its new width (height).
    if (m_sizingFixed || m_sizingFixedR) {
        const bool cols = m_sizingFixed;
        m_sizeFixed = m_sizingFixed = m_sizeFixedR = m_sizingFixedR = false;
        viewport()->update();
        HideGridHint();
        if (cols && m_sizingFixedCol >= 0) {
            int width = std::max(0, x - FixedColsExtent(m_sizingFixedCol));
            setColWidths(m_sizingFixedCol, width);
            if (OnEndColumnSize)
                OnEndColumnSize(this, m_sizingFixedCol);
            const int asked = width;
            UpdateColSize(m_sizingFixedCol, width);
            if (width != asked)
                setColWidths(m_sizingFixedCol, width);
        } else if (!cols && m_sizingFixedRow >= 0) {
            setRowHeights(m_sizingFixedRow, std::max(0, y - FixedRowsExtent(m_sizingFixedRow)));
            if (OnEndRowSize)
                OnEndRowSize(this, m_sizingFixedRow);
        }
        return;
    }
    if (m_fixedCellPushed) {
        m_fixedCellPushed = false;
        RepaintCell(m_pushedFixed.X, m_pushedFixed.Y);
        const TGridCoord pushed = m_pushedFixed;
        m_pushedFixed = TGridCoord{-1, -1};
        if (m_pushedCellButton == pushed) {
            // A fixed cell shown as a button is clicked when released on itself.
            m_pushedCellButton = TGridCoord{-1, -1};
            if (c == pushed.X && r == pushed.Y && !HasButton(RealColIndex(c), r))
                ButtonClick(RealColIndex(c), r);
        }
    }

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
    const bool sized = gridState() == TGridState::gsColSizing || gridState() == TGridState::gsRowSizing;
    const int sizedIndex = sizingIndex();
    const bool sizedCols = gridState() == TGridState::gsColSizing;
    TExtStringGridEdit::wmLButtonUp(msg);
    HideGridHint();
    if (sized && sizedIndex >= 0) {
        // The end of a sizing by mouse: reported, and the column's width may be changed.
        if (sizedCols && m_colSized && sizedIndex < ColCount()) {
            if (OnEndColumnSize)
                OnEndColumnSize(this, sizedIndex);
            int width = colWidths(sizedIndex);
            const int asked = width;
            UpdateColSize(sizedIndex, width);
            if (width != asked)
                setColWidths(sizedIndex, width);
        } else if (!sizedCols && m_rowSized && sizedIndex < RowCount() && OnEndRowSize) {
            OnEndRowSize(this, sizedIndex);
        }
    }
    // Disjunct rows and columns take the selection; a Ctrl press on a selected one drops it.
    if (MouseActions.DisjunctRowSelect() && c >= 0 && r >= 0) {
        if (!(c == 0 && MouseActions.HotmailRowSelect()) && !m_deselectState)
            SelectionToRowSelect(false);
        if (m_deselectState && r >= FixedRows() && r < RowCount() - FixedFooters()) {
            SetRowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r, false);
            m_selChange = false;
        }
    }
    if (MouseActions.DisjunctColSelect() && c >= 0) {
        if (!m_deselectState)
            SelectionToColSelect(false);
        if (m_deselectState && c >= FixedCols() && c < ColCount() - FixedRightCols())
            SetColSelect(c, false);
    }
    m_deselectState = false;
    m_disjunctPress = false;
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
    if (m_dblClk) {
        m_dblClk = false; // the double click sized a column
        return;
    }
    if (!sized && !ColMoveFlag())
        HeaderClickSort(c, r, x, y, msg.Keys);
}

void TExtStringGridInput::mouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OleReleaseWithoutDrag(x, y))
        return;
    m_dropDownDown = false;
    TExtStringGridEdit::mouseUp(button, shift, x, y);
    if (std::exchange(m_dropOnRelease, false) && button == TMouseButton::mbLeft && EditCombo()->isVisible()
        && !EditCombo()->DroppedDown())
        EditCombo()->SetDroppedDown(true);
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
        // Beside the last column: its right border fits it, also in a grid that keeps its header.
        if (FixedRowAlways() && !InSizingZoneOutside(msg.XPos, msg.YPos)) {
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

void TExtStringGridInput::HeaderSelectionDone(TGridCoord oldCurrent)
{
    // The grid's exit step, as when the focus leaves: with DisjunctRowSelect the new selection
    // becomes the row select flags, and OnExit tells the application that a selection was made.
    doExit();
    if (ActiveCellShow())
        RepaintActiveHeaders(oldCurrent.X, oldCurrent.Y, col(), row());
}

// --- the wheel ----------------------------------------------------------------------------------

void TExtStringGridInput::WheelScrollDone(int, bool&) {}

// --- middle-button panning ------------------------------------------------------------------------

void TExtStringGridInput::wmMButtonDown(TWMMouse& msg)
{
    if (m_panning) {
        StopPanning();
    } else if (IntelliPan != ipNone && FixedRows() < RowCount()) {
        m_panning = true;
        m_panPos = QPoint(msg.XPos, msg.YPos);
        viewport()->setCursor(Qt::SizeAllCursor);
        setWindowTimer(kPanTimerId, kPanTimerMs);
        viewport()->grabMouse();
        viewport()->update();
        return;
    }
    TExtStringGridEdit::wmMButtonDown(msg);
}

void TExtStringGridInput::StopPanning()
{
    if (!m_panning)
        return;
    m_panning = false;
    killWindowTimer(kPanTimerId);
    viewport()->releaseMouse();
    viewport()->unsetCursor();
    viewport()->update();
}

void TExtStringGridInput::PanStep()
{
    const TGridRect s0 = Selection();
    const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
    int dy = 0, dx = 0;
    if (IntelliPan != ipHorizontal)
        dy = p.y() < m_panPos.y() - 5 ? -1 : p.y() > m_panPos.y() + 5 ? 1 : 0;
    if (IntelliPan != ipVertical)
        dx = p.x() < m_panPos.x() - 5 ? -1 : p.x() > m_panPos.x() + 5 ? 1 : 0;
    static const Qt::CursorShape shapes[3][3] = {
        {Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor},
        {Qt::SizeHorCursor, Qt::SizeAllCursor, Qt::SizeHorCursor},
        {Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeFDiagCursor},
    };
    viewport()->setCursor(shapes[dy + 1][dx + 1]);
    const int lastDataRow = RowCount() - FixedFooters() - 1;
    const int lastDataCol = ColCount() - FixedRightCols() - 1;
    const int cc = std::clamp(col(), FixedCols(), std::max(FixedCols(), lastDataCol));
    const int rr = std::clamp(row(), FixedRows(), std::max(FixedRows(), lastDataRow));
    if (cc != col() || rr != row())
        FocusCell(cc, rr);
    if (dx == 0 && dy == 0)
        return;
    if (MouseActions.WheelAction() == waScroll) {
        if (dx != 0)
            setLeftCol(std::clamp(leftCol() + dx, FixedCols(), std::max(FixedCols(), ColCount() - visibleColCount())));
        if (dy != 0)
            setTopRow(std::clamp(topRow() + dy, FixedRows(), std::max(FixedRows(), RowCount() - visibleRowCount())));
    } else {
        FocusCell(std::clamp(col() + dx, FixedCols(), std::max(FixedCols(), lastDataCol)),
                  std::clamp(row() + dy, FixedRows(), std::max(FixedRows(), lastDataRow)));
    }
    viewport()->update();
    if (Selection() != s0) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
}

void TExtStringGridInput::wmRButtonUp(TWMMouse& msg) { TExtStringGridEdit::wmRButtonUp(msg); }

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
