// The header's properties, the width operations over all columns (auto-fit, proportional
// resizing, spring columns, fixed-area limits) and the strip widget.
#include "controls/tree/LazyTreeHeader.h"

#include <QHelpEvent>
#include "controls/tree/LazyTree.h"

#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace controls {

using platform::Rect;

TLTHeader::TLTHeader(TBaseLazyTree* owner)
    : FOwner(owner)
    , FColumns(std::make_unique<TLazyTreeColumns>(this))
    , FFixedAreaConstraints(std::make_unique<TLTFixedAreaConstraints>())
{
    FFixedAreaConstraints->OnChange = [this](TLTFixedAreaConstraints*) { ConstraintsChanged(); };
}

TLTHeader::~TLTHeader()
{
    FDragImage.End();
    FColumns.reset();
}

void TLTHeader::ConstraintsChanged()
{
    if (FOwner->HandleAllocated())
        ApplyFixedAreaConstraints();
    else
        FStates += hsNeedScaling;
}

// --- properties ---------------------------------------------------------------------------------

void TLTHeader::SetAutoSizeIndex(TColumnIndex value)
{
    if (value == FAutoSizeIndex)
        return;
    FAutoSizeIndex = value;
    if (FOptions.contains(hoAutoResize))
        FColumns->FitAutoSizeColumn();
}

void TLTHeader::SetBackground(platform::Color value)
{
    if (value == FBackgroundColor)
        return;
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
    FontChanged();
}

void TLTHeader::SetFontColor(platform::Color value)
{
    if (value == FFontColor)
        return;
    FFontColor = value;
    Invalidate();
}

void TLTHeader::FontChanged()
{
    if (FOwner->TreeOptions().AutoOptions().contains(toAutoChangeScale)) {
        int maxSpacing = 0;
        for (int i = 0; i < FColumns->Count(); ++i)
            maxSpacing = std::max(maxSpacing, FColumns->Items(i)->Spacing());
        const int h = QFontMetrics(FFont).boundingRect(QStringLiteral("Q")).height() + std::max(maxSpacing, 0) * 3 / 2;
        SetHeight(std::max(FHeight, h));
    }
    Invalidate();
}

void TLTHeader::SetHeight(int value)
{
    value = std::clamp(value, 0, MaxHeaderHeight);
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
    if (images == FImages)
        return;
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
    FMaxHeight = std::max(std::min(value, MaxHeaderHeight), FMinHeight);
    SetHeight(FHeight);
}

void TLTHeader::SetMinHeight(int value)
{
    FMinHeight = std::min(std::max(value, 0), std::min(FMaxHeight, MaxHeaderHeight));
    SetHeight(FHeight);
}

void TLTHeader::SetOptions(TLTHeaderOptions value)
{
    const TLTHeaderOptions old = FOptions;
    FOptions = value;
    const bool autoResizeChanged = old.contains(hoAutoResize) != value.contains(hoAutoResize);
    if (autoResizeChanged && ColumnCount() > 0) {
        FColumns->FitAutoSizeColumn();
        if (FOwner->HandleAllocated()) {
            FOwner->UpdateHorizontalScrollBar(false);
            if (value.contains(hoAutoResize))
                FOwner->Invalidate();
        }
    }
    if (FOwner->IsLoading() || !FOwner->HandleAllocated())
        return;
    if (old.contains(hoVisible) != value.contains(hoVisible))
        RecalculateHeader();
    Invalidate();
    FOwner->Invalidate();
}

void TLTHeader::SetParentFont(bool value)
{
    if (value == FParentFont)
        return;
    FParentFont = value;
    if (value) {
        FFont = FOwner->font();
        FontChanged();
    }
}

void TLTHeader::SetSortColumn(TColumnIndex value)
{
    if (FOwner->IsLoading()) {
        FSortColumn = value;
        return;
    }
    DoSetSortColumn(value);
}

