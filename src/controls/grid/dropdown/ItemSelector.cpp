#include "controls/grid/dropdown/ItemSelector.h"

#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "platform/core/Errors.h"
#include "controls/grid/util/ExtDraw.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QToolTip>

namespace controls::grid::dropdown {

using namespace platform;

// --- items -----------------------------------------------------------------------------------------------

void TSelectorItem::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    Changed();
}

void TSelectorItem::SetImageIndex(int index)
{
    if (index == m_imageIndex)
        return;
    m_imageIndex = index;
    Changed();
}

void TSelectorItem::SetColor(Color c)
{
    if (c == m_color)
        return;
    m_color = c;
    Changed();
}

void TSelectorItem::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TSelectorItem*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetCaption(s->m_caption);
    SetColor(s->m_color);
    SetImageIndex(s->m_imageIndex);
    Image = s->Image;
    Enabled = s->Enabled;
    Hint = s->Hint;
}

// --- the panel -------------------------------------------------------------------------------------------

TCustomItemSelector::TCustomItemSelector(TExtCustomItemSelector* owner) : QWidget(owner), m_owner(owner)
{
    // The panel reads everything from its container; it cannot stand without one.
    if (!owner)
        throw Exception(QStringLiteral("Invalid parent"));
    setMouseTracking(true);
    setAutoFillBackground(false);
    m_state.Count = [this] { return m_owner->Items().Count(); };
    m_state.Enabled = [this](int i) { return m_owner->Items()[i]->Enabled; };
    m_state.ItemRect = [this](int i) { return GetItemRect(i); };
    m_state.InvalidateItem = [this](int i) { InvalidateItem(i); };
    m_state.DrawItem = [this](int i) { DrawItemNow(i); };
    m_state.OnItemSelect = [this] {
        if (OnItemSelect)
            OnItemSelect();
    };
}

Rect TCustomItemSelector::GetItemRect(int index) const
{
    if (index < 0 || index >= m_owner->Items().Count())
        return Rect{-1, -1, -1, -1};
    return m_owner->Items()[index]->ItemRect;
}

Rect TCustomItemSelector::GetItemsRect()
{
    return Rect{OffSetX, OffSetY, width() - OffSetX, height() - OffSetY};
}

QSize TCustomItemSelector::GetItemSize()
{
    if (m_owner->OnItemSize) {
        QSize s;
        m_owner->OnItemSize(this, s);
        return s;
    }
    const TSelectorItems& items = m_owner->Items();
    const TImageList* images = m_owner->Images();
    QSize glyph = m_owner->SelectorType() == stColor ? QSize(m_owner->ColorBoxWidth(), m_owner->ColorBoxHeight())
                                                     : QSize(0, 0);
    Bitmap probe(1, 1);
    Canvas c(probe);
    c.font().font = m_owner->ItemAppearance().Font;
    int capW = 0, capH = 0;
    for (int i = 0; i < items.Count(); ++i) {
        const TSelectorItem* item = items[i];
        if (m_owner->SelectorType() == stImage) {
            if (!item->Image.isEmpty())
                glyph = glyph.expandedTo(QSize(item->Image.width(), item->Image.height()));
            else if (images && item->ImageIndex() >= 0)
                glyph = glyph.expandedTo(QSize(images->Width(), images->Height()));
        }
        const QSize cap = DrawHTMLText(c, item->Caption(), Rect{0, 0, 1000, 500}, this, false, images);
        capW = std::max(capW, cap.width());
        capH = std::max(capH, cap.height());
    }
    if (capW > 0)
        capW += 4;
    const TItemLayout layout = m_owner->ItemLayout;
    if (layout == ilCaptionLeft || layout == ilCaptionRight) {
        int w = 2 * ItemOffSetX + std::max(glyph.width(), 0);
        if (glyph.width() > 0 && capW > 0)
            w += CaptionGap;
        w += capW;
        return QSize(w, std::max(capH, glyph.height()) + 2 * ItemOffSetY);
    }
    int h = 2 * ItemOffSetY + std::max(glyph.height(), 0);
    if (glyph.height() > 0 && capH >= 1)
        h += CaptionGap;
    h += capH;
    return QSize(std::max(capW, glyph.width()) + 2 * ItemOffSetX, h);
}

void TCustomItemSelector::ArrangeItems()
{
    TSelectorItems& items = m_owner->Items();
    if (items.Count() == 0) {
        resize(100, 50);
        return;
    }
    m_state.ItemHot = -1;
    const QSize itemSize = GetItemSize();
    std::vector<Rect> rects;
    const QSize size = ArrangeGridItems(rects, items.Count(), itemSize, OffSetX, OffSetY, m_owner->Columns());
    for (int i = 0; i < items.Count(); ++i)
        items[i]->ItemRect = rects[size_t(i)];
    resize(size);
    update();
}

