#include "controls/grid/dropdown/MultiColumnDropDown.h"

#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "controls/grid/dropdown/rules/DropDownStyles.h"
#include "controls/grid/dropdown/rules/LookupLogic.h"
#include "platform/grid/Keys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QStyle>

namespace controls::grid::dropdown {

using namespace platform;

namespace multicolumn {

TExtColGrid::TExtColGrid(QWidget* parent) : TStringGrid(parent)
{
    setRowCount(2);
    setFixedRows(1);
    setFixedCols(0);
    setOptions(goHorzLine | goRowSelect);
    setDefaultDrawing(false);
    setBorderStyle(platform::TBorderStyle::bsNone);
    TStringGrid::setGridLineWidth(0);
}

void TExtColGrid::SetGridLineWidth(int width)
{
    m_lineWidth = width;
    TStringGrid::setGridLineWidth(0);
    invalidateGrid();
}

bool TExtColGrid::AllRowsVisible() const { return visibleRowCount() + fixedRows() >= rowCount(); }

void TExtColGrid::LoadFromDropDown(TExtMultiColumnDropDown* d)
{
    m_dropDown = d;
    m_columns.Assign(&d->Columns());
    setColCount(std::max(1, m_columns.Count()));
    setRowCount(d->Items().Count() + 1);
    if (rowCount() > 1) {
        setFixedRows(1);
        setRow(1);
    }
    for (int i = 0; i < m_columns.Count(); ++i)
        setColWidths(i, m_columns[i]->Width);
    LineColor = d->LineColor;
    FixedLineColor = d->FixedLineColor;
    HeaderColor = d->HeaderColor;
    HeaderColorTo = d->HeaderColorTo;
    HeaderHeight = d->HeaderHeight;
    HeaderFont = d->HeaderFont;
    Images = d->Images();
    setDefaultRowHeight(d->DropDownRowHeight);
    setRowHeights(0, HeaderHeight);
    TGridOptions o = options();
    o.setFlag(goColSizing, d->ColumnSizing);
    setOptions(o);
    AutoSizeColumns();
    AutoRowHeights();
}

int TExtColGrid::GetTotalWidth() const { return GridTotalWidth(*this, AllRowsVisible()); }

void TExtColGrid::AutoSizeColumn(int index)
{
    if (m_dropDown && index >= 0)
        AutoSizeItemColumns(m_columns, m_dropDown->Items(), Images, index, [this](int c, int w) { setColWidths(c, w); });
}

void TExtColGrid::AutoSizeColumns()
{
    if (m_dropDown)
        AutoSizeItemColumns(m_columns, m_dropDown->Items(), Images, -1, [this](int c, int w) { setColWidths(c, w); });
}

void TExtColGrid::AutoRowHeights()
{
    if (!m_dropDown || !HasWrappedColumn(m_columns))
        return;
    const TDropDownItems& items = m_dropDown->Items();
    for (int i = 0; i < items.Count(); ++i) {
        int h = WrappedRowHeight(
            m_columns, [this](int col) { return colWidths(col); }, [&](int col) { return items[i]->TextAt(col); });
        for (int col = 0; col < m_columns.Count(); ++col)
            if (m_columns[col]->Wordwrap && m_columns[col]->ColumnType == ctImage && items[i]->ImageIndex >= 0 && Images)
                h = std::max(h, Images->Height() + 6);
        setRowHeights(i + 1, h);
    }
}

Rect TExtColGrid::FullCellRect(int col, int row) const
{
    const Rect r = cellRect(col, row);
    return Rect{r.left, r.top, r.left + colWidths(col), r.top + rowHeights(row)};
}

void TExtColGrid::DoSelect()
{
    if (OnSelect)
        OnSelect();
}

void TExtColGrid::drawCell(int col, int row, const Rect& rect, TGridDrawState state)
{
    Canvas& c = canvas();
    TExtMultiColumnDropDown* d = m_dropDown;
    if (d && d->OnDropDownDrawItem) {
        d->OnDropDownDrawItem(d, col, rect, c, row);
        return;
    }
    const Rect r = FullCellRect(col, row).intersected(rect).isEmpty() ? rect : FullCellRect(col, row);
    const int last = colCount() - 1;
    const int position = last == 0 ? 0 : col == 0 ? 1 : col == last ? 2 : 3;
    const bool header = row < fixedRows();
    const bool dataColumn = col < m_columns.Count();
    QString text = cells(col, row);
    Color back = color();
    platform::Alignment align = platform::Alignment::taLeftJustify;
    bool wrap = false, ellipsis = false;
    int imageIndex = -1;
    QFont font = HeaderFont;
    if (dataColumn && !header) {
        const TDropDownColumn* column = m_columns[col];
        back = column->Color;
        align = column->Alignment;
        wrap = column->Wordwrap;
        ellipsis = column->Ellipsis;
        font = column->Font;
        if (d && row - 1 < d->Items().Count()) {
            const TDropDownItem* item = d->Items()[row - 1];
            if (column->ColumnType == ctImage)
                imageIndex = item->ImageIndex;
            if (col < item->Text.size())
                text = item->Text.at(col);
        }
    }
    if (d && d->OnDropDownGetItemText)
        d->OnDropDownGetItemText(d, col, text, row);
    const bool selected = !header && (state & gdSelected);
    if (header) {
        text = dataColumn ? m_columns[col]->Header : QString();
        imageIndex = -1;
        if (HeaderColor == clNone || HeaderColorTo == clNone) {
            c.brush() = Brush{HeaderColor, HeaderColor == clNone ? BrushStyle::Clear : BrushStyle::Solid};
            c.fillRect(r);
        } else if (d) {
            d->DrawBackgroundGradient(c, HeaderColor, true, r, 80, HeaderColorTo);
        }
    } else if (selected && d) {
        d->DrawSelectionBackground(c, r, position, back);
    } else {
        c.pen() = Pen{back, 1, PenStyle::Solid};
        c.brush() = Brush{back, BrushStyle::Solid};
        c.fillRect(r);
    }
    const int lw = header ? 1 : m_lineWidth;
    const Color lineColor = header ? FixedLineColor : LineColor;
    if (lw > 0 && lineColor != clNone) {
        const int cc = header ? 1 : (m_lineWidth + 1) / 2;
        c.pen() = Pen{lineColor, lw, PenStyle::Solid};
        c.moveTo(r.left - cc + 1, r.bottom - cc);
        c.lineTo(r.right - cc + 1, r.bottom - cc);
        if (options().testFlag(goVertLine) || header) {
            c.moveTo(r.right - cc, r.bottom - cc);
            c.lineTo(r.right - cc, r.top - cc);
        }
    }
    Rect t = r.inflated(-m_lineWidth, -m_lineWidth);
    t.left += 2;
    if (Images && imageIndex >= 0) {
        const int y = t.top + std::max(0, (t.height() - Images->Height()) / 2);
        Images->Draw(c, t.left, y, imageIndex, true);
        t.left += Images->Width() + 4;
    }
    c.font().font = font;
    c.font().color = selected && d ? d->SelectionTextColor : header && d ? d->HeaderFontColor : clWindowText;
    c.setBkMode(BkMode::Transparent);
    unsigned flags = DT_NOPREFIX | DT_EXPANDTABS | DT_VCENTER;
    flags |= wrap ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE;
    if (align == platform::Alignment::taRightJustify)
        flags |= DT_RIGHT;
    else if (align == platform::Alignment::taCenter)
        flags |= DT_CENTER;
    if (ellipsis)
        flags |= DT_END_ELLIPSIS;
    c.drawText(text, t, flags);
}

void TExtColGrid::keyDown(quint16& key, TShiftState shift)
{
    ConfirmSelection = true;
    if ((shift & ssAlt) && (key == VK_UP || key == VK_DOWN)) {
        if (m_dropDown)
            m_dropDown->SendKeyDown(key, shift);
        return;
    }
    const quint16 pressed = key;
    TStringGrid::keyDown(key, shift);
    if (pressed == VK_RETURN)
        DoSelect();
}

void TExtColGrid::mouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    ConfirmSelection = true;
    OldRow = row();
    TStringGrid::mouseDown(button, shift, x, y);
}

void TExtColGrid::mouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TStringGrid::mouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    if (r >= fixedRows())
        DoSelect();
}

