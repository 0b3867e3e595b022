// The search bar's control: its parts, their places and wiring, its painting.
#include "controls/grid/paint/SearchPanel.h"

#include "controls/grid/core/ExtStringGrid.h"
#include "controls/grid/paint/PaintRoutines.h"
#include "platform/draw/Canvas.h"

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <algorithm>

namespace controls::grid {

namespace {

// The bar's small pictures, drawn once: arrows down and up, a cross, a highlighter mark.
platform::Bitmap Glyph(int size, const std::function<void(QPainter&)>& draw)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    draw(p);
    p.end();
    return platform::Bitmap(image);
}

platform::Bitmap Arrow(bool down, QColor color)
{
    return Glyph(12, [&](QPainter& p) {
        QPainterPath path;
        if (down) {
            path.moveTo(2, 4);
            path.lineTo(10, 4);
            path.lineTo(6, 9);
        } else {
            path.moveTo(2, 8);
            path.lineTo(10, 8);
            path.lineTo(6, 3);
        }
        path.closeSubpath();
        p.fillPath(path, color);
    });
}

platform::Bitmap Cross(QColor color)
{
    return Glyph(10, [&](QPainter& p) {
        p.setPen(QPen(color, 2));
        p.drawLine(2, 2, 7, 7);
        p.drawLine(7, 2, 2, 7);
    });
}

platform::Bitmap Marker(QColor color)
{
    return Glyph(12, [&](QPainter& p) {
        p.fillRect(1, 3, 10, 6, color);
        p.setPen(QColor(64, 64, 64));
        p.drawRect(1, 3, 9, 5);
    });
}

} // namespace

// --- the edit --------------------------------------------------------------------------------------

TRetEdit::TRetEdit(QWidget* parent) : QLineEdit(parent) {}

void TRetEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        const auto& event = e->modifiers().testFlag(Qt::ControlModifier) ? OnCtrlReturn : OnReturn;
        if (event)
            event(this);
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Escape && OnEscape) {
        OnEscape(this);
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

// --- the panel ---------------------------------------------------------------------------------------

TSearchPanel::TSearchPanel(TExtStringGrid* grid)
    : QWidget(grid), m_grid(grid), m_edit(new TRetEdit(this)), m_forward(new TExtGridButton(this)),
      m_backward(new TExtGridButton(this)), m_exit(new TExtGridButton(this)), m_hilite(new TExtGridButton(this)),
      m_matchCase(new TExtCheckBox(this))
{
    setObjectName(QStringLiteral("SearchPanel"));
    m_edit->setObjectName(QStringLiteral("SearchEdit"));
    setAutoFillBackground(false);
    m_viewport = grid->viewport();
    m_viewport->installEventFilter(this);
}

void TSearchPanel::Place()
{
    const QRect vp = m_grid->viewport()->geometry();
    const int footer = m_grid->FloatingFooter.Visible ? std::max(0, m_grid->FloatingFooter.Height - 1) : 0;
    setGeometry(vp.left(), vp.bottom() + 1 + footer, vp.width(), m_grid->SearchFooter.Visible() ? kHeight : 0);
}

bool TSearchPanel::eventFilter(QObject* watched, QEvent* e)
{
    // Compared by the pointer kept at creation: the grid may be half gone when its viewport goes.
    if ((e->type() == QEvent::Resize || e->type() == QEvent::Move) && watched == m_viewport.data())
        Place();
    return QWidget::eventFilter(watched, e);
}

void TSearchPanel::CreateWnd()
{
    m_forward->setEnabled(false);
    m_forward->SetGlyph(Arrow(true, Qt::black));
    m_forward->SetGlyphDisabled(Arrow(true, Qt::gray));
    m_backward->setEnabled(false);
    m_backward->SetGlyph(Arrow(false, Qt::black));
    m_backward->SetGlyphDisabled(Arrow(false, Qt::gray));
    m_exit->ShowCaption = false;
    m_exit->SetGlyph(Cross(QColor(96, 96, 96)));
    m_exit->GlyphHot = Cross(Qt::black);
    m_exit->GlyphDown = Cross(QColor(160, 0, 0));
    m_exit->setFont(QFont(QStringLiteral("Tahoma"), 8));
    m_hilite->setEnabled(false);
    m_hilite->Style = tasCheck;
    m_hilite->AllowAllUp = true;
    m_hilite->SetGlyph(Marker(QColor(255, 255, 0)));
    m_hilite->SetGlyphDisabled(Marker(QColor(224, 224, 224)));
    QFont plain = font();
    plain.setBold(false);
    plain.setItalic(false);
    m_hilite->setFont(plain);
    m_matchCase->SetCaption(MatchCaseCaption);

    QObject::connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        const bool any = !text.isEmpty();
        m_forward->setEnabled(any);
        m_backward->setEnabled(any);
        m_hilite->setEnabled(any);
        for (QShortcut* k : m_keys)
            k->setEnabled(any);
        fire(OnEditChange);
    });
    const PanelEvent* keyEvents[3] = {&OnForwardClick, &OnBackwardClick, &OnHighlightClick};
    TExtGridButton* keyButtons[3] = {m_forward, m_backward, m_hilite};
    for (int i = 0; i < 3; ++i) {
        m_keys[i] = new QShortcut(keyButtons[i]);
        m_keys[i]->setContext(Qt::WindowShortcut);
        m_keys[i]->setEnabled(false);
        const PanelEvent* event = keyEvents[i];
        QObject::connect(m_keys[i], &QShortcut::activated, this, [this, event]() { fire(*event); });
    }
    m_edit->OnReturn = [this](TRetEdit*) { fire(OnForwardClick); };
    m_edit->OnCtrlReturn = [this](TRetEdit*) { fire(OnBackwardClick); };
    m_edit->OnEscape = [this](TRetEdit*) { fire(OnExitClick); };
    m_forward->OnClick = [this](TExtGridButton*) { fire(OnForwardClick); };
    m_backward->OnClick = [this](TExtGridButton*) { fire(OnBackwardClick); };
    m_exit->OnClick = [this](TExtGridButton*) { fire(OnExitClick); };
    m_hilite->OnClick = [this](TExtGridButton*) { fire(OnHighlightClick); };
    ApplyTexts();
    PlaceParts();
}

