#pragma once
// Stateless drawing and text routines of the tree: ellipsis shortening and word wrapping of
// text, alpha blending of 32-bit bitmaps, clipping and the canvas origin, grey image drawing.
#include "platform/draw/Canvas.h"
#include "platform/draw/Geometry.h"

#include <QPoint>
#include <QString>

namespace platform {
class TImageList;
}

namespace controls {

enum TAlphaBlendMode : uint8_t { abmConstantAlpha, abmPerPixelAlpha, abmMasterAlpha, abmConstantAlphaAndColor };

// Left <= right and top <= bottom.
platform::Rect NormalizeRect(const platform::Rect& R);

// Moves the canvas' logical origin: logical (x, y) is drawn at device (0, 0).
void SetCanvasOrigin(platform::Canvas& Canvas, int X, int Y);
// The canvas' logical origin set by SetCanvasOrigin.
QPoint CanvasOrigin(platform::Canvas& Canvas);
// Clips the canvas to the rectangle (logical coordinates), within VisibleRegion when given.
void ClipCanvasToRect(platform::Canvas& Canvas, const platform::Rect& ClipRect, const platform::Region* VisibleRegion = nullptr);

// R becomes a 1 x 1 rectangle at its top-left corner grown to the text's extent.
void MeasureTextRect(platform::Canvas& Canvas, const QString& Text, platform::Rect& R, unsigned DrawFormat);

// The longest prefix of S that fits Width together with "..." (EllipsisWidth 0: measured),
// followed by "..."; S itself when it fits even with the ellipsis; empty when not even the
// ellipsis fits, for an empty S or a Width <= 0.
QString ShortenTextWithEllipsis(platform::Canvas& Canvas, const QString& S, int Width, int EllipsisWidth);

// The caption broken into lines that fit R's width (joined by line feeds); a word wider than
// the line is cut. With ReverseWords the words are taken last to first.
QString WrapCaptionText(platform::Canvas& Canvas, const QString& Caption, const platform::Rect& R, unsigned DrawFormat,
                        bool ReverseWords);

// Blends Source's pixels in R onto Destination's at Target, per byte:
//   blended = floor((D * (256 - A) + S * A) / 256), then + Bias saturated to 0..255;
// A = ConstantAlpha (abmConstantAlpha), the source pixel's alpha (abmPerPixelAlpha), or
// floor(ConstantAlpha * source alpha / 256) (abmMasterAlpha). abmConstantAlphaAndColor uses
// no source: every byte of Destination in R becomes floor((C * A + D * (256 - A)) / 256) with C
// the bytes of the colour Bias carries (0 for the alpha byte). An empty R does nothing.
void AlphaBlendRect(const platform::Bitmap* Source, platform::Bitmap& Destination, const platform::Rect& R,
                    QPoint Target, TAlphaBlendMode Mode, int ConstantAlpha, int Bias);

// Grey (desaturated) image, and the enabled/disabled choice of it.
void DrawImageSaturated(const platform::TImageList& ImageList, platform::Canvas& Canvas, int X, int Y, int Index);
void DrawImageEnabledOrSaturated(const platform::TImageList& ImageList, int Index, platform::Canvas& Canvas, int X,
                                 int Y, unsigned Style, bool Enabled);

bool ProcessorHasMMX();

} // namespace controls
