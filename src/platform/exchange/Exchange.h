#pragma once
// The clipboard and drag and drop of the program's controls, on Qt's (QClipboard, QMimeData,
// QDrag). One table names every format the controls exchange; a control hands over and takes
// back an ExchangeData (the formats it offers or was given) and never touches QMimeData.
//
//   format       MIME type                              content
//   Text         text/plain                             Unicode text
//   Rtf          text/rtf                               RTF text (bytes as written)
//   Html         text/html                              UTF-8 HTML
//   HtmlFormat   application/x-varnetor-html-format     the same HTML behind the header of the
//                                                       "HTML Format" convention (Version,
//                                                       StartHTML, EndHTML, StartFragment,
//                                                       EndFragment), offsets in UTF-8 bytes
//   GridCells    application/x-varnetor-grid-cells      the grid's binary cell stream
//   GridColumn   application/x-varnetor-grid-column     the dragged column index, decimal
//   TreeNodes    application/x-varnetor-tree-nodes      the tree's node stream
//   Urls         text/uri-list                          URLs that are not local files
//   Files        text/uri-list (file: URLs)             local file names
//
// Data read from the clipboard or a drop comes from other programs: every reader of a format
// treats it as untrusted (the readers of the formats check their bytes).
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <array>
#include <functional>

class QMimeData;
class QWidget;

namespace platform {

enum class ExchangeFormat { Text, Rtf, Html, HtmlFormat, GridCells, GridColumn, TreeNodes, Urls, Files };

struct ExchangeFormatInfo {
    ExchangeFormat format;
    const char* mime;
};

inline constexpr std::array<ExchangeFormatInfo, 9> kExchangeFormats{{
    {ExchangeFormat::Text, "text/plain"},
    {ExchangeFormat::Rtf, "text/rtf"},
    {ExchangeFormat::Html, "text/html"},
    {ExchangeFormat::HtmlFormat, "application/x-varnetor-html-format"},
    {ExchangeFormat::GridCells, "application/x-varnetor-grid-cells"},
    {ExchangeFormat::GridColumn, "application/x-varnetor-grid-column"},
    {ExchangeFormat::TreeNodes, "application/x-varnetor-tree-nodes"},
    {ExchangeFormat::Urls, "text/uri-list"},
    {ExchangeFormat::Files, "text/uri-list"},
}};

QString mimeType(ExchangeFormat format);

// What a copy or a drag offers, or what the clipboard or a drop holds.
class ExchangeData {
public:
    bool has(ExchangeFormat format) const;
    bool isEmpty() const;

    void setText(const QString& text) { m_text = text; m_hasText = true; }
    QString text() const { return m_text; }
    // The bytes of the byte formats (Rtf, Html, HtmlFormat, GridCells, TreeNodes).
    void setBytes(ExchangeFormat format, const QByteArray& bytes);
    QByteArray bytes(ExchangeFormat format) const;
    void setColumn(int column) { m_column = column; }
    // -1 when no column is carried.
    int column() const { return m_column; }
    void setUrls(const QList<QUrl>& urls);
    // URLs other than local files.
    QList<QUrl> urls() const { return m_urls; }
    // Local file names.
    QStringList files() const { return m_files; }

    // Qt's container for the clipboard or a drag (owned by the caller), and back.
    QMimeData* toMimeData() const;
    static ExchangeData fromMimeData(const QMimeData* mime);

private:
    QString m_text;
    bool m_hasText = false;
    static constexpr int kByteFormats = 5;
    QByteArray m_bytes[kByteFormats];
    bool m_hasBytes[kByteFormats] = {};
    int m_column = -1;
    QList<QUrl> m_urls;
    QStringList m_files;
};

// The system clipboard.
void setClipboardData(const ExchangeData& data);
ExchangeData clipboardData();
// Plain text on the clipboard (nothing else).
void setClipboardText(const QString& text);

// What a drop does with the keys held: Ctrl copies; otherwise a move where moves are allowed.
enum class DropEffect { None, Copy, Move };
DropEffect dropEffectFromKeys(bool ctrlHeld, bool moveAllowed);

// What a drag shows under the mouse while it runs: a picture (drawn with its own alpha) and
// the point of the picture that stays at the mouse; a point outside the picture keeps the
// picture off the mouse (-4, -4: 4 pixels right of and below it). A null image leaves the
// system's drag cursor alone.
struct DragImage {
    QImage image;
    QPoint hotSpot;
};

// One drag as the source starts it. effectChanged (may be empty) hears every change of the
// effect the target offers while the drag runs.
struct DragRequest {
    QWidget* source = nullptr;
    ExchangeData data;
    bool allowMove = false;
    DragImage image;
    std::function<void(DropEffect)> effectChanged;
};

// Starts a drag from source and returns when it ends: the effect the target chose (None when
// the drag was cancelled or refused).
DropEffect startDrag(QWidget* source, const ExchangeData& data, bool allowMove, const DragImage& image = {},
                     std::function<void(DropEffect)> effectChanged = {});

// Runs the drags in place of the system (tests: a drag without a person); an empty runner puts
// the system's drag back. Returns the runner that was set before.
using DragRunner = std::function<DropEffect(const DragRequest&)>;
DragRunner setDragRunner(DragRunner runner);

} // namespace platform
