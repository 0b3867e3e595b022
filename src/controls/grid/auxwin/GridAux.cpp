#include "controls/grid/auxwin/GridAux.h"

#include "controls/grid/base/GridControls.h"
#include "controls/grid/core/RichText.h"
#include "controls/grid/dropdown/grid/GridExtGridEditor.h"
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/BalloonTip.h"
#include "controls/grid/util/ExtUtil.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

namespace controls::grid {

using platform::TGridState;
using platform::TShiftState;
using platform::TWMKey;
using platform::TWMMouse;

TExtStringGridAux::TExtStringGridAux(QWidget* parent) : TExtStringGridInput(parent)
{
    m_editTrans = new TGridTransEdit(this);
    m_comboTrans = new TGridTransCombo(this);
    auto fixedChange = [this](QObject* sender) {
        if (!OnEditChange)
            return;
        const QString text = sender == m_comboTrans.data() ? m_comboTrans->currentText() : m_editTrans->text();
        OnEditChange(this, m_fixedColEdit, m_fixedRowEdit, text);
    };
    m_editTrans->OnChange = fixedChange;
    m_comboTrans->OnChange = fixedChange;

    m_ctrlEdit = new TControlEdit(this);
    m_ctrlCombo = new TControlCombo(this);
    m_ctrlEdit->OnExitEdit = [this]() { EndControlEdit(); };
    m_ctrlCombo->OnExitEdit = [this]() { EndControlEdit(); };
    // Tab in a control's box goes on to the next control of the same cell.
    auto next = [this](const QString& id) {
        if (!hasFocus() && !isAncestorOf(QApplication::focusWidget()))
            setFocus();
        if (m_ctrlXY.X >= 0 && m_ctrlXY.Y >= 0)
            EditCellControl(DisplColIndex(m_ctrlXY.X), m_ctrlXY.Y, id);
    };
    m_ctrlEdit->OnNextControl = next;
    m_ctrlCombo->OnNextControl = next;
    m_ctrlCombo->OnSelect = [this](QObject* sender) { ControlComboSelect(sender); };

    m_moveButton = new THeaderDragButton(this);
    m_moveButton->PaintHeader = [this](platform::Canvas& canvas, const Rect& r) {
        TGridDrawState state = platform::gdFixed;
        DrawCellContents(canvas, 0, 0, r, state);
    };
    const TArrowDirection dirs[] = {arrUp, arrDown, arrLeft, arrRight};
    for (int i = 0; i < 4; ++i)
        m_arrows[i] = new TArrowWindow(this, dirs[i]);

    Balloon.OnEnableChange = [this](platform::TObject*) {
        if (IsLoading())
            return;
        if (Balloon.Enable())
            BalloonInit();
        else
            BalloonDone();
    };
}

TExtStringGridAux::~TExtStringGridAux()
{
    Balloon.OnEnableChange = nullptr;
    BalloonDone();
    delete m_moveButton;
}

TGridExtGridDropDown* TExtStringGridAux::ExtGridPicker()
{
    if (!m_editExtGridPicker)
        m_editExtGridPicker = MakeDropDownEditor<TGridExtGridDropDown>(this, false);
    return m_editExtGridPicker;
}

dropdown::TExtCustomDropDown* TExtStringGridAux::ExtGridDropDown() { return ExtGridPicker(); }

void TExtStringGridAux::FillExtGridDropDown(const QString& editText, int realCol, int row)
{
    ExtGridPicker()->FillFromCell(editText, realCol, row);
}

// --- hints and balloons -----------------------------------------------------------------------------

QString TExtStringGridAux::BuildCellHint(QPoint pos, QPoint& hintPos, bool& html)
{
    html = false;
    hintPos = pos + QPoint(0, 20);
    SetGridHintFontName(font().family());
    int c = -1, r = -1;
    mouseToCell(pos.x(), pos.y(), c, r);
    if (c < 0 || r < 0)
        return QString();
    const QPoint b = BaseCell(RealColIndex(c), r);
    const int dc = DisplColIndex(b.x());
    m_lastHintPos = TGridCoord{dc, b.y()};
    const Rect cell = CellRect(dc, b.y());
    QString comment;
    if (IsComment(b.x(), b.y(), comment))
        hintPos = QPoint(cell.right, cell.top);
    else
        hintPos = QPoint(pos.x(), cell.bottom + 6);

    const QString text = Cells(b.x(), b.y());
    const int kind = GetTextKind(text, EnableHTML);
    QString hint;
    if (AnchorHint && kind == 1) {
        THTMLDrawResult res;
        if (HitTestCellText(dc, b.y(), pos.x(), pos.y(), res) && res.AnchorVal != QLatin1String("ctrl")) {
            hint = res.AnchorTitle.isEmpty() ? res.AnchorVal : res.AnchorTitle;
            if (OnAnchorHint)
                OnAnchorHint(this, b.y(), b.x(), hint);
            m_lastAnchorHint = hint;
            hintPos = pos + QPoint(8, -16);
        }
    }
    const bool dataCell = c >= FixedCols() && r >= FixedRows() && c < ColCount() - FixedRightCols()
                          && r < RowCount() - FixedFooters();
    if (HintShowCells && dataCell) {
        hintPos.setY(cell.top);
        hint = kind == 5 ? text : (HTMLHint ? text : StripHTMLTags(text));
    }
    if (HintShowLargeText) {
        const QSize size = GetCellTextSize(b.x(), b.y());
        if (size.width() > cell.width() || size.height() > cell.height()) {
            if (HintShowLargeTextPos == hpCell)
                hintPos = QPoint(cell.left, cell.top);
            hint = (kind == 5 || HTMLHint || kind != 1) ? text : StripHTMLTags(text);
        }
    }
    if (!(FloatingFooter.Visible && r == RowCount() - 1))
        GetCellHint(b.x(), b.y(), hint);
    const int hintKind = GetTextKind(hint, true);
    html = hintKind == 1 || hintKind == 5;
    return hint;
}

void TExtStringGridAux::HideHint()
{
    QToolTip::hideText();
    GridHintWindow()->hide();
}

bool TExtStringGridAux::BalloonText(int col, int row, QString& title, QString& text, int& icon)
{
    if (col < 0 || row < 0)
        return false;
    const QPoint b = BaseCell(RealColIndex(col), row);
    const QString raw = Cells(b.x(), b.y());
    switch (GetTextKind(raw, EnableHTML)) {
    case 1: text = StripHTMLTags(raw); break;
    case 2: text = RichTextToPlain(raw); break;
    case 5: text = DecodeWideCellText(raw); break;
    default: text = raw;
    }
    // Tabs before the last character read as spaces; leading breaks and tabs are skipped.
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text[i] == u'\t')
            text[i] = u' ';
    qsizetype start = 0;
    while (start < text.size() && (text[start] == u'\r' || text[start] == u'\n' || text[start] == u'\t'))
        ++start;
    text = text.mid(start);
    if (text.size() > 2048)
        text = text.left(2045) + QStringLiteral("...");
    title = QStringLiteral(" ");
    icon = 1;
    QString ownTitle, ownText;
    TBalloonIcon ownIcon = biInfo;
    if (IsBalloon(b.x(), b.y(), ownTitle, ownText, ownIcon)) {
        title = ownTitle;
        text = ownText;
        icon = int(ownIcon);
    }
    if (OnCellBalloon)
        OnCellBalloon(this, b.x(), b.y(), title, text, icon);
    m_lastBalloonPos = TGridCoord{DisplColIndex(b.x()), b.y()};
    if (title.size() > 100)
        title = title.left(97) + QStringLiteral("...");
    return !text.isEmpty();
}

