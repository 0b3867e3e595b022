#include "controls/grid/dropdown/ColorPickerDropDown.h"

#include "platform/grid/Keys.h"

#include <QScrollBar>
#include <QStyle>

namespace controls::grid::dropdown {

using namespace platform;

void TColorItem::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    Changed();
}

void TColorItem::SetColor(Color c)
{
    if (c == m_color)
        return;
    m_color = c;
    Changed();
}

void TColorItem::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TColorItem*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetCaption(s->m_caption);
    SetColor(s->m_color);
    Enabled = s->Enabled;
    Hint = s->Hint;
}

TExtColorPickerDropDown::TExtColorPickerDropDown(QWidget* parent) : TListPickerDropDown(parent)
{
    CreateDropDownForm();
    m_colors.OnChange = [] {};
    SetEditorEnabled(false);
    DropDownEnabled = true;
    SetDropDownHeight(200);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    setCursor(Qt::ArrowCursor);
    SetComponentStyle(GetComponentStyle());
}

TExtColorPickerDropDown::~TExtColorPickerDropDown() = default;

void TExtColorPickerDropDown::AddDefaultColors()
{
    for (const TNamedColor& c : DefaultPickerColors()) {
        TColorItem* item = m_colors.Add();
        item->SetCaption(QString::fromLatin1(c.name));
        item->SetColor(c.color);
    }
}

void TExtColorPickerDropDown::SetSelectedColor(Color c)
{
    if (c == m_selectedColor)
        return;
    m_selectedColor = c;
    int found = -1;
    for (int i = 0; i < m_colors.Count(); ++i) {
        if (m_colors[i]->GetColor() == c) {
            found = i;
            break;
        }
    }
    SetItemIndex(found);
    update();
}

void TExtColorPickerDropDown::SetItemIndex(int index)
{
    if (index >= m_colors.Count())
        return;
    m_itemIndex = index;
    if (index >= 0)
        m_selectedColor = m_colors[index]->GetColor();
    update();
    if (OnSelect)
        OnSelect(this);
}

void TExtColorPickerDropDown::SetShowText(bool on)
{
    if (on == m_showText)
        return;
    m_showText = on;
    update();
}

QString TExtColorPickerDropDown::GetSelectedColorText() const
{
    if (m_style == csList && m_itemIndex >= 0 && m_itemIndex < m_colors.Count())
        return m_colors[m_itemIndex]->Caption();
    return dropdown::ColorValueText(m_selectedColor, ColorValueText);
}

// --- panels ----------------------------------------------------------------------------------------------

void TExtColorPickerDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    switch (m_style) {
    case csList:
        CreateList(stColor);
        break;
    case csDiscrete:
        CreateColorSelector();
        break;
    case csColorCube:
        CreateCubePanel();
        break;
    case csSpectrum:
        CreateSpectrumPanel();
        break;
    }
}

void TExtColorPickerDropDown::CreateColorSelector()
{
    if (!m_boxes) {
        m_boxes = new TCustomColorSelector(DropDownForm());
        m_boxes->move(0, 0);
        m_boxes->AddThemeColors();
    }
    m_boxes->ArrangeBoxes();
    SetControl(m_boxes);
}

void TExtColorPickerDropDown::CreateCubePanel()
{
    if (!m_cube) {
        m_cube = new TExtColorCubePanel(DropDownForm());
        m_cube->move(0, 0);
    }
    SetControl(m_cube);
}

void TExtColorPickerDropDown::CreateSpectrumPanel()
{
    if (!m_spectrum) {
        m_spectrum = new TExtColorSpectrumPanel(DropDownForm());
        m_spectrum->move(0, 0);
    }
    SetControl(m_spectrum);
}

void TExtColorPickerDropDown::HideOtherPanels(QWidget* keep)
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_list, m_boxes, m_cube, m_spectrum})
        if (w && w != keep)
            w->hide();
}

