#include "controls/grid/editors/ControlLabel.h"

#include <QFontMetrics>
#include <QMouseEvent>

namespace controls::grid {

namespace {

int half(int v) { return v / 2; } // truncates toward zero

// The label: its clicks go to the owner's hooks.
class ClickLabel : public QLabel {
public:
    ClickLabel(QWidget* parent, const TControlLabel* owner) : QLabel(parent), m_owner(owner) {}

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        QLabel::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && m_owner->OnClick)
            m_owner->OnClick();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        QLabel::mouseDoubleClickEvent(e);
        if (m_owner->OnDblClick)
            m_owner->OnDblClick();
    }

private:
    const TControlLabel* m_owner;
};

} // namespace

QPoint LabelPlace(TLabelPosition position, int left, int top, int width, int height, int labelWidth,
                  int labelHeight, int margin)
{
    const int l = left, t = top, w = width, h = height;
    switch (position) {
    case lpLeftTop: return {l - labelWidth - margin, t};
    case lpLeftCenter: return {l - labelWidth - margin, t + half(h - labelHeight)};
    case lpLeftBottom: return {l - labelWidth - margin, t + h - labelHeight};
    case lpTopLeft: return {l, t - labelHeight - margin};
    case lpBottomLeft: return {l, t + h + margin};
    case lpLeftTopLeft: return {l - margin, t};
    case lpLeftCenterLeft: return {l - margin, t + half(h - labelHeight)};
    case lpLeftBottomLeft: return {l - margin, t + h - labelHeight};
    case lpTopCenter: return {l + half(w - labelWidth), t - labelHeight - margin};
    case lpBottomCenter: return {l + half(w - labelWidth), t + h + margin};
    case lpRightTop: return {l + w + margin, t};
    case lpRightCenter: return {l + w + margin, t + half(h - labelHeight)};
    case lpRighBottom: return {l + w + margin, t + h - labelHeight};
    }
    return {l, t};
}

TControlLabel::TControlLabel(QWidget* control) : Font(control->font()), m_control(control) {}

TControlLabel::~TControlLabel()
{
    // The label lies on the control's parent: it goes with the control.
    delete m_label.data();
}

void TControlLabel::SetCaption(const QString& caption)
{
    if (!m_label) {
        m_label = new ClickLabel(m_control->parentWidget(), this);
        m_label->setBuddy(m_control);
        m_label->setFont(Font);
    }
    m_label->setText(caption);
}

void TControlLabel::Place(bool controlFont, bool visible)
{
    if (!m_label)
        return;
    if (m_label->parentWidget() != m_control->parentWidget())
        m_label->setParent(m_control->parentWidget());
    m_label->setAutoFillBackground(!Transparent);
    m_label->setFont(controlFont ? m_control->font() : Font);
    QString caption = m_label->text();
    caption.remove(QLatin1Char('&'));
    const QFontMetrics fm(m_label->font());
    const int w = fm.horizontalAdvance(caption);
    m_label->resize(w, fm.height());
    m_label->move(LabelPlace(Position, m_control->x(), m_control->y(), m_control->width(), m_control->height(), w,
                             m_label->height(), Margin));
    m_label->setVisible(visible);
}

void TControlLabel::FollowEnabled(bool enabled)
{
    if (m_label && !AlwaysEnabled)
        m_label->setEnabled(enabled);
}

void TControlLabel::SetBold(bool bold)
{
    if (!m_label || !FocusBold)
        return;
    QFont f = m_label->font();
    f.setBold(bold);
    m_label->setFont(f);
}

} // namespace controls::grid
