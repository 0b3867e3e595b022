#include "platform/exchange/DropTarget.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QWidget>

namespace platform {

namespace {
bool g_dropRTF = false;

Qt::DropAction toAction(DropEffect e)
{
    return e == DropEffect::Copy ? Qt::CopyAction : e == DropEffect::Move ? Qt::MoveAction : Qt::IgnoreAction;
}
} // namespace

void setDropRTFFlag(bool on) { g_dropRTF = on; }
bool dropRTFFlag() { return g_dropRTF; }

DropFormats dropFormatsOf(const ExchangeData& d)
{
    DropFormats f = 0;
    if (d.has(ExchangeFormat::Text))
        f |= dfText;
    if (d.has(ExchangeFormat::Files))
        f |= dfFile;
    if (d.has(ExchangeFormat::GridColumn))
        f |= dfCol;
    if (d.has(ExchangeFormat::Rtf))
        f |= dfRTF;
    if (d.has(ExchangeFormat::Urls))
        f |= dfURL;
    if (d.has(ExchangeFormat::GridCells))
        f |= dfGridCells;
    return f;
}

DropTarget::DropTarget(QWidget* widget) : QObject(widget), m_widget(widget)
{
    if (widget) {
        widget->setAcceptDrops(true);
        widget->installEventFilter(this);
    }
}

DropTarget::~DropTarget()
{
    if (m_widget) {
        m_widget->removeEventFilter(this);
        m_widget->setAcceptDrops(false);
    }
}

bool DropTarget::accepts(const ExchangeData& d) const
{
    return (d.has(ExchangeFormat::Text) && AcceptText) || (d.has(ExchangeFormat::Files) && AcceptFiles)
           || (d.has(ExchangeFormat::Rtf) && g_dropRTF && AcceptText)
           || (d.has(ExchangeFormat::GridColumn) && AcceptCols) || (d.has(ExchangeFormat::Urls) && AcceptURLs)
           || d.has(ExchangeFormat::GridCells);
}

DropEffect DropTarget::DragEnter(const ExchangeData& data, bool ctrl, bool moveAllowed, QPoint)
{
    m_ok = accepts(data);
    m_formats = dropFormatsOf(data);
    DragMouseEnter();
    return m_ok ? dropEffectFromKeys(ctrl, moveAllowed) : DropEffect::None;
}

DropEffect DropTarget::DragOver(bool ctrl, bool moveAllowed, QPoint screen)
{
    DropEffect e = m_ok ? dropEffectFromKeys(ctrl, moveAllowed) : DropEffect::None;
    bool allow = e != DropEffect::None;
    DragMouseMove(screen, allow, m_formats);
    return allow ? e : DropEffect::None;
}

void DropTarget::DragLeave()
{
    DragMouseLeave();
}

DropEffect DropTarget::Drop(const ExchangeData& data, bool ctrl, bool moveAllowed, QPoint screen)
{
    // The drop looks at what it is given (a drop may arrive without an enter).
    m_ok = accepts(data);
    m_formats = dropFormatsOf(data);
    if (!m_ok)
        return DropEffect::None;
    if (data.has(ExchangeFormat::GridColumn) && AcceptCols) {
        DropCol(screen, data.column());
    } else {
        if (data.has(ExchangeFormat::GridCells))
            DropStream(screen, data.bytes(ExchangeFormat::GridCells));
        else if (data.has(ExchangeFormat::Rtf) && g_dropRTF && AcceptText)
            DropRTF(screen, QString::fromUtf8(data.bytes(ExchangeFormat::Rtf)));
        else if (data.has(ExchangeFormat::Text) && AcceptText)
            DropText(screen, data.text());
        if (data.has(ExchangeFormat::Files) && AcceptFiles)
            DropFiles(screen, data.files());
        if (data.has(ExchangeFormat::Urls) && AcceptURLs)
            DropURL(screen, data.urls().constFirst().toString());
    }
    return dropEffectFromKeys(ctrl, moveAllowed);
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_widget)
        return false;
    // The effect given back to Qt: accepted with its action, or ignored.
    auto answer = [](QDropEvent* e, DropEffect effect) {
        if (effect != DropEffect::None) {
            e->setDropAction(toAction(effect));
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    };
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const bool ctrl = e->modifiers().testFlag(Qt::ControlModifier);
        const bool move = e->possibleActions().testFlag(Qt::MoveAction);
        const QPoint screen = m_widget->mapToGlobal(e->position().toPoint());
        if (event->type() == QEvent::DragMove)
            return answer(e, DragOver(ctrl, move, screen));
        const ExchangeData data = ExchangeData::fromMimeData(e->mimeData());
        return answer(e, event->type() == QEvent::Drop ? Drop(data, ctrl, move, screen)
                                                       : DragEnter(data, ctrl, move, screen));
    }
    case QEvent::DragLeave:
        DragLeave();
        return true;
    default:
        return false;
    }
}

} // namespace platform
