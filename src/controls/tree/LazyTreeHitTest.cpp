// Where things are: the node and the part of it under a point, a node's display rectangle,
// the right extent of the visible rows, node measuring, and image queries.
#include "controls/tree/LazyTree.h"
#include "platform/draw/Graphics.h"

#include <QImage>
#include <QPainter>

namespace controls {

using platform::Rect;

platform::TImageList* TBaseLazyTree::DoGetImageIndex(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column,
                                                     bool& Ghosted, int& Index)
{
    if (OnGetImageIndexEx) {
        platform::TImageList* list = Kind == ikState ? FStateImages : FImages;
        OnGetImageIndexEx(this, Node, Kind, Column, Ghosted, Index, list);
        return list;
    }
    if (OnGetImageIndex)
        OnGetImageIndex(this, Node, Kind, Column, Ghosted, Index);
    return nullptr;
}

bool TBaseLazyTree::HasImage(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column)
{
    if (!Node->States.contains(vsInitialized))
        InitNode(Node);
    bool ghosted = false;
    int index = -1;
    DoGetImageIndex(Node, Kind, Column, ghosted, index);
    return index >= 0;
}

QSize TBaseLazyTree::GetImageSize(PLazyNode) const
{
    return FImages ? QSize(FImages->Width(), FImages->Height()) : QSize(0, 0);
}

int TBaseLazyTree::CheckImageWidth() const { return FCheckImages ? FCheckImages->Width() : 0; }

// --- hit test -----------------------------------------------------------------------------------

void TBaseLazyTree::GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo)
{
    HitInfo = THitInfo{};
    if (X < 0)
        HitInfo.HitPositions += hiToLeft;
    else if (X > std::max<int64_t>(ClientWidth(), FRangeX))
        HitInfo.HitPositions += hiToRight;
    if (Y < 0)
        HitInfo.HitPositions += hiAbove;
    else if (Y > std::max<int64_t>(ClientHeight(), FRangeY))
        HitInfo.HitPositions += hiBelow;
    if (Relative) {
        if (X >= FHeader->GetVisibleFixedWidth())
            X += FEffectiveOffsetX;
        Y -= FOffsetY;
    }
    HitInfo.HitPointX = X;
    HitInfo.HitPointY = Y;
    if (!HitInfo.HitPositions.empty())
        return;
    int top = 0;
    HitInfo.HitNode = GetNodeAt(X, Y, false, top);
    if (!HitInfo.HitNode) {
        HitInfo.HitPositions += hiNowhere;
        return;
    }
    if (!HitInfo.HitNode->States.contains(vsInitialized))
        InitNode(HitInfo.HitNode);
    int left = 0;
    int right = 0;
    if (FHeader->UseColumns()) {
        // X is a tree coordinate already: the bounds are unscrolled.
        HitInfo.HitColumn = FHeader->Columns().ColumnAndBoundsAt(QPoint(X, Y), left, right, false);
    } else {
        HitInfo.HitColumn = NoColumn;
        right = int(std::max<int64_t>(ClientWidth(), FRangeX));
    }
    if (HitInfo.HitColumn == InvalidColumn) {
        HitInfo.HitPositions += hiNowhere;
        return;
    }
    HitInfo.HitPositions = hiOnItem;
    if (FOptions->MiscOptions().contains(toNodeHeightResize)) {
        const Rect r = GetDisplayRect(HitInfo.HitNode, HitInfo.HitColumn, false);
        const int absTop = r.top - FOffsetY;
        const int absBottom = r.bottom - FOffsetY;
        if (Y <= absTop + 1)
            HitInfo.HitPositions += hiUpperSplitter;
        else if (Y >= absBottom - 3)
            HitInfo.HitPositions += hiLowerSplitter;
    }
    const platform::Alignment alignment =
        FHeader->IsValidColumn(HitInfo.HitColumn) ? FHeader->Columns().Items(HitInfo.HitColumn)->Alignment() : FAlignment;
    if (UseRightToLeftReading())
        DetermineHitPositionRTL(HitInfo, X - left, right - left, alignment);
    else
        DetermineHitPositionLTR(HitInfo, X - left, right - left, alignment);
}

int TBaseLazyTree::NodeIndentation(PLazyNode Node, TColumnIndex Column) const
{
    if (Column != FHeader->MainColumn())
        return 0;
    if (FOptions->PaintOptions().contains(toFixedIndent))
        return int(FIndent);
    int levels = int(GetNodeLevel(Node));
    if (FOptions->PaintOptions().contains(toShowRoot))
        ++levels;
    return levels * int(FIndent);
}

