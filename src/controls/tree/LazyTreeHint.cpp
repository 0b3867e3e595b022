// Hints and tooltips: the tree's answer to the hint request and its hint window.
#include "controls/tree/LazyTreeHint.h"
#include "controls/tree/LazyStringTree.h"
#include "controls/tree/LazyTreeUtils.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

namespace controls {

using platform::Rect;

namespace {

bool g_hintDestroying = false;

QFont hintFont() { return QToolTip::font(); }

platform::Alignment mirror(platform::Alignment a)
{
    if (a == platform::Alignment::taLeftJustify)
        return platform::Alignment::taRightJustify;
    if (a == platform::Alignment::taRightJustify)
        return platform::Alignment::taLeftJustify;
    return a;
}

// Measures with DT_CALCRECT on a canvas in `font`.
Rect measure(const QFont& font, const QString& text, Rect r, unsigned flags)
{
    QImage image(1, 1, QImage::Format_RGB32);
    platform::Canvas canvas(&image);
    canvas.font().font = font;
    canvas.drawText(text, r, flags | platform::DT_CALCRECT);
    return r;
}

} // namespace

// --- the tree's side ----------------------------------------------------------------------------

TLTHintKind TBaseLazyTree::DoGetHintKind(PLazyNode Node, TColumnIndex Column)
{
    TLTHintKind kind = GetDefaultHintKind();
    if (OnGetHintKind)
        OnGetHintKind(this, Node, Column, kind);
    return kind;
}

QString TBaseLazyTree::DoGetNodeHint(PLazyNode, TColumnIndex, TLTHintLineBreakStyle& LineBreakStyle)
{
    LineBreakStyle = hlbDefault;
    return toolTip();
}

QString TBaseLazyTree::DoGetNodeTooltip(PLazyNode, TColumnIndex, TLTHintLineBreakStyle& LineBreakStyle)
{
    LineBreakStyle = hlbDefault;
    return toolTip();
}

THintAnimationType TBaseLazyTree::DoGetAnimationType() const
{
    THintAnimationType result = FHintAnimation;
    if (result == hatSystemDefault) {
        if (!QApplication::isEffectEnabled(Qt::UI_AnimateTooltip))
            result = hatNone;
        else if (QApplication::isEffectEnabled(Qt::UI_FadeTooltip))
            result = hatFade;
        else
            result = hatSlide;
    }
    if (result == hatFade && !ProcessorHasMMX())
        result = hatSlide;
    return result;
}

int TBaseLazyTree::HintPause() const
{
    if (FHintMode == hmTooltip)
        return 0;
    const QPoint p = ScreenToClient(QCursor::pos());
    if (TLazyTreeHintWindow::Destroying() && FHeader->UseColumns() && FHeader->Options().contains(hoShowHint) &&
        FHeader->InHeader(p))
        return 0;
    return QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
}

bool TBaseLazyTree::HintRequest(QPoint CursorPos, THintInfo& Info)
{
    if (!FLastHintRect.isEmpty() && FLastHintRect.contains(CursorPos.x(), CursorPos.y()))
        return FStates.contains(tsHint);
    bool show = false;
    THitInfo hit;
    const bool overHeader = FHeader->UseColumns() && FHeader->Options().contains(hoShowHint) && FHeader->InHeader(CursorPos);
    if (!overHeader)
        GetHitTestInfoAt(CursorPos.x(), CursorPos.y(), true, hit);
    bool showAllowed;
    if (FStates.contains(tsEditing))
        showAllowed = hit.HitNode != FFocusedNode;
    else
        showAllowed = hasFocus() || (window() && window()->isActiveWindow()) || QGuiApplication::applicationState() == Qt::ApplicationActive;
    const bool leftHeld = QApplication::mouseButtons() & Qt::LeftButton;
    if (!QWidget::mouseGrabber() && FShowHint && !Dragging() && !FStates.contains(tsDrawSelecting) &&
        !FStates.contains(tsDrawSelPending) && !FStates.contains(tsScrolling) && FHeader->States().empty() && showAllowed) {
        show = true;
        Info.CursorPos = CursorPos;
        Info.CursorRect = ClientRect();
        Info.HintStr = QStringLiteral(" ");
        FHintData = TLTHintData{};
        if (overHeader) {
            int left = 0;
            int right = 0;
            const TColumnIndex column = FHeader->Columns().ColumnAndBoundsAt(QPoint(CursorPos.x(), 0), left, right, true);
            const Rect header = HeaderRect();
            Info.HintPos.setY(std::max(Info.HintPos.y(), ClientToScreen(QPoint(0, 0)).y()));
            if (!FHeader->IsValidColumn(column) || leftHeld) {
                show = false;
            } else {
                FHintData.DefaultHint = FHeader->Columns()[column]->Hint();
                show = !FHintData.DefaultHint.isEmpty();
                Info.CursorRect = Rect{left, -header.height(), right, 0};
            }
            FHintData.Column = column;
        } else if (FHintMode != hmDefault) {
            PLazyNode node = hit.HitNode;
            const TColumnIndex column = hit.HitColumn;
            if (node && column >= NoColumn) {
                const TLTHintKind kind = DoGetHintKind(node, column);
                FHintData.HintRect = Rect{};
                bool shouldShow;
                if (kind == vhkOwnerDraw) {
                    DoGetHintSize(node, column, FHintData.HintRect);
                    shouldShow = !FHintData.HintRect.isEmpty();
                } else {
                    shouldShow = true;
                }
                if (shouldShow) {
                    int cellLeft = 0;
                    int cellRight = ClientWidth();
                    if (column >= 0) {
                        FHeader->GetColumnBounds(column, cellLeft, cellRight);
                        if (FOptions->AutoOptions().contains(toAutoSpanColumns)) {
                            for (TColumnIndex next = FHeader->Columns().GetNextVisibleColumn(column);
                                 next != InvalidColumn && ColumnIsEmpty(node, next);
                                 next = FHeader->Columns().GetNextVisibleColumn(next))
                                cellRight += FHeader->Columns()[next]->Width();
                        }
                    }
                    FHintData.DefaultHint.clear();
                    if (FHintMode == hmTooltip) {
                        Rect r;
                        bool cut = false;
                        if (!node->States.contains(vsMultiline)) {
                            r = GetDisplayRect(node, column, true, true, true);
                            const QPoint margin = DoGetCellContentMargin(node, column, ccmtBottomRightOnly);
                            const bool inside = r.contains(CursorPos.x(), CursorPos.y()) && CursorPos.x() >= cellLeft &&
                                                CursorPos.x() < cellRight;
                            cut = inside && (r.right + margin.x() > std::min(cellRight - 1, ClientWidth()) ||
                                             r.left < std::max(cellLeft, 0) || r.bottom + margin.y() > ClientHeight() ||
                                             r.top < 0);
                        } else {
                            cut = hit.HitPositions.contains(hiOnItemLabel);
                            r = GetDisplayRect(node, column, false, false, true);
                        }
                        if (cut) {
                            Info.HintPos = ClientToScreen(QPoint(r.left, r.top));
                            Info.CursorRect = r;
                        } else {
                            show = false;
                        }
                    } else {
                        Rect r = GetDisplayRect(node, column, false);
                        r.left = cellLeft;
                        r.right = cellRight;
                        Info.CursorRect = r;
                        Info.HintPos.setY(std::max(Info.HintPos.y(), ClientToScreen(QPoint(0, r.bottom)).y()) + 2);
                    }
                } else {
                    show = false;
                }
                FHintData.Node = node;
                FHintData.Column = column;
            } else if (FHintMode == hmHintAndDefault) {
                FHintData.DefaultHint = toolTip().section(QLatin1Char('|'), 0, 0);
                show = !FHintData.DefaultHint.isEmpty();
            } else {
                show = false;
            }
        } else {
            FHintData.Node = hit.HitNode;
            FHintData.Column = hit.HitColumn;
            FHintData.DefaultHint = toolTip().section(QLatin1Char('|'), 0, 0);
        }
    }
    if (!show) {
        FLastHintRect = Rect{};
        DoStateChange({}, {tsHint});
        return false;
    }
    FHintData.Tree = this;
    FLastHintRect = Info.CursorRect;
    Info.HintData = &FHintData;
    DoStateChange({tsHint});
    return true;
}

TLazyTreeHintWindow* TBaseLazyTree::HintWindow() const { return static_cast<TLazyTreeHintWindow*>(FHintWindow.data()); }

TLazyTreeHintWindow* TBaseLazyTree::HintWindowOrNew()
{
    if (!FHintWindow)
        FHintWindow = new TLazyTreeHintWindow(this);
    return HintWindow();
}

void TBaseLazyTree::ShowHintAt(QPoint ClientPos, bool)
{
    if (FLastHintRect.contains(ClientPos.x(), ClientPos.y()) && FHintWindow && FHintWindow->isVisible())
        return;
    THintInfo info;
    info.HintPos = QCursor::pos() + QPoint(0, 20);
    if (FHintMode != hmTooltip || ClientPos != ScreenToClient(QCursor::pos()))
        info.HintPos = ClientToScreen(ClientPos) + QPoint(0, 20);
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    info.HintMaxWidth = screen ? screen->availableGeometry().width() : 800;
    if (!HintRequest(ClientPos, info)) {
        HideHint();
        return;
    }
    TLazyTreeHintWindow* window = HintWindowOrNew();
    Rect r = window->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    if (r.isEmpty()) {
        HideHint();
        return;
    }
    r = r.offset(info.HintPos.x() - r.left, info.HintPos.y() - r.top);
    window->ActivateHint(r, info.HintStr);
}

void TBaseLazyTree::HideHint()
{
    if (TLazyTreeHintWindow* window = HintWindow())
        window->HideHint();
    FLastHintRect = Rect{};
    DoStateChange({}, {tsHint});
}

// --- the hint window ----------------------------------------------------------------------------

bool TLazyTreeHintWindow::Destroying() { return g_hintDestroying; }

void TLazyTreeHintWindow::SetDestroying(bool Value) { g_hintDestroying = Value; }

TLazyTreeHintWindow::TLazyTreeHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    g_hintDestroying = false;
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    FHideTimer = new platform::Timer(this);
    FHideTimer->setInterval(HideTimeout);
    FHideTimer->onTimer = [this] {
        FHideTimer->setEnabled(false);
        if (FHintData.Tree)
            FHintData.Tree->HideHint();
        else
            HideHint();
    };
}