void TLTHeader::DoSetSortColumn(TColumnIndex value)
{
    value = std::clamp(value, -1, ColumnCount() - 1);
    if (value == FSortColumn)
        return;
    if (FSortColumn >= 0)
        Invalidate(FSortColumn);
    FSortColumn = value;
    if (FSortColumn >= 0)
        Invalidate(FSortColumn);
    if ((FOwner->TreeOptions().AutoOptions().contains(toAutoSort) || FOptions.contains(hoHeaderClickAutoSort)) &&
        FOwner->UpdateCount() == 0)
        FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TLTHeader::SetSortDirection(TSortDirection value)
{
    if (value == FSortDirection)
        return;
    FSortDirection = value;
    Invalidate();
    if ((FOwner->TreeOptions().AutoOptions().contains(toAutoSort) || FOptions.contains(hoHeaderClickAutoSort)) &&
        FOwner->UpdateCount() == 0)
        FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TLTHeader::SetStyle(TLTHeaderStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    if (!FOwner->IsLoading())
        Invalidate();
}

bool TLTHeader::AllowFocus(TColumnIndex column) const
{
    return IsValidColumn(column) && FColumns->Items(column)->Options().contains(coAllowFocus);
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
    FColumns->Assign(other->FColumns.get());
    SetFont(other->FFont);
    FFontColor = other->FFontColor;
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

void TLTHeader::ChangeScale(int M, int D)
{
    if (D == 0)
        return;
    auto mulDiv = [M, D](int v) { return int(std::lround(double(v) * M / D)); };
    SetHeight(mulDiv(FHeight));
    if (!FParentFont) {
        QFont f = FFont;
        if (f.pixelSize() > 0)
            f.setPixelSize(mulDiv(f.pixelSize()));
        else if (f.pointSizeF() > 0)
            f.setPointSizeF(f.pointSizeF() * M / D);
        FFont = f;
        FontChanged();
    }
    for (int i = 0; i < ColumnCount(); ++i)
        FColumns->Items(i)->SetWidth(mulDiv(FColumns->Items(i)->Width()));
}

// --- the strip ----------------------------------------------------------------------------------

bool TLTHeader::InHeader(QPoint p) const
{
    if (!FOptions.contains(hoVisible))
        return false;
    // The strip in client coordinates: above the rows, as wide as the header.
    const Rect r = FOwner->HeaderRect();
    const Rect client{0, -r.height(), r.width(), 0};
    return p.x() >= client.left && p.x() < client.right && p.y() >= client.top && p.y() < client.bottom;
}

bool TLTHeader::InHeaderSplitterArea(QPoint p) const
{
    if (!FOptions.contains(hoVisible) || p.y() < -2 || p.y() > 2)
        return false;
    const Rect r = FOwner->HeaderRect();
    return p.x() >= 0 && p.x() < r.width() && p.y() >= -r.height() && p.y() < 2;
}

void TLTHeader::Invalidate(TColumnIndex column, bool expandToBorder)
{
    if (!FOptions.contains(hoVisible) || !FOwner->HandleAllocated())
        return;
    QWidget* strip = FOwner->HeaderStrip();
    if (!strip)
        return;
    if (!IsValidColumn(column)) {
        strip->update();
        return;
    }
    const TLazyTreeColumn* c = FColumns->Items(column);
    int left = c->FLeft;
    if (!c->Options().contains(coFixed))
        left -= FOwner->EffectiveOffsetX();
    if (FOwner->UseRightToLeftReading())
        left += FOwner->ComputeRTLOffset(false);
    int right = left + c->Width();
    if (expandToBorder) {
        if (FOptions.contains(hoFullRepaintOnResize)) {
            left = 0;
            right = strip->width();
        } else if (FOwner->UseRightToLeftReading()) {
            left = 0;
        } else {
            right = strip->width();
        }
    }
    strip->update(QRect(left, 0, right - left, strip->height()));
}

void TLTHeader::RecalculateHeader()
{
    if (FOwner->HandleAllocated())
        FOwner->UpdateHeaderRect();
}

bool TLTHeader::HandleResize()
{
    TLTHeaderMessage size;
    size.Msg = THeaderMessage::Size;
    HandleMessage(size);
    SpringColumns();
    return false;
}

void TLTHeader::ApplyFixedAreaConstraints()
{
    if (FOwner->IsLoading() || FOwner->IsDestroying() || FStates.contains(hsLoading) || !FOwner->HandleAllocated())
        return;
    FStates += hsScaling;
    SetHeight(FHeight);
    RecalculateHeader();
    const TLTFixedAreaConstraints& c = *FFixedAreaConstraints;
    if (c.MinHeightPercent() > 0 || c.MaxHeightPercent() > 0) {
        int fixedWidth = 0;
        for (TLazyTreeColumn* column : FColumns->GetVisibleColumns())
            if (column->Options().contains(coFixed)) {
                if (column->FWidth < column->FMinWidth)
                    column->FWidth = column->FMinWidth;
                fixedWidth += column->FWidth;
            }
        const int cw = FOwner->ClientWidth();
        const int minFixed = cw * c.MinWidthPercent() / 100;
        const int maxFixed = cw * c.MaxWidthPercent() / 100;
        if (c.MaxWidthPercent() > 0 && fixedWidth > maxFixed)
            ResizeColumns(maxFixed - fixedWidth, 0, ColumnCount() - 1, {coVisible, coFixed});
        else if (c.MinWidthPercent() > 0 && fixedWidth < minFixed)
            ResizeColumns(minFixed - fixedWidth, 0, ColumnCount() - 1, {coVisible, coFixed});
        FColumns->RecalculateLefts(true);
    }
    FStates -= THeaderStates{hsScaling, hsNeedScaling};
}

void TLTHeader::SpringColumns()
{
    const int width = FOwner->HeaderRect().width();
    if (FOptions.contains(hoAutoSpring) && FLastWidth != 0) {
        const float difference = float(width - FLastWidth);
        const int sign = difference >= 0 ? 1 : -1;
        if (difference != 0) {
            float remaining = std::fabs(difference);
            int springCount = 0;
            for (int i = 0; i < ColumnCount(); ++i) {
                const TLTColumnOptions o = FColumns->Items(i)->Options();
                if (o.contains(coVisible) && o.contains(coAutoSpring))
                    ++springCount;
            }
            if (springCount > 0) {
                const float share = remaining / float(springCount);
                for (int i = 0; i < ColumnCount() && remaining >= 0; ++i) {
                    TLazyTreeColumn* column = FColumns->Items(i);
                    if (!column->Options().contains(coVisible) || !column->Options().contains(coAutoSpring))
                        continue;
                    const float space = column->FSpringRest + share;
                    if (space >= 1)
                        column->SetWidth(column->Width() + sign * int(std::trunc(space)));
                    column->FSpringRest = space - std::trunc(space);
                    remaining -= share;
                }
            }
        }
    }
    FLastWidth = width;
}

// --- widths -------------------------------------------------------------------------------------

int TLTHeader::ResizeColumns(int ChangeBy, TColumnIndex RangeStartCol, TColumnIndex RangeEndCol, TLTColumnOptions Options)
{
    if (ChangeBy == 0 || ColumnCount() == 0)
        return 0;
    RangeStartCol = std::max(RangeStartCol, 0);
    RangeEndCol = std::min(RangeEndCol, ColumnCount() - 1);
    if (RangeEndCol < RangeStartCol)
        return 0;
    const bool growing = ChangeBy > 0;
    const int sign = growing ? 1 : -1;
    const TColumnIndex startIndex = growing ? RangeStartCol : RangeEndCol;
    int remaining = std::abs(ChangeBy);
    const int n = RangeEndCol - RangeStartCol + 1;
    std::vector<int> widths(static_cast<size_t>(n));
    std::vector<int> limits(static_cast<size_t>(n));
    std::vector<bool> takes(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const TLazyTreeColumn* column = FColumns->Items(RangeStartCol + i);
        widths[size_t(i)] = column->FWidth;
        limits[size_t(i)] = growing ? column->FMaxWidth : column->FMinWidth;
        takes[size_t(i)] = Options <= column->Options();
    }
    auto canChange = [&](int i) {
        return takes[size_t(i)] && (growing ? widths[size_t(i)] < limits[size_t(i)] : widths[size_t(i)] > limits[size_t(i)]);
    };
    auto moveBy = [&](int i, int by) {
        // Moves column i by `by` towards its limit, clamped; returns the amount moved.
        const int before = widths[size_t(i)];
        widths[size_t(i)] = growing ? std::min(before + by, limits[size_t(i)]) : std::max(before - by, limits[size_t(i)]);
        return std::abs(widths[size_t(i)] - before);
    };
    for (;;) {
        int changeable = 0;
        int count = 0;
        for (int i = 0; i < n; ++i)
            if (canChange(i)) {
                changeable += std::abs(limits[size_t(i)] - widths[size_t(i)]);
                ++count;
            }
        if (changeable < std::abs(ChangeBy) && FStates.contains(hsScaling) && !growing) {
            // Under the fixed-area constraints the widest column's limit gives way a tenth.
            int widest = -1;
            for (int i = 0; i < n; ++i)
                if (takes[size_t(i)] && (widest < 0 || widths[size_t(i)] > widths[size_t(widest)]))
                    widest = i;
            if (widest >= 0 && limits[size_t(widest)] > 10) {
                limits[size_t(widest)] -= limits[size_t(widest)] / 10;
                continue;
            }
        }
        if (count == 0)
            break;
        remaining = std::min(remaining, changeable);
        int rest = remaining % count;
        const int each = remaining / count;
        if (each > 0)
            for (int i = 0; i < n; ++i)
                if (canChange(i))
                    remaining -= moveBy(i, each);
        // Odd pixels go to the columns that did not get one last time.
        int index = startIndex;
        int guard = 0;
        while (rest > 0 && guard++ < 4 * n + 4) {
            const int i = index - RangeStartCol;
            TLazyTreeColumn* column = FColumns->Items(index);
            if (canChange(i) && column->FBonusPixel != growing) {
                const int moved = moveBy(i, 1);
                column->FBonusPixel = growing;
                rest -= moved;
                remaining -= moved;
            }
            index += sign;
            if (index < RangeStartCol || index > RangeEndCol) {
                for (int j = 0; j < n; ++j)
                    if (takes[size_t(j)])
                        FColumns->Items(RangeStartCol + j)->FBonusPixel = !FColumns->Items(RangeStartCol + j)->FBonusPixel;
                index = startIndex;
            }
        }
        if (remaining <= 0)
            break;
        bool any = false;
        for (int i = 0; i < n; ++i)
            any = any || canChange(i);
        if (!any)
            break;
    }
    int result = 0;
    FStates += hsResizing;
    for (int i = 0; i < n; ++i) {
        if (!takes[size_t(i)])
            continue;
        TLazyTreeColumn* column = FColumns->Items(RangeStartCol + i);
        result += widths[size_t(i)] - column->FWidth;
        column->SetWidth(widths[size_t(i)]);
    }
    FStates -= hsResizing;
    return result;
}

void TLTHeader::AutoFitColumns(bool Animated, TSmartAutoFitType SmartAutoFitType, int RangeStartCol, int RangeEndCol)
{
    const int start = std::max(RangeStartCol, 0);
    const int end = RangeEndCol < 0 ? ColumnCount() - 1 : std::min(RangeEndCol, ColumnCount() - 1);
    if (end < start)
        return;
    FOwner->StartOperation(okAutoFitColumns);
    try {
        FOwner->DoBeforeAutoFitColumns(SmartAutoFitType);
        for (int position = start; position <= end; ++position) {
            const TColumnIndex index = FColumns->ColumnFromPosition(TColumnPosition(position));
            if (!IsValidColumn(index))
                continue;
            TLazyTreeColumn* column = FColumns->Items(index);
            if (!column->Options().contains(coResizable) || !column->Options().contains(coVisible))
                continue;
            TSmartAutoFitType type = SmartAutoFitType;
            if (!DoBeforeAutoFitColumn(index, type) || FOwner->OperationCanceled())
                continue;
            const bool smart = type == smaAllColumns || (type == smaUseColumnOption && column->Options().contains(coSmartResize));
            const int width = FOwner->GetMaxColumnWidth(index, smart);
            if (Animated)
                FColumns->AnimatedResize(index, width);
            else
                column->SetWidth(width);
            DoAfterAutoFitColumn(index);
        }
        FOwner->DoAfterAutoFitColumns();
    } catch (...) {
        FOwner->EndOperation(okAutoFitColumns);
        throw;
    }
    FOwner->EndOperation(okAutoFitColumns);
}

void TLTHeader::RestoreColumns()
{
    for (int position = ColumnCount() - 1; position >= 0; --position) {
        const TColumnIndex index = FColumns->ColumnFromPosition(TColumnPosition(position));
        if (!IsValidColumn(index))
            continue;
        TLazyTreeColumn* column = FColumns->Items(index);
        if (column->Options().contains(coResizable) && column->Options().contains(coVisible))
            column->RestoreLastWidth();
    }
}

// --- dispatchers --------------------------------------------------------------------------------

void TLTHeader::DoAfterAutoFitColumn(TColumnIndex Column) { FOwner->DoAfterAutoFitColumn(Column); }
void TLTHeader::DoAfterColumnWidthTracking(TColumnIndex Column) { FOwner->DoAfterColumnWidthTracking(Column); }
void TLTHeader::DoAfterHeightTracking() { FOwner->DoAfterHeaderHeightTracking(); }

bool TLTHeader::DoBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType)
{
    bool allowed = true;
    if (FOwner->OnBeforeAutoFitColumn)
        FOwner->OnBeforeAutoFitColumn(FOwner, Column, SmartAutoFitType, allowed);
    return allowed;
}

void TLTHeader::DoBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift)
{
    FOwner->DoBeforeColumnWidthTracking(Column, Shift);
}

void TLTHeader::DoBeforeHeightTracking(TShiftState Shift) { FOwner->DoBeforeHeaderHeightTracking(Shift); }

void TLTHeader::DoCanSplitterResize(QPoint P, bool& Allowed)
{
    if (FOwner->OnCanSplitterResizeHeader)
        FOwner->OnCanSplitterResizeHeader(FOwner, P, Allowed);
}

bool TLTHeader::DoColumnWidthDblClickResize(TColumnIndex Column, QPoint P, TShiftState Shift)
{
    return FOwner->DoColumnWidthDblClickResize(Column, Shift, P);
}

bool TLTHeader::DoColumnWidthTracking(TColumnIndex Column, TShiftState Shift, QPoint& TrackPoint, QPoint P)
{
    return FOwner->DoColumnWidthTracking(Column, Shift, TrackPoint, P);
}

QMenu* TLTHeader::DoGetPopupMenu(TColumnIndex Column, QPoint P)
{
    QMenu* menu = nullptr;
    bool askParent = true;
    if (FOwner->OnGetPopupMenu)
        FOwner->OnGetPopupMenu(FOwner, nullptr, Column, P, askParent, menu);
    return menu;
}

bool TLTHeader::DoHeightTracking(QPoint& P, TShiftState Shift) { return FOwner->DoHeaderHeightTracking(P, Shift); }

bool TLTHeader::DoHeightDblClickResize(QPoint& P, TShiftState Shift)
{
    return FOwner->DoHeaderHeightDblClickResize(P, Shift);
}

// --- the strip widget ---------------------------------------------------------------------------

THeaderStrip::THeaderStrip(TBaseLazyTree* tree)
    : QWidget(tree)
    , FTree(tree)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool THeaderStrip::event(QEvent* event)
{
    // Column hints: the strip's points are the tree's client points above the rows.
    if (event->type() == QEvent::ToolTip) {
        FTree->ShowHintAt(static_cast<QHelpEvent*>(event)->pos() - QPoint(0, height()), false);
        return true;
    }
    return QWidget::event(event);
}

void THeaderStrip::paintEvent(QPaintEvent* event)
{
    (void)event;
    platform::Canvas canvas(this);
    FTree->Header().Columns().PaintHeader(canvas, Rect{0, 0, width(), height()}, FTree->EffectiveOffsetX());
}

bool THeaderStrip::Send(THeaderMessage msg, QMouseEvent* event)
{
    TLTHeaderMessage m;
    m.Msg = msg;
    // Strip coordinates to the tree's client coordinates: the strip lies above y = 0.
    m.Pos = QPoint(int(event->position().x()), int(event->position().y()) - height());
    m.Shift = ShiftStateOf(event->modifiers());
    const bool consumed = FTree->Header().HandleMessage(m);
    TLTHeaderMessage cursor;
    cursor.Msg = THeaderMessage::SetCursor;
    cursor.Pos = m.Pos;
    FTree->Header().HandleMessage(cursor);
    setCursor(FTree->Header().Cursor());
    return consumed;
}

void THeaderStrip::mousePressEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        Send(THeaderMessage::NCLButtonDown, event);
        break;
    case Qt::RightButton:
        Send(THeaderMessage::NCRButtonDown, event);
        break;
    case Qt::MiddleButton:
        Send(THeaderMessage::NCMButtonDown, event);
        break;
    default:
        break;
    }
}