void TBaseLazyTree::DetermineHitPositionLTR(THitInfo& HitInfo, int Offset, int Right, platform::Alignment Alignment)
{
    PLazyNode node = HitInfo.HitNode;
    const bool isMain = HitInfo.HitColumn == FHeader->MainColumn();
    const int indent = NodeIndentation(node, HitInfo.HitColumn);
    const auto paint = FOptions->PaintOptions();
    const auto misc = FOptions->MiscOptions();
    if (isMain && Offset < indent + FMargin) {
        if (paint.contains(toShowButtons) && node->States.contains(vsHasChildren)) {
            if (Offset >= indent - int(FIndent))
                HitInfo.HitPositions += hiOnItemButton;
            if (Offset >= indent - GlyphWidth())
                HitInfo.HitPositions += hiOnItemButtonExact;
        }
        if (!HitInfo.HitPositions.contains(hiOnItemButton) && !HitInfo.HitPositions.contains(hiOnItemButtonExact))
            HitInfo.HitPositions += hiOnItemIndent;
        return;
    }
    if (!isMain && misc.contains(toReportMode))
        return;
    int imageOffset = indent + FMargin;
    if (isMain && misc.contains(toCheckSupport) && FCheckImages && node->CheckType != ctNone)
        imageOffset += CheckImageWidth() + 2;
    if (isMain && Offset < imageOffset) {
        HitInfo.HitPositions = hiOnItem;
        if (node->CheckType != ctNone)
            HitInfo.HitPositions += hiOnItemCheckbox;
        return;
    }
    if (FStateImages && HasImage(node, ikState, HitInfo.HitColumn)) {
        imageOffset += FStateImages->Width() + 2;
        if (Offset < imageOffset) {
            HitInfo.HitPositions += hiOnStateIcon;
            return;
        }
    }
    if (FImages && HasImage(node, ikNormal, HitInfo.HitColumn)) {
        imageOffset += GetImageSize(node).width() + 2;
        if (Offset < imageOffset) {
            HitInfo.HitPositions += hiOnNormalIcon;
            return;
        }
    }
    const int textWidth = DoGetNodeWidth(node, HitInfo.HitColumn);
    if (Right - imageOffset < textWidth) {
        HitInfo.HitPositions += hiOnItemLabel;
        return;
    }
    switch (Alignment) {
    case platform::Alignment::taRightJustify:
        HitInfo.HitPositions += Offset < Right - textWidth ? hiOnItemLeft : hiOnItemLabel;
        break;
    case platform::Alignment::taCenter: {
        const int l = (imageOffset + Right - textWidth) / 2;
        if (Offset < l)
            HitInfo.HitPositions += hiOnItemLeft;
        else if (Offset < l + textWidth)
            HitInfo.HitPositions += hiOnItemLabel;
        else
            HitInfo.HitPositions += hiOnItemRight;
        break;
    }
    case platform::Alignment::taLeftJustify:
        HitInfo.HitPositions += Offset < imageOffset + textWidth ? hiOnItemLabel : hiOnItemRight;
        break;
    }
}

