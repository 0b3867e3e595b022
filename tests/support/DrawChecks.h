#pragma once
// What the drawing tests look at in a bitmap: the font they draw their texts in, the box of the
// pixels of one colour, and pixel-for-pixel equality.
#include "platform/draw/Canvas.h"

#include <QFont>
#include <algorithm>
#include <climits>

namespace testing_support {

// A font every machine of the build has, at a fixed pixel size.
inline QFont testFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    return f;
}

// Columns and rows that contain ink, and how many pixels of it there are.
struct InkBox {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    int count = 0;
    bool empty() const { return count == 0; }
};

inline InkBox inkBox(const platform::Bitmap& b, platform::Color ink)
{
    InkBox box;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) == ink) {
                ++box.count;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

inline bool samePixels(const platform::Bitmap& a, const platform::Bitmap& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

} // namespace testing_support