void TCustomItemSelector::InvalidateItem(int index)
{
    const Rect r = GetItemRect(index);
    if (r.left >= 0)
        update(r.toQRect());
}

void TCustomItemSelector::DrawItemNow(int index) { InvalidateItem(index); }

void TCustomItemSelector::DrawItem(int index, Canvas& c)
{
    const TSelectorItems& items = m_owner->Items();
    if (index < 0 || index >= items.Count())
        return;
    const TSelectorItem* item = items[index];
    const TItemAppearance& a = m_owner->ItemAppearance();
    const Rect r = item->ItemRect;
    const bool hot = index == m_state.ItemHot, selected = index == m_state.ItemIndex;
    Color border = a.BorderColor, top = a.BorderColorTop, bottom = a.BorderColorBottom, edge = a.EdgeColor;
    Color fill = clNone, fillTo = clNone, mirror = clNone, mirrorTo = clNone;
    auto take = [&](Color f, Color fTo, Color m, Color mTo, Color special) {
        fill = f;
        fillTo = fTo;
        mirror = m;
        mirrorTo = mTo;
        if (special != clNone) {
            border = special;
            top = bottom = edge = clNone;
        }
    };
    if (hot)
        take(a.ColorHot, a.ColorHotTo, a.ColorMirrorHot, a.ColorMirrorHotTo, a.BorderColorHot);
    if (selected)
        take(a.ColorSelected, a.ColorSelectedTo, a.ColorMirrorSelected, a.ColorMirrorSelectedTo, a.BorderColorSelected);
    const Color panelColor = m_owner->GetColor();
    if (!hot && !selected) {
        c.brush() = Brush{panelColor, BrushStyle::Solid};
        c.fillRect(r);
    } else if (top == clNone) {
        DrawGradientFace(c, r, fill, gdVertical, 1, border, fillTo);
    } else {
        controls::grid::DrawSelectionBlock(c, fill, fillTo, mirror, mirrorTo, top, bottom, border, edge, panelColor, r, 0);
    }
    if (m_owner->OnDrawItem) {
        m_owner->OnDrawItem(this, c, r, index);
        return;
    }
    const TImageList* images = m_owner->Images();
    const bool colorBox = m_owner->SelectorType() == stColor;
    QSize glyph(0, 0);
    if (colorBox)
        glyph = QSize(m_owner->ColorBoxWidth(), m_owner->ColorBoxHeight());
    else if (!item->Image.isEmpty())
        glyph = QSize(item->Image.width(), item->Image.height());
    else if (images && item->ImageIndex() >= 0)
        glyph = QSize(images->Width(), images->Height());
    Rect t = r.inflated(-ItemOffSetX, -ItemOffSetY);
    QPoint origin(t.left, t.top);
    c.font().font = a.Font;
    c.font().color = selected ? a.ColorSelectedText : hot ? a.ColorHotText : clWindowText;
    c.setBkMode(BkMode::Transparent);
    const TItemLayout layout = m_owner->ItemLayout;
    if ((layout == ilCaptionLeft || layout == ilCaptionRight) && !colorBox)
        origin.setY(t.top + (t.height() - glyph.height()) / 2);
    auto drawGlyph = [&](QPoint at) {
        if (glyph.isEmpty())
            return;
        if (colorBox) {
            c.pen() = Pen{clBlack, 1, PenStyle::Solid};
            c.brush() = Brush{item->GetColor(), item->GetColor() == clNone ? BrushStyle::Clear : BrushStyle::Solid};
            c.rectangle(Rect{at.x(), at.y(), at.x() + glyph.width(), at.y() + glyph.height()});
        } else if (!item->Image.isEmpty()) {
            item->Image.draw(c, at.x(), at.y());
        } else if (images) {
            images->Draw(c, at.x(), at.y(), item->ImageIndex(), item->Enabled);
        }
        c.setBkMode(BkMode::Transparent);
    };
    auto drawCaption = [&](Rect box) {
        if (item->Caption().isEmpty())
            return 0;
        const QSize size = DrawHTMLText(c, item->Caption(), box, this, false, images);
        if (size.height() < box.height() && (layout == ilCaptionLeft || layout == ilCaptionRight))
            box.top += (box.height() - size.height()) / 2;
        DrawHTMLText(c, item->Caption(), box, this, true, images);
        return size.width();
    };
    switch (layout) {
    case ilCaptionLeft: {
        int capW = 0;
        if (!item->Caption().isEmpty()) {
            Rect box = t;
            box.right -= glyph.width();
            capW = drawCaption(box);
        }
        origin.setX(t.left + capW + CaptionGap);
        drawGlyph(origin);
        break;
    }
    case ilCaptionRight: {
        drawGlyph(origin);
        Rect box = t;
        if (glyph.width() > 0)
            box.left = origin.x() + glyph.width() + CaptionGap;
        drawCaption(box);
        break;
    }
    case ilCaptionTop: {
        if (!item->Caption().isEmpty()) {
            Rect box = t;
            box.bottom -= glyph.height();
            const QSize size = DrawHTMLText(c, item->Caption(), box, this, false, images);
            DrawHTMLText(c, item->Caption(), box, this, true, images);
            origin.setY(t.top + size.height() + CaptionGap);
        } else {
            origin.setY(t.top + (t.height() - glyph.height()) / 2);
        }
        origin.setX(t.left + (t.width() - glyph.width()) / 2);
        drawGlyph(origin);
        break;
    }
    case ilCaptionBottom: {
        if (item->Caption().isEmpty())
            origin.setY(t.top + (t.height() - glyph.height()) / 2);
        origin.setX(t.left + (t.width() - glyph.width()) / 2);
        drawGlyph(origin);
        Rect box = t;
        if (!glyph.isEmpty())
            box.top = origin.y() + glyph.height() + CaptionGap;
        if (!item->Caption().isEmpty())
            DrawHTMLText(c, item->Caption(), box, this, true, images);
        break;
    }
    }
}

