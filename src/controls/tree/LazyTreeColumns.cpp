// Columns and their collection: properties, positions, left edges, geometry queries, widths
// and their limits, the auto-size column and the animated resize.
#include "controls/tree/LazyTreeColumns.h"
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeHeader.h"
#include "controls/tree/LazyTreeHeaderPopup.h"
#include "platform/core/Errors.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QThread>
#include <cmath>

namespace controls {

using platform::Rect;

// --- column -------------------------------------------------------------------------------------

TLazyTreeColumn::TLazyTreeColumn(TLazyTreeColumns* Collection)
    : FOwner(Collection)
{
    FWidth = Collection->DefaultWidth();
    FLastWidth = FWidth;
    if (TBaseLazyTree* tree = Collection->Tree()) {
        FBiDiMode = tree->BiDiMode();
        FColor = tree->Color();
    }
}

TLazyTreeColumn::~TLazyTreeColumn() = default;

TBaseLazyTree* TLazyTreeColumn::Tree() const { return FOwner->Tree(); }
TLTHeader* TLazyTreeColumn::Header() const { return FOwner->Header(); }

void TLazyTreeColumn::Changed()
{
    if (!FOwner->Updating())
        FOwner->Update(this);
}

void TLazyTreeColumn::SetAlignment(platform::Alignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Changed();
    Tree()->Invalidate();
}

void TLazyTreeColumn::SetBiDiMode(TBiDiMode Value)
{
    if (Value == FBiDiMode)
        return;
    FBiDiMode = Value;
    FOptions -= coParentBidiMode;
    Changed();
    Tree()->Invalidate();
}

platform::Alignment TLazyTreeColumn::CaptionAlignment() const
{
    return FOptions.contains(coUseCaptionAlignment) ? FCaptionAlignment : FAlignment;
}

void TLazyTreeColumn::SetCaptionAlignment(platform::Alignment Value)
{
    if (FOptions.contains(coUseCaptionAlignment) && FCaptionAlignment == Value)
        return;
    FCaptionAlignment = Value;
    FOptions += coUseCaptionAlignment;
    Header()->Invalidate(FIndex);
}

void TLazyTreeColumn::SetCheckType(TCheckType Value)
{
    if (Value == FCheckType)
        return;
    FCheckType = Value;
    Changed();
}

void TLazyTreeColumn::SetCheckState(TCheckState Value)
{
    if (Value == FCheckState)
        return;
    FCheckState = Value;
    Changed();
}

void TLazyTreeColumn::SetCheckBox(bool Value)
{
    if (Value == FCheckBox)
        return;
    FCheckBox = Value;
    Changed();
}

void TLazyTreeColumn::SetColor(platform::Color Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    FOptions -= coParentColor;
    Changed();
    Tree()->Invalidate();
}

void TLazyTreeColumn::SetImageIndex(int Value)
{
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    Changed();
}

void TLazyTreeColumn::SetLayout(TLTHeaderColumnLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    Changed();
}

void TLazyTreeColumn::SetMargin(int Value)
{
    if (Value < 0)
        Value = 4;
    Value = std::min(Value, MaxColumnSpacing);
    if (Value == FMargin)
        return;
    FMargin = Value;
    Changed();
}

void TLazyTreeColumn::SetMaxWidth(int Value)
{
    FMaxWidth = std::max(std::min(Value, MaxColumnWidth), FMinWidth);
    SetWidth(FWidth);
}

void TLazyTreeColumn::SetMinWidth(int Value)
{
    FMinWidth = std::min(std::max(Value, 0), std::min(FMaxWidth, MaxColumnWidth));
    SetWidth(FWidth);
}

void TLazyTreeColumn::SetSpacing(int Value)
{
    Value = std::clamp(Value, -MaxColumnSpacing, MaxColumnSpacing);
    if (Value == FSpacing)
        return;
    FSpacing = Value;
    Changed();
}

void TLazyTreeColumn::SetStyle(TLazyTreeColumnStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TLazyTreeColumn::SetText(const QString& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    FCaptionText.clear();
    Changed();
}

void TLazyTreeColumn::SetOptions(TLTColumnOptions Value)
{
    if (Value == FOptions)
        return;
    const TLTColumnOptions toBeSet = Value - FOptions;
    const TLTColumnOptions toBeCleared = FOptions - Value;
    FOptions = Value;
    TBaseLazyTree* tree = Tree();
    if (toBeSet.contains(coParentBidiMode))
        FBiDiMode = tree->BiDiMode();
    if (toBeSet.contains(coParentColor))
        FColor = tree->Color();
    if (toBeSet.contains(coAutoSpring))
        FSpringRest = 0;
    if ((toBeSet.contains(coFixed) || toBeCleared.contains(coFixed)) && FOptions.contains(coVisible))
        Header()->ApplyFixedAreaConstraints();
    Changed();
    if (tree->IsLoading())
        return;
    const bool visibility = toBeSet.contains(coVisible) || toBeCleared.contains(coVisible);
    if ((visibility || toBeSet.contains(coParentColor)) && tree->UpdateCount() == 0 && tree->HandleAllocated()) {
        tree->Invalidate();
        if (visibility)
            tree->UpdateHorizontalScrollBar(false);
    }
}

void TLazyTreeColumn::SetPosition(TColumnPosition Value)
{
    TBaseLazyTree* tree = Tree();
    if (tree->IsLoading()) {
        FPosition = Value;
        FOwner->FNeedPositionsFix = true;
        return;
    }
    const int count = FOwner->Count();
    if (Value > TColumnPosition(count - 1))
        Value = TColumnPosition(count - 1);
    if (Value == FPosition)
        return;
    FOwner->SyncPositionArray();
    tree->CancelEditNode();
    auto& positions = FOwner->FPositionToIndex;
    auto it = std::find(positions.begin(), positions.end(), FIndex);
    if (it == positions.end())
        return;
    positions.erase(it);
    positions.insert(positions.begin() + Value, FIndex);
    FPosition = Value;
    Changed();
    if (!FOwner->Updating() && tree->HandleAllocated()) {
        Header()->Invalidate(FIndex);
        tree->Invalidate();
    }
    // A column takes the fixed state of the neighbour it joins.
    TColumnIndex neighbour = NoColumn;
    if (FOptions.contains(coFixed) && Value > 0)
        neighbour = FOwner->ColumnFromPosition(Value - 1);
    else
        neighbour = FOwner->ColumnFromPosition(Value + 1);
    if (FOwner->IsValidColumn(neighbour)) {
        const bool fixed = FOwner->Items(neighbour)->Options().contains(coFixed);
        SetOptions(fixed ? FOptions + coFixed : FOptions - coFixed);
    }
}

void TLazyTreeColumn::SetWidth(int Value)
{
    TLTHeader* header = Header();
    TBaseLazyTree* tree = Tree();
    Value = std::clamp(Value, 0, MaxColumnWidth);
    if (!header->FStates.contains(hsScaling)) {
        if (FOptions.contains(coVisible) && FOptions.contains(coFixed)) {
            // The fixed columns together stay within the fixed-area constraints.
            const TLTFixedAreaConstraints& c = header->FixedAreaConstraints();
            int sumMax = 0;
            int sumMin = 0;
            for (TLazyTreeColumn* column : FOwner->GetVisibleColumns())
                if (column->FOptions.contains(coFixed)) {
                    sumMax += column->FMaxWidth;
                    sumMin += column->FMinWidth;
                }
            const int cw = tree->ClientWidth();
            const int vfw = FOwner->GetVisibleFixedWidth();
            if (c.MaxWidthPercent() > 0)
                sumMin = std::min(cw * c.MaxWidthPercent() / 100, sumMin);
            if (c.MinWidthPercent() > 0)
                sumMax = std::max(cw * c.MinWidthPercent() / 100, sumMax);
            const int effMax = std::min(sumMax - (vfw - FWidth), FMaxWidth);
            const int effMin = std::max(sumMin - (vfw - FWidth), FMinWidth);
            Value = std::min(std::max(Value, effMin), effMax);
            if (c.MinWidthPercent() > 0)
                Value = std::max(cw * c.MinWidthPercent() / 100 - vfw + FWidth, Value);
            if (c.MaxWidthPercent() > 0)
                Value = std::min(cw * c.MaxWidthPercent() / 100 - vfw + FWidth, Value);
        } else {
            Value = std::min(std::max(Value, FMinWidth), FMaxWidth);
        }
    }
    if (Value == FWidth)
        return;
    FLastWidth = FWidth;
    if (!header->FStates.contains(hsResizing))
        FBonusPixel = false;
    const TColumnIndex autoSize =
        FOwner->IsValidColumn(header->AutoSizeIndex()) ? header->AutoSizeIndex() : FOwner->Count() - 1;
    if (!(header->Options().contains(hoAutoResize) && FIndex == autoSize)) {
        FWidth = Value;
        FOwner->RecalculateLefts();
    }
    if (!tree->IsLoading() && !FOwner->Updating()) {
        if (header->Options().contains(hoAutoResize))
            FOwner->FitAutoSizeColumn();
        tree->DoColumnResize(FIndex);
    }
}

int TLazyTreeColumn::Left() const
{
    if (FOptions.contains(coVisible) && FOptions.contains(coFixed))
        return FLeft;
    return FLeft - Tree()->EffectiveOffsetX();
}

void TLazyTreeColumn::UnscrolledBounds(int& Left, int& Right) const
{
    Left = FLeft;
    Right = FLeft + FWidth;
}

Rect TLazyTreeColumn::GetRect() const
{
    Rect r = Tree()->HeaderRect();
    r.left += FLeft;
    r.right = r.left + FWidth;
    return r;
}

QString TLazyTreeColumn::GetDisplayName() const
{
    const QString text = GetText();
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return QStringLiteral("Column %1").arg(FIndex);
    return text;
}

bool TLazyTreeColumn::Equals(const TLazyTreeColumn* Other) const
{
    if (!Other)
        return false;
    return FBiDiMode == Other->FBiDiMode && FImageIndex == Other->FImageIndex && FLayout == Other->FLayout &&
           FMargin == Other->FMargin && FMaxWidth == Other->FMaxWidth && FMinWidth == Other->FMinWidth &&
           FPosition == Other->FPosition && FSpacing == Other->FSpacing && FStyle == Other->FStyle &&
           GetText() == Other->GetText() && FHint == Other->FHint && FWidth == Other->FWidth &&
           FAlignment == Other->FAlignment && CaptionAlignment() == Other->CaptionAlignment() &&
           FColor == Other->FColor && FTag == Other->FTag && FOptions == Other->FOptions;
}

void TLazyTreeColumn::Assign(const TLazyTreeColumn* Source)
{
    if (!Source)
        return;
    const TLTColumnOptions saved = FOptions;
    FOptions = {};
    SetBiDiMode(Source->FBiDiMode);
    SetImageIndex(Source->FImageIndex);
    SetLayout(Source->FLayout);
    SetMargin(Source->FMargin);
    SetMaxWidth(Source->FMaxWidth);
    SetMinWidth(Source->FMinWidth);
    SetPosition(Source->FPosition);
    SetSpacing(Source->FSpacing);
    SetStyle(Source->FStyle);
    SetText(Source->GetText());
    FHint = Source->FHint;
    SetWidth(Source->FWidth);
    SetAlignment(Source->FAlignment);
    FCaptionAlignment = Source->CaptionAlignment();
    SetColor(Source->FColor);
    FTag = Source->FTag;
    FOptions = saved;
    SetOptions(Source->FOptions);
    Changed();
}

void TLazyTreeColumn::ParentBiDiModeChanged()
{
    if (FOptions.contains(coParentBidiMode) && Tree()->BiDiMode() != FBiDiMode) {
        FBiDiMode = Tree()->BiDiMode();
        Changed();
    }
}

void TLazyTreeColumn::ParentColorChanged()
{
    if (FOptions.contains(coParentColor) && Tree()->Color() != FColor) {
        FColor = Tree()->Color();
        Changed();
    }
}

void TLazyTreeColumn::RestoreLastWidth() { FOwner->AnimatedResize(FIndex, FLastWidth); }

// --- collection ---------------------------------------------------------------------------------

TLazyTreeColumns::TLazyTreeColumns(TLTHeader* Header)
    : FHeader(Header)
{
}

TLazyTreeColumns::~TLazyTreeColumns()
{
    FClearing = true;
    FItems.clear();
}

TBaseLazyTree* TLazyTreeColumns::Tree() const { return FHeader->Treeview(); }

TLazyTreeColumn* TLazyTreeColumns::Items(TColumnIndex Index) const
{
    if (!IsValidColumn(Index))
        throw platform::EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return FItems[size_t(Index)].get();
}

std::unique_ptr<TLazyTreeColumn> TLazyTreeColumns::NewColumn() { return Tree()->GetColumnClass(this); }

TLazyTreeColumn* TLazyTreeColumns::Add()
{
    std::unique_ptr<TLazyTreeColumn> column = NewColumn();
    TLazyTreeColumn* result = column.get();
    result->FIndex = Count();
    FItems.push_back(std::move(column));
    result->FPosition = TColumnPosition(Count() - 1);
    SyncPositionArray();
    Notify(result, false);
    if (!Updating())
        Update(nullptr);
    return result;
}

void TLazyTreeColumns::RemoveColumn(TLazyTreeColumn* Column)
{
    const TColumnIndex index = Column->FIndex;
    if (!FClearing) {
        Tree()->CancelEditNode();
        auto it = std::find(FPositionToIndex.begin(), FPositionToIndex.end(), index);
        if (it != FPositionToIndex.end())
            FPositionToIndex.erase(it);
        for (TColumnIndex& i : FPositionToIndex)
            if (i > index)
                --i;
        auto adjust = [index](TColumnIndex& i) {
            if (i == index)
                i = NoColumn;
            else if (i > index)
                --i;
        };
        adjust(FHoverIndex);
        adjust(FDownIndex);
        adjust(FTrackIndex);
        adjust(FClickIndex);
        adjust(FHeader->FAutoSizeIndex);
        adjust(FHeader->FSortColumn);
        if (FHeader->FMainColumn == index)
            FHeader->FMainColumn = Count() > 1 ? 0 : NoColumn;
        else if (FHeader->FMainColumn > index)
            --FHeader->FMainColumn;
    }
    Notify(Column, true);
    FItems.erase(FItems.begin() + index);
    for (size_t i = size_t(index); i < FItems.size(); ++i)
        FItems[i]->FIndex = TColumnIndex(i);
}

void TLazyTreeColumns::Delete(TColumnIndex Index)
{
    RemoveColumn(Items(Index));
    if (!Updating())
        Update(nullptr);
}

void TLazyTreeColumns::Clear()
{
    FClearing = true;
    try {
        TBaseLazyTree* tree = Tree();
        tree->CancelEditNode();
        FHoverIndex = NoColumn;
        FDownIndex = NoColumn;
        FTrackIndex = NoColumn;
        FClickIndex = NoColumn;
        FCheckBoxHit = false;
        if (!FHeader->FStates.contains(hsLoading)) {
            FHeader->FAutoSizeIndex = NoColumn;
            FHeader->FMainColumn = NoColumn;
            FHeader->FSortColumn = NoColumn;
        }
        if (!tree->IsLoading())
            tree->FFocusedColumn = NoColumn;
        FItems.clear();
        FPositionToIndex.clear();
    } catch (...) {
        FClearing = false;
        throw;
    }
    FClearing = false;
    if (!Updating())
        Update(nullptr);
}

void TLazyTreeColumns::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Update(nullptr);
}

void TLazyTreeColumns::Assign(const TLazyTreeColumns* Source)
{
    if (!Source)
        return;
    BeginUpdate();
    try {
        Clear();
        for (const auto& item : Source->FItems) {
            TLazyTreeColumn* column = Add();
            column->Assign(item.get());
        }
        FPositionToIndex = Source->FPositionToIndex;
        FNeedPositionsFix = false;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    RecalculateLefts(true);
}

bool TLazyTreeColumns::Equals(const TLazyTreeColumns* Other) const
{
    if (!Other || Other->Count() != Count())
        return false;
    for (size_t i = 0; i < FPositionToIndex.size(); ++i)
        if (i >= Other->FPositionToIndex.size() || FPositionToIndex[i] != Other->FPositionToIndex[i])
            return false;
    for (int i = 0; i < Count(); ++i)
        if (!FItems[size_t(i)]->Equals(Other->FItems[size_t(i)].get()))
            return false;
    return true;
}

void TLazyTreeColumns::Notify(TLazyTreeColumn* Item, bool Removed)
{
    TBaseLazyTree* tree = Tree();
    if (!Removed || tree->IsLoading())
        return;
    if (Item->FIndex == tree->FFocusedColumn)
        tree->FFocusedColumn = NoColumn;
    else if (tree->FFocusedColumn > Item->FIndex)
        --tree->FFocusedColumn;
}

void TLazyTreeColumns::SyncPositionArray()
{
    const int count = Count();
    if (int(FPositionToIndex.size()) == count)
        return;
    if (int(FPositionToIndex.size()) < count) {
        for (int i = int(FPositionToIndex.size()); i < count; ++i)
            FPositionToIndex.push_back(i);
        return;
    }
    FPositionToIndex.resize(size_t(count));
    // Indexes past the end come down until every one is in range.
    bool again = true;
    while (again) {
        again = false;
        for (TColumnIndex& i : FPositionToIndex)
            if (i >= count) {
                --i;
                again = true;
            }
    }
}

void TLazyTreeColumns::RecalculateLefts(bool Force)
{
    TBaseLazyTree* tree = Tree();
    if (tree->IsDestroying() || FNeedPositionsFix || (!Force && Updating()))
        return;
    SyncPositionArray();
    int left = 0;
    for (size_t position = 0; position < FPositionToIndex.size(); ++position) {
        const TColumnIndex index = FPositionToIndex[position];
        if (!IsValidColumn(index))
            continue;
        TLazyTreeColumn* column = FItems[size_t(index)].get();
        column->FPosition = TColumnPosition(position);
        column->FLeft = left;
        if (column->FOptions.contains(coVisible))
            left += column->FWidth;
    }
    if (tree->HandleAllocated())
        tree->UpdateHorizontalScrollBar(false);
}

void TLazyTreeColumns::Update(TLazyTreeColumn* Item)
{
    TBaseLazyTree* tree = Tree();
    SyncPositionArray();
    if (tree->IsLoading())
        FNeedPositionsFix = true;
    else
        RecalculateLefts();
    if (Count() > 0 && FHeader->FMainColumn < 0)
        FHeader->FMainColumn = 0;
    if (tree->IsLoading() || FHeader->FStates.contains(hsLoading))
        return;
    if (FHeader->Options().contains(hoAutoResize))
        FitAutoSizeColumn();
    if (Item) {
        FHeader->Invalidate(Item->FIndex);
    } else if (tree->HandleAllocated()) {
        tree->UpdateHorizontalScrollBar(false);
        FHeader->Invalidate();
        tree->Invalidate();
    }
}

void TLazyTreeColumns::FixLoadedPositions()
{
    // A stored position outside the columns, or twice the same, falls back to the index order.
    std::vector<TColumnIndex> positions(size_t(Count()), NoColumn);
    bool valid = true;
    for (const auto& column : FItems) {
        if (column->FPosition >= positions.size() || positions[column->FPosition] != NoColumn) {
            valid = false;
            break;
        }
        positions[column->FPosition] = column->FIndex;
    }
    if (!valid)
        for (int i = 0; i < Count(); ++i)
            positions[size_t(i)] = i;
    FPositionToIndex = positions;
    FNeedPositionsFix = false;
    RecalculateLefts(true);
    if (Tree()->TreeOptions().AutoOptions().contains(toAutoBidiColumnOrdering))
        SetOrder(Tree()->UseRightToLeftReading());
}

void TLazyTreeColumns::SetOrder(bool RightToLeft)
{
    const int count = Count();
    FPositionToIndex.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        FPositionToIndex[size_t(i)] = RightToLeft ? count - 1 - i : i;
    RecalculateLefts(true);
}

void TLazyTreeColumns::FitAutoSizeColumn(bool Force)
{
    if (Count() == 0)
        return;
    const TColumnIndex index = IsValidColumn(FHeader->AutoSizeIndex()) ? FHeader->AutoSizeIndex() : Count() - 1;
    TBaseLazyTree* tree = Tree();
    int available = tree->HandleAllocated() ? tree->ClientWidth() : tree->width();
    for (const auto& column : FItems)
        if (column->FIndex != index && column->FOptions.contains(coVisible))
            available -= column->FWidth;
    TLazyTreeColumn* column = FItems[size_t(index)].get();
    const int newWidth = std::max(std::min(column->FMaxWidth, available), column->FMinWidth);
    if (!Force && newWidth == column->FWidth)
        return;
    column->FWidth = newWidth;
    RecalculateLefts();
    tree->DoColumnResize(index);
}

// --- geometry -----------------------------------------------------------------------------------

int TLazyTreeColumns::GetVisibleFixedWidth() const
{
    int width = 0;
    for (const auto& column : FItems)
        if (column->FOptions.contains(coVisible) && column->FOptions.contains(coFixed))
            width += column->FWidth;
    return width;
}

TColumnIndex TLazyTreeColumns::ColumnFromPosition(QPoint P, bool Relative) const
{
    TBaseLazyTree* tree = Tree();
    if (P.x() < 0 || P.y() < 0 || P.y() > tree->height())
        return InvalidColumn;
    int sum = (Relative && P.x() >= GetVisibleFixedWidth()) ? -tree->EffectiveOffsetX() : 0;
    if (tree->UseRightToLeftReading())
        sum += tree->ComputeRTLOffset(true);
    for (TColumnIndex index : FPositionToIndex) {
        if (!IsValidColumn(index))
            continue;
        const TLazyTreeColumn* column = FItems[size_t(index)].get();
        if (!column->FOptions.contains(coVisible))
            continue;
        sum += column->FWidth;
        if (P.x() < sum)
            return index;
    }
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::ColumnFromPosition(TColumnPosition PositionIndex) const
{
    if (PositionIndex >= FPositionToIndex.size())
        return NoColumn;
    return FPositionToIndex[PositionIndex];
}

TColumnIndex TLazyTreeColumns::ColumnAndBoundsAt(QPoint P, int& Left, int& Right, bool Relative) const
{
    TBaseLazyTree* tree = Tree();
    Left = (Relative && P.x() >= GetVisibleFixedWidth()) ? -tree->EffectiveOffsetX() : 0;
    if (tree->UseRightToLeftReading())
        Left += tree->ComputeRTLOffset(true);
    for (TColumnIndex index : FPositionToIndex) {
        if (!IsValidColumn(index))
            continue;
        const TLazyTreeColumn* column = FItems[size_t(index)].get();
        if (!column->FOptions.contains(coVisible))
            continue;
        Right = Left + column->FWidth;
        if (P.x() < Right)
            return index;
        Left = Right;
    }
    return InvalidColumn;
}

void TLazyTreeColumns::GetColumnBounds(TColumnIndex Column, int& Left, int& Right) const
{
    TBaseLazyTree* tree = Tree();
    if (Column < 0 || !IsValidColumn(Column)) {
        Left = 0;
        Right = tree->ClientWidth();
        return;
    }
    const TLazyTreeColumn* column = FItems[size_t(Column)].get();
    Left = column->Left();
    Right = Left + column->FWidth;
    if (tree->UseRightToLeftReading()) {
        const int offset = tree->ComputeRTLOffset(true);
        Left += offset;
        Right += offset;
    }
}

TColumnIndex TLazyTreeColumns::GetFirstColumn() const
{
    return FPositionToIndex.empty() ? InvalidColumn : FPositionToIndex.front();
}

TColumnIndex TLazyTreeColumns::GetNextColumn(TColumnIndex Column) const
{
    if (!IsValidColumn(Column))
        return InvalidColumn;
    const TColumnPosition position = FItems[size_t(Column)]->FPosition;
    if (position + 1 >= FPositionToIndex.size())
        return InvalidColumn;
    return FPositionToIndex[position + 1];
}

TColumnIndex TLazyTreeColumns::GetPreviousColumn(TColumnIndex Column) const
{
    if (!IsValidColumn(Column))
        return InvalidColumn;
    const TColumnPosition position = FItems[size_t(Column)]->FPosition;
    if (position == 0 || position > FPositionToIndex.size())
        return InvalidColumn;
    return FPositionToIndex[position - 1];
}

namespace {
bool shown(const TLazyTreeColumn* column, bool considerAllowFocus)
{
    return column->Options().contains(coVisible) && (!considerAllowFocus || column->Options().contains(coAllowFocus));
}
} // namespace

TColumnIndex TLazyTreeColumns::GetFirstVisibleColumn(bool ConsiderAllowFocus) const
{
    for (TColumnIndex index : FPositionToIndex)
        if (IsValidColumn(index) && shown(FItems[size_t(index)].get(), ConsiderAllowFocus))
            return index;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetLastVisibleColumn(bool ConsiderAllowFocus) const
{
    for (auto it = FPositionToIndex.rbegin(); it != FPositionToIndex.rend(); ++it)
        if (IsValidColumn(*it) && shown(FItems[size_t(*it)].get(), ConsiderAllowFocus))
            return *it;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::StepToVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus, int Step) const
{
    if (Column < 0)
        return InvalidColumn;
    auto step = [&](TColumnIndex c) { return Step > 0 ? GetNextColumn(c) : GetPreviousColumn(c); };
    for (Column = step(Column); Column >= 0; Column = step(Column))
        if (shown(FItems[size_t(Column)].get(), ConsiderAllowFocus))
            return Column;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const
{
    return StepToVisibleColumn(Column, ConsiderAllowFocus, 1);
}

TColumnIndex TLazyTreeColumns::GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const
{
    return StepToVisibleColumn(Column, ConsiderAllowFocus, -1);
}

std::vector<TLazyTreeColumn*> TLazyTreeColumns::GetVisibleColumns() const
{
    std::vector<TLazyTreeColumn*> result;
    for (TColumnIndex index : FPositionToIndex)
        if (IsValidColumn(index) && FItems[size_t(index)]->FOptions.contains(coVisible))
            result.push_back(FItems[size_t(index)].get());
    return result;
}

int TLazyTreeColumns::GetScrollWidth() const
{
    int count = 0;
    int64_t sum = 0;
    for (const auto& column : FItems)
        if (column->FOptions.contains(coVisible) && !column->FOptions.contains(coFixed)) {
            ++count;
            sum += column->FWidth;
        }
    if (count == 0)
        return int(Tree()->Indent());
    return int(std::nearbyint(double(sum) / count));
}

int TLazyTreeColumns::TotalWidth() const
{
    if (Count() == 0 || FPositionToIndex.empty())
        return 0;
    TColumnIndex last = FPositionToIndex.back();
    if (!IsValidColumn(last))
        return 0;
    if (!FItems[size_t(last)]->FOptions.contains(coVisible))
        last = GetPreviousVisibleColumn(last);
    if (last < 0)
        return 0;
    const TLazyTreeColumn* column = FItems[size_t(last)].get();
    return column->FLeft + column->FWidth;
}

void TLazyTreeColumns::InvalidateColumn(TColumnIndex Column) { FHeader->Invalidate(Column); }

void TLazyTreeColumns::AnimatedResize(TColumnIndex Column, int NewWidth)
{
    if (!IsValidColumn(Column))
        return;
    TLazyTreeColumn* column = FItems[size_t(Column)].get();
    NewWidth = std::min(std::max(NewWidth, column->FMinWidth), column->FMaxWidth);
    if (NewWidth == column->FWidth)
        return;
    TBaseLazyTree* tree = Tree();
    const int step = (NewWidth - column->FWidth) / 32;
    FLastAnimationStep = step;
    if (!FHeader->Options().contains(hoDisableAnimatedResize) && !column->FOptions.contains(coDisableAnimatedResize) &&
        tree->HandleAllocated() && tree->isVisible() && step != 0) {
        // The strip and the rows right of the column's border slide towards the new border.
        const int border = column->FLeft + column->FWidth - tree->EffectiveOffsetX();
        QWidget* strip = tree->HeaderStrip();
        QWidget* rows = tree->viewport();
        for (int i = 0; i < 32; ++i) {
            const int left = border + std::min(0, step) + i * step;
            const QRect area(std::max(0, left), 0, rows->width(), rows->height());
            rows->scroll(step, 0, area);
            if (strip && strip->isVisible())
                strip->scroll(step, 0, QRect(std::max(0, left), 0, strip->width(), strip->height()));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(1);
        }
    }
    column->SetWidth(NewWidth);
}

} // namespace controls
