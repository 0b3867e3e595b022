// The drop-down cell editors: the key protocol, the wrappers, and the grid's steps that show one
// over a cell, fill it from the cell and read its value back.
#include "controls/grid/edit/GridDropDownEditors.h"

#include "platform/core/Conversions.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>

namespace controls::grid {

using namespace platform;
using dropdown::TExtCustomDropDown;

// --- the key protocol -------------------------------------------------------------------------------------

TGridDropDownLink::TGridDropDownLink(TExtStringGridEdit* grid, TExtCustomDropDown* control, TDropDownEditorRules rules)
    : m_grid(grid), m_control(control), m_rules(std::move(rules))
{
}

bool TGridDropDownLink::Leaves(quint16 key, TShiftState shift) const
{
    if ((shift & ssAlt) && key == VK_DOWN)
        return false;
    // Keys typed in an open popup are the popup's own but for these three: its lists and its
    // clock keep the arrows and pages.
    if (m_control->DroppedDown())
        return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE;
    switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_UP:
    case VK_DOWN:
        return true;
    case VK_HOME:
        return m_rules.colour;
    default:
        return false;
    }
}

bool TGridDropDownLink::CommitAndValidate(quint16& key, bool selectAll)
{
    const bool valid = m_grid->EditorCommit(m_rules.value ? m_rules.value() : m_control->GetText());
    if (!m_rules.value && m_control->GetText() != m_grid->m_newCellText)
        m_control->SetEditText(m_grid->m_newCellText);
    if (valid)
        return true;
    if (selectAll)
        m_control->selectAll();
    else
        m_control->end(false);
    m_control->update();
    key = 0;
    return false;
}

bool TGridDropDownLink::KeyDown(quint16& key, TShiftState shift)
{
    Forced = false;
    WorkMode = key != VK_BACK && key != VK_DELETE;
    if (!Leaves(key, shift))
        return false;
    const bool open = m_control->DroppedDown();
    if (key == VK_ESCAPE) {
        m_control->SetEditText(m_grid->CurrentCell());
        m_grid->m_escapeRestore = true;
        m_grid->HideInplaceEdit();
        m_grid->setFocus(Qt::OtherFocusReason);
        key = 0;
        return true;
    }
    const bool writes = m_rules.colour ? key == VK_RETURN : (key == VK_RETURN || key == VK_UP || key == VK_DOWN);
    if (writes) {
        if (key == VK_RETURN && m_rules.beforeEnter)
            m_rules.beforeEnter();
        if (!CommitAndValidate(key, true)) {
            m_grid->m_noAutoAdvance = true;
            return true;
        }
    }
    if (key == VK_TAB && m_grid->HandlesTabKey()) {
        if (!CommitAndValidate(key, false))
            return true;
        if (m_grid->EditorTabHandOver(shift)) {
            key = 0;
            return true;
        }
    }
    if (open)
        m_grid->HideInplaceEdit();
    else if (key == VK_END)
        return false;
    m_grid->EditorDone(key, shift);
    return true;
}

void TGridDropDownLink::KeyPress(QChar& key)
{
    if (m_grid->OnKeyPress)
        m_grid->OnKeyPress(m_control, key);
    const ushort c = key.unicode();
    if (c == 27 || c == 13 || c == 9)
        key = QChar();
}

void TGridDropDownLink::Changed()
{
    m_grid->EditorTextChanged(m_control->GetText());
    if (m_grid->OnEditChange)
        m_grid->OnEditChange(m_grid, m_grid->col(), m_grid->row(), m_control->GetText());
}

void TGridDropDownLink::Exit() { m_grid->EditorExit(); }

void TGridDropDownLink::FocusIn()
{
    if (!m_rules.caretUnderMouse || !m_grid->m_lButFlg)
        return;
    const QPoint p = m_control->mapFromGlobal(QCursor::pos());
    if (p.x() < 0 || p.y() < 0 || p.x() > m_control->width() || p.y() > m_control->height())
        return;
    const int at = m_control->cursorPositionAt(p);
    if (at < 0)
        return;
    m_control->setCursorPosition(at);
    m_control->deselect();
    m_grid->m_lButFlg = false;
}