bool TExtColGrid::doMouseWheelDown(TShiftState shift, QPoint mousePos)
{
    return WheelWithoutChoice(MouseWheelSelection, ConfirmSelection,
                              [&] { return TStringGrid::doMouseWheelDown(shift, mousePos); });
}

bool TExtColGrid::doMouseWheelUp(TShiftState shift, QPoint mousePos)
{
    return WheelWithoutChoice(MouseWheelSelection, ConfirmSelection,
                              [&] { return TStringGrid::doMouseWheelUp(shift, mousePos); });
}

void TExtColGrid::wmKeyDown(TWMKey& msg)
{
    if (msg.CharCode == VK_TAB)
        return;
    TStringGrid::wmKeyDown(msg);
}

int TExtColGrid::wmGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTTAB; }

} // namespace multicolumn

// =====================================================================================================

TExtMultiColumnDropDown::TExtMultiColumnDropDown(QWidget* parent) : TExtCustomDropDown(parent)
{
    HeaderFont = font();
    CreateDropDownForm();
    DropDownColor = 0xFFFFFF;
    SetDropDownHeight(200);
    SetSelectionColorStyle(scOffice2007);
    SetComponentStyle(GetComponentStyle());
}

void TExtMultiColumnDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (m_grid)
        return;
    m_grid = new multicolumn::TExtColGrid(DropDownForm());
    m_grid->SetDropDown(this);
    m_grid->move(0, 0);
    m_grid->resize(m_grid->width(), 180);
    m_grid->setColor(DropDownColor);
    m_grid->onSelectCell = [this](TStringGrid*, int, int row, bool&) { GridSelectCell(row); };
    m_grid->OnSelect = [this] { GridSelect(); };
    m_grid->onKeyDown = [this](TStringGrid*, quint16& key, TShiftState) {
        if (key == VK_RETURN)
            DoHideDropDown(false);
        else if (key == VK_ESCAPE)
            DoHideDropDown(true);
    };
    FocusControl = m_grid;
    SetControl(m_grid);
}

