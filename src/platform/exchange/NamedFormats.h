#pragma once
// Named clipboard formats rendered when asked for, and the drag loop as a service.
//
// A control that speaks in named clipboard formats ("Lazy Tree Data", "HTML Format") renders
// each as the block it would hand to a Windows-shaped clipboard (a length-prefixed payload,
// zero-terminated text, UTF-16 text, CF_HTML). Qt carries MIME types: the table below names the
// MIME type of every format (those that Exchange.h knows by its own table) and how its block
// becomes the MIME bytes:
//
//   format name                          MIME type                               bytes
//   "Lazy Tree Data"                     ExchangeFormat::TreeNodes               the block
//   "Lazy Tree Reference"                application/x-varnetor-tree-reference   the block
//   "HTML Format"                        ExchangeFormat::Html                    the CF_HTML block
//                                                                                 without its header
//                                                                                 and terminator
//   "Rich Text Format"                   ExchangeFormat::Rtf                     without terminator
//   "Rich Text Format Without Objects"   text/rtf;variant=without-objects        without terminator
//   "CSV"                                text/csv                                without terminator
//   "Unicode text"                       ExchangeFormat::Text                    UTF-8, without
//                                                                                 terminator
//   "Plain text"                         text/plain;charset=windows-1252         without terminator
//   any other name                       application/x-qt-windows-mime;value="<name>"
//                                                                                 the block
// (the last form is how Qt itself names a Windows clipboard format, so a format an owner adds
// reaches Windows programs under its own name).
//
// Data read from the clipboard or a drop may come from another program: the readers of the
// formats treat every byte as untrusted.
#include <QByteArray>
#include <QImage>
#include <QMimeData>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// The MIME type a named format travels as, and the name a MIME type stands for (empty when
// none of the table's and not of the x-qt-windows-mime form).
QString mimeTypeOfFormat(const QString& formatName);
QString formatOfMimeType(const QString& mimeType);
// A block in the format's Windows shape as the MIME bytes, and the MIME bytes back as the block.
QByteArray blockToMimeBytes(const QString& formatName, const QByteArray& block);
QByteArray mimeBytesToBlock(const QString& formatName, const QByteArray& bytes);

// Clipboard content rendered when a reader asks for it. `formatNames` lists what is offered;
// `render` makes one format's block (no value: not available now); `released` runs when the
// clipboard or the drag lets go of the object (it is destroyed).
class LazyMimeData : public QMimeData {
public:
    LazyMimeData() = default;
    ~LazyMimeData() override;
    std::function<QStringList()> formatNames;
    std::function<std::optional<QByteArray>(const QString& formatName)> render;
    std::function<void()> released;

    bool hasFormat(const QString& mimeType) const override;
    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;
};

// The named formats a container holds (by the table), and one format's block (no value when
// it is not there).
QStringList formatNamesOf(const QMimeData* data);
std::optional<QByteArray> formatBlock(const QMimeData* data, const QString& formatName);

// The system clipboard. setClipboardMimeData takes the object over (the clipboard deletes the
// previous one); false when there is no clipboard.
bool setClipboardMimeData(QMimeData* data);
// What the clipboard holds (owned by the clipboard), nullptr when there is none.
const QMimeData* clipboardMimeData();
// Replaces the clipboard's content by plain copies of every format it offers now, so that it
// keeps them when their maker goes away. Nothing happens while `owner` is not what it holds
// (owner nullptr: whatever it holds).
void flushClipboard(const QMimeData* owner = nullptr);

// Drop effects, as bits (the values of Qt's drop actions).
constexpr unsigned DROPEFFECT_NONE = 0;
constexpr unsigned DROPEFFECT_COPY = 1;
constexpr unsigned DROPEFFECT_MOVE = 2;
constexpr unsigned DROPEFFECT_LINK = 4;
constexpr unsigned DROPEFFECT_SCROLL = 0x80000000u;

// Runs the platform's drag loop from `source` with `data` (taken over) and the picture shown
// under the pointer (`hotSpot` inside it); returns the effect the target chose, DROPEFFECT_NONE
// when it was cancelled or refused. Tests install their own service, which plays the target.
class DragService {
public:
    virtual ~DragService() = default;
    virtual unsigned exec(QWidget* source, QMimeData* data, const QImage& image, QPoint hotSpot,
                          unsigned allowedEffects) = 0;
};
DragService& dragService();
// nullptr restores Qt's drag.
void setDragService(DragService* service);

} // namespace platform