TLazyTreeHintWindow::~TLazyTreeHintWindow() { g_hintDestroying = true; }

Rect TLazyTreeHintWindow::CalcHintRect(int MaxWidth, const QString&, const TLTHintData* Data)
{
    if (!Data || !Data->Tree)
        return Rect{};
    setLayoutDirection(Qt::LeftToRight);
    FHintData = *Data;
    TBaseLazyTree* tree = FHintData.Tree;
    PLazyNode node = FHintData.Node;
    if (node && !FHintData.HintRect.isEmpty())
        return FHintData.HintRect;
    TLazyTreeColumn* column = tree->Header().Columns().IsValidColumn(FHintData.Column)
                                  ? tree->Header().Columns()[FHintData.Column]
                                  : nullptr;
    FHintData.BidiMode = column ? column->BiDiMode() : tree->BiDiMode();
    FHintData.Alignment = column ? column->Alignment() : tree->Alignment();
    if (FHintData.BidiMode != bdLeftToRight)
        FHintData.Alignment = mirror(FHintData.Alignment);
    const bool tooltip = node && tree->HintMode() == hmTooltip;
    QFont font = hintFont();
    if (tooltip) {
        font = tree->font();
        if (auto* strings = qobject_cast<TCustomLazyStringTree*>(tree)) {
            QString text;
            Rect r;
            strings->GetTextInfo(node, FHintData.Column, font, r, text);
        }
    }
    FTextHeight = QFontMetrics(font).height();
    FHintData.LineBreakStyle = hlbDefault;
    if (!FHintData.DefaultHint.isEmpty())
        FHintData.HintText = FHintData.DefaultHint;
    else if (tooltip)
        FHintData.HintText = tree->DoGetNodeTooltip(node, FHintData.Column, FHintData.LineBreakStyle);
    else
        FHintData.HintText = tree->DoGetNodeHint(node, FHintData.Column, FHintData.LineBreakStyle);
    if (FHintData.HintText.isEmpty())
        return Rect{};
    if (!node || !tooltip) {
        Rect r = measure(font, FHintData.HintText, Rect{0, 0, MaxWidth, FTextHeight},
                         platform::DT_WORDBREAK | platform::DT_NOPREFIX);
        r.bottom += 6;
        r.right += tree->TextMargin() + FTextHeight;
        return r;
    }
    if (FHintData.LineBreakStyle == hlbDefault)
        FHintData.LineBreakStyle = node->States.contains(vsMultiline) ? hlbForceMultiLine : hlbForceSingleLine;
    Rect result;
    if (FHintData.LineBreakStyle == hlbForceMultiLine) {
        const Rect cell = tree->GetDisplayRect(node, FHintData.Column, false, false, true);
        Rect measured = measure(font, FHintData.HintText, cell, platform::DT_WORDBREAK);
        result = cell;
        if (FHintData.BidiMode != bdLeftToRight)
            result.left = measured.left - tree->TextMargin() + 1;
        else
            result.right = measured.right + tree->TextMargin();
        result.bottom = measured.bottom;
        result.right += 1;
        if (tree->Header().UseColumns() && int(node->NodeHeight) + 2 >= result.height() && column &&
            column->Width() + 2 >= result.width() && result.left >= 0 && result.top >= 0 &&
            result.right <= tree->ClientWidth() + 3 && result.bottom <= tree->ClientHeight() + 3)
            return Rect{};
    } else {
        result = tree->LastHintRect();
        if (tree->TreeOptions().PaintOptions().contains(toShowHorzGridLines))
            --result.bottom;
    }
    result = result.inflated(1, 1);
    return result.offset(-1 - result.left, -1 - result.top);
}

