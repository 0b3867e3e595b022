#pragma once
// Drawing and colour helpers shared by the drop-down edits, their popup bars, buttons and kinds
// (and the stepped gradient by the grid's search footer). Rounding of halves goes to the even
// neighbour.
#include "controls/grid/dropdown/rules/DropDownTypes.h"
#include "platform/draw/Canvas.h"

#include <QSize>
#include <QString>

class QWidget;

namespace platform {
class TImageList;
}

namespace controls::grid::dropdown {

using platform::Canvas;
using platform::Rect;

// Fills r with `steps` bands from colorFrom to colorTo (0 or fewer steps count as one), left to
// right when horizontal, top to bottom otherwise; each band is drawn with pen and brush in its
// colour, one pixel wider than its share.
void DrawGradientSteps(Canvas& canvas, Color colorFrom, Color colorTo, bool horizontal, const Rect& r, int steps);
// percent >= 100: color1; <= 0: color2; else each channel percent of color1 and the rest of color2.
Color BlendColors(Color color1, Color color2, int percent);
// Each channel with its percentage: a non-zero channel scaled by min(100, d + 100) %, a zero
// channel raised to max(0, d).
Color AdjustColorPercent(Color color, int dR, int dG, int dB);
// A gradient (80 bands) to colorTo, or a plain fill in color; then a frame of borderWidth in
// borderColor when both are set.
void DrawGradientFace(Canvas& canvas, const Rect& r, Color color, TGradientDirection direction, int borderWidth,
                      Color borderColor, Color colorTo);
// An image of the list at the left (4 pixels in, centred vertically) and the text after it, or
// the text centred without an image; single line with an ellipsis.
void DrawImageAndText(Canvas& canvas, const Rect& r, const QString& text, int imageIndex,
                      const platform::TImageList* images);
// The glyph (its top-left pixel's colour transparent) on a fill of color, into r.
void DrawGlyphOnColor(Canvas& canvas, const platform::Bitmap& glyph, Color color, const Rect& r);
// Single-line size of the text in the canvas font; 0 x 0 for empty text.
QSize GetTextSize(Canvas& canvas, const QString& text);
// The text, or its longest beginning (with "..." when ellipsis) narrower than maxWidth; the text
// itself when no beginning is.
QString ShortenText(Canvas& canvas, const QString& text, int maxWidth, bool ellipsis);
// Measures (draw false) or draws the mini-HTML text in r with the canvas font; the rendered size.
QSize DrawHTMLText(Canvas& canvas, const QString& text, const Rect& r, QWidget* window, bool draw,
                   const platform::TImageList* images);

} // namespace controls::grid::dropdown
