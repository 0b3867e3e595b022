#include "controls/tree/LazyStringTree.h"
#include "controls/tree/LazyTreeUtils.h"
#include "platform/core/Errors.h"

#include <QEvent>
#include <QFontMetrics>
#include <cstring>

namespace controls {

using platform::Canvas;
using platform::Rect;

// --- options ------------------------------------------------------------------------------------

void TCustomStringTreeOptions::SetStringOptions(TLTStringOptions value)
{
    const bool staticChanged = value.contains(toShowStaticText) != FStringOptions.contains(toShowStaticText);
    FStringOptions = value;
    if (staticChanged && Owner() && !Owner()->IsLoading() && Owner()->HandleAllocated())
        Owner()->Invalidate();
}

void TCustomStringTreeOptions::AssignTo(platform::TPersistent* dest) const
{
    if (auto* other = dynamic_cast<TCustomStringTreeOptions*>(dest))
        other->SetStringOptions(FStringOptions);
    TCustomLazyTreeOptions::AssignTo(dest);
}

// --- construction -------------------------------------------------------------------------------

namespace {
std::unique_ptr<TCustomLazyTreeOptions> makeCustomStringOptions(TBaseLazyTree* owner)
{
    return std::make_unique<TCustomStringTreeOptions>(owner);
}
std::unique_ptr<TCustomLazyTreeOptions> makeStringOptions(TBaseLazyTree* owner)
{
    return std::make_unique<TStringTreeOptions>(owner);
}
} // namespace

TCustomLazyStringTree::TCustomLazyStringTree(QWidget* parent)
    : TCustomLazyStringTree(parent, &makeCustomStringOptions)
{
}

TCustomLazyStringTree::TCustomLazyStringTree(QWidget* parent, OptionsFactory makeOptions)
    : TBaseLazyTree(parent, makeOptions)
{
    FDefaultText = QStringLiteral("Node");
    // The width cache lives in every node's own memory.
    FInternalDataOffset = AllocateInternalDataArea(sizeof(int32_t));
    UpdateFontMetrics();
}

TCustomLazyStringTree::~TCustomLazyStringTree()
{
    // The editor and the text formats need the string tree: both end while it still stands.
    CancelEditNode();
    FlushClipboard();
    FPreviouslySelected.reset();
}

TLazyStringTree::TLazyStringTree(QWidget* parent)
    : TCustomLazyStringTree(parent, &makeStringOptions)
{
}

void TCustomLazyStringTree::SetDefaultText(const QString& value)
{
    if (value == FDefaultText)
        return;
    FDefaultText = value;
    if (!IsLoading())
        Invalidate();
}

// --- measuring helpers --------------------------------------------------------------------------

Canvas& TCustomLazyStringTree::MeasureCanvas()
{
    if (!FMeasureCanvas) {
        FMeasureImage = QImage(1, 1, QImage::Format_RGB32);
        FMeasureCanvas = std::make_unique<Canvas>(&FMeasureImage);
    }
    FMeasureCanvas->font().font = font();
    return *FMeasureCanvas;
}

void TCustomLazyStringTree::UpdateFontMetrics()
{
    const QFontMetrics fm(font());
    FTextHeight = fm.height();
    FEllipsisWidth = fm.horizontalAdvance(QStringLiteral("..."));
}

void TCustomLazyStringTree::changeEvent(QEvent* event)
{
    TBaseLazyTree::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateFontMetrics();
        ClearWidthCaches();
        AutoScale();
        BuildButtonAndLineBitmaps(true, false);
        Invalidate();
    }
}

int32_t* TCustomLazyStringTree::GetTextWidthCache(PLazyNode Node)
{
    if (!Node || FInternalDataOffset == 0)
        return nullptr;
    return reinterpret_cast<int32_t*>(InternalData(Node, FInternalDataOffset));
}

void TCustomLazyStringTree::ClearWidthCaches()
{
    for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
        *GetTextWidthCache(n) = 0;
}

// --- texts --------------------------------------------------------------------------------------

void TCustomLazyStringTree::DoGetText(TVSTGetCellTextEventArgs& Args)
{
    if (!Args.Node->States.contains(vsInitialized))
        InitNode(Args.Node);
    if (OnGetCellText) {
        OnGetCellText(this, Args);
        return;
    }
    if (OnGetText) {
        OnGetText(this, Args.Node, Args.Column, ttNormal, Args.CellText);
        OnGetText(this, Args.Node, Args.Column, ttStatic, Args.StaticText);
    }
}