void TLazyTreeHintWindow::ActivateHint(Rect R, const QString&)
{
    TBaseLazyTree* tree = FHintData.Tree;
    const QPoint cursor = tree ? tree->ScreenToClient(QCursor::pos()) : QPoint();
    Q_UNUSED(cursor);
    if (R.isEmpty() || !tree) {
        HideHint();
        return;
    }
    const bool wasAnimating = tree->TreeStates().contains(tsInAnimation);
    // Kept on the desktop: not beyond its bottom or right edge, not above or left of it.
    QScreen* screen = tree->screen() ? tree->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect desk = screen->availableGeometry();
        if (R.bottom > desk.top() + desk.height())
            R = R.offset(0, desk.top() + desk.height() - R.bottom);
        if (R.right > desk.left() + desk.width())
            R = R.offset(desk.left() + desk.width() - R.right, 0);
        if (R.top < desk.top())
            R = R.offset(0, desk.top() - R.top);
        if (R.left < desk.left())
            R = R.offset(desk.left() - R.left, 0);
    }
    FFullHeight = R.height();
    FDrawBuffer = QImage(R.width(), R.height(), QImage::Format_ARGB32_Premultiplied);
    setGeometry(R.toQRect());
    PaintHintStep(0, 0);
    FAnimation = tree->DoGetAnimationType();
    FShownStep = 0;
    if (FAnimation == hatFade)
        setWindowOpacity(0.0);
    else
        setWindowOpacity(1.0);
    show();
    raise();
    FHideTimer->setEnabled(true);
    if (wasAnimating && !g_hintDestroying)
        tree->DoStateChange({tsCancelHintAnimation});
    switch (FAnimation) {
    case hatFade:
        tree->Animate(255, 2 * tree->AnimationDuration(), [this](int step, int size) { return HintAnimationStep(step, size); });
        break;
    case hatSlide:
        tree->Animate(uint32_t(R.height()), tree->AnimationDuration(),
                      [this](int step, int size) { return HintAnimationStep(step, size); });
        break;
    default:
        break;
    }
    // The last picture is the whole hint, whatever the animation did.
    setWindowOpacity(1.0);
    if (height() != FFullHeight)
        resize(width(), FFullHeight);
    FShownStep = FAnimation == hatSlide ? FFullHeight : 255;
    update();
}