void TCustomItemSelector::paintEvent(QPaintEvent*)
{
    Canvas c(this);
    c.brush() = Brush{m_owner->GetColor(), BrushStyle::Solid};
    c.fillRect(Rect{0, 0, width(), height()});
    for (int i = 0; i < m_owner->Items().Count(); ++i)
        DrawItem(i, c);
}

void TCustomItemSelector::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const int i = m_state.ItemAtPos(p.x(), p.y());
    if (i >= 0 && m_owner->Items()[i]->Enabled)
        m_state.SetItemIndex(i);
    e->accept();
}

void TCustomItemSelector::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const int i = m_state.ItemAtPos(p.x(), p.y());
    if (i >= 0) {
        if (i != m_state.ItemHot) {
            m_state.SetItemHot(m_owner->Items()[i]->Enabled ? i : -1);
            setToolTip(m_owner->ShowHint ? m_owner->Items()[i]->Hint : QString());
            QToolTip::hideText();
        }
    } else if (m_state.ItemHot >= 0) {
        m_state.SetItemHot(-1);
    }
}

void TCustomItemSelector::leaveEvent(QEvent*) { m_state.SetItemHot(-1); }

// --- the container ---------------------------------------------------------------------------------------

TExtCustomItemSelector::TExtCustomItemSelector(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    m_items.OnChange = [this] { UpdateSelectorPanel(); };
    m_appearance.SetColorStyle(scOffice2007);
    m_panel = new TCustomItemSelector(this);
    m_panel->OnItemSelect = [this] {
        if (OnItemSelect)
            OnItemSelect(this);
    };
    setWidget(m_panel);
    UpdateSelectorPanel();
}

TExtCustomItemSelector::~TExtCustomItemSelector() { m_items.OnChange = nullptr; }

void TExtCustomItemSelector::UpdateSelectorPanel()
{
    if (m_panel)
        m_panel->ArrangeItems();
}