QString TCustomLazyStringTree::GetText(PLazyNode Node, TColumnIndex Column)
{
    LtAssert(Node != nullptr, "Node must not be nil.");
    TVSTGetCellTextEventArgs args;
    args.Node = Node;
    args.Column = Column;
    args.CellText = FDefaultText;
    DoGetText(args);
    return args.CellText;
}

void TCustomLazyStringTree::WriteChunks(TLazyTreeStreamWriter& Stream, PLazyNode Node)
{
    TBaseLazyTree::WriteChunks(Stream, Node);
    if (!StringTreeOptions().StringOptions().contains(toSaveCaptions) || Node == FRoot ||
        !Node->States.contains(vsInitialized))
        return;
    const QString text = GetText(Node, FHeader->MainColumn());
    if (text.isEmpty())
        return;
    Stream.WriteInt32(CaptionChunk);
    Stream.WriteInt32(int32_t(text.size() * 2));
    Stream.WriteUtf16(text);
}

bool TCustomLazyStringTree::ReadChunk(TLazyTreeStreamReader& Stream, int Version, PLazyNode Node, int ChunkType,
                                      int ChunkSize)
{
    if (ChunkType != CaptionChunk)
        return TBaseLazyTree::ReadChunk(Stream, Version, Node, ChunkType, ChunkSize);
    if (ChunkSize > 0) {
        QString text;
        if (Stream.ReadUtf16(ChunkSize / 2, text))
            SetText(Node, FHeader->MainColumn(), text);
    }
    return true;
}

QString TCustomLazyStringTree::GetStaticText(PLazyNode Node, TColumnIndex Column)
{
    LtAssert(Node != nullptr, "Node must not be nil.");
    TVSTGetCellTextEventArgs args;
    args.Node = Node;
    args.Column = Column;
    DoGetText(args);
    return args.StaticText;
}

QString TCustomLazyStringTree::GetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column)
{
    LtAssert(Node != nullptr, "Node must not be nil.");
    if (!Node->States.contains(vsInitialized))
        InitNode(Node);
    QString text;
    DoGetImageText(Node, Kind, Column, text);
    return text;
}

void TCustomLazyStringTree::DoNewText(PLazyNode Node, TColumnIndex Column, const QString& Text)
{
    if (OnNewText)
        OnNewText(this, Node, Column, Text);
    if (FUpdateCount == 0)
        UpdateHorizontalScrollBar(true);
}

void TCustomLazyStringTree::SetText(PLazyNode Node, TColumnIndex Column, const QString& Value)
{
    DoNewText(Node, Column, Value);
    InvalidateNode(Node);
}

void TCustomLazyStringTree::DoPaintText(PLazyNode Node, Canvas& Canvas, TColumnIndex Column, TVSTTextType TextType)
{
    if (OnPaintText)
        OnPaintText(this, Canvas, Node, Column, TextType);
}

QString TCustomLazyStringTree::DoShortenString(Canvas& Canvas, PLazyNode Node, TColumnIndex Column, const QString& S,
                                               int Width, int EllipsisWidth)
{
    QString result;
    bool done = false;
    if (OnShortenString)
        OnShortenString(this, Canvas, Node, Column, S, Width, result, done);
    if (!done)
        result = ShortenTextWithEllipsis(Canvas, S, Width, EllipsisWidth);
    return result;
}

void TCustomLazyStringTree::DoTextDrawing(TLTPaintInfo& PaintInfo, const QString& Text, Rect CellRect, unsigned DrawFormat)
{
    bool defaultDraw = true;
    if (OnDrawText)
        OnDrawText(this, *PaintInfo.Canvas, PaintInfo.Node, PaintInfo.Column, Text, CellRect, defaultDraw);
    if (defaultDraw)
        PaintInfo.Canvas->drawText(Text, CellRect, DrawFormat);
}

