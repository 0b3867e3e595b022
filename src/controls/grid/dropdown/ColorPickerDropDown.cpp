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

TExtColorPickerDropDown::TExtColorPickerDropDown(QWidget* parent) : TExtCustomDropDown(parent)
{
    CreateDropDownForm();
    m_colors.OnChange = [] {};
    SetEditorEnabled(false);
    DropDownEnabled = true;
    m_keyTimer = new Timer(this);
    m_keyTimer->setInterval(500);
    m_keyTimer->onTimer = [this] {
        m_keyTimer->setEnabled(false);
        m_search.clear();
    };
    SetDropDownHeight(200);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    setCursor(Qt::ArrowCursor);
    SetComponentStyle(GetComponentStyle());
}

TExtColorPickerDropDown::~TExtColorPickerDropDown() { m_keyTimer->setEnabled(false); }

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

void TExtColorPickerDropDown::SelectFirst()
{
    if (m_colors.Count() > 0)
        SetItemIndex(0);
}

void TExtColorPickerDropDown::SelectLast()
{
    if (m_colors.Count() > 0)
        SetItemIndex(m_colors.Count() - 1);
}

void TExtColorPickerDropDown::SelectNext()
{
    const int next = m_itemIndex < 0 ? 0 : m_itemIndex + 1;
    if (next < m_colors.Count())
        SetItemIndex(next);
}

