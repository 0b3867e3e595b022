#include "controls/grid/dropdown/Watch.h"

#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "platform/draw/Region.h"
#include "platform/process/Clock.h"
#include "platform/text/Text.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace controls::grid::dropdown {

using namespace platform;

namespace {
int Round(double v) { return int(roundHalfEven(v)); }
double Rad(double d) { return d * std::numbers::pi / 180.0; }
// The point at angle b (degrees clockwise from three o'clock) and distance r.
QPoint MarkPoint(QPoint c, double b, double r)
{
    return QPoint(Round(c.x() + r * std::cos(Rad(b))), Round(c.y() + r * std::sin(Rad(b))));
}
} // namespace

TExtWatch::TExtWatch(QWidget* parent)
    : QWidget(parent), m_runningTimer(new Timer(this)), m_animationTimer(new Timer(this))
{
    resize(180, 180);
    setMouseTracking(true);
    m_appearance.OnChange = [this] { update(); };
    m_runningTimer->setInterval(100);
    m_runningTimer->onTimer = [this] { update(); };
    m_animationTimer->setInterval(1);
    m_animationTimer->onTimer = [this] { m_clock.AnimationStep(); };
    m_clock.RepaintHands = [this] { update(); };
    m_clock.PaintAll = [this] { update(); };
    m_clock.SlideAMPM = [this](bool toPM) { Slide(toPM); };
    m_clock.AnimationTimer = [this](bool run) { m_animationTimer->setEnabled(run); };
    m_clock.OnChange = [this] {
        if (OnChange)
            OnChange(this);
    };
    m_clock.Settings.OnChange = [this] {
        m_runningTimer->setEnabled(m_clock.Settings.Auto());
        m_clock.SettingsChanged();
    };
}

TExtWatch::~TExtWatch()
{
    m_animationTimer->setEnabled(false);
    m_runningTimer->setEnabled(false);
}

void TExtWatch::SetShowAMPM(bool on)
{
    if (on == m_clock.ShowAMPM)
        return;
    m_clock.ShowAMPM = on;
    update();
}

void TExtWatch::SetShowNumbers(bool on)
{
    if (on == m_showNumbers)
        return;
    m_showNumbers = on;
    update();
}

void TExtWatch::SetStyle(TWatchStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    const TWatchStyleExtras x = ApplyWatchStyle(m_appearance, style, width(), height());
    if (x.animation)
        m_clock.Animation = *x.animation;
    if (x.animationFactor)
        m_clock.AnimationFactor = *x.animationFactor;
    if (x.showAMPM)
        m_clock.ShowAMPM = *x.showAMPM;
    if (x.showNumbers)
        m_showNumbers = *x.showNumbers;
    m_appearance.Changed();
}

void TExtWatch::SetComponentStyle(TVekkoStyle style) { ApplyWatchComponentStyle(m_appearance, style); }

void TExtWatch::HandleKey(quint16 key) { m_clock.HandleKey(key); }

QRect TExtWatch::AMPMRect() const
{
    if (!m_clock.ShowAMPM)
        return QRect();
    const QFontMetrics fm(m_appearance.AMPMFont.font);
    const int w = fm.horizontalAdvance(QStringLiteral("AM")) + 8;
    const int h = fm.height();
    const TWatchGeometry g = Geometry();
    return QRect(g.center.x() - w / 2, g.center.y() + Round((g.radius - h) / 3.0), w, h);
}

// --- painting --------------------------------------------------------------------------------------------

void TExtWatch::DrawBackground(Canvas& c)
{
    const TWatchAppearance& a = m_appearance;
    const TWatchGeometry g = Geometry();
    const Rect area = a.Shape == wsCircle ? Rect::fromQRect(g.face) : Rect{0, 0, width(), height()};
    const int state = c.saveState();
    if (a.Shape != wsRect) {
        QPainterPath path;
        const QRectF grown(area.left - 1, area.top - 1, area.width() + 3, area.height() + 3);
        if (a.Shape == wsCircle)
            path.addEllipse(grown);
        else
            path.addRoundedRect(grown, 10, 10);
        Region clip(QRegion(path.toFillPolygon().toPolygon()));
        c.selectClipRegion(&clip);
    }
    if (a.BackgroundColor != clNone && a.BackgroundColorTo != clNone) {
        DrawGradientSteps(c, a.BackgroundColor, a.BackgroundColorTo, a.BackgroundGradient == wgRadial, area, 80);
    } else if (a.BackgroundColor != clNone) {
        c.brush() = Brush{a.BackgroundColor, BrushStyle::Solid};
        c.fillRect(area);
    }
    if (a.BorderColor != clNone && a.BorderWidth > 0) {
        c.pen() = Pen{a.BorderColor, a.BorderWidth, PenStyle::Solid};
        c.brush().style = BrushStyle::Clear;
        switch (a.Shape) {
        case wsCircle:
            c.ellipse(area);
            break;
        case wsRect:
            c.rectangle(area);
            break;
        case wsRoundRect:
            c.roundRect(area, 20, 20);
            break;
        }
    }
    c.restoreState(state);
    if (!a.Picture.isEmpty()) {
        Bitmap pic = a.Picture.bitmap();
        pic.setTransparent(true);
        c.stretchDraw(Rect{0, 0, width(), height()}, pic);
    }
}