void THeaderStrip::mouseReleaseEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        Send(THeaderMessage::NCLButtonUp, event);
        break;
    case Qt::RightButton:
        Send(THeaderMessage::NCRButtonUp, event);
        break;
    case Qt::MiddleButton:
        Send(THeaderMessage::NCMButtonUp, event);
        break;
    default:
        break;
    }
}

void THeaderStrip::mouseDoubleClickEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        Send(THeaderMessage::NCLButtonDblClk, event);
        break;
    case Qt::RightButton:
        Send(THeaderMessage::NCRButtonDblClk, event);
        break;
    case Qt::MiddleButton:
        Send(THeaderMessage::NCMButtonDblClk, event);
        break;
    default:
        break;
    }
}

void THeaderStrip::mouseMoveEvent(QMouseEvent* event)
{
    // While the header tracks or drags it holds the mouse; otherwise a move over the strip.
    Send(FTree->Header().States().empty() ? THeaderMessage::NCMouseMove : THeaderMessage::MouseMove, event);
}

// --- drag image ---------------------------------------------------------------------------------

TLTColumnDragImage::~TLTColumnDragImage() = default;

void TLTColumnDragImage::Prepare(const QImage& Picture, QPoint ImagePosition, QPoint HotSpot, bool Restricted)
{
    FPicture = Picture;
    FImagePosition = ImagePosition;
    FHotSpot = HotSpot;
    FStart = ImagePosition;
    FRestricted = Restricted;
}

namespace {
class DragImageWindow : public QWidget {
public:
    explicit DragImageWindow(const QImage& picture)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput)
        , m_picture(picture)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        // The picture is drawn with 140 of 255 opacity.
        setWindowOpacity(140.0 / 255.0);
        resize(picture.size());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, m_picture);
    }

private:
    QImage m_picture;
};
} // namespace

void TLTColumnDragImage::Show()
{
    FVisible = true;
    FWindow = std::make_unique<DragImageWindow>(FPicture);
    FWindow->move(FImagePosition);
    FWindow->show();
}

void TLTColumnDragImage::MoveTo(QPoint P)
{
    // The image keeps its offset from the hot spot; restricted it moves horizontally only.
    QPoint position = P - FHotSpot + FStart;
    if (FRestricted)
        position.setY(FStart.y());
    FImagePosition = position;
    if (FWindow)
        FWindow->move(position);
}

void TLTColumnDragImage::End()
{
    FVisible = false;
    FWindow.reset();
}

} // namespace controls
