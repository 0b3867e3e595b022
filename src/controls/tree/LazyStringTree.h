#pragma once
// The string tree: the lazy tree that shows text. It keeps no text of its own; every cell
// text comes from the owner's OnGetText (or OnGetCellText) each time it is needed - painting,
// measuring, searching, hints, saving - so a tree of any size costs only its node blocks. Each
// node keeps the pixel width of its main-column text in 4 bytes of its own internal data,
// measured once and cleared by a font change, a main-column change or an explicit
// invalidation.
//
// Two texts per cell: the normal text and, with toShowStaticText, a static text drawn after
// it. Single-line text that does not fit a column is shortened with "..." (a tree without
// columns paints one cell per row, column -1, whose text is never shortened); multi-line nodes
// wrap and can compute their height (ComputeNodeHeight).
//
// With toRestoreSelection the texts of the selected nodes are remembered (case-insensitively),
// and a node added later with one of those texts is selected again.
#include "controls/tree/LazyTree.h"

#include <QString>
#include <memory>
#include <set>

namespace controls {

enum TLTStringOption : uint8_t { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TLTStringOptions = TSet<TLTStringOption, uint8_t>;


struct TVSTGetCellTextEventArgs {
    PLazyNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    QString CellText;
    QString StaticText;
    TLTExportType ExportType = etNone;
};

class TCustomStringTreeOptions : public TCustomLazyTreeOptions {
public:
    explicit TCustomStringTreeOptions(TBaseLazyTree* owner) : TCustomLazyTreeOptions(owner) {}
    TLTStringOptions StringOptions() const { return FStringOptions; }
    void SetStringOptions(TLTStringOptions value);

protected:
    void AssignTo(platform::TPersistent* dest) const override;

private:
    TLTStringOptions FStringOptions{toSaveCaptions, toAutoAcceptEditChange};
};

class TStringTreeOptions : public TCustomStringTreeOptions {
public:
    using TCustomStringTreeOptions::TCustomStringTreeOptions;
};

class TCustomLazyStringTree;

// clang-format off
#define LT_STRING_EVENTS(NOTIFY, ALLOW, ONLY)                                                                          \
    NOTIFY(GetText, (PLazyNode Node, TColumnIndex Column, TVSTTextType TextType, QString& CellText),                  \
           (Node, Column, TextType, CellText))                                                                        \
    NOTIFY(GetCellText, (TVSTGetCellTextEventArgs& E), (E))                                                           \
    NOTIFY(PaintText, (platform::Canvas& TargetCanvas, PLazyNode Node, TColumnIndex Column, TVSTTextType TextType),   \
           (TargetCanvas, Node, Column, TextType))                                                                    \
    NOTIFY(GetHint, (PLazyNode Node, TColumnIndex Column, TLTHintLineBreakStyle& LineBreakStyle, QString& HintText),   \
           (Node, Column, LineBreakStyle, HintText))                                                                  \
    ONLY(NewText, (PLazyNode Node, TColumnIndex Column, const QString& NewText))                                      \
    ONLY(ShortenString, (platform::Canvas& TargetCanvas, PLazyNode Node, TColumnIndex Column, const QString& S,       \
                         int TextSpace, QString& Result, bool& Done))                                                 \
    NOTIFY(MeasureTextWidth, (platform::Canvas& TargetCanvas, PLazyNode Node, TColumnIndex Column,                    \
                              const QString& Text, int& Extent),                                                      \
           (TargetCanvas, Node, Column, Text, Extent))                                                                \
    NOTIFY(MeasureTextHeight, (platform::Canvas& TargetCanvas, PLazyNode Node, TColumnIndex Column,                   \
                               const QString& Text, int& Extent),                                                     \
           (TargetCanvas, Node, Column, Text, Extent))                                                                \
    ONLY(DrawText, (platform::Canvas& TargetCanvas, PLazyNode Node, TColumnIndex Column, const QString& Text,         \
                    const platform::Rect& CellRect, bool& DefaultDraw))                                               \
    NOTIFY(GetImageText, (PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, QString& ImageText),                \
           (Node, Kind, Column, ImageText))
// clang-format on

class TCustomLazyStringTree : public TBaseLazyTree {
    Q_OBJECT
public:
    explicit TCustomLazyStringTree(QWidget* parent = nullptr);
    ~TCustomLazyStringTree() override;

