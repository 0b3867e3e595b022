#include "controls/grid/dropdown/DropDownBars.h"

#include "controls/grid/dropdown/ExtDropDown.h"
#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "platform/grid/Keys.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>

namespace controls::grid::dropdown {

using namespace platform;

// =====================================================================================================
// TExtButton
// =====================================================================================================

TExtButton::TExtButton(QWidget* parent) : QWidget(parent), m_unHotTimer(new Timer(this))
{
    resize(23, 22);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    QFont f = font();
    f.setFamily(QStringLiteral("Tahoma"));
    setFont(f);
    m_unHotTimer->setInterval(1);
    m_unHotTimer->onTimer = [this] {
        if (!rect().contains(mapFromGlobal(QCursor::pos()))) {
            m_unHotTimer->setEnabled(false);
            m_mouseInControl = false;
            if (isEnabled())
                update();
        }
    };
}

TExtButton::~TExtButton() = default;

void TExtButton::SetCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void TExtButton::SetAppearance(TExtButtonAppearance* appearance)
{
    m_appearance = appearance;
    update();
}

void TExtButton::SetImages(const TImageList* images)
{
    m_images = images;
    update();
}

void TExtButton::SetImageIndex(int index)
{
    m_imageIndex = index;
    update();
}

void TExtButton::SetDown(bool down)
{
    if (Style == tasCheck) {
        m_down = down;
        m_state = down ? absDown : absUp;
        update();
        return;
    }
    if (m_groupIndex == 0)
        return; // a plain push button cannot stay down
    if (down == m_down || (m_down && !AllowAllUp))
        return;
    m_down = down;
    if (down) {
        m_state = absExclusive;
        update();
        ReleaseOthersInGroup();
    } else {
        m_state = absUp;
        update();
    }
}

void TExtButton::ReleaseOthersInGroup()
{
    if (!parentWidget())
        return;
    for (QObject* o : parentWidget()->children()) {
        auto* other = qobject_cast<TExtButton*>(o);
        if (!other || other == this || other->m_groupIndex != m_groupIndex)
            continue;
        if (other->m_down && m_down) {
            other->m_down = false;
            other->m_state = absUp;
            other->update();
        }
        other->AllowAllUp = AllowAllUp;
    }
}

void TExtButton::SizeToContent()
{
    if (!m_appearance)
        return;
    Bitmap probe(1, 1);
    Canvas c(probe);
    c.font().font = m_appearance->Font();
    QSize s = GetTextSize(c, m_caption);
    if (m_images && m_imageIndex >= 0)
        s = s.expandedTo(QSize(m_images->Width(), m_images->Height()));
    resize(s.width() + 8, s.height() + 4);
}

void TExtButton::Click(bool fromKeyboard)
{
    if (m_dropDown && ModalResultCloses(ModalResult))
        m_dropDown->HideDropDown(ModalResultCancels(ModalResult));
    if (!fromKeyboard && OnClick)
        OnClick(this);
}

QChar CaptionAccelerator(const QString& caption)
{
    for (int i = 0; i + 1 < caption.length(); ++i) {
        if (caption.at(i) != u'&')
            continue;
        if (caption.at(i + 1) != u'&')
            return caption.at(i + 1);
        ++i; // "&&" stands for "&"
    }
    return QChar();
}

bool TExtButton::DialogChar(QChar ch)
{
    const QChar accel = CaptionAccelerator(m_caption);
    if (accel.isNull() || ch.isNull() || !isEnabled() || accel.toUpper() != ch.toUpper())
        return false;
    Click(false);
    return true;
}

void TExtButton::DrawButton(Canvas& c)
{
    if (!m_appearance)
        return;
    const TExtButtonAppearance& a = *m_appearance;
    Color fill = a.Color(), to = a.ColorTo(), border = a.BorderColor();
    if (!isEnabled()) {
        fill = a.ColorDisabled();
        to = a.ColorDisabledTo();
        border = a.BorderColorDisabled();
    } else if (m_mouseDownInControl && m_mouseInControl) {
        fill = to = a.ColorDown();
        border = a.BorderColorDown();
    } else if (m_down) {
        fill = to = a.ColorChecked();
        border = a.BorderColorChecked();
    } else if (m_mouseInControl || hasFocus()) {
        fill = to = a.ColorHot();
        border = a.BorderColorHot();
    }
    const Rect r{0, 0, width(), height()};
    DrawGradientFace(c, r, fill, a.Gradient(), 1, border, to == fill ? clNone : to);
    c.brush().style = BrushStyle::Clear;
    c.setBkMode(BkMode::Transparent);
    c.font().font = a.Font();
    DrawImageAndText(c, r, m_caption, m_imageIndex, m_images);
}

void TExtButton::paintEvent(QPaintEvent*)
{
    if (!isEnabled()) {
        m_state = absDisabled;
        m_dragging = false;
    } else if (m_state == absDisabled) {
        m_state = (m_down && m_groupIndex != 0) ? absExclusive : absUp;
    }
    if (Style == tasCheck && m_down)
        m_state = absDown;
    Canvas c(this);
    DrawButton(c);
}

void TExtButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && isEnabled()) {
        m_mouseDownInControl = true;
        if (!m_down) {
            m_state = absDown;
            update();
        }
        m_dragging = true;
    }
    e->accept();
}