QSize TCustomLazyStringTree::DoTextMeasuring(Canvas& Canvas, PLazyNode Node, TColumnIndex Column, const QString& Text)
{
    QSize size = Canvas.textExtent(Text);
    if (Node->States.contains(vsMultiline)) {
        Rect r{0, 0, size.width(), 2147483647};
        unsigned flags = platform::DT_CALCRECT | platform::DT_WORDBREAK | platform::DT_NOPREFIX | platform::DT_EDITCONTROL |
                         platform::DT_END_ELLIPSIS;
        if (FAlignment == platform::Alignment::taRightJustify)
            flags |= platform::DT_RIGHT;
        else if (FAlignment == platform::Alignment::taCenter)
            flags |= platform::DT_CENTER;
        if (UseRightToLeftReading())
            flags |= platform::DT_RTLREADING;
        Canvas.drawText(Text, r, flags);
        size.setWidth(r.right - r.left);
    }
    int width = size.width();
    int height = size.height();
    DoMeasureTextWidth(Canvas, Node, Column, Text, width);
    DoMeasureTextHeight(Canvas, Node, Column, Text, height);
    return QSize(width, height);
}

int TCustomLazyStringTree::CalculateTextWidth(Canvas& Canvas, PLazyNode Node, const QString& Text, TColumnIndex Column)
{
    int result = 2 * FTextMargin;
    if (!Text.isEmpty()) {
        Canvas.font().font = font();
        DoPaintText(Node, Canvas, Column, ttNormal);
        result += DoTextMeasuring(Canvas, Node, Column, Text).width();
    }
    return result;
}

int TCustomLazyStringTree::CalculateStaticTextWidth(Canvas& Canvas, PLazyNode Node, const QString& Text,
                                                    TColumnIndex Column)
{
    if (Text.isEmpty() || FAlignment == platform::Alignment::taCenter || Node->States.contains(vsMultiline))
        return 0;
    DoPaintText(Node, Canvas, Column, ttStatic);
    return DoTextMeasuring(Canvas, Node, Column, Text).width() + FTextMargin;
}

int TCustomLazyStringTree::DoGetNodeWidth(PLazyNode Node, TColumnIndex Column, Canvas* Canvas)
{
    if (Column >= 0 && Node->States.contains(vsMultiline)) {
        int left = 0;
        int right = 0;
        FHeader->GetColumnBounds(Column, left, right);
        return right - left;
    }
    platform::Canvas& canvas = Canvas ? *Canvas : MeasureCanvas();
    if (Column == FHeader->MainColumn()) {
        int32_t* cache = GetTextWidthCache(Node);
        if (!cache)
            return 0;
        if (*cache != 0)
            return *cache;
        const platform::Font saved = canvas.font();
        *cache = CalculateTextWidth(canvas, Node, GetText(Node, Column), Column);
        canvas.font() = saved;
        return *cache;
    }
    const platform::Font saved = canvas.font();
    const int width = CalculateTextWidth(canvas, Node, GetText(Node, Column), Column);
    canvas.font() = saved;
    return width;
}

int TCustomLazyStringTree::DoGetNodeExtraWidth(PLazyNode Node, TColumnIndex Column, Canvas* Canvas)
{
    auto* options = dynamic_cast<TCustomStringTreeOptions*>(FOptions.get());
    if (!options || !options->StringOptions().contains(toShowStaticText))
        return 0;
    platform::Canvas& canvas = Canvas ? *Canvas : MeasureCanvas();
    return CalculateStaticTextWidth(canvas, Node, GetStaticText(Node, Column), Column);
}

int TCustomLazyStringTree::ComputeNodeHeight(Canvas* Canvas, PLazyNode Node, TColumnIndex Column, QString S)
{
    platform::Canvas& canvas = Canvas ? *Canvas : MeasureCanvas();
    if (S.isEmpty())
        S = GetText(Node, Column);
    unsigned flags = platform::DT_CALCRECT;
    if (Node->States.contains(vsMultiline))
        flags |= platform::DT_EDITCONTROL | platform::DT_NOPREFIX | platform::DT_WORDBREAK;
    else
        flags |= platform::DT_NOPREFIX | platform::DT_VCENTER | platform::DT_SINGLELINE;
    if (UseRightToLeftReading())
        flags |= platform::DT_RIGHT | platform::DT_RTLREADING;
    Rect r{0, 0, ClientWidth(), 0};
    if (Column >= 0) {
        int left = 0;
        int right = 0;
        FHeader->GetColumnBounds(Column, left, right);
        r.right = (right - left) - FTextMargin;
        r.left = FTextMargin + FMargin;
        if (Column == FHeader->MainColumn()) {
            TLineImage image;
            DetermineLineImageAndSelectLevel(Node, image);
            const int entries = FOptions->PaintOptions().contains(toFixedIndent) ? 1 : int(image.size());
            r.left += int(FIndent) * entries;
        }
    }
    TLTPaintInfo info;
    info.Node = Node;
    info.Column = Column;
    info.CellRect = r;
    TColumnIndex next = InvalidColumn;
    AdjustPaintCellRect(info, next);
    r = info.CellRect;
    r.bottom = r.top;
    canvas.drawText(S, r, flags);
    return r.height();
}