void TBaseLazyTree::DetermineHitPositionRTL(THitInfo& HitInfo, int Offset, int Right, platform::Alignment Alignment)
{
    PLazyNode node = HitInfo.HitNode;
    const bool isMain = HitInfo.HitColumn == FHeader->MainColumn();
    const int boundary = Right - NodeIndentation(node, HitInfo.HitColumn);
    const auto paint = FOptions->PaintOptions();
    const auto misc = FOptions->MiscOptions();
    if (isMain && Offset >= boundary) {
        if (paint.contains(toShowButtons) && node->States.contains(vsHasChildren)) {
            if (Offset <= boundary + int(FIndent))
                HitInfo.HitPositions += hiOnItemButton;
            if (Offset <= boundary + GlyphWidth())
                HitInfo.HitPositions += hiOnItemButtonExact;
        }
        if (!HitInfo.HitPositions.contains(hiOnItemButton) && !HitInfo.HitPositions.contains(hiOnItemButtonExact))
            HitInfo.HitPositions += hiOnItemIndent;
        return;
    }
    if (!isMain && misc.contains(toReportMode))
        return;
    int imageOffset = boundary - FMargin;
    if (isMain && misc.contains(toCheckSupport) && FCheckImages && node->CheckType != ctNone)
        imageOffset -= CheckImageWidth() + 2;
    if (isMain && Offset > imageOffset) {
        HitInfo.HitPositions = hiOnItem;
        if (node->CheckType != ctNone)
            HitInfo.HitPositions += hiOnItemCheckbox;
        return;
    }
    if (FStateImages && HasImage(node, ikState, HitInfo.HitColumn)) {
        imageOffset -= FStateImages->Width() + 2;
        if (Offset > imageOffset) {
            HitInfo.HitPositions += hiOnStateIcon;
            return;
        }
    }
    if (FImages && HasImage(node, ikNormal, HitInfo.HitColumn)) {
        imageOffset -= GetImageSize(node).width() + 2;
        if (Offset > imageOffset) {
            HitInfo.HitPositions += hiOnNormalIcon;
            return;
        }
    }
    const int textWidth = DoGetNodeWidth(node, HitInfo.HitColumn);
    if (imageOffset < textWidth) {
        HitInfo.HitPositions += hiOnItemLabel;
        return;
    }
    // The alignment is mirrored.
    switch (Alignment) {
    case platform::Alignment::taLeftJustify: // mirrored: right
        HitInfo.HitPositions += Offset < imageOffset - textWidth ? hiOnItemLeft : hiOnItemLabel;
        break;
    case platform::Alignment::taCenter: {
        const int l = (imageOffset - textWidth) / 2;
        if (Offset < l)
            HitInfo.HitPositions += hiOnItemLeft;
        else if (Offset < l + textWidth)
            HitInfo.HitPositions += hiOnItemLabel;
        else
            HitInfo.HitPositions += hiOnItemRight;
        break;
    }
    case platform::Alignment::taRightJustify: // mirrored: left
        HitInfo.HitPositions += Offset > textWidth ? hiOnItemRight : hiOnItemLabel;
        break;
    }
}

// --- display rectangle --------------------------------------------------------------------------

Rect TBaseLazyTree::GetDisplayRect(PLazyNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped,
                                   bool ApplyCellContentMargin)
{
    LtAssert(Node != nullptr, "Node must not be nil.");
    LtAssert(Node != FRoot, "Node must not be the hidden root node.");
    const TColumnIndex main = FHeader->MainColumn();
    const bool mainColumnHit = Column == NoColumn || Column == main;
    if (!Node->States.contains(vsInitialized))
        InitNode(Node);
    Rect result;
    if (!IsEffectivelyVisible(Node))
        return result;
    int indent = 0;
    const auto paint = FOptions->PaintOptions();
    for (PLazyNode n = Node; n != FRoot; n = n->Parent) {
        if (!n->States.contains(vsVisible) || (n != Node && !n->States.contains(vsExpanded)))
            return result;
        if (n != Node && mainColumnHit && !paint.contains(toFixedIndent))
            indent += int(FIndent);
    }
    const int top = GetNodeTop(Node);
    result = Rect{0, top, int(std::max<int64_t>(FRangeX, ClientWidth())), top + Node->NodeHeight};
    if (Column >= 0) {
        int left = 0;
        int right = 0;
        FHeader->GetColumnBounds(Column, left, right);
        result.left = left;
        result.right = right - 1;
    } else {
        result = result.offset(-FEffectiveOffsetX, 0);
    }
    result = result.offset(0, FOffsetY);
    if (!TextOnly)
        return result;

    int offset = FMargin + indent;
    if (mainColumnHit) {
        if (paint.contains(toShowRoot))
            offset += int(FIndent);
        if (FOptions->MiscOptions().contains(toCheckSupport) && FCheckImages && Node->CheckType != ctNone)
            offset += CheckImageWidth() + 2;
    }
    if (FStateImages && HasImage(Node, ikState, Column))
        offset += FStateImages->Width() + 2;
    if (FImages && HasImage(Node, ikNormal, Column))
        offset += GetImageSize(Node).width() + 2;
    platform::Alignment alignment = FAlignment;
    const bool rtl = UseRightToLeftReading();
    if (rtl) {
        result.right -= offset;
        if (alignment == platform::Alignment::taLeftJustify)
            alignment = platform::Alignment::taRightJustify;
        else if (alignment == platform::Alignment::taRightJustify)
            alignment = platform::Alignment::taLeftJustify;
    } else {
        result.left += offset;
    }
    const int textWidth = DoGetNodeWidth(Node, Column);
    const int h = result.height();
    if (ApplyCellContentMargin && OnBeforeCellPaint) {
        Rect content = result;
        platform::Canvas* canvas = nullptr;
        QImage scratch(1, 1, QImage::Format_RGB32);
        platform::Canvas local(&scratch);
        canvas = &local;
        DoBeforeCellPaint(*canvas, Node, Column, cpmGetContentMargin, result, content);
        result = content;
    }
    if (Unclipped) {
        if (result.width() < textWidth - 1)
            alignment = rtl ? platform::Alignment::taRightJustify : platform::Alignment::taLeftJustify;
        const int t = std::min(TextHeight(), h) - result.height();
        if (t > 0) {
            result.top -= (t + 1) / 2;
            result.bottom += (t + 1) / 2;
        }
        switch (alignment) {
        case platform::Alignment::taRightJustify:
            result.left = result.right - textWidth;
            break;
        case platform::Alignment::taCenter:
            result.left = (result.left + result.right - textWidth) / 2;
            result.right = result.left + textWidth;
            break;
        case platform::Alignment::taLeftJustify:
            result.right = result.left + textWidth - 1;
            break;
        }
    } else if (textWidth < result.width()) {
        switch (alignment) {
        case platform::Alignment::taRightJustify:
            result.left = result.right - textWidth;
            break;
        case platform::Alignment::taCenter:
            result.left = (result.left + result.right - textWidth) / 2;
            result.right = result.left + textWidth;
            break;
        case platform::Alignment::taLeftJustify:
            result.right = result.left + textWidth;
            break;
        }
    }
    return result;
}

