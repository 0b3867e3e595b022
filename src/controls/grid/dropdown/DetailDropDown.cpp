#include "controls/grid/dropdown/DetailDropDown.h"

#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "controls/grid/dropdown/rules/LookupLogic.h"
#include "controls/grid/html/HTMLDraw.h"
#include "platform/grid/Keys.h"

#include <QStyle>

namespace controls::grid::dropdown {

using namespace platform;

void TDetailItem::Assign(const TPersistent* source)
{
    TPickerItem::Assign(source);
    const auto* s = dynamic_cast<const TDetailItem*>(source);
    if (!s)
        return;
    Tag = s->Tag;
    ItemObject = s->ItemObject;
    Notes = s->Notes;
}

int TDetailItems::IndexOf(const QString& value) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Caption() == value)
            return i;
    return -1;
}

TExtDetailDropDown::TExtDetailDropDown(QWidget* parent) : TListPickerDropDown(parent)
{
    CreateDropDownForm();
    m_items.OnChange = [] {};
    SetEditorEnabled(true);
    DropDownEnabled = true;
    CaptionFont = font();
    NotesFont = font();
    SetComponentStyle(GetComponentStyle());
}

void TExtDetailDropDown::SetItemIndex(int index)
{
    if (index == m_itemIndex)
        return;
    if (index >= 0 && index < m_items.Count()) {
        m_itemIndex = index;
        SetText(m_items[index]->Caption());
        InputSetSel(0, GetText().length());
        update();
        if (m_list)
            m_list->Panel()->update();
        if (OnSelect)
            OnSelect(this);
    } else if (index == -1) {
        SetText(QString());
        m_itemIndex = -1;
    }
}

void TExtDetailDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    const bool created = m_list != nullptr;
    CreateList(stImage);
    if (!created) {
        m_list->OnDrawItem = [this](QObject*, Canvas& c, const Rect& r, int i) { DrawSelectorItem(c, r, i); };
        m_list->OnItemSize = [this](QObject*, QSize& s) { s = SelectorItemSize(); };
        m_list->OnResize = [this] { m_list->UpdateSelectorPanel(); };
    }
}

void TExtDetailDropDown::FillListItems()
{
    for (int i = 0; i < m_items.Count(); ++i) {
        TSelectorItem* item = m_list->Items().Add();
        item->SetCaption(m_items[i]->Caption());
        item->Image = m_items[i]->Image;
        item->SetImageIndex(m_items[i]->ImageIndex());
    }
}

void TExtDetailDropDown::BeforeDropDown()
{
    TListPickerDropDown::BeforeDropDown();
    Columns = 1;
    UpdateSelector();
    m_oldItemIndex = m_itemIndex;
}

void TExtDetailDropDown::DoShowDropDown()
{
    TListPickerDropDown::DoShowDropDown();
    if (DroppedDown() && m_list)
        m_list->setFocus(Qt::PopupFocusReason);
}

void TExtDetailDropDown::DropDownSizing()
{
    TListPickerDropDown::DropDownSizing();
    if (m_list)
        m_list->UpdateSelectorPanel();
}

QSize TExtDetailDropDown::SelectorItemSize() const
{
    int w = DropDownWidth() > 0 ? DropDownWidth() : (DropDownForm() ? DropDownForm()->width() : width());
    w -= 2 * 1 + 4;
    if (m_list && m_list->VerticalScrollBarShown())
        w -= style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return QSize(std::max(1, w), ItemHeight);
}

void TExtDetailDropDown::SizeDropDownForm()
{
    if (m_list) {
        m_list->resize(DropDownWidth() <= 0 ? width() : m_list->width(), DropDownHeight() <= 0 ? 100 : m_list->height());
    }
    TListPickerDropDown::SizeDropDownForm();
}

void TExtDetailDropDown::DrawSelectorItem(Canvas& c, const Rect& rIn, int index)
{
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, c, rIn);
        return;
    }
    if (index < 0 || index >= m_items.Count())
        return;
    const TDetailItem* item = m_items[index];
    Rect r = rIn;
    if (!item->Image.isEmpty()) {
        const int x = item->Caption().isEmpty() ? r.left + (r.width() - item->Image.width()) / 2 : r.left + 2;
        Bitmap pic = item->Image.bitmap();
        pic.setTransparent(true);
        c.draw(x, r.top + (r.height() - item->Image.height()) / 2, pic);
        r.left += item->Image.width() + 4;
    } else if (Images() && item->ImageIndex() >= 0) {
        const int x = item->Caption().isEmpty() ? r.left + (r.width() - Images()->Width()) / 2 : r.left + 2;
        Images()->Draw(c, x, r.top + (r.height() - Images()->Height()) / 2, item->ImageIndex(), true);
        r.left += Images()->Width() + 4;
    }
    const bool hot = m_list && m_list->ItemHot() == index;
    const bool selected = index == m_itemIndex;
    const TItemAppearance& a = ItemAppearance();
    const Color textColor = selected ? a.ColorSelectedText : hot ? a.ColorHotText : clWindowText;
    c.font().font = CaptionFont;
    c.font().color = textColor;
    c.brush().style = BrushStyle::Clear;
    c.setBkMode(BkMode::Transparent);
    r.left += 4;
    r.top += 2;
    r.right -= 4;
    Rect captionRect = r;
    c.drawText(item->Caption(), captionRect, DT_SINGLELINE | DT_END_ELLIPSIS);
    if (!item->Notes.isEmpty()) {
        r.top += c.textHeight(QStringLiteral("gh"));
        c.font().font = NotesFont;
        c.font().color = textColor;
        THTMLDrawParams params;
        params.Images = Images();
        params.Window = this;
        THTMLDrawResult result;
        HTMLDrawText(c, item->Notes, r, params, result);
    }
}

