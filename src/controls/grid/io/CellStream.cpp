#include "controls/grid/io/CellStream.h"

#include "controls/grid/io/ComponentStream.h"
#include "controls/grid/io/EnumNames.h"
#include "controls/grid/io/FileAccess.h"
#include "controls/grid/io/TextCellFile.h"
#include "platform/core/StringList.h"
#include "platform/draw/Graphics.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"

#include <QBuffer>
#include <QImage>
#include <cmath>

namespace controls::grid::io {

namespace {

const QString kHeader = QStringLiteral("TGridPropIO");
const QString kCell = QStringLiteral("TGridCellIO");
const QString kProp = QStringLiteral("TGridCellPropIO");
const QString kGraphic = QStringLiteral("TGridGraphicIO");
const QString kBmp = QStringLiteral("TGridBMPIO");
const QString kIcon = QStringLiteral("TGridIconIO");
const QString kPic = QStringLiteral("TGridPicIO");
const QString kFilePic = QStringLiteral("TGridFilePicIO");
const QString kStrings = QStringLiteral("TGridSLIO");

QByteArray imageBytes(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QString joinInts(const std::vector<int>& v)
{
    QStringList parts;
    parts.reserve(qsizetype(v.size()));
    for (int x : v)
        parts << QString::number(x);
    return parts.join(u',');
}

// Exactly n non-negative numbers, else nothing.
std::optional<std::vector<int>> splitInts(const QString& text, int n)
{
    std::vector<int> out;
    if (n == 0)
        return text.isEmpty() ? std::optional(out) : std::nullopt;
    const QStringList parts = text.split(u',');
    if (parts.size() != n)
        return std::nullopt;
    out.reserve(size_t(n));
    for (const QString& p : parts) {
        bool ok = false;
        const int v = p.toInt(&ok);
        if (!ok || v < 0 || v > kMaxCellExtent)
            return std::nullopt;
        out.push_back(v);
    }
    return out;
}

// Which kinds carry a picture record after their graphic record.
bool HasPictureRecord(TCellType t)
{
    switch (t) {
    case ctBitmap:
    case ctBitButton:
    case ctIcon:
    case ctRadio:
    case ctImages:
    case ctPicture:
    case ctFilePicture:
        return true;
    default:
        return false;
    }
}

void writeProperties(TComponentWriter& w, const TCellProperties& p, bool hasGraphic)
{
    w.BeginObject(kProp);
    const QString n = QStringLiteral("CellProperties.");
    w.Boolean(n + "IsBaseCell", p.IsBaseCell);
    w.Integer(n + "CellSpanX", p.CellSpanX);
    w.Integer(n + "CellSpanY", p.CellSpanY);
    w.Ident(n + "Alignment", NameOf(kAlignmentNames, int(p.Alignment())));
    w.Integer(n + "BorderColor", qint64(p.BorderColor));
    w.Integer(n + "BorderWidth", p.BorderWidth);
    w.Integer(n + "BrushColor", qint64(p.BrushColor()));
    w.Integer(n + "BrushColorTo", qint64(p.BrushColorTo()));
    w.Ident(n + "BrushStyle", NameOf(kBrushStyleNames, int(p.BrushStyle)));
    w.Integer(n + "FontColor", qint64(p.FontColor));
    w.Text(n + "FontName", p.FontName);
    w.Integer(n + "FontSize", p.FontSize);
    w.Set(n + "FontStyle", SetNames(kFontStyleNames, p.FontStyle));
    w.Ident(n + "Editor", NameOf(kEditorNames, int(p.Editor)));
    w.Ident(n + "GradientDirection", NameOf(kGradientNames, int(p.GradientDirection)));
    w.Boolean(n + "ReadOnly", p.ReadOnly);
    w.Ident(n + "VAlignment", NameOf(kVAlignmentNames, int(p.VAlignment())));
    w.Boolean(n + "WordWrap", p.WordWrap());
    w.Integer(n + "NodeLevel", p.NodeLevel);
    if (p.Control)
        w.Text(n + "Control", p.Control->objectName());
    w.Boolean(QStringLiteral("HasGraphic"), hasGraphic);
    w.EndObject();
}

void writeGraphic(TComponentWriter& w, const TCellGraphic& g)
{
    w.BeginObject(kGraphic);
    const QString n = QStringLiteral("CellGraphic.");
    w.Ident(n + "CellType", NameOf(kCellTypeNames, int(g.CellType)));
    w.Ident(n + "CellVAlign", NameOf(kCellVAlignNames, int(g.CellVAlign)));
    w.Ident(n + "CellHAlign", NameOf(kCellHAlignNames, int(g.CellHAlign)));
    w.Integer(n + "CellIndex", g.CellIndex);
    w.Boolean(n + "CellTransparent", g.CellTransparent);
    w.Boolean(n + "CellCreated", g.CellCreated);
    w.Boolean(n + "CellBoolean", g.CellBoolean);
    w.Ident(n + "CellCheckBoxState", NameOf(kCheckBoxStateNames, int(g.CellCheckBoxState)));
    w.Integer(n + "CellAngle", g.CellAngle);
    w.Float(n + "CellValue", g.CellValue);
    w.Integer(n + "CellErrFrom", g.CellErrFrom);
    w.Integer(n + "CellErrLen", g.CellErrLen);
    w.Text(n + "CellText", g.CellText);
    // The colours some kinds keep beside their object (progress bars, shapes, ratings).
    if (g.ColorBitmap != platform::clNone)
        w.Integer(n + "ColorBitmap", qint64(g.ColorBitmap));
    if (g.ColorIcon != platform::clNone)
        w.Integer(n + "ColorIcon", qint64(g.ColorIcon));
    w.EndObject();
}

void writePicture(TComponentWriter& w, const TCellGraphic& g)
{
    switch (g.CellType) {
    case ctBitmap:
    case ctBitButton: {
        w.BeginObject(kBmp);
        QByteArray data;
        if (g.Bitmap && !g.Bitmap->isEmpty()) {
            const QByteArray bmp = imageBytes(g.Bitmap->toDrawable(), "BMP");
            const quint32 n = quint32(bmp.size());
            for (int i = 0; i < 4; ++i)
                data.append(char(n >> (8 * i)));
            data.append(bmp);
        }
        w.Binary(QStringLiteral("Bitmap.Data"), data);
        w.EndObject();
        break;
    }
    case ctIcon:
        w.BeginObject(kIcon);
        w.Binary(QStringLiteral("Icon.Data"),
                 g.Icon && !g.Icon->isEmpty() ? imageBytes(g.Icon->image(), "PNG") : QByteArray());
        w.EndObject();
        break;
    case ctPicture: {
        w.BeginObject(kPic);
        QByteArray data;
        if (g.Picture && !g.Picture->isEmpty()) {
            const QByteArray png = imageBytes(g.Picture->bitmap().toDrawable(), "PNG");
            data.append(char(9)).append("TPngImage").append(png);
        }
        w.Binary(QStringLiteral("Picture.Data"), data);
        w.EndObject();
        break;
    }
    case ctFilePicture:
        w.BeginObject(kFilePic);
        w.Text(QStringLiteral("Picture.Filename"), g.FilePicture ? g.FilePicture->Filename() : QString());
        w.EndObject();
        break;
    case ctRadio:
    case ctImages: {
        w.BeginObject(kStrings);
        QStringList lines;
        if (g.CellType == ctRadio) {
            if (const platform::TStringList* items = g.Strings())
                for (int i = 0; i < items->Count(); ++i)
                    lines << items->Strings(i);
        } else if (const TIntList* list = g.IntList()) {
            QStringList idx;
            for (int i = 0; i < list->Count(); ++i)
                idx << QString::number(list->GetInteger(i));
            lines << idx.join(u',');
        }
        w.StringList(QStringLiteral("Strings.Strings"), lines);
        w.EndObject();
        break;
    }
    default:
        break;
    }
}

} // namespace

qint64 GridStreamID(const TExtStringGrid& grid)
{
    const auto v = quintptr(&grid);
    return qint64(quint32(v ^ (quint64(v) >> 32)));
}

void SaveRectToBinStream(TExtStringGridPaint& grid, const TGridRect& r, QByteArray& out)
{
    TComponentWriter w(out);
    out.reserve(out.size() + qsizetype(r.Right - r.Left + 1) * (r.Bottom - r.Top + 1) * 64);
    TGridPropIO h;
    h.ColCount = r.Right - r.Left + 1;
    h.RowCount = r.Bottom - r.Top + 1;
    if (grid.SaveFixedCells)
        h.FullGrid = h.RowCount == grid.RowCount() && h.ColCount == grid.ColCount();
    else
        h.FullGrid = h.RowCount == grid.RowCount() - grid.FixedRows() && h.ColCount == grid.ColCount() - grid.FixedCols();
    std::vector<int> widths, heights;
    for (int c = r.Left; c <= r.Right; ++c)
        widths.push_back(grid.colWidths(c));
    for (int row = r.Top; row <= r.Bottom; ++row)
        heights.push_back(grid.rowHeights(row));
    w.BeginObject(kHeader);
    w.Integer(QStringLiteral("ColCount"), h.ColCount);
    w.Integer(QStringLiteral("RowCount"), h.RowCount);
    w.Text(QStringLiteral("ColWidths"), joinInts(widths));
    w.Text(QStringLiteral("RowHeights"), joinInts(heights));
    w.Boolean(QStringLiteral("FullGrid"), h.FullGrid);
    w.Integer(QStringLiteral("ID"), GridStreamID(grid));
    w.EndObject();

    grid.ExportNotification(esExportStart, r.Top);
    int lastProgress = -1;
    // A grid whose cells carry no properties needs no lookup of them per cell.
    const bool anyProperties = grid.cellStore().objectCount() > 0;
    for (int row = r.Top; row <= r.Bottom; ++row) {
        grid.ExportNotification(esExportNextRow, row);
        for (int c = r.Left; c <= r.Right; ++c) {
            const TCellProperties* p = anyProperties ? grid.GetGridObject(c, row) : nullptr;
            w.BeginObject(QLatin1String("TGridCellIO"));
            w.Integer(QLatin1String("Col"), c);
            w.Integer(QLatin1String("Row"), row);
            // A cell without properties is its own base cell: its stored text is what GetCellEx
            // gives outside the display-text rows (one lookup instead of three).
            w.Text(QLatin1String("Cell"), p || row < grid.NormalRowCount() ? grid.GetCellEx(c, row) : grid.GetGridCell(c, row));
            w.Boolean(QLatin1String("HasProp"), p != nullptr);
            w.EndObject();
            if (!p)
                continue;
            const TCellType type = grid.GetCellType(c, row);
            TCellGraphic* g = grid.GetCellGraphic(c, row);
            bool hasGraphic = type != ctEmpty && g;
            if (hasGraphic && HasPictureRecord(type) && type != ctImages && type != ctRadio)
                hasGraphic = g->CellCreated;
            if (hasGraphic && type == ctRadio)
                hasGraphic = g->CellCreated;
            writeProperties(w, *p, hasGraphic);
            if (hasGraphic) {
                writeGraphic(w, *g);
                writePicture(w, *g);
            }
        }
        ReportProgress(grid, lastProgress, double(row) / std::max(1, r.Bottom - r.Top));
    }
    grid.ExportNotification(esExportDone, -1);
}

QByteArray SaveToBinStream(TExtStringGridPaint& grid)
{
    QByteArray out;
    SaveRectToBinStream(grid, TGridRect{grid.SaveStartCol(), grid.SaveStartRow(), grid.SaveEndCol(), grid.SaveEndRow()},
                        out);
    return out;
}

void SaveToBinFile(TExtStringGridPaint& grid, const QString& fileName)
{
    WriteFileOrThrow(fileName, SaveToBinStream(grid));
}

namespace {

TGridPropIO headerOf(const TStreamObject& o)
{
    if (o.ClassName != kHeader)
        throw EReadError(QStringLiteral("Invalid stream format: %1 expected").arg(kHeader));
    TGridPropIO h;
    h.ColCount = int(std::clamp<int64_t>(ValueInt(o.Find(QStringLiteral("ColCount")), 0), -1, INT32_MAX));
    h.RowCount = int(std::clamp<int64_t>(ValueInt(o.Find(QStringLiteral("RowCount")), 0), -1, INT32_MAX));
    h.ColWidths = ValueText(o.Find(QStringLiteral("ColWidths")));
    h.RowHeights = ValueText(o.Find(QStringLiteral("RowHeights")));
    h.FullGrid = ValueBool(o.Find(QStringLiteral("FullGrid")), false);
    h.ID = ValueInt(o.Find(QStringLiteral("ID")), 0);
    if (h.ColCount < 0 || h.RowCount < 0)
        throw EReadError(QStringLiteral("Invalid stream format: negative cell counts"));
    return h;
}

struct CellRecord {
    int Col = 0;
    int Row = 0;
    QString Cell;
    bool HasProp = false;
};

CellRecord cellOf(const TStreamObject& o)
{
    if (o.ClassName != kCell)
        throw EReadError(QStringLiteral("Invalid stream format: %1 expected").arg(kCell));
    CellRecord c;
    const int64_t col = ValueInt(o.Find(QStringLiteral("Col")), 0);
    const int64_t row = ValueInt(o.Find(QStringLiteral("Row")), 0);
    if (col < 0 || row < 0 || col > INT32_MAX / 2 || row > INT32_MAX / 2)
        throw EReadError(QStringLiteral("Invalid stream format: cell coordinates out of range"));
    c.Col = int(col);
    c.Row = int(row);
    c.Cell = ValueText(o.Find(QStringLiteral("Cell")));
    c.HasProp = ValueBool(o.Find(QStringLiteral("HasProp")), false);
    return c;
}

// The cell record without building the object (read once per cell).
CellRecord readCell(TComponentReader& reader)
{
    int64_t col = 0, row = 0;
    CellRecord c;
    const QByteArrayView cls = reader.ReadObjectVisit([&](QByteArrayView name, const TStreamValue& v) {
        if (name == "Col")
            col = v.IsInteger() ? v.Int : 0;
        else if (name == "Row")
            row = v.IsInteger() ? v.Int : 0;
        else if (name == "Cell")
            c.Cell = v.IsText() ? v.Text : QString();
        else if (name == "HasProp")
            c.HasProp = (v.Tag == vaTrue || v.Tag == vaFalse) && v.Int != 0;
    });
    if (cls != "TGridCellIO")
        throw EReadError(QStringLiteral("Invalid stream format: %1 expected").arg(kCell));
    if (col < 0 || row < 0 || col > INT32_MAX / 2 || row > INT32_MAX / 2)
        throw EReadError(QStringLiteral("Invalid stream format: cell coordinates out of range"));
    c.Col = int(col);
    c.Row = int(row);
    return c;
}

template <size_t N>
int identOf(const TStreamObject& o, const QString& name, const TNames<N>& names, int current)
{
    const TStreamValue* v = o.Find(name);
    if (!v)
        return current;
    const int i = v->Tag == vaIdent ? IndexOfName(names, v->Text) : -1;
    if (i < 0)
        throw EReadError(QStringLiteral("Invalid property value of %1").arg(name));
    return i;
}

Color colorOf(const TStreamObject& o, const QString& name, Color current)
{
    return Color(quint32(ValueInt(o.Find(name), qint64(current))));
}

int intOf(const TStreamObject& o, const QString& name, int current)
{
    return int(std::clamp<int64_t>(ValueInt(o.Find(name), current), INT32_MIN, INT32_MAX));
}

// Reads a property record into the target cell's properties; returns HasGraphic.
bool applyProperties(TExtStringGridPaint& grid, const TStreamObject& o, int tc, int tr)
{
    if (o.ClassName != kProp)
        throw EReadError(QStringLiteral("Invalid stream format: %1 expected").arg(kProp));
    TCellProperties* p = grid.GetCellProperties(tc, tr);
    const QString n = QStringLiteral("CellProperties.");
    // A merge only within the grid: a member must lie right of / below its base cell, a base
    // cell's block must end inside the grid. Anything else loads as an unmerged cell.
    const bool isBase = ValueBool(o.Find(n + "IsBaseCell"), p->IsBaseCell);
    const int sx = intOf(o, n + "CellSpanX", p->CellSpanX);
    const int sy = intOf(o, n + "CellSpanY", p->CellSpanY);
    bool mergeOk;
    if (isBase)
        mergeOk = (sx == -1 && sy == -1)
                  || (sx >= 0 && sy >= 0 && qint64(tc) + sx < grid.ColCount() && qint64(tr) + sy < grid.RowCount());
    else
        mergeOk = sx >= 0 && sy >= 0 && sx <= tc && sy <= tr && (sx > 0 || sy > 0);
    p->IsBaseCell = mergeOk ? isBase : true;
    p->CellSpanX = mergeOk ? sx : -1;
    p->CellSpanY = mergeOk ? sy : -1;
    p->SetAlignment(platform::Alignment(identOf(o, n + "Alignment", kAlignmentNames, int(p->Alignment()))));
    p->BorderColor = colorOf(o, n + "BorderColor", p->BorderColor);
    p->BorderWidth = intOf(o, n + "BorderWidth", p->BorderWidth);
    p->SetBrushColor(colorOf(o, n + "BrushColor", p->BrushColor()));
    p->SetBrushColorTo(colorOf(o, n + "BrushColorTo", p->BrushColorTo()));
    p->BrushStyle = platform::BrushStyle(identOf(o, n + "BrushStyle", kBrushStyleNames, int(p->BrushStyle)));
    p->FontColor = colorOf(o, n + "FontColor", p->FontColor);
    if (const TStreamValue* v = o.Find(n + "FontName"))
        p->FontName = ValueText(v);
    p->FontSize = intOf(o, n + "FontSize", p->FontSize);
    if (const TStreamValue* v = o.Find(n + "FontStyle"))
        p->FontStyle = v->Tag == vaSet ? SetBits(kFontStyleNames, v->Set) : p->FontStyle;
    p->Editor = TEditorType(identOf(o, n + "Editor", kEditorNames, int(p->Editor)));
    p->GradientDirection =
        TCellGradientDirection(identOf(o, n + "GradientDirection", kGradientNames, int(p->GradientDirection)));
    p->ReadOnly = ValueBool(o.Find(n + "ReadOnly"), p->ReadOnly);
    p->SetVAlignment(TVAlignment(identOf(o, n + "VAlignment", kVAlignmentNames, int(p->VAlignment()))));
    p->SetWordWrap(ValueBool(o.Find(n + "WordWrap"), p->WordWrap()));
    p->NodeLevel = intOf(o, n + "NodeLevel", p->NodeLevel);
    p->OwnerCol = tc;
    p->OwnerRow = tr;
    return ValueBool(o.Find(QStringLiteral("HasGraphic")), false);
}

void readGraphic(const TStreamObject& o, TCellGraphic& g)
{
    if (o.ClassName != kGraphic)
        throw EReadError(QStringLiteral("Invalid stream format: %1 expected").arg(kGraphic));
    const QString n = QStringLiteral("CellGraphic.");
    g.CellType = TCellType(identOf(o, n + "CellType", kCellTypeNames, int(ctNone)));
    g.CellVAlign = TCellVAlign(identOf(o, n + "CellVAlign", kCellVAlignNames, int(vaTop)));
    g.CellHAlign = TCellHAlign(identOf(o, n + "CellHAlign", kCellHAlignNames, int(haLeft)));
    g.CellIndex = intOf(o, n + "CellIndex", 0);
    g.CellTransparent = ValueBool(o.Find(n + "CellTransparent"), false);
    g.CellBoolean = ValueBool(o.Find(n + "CellBoolean"), false);
    g.CellCheckBoxState = TCheckBoxState(identOf(o, n + "CellCheckBoxState", kCheckBoxStateNames, 0));
    g.CellAngle = intOf(o, n + "CellAngle", 0);
    if (const TStreamValue* v = o.Find(n + "CellValue"))
        g.CellValue = v->Tag == vaExtended ? v->Float : 0;
    g.CellErrFrom = intOf(o, n + "CellErrFrom", 0);
    g.CellErrLen = intOf(o, n + "CellErrLen", 0);
    g.CellText = ValueText(o.Find(n + "CellText"));
    g.ColorBitmap = colorOf(o, n + "ColorBitmap", platform::clNone);
    g.ColorIcon = colorOf(o, n + "ColorIcon", platform::clNone);
}

QImage decodeImage(const QByteArray& data)
{
    if (data.isEmpty())
        return QImage();
    try {
        return platform::ReadImageData(data);
    } catch (const std::exception&) {
        throw EReadError(QStringLiteral("Invalid stream format: damaged picture"));
    }
}

// Attaches the picture record's object to a new graphic of the cell.
void attachPicture(TExtStringGridPaint& grid, TCellGraphic& g, const TStreamObject& o, int tc, int tr)
{
    auto expect = [&](const QString& cls) {
        if (o.ClassName != cls)
            throw EReadError(QStringLiteral("Invalid stream format: %1 expected").arg(cls));
    };
    switch (g.CellType) {
    case ctBitmap:
    case ctBitButton: {
        expect(kBmp);
        QByteArray data = o.Find(QStringLiteral("Bitmap.Data")) ? o.Find(QStringLiteral("Bitmap.Data"))->Bytes
                                                                  : QByteArray();
        if (!data.isEmpty()) {
            if (data.size() < 4)
                throw EReadError(QStringLiteral("Invalid stream format: damaged bitmap"));
            const quint32 n = quint32(uint8_t(data[0])) | quint32(uint8_t(data[1])) << 8
                              | quint32(uint8_t(data[2])) << 16 | quint32(uint8_t(data[3])) << 24;
            if (n != quint32(data.size() - 4))
                throw EReadError(QStringLiteral("Invalid stream format: damaged bitmap"));
            data = data.mid(4);
        }
        g.Bitmap = new platform::Bitmap(platform::Bitmap::fromImage(decodeImage(data), platform::PixelFormat::pf24bit));
        g.CellCreated = true;
        break;
    }
    case ctIcon: {
        expect(kIcon);
        const TStreamValue* v = o.Find(QStringLiteral("Icon.Data"));
        auto* icon = new platform::Icon;
        g.Icon = icon;
        g.CellCreated = true;
        icon->setImage(decodeImage(v ? v->Bytes : QByteArray()));
        break;
    }
    case ctPicture: {
        expect(kPic);
        const TStreamValue* v = o.Find(QStringLiteral("Picture.Data"));
        auto* picture = new platform::Picture;
        g.Picture = picture;
        g.CellCreated = true;
        const QByteArray data = v ? v->Bytes : QByteArray();
        if (!data.isEmpty()) {
            const int n = uint8_t(data[0]);
            if (1 + n > data.size())
                throw EReadError(QStringLiteral("Invalid stream format: damaged picture"));
            try {
                picture->LoadFromData(data.mid(1 + n));
            } catch (const std::exception&) {
                throw EReadError(QStringLiteral("Invalid stream format: damaged picture"));
            }
        }
        break;
    }
    case ctFilePicture: {
        expect(kFilePic);
        auto* fp = new TFilePicture;
        g.FilePicture = fp;
        g.CellCreated = true;
        try {
            fp->SetFilename(ValueText(o.Find(QStringLiteral("Picture.Filename"))));
        } catch (const std::exception&) {
            // The file is not here (the stream came from elsewhere): the name stays.
        }
        break;
    }
    case ctRadio:
    case ctImages: {
        expect(kStrings);
        QStringList lines;
        if (const TStreamValue* v = o.Find(QStringLiteral("Strings.Strings")))
            for (const TStreamValue& line : v->List)
                lines << line.Text;
        if (g.CellType == ctRadio) {
            auto* items = new platform::TStringList;
            items->AddStrings(lines);
            g.Object = items;
            g.CellCreated = true;
        } else {
            QString comma = lines.value(0);
            g.SetMultiImage(tc, tr, g.CellBoolean ? 0 : 1, g.CellHAlign, g.CellVAlign,
                            [&grid](TIntList*, int col, int row) { grid.RepaintCell(col, row); });
            if (TIntList* list = g.IntList())
                for (const QString& s : comma.split(u',', Qt::SkipEmptyParts)) {
                    bool ok = false;
                    const int idx = s.trimmed().toInt(&ok);
                    if (ok)
                        list->Add(idx);
                }
        }
        break;
    }
    default:
        break;
    }
}

} // namespace

TGridPropIO ReadBinHeader(const QByteArray& data, qsizetype& pos)
{
    TComponentReader reader(data, pos);
    const TGridPropIO h = headerOf(reader.ReadObject());
    pos = reader.Position();
    return h;
}

void LoadAtPointFromBinStream(TExtStringGridPaint& grid, QPoint point, const QByteArray& data, qsizetype pos,
                              const std::function<bool(int col, int row)>& accept, bool wholeGrid)
{
    TComponentReader reader(data, pos);
    const TGridPropIO h = headerOf(reader.ReadObject());
    QPoint origin(-1, -1);
    if (h.FullGrid && wholeGrid) {
        // Everything is checked before the grid is cleared: the size lists and the first cell.
        const auto widths = splitInts(h.ColWidths, h.ColCount);
        const auto heights = splitInts(h.RowHeights, h.RowCount);
        if (!widths || !heights)
            throw EReadError(QStringLiteral("Invalid stream format: the column widths or row heights do not match"));
        if (h.ColCount < 1 || h.RowCount < 1)
            throw EReadError(QStringLiteral("Invalid stream format: a full grid without cells"));
        TComponentReader peek(data, reader.Position());
        const CellRecord first = cellOf(peek.ReadObject());
        origin = QPoint(first.Col, first.Row);
        if (qint64(origin.x()) + h.ColCount > INT32_MAX / 2 || qint64(origin.y()) + h.RowCount > INT32_MAX / 2)
            throw EReadError(QStringLiteral("Invalid stream format: cell coordinates out of range"));
        grid.Clear();
        grid.SetRowCount(origin.y() + h.RowCount);
        grid.SetColCount(origin.x() + h.ColCount);
        for (int i = 0; i < h.ColCount; ++i)
            grid.setColWidths(origin.x() + i, (*widths)[size_t(i)]);
        for (int i = 0; i < h.RowCount; ++i)
            grid.setRowHeights(origin.y() + i, (*heights)[size_t(i)]);
        point = QPoint(0, 0);
        origin = QPoint(0, 0);
    }
    int lastRow = -1;
    int lastProgress = -1;
    TCellGraphic record;
    const bool plainTarget = !grid.HideLastRow();
    // While no cell of the grid carries properties (a cleared grid, until the stream gives a
    // cell some), a cell is written without looking for them.
    bool anyProperties = grid.cellStore().objectCount() > 0;
    bool nodes = false; // node graphics came in: the grid counts its nodes anew at the end
    while (reader.Position() < data.size() - 1) {
        const CellRecord cell = readCell(reader);
        if (origin.x() < 0)
            origin = QPoint(cell.Col, cell.Row);
        const qint64 tc64 = qint64(cell.Col) + point.x() - origin.x();
        const qint64 tr64 = qint64(cell.Row) + point.y() - origin.y();
        const int tc = int(tc64), tr = int(tr64);
        const bool inside = tc64 >= 0 && tr64 >= 0 && tc64 < grid.ColCount() && tr64 < grid.RowCount()
                            && (!accept || accept(tc, tr));
        if (inside) {
            if (plainTarget && (!anyProperties || !grid.GetGridObject(tc, tr)))
                grid.SetGridCell(tc, tr, cell.Cell); // what SetCellEx does for a cell without properties
            else
                grid.SetCellEx(tc, tr, cell.Cell);
        }
        if (inside && tr != lastRow) {
            lastRow = tr;
            ReportProgress(grid, lastProgress, double(tr) / std::max(1, grid.RowCount()));
        }
        if (!cell.HasProp)
            continue;
        const TStreamObject propObject = reader.ReadObject();
        bool hasGraphic = false;
        if (inside) {
            hasGraphic = applyProperties(grid, propObject, tc, tr);
            anyProperties = true; // this cell's, and a merge's across its block
        } else {
            if (propObject.ClassName != kProp)
                throw EReadError(QStringLiteral("Invalid stream format: %1 expected").arg(kProp));
            hasGraphic = ValueBool(propObject.Find(QStringLiteral("HasGraphic")), false);
        }
        if (!hasGraphic)
            continue;
        readGraphic(reader.ReadObject(), record);
        const TCellType type = record.CellType;
        TStreamObject pictureObject;
        if (HasPictureRecord(type))
            pictureObject = reader.ReadObject();
        // Objects of another process (interfaced cells) do not travel.
        if (!inside || type == ctInterface || type == ctEmpty)
            continue;
        TCellGraphic* g = grid.CreateCellGraphic(tc, tr);
        g->Assign(&record);
        nodes = nodes || (tc == 0 && type == ctNode);
        g->CellCreated = false;
        g->Bitmap = nullptr;
        g->Picture = nullptr;
        g->FilePicture = nullptr;
        g->Icon = nullptr;
        g->Object = nullptr;
        // Balloon texts of check boxes and radio buttons are not in the stream.
        if ((type == ctCheckBox || type == ctDataCheckBox || type == ctRadioButton) && g->CellAngle == 1)
            g->CellAngle = 0;
        if (HasPictureRecord(type))
            attachPicture(grid, *g, pictureObject, tc, tr);
        grid.RepaintCell(tc, tr);
    }
    if (nodes)
        grid.RecountNodes();
}

void LoadFromBinStream(TExtStringGridPaint& grid, const QByteArray& data)
{
    LoadAtPointFromBinStream(grid, QPoint(0, 0), data, 0);
    grid.RepaintCol(0);
}

void LoadFromBinFile(TExtStringGridPaint& grid, const QString& fileName)
{
    LoadFromBinStream(grid, ReadFileOrThrow(fileName));
}

void AssignCellsByStream(TExtStringGridPaint& target, TExtStringGridPaint& source)
{
    if (&target == &source)
        return;
    const bool fixed = source.SaveFixedCells;
    source.SaveFixedCells = true;
    QByteArray data;
    SaveRectToBinStream(source, TGridRect{0, 0, source.ColCount() - 1, source.RowCount() - 1}, data);
    source.SaveFixedCells = fixed;
    LoadFromBinStream(target, data);
}

} // namespace controls::grid::io
