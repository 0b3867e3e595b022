#pragma once
// The draw tree: the lazy tree whose owner paints every cell (OnDrawNode), reports each
// node's width (OnGetNodeWidth; without it every node is 2 x TextMargin wide) and, by default,
// sizes and draws the hints (OnGetHintSize, OnDrawHint). It has no text of its own.
#include "controls/tree/LazyTree.h"

namespace controls {

// clang-format off
#define LT_DRAW_EVENTS(NOTIFY, ALLOW, ONLY)                                                                            \
    ONLY(DrawNode, (const TLTPaintInfo& PaintInfo))                                                                   \
    ONLY(GetCellContentMargin, (platform::Canvas* HintCanvas, PLazyNode Node, TColumnIndex Column,                    \
                                TLTCellContentMarginType CellContentMarginType, QPoint& CellContentMargin))           \
    ONLY(GetNodeWidth, (platform::Canvas* HintCanvas, PLazyNode Node, TColumnIndex Column, int& NodeWidth))
// clang-format on

class TCustomLazyDrawTree : public TBaseLazyTree {
    Q_OBJECT
public:
    explicit TCustomLazyDrawTree(QWidget* parent = nullptr);

    TLTHintKind GetDefaultHintKind() const override { return vhkOwnerDraw; }

    LT_DECLARE_EVENTS(LT_DRAW_EVENTS)

protected:
    QPoint DoGetCellContentMargin(PLazyNode Node, TColumnIndex Column,
                                  TLTCellContentMarginType MarginType = ccmtAllSides) override;
    int DoGetNodeWidth(PLazyNode Node, TColumnIndex Column, platform::Canvas* Canvas = nullptr) override;
    void DoPaintNode(TLTPaintInfo& PaintInfo) override;
};

class TLazyDrawTree : public TCustomLazyDrawTree {
    Q_OBJECT
public:
    explicit TLazyDrawTree(QWidget* parent = nullptr) : TCustomLazyDrawTree(parent) {}
    TLazyTreeOptions& TreeOptions() { return static_cast<TLazyTreeOptions&>(TBaseLazyTree::TreeOptions()); }
};

} // namespace controls