    TCustomStringTreeOptions& StringTreeOptions() { return static_cast<TCustomStringTreeOptions&>(TreeOptions()); }

    QString DefaultText() const { return FDefaultText; }
    void SetDefaultText(const QString& value);

    // The cell texts (the tree asks the owner each time).
    QString GetText(PLazyNode Node, TColumnIndex Column);
    void SetText(PLazyNode Node, TColumnIndex Column, const QString& Value);
    QString Text(PLazyNode Node, TColumnIndex Column = NoColumn) { return GetText(Node, Column); }
    QString GetStaticText(PLazyNode Node, TColumnIndex Column);
    QString GetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column);

    // The texts from the node up to the top level, each followed by the delimiter ("A/B/C/").
    QString Path(PLazyNode Node, TColumnIndex Column, QChar Delimiter);
    // The height the text of a cell needs (S: the cell's text when empty).
    virtual int ComputeNodeHeight(platform::Canvas* Canvas, PLazyNode Node, TColumnIndex Column, QString S = QString());
    // Where the editor goes over a cell's text, and in which font.
    void GetTextInfo(PLazyNode Node, TColumnIndex Column, QFont& AFont, platform::Rect& R, QString& Text) override;
    // With IncludeHeading a line of the columns' captions, then one line per top-level node
    // with the text of every column (the node's text without columns), each field quoted (an
    // empty text as one blank); CR LF lines in Windows-1252, or UTF-8 with its byte-order mark
    // when a text holds a character beyond that page. False for an empty name; a file that
    // cannot be written raises platform::Exception.
    bool SaveToCSVFile(const QString& FileNameWithPath, bool IncludeHeading);
    // The hint of a node: OnGetHint's text.
    QString DoGetNodeHint(PLazyNode Node, TColumnIndex Column, TLTHintLineBreakStyle& LineBreakStyle) override;
    // The tooltip of a node: OnGetHint's text, else the node's text.
    QString DoGetNodeTooltip(PLazyNode Node, TColumnIndex Column, TLTHintLineBreakStyle& LineBreakStyle) override;

    // === content export (LazyTreeExport.cpp) ====================================================
    //
    // The exports walk the nodes of a text source and ask every cell's text with the export
    // type set; OnPaintText may change the font per cell. HTML, RTF and custom exports take
    // only the nodes TreeOptions().ExportMode() lets through and fire the export events; the
    // text export takes every node of the source. Texts are escaped for HTML (& < > ") and a
    // separated-text field holding the separator, a double quote, CR or LF is quoted with its
    // inner quotes doubled.
    QString ContentToHTML(TVSTTextSourceType Source, const QString& Caption = QString());
    // Pure ASCII.
    QByteArray ContentToRTF(TVSTTextSourceType Source);
    QString ContentToText(TVSTTextSourceType Source, const QString& Separator);
    QString ContentToUnicode(TVSTTextSourceType Source, QChar Separator) { return ContentToText(Source, QString(Separator)); }
    void ContentToCustom(TVSTTextSourceType Source);
    // The clipboard block of a text format (CF_TEXT, CF_UNICODETEXT, "CSV", the RTF formats,
    // "HTML Format"); empty for any other format.
    QByteArray ContentToClipboard(uint16_t Format, TVSTTextSourceType Source);
    // The CF_HTML block around a UTF-8 fragment (without the terminating 0 byte).
    static QByteArray WrapInCFHTMLHeader(const QByteArray& Fragment);
    // The first node of a text source and the one after Node.
    PLazyNode StartTextSourceWalk(TVSTTextSourceType Source);
    PLazyNode NextInTextSource(TVSTTextSourceType Source, PLazyNode Node);
    HRESULT RenderOLEData(const TFormatEtc& FormatEtcIn, TStgMedium& Medium, bool ForClipboard) override;

    PLazyNode AddChild(PLazyNode Parent, void* UserData = nullptr) override;
    using TBaseLazyTree::AddChild;
    void AddToSelection(PLazyNode Node) override;
    using TBaseLazyTree::AddToSelection;
    void RemoveFromSelection(PLazyNode Node) override;
    platform::Rect InvalidateNode(PLazyNode Node) override;
    void ReinitNode(PLazyNode Node, bool Recursive) override;
    void SetChildCount(PLazyNode Node, uint32_t NewChildCount) override;

