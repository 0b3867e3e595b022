#include "controls/grid/dropdown/CalculatorDropDown.h"

#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "platform/draw/Theme.h"
#include "platform/grid/Keys.h"

#include <QMouseEvent>
#include <QPaintEvent>

namespace controls::grid::dropdown {

using namespace platform;

void TButtonItem::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TButtonItem*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    Caption = s->Caption;
    CaptionColor = s->CaptionColor;
    Tag = s->Tag;
    ImageIndex = s->ImageIndex;
    Image = s->Image;
    Enabled = s->Enabled;
    Name = s->Name;
    Special = s->Special;
}

// --- the keypad ------------------------------------------------------------------------------------------

TCustomButtonPanel::TCustomButtonPanel(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_appearance.OnChange = [this] {
        if (!ExtDropDown)
            update();
    };
}

void TCustomButtonPanel::SetButtons(const TButtonItems& buttons)
{
    m_buttons.Assign(&buttons);
    ArrangeButtons();
}

void TCustomButtonPanel::SetButtonPanelType(TButtonPanelType type)
{
    if (type == m_type)
        return;
    m_type = type;
    ArrangeButtons();
}

void TCustomButtonPanel::SetImages(const TImageList* images)
{
    if (images == m_images)
        return;
    m_images = images;
    ArrangeButtons();
}

Rect TCustomButtonPanel::GetButtonsRect() { return Rect{0, 0, width(), height()}.inflated(-OffSetX, -OffSetY); }

QSize TCustomButtonPanel::GetButtonSize()
{
    Bitmap probe(1, 1);
    Canvas c(probe);
    c.font().font = m_appearance.Font;
    QSize picture(0, 0), caption(0, 0);
    for (int i = 0; i < m_buttons.Count(); ++i) {
        const TButtonItem* b = m_buttons[i];
        if (!b->Image.isEmpty())
            picture = picture.expandedTo(QSize(b->Image.width(), b->Image.height()));
        else if (m_images && b->ImageIndex >= 0)
            picture = picture.expandedTo(QSize(m_images->Width(), m_images->Height()));
        caption = caption.expandedTo(GetTextSize(c, b->Caption));
    }
    const bool captions = caption.width() > 0;
    if (ButtonLayout == ilCaptionLeft || ButtonLayout == ilCaptionRight) {
        int w = picture.width() + 2 * ButtonOffSetX;
        if (captions)
            w += CaptionGap + caption.width();
        return QSize(w, std::max(picture.height(), caption.height()) + 2 * ButtonOffSetY);
    }
    int h = picture.height() + 2 * ButtonOffSetY;
    if (captions)
        h += CaptionGap + caption.height();
    return QSize(std::max(picture.width(), caption.width()) + 2 * ButtonOffSetX, h);
}

void TCustomButtonPanel::ResetButtons()
{
    ClearButtons();
    BuildButtons();
}

void TCustomButtonPanel::BuildButtons()
{
    if (m_buttons.Count() > 0 || m_type != plCalculator)
        return;
    for (const TCalcButtonDef& def : kCalculatorButtons) {
        TButtonItem* b = m_buttons.Add();
        b->Caption = QString::fromLatin1(def.caption);
        b->Name = QString::fromLatin1(def.name);
        b->Tag = def.tag;
        b->Special = def.special;
        if (def.special)
            b->CaptionColor = 0x000080;
    }
    ArrangeButtons();
}

void TCustomButtonPanel::ArrangeButtons()
{
    if (m_buttons.Count() == 0 || m_type != plCalculator)
        return;
    const auto rects = ArrangeCalculatorButtons(Rect{0, 0, width(), height()}, OffSetX, OffSetY);
    for (int i = 0; i < m_buttons.Count() && i < int(rects.size()); ++i)
        m_buttons[i]->ButtonRect = rects[size_t(i)];
    update();
}

int TCustomButtonPanel::ButtonAtPos(QPoint p) const
{
    for (int i = 0; i < m_buttons.Count(); ++i)
        if (m_buttons[i]->ButtonRect.contains(p.x(), p.y()))
            return i;
    return -1;
}

void TCustomButtonPanel::InvalidateButton(int index)
{
    if (index < 0 || index >= m_buttons.Count())
        return;
    update(m_buttons[index]->ButtonRect.inflated(8, 8).toQRect());
}

void TCustomButtonPanel::ButtonClick(int index)
{
    if (OnButtonClick)
        OnButtonClick(this, index);
}

