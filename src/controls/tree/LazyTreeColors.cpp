#include "controls/tree/LazyTreeColors.h"
#include "controls/tree/LazyTree.h"

namespace controls {

using namespace platform;

TLTColors::TLTColors(TBaseLazyTree* owner)
    : FOwner(owner)
    , FColors{clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace, clBtnShadow, clBtnFace, clBtnFace, clWindowText,
              clHighlight, clBtnFace, clHighlight, clHighlight, clHighlight, clBtnShadow, clHighlightText, clBtnFace}
{
}

void TLTColors::SetColor(Index i, Color value)
{
    if (FColors[size_t(i)] == value)
        return;
    FColors[size_t(i)] = value;
    if (!FOwner || FOwner->IsLoading() || !FOwner->HandleAllocated())
        return;
    if (i == TreeLineColorIndex) {
        FOwner->BuildButtonAndLineBitmaps(true, false);
        FOwner->Invalidate();
    } else if (i == BorderColorIndex) {
        FOwner->RedrawFrame();
    } else {
        FOwner->Invalidate();
    }
}

Color TLTColors::BackGroundColor() const { return FOwner ? FOwner->Color() : clWindow; }

Color TLTColors::HeaderFontColor() const { return clWindowText; }

Color TLTColors::NodeFontColor() const { return clWindowText; }

void TLTColors::Assign(const TPersistent* source)
{
    if (const auto* other = dynamic_cast<const TLTColors*>(source)) {
        FColors = other->FColors;
        if (FOwner && FOwner->UpdateCount() == 0)
            FOwner->Invalidate();
        return;
    }
    TPersistent::Assign(source);
}

// --- scroll-bar options ------------------------------------------------------------------------

void TScrollBarOptions::SetAlwaysVisible(bool value)
{
    if (value == FAlwaysVisible)
        return;
    FAlwaysVisible = value;
    if (FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->UpdateScrollBars(true);
}

void TScrollBarOptions::SetScrollBars(TScrollStyle value)
{
    if (value == FScrollBars)
        return;
    FScrollBars = value;
    if (FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->UpdateScrollBars(true);
}

void TScrollBarOptions::SetHorizontalIncrement(int value) { FIncrementX = uint16_t(std::clamp(value, 1, 10000)); }

void TScrollBarOptions::SetVerticalIncrement(int value) { FIncrementY = uint16_t(std::clamp(value, 1, 10000)); }

void TScrollBarOptions::Assign(const TPersistent* source)
{
    if (const auto* other = dynamic_cast<const TScrollBarOptions*>(source)) {
        SetAlwaysVisible(other->FAlwaysVisible);
        FIncrementX = other->FIncrementX;
        SetScrollBars(other->FScrollBars);
        SetScrollBarStyle(other->FScrollBarStyle);
        FIncrementY = other->FIncrementY;
        return;
    }
    TPersistent::Assign(source);
}

// --- fixed-area constraints ---------------------------------------------------------------------

void TLTFixedAreaConstraints::SetConstraint(Index index, int value)
{
    const uint8_t v = uint8_t(std::clamp(value, 0, 100));
    switch (index) {
    case MaxHeightPercentIndex:
        if (v == FMaxHeightPercent)
            return;
        FMaxHeightPercent = v;
        if (v != 0 && v < FMinHeightPercent)
            FMinHeightPercent = v;
        break;
    case MaxWidthPercentIndex:
        if (v == FMaxWidthPercent)
            return;
        FMaxWidthPercent = v;
        if (v != 0 && v < FMinWidthPercent)
            FMinWidthPercent = v;
        break;
    case MinHeightPercentIndex:
        if (v == FMinHeightPercent)
            return;
        FMinHeightPercent = v;
        if (FMaxHeightPercent != 0 && FMaxHeightPercent < v)
            FMaxHeightPercent = v;
        break;
    case MinWidthPercentIndex:
        if (v == FMinWidthPercent)
            return;
        FMinWidthPercent = v;
        if (FMaxWidthPercent != 0 && FMaxWidthPercent < v)
            FMaxWidthPercent = v;
        break;
    }
    Change();
}

void TLTFixedAreaConstraints::Change()
{
    if (OnChange)
        OnChange(this);
}

void TLTFixedAreaConstraints::Assign(const TPersistent* source)
{
    if (const auto* other = dynamic_cast<const TLTFixedAreaConstraints*>(source)) {
        FMaxHeightPercent = other->FMaxHeightPercent;
        FMaxWidthPercent = other->FMaxWidthPercent;
        FMinHeightPercent = other->FMinHeightPercent;
        FMinWidthPercent = other->FMinWidthPercent;
        Change();
        return;
    }
    TPersistent::Assign(source);
}

} // namespace controls