void TCustomLazyStringTree::GetTextInfo(PLazyNode Node, TColumnIndex Column, QFont& AFont, Rect& R, QString& Text)
{
    R = Rect{};
    Text.clear();
    AFont = font();
    Canvas& canvas = MeasureCanvas();
    canvas.font().font = AFont;
    const QFont before = canvas.font().font;
    DoPaintText(Node, canvas, Column, ttNormal);
    int textHeight = FTextHeight;
    if (!(canvas.font().font == before)) {
        AFont = canvas.font().font;
        textHeight = QFontMetrics(AFont).height();
    }
    Text = GetText(Node, Column);
    R = GetDisplayRect(Node, Column, true, !Node->States.contains(vsMultiline));
    if (FOptions->PaintOptions().contains(toShowHorzGridLines))
        --R.bottom;
    const int delta = (textHeight - R.height()) / 2;
    R.top -= delta;
    R.bottom += delta;
}

QString TCustomLazyStringTree::Path(PLazyNode Node, TColumnIndex Column, QChar Delimiter)
{
    QString result = Delimiter;
    if (!Node || Node == FRoot)
        return result;
    result.clear();
    for (PLazyNode n = Node; n != FRoot; n = n->Parent)
        result.prepend(GetText(n, Column) + Delimiter);
    return result;
}

int TCustomLazyStringTree::DoIncrementalSearch(PLazyNode Node, const QString& Text)
{
    if (OnIncrementalSearch)
        return TBaseLazyTree::DoIncrementalSearch(Node, Text);
    return GetText(Node, FFocusedColumn).startsWith(Text, Qt::CaseSensitive) ? 0 : 1;
}

QString TCustomLazyStringTree::DoGetNodeHint(PLazyNode Node, TColumnIndex Column, TLTHintLineBreakStyle& LineBreakStyle)
{
    QString hint = toolTip();
    LineBreakStyle = hlbDefault;
    DoGetHint(Node, Column, LineBreakStyle, hint);
    return hint;
}

QString TCustomLazyStringTree::DoGetNodeTooltip(PLazyNode Node, TColumnIndex Column, TLTHintLineBreakStyle& LineBreakStyle)
{
    QString hint = toolTip();
    LineBreakStyle = hlbDefault;
    if (OnGetHint)
        OnGetHint(this, Node, Column, LineBreakStyle, hint);
    else
        hint = GetText(Node, Column);
    return hint;
}

// --- painting -----------------------------------------------------------------------------------

void TCustomLazyStringTree::DoPaintNode(TLTPaintInfo& PaintInfo)
{
    TVSTGetCellTextEventArgs args;
    args.Node = PaintInfo.Node;
    args.Column = PaintInfo.Column;
    DoGetText(args);
    if (!args.CellText.isEmpty())
        PaintNormalText(PaintInfo, args.CellText);
    auto* options = dynamic_cast<TCustomStringTreeOptions*>(FOptions.get());
    if (FAlignment != platform::Alignment::taCenter && !PaintInfo.Node->States.contains(vsMultiline) && options &&
        options->StringOptions().contains(toShowStaticText) && !args.StaticText.isEmpty())
        PaintStaticText(PaintInfo, args.StaticText);
}

namespace {
unsigned alignmentFlag(platform::Alignment a)
{
    switch (a) {
    case platform::Alignment::taRightJustify:
        return platform::DT_RIGHT;
    case platform::Alignment::taCenter:
        return platform::DT_CENTER;
    case platform::Alignment::taLeftJustify:
        break;
    }
    return platform::DT_LEFT;
}
} // namespace

