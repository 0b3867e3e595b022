#pragma once
// Free drawing routines shared by the grid's painters: selection blocks, stepped gradients,
// cell backgrounds, progress bars and pies, range bars, error underlines, shapes and rating
// stars, transparent bitmaps and buttons (themed through the style adapter, classic frame
// controls, flat, or in own colours). Each draws on the canvas it is given, leaves the pen,
// brush and font as it says, and keeps nothing. Halves are integer divisions ("div 2");
// "nearest integer" rounds halves to the even neighbour.
#include "controls/grid/style/ExtStyle.h"
#include "platform/draw/Canvas.h"

#include <QFont>
#include <QString>

class QWidget;

namespace controls::grid {

using platform::Canvas;
using platform::Rect;

enum TCellShape {
    csRectangle, csCircle, csTriangleLeft, csTriangleRight, csTriangleUp, csTriangleDown, csDiamond, csLineVert,
    csLineHorz, csRoundRect, csEllips, csSquare, csRoundSquare, csStar, csArrowUp, csArrowDown, csArrowLeft,
    csArrowRight, csHalfStar
};

// The look of a styled progress bar (the grid fills it from its progress appearance).
struct TProgressLook {
    Color Level0Color = platform::clLime;
    Color Level0ColorTo = platform::clLime;
    Color Level1Color = platform::clYellow;
    Color Level1ColorTo = platform::clYellow;
    Color Level2Color = platform::clRed;
    Color Level2ColorTo = platform::clRed;
    Color Level3Color = platform::clRed;
    Color Level3ColorTo = platform::clRed;
    int Level1Perc = 70;
    int Level2Perc = 90;
    Color BorderColor = platform::clBlack;
    bool ShowBorder = false;
    bool Stacked = false;
    bool ShowPercentage = true;
    QFont Font;
    Color CompleteFontColor = platform::clBlue;
    bool CompletionSmooth = true;
    bool ShowGradient = true;
    int Steps = 11;
    Color UnCompleteColor = platform::clNone;
    bool Vertical = false;
};

// Button looks and states of the three button routines.
enum TButtonLook { blTheme = 0, blClassic = 1, blFlat = 2, blTones = 3 };
enum TButtonState { btsNormal = 0, btsHot = 1, btsPressed = 2, btsDisabled = 3 };

// Side: which vertical edges this cell draws: 0 both, 1 left only, 2 right only, 3 none.
void DrawSelectionBlock(Canvas& canvas, Color color, Color colorTo, Color mirrorColor, Color mirrorColorTo,
                        Color innerTopColor, Color innerBottomColor, Color borderColor, Color cornerColor,
                        Color backColor, const Rect& r, int side);
// Steps bands from fromColor to toColor, left to right (horizontal) or top to bottom; at most one
// band per pixel of the span; with either colour clNone a solid rectangle in the other one.
void DrawGradient(Canvas& canvas, Color fromColor, Color toColor, int steps, const Rect& r, bool horizontal);
// Cell backgrounds; vertical: the colour changes from top to bottom.
void DrawGradientBackground(Canvas& canvas, const Rect& r, Color color, Color colorTo, Color mirrorColor,
                            Color mirrorColorTo, bool vertical, Color borderColor, bool sideLinesOnly, bool fill);
// fromColor (toColor clNone) or the colour at position of the range; an empty range gives fromColor.
Color InterpolateColor(Color fromColor, Color toColor, int rangeStart, int rangeEnd, int position);
void FillRectColor(Canvas& canvas, const Rect& r, Color c);
// The bitmap at r's top-left corner in its own size, its top-left pixel's colour showing
// backColor.
void DrawBitmapTransparent(Canvas& canvas, const platform::Bitmap& bitmap, Color backColor, const Rect& r);
// The same with a bitmap of the program's resources (":/grid/<name>.png"); nothing when there is
// none of that name.
void DrawResourceBitmapTransparent(Canvas& canvas, Color backColor, const Rect& r, const QString& name);
// A red zigzag under charCount characters of text from firstChar (0-based), as laid out in a
// single-line edit placed on r with the canvas font.
void DrawErrorUnderline(Canvas& canvas, const QString& text, const Rect& r, int lineOffset, int firstChar,
                        int charCount);
// A bar from the centre to the left (negative) or right; nothing for a range of 0.
void DrawRangeIndicator(Canvas& canvas, const Rect& r, int value, int range, bool showValue, Color negColor,
                        Color posColor);
// Cell progress bar. A format with "d" or "u" gets the rounded position, any other the position;
// with a format the done part is (position - min) of (max - min), none when max = min. A format
// that does not fit its value is shown as it is.
void DrawProgressBar(Canvas& canvas, const Rect& r, Color color, Color textColor, Color remainColor,
                     Color remainTextColor, double position, int marginX, int marginY, int min, int max,
                     const QString& format, Color borderColor, bool printing);
void DrawProgressPie(Canvas& canvas, const Rect& r, Color color, int percent, bool printing);
// position 0..100.
void DrawStyledProgressBar(Canvas& canvas, const Rect& r, int position, const TProgressLook& look);
void DrawShape(Canvas& canvas, int x, int y, int width, int height, int shape, Color brushColor, Color penColor);
// window: the control whose style draws the themed look (nullptr: the application's).
void DrawDropDownButton(Canvas& canvas, QWidget* window, const Rect& r, int look, int state, const TColorTones& tones);
void DrawPushButton(Canvas& canvas, QWidget* window, const Rect& r, int look, int state, const TColorTones& tones);
void DrawSpinButtons(Canvas& canvas, QWidget* window, const Rect& r, int look, int state, const TColorTones& tones);
void DrawSmallDownTriangle(Canvas& canvas, int x, int y, Color c);

// Layered windows: the window's opacity (alpha 0..255) where the platform supports it; true
// when there is nothing to do.
constexpr unsigned LWA_COLORKEY = 1;
constexpr unsigned LWA_ALPHA = 2;
bool CallSetLayeredWindowAttributes(QWidget* window, Color key, int alpha, unsigned flags);
// Places the window at pos with the image as its content and the given opacity.
bool CallUpdateLayeredWindow(QWidget* window, const QPoint& pos, const QImage& image, int alpha);

} // namespace controls::grid
