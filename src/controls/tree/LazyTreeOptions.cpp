// The option writers and their immediate effects on the tree.
#include "controls/tree/LazyTreeOptions.h"
#include "controls/tree/LazyTree.h"
#include "platform/draw/Theme.h"

#include <QHash>

namespace controls {

TCustomLazyTreeOptions::TCustomLazyTreeOptions(TBaseLazyTree* owner)
    : FOwner(owner)
{
}

void TCustomLazyTreeOptions::SetPaintOptions(TLTPaintOptions value)
{
    if (value == FPaintOptions)
        return;
    TLTPaintOptions toBeSet = value - FPaintOptions;
    const TLTPaintOptions toBeCleared = FPaintOptions - value;
    if (toBeSet.contains(toFixedIndent)) {
        value += toShowRoot;
        toBeSet += toShowRoot;
    }
    TBaseLazyTree* tree = FOwner;
    // The position cache's worker reads the paint options (the order of children and the
    // filtered nodes): it lets go of the tree before they change and builds again afterwards.
    const bool hadCache = tree && tree->RootNode() &&
                          !(tree->TreeStates() * TLazyTreeStates{tsUseCache, tsValidating, tsValidationNeeded}).empty();
    if (tree && tree->RootNode())
        tree->InterruptValidation();
    FPaintOptions = value;
    if (!tree || !tree->RootNode())
        return;
    if (hadCache) {
        tree->InvalidateCache();
        if (tree->UpdateCount() == 0)
            tree->ValidateCache();
    }
    const bool loading = tree->IsLoading();
    const bool filteredChanged = toBeSet.contains(toShowFilteredNodes) || toBeCleared.contains(toShowFilteredNodes);
    if (!loading && filteredChanged) {
        const bool showNow = toBeSet.contains(toShowFilteredNodes);
        const bool bracket = tree->HandleAllocated();
        if (bracket)
            tree->BeginUpdate();
        tree->InterruptValidation();
        for (PLazyNode n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n)) {
            if (!n->States.contains(vsFiltered))
                continue;
            if (tree->FullyVisible(n)) {
                if (showNow)
                    ++tree->FVisibleCount;
                else
                    --tree->FVisibleCount;
            }
            tree->PropagateTotalHeight(n, showNow ? int64_t(n->NodeHeight) : -int64_t(n->NodeHeight), true);
        }
        if (bracket)
            tree->EndUpdate();
    }
    if (!tree->HandleAllocated())
        return;
    if (!loading && (toBeSet.contains(toThemeAware) || toBeCleared.contains(toThemeAware) ||
                     toBeSet.contains(toUseExplorerTheme) || toBeCleared.contains(toUseExplorerTheme))) {
        if (value.contains(toThemeAware) && platform::IsThemeActive())
            tree->DoStateChange({tsUseThemes});
        else
            tree->DoStateChange({}, {tsUseThemes});
        if (value.contains(toUseExplorerTheme) && tree->TreeStates().contains(tsUseThemes))
            tree->DoStateChange({tsUseExplorerTheme});
        else
            tree->DoStateChange({}, {tsUseExplorerTheme});
        tree->BuildButtonAndLineBitmaps(true, false);
        tree->RedrawFrame();
    }
    if (toBeSet.contains(toChildrenAbove) || toBeCleared.contains(toChildrenAbove)) {
        tree->InvalidateCache();
        if (tree->UpdateCount() == 0) {
            tree->ValidateCache();
            tree->Invalidate();
        }
    }
    tree->Invalidate();
}

void TCustomLazyTreeOptions::SetAnimationOptions(TLTAnimationOptions value) { FAnimationOptions = value; }

