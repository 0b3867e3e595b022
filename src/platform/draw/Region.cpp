#include "platform/draw/Region.h"

namespace platform {

Region::Region(const Rect& r)
{
    if (!r.isEmpty())
        m_region = QRegion(r.toQRect());
}

Rect Region::boundingRect() const
{
    if (m_region.isEmpty())
        return Rect{};
    const QRect b = m_region.boundingRect();
    return Rect{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

std::vector<Rect> Region::rects() const
{
    std::vector<Rect> out;
    for (const QRect& r : m_region)
        out.push_back(Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
    return out;
}

Region CombineRgn(const Region& a, const Region& b, RegionCombine mode)
{
    switch (mode) {
    case RGN_AND:
        return Region(a.qregion().intersected(b.qregion()));
    case RGN_OR:
        return Region(a.qregion().united(b.qregion()));
    case RGN_XOR:
        return Region(a.qregion().xored(b.qregion()));
    case RGN_DIFF:
        return Region(a.qregion().subtracted(b.qregion()));
    case RGN_COPY:
        break;
    }
    return a;
}

} // namespace platform
