// Content export of the string tree: HTML, RTF, separated text, the custom event-driven export
// and the clipboard blocks built from them. Every byte of the HTML, RTF and text forms is fixed;
// the tests hold golden files of them.
#include "controls/tree/LazyStringTree.h"
#include "controls/tree/LazyTreeClasses.h"
#include "platform/core/Errors.h"
#include "platform/core/FormatSettings.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"

#include <QLocale>
#include <QtEndian>
#include <cmath>

namespace controls {

using platform::Canvas;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// "#RRGGBB" of a colour, system colours resolved.
QString htmlColor(platform::Color c)
{
    const platform::Color rgb = platform::colorToRgb(c);
    return QStringLiteral("#%1%2%3")
        .arg(platform::redOf(rgb), 2, 16, QLatin1Char('0'))
        .arg(platform::greenOf(rgb), 2, 16, QLatin1Char('0'))
        .arg(platform::blueOf(rgb), 2, 16, QLatin1Char('0'))
        .toUpper();
}

// Text and attribute values of HTML: the markup characters as references.
QString htmlEscaped(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A field of separated text: quoted (inner quotes doubled) when it holds the separator, a
// double quote, CR or LF, so that a reader splits the line where the writer meant.
QString separatedField(const QString& text, const QString& separator)
{
    const bool quote = (!separator.isEmpty() && text.contains(separator)) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

platform::Alignment mirrored(platform::Alignment a)
{
    switch (a) {
    case platform::Alignment::taLeftJustify:
        return platform::Alignment::taRightJustify;
    case platform::Alignment::taRightJustify:
        return platform::Alignment::taLeftJustify;
    default:
        return a;
    }
}

QString htmlAlign(platform::Alignment a)
{
    switch (a) {
    case platform::Alignment::taRightJustify:
        return QStringLiteral(" align=right");
    case platform::Alignment::taCenter:
        return QStringLiteral(" align=center");
    default:
        return QStringLiteral(" align=left");
    }
}

// The font size in points: a pixel-sized font converted at the screen's resolution.
int pointSizeOf(const QFont& font, int dpi)
{
    if (font.pixelSize() > 0)
        return int(std::lround(font.pixelSize() * 72.0 / dpi));
    return font.pointSize();
}

// The style text of a font: with a class name a CSS rule, without one an inline style attribute.
QString fontStyleText(const QFont& font, platform::Color color, const QString& className)
{
    QString s = className.isEmpty() ? QStringLiteral(" style=\"{") : QLatin1Char('.') + className + QLatin1Char('{');
    const QString family = className.isEmpty() ? htmlEscaped(font.family()) : font.family();
    s += QStringLiteral("font-family: '%1'; ").arg(family);
    if (font.pixelSize() > 0)
        s += QStringLiteral("font-size: %1px; ").arg(font.pixelSize());
    else
        s += QStringLiteral("font-size: %1pt; ").arg(font.pointSize());
    s += QStringLiteral("font-style: %1; ").arg(font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"));
    s += QStringLiteral("font-weight: %1; ").arg(font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"));
    s += QStringLiteral("text-decoration: %1; ").arg(font.underline() ? QStringLiteral("underline") : QStringLiteral("none"));
    s += QStringLiteral("color: ") + htmlColor(color) + QStringLiteral(";}");
    if (className.isEmpty())
        s += QLatin1Char('"');
    return s;
}

// Keeps the export's operation bracket closed on every way out.
class ExportOperation {
public:
    explicit ExportOperation(TBaseLazyTree* tree) : m_tree(tree) { m_tree->StartOperation(okExport); }
    ~ExportOperation() { m_tree->EndOperation(okExport); }
    ExportOperation(const ExportOperation&) = delete;
    ExportOperation& operator=(const ExportOperation&) = delete;

private:
    TBaseLazyTree* m_tree;
};

// RTF writing state: font and colour tables by first use, the current font, colour and size.
struct RtfWriter {
    QStringList fonts;
    std::vector<platform::Color> colors;
    int currentFont = -1;
    int currentColor = -1;
    int currentSize = -1;
    int dpi = 96;
    TBufferedRawByteString body;

    void add(const char* s) { body.Add(QByteArray(s)); }
    void add(const QByteArray& s) { body.Add(s); }

    void text(const QString& s, const QFont& font, platform::Color color)
    {
        if (s.isEmpty())
            return;
        if (font.underline())
            add("\\ul");
        if (font.italic())
            add("\\i");
        if (font.bold())
            add("\\b");
        int fontIndex = int(fonts.indexOf(font.family()));
        if (fontIndex < 0) {
            fonts << font.family();
            fontIndex = int(fonts.size()) - 1;
            add("\\f" + QByteArray::number(fontIndex));
        } else if (fontIndex != currentFont) {
            add("\\f" + QByteArray::number(fontIndex));
        }
        currentFont = fontIndex;
        const platform::Color rgb = platform::colorToRgb(color);
        int colorIndex = -1;
        for (size_t i = 0; i < colors.size(); ++i)
            if (colors[i] == rgb)
                colorIndex = int(i);
        if (colorIndex < 0) {
            colors.push_back(rgb);
            colorIndex = int(colors.size()) - 1;
            add("\\cf" + QByteArray::number(colorIndex + 1));
        } else if (colorIndex != currentColor) {
            add("\\cf" + QByteArray::number(colorIndex + 1));
        }
        currentColor = colorIndex;
        const int size = pointSizeOf(font, dpi);
        if (size != currentSize) {
            add("\\fs" + QByteArray::number(size * 2));
            currentSize = size;
        }
        add(" ");
        QByteArray chars;
        chars.reserve(s.size() * 10);
        for (QChar c : s) {
            if (c.unicode() == 10)
                chars += "{\\par}";
            else if (c.unicode() != 13)
                chars += "\\u" + QByteArray::number(int(int16_t(c.unicode()))) + "\\'3f";
        }
        add(chars);
        if (font.underline())
            add("\\ul0");
        if (font.italic())
            add("\\i0");
        if (font.bold())
            add("\\b0");
    }
};

// Pixels to twips, the nearest integer with halves to even.
int twips(int pixels, int dpi) { return int(std::nearbyint(double(pixels) * 1440.0 / dpi)); }

} // namespace

// --- walking ------------------------------------------------------------------------------------

bool TBaseLazyTree::IsNodeExportable(PLazyNode Node)
{
    switch (FOptions->ExportMode()) {
    case emChecked:
        return Node->CheckState == csCheckedNormal;
    case emUnchecked:
        return Node->CheckState == csUncheckedNormal;
    case emVisibleDueToExpansion:
        return !(Node->Parent && Node->Parent != FRoot && !Node->Parent->States.contains(vsExpanded));
    case emSelected:
        return Node->States.contains(vsSelected);
    default:
        return true;
    }
}

PLazyNode TCustomLazyStringTree::StartTextSourceWalk(TVSTTextSourceType Source)
{
    switch (Source) {
    case tstInitialized:
        return GetFirstInitialized();
    case tstSelected:
        return GetFirstSelected();
    case tstCutCopySet:
        return GetFirstCutCopy();
    case tstVisible:
        return GetFirstVisible(nullptr, true);
    case tstChecked:
        return GetFirstChecked(csCheckedNormal);
    default:
        return GetFirst();
    }
}

PLazyNode TCustomLazyStringTree::NextInTextSource(TVSTTextSourceType Source, PLazyNode Node)
{
    switch (Source) {
    case tstInitialized:
        return GetNextInitialized(Node);
    case tstSelected:
        return GetNextSelected(Node);
    case tstCutCopySet:
        return GetNextCutCopy(Node);
    case tstVisible:
        return GetNextVisible(Node, true);
    case tstChecked:
        return GetNextChecked(Node, csCheckedNormal);
    default:
        return GetNext(Node);
    }
}

std::vector<TLazyTreeColumn*> TCustomLazyStringTree::ExportColumns() const
{
    return FHeader->UseColumns() ? FHeader->Columns().GetVisibleColumns() : std::vector<TLazyTreeColumn*>{};
}

TVSTGetCellTextEventArgs TCustomLazyStringTree::ExportTexts(PLazyNode Node, TColumnIndex Column, TLTExportType Type)
{
    TVSTGetCellTextEventArgs args;
    args.Node = Node;
    args.Column = Column;
    args.ExportType = Type;
    DoGetText(args);
    return args;
}

// --- HTML ---------------------------------------------------------------------------------------

QString TCustomLazyStringTree::ContentToHTML(TVSTTextSourceType Source, const QString& Caption)
{
    ExportOperation operation(this);
    TBufferedString buffer;
    const QString cssPadding = QStringLiteral("padding-left: %1px; padding-right: %1px;").arg(FMargin);
    const QString indentWidth = QString::number(FIndent);
    QString tableAttributes = QStringLiteral(" ");
    if (!Caption.isEmpty())
        tableAttributes += QStringLiteral("caption=\"") + htmlEscaped(Caption) + QLatin1Char('"');
    if (FBorderStyle != bsNone)
        tableAttributes += QStringLiteral(" border=\"%1\" frame=box").arg(0 + 1);

    // Head.
    buffer.Add(QStringLiteral("<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"));
    buffer.Add(QStringLiteral("<style type=\"text/css\">"));
    buffer.AddNewLine();
    buffer.Add(fontStyleText(font(), FColors->NodeFontColor(), QStringLiteral("default")));
    buffer.AddNewLine();
    buffer.Add(fontStyleText(FHeader->Font(), FHeader->FontColor(), QStringLiteral("header")));
    buffer.AddNewLine();
    const auto paint = FOptions->PaintOptions();
    const QString borderStyleText = FLineStyle == lsSolid ? QStringLiteral("solid;") : QStringLiteral("dotted;");
    if (paint.contains(toShowHorzGridLines))
        buffer.Add(QStringLiteral(".noborder{ border-bottom:1px; border-left: 0px; border-right: 0px; border-top: 1px;"
                                  "border-style:") +
                   borderStyleText);
    else
        buffer.Add(QStringLiteral(".noborder{border-style: none;"));
    buffer.Add(cssPadding + QLatin1Char('}'));
    buffer.AddNewLine();
    buffer.Add(QStringLiteral(".normalborder {vertical-align: top; "));
    buffer.Add(paint.contains(toShowVertGridLines) ? QStringLiteral("border-right: 1px; border-left: 1px; ")
                                                   : QStringLiteral("border-right: none; border-left:none; "));
    buffer.Add(paint.contains(toShowHorzGridLines) ? QStringLiteral("border-top: 1px; border-bottom: 1px; ")
                                                   : QStringLiteral("border-top:none; border-bottom: none;"));
    buffer.Add(QStringLiteral("border-width: thin; border-style: ") + borderStyleText + cssPadding + QLatin1Char('}'));
    buffer.Add(QStringLiteral("</style>"));
    buffer.AddNewLine();
    buffer.Add(QStringLiteral("<table class=\"default\" style=\"border-collapse: collapse;\" bgcolor=") + htmlColor(FColor) +
               tableAttributes + QStringLiteral(" cellspacing=\"0\">"));
    buffer.AddNewLine();

    int maxLevel = 0;
    for (PLazyNode n = StartTextSourceWalk(Source); n && !OperationCanceled(); n = NextInTextSource(Source, n))
        if (IsNodeExportable(n))
            maxLevel = std::max(maxLevel, int(GetNodeLevel(n)));

    const bool useColumns = FHeader->UseColumns();
    const TColumnIndex mainColumn = FHeader->MainColumn();
    const std::vector<TLazyTreeColumn*> columns = ExportColumns();
    if (useColumns) {
        DoBeforeHeaderExport(etHTML);
        buffer.Add(QStringLiteral("<tr class=\"header\" style=\"") + cssPadding + QStringLiteral("\">"));
        buffer.AddNewLine();
        for (TLazyTreeColumn* column : columns) {
            DoBeforeColumnExport(etHTML, column);
            buffer.Add(QStringLiteral("<th height=\"%1px\"").arg(FHeader->Height()));
            platform::Alignment alignment = column->CaptionAlignment();
            if (column->UseRightToLeftReading()) {
                alignment = mirrored(alignment);
                buffer.Add(QStringLiteral(" dir=\"rtl\""));
            }
            buffer.Add(htmlAlign(alignment));
            if (maxLevel > 0 && column->Index() == mainColumn)
                buffer.Add(QStringLiteral(" colspan=\"%1\"").arg(maxLevel + 1));
            buffer.Add(QStringLiteral(" bgcolor=") + htmlColor(platform::clBtnFace));
            buffer.Add(QStringLiteral(" width=\"%1px\">").arg(column->Width()));
            if (!column->Text().isEmpty())
                buffer.Add(htmlEscaped(column->Text()));
            buffer.Add(QStringLiteral("</th>"));
            DoAfterColumnExport(etHTML, column);
        }
        buffer.Add(QStringLiteral("</tr>"));
        buffer.AddNewLine();
        DoAfterHeaderExport(etHTML);
    }

    Canvas& canvas = MeasureCanvas();
    const platform::Font saved = canvas.font();
    const bool staticText = StringTreeOptions().StringOptions().contains(toShowStaticText);
    for (PLazyNode node = StartTextSourceWalk(Source); node && !OperationCanceled(); node = NextInTextSource(Source, node)) {
        if (!IsNodeExportable(node) || !DoBeforeNodeExport(etHTML, node))
            continue;
        const int level = int(GetNodeLevel(node));
        const int height = int(NodeHeight(node));
        buffer.Add(QStringLiteral(" <tr class=\"default\">"));
        buffer.AddNewLine();
        const int cellCount = useColumns ? int(columns.size()) : 1;
        for (int i = 0; i < cellCount; ++i) {
            TLazyTreeColumn* column = useColumns ? columns[size_t(i)] : nullptr;
            const TColumnIndex index = column ? column->Index() : NoColumn;
            const TVSTGetCellTextEventArgs args = ExportTexts(node, index, etHTML);
            platform::Font tree{font(), FColors->NodeFontColor()};
            canvas.font() = tree;
            DoPaintText(node, canvas, index, ttNormal);
            const bool fontChanged = !(canvas.font() == tree);
            if (index == mainColumn) {
                for (int l = 0; l < level; ++l) {
                    if (!useColumns || column->Options().contains(coParentColor)) {
                        if (l == 0)
                            buffer.Add(QStringLiteral(" <td height=\"%1px\" class=\"normalborder\">&nbsp;</td>").arg(height));
                        else
                            buffer.Add(QStringLiteral(" <td>&nbsp;</td>"));
                    } else {
                        buffer.Add(QStringLiteral("<td class=\"noborder\" width=\"") + indentWidth +
                                   QStringLiteral("\" height=\"%1px\"").arg(height) + QStringLiteral(" bgcolor=") +
                                   htmlColor(column->Color()) + QStringLiteral(">&nbsp;</td>"));
                    }
                }
            }
            if (fontChanged)
                buffer.Add(QStringLiteral(" <td class=\"normalborder\" ") +
                           fontStyleText(canvas.font().font, canvas.font().color, QString()) +
                           QStringLiteral(" height=\"%1").arg(height));
            else
                buffer.Add(QStringLiteral(" <td class=\"normalborder\"  height=\"%1").arg(height));
            buffer.Add(QStringLiteral("px\""));
            platform::Alignment alignment = column ? column->Alignment() : FAlignment;
            if (column ? column->UseRightToLeftReading() : UseRightToLeftReading()) {
                alignment = mirrored(alignment);
                buffer.Add(QStringLiteral(" dir=\"rtl\""));
            }
            buffer.Add(htmlAlign(alignment));
            if (index == mainColumn && maxLevel > 0 && level < maxLevel)
                buffer.Add(QStringLiteral(" colspan=\"%1\"").arg(maxLevel - level + 1));
            if (useColumns && !column->Options().contains(coParentColor))
                buffer.Add(QStringLiteral(" bgcolor=") + htmlColor(column->Color()));
            buffer.Add(QStringLiteral(">"));
            buffer.Add(htmlEscaped(args.CellText));
            if (staticText && !args.StaticText.isEmpty())
                buffer.Add(QLatin1Char(' ') + htmlEscaped(args.StaticText));
            buffer.Add(QStringLiteral("</td>"));
        }
        DoAfterNodeExport(etHTML, node);
        buffer.Add(QStringLiteral(" </tr>"));
        buffer.AddNewLine();
    }
    canvas.font() = saved;
    buffer.Add(QStringLiteral("</table>"));
    return buffer.AsString();
}

// --- RTF ----------------------------------------------------------------------------------------

QByteArray TCustomLazyStringTree::ContentToRTF(TVSTTextSourceType Source)
{
    ExportOperation operation(this);
    RtfWriter rtf;
    rtf.dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const bool useColumns = FHeader->UseColumns();
    const TColumnIndex mainColumn = FHeader->MainColumn();
    const std::vector<TLazyTreeColumn*> columns = ExportColumns();
    rtf.add("\\uc1\\trowd\\trgaph70");
    if (useColumns) {
        int total = 0;
        for (TLazyTreeColumn* column : columns) {
            total += column->Width();
            rtf.add("\\cellx" + QByteArray::number(twips(total, rtf.dpi)));
        }
    } else {
        rtf.add("\\cellx" + QByteArray::number(twips(ClientWidth(), rtf.dpi)));
    }
    auto alignmentCode = [](platform::Alignment a, bool leftCode) -> const char* {
        switch (a) {
        case platform::Alignment::taRightJustify:
            return "\\qr";
        case platform::Alignment::taCenter:
            return "\\qc";
        default:
            return leftCode ? "\\ql" : "";
        }
    };
    if (useColumns) {
        DoBeforeHeaderExport(etRTF);
        rtf.add("\\pard\\intbl");
        for (TLazyTreeColumn* column : columns) {
            DoBeforeColumnExport(etRTF, column);
            platform::Alignment alignment = column->CaptionAlignment();
            if (column->UseRightToLeftReading())
                alignment = mirrored(alignment);
            rtf.add(alignmentCode(alignment, true));
            rtf.text(column->Text(), FHeader->Font(), FHeader->FontColor());
            rtf.add("\\cell");
            DoAfterColumnExport(etRTF, column);
        }
        rtf.add("\\row");
        DoAfterHeaderExport(etRTF);
    }
    Canvas& canvas = MeasureCanvas();
    const platform::Font saved = canvas.font();
    const bool staticText = StringTreeOptions().StringOptions().contains(toShowStaticText);
    for (PLazyNode node = StartTextSourceWalk(Source); node && !OperationCanceled(); node = NextInTextSource(Source, node)) {
        if (!IsNodeExportable(node) || !DoBeforeNodeExport(etRTF, node))
            continue;
        const int level = int(GetNodeLevel(node));
        const int cellCount = useColumns ? int(columns.size()) : 1;
        for (int i = 0; i < cellCount; ++i) {
            TLazyTreeColumn* column = useColumns ? columns[size_t(i)] : nullptr;
            const TColumnIndex index = column ? column->Index() : NoColumn;
            const TVSTGetCellTextEventArgs args = ExportTexts(node, index, etRTF);
            rtf.add("\\pard\\intbl");
            platform::Alignment alignment = column ? column->Alignment() : FAlignment;
            if (column ? column->UseRightToLeftReading() : UseRightToLeftReading())
                alignment = mirrored(alignment);
            rtf.add(alignmentCode(alignment, false));
            canvas.font() = platform::Font{font(), FColors->NodeFontColor()};
            DoPaintText(node, canvas, index, ttNormal);
            if (index == mainColumn && level >= 1) {
                QByteArray tabs;
                for (int l = 0; l < level; ++l)
                    tabs += "\\tab";
                rtf.add(tabs + " ");
            }
            rtf.text(args.CellText, canvas.font().font, canvas.font().color);
            if (staticText && !args.StaticText.isEmpty()) {
                DoPaintText(node, canvas, index, ttStatic);
                rtf.text(QLatin1Char(' ') + args.StaticText, canvas.font().font, canvas.font().color);
            }
            rtf.add("\\cell");
        }
        rtf.add("\\row\r\n");
        DoAfterNodeExport(etRTF, node);
    }
    canvas.font() = saved;
    rtf.add("\\pard\\par");

    QByteArray document = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
    for (int i = 0; i < rtf.fonts.size(); ++i)
        document += "{\\f" + QByteArray::number(i) + ' ' + rtf.fonts[i].toLatin1() + ";}";
    document += "}{\\colortbl;";
    for (platform::Color c : rtf.colors)
        document += "\\red" + QByteArray::number(platform::redOf(c)) + "\\green" + QByteArray::number(platform::greenOf(c)) +
                    "\\blue" + QByteArray::number(platform::blueOf(c)) + ';';
    document += '}';
    document += QLocale().measurementSystem() == QLocale::MetricSystem ? "\\paperw16840\\paperh11907"
                                                                       : "\\paperw15840\\paperh12240";
    document += "\\margl720\\margr720\\margt720\\margb720";
    document += rtf.body.AsString();
    document += '}';
    return document;
}

// --- separated text -----------------------------------------------------------------------------

QString TCustomLazyStringTree::ContentToText(TVSTTextSourceType Source, const QString& Separator)
{
    ExportOperation operation(this);
    TBufferedString buffer;
    int maxLevel = 0;
    for (PLazyNode n = StartTextSourceWalk(Source); n && !OperationCanceled(); n = NextInTextSource(Source, n))
        maxLevel = std::max(maxLevel, int(GetNodeLevel(n)));
    const QString indent = Separator.repeated(maxLevel);
    const bool useColumns = FHeader->UseColumns();
    const TColumnIndex mainColumn = FHeader->MainColumn();
    const std::vector<TLazyTreeColumn*> columns = ExportColumns();
    const bool staticText = StringTreeOptions().StringOptions().contains(toShowStaticText);
    if (useColumns) {
        for (size_t i = 0; i < columns.size(); ++i) {
            buffer.Add(separatedField(columns[i]->Text(), Separator));
            if (i + 1 < columns.size()) {
                if (columns[i]->Index() == mainColumn)
                    buffer.Add(indent);
                buffer.Add(Separator);
            }
        }
        buffer.AddNewLine();
    }
    for (PLazyNode node = StartTextSourceWalk(Source); node && !OperationCanceled(); node = NextInTextSource(Source, node)) {
        const int level = int(GetNodeLevel(node));
        if (!useColumns) {
            const TVSTGetCellTextEventArgs args = ExportTexts(node, NoColumn, etText);
            buffer.Add(Separator.repeated(level) + separatedField(args.CellText, Separator));
            buffer.AddNewLine();
            continue;
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            const TColumnIndex index = columns[i]->Index();
            const TVSTGetCellTextEventArgs args = ExportTexts(node, index, etText);
            if (index == mainColumn)
                buffer.Add(Separator.repeated(level));
            QString text = args.CellText;
            if (staticText && !args.StaticText.isEmpty())
                text += QLatin1Char(' ') + args.StaticText;
            buffer.Add(separatedField(text, Separator));
            if (index == mainColumn)
                buffer.Add(Separator.repeated(maxLevel - level));
            if (i + 1 < columns.size())
                buffer.Add(Separator);
        }
        buffer.AddNewLine();
    }
    return buffer.AsString();
}

// --- CSV file -----------------------------------------------------------------------------------

bool TCustomLazyStringTree::SaveToCSVFile(const QString& FileNameWithPath, bool IncludeHeading)
{
    if (FileNameWithPath.isEmpty())
        return false;
    auto quoted = [](QString text) {
        if (text.isEmpty())
            text = QStringLiteral(" ");
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    };
    // Every column of the header in its index order; without columns the node's own text is
    // the line's one field (and the heading line is empty).
    const TLazyTreeColumns& columns = FHeader->Columns();
    std::vector<TColumnIndex> indexes;
    for (TColumnIndex i = 0; i < columns.Count(); ++i)
        indexes.push_back(i);
    if (indexes.empty())
        indexes.push_back(NoColumn);
    QString text;
    if (IncludeHeading) {
        QStringList captions;
        for (TColumnIndex i : indexes)
            if (i != NoColumn)
                captions << quoted(columns[i]->Text());
        text += captions.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    for (PLazyNode n = FRoot->FirstChild; n; n = n->NextSibling) {
        QStringList fields;
        for (TColumnIndex i : indexes)
            fields << quoted(GetText(n, i));
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    // Windows-1252 as spreadsheets expect it; a text with characters beyond that page is
    // written in UTF-8 with its byte-order mark rather than with "?" in their place.
    QByteArray bytes = platform::encodeCp1252(text);
    if (platform::decodeCp1252(bytes) != text)
        bytes = QByteArray("\xEF\xBB\xBF", 3) + text.toUtf8();
    QString error;
    if (!platform::writeWholeFile(FileNameWithPath, bytes, &error))
        throw platform::Exception(error);
    return true;
}

// --- custom -------------------------------------------------------------------------------------

void TCustomLazyStringTree::ContentToCustom(TVSTTextSourceType Source)
{
    ExportOperation operation(this);
    DoBeforeTreeExport(etCustom);
    if (FHeader->UseColumns() && FHeader->Options().contains(hoVisible)) {
        DoBeforeHeaderExport(etCustom);
        for (TLazyTreeColumn* column : FHeader->Columns().GetVisibleColumns()) {
            DoBeforeColumnExport(etCustom, column);
            DoColumnExport(etCustom, column);
            DoAfterColumnExport(etCustom, column);
        }
        DoAfterHeaderExport(etCustom);
    }
    for (PLazyNode node = StartTextSourceWalk(Source); node && !OperationCanceled(); node = NextInTextSource(Source, node)) {
        if (!IsNodeExportable(node))
            continue;
        DoBeforeNodeExport(etCustom, node);
        DoNodeExport(etCustom, node);
        DoAfterNodeExport(etCustom, node);
    }
    DoAfterTreeExport(etCustom);
}

// --- clipboard blocks ---------------------------------------------------------------------------

QByteArray TCustomLazyStringTree::WrapInCFHTMLHeader(const QByteArray& Fragment)
{
    const qsizetype n = Fragment.size();
    auto number = [](qsizetype v) { return QByteArray::number(qlonglong(v)).rightJustified(8, '0'); };
    QByteArray block = "Version:1.0\r\nStartHTML:" + number(97) + "\r\nEndHTML:" + number(n + 301) +
                       "\r\nStartFragment:" + number(269) + "\r\nEndFragment:" + number(n + 269) + "\r\n";
    block += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    block += "<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body>"
             "<!--StartFragment-->";
    block += Fragment;
    block += "<!--EndFragment--></body></html>";
    return block;
}

QByteArray TCustomLazyStringTree::ContentToClipboard(uint16_t Format, TVSTTextSourceType Source)
{
    if (Format == CF_TEXT)
        return platform::encodeCp1252(ContentToText(Source, QStringLiteral("\t")) + QChar(0));
    if (Format == CF_UNICODETEXT) {
        const QString text = ContentToText(Source, QStringLiteral("\t")) + QChar(0);
        QByteArray block(text.size() * 2, Qt::Uninitialized);
        qToLittleEndian<char16_t>(text.utf16(), text.size(), block.data());
        return block;
    }
    if (Format == CF_CSV())
        return platform::encodeCp1252(ContentToText(Source, QString(platform::FormatSettings().ListSeparator)) + QChar(0));
    if (Format == CF_RTF() || Format == CF_RTFNOOBJS())
        return ContentToRTF(Source) + QByteArray(1, '\0');
    if (Format == CF_HTML())
        return WrapInCFHTMLHeader(ContentToHTML(Source).toUtf8()) + QByteArray(1, '\0');
    return QByteArray();
}

HRESULT TCustomLazyStringTree::RenderOLEData(const TFormatEtc& FormatEtcIn, TStgMedium& Medium, bool ForClipboard)
{
    HRESULT result = TBaseLazyTree::RenderOLEData(FormatEtcIn, Medium, ForClipboard);
    if (result == S_OK)
        return result;
    try {
        const QByteArray block = ContentToClipboard(FormatEtcIn.cfFormat, ForClipboard ? tstCutCopySet : tstSelected);
        if (!block.isEmpty()) {
            Medium.tymed = TYMED_HGLOBAL;
            Medium.data = block;
            result = S_OK;
        }
    } catch (...) {
        Medium = TStgMedium{};
        return E_FAIL;
    }
    return result;
}

} // namespace controls
