#include "controls/grid/auxwin/GridWindows.h"

#include "controls/grid/core/ExtStringGrid.h"
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/paint/GridPaint.h"
#include "controls/grid/util/ExtUtil.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace controls::grid {

namespace {

constexpr int kLayoutWidth = 1008;

bool isWideCoded(const QString& text) { return GetTextKind(text, true) == 5; }

} // namespace

THTMLHintWindow::THTMLHintWindow(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setWindowTitle(QStringLiteral("Grid hint"));
}

void THTMLHintWindow::SetColor(platform::Color c)
{
    m_color = c;
    update();
}

int THTMLHintWindow::measure(const QString& hint, int maxWidth)
{
    platform::Bitmap scratch(1, 1);
    platform::Canvas canvas(scratch);
    canvas.font().font = font();
    if (isWideCoded(hint)) {
        m_wideCaption = DecodeWideCellText(hint);
        if (!GridUnitState().HintFontName.isEmpty())
            canvas.font().font.setFamily(GridUnitState().HintFontName);
        Rect r{0, 0, maxWidth, 0};
        canvas.drawText(m_wideCaption, r, platform::DT_SINGLELINE | platform::DT_NOPREFIX | platform::DT_CALCRECT);
        m_textWidth = r.width();
        m_textHeight = r.height();
        return 8;
    }
    m_wideCaption.clear();
    THTMLDrawParams p;
    p.CalcOnly = true;
    p.Images = Images;
    p.Container = PictureContainer;
    THTMLDrawResult res;
    HTMLDrawText(canvas, hint, Rect{0, 0, maxWidth, 4096}, p, res);
    m_textWidth = res.TextWidth;
    m_textHeight = res.TextHeight;
    return 16;
}

void THTMLHintWindow::ActivateHint(QRect rect, const QString& hint)
{
    m_text = hint;
    const int extra = measure(hint, kLayoutWidth);
    QRect r(rect.left(), rect.top(), m_textWidth + extra, m_textHeight + 4);
    QScreen* screen = QGuiApplication::screenAt(r.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect monitor = screen->geometry();
        // Right and bottom edges as the platform counts them: one past the last pixel.
        if (r.left() + r.width() > monitor.left() + monitor.width() - 2)
            r.moveLeft(monitor.left() + monitor.width() - 2 - r.width());
        if (r.top() + r.height() > monitor.top() + monitor.height() - 2)
            r.moveTop(monitor.top() + monitor.height() - 2 - r.height());
    }
    setGeometry(r);
    show();
    raise();
    update();
}

void THTMLHintWindow::ActivateHintData(QRect rect, const QString& hint, QObject* data)
{
    if (auto* grid = dynamic_cast<TExtStringGrid*>(data)) {
        Images = grid->GridImages();
        if (auto* painted = dynamic_cast<TExtStringGridPaint*>(grid))
            PictureContainer = painted->PictureContainer;
    }
    ActivateHint(rect, hint);
}

QRect THTMLHintWindow::CalcHintRect(int maxWidth, const QString& hint, QObject* data)
{
    if (auto* grid = dynamic_cast<TExtStringGrid*>(data))
        Images = grid->GridImages();
    measure(hint, maxWidth);
    return QRect(0, 0, m_textWidth, m_textHeight);
}

void THTMLHintWindow::paintEvent(QPaintEvent*)
{
    platform::Canvas canvas(this);
    const Rect client{0, 0, width(), height()};
    canvas.brush() = platform::Brush{m_color, platform::BrushStyle::Solid};
    canvas.fillRect(client);
    canvas.pen() = platform::Pen{platform::cl3DLight, 1, platform::PenStyle::Solid};
    canvas.moveTo(client.left, client.bottom - 2);
    canvas.lineTo(client.left, client.top);
    canvas.lineTo(client.right - 1, client.top);
    canvas.pen().color = platform::cl3DDkShadow;
    canvas.moveTo(client.left, client.bottom - 1);
    canvas.lineTo(client.right - 1, client.bottom - 1);
    canvas.lineTo(client.right - 1, client.top - 1);

    Rect r{client.left + 4, client.top, client.right - 4, client.bottom};
    r.top = r.top + (client.height() - m_textHeight) / 2;
    r.bottom = r.top + m_textHeight + 8;
    canvas.font().font = font();
    canvas.font().color = platform::clInfoText;
    canvas.setBkMode(platform::BkMode::Transparent);
    if (!m_wideCaption.isEmpty() || isWideCoded(m_text)) {
        if (!GridUnitState().HintFontName.isEmpty())
            canvas.font().font.setFamily(GridUnitState().HintFontName);
        canvas.drawText(m_wideCaption, r, platform::DT_SINGLELINE | platform::DT_NOPREFIX);
        return;
    }
    THTMLDrawParams p;
    p.Images = Images;
    p.Container = PictureContainer;
    p.AnchorColor = 0xFF0000;
    p.ShadowColor = platform::clGray;
    p.Window = this;
    THTMLDrawResult res;
    HTMLDrawText(canvas, m_text, r, p, res);
}

THTMLHintWindow* GridHintWindow()
{
    static QPointer<THTMLHintWindow> window;
    if (!window)
        window = new THTMLHintWindow(nullptr);
    return window;
}

// --- HTML hints for the whole application --------------------------------------------------------

namespace {

class HTMLHintFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w)
            return false;
        if (e->type() == QEvent::ToolTip) {
            const QString tip = w->toolTip();
            if (tip.isEmpty())
                return false;
            auto* help = static_cast<QHelpEvent*>(e);
            QToolTip::hideText();
            GridHintWindow()->ActivateHintData(QRect(help->globalPos() + QPoint(0, 20), QSize(1, 1)), tip, nullptr);
            return true;
        }
        if (e->type() == QEvent::Leave || e->type() == QEvent::MouseButtonPress)
            GridHintWindow()->hide();
        return false;
    }
};

QPointer<HTMLHintFilter> g_hintFilter;

} // namespace

void SetUseHTMLHints(bool on)
{
    if (on == bool(g_hintFilter))
        return;
    if (on) {
        g_hintFilter = new HTMLHintFilter(qApp);
        qApp->installEventFilter(g_hintFilter);
    } else {
        qApp->removeEventFilter(g_hintFilter);
        delete g_hintFilter;
    }
}

bool UseHTMLHintsActive() { return bool(g_hintFilter); }

} // namespace controls::grid