void TCustomLazyStringTree::PaintNormalText(TLTPaintInfo& PaintInfo, QString Text)
{
    Canvas& canvas = *PaintInfo.Canvas;
    PLazyNode node = PaintInfo.Node;
    const auto paint = FOptions->PaintOptions();
    const auto sel = FOptions->SelectionOptions();
    const bool enabled = isEnabled();
    const bool explorer = FStates.contains(tsUseExplorerTheme);
    canvas.font().font = font();
    canvas.font().color = enabled ? FColors->NodeFontColor() : FColors->DisabledColor();
    if (paint.contains(toHotTrack) && node == FCurrentHotNode && !explorer) {
        canvas.font().font.setUnderline(true);
        canvas.font().color = FColors->HotColor();
    }
    if (PaintInfo.PaintOptions.contains(poDrawSelection) &&
        (PaintInfo.Column == FFocusedColumn || sel.contains(toFullRowSelect))) {
        bool selectionText;
        if (node == FDropTargetNode)
            selectionText = FLastDropMode == dmOnNode || node->States.contains(vsSelected);
        else
            selectionText = node->States.contains(vsSelected) && (Focused() || paint.contains(toPopupMode));
        if (selectionText && !explorer)
            canvas.font().color = FColors->SelectionTextColor();
    }
    Rect r = PaintInfo.ContentRect;
    r.left += FTextMargin;
    r.right -= FTextMargin;
    unsigned format;
    if (node->States.contains(vsMultiline)) {
        DoPaintText(node, canvas, PaintInfo.Column, ttNormal);
        const int h = ComputeNodeHeight(&canvas, node, PaintInfo.Column);
        if (node->States.contains(vsDisabled) || !enabled)
            canvas.font().color = FColors->DisabledColor();
        format = platform::DT_NOPREFIX | platform::DT_WORDBREAK | platform::DT_END_ELLIPSIS | platform::DT_EDITCONTROL |
                 alignmentFlag(PaintInfo.Alignment);
        if (PaintInfo.BidiMode != bdLeftToRight)
            format |= platform::DT_RTLREADING;
        if (h < r.height()) {
            const int d = (r.height() - h) / 2;
            r.top += d;
            r.bottom -= d;
        }
    } else {
        int ellipsis = FEllipsisWidth;
        const QFont before = canvas.font().font;
        DoPaintText(node, canvas, PaintInfo.Column, ttNormal);
        if (!(canvas.font().font == before)) {
            // The handler changed the font: this paint measures in it.
            ellipsis = 0;
            PaintInfo.NodeWidth = canvas.textWidth(Text) + 2 * FTextMargin;
        }
        if (node->States.contains(vsDisabled) || !enabled)
            canvas.font().color = FColors->DisabledColor();
        format = platform::DT_NOPREFIX | platform::DT_VCENTER | platform::DT_SINGLELINE;
        if (PaintInfo.BidiMode != bdLeftToRight)
            format |= platform::DT_RTLREADING;
        if (PaintInfo.Column >= 0 && PaintInfo.NodeWidth - 2 * FTextMargin > r.width()) {
            Text = DoShortenString(canvas, node, PaintInfo.Column, Text, r.width(), ellipsis);
            format |= PaintInfo.Alignment == platform::Alignment::taRightJustify ? platform::DT_RIGHT : platform::DT_LEFT;
        } else {
            format |= alignmentFlag(PaintInfo.Alignment);
        }
    }
    canvas.setBkMode(platform::BkMode::Transparent);
    DoTextDrawing(PaintInfo, Text, r, format);
}

void TCustomLazyStringTree::PaintStaticText(TLTPaintInfo& PaintInfo, const QString& Text)
{
    Canvas& canvas = *PaintInfo.Canvas;
    PLazyNode node = PaintInfo.Node;
    const auto paint = FOptions->PaintOptions();
    canvas.font().font = font();
    canvas.font().color = FColors->NodeFontColor();
    if (FOptions->SelectionOptions().contains(toFullRowSelect)) {
        if (node == FDropTargetNode) {
            if (FLastDropMode == dmOnNode || node->States.contains(vsSelected))
                canvas.font().color = FColors->SelectionTextColor();
        } else if (node->States.contains(vsSelected) && (Focused() || paint.contains(toPopupMode))) {
            canvas.font().color = FColors->SelectionTextColor();
        }
    }
    DoPaintText(node, canvas, PaintInfo.Column, ttStatic);
    if (node->States.contains(vsDisabled) || !isEnabled())
        canvas.font().color = FColors->DisabledColor();
    Rect r = PaintInfo.ContentRect;
    if (PaintInfo.Alignment == platform::Alignment::taRightJustify)
        r.right -= PaintInfo.NodeWidth + FTextMargin;
    else
        r.left += PaintInfo.NodeWidth + FTextMargin;
    canvas.setBkMode(platform::BkMode::Transparent);
    canvas.drawText(Text, r, platform::DT_NOPREFIX | platform::DT_VCENTER | platform::DT_SINGLELINE);
}