bool TLazyTreeHintWindow::HintAnimationStep(int Step, int StepSize)
{
    TBaseLazyTree* tree = FHintData.Tree;
    if (g_hintDestroying || !isVisible() || !tree || tree->TreeStates().contains(tsCancelHintAnimation))
        return false;
    PaintHintStep(Step, StepSize);
    QCoreApplication::processEvents();
    return true;
}

void TLazyTreeHintWindow::PaintHintStep(int Step, int StepSize)
{
    TBaseLazyTree* tree = FHintData.Tree;
    if (Step == 0 && StepSize == 0 && tree && !FDrawBuffer.isNull()) {
        FDrawBuffer.fill(Qt::transparent);
        platform::Canvas canvas(&FDrawBuffer);
        const Rect all{0, 0, FDrawBuffer.width(), FDrawBuffer.height()};
        const bool tooltip = FHintData.Node && tree->HintMode() == hmTooltip;
        int textTop = 2;
        if (tooltip) {
            QFont font = tree->font();
            Rect r;
            QString text;
            tree->GetTextInfo(FHintData.Node, FHintData.Column, font, r, text);
            canvas.font().font = font;
            Rect textRect{0, 0, all.width(), 0};
            canvas.drawText(FHintData.HintText, textRect,
                            platform::DT_CALCRECT | platform::DT_NOPREFIX |
                                (FHintData.LineBreakStyle == hlbForceMultiLine ? platform::DT_WORDBREAK : 0));
            textTop = FHintData.LineBreakStyle == hlbForceMultiLine ? 1 : (all.height() - textRect.height()) / 2;
        } else {
            canvas.font().font = hintFont();
        }
        if (tree->DoGetHintKind(FHintData.Node, FHintData.Column) == vhkOwnerDraw && FHintData.Node) {
            tree->DoDrawHint(canvas, FHintData.Node, all, FHintData.Column);
        } else {
            canvas.font().color = platform::clInfoText;
            canvas.pen() = platform::Pen{platform::clBlack};
            canvas.brush() = platform::Brush{platform::clInfoBk};
            canvas.rectangle(all);
            Rect r = all.inflated(-1, -1);
            r.top = textTop;
            r.left += 3;
            canvas.setBkMode(platform::BkMode::Transparent);
            canvas.drawText(FHintData.HintText, r,
                            platform::DT_NOPREFIX |
                                (FHintData.LineBreakStyle == hlbForceMultiLine && FHintData.Node ? platform::DT_WORDBREAK : 0));
        }
    }
    if (StepSize < 1) {
        update();
        return;
    }
    FShownStep = Step;
    if (FAnimation == hatFade) {
        setWindowOpacity(double(Step) / 255.0);
    } else if (FAnimation == hatSlide) {
        // Sliding in: the hint grows downwards, its bottom rows shown first.
        resize(width(), std::max(1, std::min(Step, FFullHeight)));
    }
    update();
}

void TLazyTreeHintWindow::HideHint()
{
    FHideTimer->setEnabled(false);
    hide();
}

void TLazyTreeHintWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // While sliding, the window shows the bottom rows of the hint at its top.
    p.drawImage(0, height() - FDrawBuffer.height(), FDrawBuffer);
}

void TLazyTreeHintWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    FHintData = TLTHintData{};
    g_hintDestroying = false;
}

} // namespace controls