void TExtButton::mouseMoveEvent(QMouseEvent* e)
{
    if (m_dragging) {
        const QPoint p = e->position().toPoint();
        const bool inside = p.x() >= 0 && p.x() < width() && p.y() >= 0 && p.y() <= height();
        const TExtButtonState s = m_down ? (Style == tasCheck ? absDown : absExclusive) : inside ? absDown : absUp;
        if (s != m_state) {
            m_state = s;
            update();
        }
    } else if (!m_mouseInControl) {
        MouseEnter();
    }
}

void TExtButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        e->accept();
        return;
    }
    const bool wasDragging = m_dragging;
    m_mouseDownInControl = false;
    m_dragging = false;
    update();
    const QPoint p = e->position().toPoint();
    const bool inside = rect().contains(p);
    if (wasDragging) {
        if (m_groupIndex != 0) {
            if (inside)
                SetDown(!m_down);
        } else {
            m_state = absUp;
            if (Style == tasCheck && inside)
                m_down = !m_down;
        }
        if (inside && isEnabled()) {
            QPointer<TExtButton> alive(this);
            Click(false);
            if (!alive)
                return;
        }
    }
    if (isEnabled()) {
        if (rect().contains(mapFromGlobal(QCursor::pos())))
            MouseEnter();
        else
            MouseLeave();
    }
    e->accept();
}

void TExtButton::MouseEnter()
{
    m_mouseInControl = true;
    if (isEnabled())
        update();
    m_unHotTimer->setEnabled(true);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TExtButton::MouseLeave()
{
    m_unHotTimer->setEnabled(false);
    m_mouseInControl = false;
    if (isEnabled())
        update();
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TExtButton::enterEvent(QEnterEvent*) { MouseEnter(); }

void TExtButton::leaveEvent(QEvent*) { MouseLeave(); }

void TExtButton::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space) {
        m_state = absDown;
        update();
        Click(true);
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TExtButton::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::FontChange)
        update();
}

// =====================================================================================================
// TExtBar
// =====================================================================================================

TExtBar::TExtBar(QWidget* parent, bool footer) : QWidget(parent), m_footer(footer)
{
    if (footer)
        m_appearance = std::make_unique<TFooterAppearance>();
    else
        m_appearance = std::make_unique<THeaderAppearance>();
    m_appearance->OnChange = [this] { ApplyAppearance(); };
    setMouseTracking(true);
}

void TExtBar::LinkTo(TExtCustomDropDown* edit)
{
    m_edit = edit;
    if (!edit) {
        m_images = nullptr;
        return;
    }
    m_images = edit->Images();
    if (m_footer)
        m_appearance->Assign(&edit->DropDownFooter());
    else
        m_appearance->Assign(&edit->DropDownHeader());
}

void TExtBar::ApplyAppearance()
{
    setVisible(m_appearance->Visible());
    resize(width(), m_appearance->Height);
}

bool TExtBar::GripActive() const
{
    return m_footer && static_cast<const TFooterAppearance&>(*m_appearance).SizeGrip && m_edit && m_edit->DropDownSizeable;
}

Rect TExtBar::ButtonArea() const
{
    const Rect r{0, 0, width(), height()};
    if (m_footer)
        return Rect{r.left + 2, r.top + 2, r.right - (GripActive() ? 14 : 2), r.bottom - 2};
    return Rect{r.left + 2, r.top + 2, r.right - 2, r.bottom - 3};
}