void TExtColorPickerDropDown::FillListItems()
{
    for (int i = 0; i < m_colors.Count(); ++i) {
        TSelectorItem* item = m_list->Items().Add();
        item->SetCaption(m_colors[i]->Caption());
        item->SetColor(m_colors[i]->GetColor());
        item->Hint = m_colors[i]->Hint;
    }
    m_list->SetColorBoxHeight(ColorBoxHeight);
    m_list->SetColorBoxWidth(ColorBoxWidth);
}

void TExtColorPickerDropDown::PreparePanel(TColorSelectionStyle style)
{
    switch (style) {
    case csList:
        CreateList(stColor);
        HideOtherPanels(m_list);
        UpdateSelector();
        m_list->OnDrawItem = OnDrawColor ? TDrawItemEvent([this](QObject*, Canvas& c, const Rect& r, int i) {
            OnDrawColor(this, c, r, i);
        })
                                         : TDrawItemEvent();
        m_oldItemIndex = m_itemIndex;
        break;
    case csDiscrete:
        CreateColorSelector();
        HideOtherPanels(m_boxes);
        m_boxes->OnItemSelect = nullptr;
        m_boxes->SetSelectedColor(m_selectedColor);
        m_boxes->ArrangeBoxes();
        m_boxes->OnItemSelect = [this](QObject*) {
            SetSelectedColor(m_boxes->SelectedColor());
            SetItemIndex(-1);
            if (!m_internalCall)
                DoHideDropDown(false);
        };
        m_boxes->SetItemColorStyle(SelectionColorStyle());
        m_boxes->show();
        break;
    case csColorCube:
        CreateCubePanel();
        HideOtherPanels(m_cube);
        m_cube->SetSelectedColor(m_selectedColor);
        m_cube->InitCells();
        m_cube->ResetPanel();
        m_cube->OnSelect = [this](QObject*) {
            SetSelectedColor(m_cube->SelectedColor());
            SetItemIndex(-1);
            DoHideDropDown(false);
        };
        m_cube->show();
        break;
    case csSpectrum:
        CreateSpectrumPanel();
        HideOtherPanels(m_spectrum);
        m_spectrum->SetSelectedColor(m_selectedColor);
        m_spectrum->ArrangePanel();
        m_spectrum->OnSelect = [this](QObject*) {
            SetSelectedColor(m_spectrum->SelectedColor());
            SetItemIndex(-1);
            DoHideDropDown(false);
        };
        m_spectrum->show();
        break;
    }
    m_oldSelectedColor = m_selectedColor;
}

void TExtColorPickerDropDown::BeforeDropDown()
{
    TListPickerDropDown::BeforeDropDown();
    PreparePanel(m_style);
    m_oldItemIndex = m_itemIndex;
}

void TExtColorPickerDropDown::SetColorSelectionStyle(TColorSelectionStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    PreparePanel(style);
    SizeDropDownForm();
    if (DropDownForm())
        DropDownForm()->update();
}

void TExtColorPickerDropDown::PlaceDropDownControl()
{
    TExtCustomDropDown::PlaceDropDownControl();
    if (m_style != csList && DropDownForm())
        DropDownForm()->Sizeable = false;
}

void TExtColorPickerDropDown::SizeDropDownForm()
{
    TDropDownForm* form = DropDownForm();
    if (!form)
        return;
    if (m_style == csList) {
        SizeListForm();
        return;
    }
    QWidget* panel = Control();
    const bool shown = panel && !panel->isHidden();
    int w = shown ? panel->width() + 2 * DropDownBorderWidth : width();
    int h = 2 * DropDownBorderWidth + BarsHeight();
    if (shown)
        h += panel->height();
    form->resize(w, h);
}

