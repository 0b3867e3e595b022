// Scrolling: the two offsets and their limits, the ranges, the scroll bars, the scroll codes and
// bringing nodes into view.
//
// The offsets are where the tree image's origin lies relative to the client area: 0 or
// negative, with client size - range <= offset <= 0 (0 wins when the image is smaller). Qt's
// bars show the same thing as position = -offset, maximum = range - client and page step =
// client (the platform bar's page is one pixel larger and its maximum the range itself, which
// gives the same largest position).
#include "controls/tree/LazyTree.h"

#include <QCursor>
#include <QScrollBar>
#include <QStyle>

namespace controls {

using platform::Rect;

int TBaseLazyTree::ClientWidth() const { return viewport()->width(); }

int TBaseLazyTree::ClientHeight() const { return viewport()->height(); }

Rect TBaseLazyTree::GetTreeRect() const
{
    return Rect{0, 0, int(std::max<int64_t>(ClientWidth(), FRangeX)), int(std::max<int64_t>(ClientHeight(), FRangeY))};
}

void TBaseLazyTree::SetOffsetX(int value) { DoSetOffsetXY(QPoint(value, FOffsetY), DefaultScrollUpdateFlags); }

void TBaseLazyTree::SetOffsetY(int value) { DoSetOffsetXY(QPoint(FOffsetX, value), DefaultScrollUpdateFlags); }

void TBaseLazyTree::SetOffsetXY(QPoint value) { DoSetOffsetXY(value, DefaultScrollUpdateFlags); }

bool TBaseLazyTree::DoSetOffsetXY(QPoint Value, TOffsetUpdateOptions Options, const Rect* ClipRect)
{
    int64_t x = Value.x();
    if (x < int64_t(ClientWidth()) - int64_t(FRangeX))
        x = int64_t(ClientWidth()) - int64_t(FRangeX);
    if (x > 0)
        x = 0;
    int deltaX = int(x) - FOffsetX;
    if (UseRightToLeftReading())
        deltaX = -deltaX;
    int64_t y = Value.y();
    if (y < int64_t(ClientHeight()) - int64_t(FRangeY))
        y = int64_t(ClientHeight()) - int64_t(FRangeY);
    if (y > 0)
        y = 0;
    const int deltaY = int(y) - FOffsetY;
    if (deltaX == 0 && deltaY == 0)
        return false;
    FOffsetX = int(x);
    FOffsetY = int(y);
    if (FStates.contains(tsHint))
        DoStateChange({}, {tsHint});
    if (FUpdateCount == 0) {
        if (Options.contains(ouScrollClientArea) && !FStates.contains(tsToggling) && FHandleAllocated) {
            const int fixed = FHeader->GetVisibleFixedWidth();
            if (FOptions->PaintOptions().contains(toShowBackground)) {
                viewport()->update();
            } else if (deltaX != 0 && fixed > 0) {
                viewport()->scroll(deltaX, 0, QRect(fixed, 0, ClientWidth() - fixed, ClientHeight()));
                if (deltaY != 0)
                    viewport()->scroll(0, deltaY, ClipRect ? ClipRect->toQRect() : viewport()->rect());
            } else if (ClipRect) {
                viewport()->scroll(deltaX, deltaY, ClipRect->toQRect());
            } else {
                viewport()->scroll(deltaX, deltaY);
            }
        }
        if (Options.contains(ouUpdateFrame)) {
            const TScrollStyle bars = FScrollBarOptions->ScrollBars();
            const bool horizontalBar = bars == ssHorizontal || bars == ssBoth;
            if (deltaX != 0) {
                if (Options.contains(ouRepaintHeader) && FHeader->Options().contains(hoVisible))
                    FHeader->Invalidate();
                if (!FStates.contains(tsSizing) && horizontalBar)
                    UpdateHorizontalScrollBar(Options.contains(ouRepaintScrollBars));
            }
            if (deltaY != 0 && !FStates.contains(tsThumbTracking) && !FStates.contains(tsSizing)) {
                UpdateVerticalScrollBar(Options.contains(ouRepaintScrollBars));
                if (!FHeader->UseColumns() && !FStates.contains(tsDrawSelPending) && !FStates.contains(tsDrawSelecting) &&
                    horizontalBar)
                    UpdateHorizontalScrollBar(Options.contains(ouRepaintScrollBars));
            }
        }
    }
    if (FHandleAllocated) {
        const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
        if (viewport()->rect().contains(p))
            HandleHotTrack(p.x(), p.y());
    }
    DoScroll(deltaX, deltaY);
    Q_EMIT scrollBarsChanged();
    return true;
}

void TBaseLazyTree::UpdateHorizontalRange()
{
    // The width of the visible rows only means something in a window.
    if (!FHandleAllocated)
        return;
    FRangeX = FHeader->UseColumns() ? uint32_t(FHeader->TotalWidth()) : uint32_t(std::max(GetMaxRightExtend(), 0));
}

void TBaseLazyTree::UpdateVerticalRange()
{
    FRangeY = uint32_t(int64_t(FRoot->TotalHeight) + FBottomSpace - FRoot->NodeHeight);
}

void TBaseLazyTree::UpdateRanges()
{
    UpdateVerticalRange();
    UpdateHorizontalRange();
}

void TBaseLazyTree::DoShowScrollBar(int Bar, bool Show)
{
    const Qt::ScrollBarPolicy policy = Show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (Bar == SB_HORZ) {
        if (horizontalScrollBarPolicy() != policy)
            setHorizontalScrollBarPolicy(policy);
    } else if (verticalScrollBarPolicy() != policy) {
        setVerticalScrollBarPolicy(policy);
    }
    if (OnShowScrollBar)
        OnShowScrollBar(this, Bar, Show);
}

namespace {
// Writes a bar's range, page and position without the bar reporting it back as a scroll.
void setBar(QScrollBar* bar, int maximum, int page, int position, int single, bool enabled)
{
    const QSignalBlocker block(bar);
    bar->setRange(0, std::max(0, maximum));
    bar->setPageStep(std::max(0, page));
    bar->setSingleStep(single);
    bar->setValue(position);
    bar->setEnabled(enabled);
}
} // namespace

void TBaseLazyTree::UpdateHorizontalScrollBar(bool /*DoRepaint*/)
{
    UpdateHorizontalRange();
    if (FStates.contains(tsUpdating) || !FHandleAllocated)
        return;
    const bool rtl = UseRightToLeftReading();
    FEffectiveOffsetX = rtl ? int(int64_t(FRangeX) + FOffsetX - ClientWidth()) : -FOffsetX;
    int newX;
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    if (bars == ssHorizontal || bars == ssBoth) {
        QScrollBar* bar = horizontalScrollBar();
        if (ClientWidth() < int64_t(FRangeX) || FScrollBarOptions->AlwaysVisible()) {
            DoShowScrollBar(SB_HORZ, true);
            setBar(bar, int(int64_t(FRangeX) - ClientWidth()), ClientWidth(), FEffectiveOffsetX,
                   FScrollBarOptions->HorizontalIncrement(), ClientWidth() < int64_t(FRangeX));
        } else {
            DoShowScrollBar(SB_HORZ, false);
            setBar(bar, 0, 0, 0, FScrollBarOptions->HorizontalIncrement(), true);
        }
        FEffectiveOffsetX = bar->value();
        newX = rtl ? int(ClientWidth() + FEffectiveOffsetX - int64_t(FRangeX)) : -FEffectiveOffsetX;
    } else {
        DoShowScrollBar(SB_HORZ, false);
        newX = FOffsetX;
    }
    SetOffsetX(newX);
}

void TBaseLazyTree::UpdateVerticalScrollBar(bool /*DoRepaint*/)
{
    UpdateVerticalRange();
    if (FStates.contains(tsUpdating) || !FHandleAllocated)
        return;
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    if (bars != ssVertical && bars != ssBoth) {
        DoShowScrollBar(SB_VERT, false);
        SetOffsetY(FOffsetY);
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    if (ClientHeight() < int64_t(FRangeY) || FScrollBarOptions->AlwaysVisible()) {
        DoShowScrollBar(SB_VERT, true);
        setBar(bar, int(int64_t(FRangeY) - ClientHeight()), ClientHeight(), -FOffsetY,
               FScrollBarOptions->VerticalIncrement(), ClientHeight() < int64_t(FRangeY));
    } else {
        DoShowScrollBar(SB_VERT, false);
        setBar(bar, 0, 0, 0, FScrollBarOptions->VerticalIncrement(), true);
    }
    SetOffsetY(-bar->value());
}

void TBaseLazyTree::UpdateScrollBars(bool DoRepaint)
{
    if (!FHandleAllocated)
        return;
    UpdateVerticalScrollBar(DoRepaint);
    UpdateHorizontalScrollBar(DoRepaint);
    Q_EMIT scrollBarsChanged();
}

void TBaseLazyTree::HandleVScroll(int code)
{
    if (code < 0 || code > SB_ENDSCROLL)
        return;
    switch (code) {
    case SB_LINEUP:
        SetOffsetY(FOffsetY + FScrollBarOptions->VerticalIncrement());
        break;
    case SB_LINEDOWN:
        SetOffsetY(FOffsetY - FScrollBarOptions->VerticalIncrement());
        break;
    case SB_PAGEUP:
        SetOffsetY(FOffsetY + ClientHeight());
        break;
    case SB_PAGEDOWN:
        SetOffsetY(FOffsetY - ClientHeight());
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        DoStateChange({tsThumbTracking});
        SetOffsetY(-verticalScrollBar()->sliderPosition());
        break;
    case SB_TOP:
        SetOffsetY(0);
        break;
    case SB_BOTTOM:
        SetOffsetY(-int(FRoot->TotalHeight));
        break;
    case SB_ENDSCROLL:
        DoStateChange({}, {tsThumbTracking});
        UpdateScrollBars(true);
        break;
    }
}

void TBaseLazyTree::HandleHScroll(int code)
{
    if (code < 0 || code > SB_ENDSCROLL)
        return;
    const int f = UseRightToLeftReading() ? -1 : 1;
    switch (code) {
    case SB_LINEUP:
        SetOffsetX(FOffsetX + f * FScrollBarOptions->HorizontalIncrement());
        break;
    case SB_LINEDOWN:
        SetOffsetX(FOffsetX - f * FScrollBarOptions->HorizontalIncrement());
        break;
    case SB_PAGEUP:
        SetOffsetX(FOffsetX + f * (ClientWidth() - FHeader->GetVisibleFixedWidth()));
        break;
    case SB_PAGEDOWN:
        SetOffsetX(FOffsetX - f * (ClientWidth() - FHeader->GetVisibleFixedWidth()));
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        DoStateChange({tsThumbTracking});
        const int t = horizontalScrollBar()->sliderPosition();
        SetOffsetX(UseRightToLeftReading() ? int(ClientWidth() + t - int64_t(FRangeX)) : -t);
        break;
    }
    case SB_TOP:
        SetOffsetX(0);
        break;
    case SB_BOTTOM:
        SetOffsetX(-int(FRangeX));
        break;
    case SB_ENDSCROLL:
        DoStateChange({}, {tsThumbTracking});
        UpdateHorizontalScrollBar(false);
        break;
    }
}

int TBaseLazyTree::ComputeRTLOffset(bool ExcludeScrollBar)
{
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    const bool vbar = ClientHeight() < int64_t(FRangeY) && (bars == ssVertical || bars == ssBoth);
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int result = vbar ? barWidth : 0;
    if (FHeaderRect.width() >= result + int64_t(FRangeX))
        result = int(FHeaderRect.width() - int64_t(FRangeX));
    if (ExcludeScrollBar && vbar)
        result -= barWidth;
    return result;
}

bool TBaseLazyTree::ScrollIntoView(PLazyNode Node, bool Center, bool Horizontally)
{
    bool result = false;
    if (!Node || Node == FRoot)
        return false;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.contains(vsExpanded))
            ToggleNode(p);
    const TColumnIndex column =
        FHeader->UseColumns() && FHeader->IsValidColumn(FFocusedColumn) ? FFocusedColumn : NoColumn;
    const Rect r = GetDisplayRect(Node, column, !FOptions->MiscOptions().contains(toGridExtensions), false, false);
    const int ch = ClientHeight();
    if (r.top < 0) {
        SetOffsetY(FOffsetY - r.top + (Center ? ch / 2 : 0));
        result = true;
    } else if (r.bottom > ch || Center) {
        const TScrollStyle bars = FScrollBarOptions->ScrollBars();
        const bool hbar = (bars == ssHorizontal || bars == ssBoth) &&
                          (FScrollBarOptions->AlwaysVisible() || ClientWidth() < int64_t(FRangeX));
        SetOffsetY(FOffsetY - r.bottom + (Center ? ch / 2 : ch));
        if (!FHeader->UseColumns() && !hbar && ClientWidth() < int64_t(FRangeX))
            SetOffsetY(FOffsetY - style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        result = true;
    }
    if (Horizontally)
        result = ScrollIntoView(FFocusedColumn, Center) || result;
    return result;
}

bool TBaseLazyTree::ScrollIntoView(TColumnIndex Column, bool /*Center*/)
{
    // Without columns there is no column to bring into view.
    return FHeader->UseColumns() && FHeader->IsValidColumn(Column);
}

} // namespace controls