void TExtMultiColumnDropDown::PlaceDropDownControl()
{
    SetControl(m_grid);
    TExtCustomDropDown::PlaceDropDownControl();
}

int TExtMultiColumnDropDown::GetItemIndex(const QString& value) const { return m_items.IndexInColumn(LookupColumn, value); }

void TExtMultiColumnDropDown::SetItemIndex(int index)
{
    if (index >= m_items.Count())
        return;
    m_itemIndex = index;
    QString text;
    if (index >= 0 && LookupColumn >= 0)
        text = m_items[index]->TextAt(LookupColumn);
    SetText(text);
}

void TExtMultiColumnDropDown::UpdateLookupItems()
{
    if (LookupColumn < 0 || m_items.Count() == 0)
        return;
    m_completion.LookupItems.clear();
    for (int i = 0; i < m_items.Count(); ++i)
        m_completion.LookupItems << m_items[i]->TextAt(LookupColumn);
}

void TExtMultiColumnDropDown::Assign(const TExtCustomDropDown* source)
{
    TExtCustomDropDown::Assign(source);
    const auto* s = dynamic_cast<const TExtMultiColumnDropDown*>(source);
    if (!s)
        return;
    AssignLook(*s);
    m_columns.Assign(&s->m_columns);
    m_items.Assign(&s->m_items);
    SetItemIndex(s->m_itemIndex);
}

// --- the popup -------------------------------------------------------------------------------------------

void TExtMultiColumnDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    DropDownForm()->CancelOnDeActivate = false;
    m_showing = true;
    m_grid->LoadFromDropDown(this);
    m_grid->setOptions(m_grid->options() | goThumbTracking);
    m_grid->setColor(DropDownColor);
    m_grid->setRow(std::max(m_itemIndex + 1, m_grid->fixedRows()));
    m_oldItemIndex = m_itemIndex;
}

void TExtMultiColumnDropDown::AdjustDropDownHeight(int& height)
{
    height = WholeRowsPopupHeight(height, BarsHeight(), HeaderHeight, DropDownRowHeight, 2);
}

void TExtMultiColumnDropDown::SizeDropDownForm()
{
    TExtCustomDropDown::SizeDropDownForm();
    if (DropDownAutoWidth && DropDownForm())
        DropDownForm()->resize(m_grid->GetTotalWidth() + 2 * DropDownBorderWidth, DropDownForm()->height());
}

void TExtMultiColumnDropDown::SizeColumnsToWidth()
{
    if (!ColumnSizeWithDropDown || m_columns.Count() == 0 || !DropDownForm())
        return;
    for (int i = 0; i < m_columns.Count() && i < m_grid->colCount(); ++i)
        m_grid->setColWidths(i, m_columns[i]->Width);
    SizeGridColumnsTo(*m_grid, m_columns.Count(), DropDownForm()->width(), m_grid->AllRowsVisible());
}