void TExtBar::ClearButtons()
{
    for (auto it = m_buttons.rbegin(); it != m_buttons.rend(); ++it)
        delete *it;
    m_buttons.clear();
}

void TExtBar::CreateButtons()
{
    if (!m_edit)
        return;
    ClearButtons();
    const int maxHeight = ButtonArea().height();
    auto make = [&](const THeaderButton& item, int index, int modalResult) {
        auto* b = new TExtButton(this);
        b->SetAppearance(&m_edit->ButtonAppearance());
        b->SetCaption(item.Caption());
        b->SetImages(m_images);
        b->SetImageIndex(item.ImageIndex);
        b->setEnabled(item.Enabled());
        if (m_footer) {
            b->ModalResult = modalResult;
            b->SetDropDown(m_edit);
        }
        b->SizeToContent();
        int w = b->width(), h = b->height();
        if (item.Width() > 0)
            w = item.Width();
        if (item.Height > 0)
            h = item.Height;
        if (h > maxHeight)
            h = maxHeight;
        b->resize(w, h);
        b->Tag = index;
        b->OnClick = [this](TExtButton* button) { ButtonClicked(button); };
        b->show();
        m_buttons.push_back(b);
    };
    if (m_footer) {
        const TFooterButtons& items = m_edit->DropDownFooter().Buttons();
        for (int i = 0; i < items.Count(); ++i)
            make(*items[i], i, items[i]->ModalResult);
    } else {
        const THeaderButtons& items = m_edit->DropDownHeader().Buttons();
        for (int i = 0; i < items.Count(); ++i)
            make(*items[i], i, 0);
    }
    ArrangeButtons();
}

void TExtBar::UpdateButtons()
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        TExtButton* b = m_buttons[i];
        if (m_edit)
            b->SetAppearance(&m_edit->ButtonAppearance());
        b->SetImages(m_images);
        if (m_edit) {
            const THeaderButton* item = nullptr;
            if (m_footer && int(i) < m_edit->DropDownFooter().Buttons().Count())
                item = m_edit->DropDownFooter().Buttons()[int(i)];
            else if (!m_footer && int(i) < m_edit->DropDownHeader().Buttons().Count())
                item = m_edit->DropDownHeader().Buttons()[int(i)];
            if (item) {
                b->SetCaption(item->Caption());
                b->SetImageIndex(item->ImageIndex);
                b->setEnabled(item->Enabled());
            }
        }
        b->SizeToContent();
    }
    ArrangeButtons();
}

void TExtBar::ArrangeButtons()
{
    const Rect a = ButtonArea();
    int right = a.right, left = a.left;
    for (TExtButton* b : m_buttons) {
        const int top = std::max(a.top, (a.bottom - b->height()) / 2);
        if (m_appearance->ButtonAlignment == baRight) {
            b->move(right - b->width(), top);
            right -= b->width();
        } else {
            b->move(left, top);
            left += b->width();
        }
    }
}

void TExtBar::ButtonClicked(TExtButton* button)
{
    if (!m_edit)
        return;
    if (m_footer) {
        if (m_edit->OnDropDownFooterButtonClick)
            m_edit->OnDropDownFooterButtonClick(m_edit, button->Tag);
    } else if (m_edit->OnDropDownHeaderButtonClick) {
        m_edit->OnDropDownHeaderButtonClick(m_edit, button->Tag);
    }
}

void TExtBar::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    ArrangeButtons();
}

