#pragma once
// HTMLDrawText: the one entry through which every painter of the grid suite (cells, hints,
// footers, the drop-down controls' captions and notes) lays out, draws, measures and hit-tests
// a mini-HTML text inside a rectangle.
//
// Layout. Lines start at the rectangle's left + 1 and its top and are laid out one after the
// other until the text is used up or the next line's top plus the height of "gh" passes the
// rectangle's bottom (calc only: to the end). Each line is laid out twice: a measuring pass
// takes as much text as fits, then (unless CalcOnly) a second pass draws the same text at the
// aligned position (only measures with NoDraw). Text is cut into chunks at tags, and with
// WordWrap after every space; a chunk that does not fit ends the line unless the line's text
// does not end with a space (a word split by tags stays together) or it is the first on its
// line. Without WordWrap a first chunk that is too long is drawn with an ellipsis and ends the
// text. The text stands on the line's bottom; a line is as high as its highest chunk, image or
// control (at least "gh"), plus a quarter of a chunk's height under SUB and SUP.
//
// Before layout: "&amp;" "&quot;" "&sect;" "&permil;" "&reg;" "&copy;" "&para;" "&trade;"
// "&euro;" (any case) become "&&" (drawn as one "&"), '"', and their signs; "<#x>" becomes
// "#x"; CR becomes "<BR>" and LF is dropped. In chunks "&nbsp;" "&lt;" "&gt;"
// become " ", "<", ">".
//
// Tags (by their first letters, any case; a tag without ">" ends the text, unknown tags are
// dropped): A (HREF, TITLE), B, BR, BLINK, BODY (BACKGROUND, BGCOLOR), CONTROL, E (error
// underline), FONT (FACE, COLOR, BGCOLOR, SIZE 1-5 = 8-16 pt, else points), HI (highlight,
// SetHighlightColors), HR, I, IND x="n", IMG (SRC, ALT, WIDTH, HEIGHT, ALIGN "TOP"/"MIDDLE"),
// LI, P (ALIGN, INDENT, BGCOLOR), R a="degrees" (rotated), S, SHAD, SUB, SUP, U, UL, Z
// (hidden). Tags do not nest: an opening tag switches a state on or remembers one value and
// its closing tag switches it off or goes back to the default font's value or to the value
// remembered last; a FONT inside a FONT ends with the default font. The list level (UL) is the
// only counted state. Colours are "cl" names or "#RRGGBB"; an unquoted value is no value.
//
// Images: SRC "IDX:n" (the image list), "SSYS:path" / "LSYS:path" (the small or large icon of a
// file or folder), a name without ":" (the picture container), or a URL with "://" (the image
// cache; "RES://" and "FILE://" load, see PictureContainer.h). A source that cannot be found,
// or a picture that does not decode, takes no room and draws nothing.
//
// Controls: <CONTROL TYPE="EDIT|PASSWORD|MASK|COMBO|CHECK|RADIO|BUTTON" ID=".." VALUE=".."
// WIDTH="n" [HEIGHT="n"]>; without WIDTH the tag is ignored.
//
// Hit-testing: anchors are numbered from 1 in text order. The point (PointX, PointY) hits an
// anchor's text (within the band of one "gh" line above the line's text bottom), an image
// inside an anchor, or a control; the result then carries the anchor's HREF ("ctrl" for a
// control), TITLE, number and rectangle, or the control's type, value, ID and rectangle.
// Precise results come from a NoDraw call, whose second pass measures at the aligned
// positions. With NoDraw and ControlID set on entry, the control of that ID is reported.
//
// Plain text: each pass over a line appends the line's text without tags to StripVal (a CR for
// each BR): a drawn line is there twice, with CalcOnly once.
//
// Every text is taken as untrusted: no tag, entity or attribute is read past the text's end,
// sizes and counts are bounded, and the call costs time in proportion to the text (plus the
// lines it draws).
//
// The canvas' pen, brush and font are given back as they were.
#include "platform/draw/Canvas.h"

#include <QSize>
#include <QString>

class QWidget;

namespace platform {
class TImageList;
class Bitmap;
} // namespace platform

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
    int FocusAnchor = -1; // the keyboard-focused anchor's number minus 1
    int HoverAnchor = -1; // the number of the anchor under the mouse
    int ShadowOffset = 0;
    bool NoDraw = false;   // the second pass of each line only measures
    bool CalcOnly = false; // size only
    bool Printing = false;
    bool KeepColors = false; // FONT and BODY colours, BGCOLOR, anchors and BLINK keep the canvas' colours
    bool BlinkPhase = true;  // false: BLINK text in the background colour
    bool HoverUnderlineOnly = false;
    bool WordWrap = false;
    bool MouseDown = false;
    double ResFactor = 1.0; // scale of printed image-list images
    Color AnchorColor = platform::clBlue;
    Color HoverColor = platform::clNone;
    Color HoverFontColor = platform::clNone;
    Color ShadowColor = platform::clGray;
    THTMLPictureCache* ImageCache = nullptr;
    TPictureContainer* Container = nullptr;
    QWidget* Window = nullptr; // whose style draws the embedded controls
    int BiDiMode = 0;          // 0 left to right, 1 right to left, other: right-to-left reading
};

struct THTMLDrawResult {
    QString AnchorVal;   // HREF under the point, "ctrl" for a control (written only on a hit)
    QString StripVal;    // the text without tags
    QString FocusAnchor; // HREF of the focused anchor
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

// Text-drawing flags for a BiDi mode; they change only under a right-to-left locale (the
// default QLocale's text direction): mode 1 mirrors the horizontal alignment, any mode but 0
// adds right-to-left reading.
unsigned BiDiDrawTextFlags(unsigned flags, int biDiMode);

// The canvas font turned by angle degrees; RestoreFont puts back the font SelectRotatedFont
// returned.
platform::Font SelectRotatedFont(Canvas& canvas, int angle);
void RestoreFont(Canvas& canvas, const platform::Font& old);

// The icon of a file or folder (by its own path when it exists, else by its extension), or the
// icon number source when it is an integer: size becomes 16 x 16 (32 x 32 large); with draw it
// is drawn at (x, y), stretched by resFactor when printing.
void DrawShellIcon(Canvas& canvas, int x, int y, QSize& size, double resFactor, bool printing, bool draw,
                   bool large, const QString& source);
// The bitmap stretched into r.
void StretchBitmap(Canvas& canvas, const Rect& r, const platform::Bitmap& bitmap);

} // namespace controls::grid