void TExtMultiColumnDropDown::DoShowDropDown()
{
    TExtCustomDropDown::DoShowDropDown();
    if (DroppedDown()) {
        SizeColumnsToWidth();
        if (m_grid->rowCount() > 1) {
            m_grid->setRow(m_itemIndex < 0 ? 1 : m_itemIndex + 1);
            const Rect r = m_grid->FullCellRect(0, m_grid->row());
            if (r.left <= 0 && r.top <= 0)
                m_grid->setTopRow(std::max(m_grid->fixedRows(), m_grid->row() - m_grid->visibleRowCount() + 1));
        }
    }
    m_showing = false;
}

void TExtMultiColumnDropDown::DoHideDropDown(bool cancel)
{
    if (!DroppedDown()) {
        TExtCustomDropDown::DoHideDropDown(cancel);
        return;
    }
    TExtCustomDropDown::DoHideDropDown(cancel);
    if (cancel)
        SetItemIndex(m_oldItemIndex);
    else if (m_grid->ConfirmSelection)
        SetItemIndex(m_grid->row() - 1);
    m_oldItemIndex = m_itemIndex;
    m_grid->ConfirmSelection = false;
}

void TExtMultiColumnDropDown::DropDownSizing()
{
    TExtCustomDropDown::DropDownSizing();
    SizeColumnsToWidth();
}

void TExtMultiColumnDropDown::GridSelectCell(int row)
{
    if (m_grid->MouseWheelSelection || m_showing)
        return;
    SetItemIndex(row - 1);
}

void TExtMultiColumnDropDown::GridSelect()
{
    if (m_grid->ConfirmSelection)
        SetItemIndex(m_grid->row() - 1);
    DoHideDropDown(false);
    if (OnSelect)
        OnSelect(this);
}

namespace {
bool GridStepKey(quint16 key)
{
    return key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN;
}
} // namespace

void TExtMultiColumnDropDown::ControlKeyDown(quint16& key, TShiftState shift)
{
    if (!GridStepKey(key) || (shift & ssAlt))
        TExtCustomDropDown::ControlKeyDown(key, shift);
}

void TExtMultiColumnDropDown::ControlKeyUp(quint16& key, TShiftState shift)
{
    if (!GridStepKey(key) || (shift & ssAlt))
        TExtCustomDropDown::ControlKeyUp(key, shift);
}

void TExtMultiColumnDropDown::ControlKeyPress(QChar& key)
{
    const ushort code = key.unicode();
    const bool navigation = code == 13 || code == 27 || (code >= 33 && code <= 36) || code == 38 || code == 40;
    if (!m_grid->options().testFlag(goEditing) && (!navigation || (m_keyShift & ssAlt))) {
        const int a = DoLookup(key);
        if (a >= 0) {
            const int r = a + m_grid->fixedRows();
            if (r < m_grid->topRow() || r > m_grid->topRow() + m_grid->visibleRowCount())
                m_grid->setTopRow(r);
            m_grid->setRow(r);
            m_grid->setCol(0);
        }
    } else {
        m_lookupEntry.clear();
    }
    key = QChar(); // typed in the popup: looked up, not typed into the edit
}

int TExtMultiColumnDropDown::FindLookupMatch(const QString& s, QString& text) const
{
    if (!m_grid)
        return -1;
    for (int i = 0; i < m_items.Count(); ++i) {
        const QString entry = m_items[i]->TextAt(LookupColumn);
        if (CaseText(entry, CaseSensitive).startsWith(CaseText(s, CaseSensitive))) {
            text = entry;
            return i;
        }
    }
    return -1;
}

int TExtMultiColumnDropDown::DoLookup(QChar ch)
{
    if (ch == QChar(8)) {
        if (InputSelLength() == 0) {
            m_lookupEntry.chop(1);
            SetText(m_lookupEntry);
        } else {
            QString t = GetText();
            t.remove(InputSelStart(), InputSelLength());
            SetText(t);
        }
        InputSetCaret(GetText().length());
        return -1;
    }
    if (ch != QChar(9))
        m_lookupEntry += ch;
    QString text;
    int i = FindLookupMatch(m_lookupEntry, text);
    if (i >= 0) {
        m_itemIndex = i;
        SetText(text);
        InputSetSel(GetText().length(), m_lookupEntry.length());
        return i;
    }
    i = FindLookupMatch(QString(ch), text);
    if (i >= 0) {
        m_itemIndex = i;
        SetText(text);
        m_lookupEntry = QString(ch);
        return i;
    }
    m_lookupEntry.clear();
    return -1;
}