void TExtBar::paintEvent(QPaintEvent*)
{
    Canvas c(this);
    const Rect r{0, 0, width(), height()};
    if (OnDrawBackGround) {
        OnDrawBackGround(this, c, r);
        return;
    }
    const TBarAppearance& a = *m_appearance;
    if (a.ColorTo == clNone) {
        if (a.Color != clNone) {
            c.brush() = Brush{a.Color, BrushStyle::Solid};
            c.fillRect(r);
        }
    } else {
        DrawGradientSteps(c, a.Color, a.ColorTo, a.GradientDirection == gdHorizontal, r, 80);
    }
    if (a.BorderColor != clNone && a.BorderWidth > 0) {
        c.pen() = Pen{a.BorderColor, a.BorderWidth, PenStyle::Solid};
        const bool popupFrame = m_edit && m_edit->DropDownBorderWidth > 0 && m_edit->DropDownBorderColor != clNone;
        auto line = [&](int x1, int y1, int x2, int y2) {
            c.moveTo(x1, y1);
            c.lineTo(x2, y2);
        };
        if (m_footer) {
            line(r.left, r.top, r.right, r.top);
            if (!popupFrame) {
                c.polyline({QPoint(r.left, r.top), QPoint(r.left, r.bottom - 1), QPoint(r.right - 1, r.bottom - 1),
                            QPoint(r.right - 1, r.top), QPoint(r.right - 1, r.top - 1)});
            }
        } else {
            line(r.left, r.bottom - 1, r.right, r.bottom - 1);
            if (!popupFrame) {
                c.polyline({QPoint(r.left, r.bottom - 1), QPoint(r.left, r.top), QPoint(r.right - 1, r.top),
                            QPoint(r.right - 1, r.bottom - 1), QPoint(r.right - 1, r.bottom)});
            }
        }
        c.pen() = Pen{BlendColors(a.BorderColor, clWhite, 20), 1, PenStyle::Solid};
        c.brush().style = BrushStyle::Clear;
        if (m_footer)
            c.rectangle(Rect{r.left, r.top + a.BorderWidth, r.right, r.bottom});
        else
            c.rectangle(Rect{r.left, r.top, r.right, r.bottom - a.BorderWidth});
    }
    Rect t = r.inflated(-a.BorderWidth, -a.BorderWidth);
    if (a.ImageIndex >= 0 && m_images) {
        m_images->Draw(c, t.left + 4, t.top + (t.height() - m_images->Height()) / 2, a.ImageIndex, true);
        t.left += m_images->Width() + 8;
    }
    QString caption = a.Caption;
    if (OnGetText)
        OnGetText(this, caption);
    if (!caption.isEmpty()) {
        if (!m_buttons.empty())
            t.right = m_buttons.back()->x() - 2;
        c.font().font = a.Font;
        c.font().color = a.FontColor;
        c.setBkMode(BkMode::Transparent);
        const QSize size = DrawHTMLText(c, caption, t, this, false, m_images);
        if (size.height() < t.height())
            t.top += (t.height() - size.height()) / 2;
        DrawHTMLText(c, caption, t, this, true, m_images);
    }
    if (GripActive()) {
        const Rect g{r.right - a.BorderWidth - 16, 1, r.right - a.BorderWidth - 1, r.bottom};
        const struct {
            int col, row;
        } dots[] = {{5, 2}, {9, 2}, {13, 2}, {9, 6}, {13, 6}, {13, 10}};
        for (const auto& d : dots) {
            c.brush() = Brush{clWhite, BrushStyle::Solid};
            c.fillRect(Rect{g.left + d.col, g.bottom - d.row, g.left + d.col + 2, g.bottom - d.row + 2});
            c.brush() = Brush{BlendColors(a.BorderColor, clWhite, 100), BrushStyle::Solid};
            c.fillRect(Rect{g.left + d.col - 1, g.bottom - d.row - 1, g.left + d.col + 1, g.bottom - d.row + 1});
        }
    }
}

// =====================================================================================================
// TExtFooter
// =====================================================================================================

TExtFooter::TExtFooter(QWidget* parent) : TExtBar(parent, true) {}

bool TExtFooter::InGripZone(QPoint p) const { return p.x() > width() - 12 && p.y() > height() - 15; }

void TExtFooter::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && GripActive() && InGripZone(e->position().toPoint()) && window()) {
        m_sizing = true;
        m_sizeStart = e->globalPosition().toPoint();
        m_formStart = window()->size();
    }
    e->accept();
}

void TExtFooter::mouseMoveEvent(QMouseEvent* e)
{
    if (m_sizing) {
        const QPoint d = e->globalPosition().toPoint() - m_sizeStart;
        if (auto* form = qobject_cast<TDropDownForm*>(window()))
            form->SizeFromGrip(m_formStart + QSize(d.x(), d.y()));
        return;
    }
    const bool zone = GripActive() && InGripZone(e->position().toPoint());
    setCursor(zone ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
}

void TExtFooter::mouseReleaseEvent(QMouseEvent* e)
{
    m_sizing = false;
    unsetCursor();
    e->accept();
}

void TExtFooter::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    if (!m_sizing)
        unsetCursor();
}

} // namespace controls::grid::dropdown