void TExtColorPickerDropDown::SelectPrevious()
{
    const int prev = m_itemIndex < 0 ? 0 : m_itemIndex - 1;
    if (prev >= 0 && prev < m_colors.Count())
        SetItemIndex(prev);
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
        CreateListSelector();
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

void TExtColorPickerDropDown::CreateListSelector()
{
    if (!m_list) {
        m_list = new TExtCustomItemSelector(DropDownForm());
        m_list->move(0, 0);
        m_list->SetSelectorType(stColor);
        m_list->resize(m_list->width(), 150);
    }
    m_list->SetColor(DropDownColor);
    m_list->UpdateSelectorPanel();
    SetControl(m_list);
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

void TExtColorPickerDropDown::UpdateSelector()
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
    for (int i = 0; i < m_colors.Count(); ++i) {
        TSelectorItem* item = m_list->Items().Add();
        item->SetCaption(m_colors[i]->Caption());
        item->SetColor(m_colors[i]->GetColor());
        item->Hint = m_colors[i]->Hint;
    }
    m_list->Items().OnChange = [this] { m_list->UpdateSelectorPanel(); };
    m_list->SetColorBoxHeight(ColorBoxHeight);
    m_list->SetColorBoxWidth(ColorBoxWidth);
    m_list->SetItemAppearance(m_itemAppearance);
    m_list->UpdateSelectorPanel();
    m_list->SetItemIndex(m_itemIndex);
    m_list->OnItemSelect = [this](QObject*) { SelectorItemSelected(); };
}

void TExtColorPickerDropDown::SelectorItemSelected()
{
    SetItemIndex(m_list->ItemIndex());
    if (!m_internalCall)
        DoHideDropDown(false);
}

void TExtColorPickerDropDown::PreparePanel(TColorSelectionStyle style)
{
    switch (style) {
    case csList:
        CreateListSelector();
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
    TExtCustomDropDown::BeforeDropDown();
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
        if (!m_list) {
            TExtCustomDropDown::SizeDropDownForm();
            return;
        }
        const QSize panel = m_list->GetPanelSize();
        m_list->resize(DropDownWidth() < 1 ? panel.width() : m_list->width(),
                       DropDownHeight() < 1 ? panel.height() : m_list->height());
        TExtCustomDropDown::SizeDropDownForm();
        if (m_list->GetPanelSize().height() > form->height() - 2 * DropDownBorderWidth)
            form->resize(form->width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent), form->height());
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
    SetSelectedColor(m_oldSelectedColor);
    SetItemIndex(oldIndex);
}

// --- keys and wheel --------------------------------------------------------------------------------------

void TExtColorPickerDropDown::MoveListIndex(int index)
{
    if (!m_list || index < 0 || index >= m_list->Items().Count())
        return;
    m_internalCall = true;
    m_list->SetItemIndex(index);
    m_internalCall = false;
    m_list->ScrollItemInView(index);
}

void TExtColorPickerDropDown::WMKeyDown(TWMKey& msg, TShiftState shift)
{
    const quint16 key = msg.CharCode;
    const bool alt = AltDown() || (shift & ssAlt);
    bool handled = false;
    if (isEnabled() && DroppedDown() && key == VK_RETURN) {
        if (m_style == csList && m_list && m_list->ItemHot() >= 0) {
            m_list->SetItemIndex(m_list->ItemHot());
            handled = true;
        } else if (m_style == csDiscrete && m_boxes && m_boxes->ItemHot() >= 0) {
            m_boxes->SetItemIndex(m_boxes->ItemHot());
            handled = true;
        }
    }
    const bool dropped = DroppedDown();
    TExtCustomDropDown::WMKeyDown(msg, shift);
    if (!isEnabled() || alt)
        return;
    if (m_style == csList && m_list) {
        switch (key) {
        case VK_RETURN:
            if (!handled && OnSelect)
                OnSelect(this);
            break;
        case VK_PRIOR:
        case VK_NEXT: {
            if (m_list->Items().Count() != m_colors.Count())
                UpdateSelector();
            const int n = m_list->GetVisibleItemCount();
            if (n > 0) {
                const int index = m_list->ItemIndex();
                MoveListIndex(key == VK_PRIOR ? std::max(index - n, 0) : std::min(index + n, m_colors.Count() - 1));
            }
            break;
        }
        case VK_HOME:
        case VK_END:
            if (dropped) {
                m_internalCall = true;
                if (key == VK_HOME)
                    m_list->SelectFirst();
                else
                    m_list->SelectLast();
                m_internalCall = false;
            } else if (key == VK_HOME) {
                SelectFirst();
            } else {
                SelectLast();
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
            if (dropped && !EditorEnabled()) {
                m_internalCall = true;
                if (key == VK_LEFT)
                    m_list->SelectPrevious();
                else
                    m_list->SelectNext();
                m_internalCall = false;
            }
            break;
        case VK_UP:
        case VK_DOWN:
            if (dropped) {
                const int index = m_list->ItemIndex();
                MoveListIndex(index < 0 ? 0 : index + (key == VK_UP ? -Columns : Columns));
            } else if (key == VK_UP) {
                SelectPrevious();
            } else {
                SelectNext();
            }
            break;
        default:
            if (!(shift & ssCtrl)) {
                m_search += QChar(key);
                m_internalCall = true;
                m_list->LookupItem(m_search);
                m_internalCall = false;
                m_keyTimer->setEnabled(false);
                m_keyTimer->setEnabled(true);
            }
            break;
        }
    }
    if (m_style == csDiscrete && m_boxes) {
        m_internalCall = true;
        m_boxes->HandleKey(key, EditorEnabled(), dropped);
        m_internalCall = false;
        if (key == VK_RETURN && !handled && OnSelect)
            OnSelect(this);
    }
}

void TExtColorPickerDropDown::SelectNextValue()
{
    TExtCustomDropDown::SelectNextValue();
    if (!isEnabled() || ReadOnly())
        return;
    m_internalCall = true;
    if (m_style == csList && m_list) {
        if (DroppedDown())
            m_list->HotNext();
        else
            m_list->SelectNext();
    } else if (m_style == csDiscrete && m_boxes) {
        if (DroppedDown())
            m_boxes->Model().HotNext();
        else
            m_boxes->Model().SelectNext();
    }
    m_internalCall = false;
}

void TExtColorPickerDropDown::SelectPreviousValue()
{
    TExtCustomDropDown::SelectPreviousValue();
    if (!isEnabled() || ReadOnly())
        return;
    m_internalCall = true;
    if (m_style == csList && m_list) {
        if (DroppedDown())
            m_list->HotPrevious();
        else
            m_list->SelectPrevious();
    } else if (m_style == csDiscrete && m_boxes) {
        if (DroppedDown())
            m_boxes->Model().HotPrevious();
        else
            m_boxes->Model().SelectPrevious();
    }
    m_internalCall = false;
}

// --- styles and painting ---------------------------------------------------------------------------------

void TExtColorPickerDropDown::SetComponentStyle(TVekkoStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    SetItemAppearanceStyle(&m_itemAppearance, style);
}

void TExtColorPickerDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    TExtCustomDropDown::SetSelectionColorStyle(style);
    if (m_list)
        m_list->ItemAppearance().SetColorStyle(style);
}

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
