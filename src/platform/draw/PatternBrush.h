#pragma once
// Eight-by-eight monochrome pattern brushes with a brush origin, as the tree's dotted lines
// use them. A pattern is eight 16-bit words, one per row, of which the low byte holds the row's
// eight pixels, the leftmost in its highest bit. Filling paints the pixels whose bit is 0 in
// the foreground (text) colour and those whose bit is 1 in the background colour. The pattern
// is anchored to the device: its pixel (0, 0) lies at `origin` in device pixels, whatever the
// canvas' translation, so fills of neighbouring rectangles (rows painted one by one, a scrolled
// window) continue the same pattern.
#include "platform/draw/Canvas.h"

#include <QPoint>
#include <array>
#include <cstdint>

namespace platform {

using PatternRows = std::array<uint16_t, 8>;

// Every other pixel, shifted by one on each row: a dotted line of alternating colours.
constexpr PatternRows kDottedPattern{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
// All foreground.
constexpr PatternRows kSolidPattern{0, 0, 0, 0, 0, 0, 0, 0};

// True when the pattern's pixel at device (x, y) is a foreground pixel.
bool PatternPixelIsForeground(const PatternRows& rows, QPoint origin, int x, int y);

// Fills r (canvas coordinates, right and bottom excluded) inside the canvas' clip.
void FillPatternRect(Canvas& canvas, const Rect& r, const PatternRows& rows, QPoint origin, Color foreground,
                     Color background);

} // namespace platform