void TExtCustomItemSelector::SetSelectorType(TSelectorType type)
{
    if (type == m_selectorType)
        return;
    m_selectorType = type;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetColumns(int columns)
{
    if (columns == m_columns || columns < 1)
        return;
    m_columns = columns;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetColorBoxWidth(int w)
{
    if (w == m_colorBoxWidth)
        return;
    m_colorBoxWidth = w;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetColorBoxHeight(int h)
{
    if (h == m_colorBoxHeight)
        return;
    m_colorBoxHeight = h;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetImages(const TImageList* images)
{
    if (images == m_images)
        return;
    m_images = images;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetColor(Color c)
{
    m_color = c;
    QPalette p = palette();
    p.setColor(QPalette::Window, toQColor(c));
    setPalette(p);
    viewport()->setPalette(p);
    if (m_panel)
        m_panel->update();
}

void TExtCustomItemSelector::SetItemIndex(int index)
{
    if (!m_panel)
        return;
    m_panel->State().SetItemIndex(index);
    ScrollItemInView(m_panel->ItemIndex());
}

void TExtCustomItemSelector::SelectFirst()
{
    m_panel->State().SelectFirst();
    ScrollItemInView(ItemIndex());
}

void TExtCustomItemSelector::SelectLast()
{
    m_panel->State().SelectLast();
    ScrollItemInView(ItemIndex());
}

void TExtCustomItemSelector::SelectNext()
{
    m_panel->State().SelectNext();
    ScrollItemInView(ItemIndex());
}

void TExtCustomItemSelector::SelectPrevious()
{
    m_panel->State().SelectPrevious();
    ScrollItemInView(ItemIndex());
}

void TExtCustomItemSelector::HotNext()
{
    m_panel->State().HotNext();
    ScrollItemInView(ItemHot());
}

void TExtCustomItemSelector::HotPrevious()
{
    m_panel->State().HotPrevious();
    ScrollItemInView(ItemHot());
}

bool TExtCustomItemSelector::LookupItem(const QString& s)
{
    if (!m_panel)
        return false;
    QStringList captions;
    for (int i = 0; i < m_items.Count(); ++i)
        captions << m_items[i]->Caption();
    const bool found = m_panel->State().LookupItem(s, captions);
    if (found)
        ScrollItemInView(ItemIndex());
    return found;
}

bool TExtCustomItemSelector::VerticalScrollBarShown() const
{
    return verticalScrollBar() && verticalScrollBar()->isVisible() && verticalScrollBar()->maximum() > 0;
}

void TExtCustomItemSelector::ScrollItemInView(int index)
{
    if (!m_panel || index < 0 || index >= m_items.Count() || !VerticalScrollBarShown())
        return;
    const Rect r = m_panel->GetItemRect(index);
    const int margin = 0;
    const int top = m_panel->mapTo(this, QPoint(0, r.top - margin)).y();
    int bottom = m_panel->mapTo(this, QPoint(0, r.bottom + margin)).y();
    QScrollBar* bar = verticalScrollBar();
    const int clientHeight = viewport()->height();
    if (top < 0) {
        bar->setValue(bar->value() + top);
    } else {
        if (bottom - top > clientHeight)
            bottom = top + clientHeight;
        if (bottom > clientHeight)
            bar->setValue(bar->value() + bottom - clientHeight);
    }
}

int TExtCustomItemSelector::GetVisibleItemCount() const
{
    if (!m_panel || m_items.Count() == 0)
        return 0;
    const int itemHeight = m_items[0]->ItemRect.height();
    if (itemHeight <= 0)
        return 0;
    int h = height();
    if (horizontalScrollBar() && horizontalScrollBar()->isVisible())
        h -= 20;
    return h / itemHeight * m_columns;
}

QSize TExtCustomItemSelector::GetPanelSize() const
{
    if (!m_panel)
        return QSize(100, 50);
    return m_panel->size();
}

void TExtCustomItemSelector::resizeEvent(QResizeEvent* e)
{
    QScrollArea::resizeEvent(e);
    if (OnResize)
        OnResize();
}

// --- the picker keys ------------------------------------------------------------------------------------

void HandlePickerListKey(const TPickerListKeys& k, quint16 key, TShiftState shift)
{
    TExtCustomItemSelector* list = k.list;
    auto inside = [&](std::function<void()> f) {
        if (k.internally)
            k.internally(std::move(f));
        else
            f();
    };
    auto moveTo = [&](int index) {
        if (index < 0 || index >= list->Items().Count())
            return;
        inside([&] { list->SetItemIndex(index); });
        list->ScrollItemInView(index);
    };
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT: {
        if (list->Items().Count() != k.itemCount && k.refill)
            k.refill();
        const int n = list->GetVisibleItemCount();
        if (n > 0) {
            const int index = list->ItemIndex();
            moveTo(key == VK_PRIOR ? std::max(index - n, 0) : std::min(index + n, k.itemCount - 1));
        }
        break;
    }
    case VK_HOME:
    case VK_END:
        if (k.dropped)
            inside([&] {
                if (key == VK_HOME)
                    list->SelectFirst();
                else
                    list->SelectLast();
            });
        else if (k.pickerEnd)
            k.pickerEnd(key == VK_HOME);
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (k.dropped && !k.editorEnabled)
            inside([&] {
                if (key == VK_LEFT)
                    list->SelectPrevious();
                else
                    list->SelectNext();
            });
        break;
    case VK_UP:
    case VK_DOWN:
        if (k.dropped) {
            const int index = list->ItemIndex();
            moveTo(index < 0 ? 0 : index + (key == VK_UP ? -k.step : k.step));
        } else if (k.pickerStep) {
            k.pickerStep(key == VK_DOWN);
        }
        break;
    default:
        // Only keys that stand for their character (letters, digits, space) are looked up:
        // Shift before a capital letter, or a function key, would otherwise put a character
        // no caption holds into the search text and spoil the look-up of what follows.
        if (!(shift & ssCtrl) && k.typed && IsLookupKey(key))
            k.typed(QChar(key));
        break;
    }
}

bool IsLookupKey(quint16 key)
{
    return key == VK_SPACE || (key >= u'0' && key <= u'9') || (key >= u'A' && key <= u'Z');
}

} // namespace controls::grid::dropdown