void TCustomLazyStringTree::AdjustPaintCellRect(TLTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty)
{
    // Spanning empty neighbours needs columns; without them the base rule applies.
    TBaseLazyTree::AdjustPaintCellRect(PaintInfo, NextNonEmpty);
}

bool TCustomLazyStringTree::ColumnIsEmpty(PLazyNode Node, TColumnIndex Column)
{
    if (!GetText(Node, Column).isEmpty())
        return false;
    return TBaseLazyTree::ColumnIsEmpty(Node, Column);
}

// --- structure hooks ----------------------------------------------------------------------------

Rect TCustomLazyStringTree::InvalidateNode(PLazyNode Node)
{
    const Rect r = TBaseLazyTree::InvalidateNode(Node);
    if (Node && Node != FRoot) {
        *GetTextWidthCache(Node) = 0;
        Node->States -= vsHeightMeasured;
    }
    return r;
}

void TCustomLazyStringTree::ReinitNode(PLazyNode Node, bool Recursive)
{
    TBaseLazyTree::ReinitNode(Node, Recursive);
    if (Node && Node != FRoot)
        *GetTextWidthCache(Node) = 0;
}

void TCustomLazyStringTree::SetChildCount(PLazyNode Node, uint32_t NewChildCount)
{
    TBaseLazyTree::SetChildCount(Node, NewChildCount);
    if (Node && Node != FRoot)
        *GetTextWidthCache(Node) = 0;
}

void TCustomLazyStringTree::MainColumnChanged()
{
    TBaseLazyTree::MainColumnChanged();
    ClearWidthCaches();
}

QString TCustomLazyStringTree::TextForSelection(PLazyNode Node)
{
    QString text;
    if (OnGetText)
        OnGetText(this, Node, 0, ttNormal, text);
    return text;
}

void TCustomLazyStringTree::AddToSelection(PLazyNode Node)
{
    TBaseLazyTree::AddToSelection(Node);
    if (Node->States.contains(vsSelected) && !FStates.contains(tsPreviouslySelectedLocked) &&
        FOptions->SelectionOptions().contains(toRestoreSelection) && OnGetText) {
        if (!FPreviouslySelected)
            FPreviouslySelected = std::make_unique<std::set<QString, CaseInsensitiveLess>>();
        if (FSelectionCount == 1)
            FPreviouslySelected->clear();
        FPreviouslySelected->insert(TextForSelection(Node));
    }
    UpdateNextNodeToSelect(Node);
}

void TCustomLazyStringTree::RemoveFromSelection(PLazyNode Node)
{
    TBaseLazyTree::RemoveFromSelection(Node);
    if (!FPreviouslySelected || Node->States.contains(vsSelected))
        return;
    if (FSelectionCount > 0)
        FPreviouslySelected->erase(TextForSelection(Node));
    else
        FPreviouslySelected->clear();
}

PLazyNode TCustomLazyStringTree::AddChild(PLazyNode Parent, void* UserData)
{
    PLazyNode result = TBaseLazyTree::AddChild(Parent, UserData);
    if (result && FPreviouslySelected && !FPreviouslySelected->empty() &&
        FPreviouslySelected->count(TextForSelection(result)) > 0) {
        DoStateChange({tsPreviouslySelectedLocked});
        try {
            SetSelected(result, true);
        } catch (...) {
            DoStateChange({}, {tsPreviouslySelectedLocked});
            throw;
        }
        DoStateChange({}, {tsPreviouslySelectedLocked});
        if (FSelectionCount > 0 && FUpdateCount == 0)
            ScrollIntoView(GetFirstSelected(), true, false);
    }
    return result;
}

} // namespace controls