void TExtDetailDropDown::SelectorItemSelected()
{
    const int index = m_list->ItemIndex();
    SetItemIndex(index);
    // The caption again, also when the item was selected already and the text edited since.
    if (index >= 0 && index < m_items.Count()) {
        SetText(m_items[index]->Caption());
        InputSetSel(0, GetText().length());
    }
    if (!m_internalCall)
        DoHideDropDown(false);
}

void TExtDetailDropDown::DoHideDropDown(bool cancel)
{
    const bool wasDropped = DroppedDown();
    TListPickerDropDown::DoHideDropDown(cancel);
    if (wasDropped && cancel && m_oldItemIndex != -1)
        SetItemIndex(m_oldItemIndex);
}

void TExtDetailDropDown::StepOpenList(int delta)
{
    if (!m_list)
        return;
    const int index = m_list->ItemIndex();
    const int target = index < 0 ? 0 : index + delta;
    if (target < 0 || target >= m_list->Items().Count())
        return;
    RunInternally([&] { m_list->SetItemIndex(target); });
    m_list->ScrollItemInView(target);
    update();
}

void TExtDetailDropDown::SelectNextValue()
{
    TListPickerDropDown::SelectNextValue();
    if (DroppedDown())
        StepOpenList(1);
    else
        SelectNext();
}

void TExtDetailDropDown::SelectPreviousValue()
{
    TListPickerDropDown::SelectPreviousValue();
    if (DroppedDown())
        StepOpenList(-1);
    else
        SelectPrevious();
}

void TExtDetailDropDown::WMKeyDown(TWMKey& msg, TShiftState shift)
{
    const quint16 key = msg.CharCode;
    const bool dropped = DroppedDown();
    const bool navigation = key == VK_PRIOR || key == VK_NEXT || key == VK_HOME || key == VK_END || key == VK_LEFT ||
                            key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    // With the editor on, typed keys belong to the edit and its completion: a look-up in the
    // list would select an item (its caption selected whole) just before the typed character
    // replaces it, so everything typed but the last character would be lost.
    const bool typedIntoEdit = !navigation && EditorEnabled();
    if (isEnabled() && !AltDown() && !(shift & ssAlt) && m_list && key != VK_RETURN && !typedIntoEdit) {
        if (dropped && (key == VK_UP || key == VK_DOWN))
            StepOpenList(key == VK_UP ? -1 : 1);
        else
            ListKeys(key, shift, dropped, true, 1, true);
        if (dropped && (key == VK_PRIOR || key == VK_NEXT || key == VK_LEFT || key == VK_UP || key == VK_RIGHT ||
                        key == VK_DOWN)) {
            msg.CharCode = 0;
            msg.Result = 1;
            return;
        }
    }
    TListPickerDropDown::WMKeyDown(msg, shift);
}

void TExtDetailDropDown::KeyDown(quint16& key, TShiftState shift)
{
    if (m_items.Count() == 0) {
        TListPickerDropDown::KeyDown(key, shift);
        return;
    }
    const quint16 pressed = key;
    if (key != VK_RETURN)
        m_workMode = !(key == VK_BACK || key == VK_ESCAPE || key == VK_DELETE);
    if (key == VK_RETURN) {
        const int i = m_items.IndexOf(GetText());
        if (i >= 0) {
            SetText(m_items[i]->Caption());
            SetItemIndex(i);
            Change();
        }
    }
    TListPickerDropDown::KeyDown(key, shift);
    if (pressed == VK_ESCAPE) {
        const int i = m_items.IndexOf(GetText());
        if (i >= 0)
            SetItemIndex(i);
    }
}

void TExtDetailDropDown::KeyUp(quint16& key, TShiftState shift)
{
    TListPickerDropDown::KeyUp(key, shift);
    if (!m_itemChange)
        return;
    SetItemIndex(m_itemIdx);
    InputSetSel(m_itemSel, GetText().length());
    m_itemChange = false;
}

void TExtDetailDropDown::Change()
{
    m_itemChange = false;
    TListPickerDropDown::Change();
    if (!m_workMode)
        return;
    SetIsModified(!GetText().isEmpty());
    QStringList captions;
    for (int i = 0; i < m_items.Count(); ++i)
        captions << m_items[i]->Caption();
    const TCompletion c = CompleteText(GetText(), InputSelStart(), captions, MatchCase);
    if (c.matched) {
        m_itemIndex = m_itemIdx = c.index;
        m_itemSel = c.keyLength;
        m_itemChange = true;
        SetText(c.text);
        InputSetSel(GetText().length(), c.keyLength);
    } else if (c.cutBack) {
        SetText(c.text);
        InputSetSel(GetText().length(), GetText().length());
    }
}

} // namespace controls::grid::dropdown