void TExtWatch::DrawMarks(Canvas& c)
{
    const TWatchAppearance& a = m_appearance;
    if (a.TickMarks == tmNone)
        return;
    const TWatchGeometry g = Geometry();
    const double q = g.radius - a.BorderWidth / 2;
    auto line = [&](QPoint p1, QPoint p2) {
        c.moveTo(p1.x(), p1.y());
        c.lineTo(p2.x(), p2.y());
    };
    const double hr = a.HourMarkLength != 0 ? q - a.HourMarkLength : 0.9 * q;
    c.pen() = Pen{a.HourColor, std::max(1, a.HourMarkWidth), PenStyle::Solid};
    for (int quarter = 0; quarter < 4; ++quarter) {
        const double b = quarter * 90.0;
        const QPoint p1 = MarkPoint(g.center, b, hr), p2 = MarkPoint(g.center, b, q);
        if (a.HourMarkStyle == hmsQuartDblLine) {
            const bool horizontal = quarter % 2 == 0; // three and nine o'clock
            const QPoint d = horizontal ? QPoint(0, 2) : QPoint(2, 0);
            line(p1 - d, p2 - d);
            line(p1 + d, p2 + d);
        } else {
            line(p1, p2);
        }
    }
    if (a.TickMarks == tmAll || a.TickMarks == tmHours) {
        for (int i = 0; i < 12; ++i)
            if (i % 3 != 0)
                line(MarkPoint(g.center, i * 30.0, hr), MarkPoint(g.center, i * 30.0, q));
    }
    if (a.TickMarks == tmAll) {
        const double mr = a.MinuteMarkLength != 0 ? q - a.MinuteMarkLength : 0.95 * q;
        c.pen() = Pen{a.MinuteColor, std::max(1, a.MinuteMarkWidth), PenStyle::Solid};
        for (int i = 0; i < 60; ++i)
            if (i % 5 != 0)
                line(MarkPoint(g.center, i * 6.0, mr), MarkPoint(g.center, i * 6.0, q));
    }
}

void TExtWatch::DrawNumbers(Canvas& c)
{
    const TWatchAppearance& a = m_appearance;
    if (!m_showNumbers || a.TickMarks == tmNone || a.TickMarks == tmHours)
        return;
    const TWatchGeometry g = Geometry();
    c.font() = a.HourFont;
    c.brush().style = BrushStyle::Clear;
    c.setBkMode(BkMode::Transparent);
    const double rr = g.radius - a.BorderWidth / 2;
    const int b = a.HourMarkLength != 0 ? a.HourMarkLength : Round(rr - 0.9 * rr) + 2;
    const double rho = rr - 2 * b - 2;
    for (int i = 1; i <= 12; ++i) {
        if (a.TickMarks == tmQuartHours && i % 3 != 0)
            continue;
        const QString text = QString::number(i);
        const int tw = c.textWidth(text), th = c.textHeight(text);
        const int d = i == 10 ? Round(0.2 * th) : i == 11 ? Round(0.15 * th) : 0;
        const double ri = rho - d + b / 2;
        const double ang = Rad(i * 30.0);
        const int x0 = Round(std::sin(ang) * ri) + g.center.x() + 1;
        const int y0 = g.center.y() - Round(std::cos(ang) * ri) + 1;
        c.textOut(x0 - tw / 2 - 1, y0 - th / 2 - 1, text);
    }
}