void TCustomButtonPanel::DrawButton(int index, Canvas& c)
{
    if (index < 0 || index >= m_buttons.Count())
        return;
    const TButtonItem* b = m_buttons[index];
    const Rect r = b->ButtonRect;
    if (r.left < 0 && r.right < 0)
        return;
    c.fillRect(r);
    const HTHEME theme = IsThemeActive() ? OpenThemeData(this, QStringLiteral("button")) : 0;
    if (theme) {
        const int state = !isEnabled() ? PBS_DISABLED : index == m_down ? PBS_PRESSED : index == m_hot ? PBS_HOT : PBS_NORMAL;
        DrawThemeBackground(theme, c, BP_PUSHBUTTON, state, r);
        CloseThemeData(theme);
    }
    c.font().font = m_appearance.Font;
    c.font().color = b->Special ? m_appearance.SpecialTextColor() : m_appearance.TextColor();
    c.setBkMode(BkMode::Transparent);
    const Rect inner = r.inflated(-ButtonOffSetX, -ButtonOffSetY);
    const Bitmap* picture = !b->Image.isEmpty() ? &b->Image.bitmap() : nullptr;
    const bool listPicture = !picture && m_images && b->ImageIndex >= 0;
    const QSize pic = picture ? QSize(picture->width(), picture->height())
                              : listPicture ? QSize(m_images->Width(), m_images->Height()) : QSize(0, 0);
    auto drawPicture = [&](int x, int y) {
        if (picture)
            c.draw(x, y, *picture);
        else if (listPicture)
            m_images->Draw(c, x, y, b->ImageIndex, b->Enabled);
    };
    const QSize cap = GetTextSize(c, b->Caption);
    Rect t = inner;
    switch (ButtonLayout) {
    case ilCaptionLeft:
        t.right -= pic.width();
        c.drawText(b->Caption, t, DT_SINGLELINE | DT_VCENTER | (pic.isEmpty() ? DT_CENTER : DT_LEFT));
        drawPicture(inner.left + cap.width() + CaptionGap, inner.top + (inner.height() - pic.height()) / 2);
        break;
    case ilCaptionRight:
        drawPicture(inner.left, inner.top + (inner.height() - pic.height()) / 2);
        if (!pic.isEmpty())
            t.left = inner.left + pic.width() + CaptionGap;
        c.drawText(b->Caption, t, DT_SINGLELINE | DT_VCENTER | (pic.isEmpty() ? DT_CENTER : DT_LEFT));
        break;
    case ilCaptionTop:
        t.bottom -= pic.height();
        c.drawText(b->Caption, t, DT_SINGLELINE | DT_CENTER);
        drawPicture(inner.left + (inner.width() - pic.width()) / 2, inner.top + cap.height() + CaptionGap);
        break;
    case ilCaptionBottom:
        drawPicture(inner.left + (inner.width() - pic.width()) / 2,
                    b->Caption.isEmpty() ? inner.top + (inner.height() - pic.height()) / 2 : inner.top);
        t.top = inner.top + pic.height() + CaptionGap;
        c.drawText(b->Caption, t, DT_SINGLELINE | DT_CENTER);
        break;
    }
}

void TCustomButtonPanel::paintEvent(QPaintEvent*)
{
    Canvas c(this);
    const Color back = fromQColor(palette().color(QPalette::Window));
    c.brush() = Brush{back, BrushStyle::Solid};
    c.fillRect(Rect{0, 0, width(), height()});
    if (!ExtDropDown) {
        c.brush().style = BrushStyle::Clear;
        c.pen() = Pen{clBlack, 1, PenStyle::Solid};
        c.rectangle(Rect{0, 0, width(), height()});
    }
    for (int i = 0; i < m_buttons.Count(); ++i) {
        if (i == m_hot)
            continue;
        c.brush() = Brush{back, BrushStyle::Solid};
        DrawButton(i, c);
    }
    c.brush() = Brush{back, BrushStyle::Solid};
    DrawButton(m_hot, c);
}

void TCustomButtonPanel::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    ArrangeButtons();
}

void TCustomButtonPanel::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // A panel of its own (not a calculator's keypad) builds its keypad when it first shows.
    if (!ExtDropDown && m_buttons.Count() == 0)
        BuildButtons();
}

void TCustomButtonPanel::SetHot(int index)
{
    if (index >= 0 && !m_buttons[index]->Enabled)
        index = -1;
    if (index == m_hot)
        return;
    InvalidateButton(m_hot);
    m_hot = index;
    InvalidateButton(m_hot);
}

void TCustomButtonPanel::SetDown(int index)
{
    if (index == m_down)
        return;
    InvalidateButton(m_down);
    m_down = index;
    InvalidateButton(m_down);
}

void TCustomButtonPanel::mousePressEvent(QMouseEvent* e)
{
    const int i = ButtonAtPos(e->position().toPoint());
    if (e->button() == Qt::LeftButton && i >= 0 && m_buttons[i]->Enabled)
        SetDown(i);
    e->accept();
}

void TCustomButtonPanel::mouseMoveEvent(QMouseEvent* e) { SetHot(ButtonAtPos(e->position().toPoint())); }

void TCustomButtonPanel::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (m_down < 0)
        return;
    const int pressed = m_down;
    SetDown(-1);
    if (ButtonAtPos(e->position().toPoint()) == pressed)
        ButtonClick(pressed);
}

void TCustomButtonPanel::leaveEvent(QEvent*) { SetHot(-1); }