// --- the wrappers --------------------------------------------------------------------------------------------

TGridTrackbarDropDown::TGridTrackbarDropDown(TExtStringGridEdit* grid)
    : TGridDropDownEditor(grid, TDropDownEditorRules{false, true, {}, {}})
{
}

TGridMemoDropDown::TGridMemoDropDown(TExtStringGridEdit* grid)
    : TGridDropDownEditor(grid, TDropDownEditorRules{false, true, {}, [this] { return MemoTextWithBreaks(); }})
{
}

TGridCalculatorDropDown::TGridCalculatorDropDown(TExtStringGridEdit* grid)
    : TGridDropDownEditor(grid, TDropDownEditorRules{false, true, [this] { CalcResult(); }, {}})
{
}

TGridTimepickerDropDown::TGridTimepickerDropDown(TExtStringGridEdit* grid)
    : TGridDropDownEditor(grid, TDropDownEditorRules{})
{
    FocusDraw = false;
}

TGridGridDropDown::TGridGridDropDown(TExtStringGridEdit* grid) : TGridDropDownEditor(grid, TDropDownEditorRules{}) {}

TGridDetailPickerDropDown::TGridDetailPickerDropDown(TExtStringGridEdit* grid)
    : TGridDropDownEditor(grid, TDropDownEditorRules{})
{
}

TGridColorDropDown::TGridColorDropDown(TExtStringGridEdit* grid)
    : TGridDropDownEditor(grid, TDropDownEditorRules{true, false, {}, [this] { return SelectedColorText(); }})
{
}

TGridImageDropDown::TGridImageDropDown(TExtStringGridEdit* grid) : TGridDropDownEditor(grid, TDropDownEditorRules{}) {}

// --- the grid's drop-down editors -------------------------------------------------------------------------

void AdoptDropDownEditor(TExtStringGridEdit* grid, TExtCustomDropDown* d, bool followsStyle)
{
    d->hide();
    d->setEnabled(false);
    d->SetComponentStyle(grid->Style());
    grid->RegisterEditor(followsStyle ? d : nullptr, d);
}

TGridTrackbarDropDown* TExtStringGridEdit::TrackbarDropDown()
{
    if (!m_editTrackBar) {
        m_editTrackBar = MakeDropDownEditor<TGridTrackbarDropDown>(this, false);
        m_editTrackBar->SetEditorEnabled(true);
    }
    return m_editTrackBar;
}

TGridMemoDropDown* TExtStringGridEdit::MemoDropDown()
{
    if (!m_editMemo) {
        m_editMemo = MakeDropDownEditor<TGridMemoDropDown>(this);
        // What is typed in the memo goes into the cell at once.
        m_editMemo->OnMemoChange = [this](QObject*) {
            if (!m_editMode || m_editStart)
                return;
            QString text;
            for (const QString& line : dropdown::MemoLinesOf(m_editMemo->Memo()->toPlainText()))
                text += line + QStringLiteral("\r\n");
            StoreEditText(RealColIndex(col()), row(), text);
        };
    }
    return m_editMemo;
}

TGridCalculatorDropDown* TExtStringGridEdit::CalculatorDropDown()
{
    if (!m_editCalculator) {
        m_editCalculator = MakeDropDownEditor<TGridCalculatorDropDown>(this);
        m_editCalculator->SetEditorEnabled(true);
    }
    return m_editCalculator;
}

TGridTimepickerDropDown* TExtStringGridEdit::TimePickerDropDown()
{
    if (!m_editTimePicker)
        m_editTimePicker = MakeDropDownEditor<TGridTimepickerDropDown>(this);
    return m_editTimePicker;
}

