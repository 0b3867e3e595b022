// The small pictures the grid draws itself: check boxes and radio buttons in two looks (enabled
// and disabled, on and off), the node buttons and the filter glyph. Each is drawn once on a
// fuchsia background, which the transparent drawing leaves out.
#include "controls/grid/paint/GridPaint.h"

#include <QHash>

namespace controls::grid {

using platform::Bitmap;
using platform::Brush;
using platform::BrushStyle;
using platform::Pen;
using platform::PenStyle;
using platform::rgb;

namespace {

constexpr Color kKey = platform::clFuchsia;
constexpr Color kBoxBorder = rgb(28, 81, 128);
constexpr Color kBoxBorderDisabled = rgb(170, 170, 170);
constexpr Color kMark = rgb(33, 161, 33);
constexpr Color kMarkDisabled = rgb(150, 150, 150);
constexpr Color kBoxFill = platform::clWhite;
constexpr Color kBoxFillDisabled = rgb(236, 236, 236);

Bitmap checkBox(int size, bool checked, bool enabled)
{
    Bitmap b(size, size, kKey);
    Canvas c(b);
    const int inset = (size - 13) / 2; // a 13 x 13 box
    const Rect box{inset, inset, inset + 13, inset + 13};
    c.pen() = Pen{enabled ? kBoxBorder : kBoxBorderDisabled, 1, PenStyle::Solid};
    c.brush() = Brush{enabled ? kBoxFill : kBoxFillDisabled, BrushStyle::Solid};
    c.rectangle(box);
    if (checked) {
        c.pen() = Pen{enabled ? kMark : kMarkDisabled, 1, PenStyle::Solid};
        // A tick two pixels thick.
        for (int d = 0; d < 2; ++d) {
            c.moveTo(box.left + 3, box.top + 6 + d);
            c.lineTo(box.left + 5, box.top + 8 + d);
            c.lineTo(box.left + 10, box.top + 3 + d);
        }
    }
    return b;
}

Bitmap radioButton(bool on, bool enabled)
{
    Bitmap b(16, 16, kKey);
    Canvas c(b);
    c.pen() = Pen{enabled ? kBoxBorder : kBoxBorderDisabled, 1, PenStyle::Solid};
    c.brush() = Brush{enabled ? kBoxFill : kBoxFillDisabled, BrushStyle::Solid};
    c.ellipse(Rect{2, 2, 14, 14});
    if (on) {
        c.pen() = Pen{enabled ? kMark : kMarkDisabled, 1, PenStyle::Solid};
        c.brush() = Brush{enabled ? kMark : kMarkDisabled, BrushStyle::Solid};
        c.ellipse(Rect{5, 5, 11, 11});
    }
    return b;
}

Bitmap nodeBox(bool contracted)
{
    Bitmap b(9, 9, kKey);
    Canvas c(b);
    c.pen() = Pen{platform::clGray, 1, PenStyle::Solid};
    c.brush() = Brush{platform::clWhite, BrushStyle::Solid};
    c.rectangle(Rect{0, 0, 9, 9});
    c.pen().color = platform::clBlack;
    c.moveTo(2, 4);
    c.lineTo(7, 4);
    if (contracted) {
        c.moveTo(4, 2);
        c.lineTo(4, 7);
    }
    return b;
}

Bitmap leaf(bool contracted)
{
    Bitmap b(16, 16, kKey);
    Canvas c(b);
    c.pen() = Pen{platform::clGray, 1, PenStyle::Solid};
    c.brush() = Brush{platform::clGray, BrushStyle::Solid};
    if (contracted)
        c.polygon({QPoint(5, 3), QPoint(11, 8), QPoint(5, 13)});
    else
        c.polygon({QPoint(3, 5), QPoint(13, 5), QPoint(8, 11)});
    return b;
}

Bitmap filter()
{
    Bitmap b(16, 16, kKey);
    Canvas c(b);
    c.pen() = Pen{platform::clBlack, 1, PenStyle::Solid};
    c.brush() = Brush{platform::clBlack, BrushStyle::Solid};
    c.polygon({QPoint(3, 4), QPoint(12, 4), QPoint(8, 8), QPoint(8, 12), QPoint(7, 12), QPoint(7, 8)});
    return b;
}

QHash<QString, Bitmap> makeGlyphs()
{
    QHash<QString, Bitmap> g;
    // Vekko look (20 x 20) and XP look (16 x 16): checked, unchecked, checked disabled,
    // unchecked disabled.
    const struct {
        bool checked, enabled;
    } order[] = {{true, true}, {false, true}, {true, false}, {false, false}};
    for (int i = 0; i < 4; ++i) {
        g.insert(QStringLiteral("XGRCHK0%1").arg(i + 1), checkBox(20, order[i].checked, order[i].enabled));
        g.insert(QStringLiteral("XGRCHK0%1").arg(i + 5), checkBox(16, order[i].checked, order[i].enabled));
        g.insert(QStringLiteral("XGRRAD0%1").arg(i + 1), radioButton(order[i].checked, order[i].enabled));
        g.insert(QStringLiteral("XGRRAD0%1").arg(i + 5), radioButton(order[i].checked, order[i].enabled));
    }
    g.insert(QStringLiteral("XPNODEO"), nodeBox(false));
    g.insert(QStringLiteral("XPNODEC"), nodeBox(true));
    g.insert(QStringLiteral("XGRLEAFOPEN"), leaf(false));
    g.insert(QStringLiteral("XGRLEAFCLOSE"), leaf(true));
    g.insert(QStringLiteral("XGRFILT"), filter());
    for (Bitmap& b : g)
        b.setTransparent(true);
    return g;
}

} // namespace

const Bitmap& GridGlyph(const QString& name)
{
    static const QHash<QString, Bitmap> glyphs = makeGlyphs();
    static const Bitmap none;
    const auto it = glyphs.constFind(name);
    return it == glyphs.cend() ? none : *it;
}

} // namespace controls::grid
