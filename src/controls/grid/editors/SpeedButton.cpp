#include "controls/grid/editors/SpeedButton.h"

#include <QMouseEvent>

namespace controls::grid {

TSpeedButton::TSpeedButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void TSpeedButton::Click()
{
    if (OnClick)
        OnClick(this);
}

void TSpeedButton::MouseUp(bool over)
{
    if (over)
        Click();
}

void TSpeedButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    m_pressed = true;
    m_over = true;
    update();
    MouseDown();
}

void TSpeedButton::mouseMoveEvent(QMouseEvent* e)
{
    if (m_pressed) {
        const bool over = rect().contains(e->position().toPoint());
        if (over != m_over) {
            m_over = over;
            update();
        }
    }
    QWidget::mouseMoveEvent(e);
}

void TSpeedButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !m_pressed) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    const bool over = rect().contains(e->position().toPoint());
    m_pressed = false;
    m_over = false;
    update();
    MouseUp(over);
}

void TSpeedButton::enterEvent(QEnterEvent* e)
{
    QWidget::enterEvent(e);
    m_hot = true;
    update();
}

void TSpeedButton::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    m_hot = false;
    update();
}

} // namespace controls::grid