void TSearchPanel::fire(const PanelEvent& event)
{
    if (event)
        event(this);
}

void TSearchPanel::ApplyTexts()
{
    m_forward->SetCaption(FindNextCaption);
    m_backward->SetCaption(FindPrevCaption);
    m_hilite->SetCaption(HighLightCaption);
    m_matchCase->SetCaption(MatchCaseCaption);
    m_keys[0]->setKey(QKeySequence::mnemonic(FindNextCaption));
    m_keys[1]->setKey(QKeySequence::mnemonic(FindPrevCaption));
    m_keys[2]->setKey(QKeySequence::mnemonic(HighLightCaption));
    m_forward->setToolTip(HintFindNext);
    m_backward->setToolTip(HintFindPrev);
    m_exit->setToolTip(HintClose);
    m_hilite->setToolTip(HintHighLight);
}

void TSearchPanel::place(QWidget* part, int left, int top, int width, int height)
{
    if (layoutDirection() == Qt::RightToLeft || (m_grid && m_grid->layoutDirection() == Qt::RightToLeft))
        left = this->width() - width - left;
    part->setGeometry(left, top, width, height);
}

void TSearchPanel::PlaceParts()
{
    place(m_edit, 25, 6, 110, m_edit->sizeHint().height());
    place(m_forward, 140, 5, 90, 23);
    place(m_backward, 235, 5, 90, 23);
    place(m_exit, 5, 7, 14, 14);
    place(m_hilite, 330, 5, 90, 23);
    const int boxWidth = QFontMetrics(m_matchCase->font()).horizontalAdvance(MatchCaseCaption) + 24;
    place(m_matchCase, m_hilite->isVisibleTo(this) ? 425 : 330, 8, boxWidth, 18);
}

void TSearchPanel::SetColor(platform::Color c)
{
    m_color = c;
    update();
}

void TSearchPanel::SetColorTo(platform::Color c)
{
    m_colorTo = c;
    update();
}

void TSearchPanel::SetEditColor(platform::Color c)
{
    if (c == m_editColor)
        return;
    m_editColor = c;
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, platform::toQColor(c));
    m_edit->setPalette(pal);
    m_edit->update();
}

void TSearchPanel::resizeEvent(QResizeEvent*) { PlaceParts(); }

void TSearchPanel::paintEvent(QPaintEvent*)
{
    platform::Canvas canvas(this);
    const Rect r{0, 0, width(), height()};
    if (m_colorTo == platform::clNone) {
        canvas.brush() = platform::Brush{m_color, platform::BrushStyle::Solid};
        canvas.fillRect(r);
    } else {
        DrawGradientSteps(canvas, m_color, m_colorTo, false, r, 32);
    }
    canvas.pen() = platform::Pen{m_grid ? m_grid->GridLineColor() : platform::clBtnShadow, 1,
                                 platform::PenStyle::Solid};
    canvas.moveTo(0, 0);
    canvas.lineTo(width(), 0);
}

} // namespace controls::grid
