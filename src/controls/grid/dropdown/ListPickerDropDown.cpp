#include "controls/grid/dropdown/ListPickerDropDown.h"

#include "platform/grid/Keys.h"

#include <QStyle>

namespace controls::grid::dropdown {

using namespace platform;

void TPickerItem::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    Changed();
}

void TPickerItem::SetImageIndex(int index)
{
    if (index == m_imageIndex)
        return;
    m_imageIndex = index;
    Changed();
}

void TPickerItem::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TPickerItem*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetCaption(s->m_caption);
    SetImageIndex(s->m_imageIndex);
    Image = s->Image;
    Enabled = s->Enabled;
}

TListPickerDropDown::TListPickerDropDown(QWidget* parent) : TExtCustomDropDown(parent)
{
    m_keyTimer = new Timer(this);
    m_keyTimer->setInterval(500);
    m_keyTimer->onTimer = [this] {
        m_keyTimer->setEnabled(false);
        m_search.clear();
    };
}

TListPickerDropDown::~TListPickerDropDown() { m_keyTimer->setEnabled(false); }

void TListPickerDropDown::RunInternally(const std::function<void()>& f)
{
    const bool was = m_internalCall;
    m_internalCall = true;
    f();
    m_internalCall = was;
}

void TListPickerDropDown::SelectFirst()
{
    if (PickerItemCount() > 0)
        SetPickerItemIndex(0);
}

void TListPickerDropDown::SelectLast()
{
    if (PickerItemCount() > 0)
        SetPickerItemIndex(PickerItemCount() - 1);
}

void TListPickerDropDown::SelectNext()
{
    const int next = PickerItemIndex() < 0 ? 0 : PickerItemIndex() + 1;
    if (next < PickerItemCount())
        SetPickerItemIndex(next);
}

void TListPickerDropDown::SelectPrevious()
{
    const int prev = PickerItemIndex() < 0 ? 0 : PickerItemIndex() - 1;
    if (prev >= 0 && prev < PickerItemCount())
        SetPickerItemIndex(prev);
}

void TListPickerDropDown::CreateList(TSelectorType type)
{
    if (!m_list) {
        m_list = new TExtCustomItemSelector(DropDownForm());
        m_list->move(0, 0);
        m_list->SetSelectorType(type);
        m_list->resize(m_list->width(), 150);
    }
    m_list->SetColor(DropDownColor);
    m_list->UpdateSelectorPanel();
    SetControl(m_list);
}

void TListPickerDropDown::UpdateSelector()
{
    if (!m_list)
        return;
    m_list->OnItemSelect = nullptr;
    m_list->SetColumns(Columns);
    m_list->SetImages(Images());
    m_list->ItemLayout = Layout;
    m_list->SetColor(DropDownColor);
    m_list->Items().OnChange = nullptr;
    m_list->Items().Clear();
    FillListItems();
    m_list->Items().OnChange = [this] { m_list->UpdateSelectorPanel(); };
    m_list->SetItemAppearance(m_itemAppearance);
    m_list->UpdateSelectorPanel();
    m_list->SetItemIndex(PickerItemIndex());
    m_list->OnItemSelect = [this](QObject*) { SelectorItemSelected(); };
    m_list->ShowHint = ShowHint;
}

void TListPickerDropDown::SelectorItemSelected()
{
    SetPickerItemIndex(m_list->ItemIndex());
    if (!m_internalCall)
        DoHideDropDown(false);
}

void TListPickerDropDown::SizeListForm()
{
    TDropDownForm* form = DropDownForm();
    if (!form)
        return;
    if (!m_list) {
        TExtCustomDropDown::SizeDropDownForm();
        return;
    }
    const QSize panel = m_list->GetPanelSize();
    m_list->resize(DropDownWidth() < 1 ? panel.width() : m_list->width(),
                   DropDownHeight() < 1 ? panel.height() : m_list->height());
    TExtCustomDropDown::SizeDropDownForm();
    if (m_list->GetPanelSize().height() > form->height() - 2 * DropDownBorderWidth - BarsHeight())
        form->resize(form->width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent), form->height());
}

bool TListPickerDropDown::SelectHotItem()
{
    if (!m_list || m_list->ItemHot() < 0)
        return false;
    m_list->SetItemIndex(m_list->ItemHot());
    return true;
}

void TListPickerDropDown::ListKeys(quint16 key, TShiftState shift, bool dropped, bool returnHandled, int step,
                                   bool endsNeedEditorOff)
{
    if (!m_list)
        return;
    if (key == VK_RETURN) {
        if (!returnHandled && OnSelect)
            OnSelect(this);
        return;
    }
    TPickerListKeys k;
    k.list = m_list;
    k.itemCount = PickerItemCount();
    k.step = step;
    k.dropped = dropped;
    k.editorEnabled = EditorEnabled();
    k.refill = [this] { UpdateSelector(); };
    k.internally = [this](std::function<void()> f) { RunInternally(f); };
    k.pickerEnd = [this, endsNeedEditorOff](bool first) {
        if (endsNeedEditorOff && EditorEnabled())
            return;
        if (first)
            SelectFirst();
        else
            SelectLast();
    };
    k.pickerStep = [this](bool next) {
        if (next)
            SelectNext();
        else
            SelectPrevious();
    };
    k.typed = [this](QChar c) {
        m_search += c;
        RunInternally([this] { m_list->LookupItem(m_search); });
        m_keyTimer->setEnabled(false);
        m_keyTimer->setEnabled(true);
    };
    HandlePickerListKey(k, key, shift);
}

void TListPickerDropDown::ListWheel(bool next)
{
    if (!isEnabled() || ReadOnly() || !m_list)
        return;
    RunInternally([&] {
        if (DroppedDown()) {
            if (next)
                m_list->HotNext();
            else
                m_list->HotPrevious();
        } else if (next) {
            m_list->SelectNext();
        } else {
            m_list->SelectPrevious();
        }
    });
}

void TListPickerDropDown::SetComponentStyle(TVekkoStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    SetItemAppearanceStyle(&m_itemAppearance, style);
}

void TListPickerDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    TExtCustomDropDown::SetSelectionColorStyle(style);
    if (m_list)
        m_list->ItemAppearance().SetColorStyle(style);
}

} // namespace controls::grid::dropdown