TGridDetailPickerDropDown* TExtStringGridEdit::DetailPickerDropDown()
{
    if (!m_editDetailPicker)
        m_editDetailPicker = MakeDropDownEditor<TGridDetailPickerDropDown>(this);
    return m_editDetailPicker;
}

TGridGridDropDown* TExtStringGridEdit::GridDropDown()
{
    if (!m_editGridPicker)
        m_editGridPicker = MakeDropDownEditor<TGridGridDropDown>(this);
    return m_editGridPicker;
}

TGridColorDropDown* TExtStringGridEdit::ColorPickerDropDown()
{
    if (!m_editColorPicker) {
        m_editColorPicker = MakeDropDownEditor<TGridColorDropDown>(this);
        m_editColorPicker->AddDefaultColors();
        m_editColorPicker->OnSelect = [this](QObject*) {
            ColorSelect(m_editColorPicker->SelectedColor(), m_editColorPicker->SelectedColorText());
        };
    }
    return m_editColorPicker;
}

TGridImageDropDown* TExtStringGridEdit::ImagePickerDropDown()
{
    if (!m_editImagePicker) {
        m_editImagePicker = MakeDropDownEditor<TGridImageDropDown>(this);
        m_editImagePicker->OnSelect = [this](QObject*) { ImageSelect(m_editImagePicker->ImageIndex()); };
    }
    return m_editImagePicker;
}

TExtCustomDropDown* TExtStringGridEdit::DropDownEditor(TEditorType kind)
{
    switch (kind) {
    case edTrackbarDropDown: return TrackbarDropDown();
    case edMemoDropDown: return MemoDropDown();
    case edCalculatorDropDown: return CalculatorDropDown();
    case edTimePickerDropDown: return TimePickerDropDown();
    case edDetailDropDown: return DetailPickerDropDown();
    case edGridDropDown: return GridDropDown();
    case edColorPickerDropDown: return ColorPickerDropDown();
    case edImagePickerDropDown: return ImagePickerDropDown();
    case edExtGridDropDown: return ExtGridDropDown();
    default: return nullptr;
    }
}

