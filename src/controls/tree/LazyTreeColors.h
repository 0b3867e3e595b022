#pragma once
// Three small option objects of the tree: its colour set (Colors), its scroll-bar options
// (ScrollBarOptions) and the header's fixed-area constraints. No custom style engine exists
// here, so every colour read returns the stored value and the derived colours come from the
// tree's own colour and font.
#include "controls/tree/TreeTypes.h"
#include "platform/core/Persistent.h"
#include "platform/draw/Color.h"

#include <array>
#include <functional>

namespace controls {

class TBaseLazyTree;

class TLTColors : public platform::TPersistent {
public:
    enum Index {
        DisabledColorIndex,
        DropMarkColorIndex,
        DropTargetColorIndex,
        FocusedSelectionColorIndex,
        GridLineColorIndex,
        TreeLineColorIndex,
        UnfocusedSelectionColorIndex,
        BorderColorIndex,
        HotColorIndex,
        FocusedSelectionBorderColorIndex,
        UnfocusedSelectionBorderColorIndex,
        DropTargetBorderColorIndex,
        SelectionRectangleBlendColorIndex,
        SelectionRectangleBorderColorIndex,
        HeaderHotColorIndex,
        SelectionTextColorIndex,
        UnfocusedColorIndex,
        ColorCount
    };

    explicit TLTColors(TBaseLazyTree* owner);

    platform::Color GetColor(Index i) const { return FColors[size_t(i)]; }
    void SetColor(Index i, platform::Color value);

    platform::Color DisabledColor() const { return GetColor(DisabledColorIndex); }
    platform::Color DropMarkColor() const { return GetColor(DropMarkColorIndex); }
    platform::Color DropTargetColor() const { return GetColor(DropTargetColorIndex); }
    platform::Color FocusedSelectionColor() const { return GetColor(FocusedSelectionColorIndex); }
    platform::Color GridLineColor() const { return GetColor(GridLineColorIndex); }
    platform::Color TreeLineColor() const { return GetColor(TreeLineColorIndex); }
    platform::Color UnfocusedSelectionColor() const { return GetColor(UnfocusedSelectionColorIndex); }
    platform::Color BorderColor() const { return GetColor(BorderColorIndex); }
    platform::Color HotColor() const { return GetColor(HotColorIndex); }
    platform::Color FocusedSelectionBorderColor() const { return GetColor(FocusedSelectionBorderColorIndex); }
    platform::Color UnfocusedSelectionBorderColor() const { return GetColor(UnfocusedSelectionBorderColorIndex); }
    platform::Color DropTargetBorderColor() const { return GetColor(DropTargetBorderColorIndex); }
    platform::Color SelectionRectangleBlendColor() const { return GetColor(SelectionRectangleBlendColorIndex); }
    platform::Color SelectionRectangleBorderColor() const { return GetColor(SelectionRectangleBorderColorIndex); }
    platform::Color HeaderHotColor() const { return GetColor(HeaderHotColorIndex); }
    platform::Color SelectionTextColor() const { return GetColor(SelectionTextColorIndex); }
    platform::Color UnfocusedColor() const { return GetColor(UnfocusedColorIndex); }

    // The tree's background colour, the header's and the nodes' font colours.
    platform::Color BackGroundColor() const;
    platform::Color HeaderFontColor() const;
    platform::Color NodeFontColor() const;

    void Assign(const platform::TPersistent* source) override;

private:
    TBaseLazyTree* FOwner;
    std::array<platform::Color, ColorCount> FColors;
};

class TScrollBarOptions : public platform::TPersistent {
public:
    explicit TScrollBarOptions(TBaseLazyTree* owner) : FOwner(owner) {}

    bool AlwaysVisible() const { return FAlwaysVisible; }
    void SetAlwaysVisible(bool value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
    void SetScrollBarStyle(TScrollBarStyle value) { FScrollBarStyle = value; }
    // 1..10000 pixels
    int HorizontalIncrement() const { return FIncrementX; }
    void SetHorizontalIncrement(int value);
    int VerticalIncrement() const { return FIncrementY; }
    void SetVerticalIncrement(int value);

    void Assign(const platform::TPersistent* source) override;

private:
    bool FAlwaysVisible = false;
    TBaseLazyTree* FOwner;
    TScrollStyle FScrollBars = ssBoth;
    TScrollBarStyle FScrollBarStyle = sbmRegular;
    uint16_t FIncrementX = 20;
    uint16_t FIncrementY = 20;
};

// Percentage limits for the header height and the fixed columns' width (0: no limit).
class TLTFixedAreaConstraints : public platform::TPersistent {
public:
    enum Index { MaxHeightPercentIndex, MaxWidthPercentIndex, MinHeightPercentIndex, MinWidthPercentIndex };

    int MaxHeightPercent() const { return FMaxHeightPercent; }
    int MaxWidthPercent() const { return FMaxWidthPercent; }
    int MinHeightPercent() const { return FMinHeightPercent; }
    int MinWidthPercent() const { return FMinWidthPercent; }
    void SetConstraint(Index index, int value);

    void Assign(const platform::TPersistent* source) override;

    std::function<void(TLTFixedAreaConstraints*)> OnChange;

private:
    void Change();

    uint8_t FMaxHeightPercent = 0;
    uint8_t FMaxWidthPercent = 0;
    uint8_t FMinHeightPercent = 0;
    uint8_t FMinWidthPercent = 0;
};

} // namespace controls
