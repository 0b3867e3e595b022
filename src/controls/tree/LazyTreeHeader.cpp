#include "controls/tree/LazyTreeHeader.h"
#include "controls/tree/LazyTree.h"

#include <QFontMetrics>

namespace controls {

TLTHeader::TLTHeader(TBaseLazyTree* owner)
    : FOwner(owner)
    , FFixedAreaConstraints(std::make_unique<TLTFixedAreaConstraints>())
{
    FFixedAreaConstraints->OnChange = [this](TLTFixedAreaConstraints*) { ConstraintsChanged(); };
}

TLTHeader::~TLTHeader() = default;

void TLTHeader::ConstraintsChanged()
{
    if (FOwner->HandleAllocated())
        ApplyFixedAreaConstraints();
    else
        FStates += hsNeedScaling;
}

void TLTHeader::SetBackground(platform::Color value)
{
    FBackgroundColor = value;
    Invalidate();
}

void TLTHeader::SetDefaultHeight(int value)
{
    value = std::clamp(value, FMinHeight, FMaxHeight);
    if (FHeight == FDefaultHeight)
        SetHeight(value);
    FDefaultHeight = value;
}

void TLTHeader::SetFont(const QFont& font)
{
    FFont = font;
    FParentFont = false;
    if (FOwner->TreeOptions().AutoOptions().contains(toAutoChangeScale)) {
        const int h = QFontMetrics(FFont).height();
        SetHeight(std::max(FHeight, h));
    }
    Invalidate();
}

void TLTHeader::SetHeight(int value)
{
    if (!FOwner->HandleAllocated()) {
        FHeight = value;
        FStates += hsNeedScaling;
        return;
    }
    const int total = FOwner->ClientHeight() + FHeight;
    const int maxPercent = FFixedAreaConstraints->MaxHeightPercent();
    const int minPercent = FFixedAreaConstraints->MinHeightPercent();
    const int percentMax = total * maxPercent / 100;
    const int percentMin = total * minPercent / 100;
    const int low = maxPercent > 0 ? std::min(percentMax, FMinHeight) : FMinHeight;
    const int high = minPercent > 0 ? std::max(percentMin, FMaxHeight) : FMaxHeight;
    value = std::min(std::max(value, low), high);
    if (minPercent > 0)
        value = std::max(value, percentMin);
    if (maxPercent > 0)
        value = std::min(value, percentMax);
    if (value == FHeight)
        return;
    FHeight = value;
    if (!FOwner->IsLoading() && !FStates.contains(hsScaling))
        RecalculateHeader();
    FOwner->Invalidate();
}

void TLTHeader::SetImages(platform::TImageList* images)
{
    FImages = images;
    if (!FOwner->IsLoading())
        Invalidate();
}

TColumnIndex TLTHeader::MainColumn() const { return ColumnCount() == 0 ? NoColumn : FMainColumn; }

void TLTHeader::SetMainColumn(TColumnIndex value)
{
    if (FOwner->IsLoading()) {
        FMainColumn = value;
        return;
    }
    value = std::min(std::max(value, 0), ColumnCount() - 1);
    if (value == FMainColumn)
        return;
    FMainColumn = value;
    FOwner->MainColumnChanged();
    if (!FOwner->TreeOptions().SelectionOptions().contains(toExtendedFocus))
        FOwner->FFocusedColumn = value;
    FOwner->Invalidate();
}

void TLTHeader::SetMaxHeight(int value)
{
    FMaxHeight = std::max(value, FMinHeight);
    SetHeight(FHeight);
}

void TLTHeader::SetMinHeight(int value)
{
    FMinHeight = std::min(std::max(value, 0), FMaxHeight);
    SetHeight(FHeight);
}

void TLTHeader::SetOptions(TLTHeaderOptions value)
{
    const bool visibleChanged = value.contains(hoVisible) != FOptions.contains(hoVisible);
    FOptions = value;
    if (FOwner->IsLoading() || !FOwner->HandleAllocated())
        return;
    if (visibleChanged)
        RecalculateHeader();
    Invalidate();
    FOwner->Invalidate();
}

void TLTHeader::SetParentFont(bool value)
{
    FParentFont = value;
    if (value) {
        FFont = FOwner->font();
        Invalidate();
    }
}

void TLTHeader::SetSortColumn(TColumnIndex value)
{
    if (FOwner->IsLoading()) {
        FSortColumn = value;
        return;
    }
    value = std::clamp(value, -1, ColumnCount() - 1);
    if (value == FSortColumn)
        return;
    FSortColumn = value;
    Invalidate();
}

void TLTHeader::SetSortDirection(TSortDirection value)
{
    if (value == FSortDirection)
        return;
    FSortDirection = value;
    Invalidate();
}

void TLTHeader::SetStyle(TLTHeaderStyle value)
{
    FStyle = value;
    if (!FOwner->IsLoading())
        Invalidate();
}

void TLTHeader::Assign(const platform::TPersistent* source)
{
    const auto* other = dynamic_cast<const TLTHeader*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    SetAutoSizeIndex(other->FAutoSizeIndex);
    SetBackground(other->FBackgroundColor);
    SetFont(other->FFont);
    FFixedAreaConstraints->Assign(other->FFixedAreaConstraints.get());
    SetHeight(other->FHeight);
    SetImages(other->FImages);
    SetMainColumn(other->MainColumn());
    SetOptions(other->FOptions);
    SetParentFont(other->FParentFont);
    FPopupMenu = other->FPopupMenu;
    SetSortColumn(other->FSortColumn);
    SetSortDirection(other->FSortDirection);
    SetStyle(other->FStyle);
    ApplyFixedAreaConstraints();
}

void TLTHeader::GetColumnBounds(TColumnIndex column, int& left, int& right) const
{
    if (column < 0) {
        left = 0;
        right = FOwner->ClientWidth();
        return;
    }
    left = 0;
    right = 0;
}

int TLTHeader::GetScrollWidth() const { return int(FOwner->Indent()); }

bool TLTHeader::InHeader(QPoint) const
{
    // The strip is never shown without columns (hoVisible is off by default); when shown it
    // lies above the client area, so no client point is in it.
    return false;
}

bool TLTHeader::InHeaderSplitterArea(QPoint p) const
{
    if (!FOptions.contains(hoVisible) || p.y() < -2 || p.y() > 2)
        return false;
    const platform::Rect r = FOwner->HeaderRect();
    return p.x() >= 0 && p.x() < r.width() && p.y() >= -2 && p.y() < 2;
}

void TLTHeader::Invalidate(TColumnIndex, bool)
{
    if (!FOptions.contains(hoVisible) || !FOwner->HandleAllocated())
        return;
    FOwner->update();
}

void TLTHeader::RecalculateHeader()
{
    if (FOwner->HandleAllocated())
        FOwner->UpdateHeaderRect();
}

bool TLTHeader::HandleResize()
{
    ApplyFixedAreaConstraints();
    return false;
}

void TLTHeader::ApplyFixedAreaConstraints()
{
    if (FOwner->IsLoading() || FOwner->IsDestroying() || FStates.contains(hsLoading) || !FOwner->HandleAllocated())
        return;
    FStates += hsScaling;
    SetHeight(FHeight);
    RecalculateHeader();
    FStates -= THeaderStates{hsScaling, hsNeedScaling};
}

} // namespace controls