int TBaseLazyTree::TextHeight() const { return QFontMetrics(font()).height(); }

void TBaseLazyTree::DoBeforeCellPaint(platform::Canvas& Canvas, PLazyNode Node, TColumnIndex Column,
                                      TLTCellPaintMode CellPaintMode, const Rect& CellRect, Rect& ContentRect)
{
    if (!OnBeforeCellPaint)
        return;
    Canvas.font().font = font();
    if (CellPaintMode == cpmGetContentMargin && FHandleAllocated) {
        const bool was = viewport()->updatesEnabled();
        viewport()->setUpdatesEnabled(false);
        try {
            OnBeforeCellPaint(this, Canvas, Node, Column, CellPaintMode, CellRect, ContentRect);
        } catch (...) {
            viewport()->setUpdatesEnabled(was);
            throw;
        }
        viewport()->setUpdatesEnabled(was);
        return;
    }
    OnBeforeCellPaint(this, Canvas, Node, Column, CellPaintMode, CellRect, ContentRect);
}

QPoint TBaseLazyTree::DoGetCellContentMargin(PLazyNode Node, TColumnIndex Column, TLTCellContentMarginType MarginType)
{
    if (!OnBeforeCellPaint)
        return QPoint(0, 0);
    const Rect cell = GetDisplayRect(Node, Column, true);
    Rect content = cell;
    QImage scratch(1, 1, QImage::Format_RGB32);
    platform::Canvas canvas(&scratch);
    DoBeforeCellPaint(canvas, Node, Column, cpmGetContentMargin, cell, content);
    switch (MarginType) {
    case ccmtAllSides:
        return QPoint(cell.width() - content.width(), cell.height() - content.height());
    case ccmtTopLeftOnly:
        return QPoint(content.left - cell.left, content.top - cell.top);
    case ccmtBottomRightOnly:
        return QPoint(cell.right - content.right, cell.bottom - content.bottom);
    }
    return QPoint(0, 0);
}

// --- widths and heights -------------------------------------------------------------------------

int TBaseLazyTree::DoGetNodeWidth(PLazyNode, TColumnIndex, platform::Canvas*) { return 0; }

int TBaseLazyTree::DoGetNodeExtraWidth(PLazyNode, TColumnIndex, platform::Canvas*) { return 0; }

bool TBaseLazyTree::ColumnIsEmpty(PLazyNode, TColumnIndex) { return true; }