    // The cached width of the main-column text (0: not measured); nullptr for no node.
    int32_t* GetTextWidthCache(PLazyNode Node);
    int TextHeightCached() const { return FTextHeight; }
    int EllipsisWidth() const { return FEllipsisWidth; }

    LT_DECLARE_EVENTS(LT_STRING_EVENTS)

protected:
    TCustomLazyStringTree(QWidget* parent, OptionsFactory makeOptions);

    virtual void DoGetText(TVSTGetCellTextEventArgs& Args);
    // The visible columns an export walks (none without header columns), and a cell's texts as
    // an export of Type asks for them.
    std::vector<TLazyTreeColumn*> ExportColumns() const;
    TVSTGetCellTextEventArgs ExportTexts(PLazyNode Node, TColumnIndex Column, TLTExportType Type);
    virtual void DoNewText(PLazyNode Node, TColumnIndex Column, const QString& Text);
    virtual void DoPaintText(PLazyNode Node, platform::Canvas& Canvas, TColumnIndex Column, TVSTTextType TextType);
    virtual QString DoShortenString(platform::Canvas& Canvas, PLazyNode Node, TColumnIndex Column, const QString& S,
                                    int Width, int EllipsisWidth);
    virtual void DoTextDrawing(TLTPaintInfo& PaintInfo, const QString& Text, platform::Rect CellRect, unsigned DrawFormat);
    virtual QSize DoTextMeasuring(platform::Canvas& Canvas, PLazyNode Node, TColumnIndex Column, const QString& Text);
    virtual int CalculateTextWidth(platform::Canvas& Canvas, PLazyNode Node, const QString& Text, TColumnIndex Column);
    virtual int CalculateStaticTextWidth(platform::Canvas& Canvas, PLazyNode Node, const QString& Text,
                                         TColumnIndex Column);
    virtual void PaintNormalText(TLTPaintInfo& PaintInfo, QString Text);
    virtual void PaintStaticText(TLTPaintInfo& PaintInfo, const QString& Text);

    // The caption chunk of the tree stream (LazyTreeStream.h): with toSaveCaptions, after the
    // base and user chunks, the main column's text of an initialised node when it is not empty;
    // reading it hands the text to OnNewText (SetText).
    void WriteChunks(TLazyTreeStreamWriter& Stream, PLazyNode Node) override;
    bool ReadChunk(TLazyTreeStreamReader& Stream, int Version, PLazyNode Node, int ChunkType, int ChunkSize) override;

    ILTEditLinkPtr DoCreateEditor(PLazyNode Node, TColumnIndex Column) override;
    void DoPaintNode(TLTPaintInfo& PaintInfo) override;
    void AdjustPaintCellRect(TLTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty) override;
    bool ColumnIsEmpty(PLazyNode Node, TColumnIndex Column) override;
    int DoGetNodeWidth(PLazyNode Node, TColumnIndex Column, platform::Canvas* Canvas = nullptr) override;
    int DoGetNodeExtraWidth(PLazyNode Node, TColumnIndex Column, platform::Canvas* Canvas = nullptr) override;
    int DoIncrementalSearch(PLazyNode Node, const QString& Text) override;
    void MainColumnChanged() override;
    void changeEvent(QEvent* event) override;

    // A canvas in the tree's font for measuring outside painting.
    platform::Canvas& MeasureCanvas();
    // Forgets every node's cached width.
    void ClearWidthCaches();
    void UpdateFontMetrics();
    QString TextForSelection(PLazyNode Node);

    uint32_t FInternalDataOffset = 0;
    QString FDefaultText;
    int FTextHeight = 0;
    int FEllipsisWidth = 0;

private:
    struct CaseInsensitiveLess {
        bool operator()(const QString& a, const QString& b) const { return a.compare(b, Qt::CaseInsensitive) < 0; }
    };
    std::unique_ptr<std::set<QString, CaseInsensitiveLess>> FPreviouslySelected;
    QImage FMeasureImage;
    std::unique_ptr<platform::Canvas> FMeasureCanvas;
};

// The string tree of the windows.
class TLazyStringTree : public TCustomLazyStringTree {
    Q_OBJECT
public:
    explicit TLazyStringTree(QWidget* parent = nullptr);
    TStringTreeOptions& TreeOptions() { return static_cast<TStringTreeOptions&>(TBaseLazyTree::TreeOptions()); }
};

} // namespace controls