namespace {
// The balloon window of each grid, made by BalloonInit.
std::map<const TExtStringGridAux*, std::unique_ptr<TBalloonTip>>& balloons()
{
    static std::map<const TExtStringGridAux*, std::unique_ptr<TBalloonTip>> map;
    return map;
}
} // namespace

void TExtStringGridAux::BalloonInit()
{
    if (m_balloonInit)
        return;
    m_balloonInit = true;
    auto tip = std::make_unique<TBalloonTip>(nullptr);
    tip->MaxTipWidth = 300;
    if (Balloon.AutoHideDelay != -1)
        tip->AutoHideDelay = Balloon.AutoHideDelay;
    if (Balloon.Transparency > 0)
        tip->setWindowOpacity((255 - Balloon.Transparency) / 255.0);
    balloons()[this] = std::move(tip);
}

void TExtStringGridAux::BalloonDone()
{
    balloons().erase(this);
    m_balloonInit = false;
}

bool TExtStringGridAux::event(QEvent* e)
{
    if (e->type() != QEvent::ToolTip)
        return TExtStringGridInput::event(e);
    auto* help = static_cast<QHelpEvent*>(e);
    const QPoint p = viewport()->mapFrom(this, help->pos());
    if (Balloon.Enable()) {
        if (!m_balloonInit)
            BalloonInit();
        int c = -1, r = -1;
        mouseToCell(p.x(), p.y(), c, r);
        QString title, text;
        int icon = 1;
        TBalloonTip* tip = balloons()[this].get();
        if (tip && BalloonText(c, r, title, text, icon)) {
            tip->TextColor = Balloon.TextColor;
            tip->BackgroundColor = Balloon.BackgroundColor;
            tip->ShowAt(help->globalPos() + QPoint(0, 16), title, text, icon);
        }
        return true;
    }
    QPoint hintPos;
    bool html = false;
    const QString hint = BuildCellHint(p, hintPos, html);
    if (hint.isEmpty()) {
        HideHint();
        return true;
    }
    const QPoint global = viewport()->mapToGlobal(hintPos);
    if (html && UseInternalHintClass) {
        QToolTip::hideText();
        THTMLHintWindow* window = GridHintWindow();
        window->setFont(font());
        window->SetColor(HintColor);
        window->ActivateHintData(QRect(global, QSize(1, 1)), hint, this);
    } else {
        GridHintWindow()->hide();
        // A plain hint is shown as written, never as rich text.
        QToolTip::showText(global, QStringLiteral("<p style='white-space:pre'>") + hint.toHtmlEscaped()
                                       + QStringLiteral("</p>"),
                           this);
    }
    return true;
}

