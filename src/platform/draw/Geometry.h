#pragma once
// Rectangles as the drawing code gives them: left, top, right and bottom, covering the pixels
// left <= x < right and top <= y < bottom - the right and bottom edges are NOT part of it.
// Rect{0, 0, 10, 5} is 10 pixels wide and 5 high; a rectangle with right <= left or
// bottom <= top is empty.
#include <QRect>

namespace platform {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    QRect toQRect() const { return QRect(left, top, width(), height()); }
    static Rect fromQRect(const QRect& r) { return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    Rect inflated(int dx, int dy) const { return Rect{left - dx, top - dy, right + dx, bottom + dy}; }
    Rect offset(int dx, int dy) const { return Rect{left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const Rect&) const = default;
};

} // namespace platform
