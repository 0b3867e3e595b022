#pragma once
// A control as a drop target: what a drag carries is looked at once when it enters, each
// kind of content goes to its own handler when it is dropped. The control derives from
// DropTarget and fills the handlers it needs; Qt's drag events reach it through an event
// filter on the widget (or its viewport).
//
// Accepted: text with AcceptText, files with AcceptFiles, RTF with AcceptText while the
// process-wide RTF switch is on, a column with AcceptCols, URLs with AcceptURLs, and the grid's
// cells always. A drop calls DropCol alone when a column comes, else DropStream for grid cells,
// else DropRTF (switch on), else DropText; then, besides, DropFiles and DropURL. Ctrl copies;
// otherwise the drop moves where the source allows it.
#include "platform/exchange/Exchange.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

namespace platform {

enum DropFormat : unsigned { dfText = 1, dfFile = 2, dfCol = 4, dfRTF = 8, dfURL = 16, dfGridCells = 32 };
using DropFormats = unsigned;

DropFormats dropFormatsOf(const ExchangeData& data);
// Rich text is offered and accepted only while this is on (off at start).
void setDropRTFFlag(bool on);
bool dropRTFFlag();

class DropTarget : public QObject {
public:
    // Installs itself on widget (the widget that receives the drag events) and lets it take
    // drops; removed again with the object.
    explicit DropTarget(QWidget* widget);
    ~DropTarget() override;

    bool AcceptText = true;
    bool AcceptFiles = true;
    bool AcceptCols = false;
    bool AcceptURLs = true;
    DropFormats Formats() const { return m_formats; }
    bool Accepting() const { return m_ok; }

    // What the drag events do, callable without a drag (points are screen positions).
    DropEffect DragEnter(const ExchangeData& data, bool ctrl, bool moveAllowed, QPoint screen);
    DropEffect DragOver(bool ctrl, bool moveAllowed, QPoint screen);
    void DragLeave();
    DropEffect Drop(const ExchangeData& data, bool ctrl, bool moveAllowed, QPoint screen);

protected:
    virtual void DropText(QPoint, const QString&) {}
    virtual void DropStream(QPoint, const QByteArray&) {}
    virtual void DropCol(QPoint, int) {}
    virtual void DropRTF(QPoint, const QString&) {}
    virtual void DropFiles(QPoint, const QStringList&) {}
    virtual void DropURL(QPoint, const QString&) {}
    virtual void DragMouseMove(QPoint, bool& /*allow*/, DropFormats) {}
    virtual void DragMouseEnter() {}
    virtual void DragMouseLeave() {}

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool accepts(const ExchangeData& data) const;
    QPointer<QWidget> m_widget;
    bool m_ok = false;
    DropFormats m_formats = 0;
};

} // namespace platform