void TExtColorPickerDropDown::DoHideDropDown(bool cancel)
{
    const bool wasDropped = DroppedDown();
    TExtCustomDropDown::DoHideDropDown(cancel);
    if (!wasDropped || !cancel)
        return;
    // A cancelled popup leaves the picker as it was when it opened, whatever the keys moved.
    const int oldIndex = m_oldItemIndex;
    if (m_style == csDiscrete && m_boxes) {
        m_boxes->OnItemSelect = nullptr;
        m_boxes->SetSelectedColor(m_oldSelectedColor);
    }
    // One OnSelect for the restored value: through the item, or the free colour kept by index -1.
    if (oldIndex >= 0 && oldIndex < m_colors.Count()) {
        SetItemIndex(oldIndex);
    } else {
        m_selectedColor = m_oldSelectedColor;
        SetItemIndex(-1);
    }
}

// --- keys and wheel --------------------------------------------------------------------------------------

void TExtColorPickerDropDown::WMKeyDown(TWMKey& msg, TShiftState shift)
{
    const quint16 key = msg.CharCode;
    const bool alt = AltDown() || (shift & ssAlt);
    bool handled = false;
    if (isEnabled() && DroppedDown() && key == VK_RETURN) {
        if (m_style == csList)
            handled = SelectHotItem();
        else if (m_style == csDiscrete && m_boxes && m_boxes->ItemHot() >= 0) {
            m_boxes->SetItemIndex(m_boxes->ItemHot());
            handled = true;
        }
    }
    const bool dropped = DroppedDown();
    TExtCustomDropDown::WMKeyDown(msg, shift);
    if (!isEnabled() || alt)
        return;
    if (m_style == csList)
        ListKeys(key, shift, dropped, handled, Columns);
    if (m_style == csDiscrete && m_boxes) {
        RunInternally([&] { m_boxes->HandleKey(key, EditorEnabled(), dropped); });
        if (key == VK_RETURN && !handled && OnSelect)
            OnSelect(this);
    }
}

void TExtColorPickerDropDown::SelectNextValue()
{
    TExtCustomDropDown::SelectNextValue();
    if (m_style == csList)
        ListWheel(true);
    else if (m_style == csDiscrete && m_boxes && isEnabled() && !ReadOnly())
        RunInternally([this] {
            if (DroppedDown())
                m_boxes->Model().HotNext();
            else
                m_boxes->Model().SelectNext();
        });
}

void TExtColorPickerDropDown::SelectPreviousValue()
{
    TExtCustomDropDown::SelectPreviousValue();
    if (m_style == csList)
        ListWheel(false);
    else if (m_style == csDiscrete && m_boxes && isEnabled() && !ReadOnly())
        RunInternally([this] {
            if (DroppedDown())
                m_boxes->Model().HotPrevious();
            else
                m_boxes->Model().SelectPrevious();
        });
}

// --- styles and painting ---------------------------------------------------------------------------------

void TExtColorPickerDropDown::PaintContent(Canvas& c)
{
    TExtCustomDropDown::PaintContent(c);
    const int bw = Button() ? Button()->width() : 0;
    const Rect r{1, 1, width() - bw - 2, height() - 2};
    if (OnDrawSelectedColor) {
        OnDrawSelectedColor(this, c, r);
        return;
    }
    if (m_selectedColor == clNone)
        return;
    const int x = r.left + 4;
    const int y = (height() - ColorBoxHeight) / 2 + r.top;
    const Rect box{x, y, x + ColorBoxWidth, y + ColorBoxHeight};
    c.pen() = Pen{clBlack, 1, PenStyle::Solid};
    c.brush() = Brush{m_selectedColor, BrushStyle::Solid};
    c.rectangle(box);
    if (!m_showText)
        return;
    Rect tr{box.right + 4, r.top, r.right, r.bottom};
    c.font().font = font();
    if (hasFocus()) {
        c.brush() = Brush{clHighlight, BrushStyle::Solid};
        c.fillRect(tr);
        c.font().color = EditorEnabled() ? clWindowText : clHighlightText;
    } else {
        c.brush() = Brush{GetColor(), BrushStyle::Solid};
        c.fillRect(tr);
        c.font().color = clWindowText;
    }
    c.setBkMode(BkMode::Transparent);
    c.drawText(GetSelectedColorText(), tr, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

} // namespace controls::grid::dropdown