void TCustomLazyTreeOptions::SetAutoOptions(TLTAutoOptions value)
{
    const bool spanChanged = value.contains(toAutoSpanColumns) != FAutoOptions.contains(toAutoSpanColumns);
    FAutoOptions = value;
    if (spanChanged && FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->Invalidate();
}

void TCustomLazyTreeOptions::SetSelectionOptions(TLTSelectionOptions value)
{
    const TLTSelectionOptions toBeSet = value - FSelectionOptions;
    const TLTSelectionOptions toBeCleared = FSelectionOptions - value;
    FSelectionOptions = value;
    TBaseLazyTree* tree = FOwner;
    if (!tree || !tree->RootNode())
        return;
    if (toBeSet.contains(toMultiSelect) || toBeCleared.contains(toMultiSelect) || toBeSet.contains(toLevelSelectConstraint) ||
        toBeSet.contains(toSiblingSelectConstraint))
        tree->ClearSelection();
    if (toBeCleared.contains(toExtendedFocus) && tree->FocusedColumn() > 0 && tree->HandleAllocated()) {
        tree->FFocusedColumn = tree->Header().MainColumn();
        tree->Invalidate();
    }
    if (!value.contains(toExtendedFocus))
        tree->FFocusedColumn = tree->Header().MainColumn();
}

void TCustomLazyTreeOptions::SetMiscOptions(TLTMiscOptions value)
{
    if (value == FMiscOptions)
        return;
    const TLTMiscOptions toBeSet = value - FMiscOptions;
    const TLTMiscOptions toBeCleared = FMiscOptions - value;
    FMiscOptions = value;
    TBaseLazyTree* tree = FOwner;
    if (!tree || !tree->RootNode() || tree->IsLoading() || !tree->HandleAllocated())
        return;
    if (toBeSet.contains(toCheckSupport) || toBeCleared.contains(toCheckSupport))
        tree->Invalidate();
    if (toBeSet.contains(toAcceptOLEDrop) || toBeCleared.contains(toAcceptOLEDrop))
        tree->viewport()->setAcceptDrops(value.contains(toAcceptOLEDrop));
    if (toBeSet.contains(toVariableNodeHeight)) {
        tree->BeginUpdate();
        try {
            tree->ReinitNode(nullptr, true);
        } catch (...) {
            tree->EndUpdate();
            throw;
        }
        tree->EndUpdate();
    }
}

void TCustomLazyTreeOptions::AssignTo(platform::TPersistent* dest) const
{
    if (auto* options = dynamic_cast<TCustomLazyTreeOptions*>(dest)) {
        options->SetPaintOptions(FPaintOptions);
        options->SetAnimationOptions(FAnimationOptions);
        options->SetAutoOptions(FAutoOptions);
        options->SetSelectionOptions(FSelectionOptions);
        options->SetMiscOptions(FMiscOptions);
        return;
    }
    TPersistent::AssignTo(dest);
}

void TCustomLazyTreeOptions::ReadLegacyOptions(const QStringList& names)
{
    enum Set { Paint, Animation, Auto, Selection, Misc };
    struct Legacy {
        Set set;
        int bit;
    };
    static const QHash<QString, Legacy> table = {
        {QStringLiteral("voAcceptOLEDrop"), {Misc, toAcceptOLEDrop}},
        {QStringLiteral("voAnimatedToggle"), {Animation, toAnimatedToggle}},
        {QStringLiteral("voAutoDropExpand"), {Auto, toAutoDropExpand}},
        {QStringLiteral("voAutoExpand"), {Auto, toAutoExpand}},
        {QStringLiteral("voAutoScroll"), {Auto, toAutoScroll}},
        {QStringLiteral("voAutoSort"), {Auto, toAutoSort}},
        {QStringLiteral("voAutoSpanColumns"), {Auto, toAutoSpanColumns}},
        {QStringLiteral("voAutoTristateTracking"), {Auto, toAutoTristateTracking}},
        {QStringLiteral("voCheckSupport"), {Misc, toCheckSupport}},
        {QStringLiteral("voDisableDrawSelection"), {Selection, toDisableDrawSelection}},
        {QStringLiteral("voEditable"), {Misc, toEditable}},
        {QStringLiteral("voExtendedFocus"), {Selection, toExtendedFocus}},
        {QStringLiteral("voFullRowSelect"), {Selection, toFullRowSelect}},
        {QStringLiteral("voGridExtensions"), {Misc, toGridExtensions}},
        {QStringLiteral("voHideFocusRect"), {Paint, toHideFocusRect}},
        {QStringLiteral("voHideSelection"), {Paint, toHideSelection}},
        {QStringLiteral("voHotTrack"), {Paint, toHotTrack}},
        {QStringLiteral("voInitOnSave"), {Misc, toInitOnSave}},
        {QStringLiteral("voLevelSelectConstraint"), {Selection, toLevelSelectConstraint}},
        {QStringLiteral("voMiddleClickSelect"), {Selection, toMiddleClickSelect}},
        {QStringLiteral("voMultiSelect"), {Selection, toMultiSelect}},
        {QStringLiteral("voRightClickSelect"), {Selection, toRightClickSelect}},
        {QStringLiteral("voPopupMode"), {Paint, toPopupMode}},
        {QStringLiteral("voShowBackground"), {Paint, toShowBackground}},
        {QStringLiteral("voShowButtons"), {Paint, toShowButtons}},
        {QStringLiteral("voShowDropmark"), {Paint, toShowDropmark}},
        {QStringLiteral("voShowHorzGridLines"), {Paint, toShowHorzGridLines}},
        {QStringLiteral("voShowRoot"), {Paint, toShowRoot}},
        {QStringLiteral("voShowTreeLines"), {Paint, toShowTreeLines}},
        {QStringLiteral("voShowVertGridLines"), {Paint, toShowVertGridLines}},
        {QStringLiteral("voSiblingSelectConstraint"), {Selection, toSiblingSelectConstraint}},
        {QStringLiteral("voToggleOnDblClick"), {Misc, toToggleOnDblClick}},
    };
    SetPaintOptions({});
    SetAnimationOptions({});
    SetAutoOptions({});
    SetSelectionOptions({});
    SetMiscOptions({});
    for (const QString& name : names) {
        const auto it = table.find(name.trimmed());
        if (it == table.end())
            continue;
        switch (it->set) {
        case Paint:
            SetPaintOptions(FPaintOptions + TLTPaintOption(it->bit));
            break;
        case Animation:
            SetAnimationOptions(FAnimationOptions + TLTAnimationOption(it->bit));
            break;
        case Auto:
            SetAutoOptions(FAutoOptions + TLTAutoOption(it->bit));
            break;
        case Selection:
            SetSelectionOptions(FSelectionOptions + TLTSelectionOption(it->bit));
            break;
        case Misc:
            SetMiscOptions(FMiscOptions + TLTMiscOption(it->bit));
            break;
        }
    }
}

} // namespace controls
