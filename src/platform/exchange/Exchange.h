#pragma once
// The clipboard and drag and drop of the program's controls, on Qt's (QClipboard, QMimeData,
// QDrag). One table names every format the controls exchange; a control hands over and takes
// back an ExchangeData (the formats it offers or was given) and never touches QMimeData.
//
//   format       MIME type                              content
//   Text         text/plain                             Unicode text
//   Rtf          text/rtf                               RTF text (bytes as written)
//   Html         text/html                              UTF-8 HTML
//   GridCells    application/x-varnetor-grid-cells      the grid's binary cell stream
//   GridColumn   application/x-varnetor-grid-column     the dragged column index, decimal
//   TreeNodes    application/x-varnetor-tree-nodes      the tree's node stream
//   Urls         text/uri-list                          URLs that are not local files
//   Files        text/uri-list (file: URLs)             local file names
//
// Data read from the clipboard or a drop comes from other programs: every reader of a format
// treats it as untrusted (the readers of the formats check their bytes).
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <array>

class QMimeData;
class QWidget;

namespace platform {

enum class ExchangeFormat { Text, Rtf, Html, GridCells, GridColumn, TreeNodes, Urls, Files };

struct ExchangeFormatInfo {
    ExchangeFormat format;
    const char* mime;
};

inline constexpr std::array<ExchangeFormatInfo, 8> kExchangeFormats{{
    {ExchangeFormat::Text, "text/plain"},
    {ExchangeFormat::Rtf, "text/rtf"},
    {ExchangeFormat::Html, "text/html"},
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
    // The bytes of the byte formats (Rtf, Html, GridCells, TreeNodes).
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
    QByteArray m_bytes[4];
    bool m_hasBytes[4] = {false, false, false, false};
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

// Starts a drag from source and returns when it ends: the effect the target chose (None when
// the drag was cancelled or refused).
DropEffect startDrag(QWidget* source, const ExchangeData& data, bool allowMove);

} // namespace platform