bool TExtStringGridEdit::ShowDropDownEditor(int col, int row, const Rect& r, int w, int h, Color color)
{
    const TEditorType kind = m_editControl;
    TExtCustomDropDown* d = DropDownEditor(kind);
    if (!d)
        return false;
    const int realCol = RealColIndex(col);
    const QString editText = getEditText(col, row);
    // The grid's drop-down header and footer (their look, caption, buttons and visibility).
    d->SetDropDownFooter(ControlLook.DropDownFooter);
    d->SetDropDownHeader(ControlLook.DropDownHeader);
    d->SetComponentStyle(Style());
    d->OnDropDownHeaderButtonClick = [this](QObject*, int index) {
        if (OnDropDownHeaderButtonClick)
            OnDropDownHeaderButtonClick(this, this->col(), this->row(), index);
    };
    d->OnDropDownFooterButtonClick = [this](QObject*, int index) {
        if (OnDropDownFooterButtonClick)
            OnDropDownFooterButtonClick(this, this->col(), this->row(), index);
    };
    const bool listKind = kind == edGridDropDown || kind == edExtGridDropDown;
    if (!listKind)
        GetEditorProp(realCol, row);
    d->setGeometry(r.left, r.top, 0, 0);
    d->setEnabled(true);
    d->setFrame(false);
    d->resize(w, h);
    switch (kind) {
    case edTrackbarDropDown:
        TrackbarDropDown()->SetPosition(StrToIntDef(editText.trimmed(), 0));
        break;
    case edMemoDropDown:
        MemoDropDown()->SetMemoText(dropdown::MemoLinesOf(editText));
        break;
    case edCalculatorDropDown:
        d->SetText(editText);
        break;
    case edTimePickerDropDown:
    case edDetailDropDown:
        d->SetText(editText);
        d->SetEditorEnabled(true);
        break;
    case edGridDropDown: {
        TGridGridDropDown* g = GridDropDown();
        g->SetColor(color);
        g->SetEditorEnabled(true);
        GetEditorProp(realCol, row);
        g->BeginUpdate();
        g->EndUpdate();
        g->SetItemIndex(editText.isEmpty() ? 0 : g->GetItemIndex(editText));
        g->SetText(editText);
        break;
    }
    case edColorPickerDropDown: {
        const bool shape = CellTypes(realCol, row) == ctShape;
        ColorPickerDropDown()->SetSelectedColor(shape ? GetShapeColor(realCol, row) : Colors(realCol, row));
        break;
    }
    case edImagePickerDropDown: {
        TGridImageDropDown* p = ImagePickerDropDown();
        const TCellType type = CellTypes(realCol, row);
        if (type == ctImageList || type == ctDataImage) {
            p->SetImages(GridImages());
            if (p->Items().Count() == 0)
                p->AddImagesFromImageList();
            int index = -1;
            if (type == ctImageList)
                GetImageIdx(realCol, row, index);
            else
                index = StrToIntDef(Cells(realCol, row).trimmed(), -1);
            p->SetImageIndex(index);
        }
        const int at = p->ImageIndex();
        p->SetEditText(at >= 0 && at < p->Items().Count() ? p->Items()[at]->Caption() : QString());
        break;
    }
    case edExtGridDropDown:
        d->SetColor(color);
        d->SetEditorEnabled(true);
        FillExtGridDropDown(editText, realCol, row);
        break;
    default:
        break;
    }
    d->SetColor(color);
    d->show();
    d->raise();
    d->setFocus(Qt::OtherFocusReason);
    if (kind == edMemoDropDown) {
        d->setCursorPosition(0);
        d->deselect();
    } else if (kind == edDetailDropDown) {
        TGridDetailPickerDropDown* p = DetailPickerDropDown();
        const int found = p->Items().IndexOf(p->GetText());
        if (found >= 0)
            p->SetItemIndex(found);
    }
    if (!m_startEditChar.isNull())
        QCoreApplication::postEvent(d, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(m_startEditChar)));
    if (MouseActions.DirectComboDrop)
        d->ShowDropDown();
    m_editCtrl = d;
    return true;
}

void TExtStringGridEdit::HideDropDownEditor(int realCol, int row, bool escaped)
{
    TExtCustomDropDown* d = DropDownEditor(m_editControl);
    if (!d)
        return;
    // The popup goes first: it holds the focus while it is open.
    if (d->DroppedDown())
        d->HideDropDown(escaped);
    if (m_editMode) {
        m_editMode = false;
        if (escaped) {
            // Put back with Escape: the cell keeps the text it had (a memo wrote into it live).
            StoreEditText(realCol, row, m_cellCache);
        } else if (m_editControl == edMemoDropDown) {
            StoreEditText(realCol, row, m_editMemo->MemoTextWithBreaks());
        } else if (m_editControl == edColorPickerDropDown) {
            Color c = m_editColorPicker->SelectedColor();
            QString text = m_editColorPicker->SelectedColorText();
            if (OnColorSelected)
                OnColorSelected(this, realCol, row, c, text);
            StoreEditText(realCol, row, text);
            if (CellTypes(realCol, row) == ctShape)
                SetShapeColor(realCol, row, c);
            else
                SetColors(realCol, row, c);
        } else if (m_editControl == edImagePickerDropDown) {
            int index = m_editImagePicker->ImageIndex();
            if (OnImageSelected)
                OnImageSelected(this, realCol, row, index);
            const TCellType type = CellTypes(realCol, row);
            if (type == ctImageList)
                SetImageIdx(realCol, row, index);
            else if (type == ctDataImage)
                StoreEditText(realCol, row, QString::number(index));
        } else {
            StoreEditText(realCol, row, d->GetText());
        }
    }
    if (d->hasFocus())
        setFocus(Qt::OtherFocusReason);
    d->hide();
    d->setEnabled(false);
}

} // namespace controls::grid