int TBaseLazyTree::GetMaxRightExtend()
{
    int top = 0;
    PLazyNode node = GetNodeAt(0, 0, true, top);
    if (!node)
        return FMargin;
    const auto paint = FOptions->PaintOptions();
    const bool withCheck = FOptions->MiscOptions().contains(toCheckSupport) && FCheckImages;
    int x = int(GetNodeLevel(node) + (paint.contains(toShowRoot) ? 1 : 0)) * int(FIndent);
    if (FStateImages)
        x += FStateImages->Width() + 2;
    if (FImages)
        x += FImages->Width() + 2;
    int result = 0;
    const int height = this->height();
    while (node) {
        if (!node->States.contains(vsInitialized))
            InitNode(node);
        int w = x;
        if (withCheck && node->CheckType != ctNone)
            w += CheckImageWidth() + 2;
        w += DoGetNodeWidth(node, NoColumn) + DoGetNodeExtraWidth(node, NoColumn);
        result = std::max(result, w);
        top += node->NodeHeight;
        if (top > height)
            break;
        PLazyNode next = GetNextVisible(node, true);
        if (next)
            x += CountLevelDifference(node, next) * int(FIndent);
        node = next;
    }
    return result + FMargin;
}

int TBaseLazyTree::GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth)
{
    if (OperationCanceled())
        return FHeader->IsValidColumn(Column) ? FHeader->Columns().Items(Column)->Width() : 0;
    StartOperation(okGetMaxColumnWidth);
    int result = 0;
    try {
        DoBeforeGetMaxColumnWidth(Column, UseSmartColumnWidth);
        const auto paint = FOptions->PaintOptions();
        const int stateOffset = FStateImages ? FStateImages->Width() + 2 : 0;
        const int checkOffset = FCheckImages ? FCheckImages->Width() + 2 : 0;
        PLazyNode node = nullptr;
        PLazyNode last = nullptr;
        if (UseSmartColumnWidth) {
            node = TopNode();
            if (PLazyNode bottom = BottomNode())
                last = GetNextVisible(bottom, true);
        } else {
            node = GetFirstVisible(nullptr, true);
        }
        const bool isMain = Column == FHeader->MainColumn();
        int textLeft = 0;
        if (isMain && node) {
            if (paint.contains(toFixedIndent))
                textLeft = int(FIndent);
            else
                textLeft = int(GetNodeLevel(node) + (paint.contains(toShowRoot) ? 1 : 0)) * int(FIndent);
        }
        textLeft += FMargin;
        const bool withCheck = isMain && FOptions->MiscOptions().contains(toCheckSupport) && FCheckImages;
        bool imageSeen = false;
        while (node && node != last && !OperationCanceled()) {
            if (!node->States.contains(vsInitialized))
                InitNode(node);
            int x = textLeft;
            if (withCheck && node->CheckType != ctNone)
                x += checkOffset;
            if (FImages && (imageSeen || HasImage(node, ikNormal, Column))) {
                imageSeen = true;
                x += FImages->Width() + 2;
            }
            if (FStateImages && HasImage(node, ikState, Column))
                x += stateOffset;
            const QPoint margin = DoGetCellContentMargin(node, Column, ccmtAllSides);
            const int w = DoGetNodeWidth(node, Column) + DoGetNodeExtraWidth(node, Column) + margin.x();
            result = std::max(result, x + w);
            PLazyNode next = GetNextVisible(node, true);
            if (next && isMain && !paint.contains(toFixedIndent))
                textLeft += CountLevelDifference(node, next) * int(FIndent);
            node = next;
        }
        if (paint.contains(toShowVertGridLines))
            ++result;
        DoAfterGetMaxColumnWidth(Column, result);
    } catch (...) {
        EndOperation(okGetMaxColumnWidth);
        throw;
    }
    EndOperation(okGetMaxColumnWidth);
    return result;
}

void TBaseLazyTree::DoMeasureItem(platform::Canvas* Canvas, PLazyNode Node, int& NodeHeight)
{
    if (!Node->States.contains(vsInitialized))
        InitNode(Node);
    if (!OnMeasureItem)
        return;
    if (Canvas) {
        OnMeasureItem(this, *Canvas, Node, NodeHeight);
        return;
    }
    QImage scratch(1, 1, QImage::Format_RGB32);
    platform::Canvas canvas(&scratch);
    canvas.font().font = font();
    OnMeasureItem(this, canvas, Node, NodeHeight);
}

void TBaseLazyTree::MeasureItemHeight(platform::Canvas* Canvas, PLazyNode Node)
{
    if (Node->States.contains(vsHeightMeasured))
        return;
    Node->States += vsHeightMeasured;
    if (!FOptions->MiscOptions().contains(toVariableNodeHeight))
        return;
    int newHeight = Node->NodeHeight;
    DoMeasureItem(Canvas, Node, newHeight);
    SetNodeHeight(Node, uint32_t(std::max(newHeight, 0)));
}

} // namespace controls