void TExtWatch::DrawAMPM(Canvas& c)
{
    const QRect box = AMPMRect();
    if (!box.isValid())
        return;
    const TWatchAppearance& a = m_appearance;
    const Rect r = Rect::fromQRect(box);
    c.brush() = Brush{a.AMPMColor, a.AMPMColor == clNone ? BrushStyle::Clear : BrushStyle::Solid};
    c.pen() = Pen{a.AMPMBorderColor, 1, a.AMPMBorderColor == clNone ? PenStyle::Clear : PenStyle::Solid};
    if (a.AMPMColor != clNone || a.AMPMBorderColor != clNone) {
        if (a.AMPMFrame == apRect)
            c.rectangle(r);
        else
            c.roundRect(r, 5, 5);
    }
    c.font() = a.AMPMFont;
    c.brush().style = BrushStyle::Clear;
    c.setBkMode(BkMode::Transparent);
    const int state = c.saveState();
    c.intersectClipRect(r.inflated(-1, -1));
    if (m_slide >= 0) {
        // The two texts stacked; the window over them moves a pixel per step.
        const int h = r.height() - 2;
        const int offset = m_slideToPM ? -m_slide : -(h - m_slide);
        Rect am{r.left, r.top + offset, r.right, r.top + offset + r.height()};
        Rect pm = am.offset(0, h);
        c.drawText(QStringLiteral("AM"), am, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        c.drawText(QStringLiteral("PM"), pm, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    } else {
        Rect t = r;
        c.drawText(m_clock.AM() ? QStringLiteral("AM") : QStringLiteral("PM"), t, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    c.restoreState(state);
}

void TExtWatch::DrawHands(Canvas& c)
{
    const TWatchAppearance& a = m_appearance;
    const TWatchGeometry g = Geometry();
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(m_clock.CurrentTime(), h, m, s, ms);
    const THandAngles ang = HandAngles(h, m, s);
    const int R = g.radius;
    auto drawLine = [&](double angle, double tail, double tip, Color col, int width, QPoint shift) {
        if (col == clNone)
            return;
        const auto [p1, p2] = HandLine(g.center, R, angle, tail, tip);
        c.pen() = Pen{col, std::max(1, width), PenStyle::Solid};
        c.moveTo(p1.x() + shift.x(), p1.y() + shift.y());
        c.lineTo(p2.x() + shift.x(), p2.y() + shift.y());
    };
    auto drawPointer = [&](double angle, double tip, Color col, QPoint shift) {
        if (col == clNone)
            return;
        const auto [tail, end] = HandLine(g.center, R, angle, 0.1, tip);
        const QPoint side1 = HandLine(g.center, R, angle + 90, 0.05, 0).first;
        const QPoint side2 = HandLine(g.center, R, angle - 90, 0.05, 0).first;
        c.pen() = Pen{col, 1, PenStyle::Solid};
        c.brush() = Brush{col, BrushStyle::Solid};
        c.polygon({tail + shift, side1 + shift, end + shift, side2 + shift});
    };
    if (a.PointerStyle == psLine) {
        drawLine(ang.hour, 0.1, 0.46, a.HourPointerShadow, a.HourPointerSize, QPoint(-1, 3));
        drawLine(ang.minute, 0.1, 0.65, a.MinutePointerShadow, a.MinutePointerSize, QPoint(0, 3));
        drawLine(ang.hour, 0.1, 0.5, a.HourPointer, a.HourPointerSize, QPoint());
        drawLine(ang.minute, 0.1, 0.7, a.MinutePointer, a.MinutePointerSize, QPoint());
    } else if (a.PointerStyle == psPointer) {
        drawPointer(ang.hour, 0.5, a.HourPointerShadow, QPoint(1, 3));
        drawPointer(ang.hour, 0.5, a.HourPointer, QPoint());
        drawPointer(ang.minute, 0.7, a.MinutePointerShadow, QPoint(1, 3));
        drawPointer(ang.minute, 0.7, a.MinutePointer, QPoint());
    }
    if ((a.PointerStyle == psLine || a.PointerStyle == psPointer) && m_clock.Settings.Auto() && m_clock.Settings.Second())
        drawLine(ang.second, 0.2, 0.9, a.SecondPointer, a.SecondPointerSize, QPoint());
    const int cs = a.CenterPointSize;
    if (cs > 0) {
        auto disc = [&](int size, Color pen, int penWidth, Color fill) {
            const int left = Round(g.center.x() - size / 2.0), top = Round(g.center.y() - size / 2.0);
            c.pen() = Pen{pen, std::max(1, penWidth), PenStyle::Solid};
            c.brush() = Brush{fill, fill == clNone ? BrushStyle::Clear : BrushStyle::Solid};
            c.ellipse(Rect{left, top, left + size, top + size});
        };
        if (a.CenterPointColor != clNone)
            disc(cs, a.CenterPointColor, 1, a.CenterPointColor);
        int w = 0;
        if (a.CenterPointOuterBorderColor != clNone) {
            w = Round(0.2 * cs);
            disc(cs, a.CenterPointOuterBorderColor, w, clNone);
        }
        if (a.CenterPointBorderColor != clNone)
            disc(cs - w, a.CenterPointBorderColor, Round(0.1 * cs), clNone);
    }
}

void TExtWatch::PaintAll(Canvas& c)
{
    DrawBackground(c);
    DrawMarks(c);
    DrawNumbers(c);
    DrawAMPM(c);
    DrawHands(c);
}

void TExtWatch::paintEvent(QPaintEvent*)
{
    Canvas c(this);
    c.brush() = Brush{fromQColor(palette().color(QPalette::Window)), BrushStyle::Solid};
    c.fillRect(Rect{0, 0, width(), height()});
    PaintAll(c);
}

void TExtWatch::Slide(bool toPM)
{
    const QRect box = AMPMRect();
    if (!box.isValid() || !isVisible())
        return;
    m_slideToPM = toPM;
    const int steps = box.height() - 2;
    for (m_slide = 0; m_slide <= steps; ++m_slide) {
        repaint(box);
        platform::clock().sleepMs(10);
    }
    m_slide = -1;
}

void TExtWatch::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    // The box slides only when it has a fill colour (the looks without one just switch the text).
    m_clock.AMPMColor = m_appearance.AMPMColor;
    if (e->button() == Qt::LeftButton)
        m_clock.ClickAt(Geometry(), AMPMRect(), p.x(), p.y());
    e->accept();
}

void TExtWatch::mouseMoveEvent(QMouseEvent* e)
{
    const QRect box = AMPMRect();
    setCursor(box.isValid() && box.contains(e->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

} // namespace controls::grid::dropdown
