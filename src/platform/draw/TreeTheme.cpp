#include "platform/draw/TreeTheme.h"
#include "platform/draw/Theme.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QWidget>

namespace platform {

namespace {

constexpr int kGlyphSize = 9;

QStyle* styleFor(QWidget* window)
{
    if (window)
        return window->style();
    return qobject_cast<QApplication*>(QCoreApplication::instance()) ? QApplication::style() : nullptr;
}

void fill(QStyleOption& o, const Rect& r, const QWidget* w, QStyle::State state)
{
    o.rect = r.toQRect();
    o.state = state;
    o.direction = Qt::LeftToRight;
    o.palette = w ? w->palette() : QApplication::palette();
}

} // namespace

bool DrawTreeViewPart(QWidget* window, Canvas& canvas, int part, int state, const Rect& r)
{
    if (!IsThemeActive() || r.isEmpty())
        return false;
    QStyle* style = styleFor(window);
    QPainter& p = canvas.painter();
    if (!style || !p.isActive())
        return false;
    canvas.log(QStringLiteral("DrawTreeViewPart %1/%2 %3").arg(part).arg(state).arg(logRect(r)));
    p.save();
    p.setClipRect(r.toQRect(), Qt::IntersectClip);
    bool drawn = false;
    switch (part) {
    case TVP_GLYPH:
    case TVP_HOTGLYPH: {
        if (state != GLPS_CLOSED && state != GLPS_OPENED)
            break;
        QStyleOption o;
        QStyle::State s = QStyle::State_Enabled | QStyle::State_Children;
        if (state == GLPS_OPENED)
            s |= QStyle::State_Open;
        if (part == TVP_HOTGLYPH)
            s |= QStyle::State_MouseOver;
        fill(o, r, window, s);
        style->drawPrimitive(QStyle::PE_IndicatorBranch, &o, &p, window);
        drawn = true;
        break;
    }
    case TVP_TREEITEM: {
        if (state < TREIS_NORMAL || state > TREIS_HOTSELECTED)
            break;
        QStyleOptionViewItem o;
        QStyle::State s = QStyle::State_Enabled;
        switch (state) {
        case TREIS_HOT:
            s |= QStyle::State_MouseOver;
            break;
        case TREIS_SELECTED:
            s |= QStyle::State_Selected | QStyle::State_Active;
            break;
        case TREIS_DISABLED:
            s = QStyle::State_None;
            break;
        case TREIS_SELECTEDNOTFOCUS:
            s |= QStyle::State_Selected;
            break;
        case TREIS_HOTSELECTED:
            s |= QStyle::State_Selected | QStyle::State_Active | QStyle::State_MouseOver;
            break;
        default:
            break;
        }
        fill(o, r, window, s);
        o.showDecorationSelected = true;
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &o, &p, window);
        drawn = true;
        break;
    }
    default:
        break;
    }
    p.restore();
    return drawn;
}

QSize TreeViewPartSize(QWidget*, int part, int)
{
    if (!IsThemeActive())
        return QSize();
    if (part == TVP_GLYPH || part == TVP_HOTGLYPH)
        return QSize(kGlyphSize, kGlyphSize);
    return QSize();
}

} // namespace platform
