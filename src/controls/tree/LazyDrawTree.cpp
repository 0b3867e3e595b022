#include "controls/tree/LazyDrawTree.h"

namespace controls {

TCustomLazyDrawTree::TCustomLazyDrawTree(QWidget* parent)
    : TBaseLazyTree(parent)
{
}

QPoint TCustomLazyDrawTree::DoGetCellContentMargin(PLazyNode Node, TColumnIndex Column, TLTCellContentMarginType MarginType)
{
    QPoint margin(0, 0);
    if (OnGetCellContentMargin)
        OnGetCellContentMargin(this, nullptr, Node, Column, MarginType, margin);
    return margin;
}

int TCustomLazyDrawTree::DoGetNodeWidth(PLazyNode Node, TColumnIndex Column, platform::Canvas* Canvas)
{
    int width = 2 * FTextMargin;
    if (OnGetNodeWidth)
        OnGetNodeWidth(this, Canvas, Node, Column, width);
    return width;
}

void TCustomLazyDrawTree::DoPaintNode(TLTPaintInfo& PaintInfo)
{
    if (OnDrawNode)
        OnDrawNode(this, PaintInfo);
}

} // namespace controls