// --- anchors under the mouse -------------------------------------------------------------------------

bool TExtStringGridAux::HitTestCellText(int col, int row, int x, int y, THTMLDrawResult& result,
                                        const QString& controlID)
{
    result = THTMLDrawResult{};
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        return false;
    const int rc = RealColIndex(col);
    const QString text = Cells(rc, row);
    if (GetTextKind(text, EnableHTML) != 1)
        return false;
    Rect tr = CellRect(col, row);
    if (tr.isEmpty())
        return false;
    const bool fixedCell = col < FixedCols() || row < FixedRows();
    if (fixedCell) {
        tr.left += GridLineWidth();
        tr.top += GridLineWidth();
    }
    // The text rectangle as the painter lays the text out.
    if (!XYOffsetTopLeftOnly)
        tr.right -= XYOffset.x();
    tr.left += XYOffset.x() - 1;
    tr.top += XYOffset.y();
    if (HasCheckBox(rc, row))
        tr.left += ControlLook.CheckSize();
    if (HasScrollBar(rc, row)) {
        tr.right -= 17;
        tr.top -= GetScrollPosition(rc, row);
    }
    platform::Bitmap scratch(1, 1);
    platform::Canvas canvas(scratch);
    TCellFormat format;
    TGridDrawState state;
    GetVisualProperties(col, row, state, false, false, true, format);
    canvas.font() = format.font;
    if (fixedCell)
        canvas.font().font = FixedFont();
    THTMLDrawParams p;
    p.NoDraw = true;
    p.PointX = x;
    p.PointY = y;
    p.Images = GetGridImageList();
    p.Container = PictureContainer;
    p.ImageCache = &ImageCache();
    p.AnchorColor = URLColor();
    p.WordWrap = format.wordWrap && Multilinecells;
    p.Window = this;
    result.ControlID = controlID;
    return HTMLDrawText(canvas, text, tr, p, result);
}

void TExtStringGridAux::TrackAnchor(int col, int row, int x, int y)
{
    QString anchor;
    int link = -1;
    bool htmlCell = false;
    if (col >= 0 && row >= 0) {
        THTMLDrawResult res;
        htmlCell = GetTextKind(Cells(RealColIndex(col), row), EnableHTML) == 1;
        if (htmlCell && HitTestCellText(col, row, x, y, res) && res.AnchorVal != QLatin1String("ctrl")) {
            anchor = res.AnchorVal;
            link = res.AnchorIndex;
            QString hint = res.AnchorTitle;
            if (hint.isEmpty() && OnAnchorHint) {
                hint = anchor;
                OnAnchorHint(this, row, RealColIndex(col), hint);
            }
            if (hint != m_lastAnchorHint && !m_lastAnchorHint.isEmpty() && anchor != m_anchor) {
                m_lastAnchorHint = hint;
                HideHint(); // the new anchor's hint shows when the tool tip asks again
            }
        }
    }
    if (URLUnderlineOnHover) {
        const TGridCoord cell = htmlCell && link > 0 ? TGridCoord{col, row} : TGridCoord{-1, -1};
        if (!(cell == m_hoverCell) || link != m_hoverLink) {
            const TGridCoord old = m_hoverCell;
            m_hoverCell = cell;
            m_hoverLink = link;
            if (old.X >= 0)
                RepaintCell(old.X, old.Y);
            if (cell.X >= 0)
                RepaintCell(cell.X, cell.Y);
        }
    }
    if (!anchor.isNull() && link > 0) {
        viewport()->setCursor(Qt::PointingHandCursor);
        if (anchor != m_anchor) {
            if (!m_anchor.isNull() && OnAnchorExit)
                OnAnchorExit(this, row, col, m_anchor);
            m_anchor = anchor;
            if (OnAnchorEnter)
                OnAnchorEnter(this, row, col, anchor);
        }
    } else if (!m_anchor.isNull()) {
        // Leaving an anchor, whatever the mouse is over now.
        const QString left = m_anchor;
        m_anchor = QString();
        if (OnAnchorExit)
            OnAnchorExit(this, row, col, left);
    }
}

