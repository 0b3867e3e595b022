#pragma once
// Regions of pixels, for clipping a canvas: rectangles combined by union, intersection,
// difference and exclusive or. Rectangles follow the canvas convention (right and bottom edges
// excluded).
#include "platform/draw/Geometry.h"

#include <QRegion>
#include <vector>

namespace platform {

// Modes of CombineRgn and Canvas::combineClipRegion (the platform's numbering).
enum RegionCombine : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

class Region {
public:
    Region() = default;
    explicit Region(const Rect& r);
    explicit Region(const QRegion& r) : m_region(r) {}

    bool isEmpty() const { return m_region.isEmpty(); }
    bool contains(int x, int y) const { return m_region.contains(QPoint(x, y)); }
    Rect boundingRect() const;
    // The region as non-overlapping rectangles, top to bottom, left to right.
    std::vector<Rect> rects() const;
    const QRegion& qregion() const { return m_region; }
    void offset(int dx, int dy) { m_region.translate(dx, dy); }

    bool operator==(const Region& other) const { return m_region == other.m_region; }

private:
    QRegion m_region;
};

// a combined with b; RGN_COPY gives a.
Region CombineRgn(const Region& a, const Region& b, RegionCombine mode);

} // namespace platform
