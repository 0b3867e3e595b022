#include "controls/grid/util/BalloonTip.h"

#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimerEvent>

namespace controls::grid {

namespace {

constexpr int kPad = 8;
constexpr int kStem = 10;
constexpr int kIcon = 16;

QStyle::StandardPixmap iconPixmap(int icon)
{
    switch (icon) {
    case 1: return QStyle::SP_MessageBoxInformation;
    case 2: return QStyle::SP_MessageBoxWarning;
    default: return QStyle::SP_MessageBoxCritical;
    }
}

} // namespace

TBalloonTip::TBalloonTip(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Balloon"));
}

void TBalloonTip::ShowAt(QPoint at, const QString& title, const QString& text, int icon)
{
    m_title = title.size() > 100 ? title.left(97) + QStringLiteral("...") : title;
    m_text = text;
    m_icon = icon >= 1 && icon <= 3 ? icon : 0;
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(font());
    const QFontMetrics fb(bold);
    const int wrap = std::max(50, MaxTipWidth);
    const QRect textBox = fm.boundingRect(QRect(0, 0, wrap, 10000), Qt::TextWordWrap, m_text);
    const int titleWidth = fb.horizontalAdvance(m_title) + (m_icon ? kIcon + 4 : 0);
    const int titleHeight = std::max(m_title.isEmpty() ? 0 : fb.height(), m_icon ? kIcon : 0);
    const int w = std::max(titleWidth, textBox.width()) + 2 * kPad;
    const int h = titleHeight + (titleHeight ? 4 : 0) + textBox.height() + 2 * kPad + kStem;
    QRect r(at.x() - 16, at.y(), w, h);
    if (QScreen* screen = QGuiApplication::screenAt(at)) {
        const QRect monitor = screen->geometry();
        if (r.right() > monitor.right())
            r.moveRight(monitor.right());
        if (r.left() < monitor.left())
            r.moveLeft(monitor.left());
    }
    setGeometry(r);
    show();
    raise();
    update();
    if (m_timer)
        killTimer(m_timer);
    m_timer = AutoHideDelay > 0 ? startTimer(AutoHideDelay) : 0;
}

void TBalloonTip::ShowAtWindow(QWidget* window, const QString& title, const QString& text, int icon)
{
    if (!window)
        return;
    ShowAt(window->mapToGlobal(QPoint(window->width() / 2, window->height())), title, text, icon);
}

void TBalloonTip::Pop()
{
    if (m_timer)
        killTimer(m_timer);
    m_timer = 0;
    hide();
}

void TBalloonTip::mousePressEvent(QMouseEvent*) { Pop(); }

void TBalloonTip::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_timer)
        Pop();
}

void TBalloonTip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor back = BackgroundColor == platform::clNone ? palette().color(QPalette::ToolTipBase)
                                                           : platform::toQColor(BackgroundColor);
    const QColor ink = TextColor == platform::clNone ? palette().color(QPalette::ToolTipText)
                                                    : platform::toQColor(TextColor);
    QPainterPath path;
    const QRect body(0, kStem, width() - 1, height() - kStem - 1);
    path.addRoundedRect(body, 6, 6);
    QPolygon stem;
    stem << QPoint(12, kStem) << QPoint(16, 0) << QPoint(26, kStem);
    path.addPolygon(stem);
    p.fillPath(path.simplified(), back);
    p.setPen(ink);
    p.drawPath(path.simplified());
    int y = kStem + kPad;
    int x = kPad;
    if (m_icon) {
        const QIcon icon = style()->standardIcon(iconPixmap(m_icon));
        icon.paint(&p, QRect(x, y, kIcon, kIcon));
        x += kIcon + 4;
    }
    if (!m_title.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.drawText(QRect(x, y, width() - x - kPad, QFontMetrics(bold).height()), Qt::AlignLeft | Qt::AlignVCenter, m_title);
    }
    if (m_icon || !m_title.isEmpty())
        y += std::max(m_title.isEmpty() ? 0 : QFontMetrics(p.font()).height(), m_icon ? kIcon : 0) + 4;
    p.setFont(font());
    p.drawText(QRect(kPad, y, width() - 2 * kPad, height() - y - kPad), Qt::TextWordWrap, m_text);
}

TBalloonTip* GridBalloonTip()
{
    static QPointer<TBalloonTip> tip;
    if (!tip)
        tip = new TBalloonTip(nullptr);
    return tip;
}

} // namespace controls::grid