void TExtStringGridAux::mouseMove(TShiftState shift, int x, int y)
{
    TExtStringGridInput::mouseMove(shift, x, y);
    if (m_designing)
        return;
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    TrackAnchor(c, r, x, y);

    TGridCoord base{-1, -1};
    if (c >= 0 && r >= 0) {
        const QPoint b = BaseCell(RealColIndex(c), r);
        base = TGridCoord{DisplColIndex(b.x()), b.y()};
    }
    if (m_lastHintPos.X >= 0 && !(base == m_lastHintPos)) {
        HideHint();
        m_lastHintPos = TGridCoord{-1, -1};
    }
    if (Balloon.Enable() && !(base == m_lastBalloonPos)) {
        if (auto it = balloons().find(this); it != balloons().end() && it->second)
            it->second->Pop();
        m_lastBalloonPos = TGridCoord{-1, -1};
    }
    if (m_panning) {
        const QPoint d = QPoint(x, y) - m_panStart;
        if (IntelliPan == ipVertical || IntelliPan == ipBoth) {
            const int rows = d.y() / std::max(1, DefaultRowHeight());
            if (rows != 0) {
                SetTopRow(std::clamp(TopRow() + rows, FixedRows(), std::max(FixedRows(), RowCount() - visibleRowCount())));
                m_panStart.setY(y);
            }
        }
        if (IntelliPan == ipHorizontal || IntelliPan == ipBoth) {
            const int cols = d.x() / std::max(1, defaultColWidth());
            if (cols != 0) {
                setLeftCol(std::clamp(leftCol() + cols, FixedCols(), std::max(FixedCols(), ColCount() - visibleColCount())));
                m_panStart.setX(x);
            }
        }
    }
    MoveFeedback(x, y);
}

void TExtStringGridAux::cmMouseLeave()
{
    TExtStringGridInput::cmMouseLeave();
    if (!m_anchor.isNull()) {
        const QString left = m_anchor;
        m_anchor = QString();
        if (OnAnchorExit)
            OnAnchorExit(this, -1, -1, left);
    }
    if (URLUnderlineOnHover && m_hoverCell.X >= 0) {
        const TGridCoord old = m_hoverCell;
        m_hoverCell = TGridCoord{-1, -1};
        m_hoverLink = -1;
        RepaintCell(old.X, old.Y);
    }
}

// --- scroll indicators, drag image, wheel panning -------------------------------------------------------

void TExtStringGridAux::CreateScrollControls()
{
    if (!m_vScroll) {
        m_vScroll = new TScrollControl(this, sdVertical);
        m_vScroll->show();
    }
    if (!m_hScroll) {
        m_hScroll = new TScrollControl(this, sdHorizontal);
        m_hScroll->show();
    }
}

void TExtStringGridAux::ScrollTypeChanged()
{
    static constexpr auto kNone = platform::TScrollStyle::ssNone;
    if (ScrollType() == ssMetro) {
        CreateScrollControls();
        // The indicators stand in for the scroll bars; ScrollBars keeps the setting to come
        // back to.
        setScrollBars(kNone);
    } else {
        delete m_vScroll;
        delete m_hScroll;
        setScrollBars(ScrollBars());
    }
}

void TExtStringGridAux::topLeftChanged()
{
    TExtStringGridInput::topLeftChanged();
    if (m_vScroll)
        m_vScroll->update();
    if (m_hScroll)
        m_hScroll->update();
}

