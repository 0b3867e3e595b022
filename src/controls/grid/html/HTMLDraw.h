#pragma once
// HTMLDrawText: the one entry through which every painter of the grid suite lays out, draws,
// measures and hit-tests a mini-HTML text inside a rectangle.
//
// This version draws the plain text of the markup (StripHTMLTags): one line, or lines broken
// at spaces with word wrap, from the rectangle's left + 1, in the canvas font and colour; it
// reports the size used and the plain text, and finds no anchors or controls. The full
// renderer takes the same arguments and results.
#include "platform/draw/Canvas.h"

#include <QString>

class QWidget;

namespace platform {
class TImageList;
}

namespace controls::grid {

using platform::Canvas;
using platform::Color;
using platform::Rect;

class THTMLPictureCache;
class TPictureContainer;

struct THTMLDrawParams {
    const platform::TImageList* Images = nullptr;
    int PointX = -1; // point to hit-test, (-1, -1) for none
    int PointY = -1;
    int FocusAnchor = -1;
    int HoverAnchor = -1;
    int ShadowOffset = 0;
    bool NoDraw = false;   // the second pass of each line only measures
    bool CalcOnly = false; // size only
    bool Printing = false;
    bool KeepColors = false;
    bool BlinkPhase = true;
    bool HoverUnderlineOnly = false;
    bool WordWrap = false;
    bool MouseDown = false;
    double ResFactor = 1.0;
    Color AnchorColor = platform::clBlue;
    Color HoverColor = platform::clNone;
    Color HoverFontColor = platform::clNone;
    Color ShadowColor = platform::clGray;
    THTMLPictureCache* ImageCache = nullptr;
    TPictureContainer* Container = nullptr;
    QWidget* Window = nullptr;
    int BiDiMode = 0;
};

struct THTMLDrawResult {
    QString AnchorVal;      // HREF under the point, "ctrl" for a control (written only on a hit)
    QString StripVal;       // the text without tags
    QString FocusAnchor;    // HREF of the focused anchor
    QString AnchorTitle;
    int AnchorIndex = -1;
    Rect AnchorRect;
    int AnchorCount = 0;
    int TextWidth = 0;
    int TextHeight = 0;
    QString ControlType;
    QString ControlValue;
    QString ControlID; // also an input in no-draw mode
    Rect ControlRect;
};

// Draws (unless CalcOnly) and measures text in r; true when the point lies on an anchor or an
// embedded control.
bool HTMLDrawText(Canvas& canvas, const QString& text, const Rect& r, const THTMLDrawParams& params,
                  THTMLDrawResult& result);

// The highlight colours of HI tags.
void SetHighlightColors(Color background, Color text);
Color HTMLHighlightColor();
Color HTMLHighlightTextColor();

} // namespace controls::grid