// --- the calculator --------------------------------------------------------------------------------------

TExtCalculatorDropdown::TExtCalculatorDropdown(QWidget* parent) : TExtCustomDropDown(parent), m_engine(*this)
{
    CreateDropDownForm();
    m_engine.MaxLength = [this] { return MaxLength(); };
    m_engine.BeforeCalcAction = [this] { BeforeCalcAction(); };
    m_engine.HidePopup = [this](bool cancel) { DoHideDropDown(cancel); };
    m_engine.PopupVisible = [this] { return DropDownForm() && DropDownForm()->isVisible(); };
    DropDownColor = 0xFFFFFF;
    SetDropDownWidth(230);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    SetEditType(etFloat);
    SetPrecision(2);
    SetComponentStyle(GetComponentStyle());
}

void TExtCalculatorDropdown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (m_keypad)
        return;
    m_keypad = new TCustomButtonPanel(DropDownForm());
    m_keypad->ExtDropDown = this;
    m_keypad->resize(m_keypad->width(), 150);
    m_keypad->BuildButtons();
    m_keypad->OnButtonClick = [this](QObject*, int index) { CalcButtonClick(index); };
    SetControl(m_keypad);
}

void TExtCalculatorDropdown::CalcButtonClick(int index)
{
    if (!m_keypad || index < 0 || index >= m_keypad->Buttons().Count())
        return;
    m_engine.ButtonClick(m_keypad->Buttons()[index]->Tag);
}

void TExtCalculatorDropdown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    if (DropDownForm())
        DropDownForm()->CancelOnDeActivate = false;
    if (m_keypad) {
        m_keypad->SetButtonAppearance(m_calcAppearance);
        QPalette p = m_keypad->palette();
        p.setColor(QPalette::Window, toQColor(DropDownColor));
        m_keypad->setPalette(p);
        m_keypad->ArrangeButtons();
    }
    m_engine.PopupOpening();
}

void TExtCalculatorDropdown::DoHideDropDown(bool cancel)
{
    const bool wasDropped = DroppedDown();
    TExtCustomDropDown::DoHideDropDown(cancel);
    if (wasDropped)
        m_engine.PopupClosed(cancel);
}

void TExtCalculatorDropdown::DropDownFormKeyPress(QChar& key)
{
    const QChar typed = key;
    TExtCustomDropDown::DropDownFormKeyPress(key);
    m_engine.PopupKeyPress(typed);
}

void TExtCalculatorDropdown::DropDownFormKeyDown(quint16& key, TShiftState shift)
{
    const quint16 pressed = key;
    TExtCustomDropDown::DropDownFormKeyDown(key, shift);
    m_engine.PopupKeyDown(pressed);
}

void TExtCalculatorDropdown::KeyPress(QChar& key)
{
    m_engine.EditKeyPress(key, [this](QChar& k) { TExtCustomDropDown::KeyPress(k); });
}

void TExtCalculatorDropdown::WMChar(TWMKey& msg)
{
    if (FEditorEnabled && m_engine.ClosedEditKey(QChar(msg.CharCode))) {
        msg.CharCode = 0;
        return;
    }
    TExtCustomDropDown::WMChar(msg);
}

void TExtCalculatorDropdown::WMKeyDown(TWMKey& msg, TShiftState shift)
{
    const quint16 key = msg.CharCode;
    TExtCustomDropDown::WMKeyDown(msg, shift);
    m_engine.EditKeyDownAfter(key);
}

void TExtCalculatorDropdown::SetShowThousandSeparator(bool on)
{
    if (on == m_showThousands)
        return;
    m_showThousands = on;
    const double value = GetFloatValue();
    SetEditType(on ? etMoney : etFloat);
    SetFloatValue(value);
}

void TExtCalculatorDropdown::SetComponentStyle(TVekkoStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    const TExtButtonAppearance& b = ButtonAppearance();
    TButtonAppearance& a = m_calcAppearance;
    a.SetBorderColor(b.BorderColor());
    a.SetBorderColorHot(b.BorderColorHot());
    a.SetBorderColorDown(b.BorderColorDown());
    a.SetColor(b.Color());
    a.SetColorTo(b.ColorTo());
    a.SetColorDown(b.ColorDown());
    a.SetColorDownTo(b.ColorDownTo());
    a.SetColorHot(b.ColorHot());
    a.SetColorHotTo(b.ColorHotTo());
    a.SetColorDisabled(b.ColorDisabled());
    a.SetColorDisabledTo(b.ColorDisabledTo());
    if (style == controls::grid::tsOffice2010Blue || style == controls::grid::tsOffice2010Silver ||
        style == controls::grid::tsOffice2010Black) {
        a.GlowColorHot = a.GlowColorDown = b.ColorHot();
    } else {
        a.GlowColorDown = 0xD5C244;
        a.GlowColorHot = b.ColorDownTo();
    }
}

} // namespace controls::grid::dropdown