TNoActiveForm* TExtStringGridAux::SelectionToForm(const TGridRect& cells)
{
    const QImage picture = viewport()->grab().toImage();
    Rect a = cellRect(cells.Left, cells.Top);
    Rect b = cellRect(cells.Right, cells.Bottom);
    const int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
    const int right = std::max(a.right, b.right), bottom = std::max(a.bottom, b.bottom);
    QImage image(right - left + 1, bottom - top + 1, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.drawImage(QPoint(0, 0), picture, QRect(left + 1, top + 1, image.width(), image.height()));
        p.setPen(platform::toQColor(GridFixedLineColor()));
        if (cells.Left == 0 && FixedCols() > 0 && options().testFlag(platform::goFixedVertLine))
            p.drawLine(0, 0, 0, image.height() - 1);
        if (cells.Top == 0 && FixedRows() > 0 && options().testFlag(platform::goFixedHorzLine))
            p.drawLine(0, 0, image.width() - 1, 0);
    }
    auto* form = new TNoActiveForm(this);
    form->SetPicture(image);
    form->SetAlphaBlendValue(192);
    return form;
}

QImage TExtStringGridAux::DragCellsImage(const TGridRect& cells)
{
    const bool showSelection = ShowSelection();
    SetShowSelection(false);
    const std::unique_ptr<TNoActiveForm> form(SelectionToForm(cells));
    SetShowSelection(showSelection);
    // The form's blending as the picture's own alpha, for the drag to show as it is.
    QImage image = form->Picture().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.fillRect(image.rect(), QColor(0, 0, 0, form->AlphaBlendValue()));
    return image;
}

QImage TExtStringGridAux::DragHeaderImage(const QString& caption, int width, int height)
{
    THeaderDragButton button(this);
    button.PaintHeader = m_moveButton->PaintHeader;
    button.SetCaption(caption);
    button.resize(std::max(1, width), std::max(1, height));
    platform::Bitmap bitmap(button.width(), button.height());
    {
        platform::Canvas canvas(bitmap);
        button.PaintTo(canvas);
    }
    return bitmap.image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TExtStringGridAux::ShowIntelliPan(platform::Canvas& canvas)
{
    if (IntelliPan == ipNone)
        return;
    // The mark: a white disc with a dot and the arrows of the directions it pans in.
    platform::Bitmap mark(32, 32, platform::clFuchsia);
    {
        platform::Canvas c(mark);
        c.pen() = platform::Pen{platform::clBlack, 1, platform::PenStyle::Solid};
        c.brush() = platform::Brush{platform::clWhite, platform::BrushStyle::Solid};
        c.ellipse(Rect{2, 2, 30, 30});
        c.brush().color = platform::clBlack;
        c.ellipse(Rect{14, 14, 18, 18});
        if (IntelliPan != ipHorizontal) {
            c.polygon({QPoint(16, 5), QPoint(12, 10), QPoint(20, 10)});
            c.polygon({QPoint(16, 26), QPoint(12, 21), QPoint(20, 21)});
        }
        if (IntelliPan != ipVertical) {
            c.polygon({QPoint(5, 16), QPoint(10, 12), QPoint(10, 20)});
            c.polygon({QPoint(26, 16), QPoint(21, 12), QPoint(21, 20)});
        }
    }
    mark.setTransparent(true);
    mark.setTransparentColor(mark.pixel(0, 0));
    canvas.draw(m_wheelPanPos.x(), m_wheelPanPos.y(), mark);
}

void TExtStringGridAux::InvalidateIntelliPan() { viewport()->update(QRect(m_wheelPanPos, QSize(32, 32))); }

void TExtStringGridAux::wmMButtonDown(TWMMouse& msg)
{
    if (IntelliPan != ipNone) {
        m_panning = true;
        m_panStart = QPoint(msg.XPos, msg.YPos);
        m_wheelPanPos = m_panStart - QPoint(16, 16);
        InvalidateIntelliPan();
    }
    TExtStringGridInput::wmMButtonDown(msg);
}

void TExtStringGridAux::wmMButtonUp(TWMMouse& msg)
{
    if (m_panning) {
        m_panning = false;
        InvalidateIntelliPan();
    }
    TExtStringGridInput::wmMButtonUp(msg);
}

void TExtStringGridAux::paint()
{
    TExtStringGridInput::paint();
    if (m_panning && isPainting())
        ShowIntelliPan(canvas());
}

} // namespace controls::grid
