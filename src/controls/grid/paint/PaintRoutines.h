#pragma once
// Small routines of the cell painter that decide colours, flags and places without drawing
// anything themselves (DrawGradientSteps aside), so that each rule can be checked on its own.
#include "controls/grid/base/GridTypes.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"

#include <QFont>
#include <QPoint>
#include <QSize>

namespace controls::grid {

using platform::Color;
using platform::Rect;

// Mixes percent P of colour A into colour B: P >= 100 gives A, P <= 0 or A clNone gives B, B clNone
// gives A; otherwise each channel P/100 x a + (1 - P/100) x b, to the nearest integer (halves to
// the even neighbour) and at most 255. System colours are resolved first.
Color BlendColors(Color a, Color b, int percent);
// BlendColors(a, b, percent) when flag is set, else a.
Color BlendColorsIf(Color a, Color b, bool flag, int percent);

// The value limited to 0 .. 100.
double ClampPercent(double value);

// Fills r with `steps` bands (at least 1, at most one per pixel of the span) running from colour a
// to colour b, left to right when horizontal, else top to bottom; the first band is a, the last
// b. With either colour clNone the rect is filled in the other one.
void DrawGradientSteps(platform::Canvas& canvas, Color a, Color b, bool horizontal, const Rect& r, int steps);

// The DrawText flags of a plain cell text (before the right-to-left adjustment), and whether only
// the text's first line is drawn. lineCount is CountLines(text, multiLineCells).
struct TCellTextFlags {
    unsigned flags = 0;
    bool firstLineOnly = false;
};
TCellTextFlags CellTextFlags(int lineCount, bool wordWrap, bool multiLineCells, bool enhTextSize,
                             platform::Alignment hAlign, TVAlignment vAlign);

// Makes the font smaller in half-point steps, down to four fifths of its size, until the text's
// width is at most `width`; the font stays as it was when the text fits already or would not fit
// even then.
void ShrinkFontToWidth(QFont& font, const QString& text, int width);

// Where text turned by angle degrees starts in rect: a = |cos x text height|, b = |sin x text
// width|, c = |sin x text height|, d = |cos x text width| (each cut to an integer).
QPoint RotatedTextOrigin(const Rect& rect, platform::Alignment hAlign, TVAlignment vAlign, int a, int b, int c,
                         int d, int angle);

// The size a text of (width, height) takes when turned by angle degrees, with room around it.
QSize RotatedTextSize(int width, int height, int angle);

// The band colour of a data row: primary for the first primaryLength rows of every totalLength,
// secondary for the others; totalLength <= 0 gives the grid's colour.
Color BandColor(int row, int fixedRows, int totalLength, int primaryLength, Color primary, Color secondary,
                Color gridColor);

} // namespace controls::grid
