#include "controls/grid/auxwin/GridWindows.h"

#include "controls/grid/core/ExtStringGrid.h"
#include "controls/grid/html/HTMLDraw.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace controls::grid {

// --- THeaderDragButton ------------------------------------------------------------------------------

THeaderDragButton::THeaderDragButton(TExtStringGrid* grid)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_grid(grid)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setWindowTitle(QStringLiteral("Grid column"));
    setEnabled(false);
    if (grid)
        setFont(grid->font());
}

void THeaderDragButton::SetCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void THeaderDragButton::PaintTo(platform::Canvas& canvas)
{
    const Rect client{0, 0, width(), height()};
    canvas.brush() = platform::Brush{platform::clBtnFace, platform::BrushStyle::Solid};
    canvas.fillRect(client);
    if (PaintHeader)
        PaintHeader(canvas, client);
    // The popup's border.
    canvas.brush() = platform::Brush{platform::clWindowFrame, platform::BrushStyle::Solid};
    canvas.frameRect(client);
    canvas.setBkMode(platform::BkMode::Transparent);
    canvas.font().font = font();
    canvas.font().color = platform::clBtnText;
    Rect r = client.inflated(-2, -1);
    if (!m_caption.contains(QLatin1String("</"))) {
        canvas.drawText(m_caption, r,
                        platform::DT_SINGLELINE | platform::DT_CENTER | platform::DT_VCENTER | platform::DT_END_ELLIPSIS
                            | platform::DT_NOPREFIX);
        return;
    }
    THTMLDrawParams p;
    p.Images = m_grid ? m_grid->GridImages() : nullptr;
    THTMLDrawResult res;
    HTMLDrawText(canvas, m_caption, r, p, res);
}

void THeaderDragButton::paintEvent(QPaintEvent*)
{
    platform::Canvas canvas(this);
    PaintTo(canvas);
}

// --- TDropList and TDropCheckList ----------------------------------------------------------------------

namespace {

void setupList(QListWidget* list)
{
    list->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    list->resize(0, 0);
    list->hide();
}

// The platform's cancel mode of a drop-down list: with the cursor outside it, the list hides
// and the grid is told.
void cancelList(QListWidget* list, QPoint globalCursor, const std::function<void(QObject*)>& onCancel)
{
    if (list->rect().contains(list->mapFromGlobal(globalCursor)))
        return;
    if (onCancel)
        onCancel(list);
    list->hide();
}

} // namespace

TDropList::TDropList(QWidget* parent) : QListWidget(parent) { setupList(this); }

void TDropList::CancelMode(QPoint globalCursor) { cancelList(this, globalCursor, OnCancel); }

void TDropList::keyPressEvent(QKeyEvent* e)
{
    QListWidget::keyPressEvent(e);
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        hide();
        if (OnSelect)
            OnSelect(this, currentRow());
    }
}

void TDropList::mouseReleaseEvent(QMouseEvent* e)
{
    QListWidget::mouseReleaseEvent(e);
    if (!rect().contains(e->pos())) {
        CancelMode(e->globalPosition().toPoint());
        return;
    }
    hide();
    if (OnSelect)
        OnSelect(this, currentRow());
}

void TDropList::focusOutEvent(QFocusEvent* e)
{
    QListWidget::focusOutEvent(e);
    if (isVisible())
        CancelMode(QCursor::pos());
}

TDropCheckList::TDropCheckList(QWidget* parent) : QListWidget(parent)
{
    setupList(this);
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem*) {
        if (OnSelect)
            OnSelect(this, -1);
    });
}

void TDropCheckList::AddCheckItem(const QString& text, bool checked)
{
    const QSignalBlocker quiet(this);
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TDropCheckList::CancelMode(QPoint globalCursor) { cancelList(this, globalCursor, OnCancel); }

void TDropCheckList::focusOutEvent(QFocusEvent* e)
{
    QListWidget::focusOutEvent(e);
    if (isVisible())
        CancelMode(QCursor::pos());
}

// --- TNoActiveForm -------------------------------------------------------------------------------------

TNoActiveForm::TNoActiveForm(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Grid cells"));
}

void TNoActiveForm::SetPicture(const QImage& image)
{
    m_image = image;
    resize(image.size());
    update();
}

void TNoActiveForm::SetAlphaBlendValue(int alpha)
{
    m_alpha = std::clamp(alpha, 0, 255);
    setWindowOpacity(m_alpha / 255.0);
}

void TNoActiveForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), m_image);
}

} // namespace controls::grid