// --- keys and completion ---------------------------------------------------------------------------------

void TExtMultiColumnDropDown::Change()
{
    TExtCustomDropDown::Change();
    m_completion.Changed(*this, MatchCase, m_itemIndex);
}

void TExtMultiColumnDropDown::KeyUp(quint16& key, TShiftState shift)
{
    if (!(key == VK_RETURN && ReturnIsTab))
        TExtCustomDropDown::KeyUp(key, shift);
    int index = -1, selStart = 0;
    if (!m_completion.TakeRelease(index, selStart))
        return;
    SetItemIndex(index);
    InputSetSel(selStart, GetText().length());
}

void TExtMultiColumnDropDown::KeyDown(quint16& key, TShiftState shift)
{
    if (LookupColumn < 0 || m_items.Count() == 0) {
        TExtCustomDropDown::KeyDown(key, shift);
        return;
    }
    const quint16 pressed = key;
    m_completion.KeyPressed(key);
    if (key == VK_RETURN) {
        const int i = IndexOfIgnoringCase(m_completion.LookupItems, GetText());
        if (i >= 0) {
            SetText(m_completion.LookupItems.at(i));
            SetItemIndex(i);
            Change();
        }
        if (ReturnIsTab) {
            QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
            key = 0;
        }
    }
    TExtCustomDropDown::KeyDown(key, shift);
    if (pressed == VK_ESCAPE)
        SetItemIndex(IndexOfIgnoringCase(m_completion.LookupItems, GetText()));
}

void TExtMultiColumnDropDown::KeyPress(QChar& key)
{
    if (key == QChar(13) && ReturnIsTab) {
        key = QChar();
        return;
    }
    TExtCustomDropDown::KeyPress(key);
}

void TExtMultiColumnDropDown::StepTo(int index)
{
    if (index >= 0)
        SetItemIndex(index);
}

void TExtMultiColumnDropDown::SelectNext() { StepTo(StepNext(m_itemIndex, m_items.Count())); }
void TExtMultiColumnDropDown::SelectPrevious() { StepTo(StepPrevious(m_itemIndex, m_items.Count())); }
void TExtMultiColumnDropDown::SelectPageDown() { StepTo(StepPageDown(m_itemIndex, m_items.Count())); }
void TExtMultiColumnDropDown::SelectPageUp() { StepTo(StepPageUp(m_itemIndex, m_items.Count())); }

void TExtMultiColumnDropDown::SelectFirst()
{
    if (m_items.Count() > 0)
        SetItemIndex(0);
}

void TExtMultiColumnDropDown::SelectLast()
{
    if (m_items.Count() > 0)
        SetItemIndex(m_items.Count() - 1);
}

void TExtMultiColumnDropDown::WMKeyDown(TWMKey& msg, TShiftState shift)
{
    const quint16 key = msg.CharCode;
    TExtCustomDropDown::WMKeyDown(msg, shift);
    if (!isEnabled() || AltDown() || (shift & ssAlt))
        return;
    switch (key) {
    case VK_DOWN:
        SelectNext();
        break;
    case VK_UP:
        SelectPrevious();
        break;
    case VK_NEXT:
        SelectPageDown();
        break;
    case VK_PRIOR:
        SelectPageUp();
        break;
    case VK_HOME:
        if (!EditorEnabled())
            SelectFirst();
        break;
    case VK_END:
        if (!EditorEnabled())
            SelectLast();
        break;
    default:
        break;
    }
}

void TExtMultiColumnDropDown::SelectNextValue()
{
    TExtCustomDropDown::SelectNextValue();
    SelectNext();
}

void TExtMultiColumnDropDown::SelectPreviousValue()
{
    TExtCustomDropDown::SelectPreviousValue();
    SelectPrevious();
}

// --- colours ---------------------------------------------------------------------------------------------

void TExtMultiColumnDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    ApplyListSelectionStyle(*this, style);
    TExtCustomDropDown::SetSelectionColorStyle(style);
}

void TExtMultiColumnDropDown::SetComponentStyle(TVekkoStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    if (const std::optional<TListGridStyleColors> r = ListGridStyleColors(style, true))
        ApplyListGridStyle(*this, *r);
}

} // namespace controls::grid::dropdown
