// The header's binary stream (layout in LazyTreeHeader.h). A load reads the whole stream into
// plain records first and changes the header only when every value was there.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeHeader.h"
#include "controls/tree/LazyTreeStream.h"

#include <QBuffer>
#include <QIODevice>

namespace controls {

using platform::Alignment;

namespace {

[[noreturn]] void readError() { throw ELazyTreeError(QStringLiteral("Stream read error")); }

// The smallest column record of a version with its position entry.
int64_t minimalColumnBytes(int version) { return (version > 1 ? 60 : version > 0 ? 56 : 48) + 4; }

struct ColumnRecord {
    QString text;
    QString hint;
    int32_t width = 50;
    int32_t minWidth = 10;
    int32_t maxWidth = 10000;
    uint8_t style = 0;
    int32_t imageIndex = -1;
    uint8_t layout = 0;
    int32_t margin = 4;
    int32_t spacing = 3;
    uint8_t bidi = 0;
    uint16_t options = DefaultColumnOptions.bits();
    bool hasTag = false;
    int32_t tag = 0;
    uint8_t alignment = 0;
    bool hasColor = false;
    uint32_t color = 0;
    bool hasCaptionAlignment = false;
    uint8_t captionAlignment = 0;
};

struct HeaderRecord {
    int version = -1;
    std::vector<ColumnRecord> columns;
    std::vector<TColumnIndex> positions;
    bool hasDefaultWidth = false;
    int32_t defaultWidth = 50;
    int32_t autoSizeIndex = 0;
    uint32_t background = 0;
    int32_t height = 19;
    uint32_t options = 0;
    uint8_t style = 0;
    uint32_t fontColor = 0;
    int32_t fontHeight = 0;
    QString fontName;
    uint8_t fontPitch = 0;
    uint32_t fontStyle = 0;
    int32_t mainColumn = -1;
    int32_t sortColumn = -1;
    uint8_t sortDirection = 0;
    bool parentFont = false;
    int32_t maxHeight = 10000;
    int32_t minHeight = 10;
    int32_t defaultHeight = 19;
    uint32_t percents[4] = {};
};

int32_t readI32(TLazyTreeStreamReader& r)
{
    int32_t v = 0;
    if (!r.ReadInt32(v))
        readError();
    return v;
}

uint32_t readU32(TLazyTreeStreamReader& r) { return uint32_t(readI32(r)); }

QString readText(TLazyTreeStreamReader& r)
{
    const int32_t length = readI32(r);
    QString text;
    if (length < 0 || !r.ReadUtf16(length, text))
        readError();
    return text;
}

// Version 2 kept 8 option bits, earlier versions 7 with no coParentColor at bit 4.
uint16_t convertColumnOptions(uint32_t bits, int version)
{
    if (version >= 3)
        return uint16_t(bits);
    if (version == 2)
        return uint16_t(bits & 0xFF);
    return uint16_t((bits & 0x0F) | ((bits & 0x70) << 1));
}

// The position array: it must name every column once; anything else gives the index order.
std::vector<TColumnIndex> readPositions(TLazyTreeStreamReader& r, int32_t count)
{
    std::vector<TColumnIndex> positions;
    for (int32_t i = 0; i < count; ++i)
        positions.push_back(readI32(r));
    std::vector<bool> seen(size_t(count), false);
    for (TColumnIndex index : positions) {
        if (index < 0 || index >= count || seen[size_t(index)]) {
            for (int32_t i = 0; i < count; ++i)
                positions[size_t(i)] = i;
            break;
        }
        seen[size_t(index)] = true;
    }
    return positions;
}

ColumnRecord readColumn(TLazyTreeStreamReader& r, int version)
{
    ColumnRecord c;
    c.text = readText(r);
    c.hint = readText(r);
    c.width = readI32(r);
    c.minWidth = readI32(r);
    c.maxWidth = readI32(r);
    c.style = uint8_t(readU32(r));
    c.imageIndex = readI32(r);
    c.layout = uint8_t(readU32(r));
    c.margin = readI32(r);
    c.spacing = readI32(r);
    c.bidi = uint8_t(readU32(r));
    c.options = convertColumnOptions(readU32(r), version);
    if (version > 0) {
        c.hasTag = true;
        c.tag = readI32(r);
        c.alignment = uint8_t(readU32(r));
    }
    if (version > 1) {
        c.hasColor = true;
        c.color = readU32(r);
    }
    if (version > 5 && TLTColumnOptions::fromBits(c.options).contains(coUseCaptionAlignment)) {
        c.hasCaptionAlignment = true;
        c.captionAlignment = uint8_t(readU32(r));
    }
    return c;
}

HeaderRecord readHeader(TLazyTreeStreamReader& r)
{
    HeaderRecord h;
    const int32_t first = readI32(r);
    if (first < 0)
        h.version = readI32(r);
    else
        r.Seek(r.Position() - 4);
    // The columns.
    const int32_t count = readI32(r);
    if (count > 0) {
        // A count the bytes left cannot hold, or beyond any real header, is refused before
        // anything is made.
        if (count > MaxColumnCount || int64_t(count) * minimalColumnBytes(h.version) > r.Remaining())
            readError();
        for (int32_t i = 0; i < count; ++i)
            h.columns.push_back(readColumn(r, h.version));
        h.positions = readPositions(r, count);
    }
    if (h.version > 4) {
        h.hasDefaultWidth = true;
        h.defaultWidth = readI32(r);
    }
    h.autoSizeIndex = readI32(r);
    h.background = readU32(r);
    h.height = readI32(r);
    h.options = readU32(r);
    h.style = uint8_t(readU32(r));
    h.fontColor = readU32(r);
    h.fontHeight = readI32(r);
    const int32_t nameLength = readI32(r);
    if (nameLength < 0 || nameLength > r.Remaining())
        readError();
    h.fontName = QString::fromUtf8(r.Data() + r.Position(), nameLength);
    r.Seek(r.Position() + nameLength);
    h.fontPitch = uint8_t(readU32(r));
    h.fontStyle = readU32(r);
    if (h.version > 0) {
        h.mainColumn = readI32(r);
        h.sortColumn = readI32(r);
        h.sortDirection = uint8_t(readU32(r));
    }
    if (h.version > 4) {
        h.parentFont = readU32(r) != 0;
        h.maxHeight = readI32(r);
        h.minHeight = readI32(r);
        h.defaultHeight = readI32(r);
        for (uint32_t& p : h.percents)
            p = readU32(r);
    }
    return h;
}

template <typename E>
E ordinal(uint8_t value, uint8_t last, E fallback)
{
    return value <= last ? E(value) : fallback;
}

Alignment alignmentOf(uint8_t value)
{
    return ordinal<Alignment>(value, uint8_t(Alignment::taCenter), Alignment::taLeftJustify);
}

} // namespace

// --- saving -------------------------------------------------------------------------------------

void TLazyTreeColumn::SaveToStream(QIODevice& Stream) const
{
    QByteArray bytes;
    TLazyTreeStreamWriter w(bytes);
    const QString text = GetText();
    w.WriteInt32(int32_t(text.size()));
    w.WriteUtf16(text);
    w.WriteInt32(int32_t(FHint.size()));
    w.WriteUtf16(FHint);
    w.WriteInt32(FWidth);
    w.WriteInt32(FMinWidth);
    w.WriteInt32(FMaxWidth);
    w.WriteUInt32(FStyle);
    w.WriteInt32(FImageIndex);
    w.WriteUInt32(FLayout);
    w.WriteInt32(FMargin);
    w.WriteInt32(FSpacing);
    w.WriteUInt32(FBiDiMode);
    w.WriteUInt32(FOptions.bits());
    w.WriteInt32(int32_t(FTag));
    w.WriteUInt32(uint32_t(FAlignment));
    w.WriteUInt32(FColor);
    if (FOptions.contains(coUseCaptionAlignment))
        w.WriteUInt32(uint32_t(FCaptionAlignment));
    Stream.write(bytes);
}

void TLazyTreeColumns::SaveToStream(QIODevice& Stream) const
{
    QByteArray bytes;
    TLazyTreeStreamWriter w(bytes);
    w.WriteInt32(Count());
    Stream.write(bytes);
    if (Count() > 0) {
        for (const auto& column : FItems)
            column->SaveToStream(Stream);
        bytes.clear();
        for (int i = 0; i < Count(); ++i)
            w.WriteInt32(i < int(FPositionToIndex.size()) ? FPositionToIndex[size_t(i)] : i);
        Stream.write(bytes);
    }
    bytes.clear();
    w.WriteInt32(FDefaultWidth);
    Stream.write(bytes);
}

void TLTHeader::SaveToStream(QIODevice& Stream) const
{
    QByteArray bytes;
    TLazyTreeStreamWriter w(bytes);
    w.WriteInt32(-1);
    w.WriteInt32(StreamVersion);
    Stream.write(bytes);
    FColumns->SaveToStream(Stream);
    bytes.clear();
    w.WriteInt32(FAutoSizeIndex);
    w.WriteUInt32(FBackgroundColor);
    w.WriteInt32(FHeight);
    w.WriteUInt32(FOptions.bits());
    w.WriteUInt32(FStyle);
    w.WriteUInt32(FFontColor);
    const int pixels = FFont.pixelSize() > 0 ? FFont.pixelSize() : int(std::lround(FFont.pointSizeF() * 96.0 / 72.0));
    w.WriteInt32(-pixels);
    const QByteArray name = FFont.family().toUtf8();
    w.WriteInt32(int32_t(name.size()));
    w.WriteBytes(name.constData(), name.size());
    w.WriteUInt32(uint32_t(FFontPitch));
    uint32_t style = 0;
    if (FFont.bold())
        style |= 1;
    if (FFont.italic())
        style |= 2;
    if (FFont.underline())
        style |= 4;
    if (FFont.strikeOut())
        style |= 8;
    w.WriteUInt32(style);
    w.WriteInt32(FMainColumn);
    w.WriteInt32(FSortColumn);
    w.WriteUInt32(FSortDirection);
    w.WriteUInt32(FParentFont ? 1 : 0);
    w.WriteInt32(FMaxHeight);
    w.WriteInt32(FMinHeight);
    w.WriteInt32(FDefaultHeight);
    w.WriteUInt32(uint32_t(FFixedAreaConstraints->MaxHeightPercent()));
    w.WriteUInt32(uint32_t(FFixedAreaConstraints->MaxWidthPercent()));
    w.WriteUInt32(uint32_t(FFixedAreaConstraints->MinHeightPercent()));
    w.WriteUInt32(uint32_t(FFixedAreaConstraints->MinWidthPercent()));
    Stream.write(bytes);
}

// --- loading ------------------------------------------------------------------------------------

void TLazyTreeColumn::LoadFromStream(TLazyTreeStreamReader& Stream, int Version)
{
    const ColumnRecord c = readColumn(Stream, Version);
    SetText(c.text);
    FHint = c.hint;
    SetWidth(c.width);
    SetMinWidth(c.minWidth);
    SetMaxWidth(c.maxWidth);
    SetStyle(ordinal<TLazyTreeColumnStyle>(c.style, vsOwnerDraw, vsText));
    SetImageIndex(c.imageIndex);
    SetLayout(ordinal<TLTHeaderColumnLayout>(c.layout, blGlyphBottom, blGlyphLeft));
    SetMargin(c.margin);
    SetSpacing(c.spacing);
    SetBiDiMode(ordinal<TBiDiMode>(c.bidi, bdRightToLeftReadingOnly, bdLeftToRight));
    SetOptions(TLTColumnOptions::fromBits(c.options));
    if (c.hasTag) {
        FTag = c.tag;
        SetAlignment(alignmentOf(c.alignment));
    }
    if (c.hasColor)
        SetColor(platform::Color(c.color));
    if (c.hasCaptionAlignment)
        FCaptionAlignment = alignmentOf(c.captionAlignment);
}

void TLazyTreeColumns::LoadFromStream(TLazyTreeStreamReader& Stream, int Version)
{
    Clear();
    const int32_t count = readI32(Stream);
    if (count > 0) {
        if (int64_t(count) * minimalColumnBytes(Version) > Stream.Remaining())
            readError();
        BeginUpdate();
        try {
            for (int32_t i = 0; i < count; ++i)
                Add()->LoadFromStream(Stream, Version);
            FPositionToIndex = readPositions(Stream, count);
            RecalculateLefts(true);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    if (Version > 4)
        FDefaultWidth = readI32(Stream);
}

void TLTHeader::LoadFromStream(QIODevice& Stream)
{
    const qint64 start = Stream.pos();
    const QByteArray bytes = Stream.readAll();
    // Everything is read before anything changes: a short or inconsistent stream leaves the
    // header, its options and its columns as they were.
    TLazyTreeStreamReader reader(bytes);
    HeaderRecord h;
    try {
        h = readHeader(reader);
    } catch (...) {
        if (!Stream.isSequential())
            Stream.seek(start);
        throw;
    }
    if (!Stream.isSequential())
        Stream.seek(start + reader.Position());

    FStates += hsLoading;
    const TLTHeaderOptions remembered = FOptions;
    FOptions = {};
    try {
        // The columns, through the collection's own reader of the same bytes.
        TLazyTreeStreamReader columns(bytes);
        columns.Seek(h.version >= 0 ? 8 : 0);
        FColumns->LoadFromStream(columns, h.version);
        SetAutoSizeIndex(h.autoSizeIndex);
        SetBackground(platform::Color(h.background));
        SetHeight(h.height);
        FOptions = remembered;
        SetOptions(TLTHeaderOptions::fromBits(h.options));
        SetStyle(ordinal<TLTHeaderStyle>(h.style, hsPlates, hsThickButtons));
        FFontColor = platform::Color(h.fontColor);
        QFont font = FFont;
        if (h.fontHeight != 0)
            font.setPixelSize(std::clamp(std::abs(h.fontHeight), 1, 4096));
        if (!h.fontName.isEmpty())
            font.setFamily(h.fontName);
        FFontPitch = h.fontPitch <= 2 ? h.fontPitch : 0;
        font.setFixedPitch(FFontPitch == 2);
        font.setBold(h.fontStyle & 1);
        font.setItalic(h.fontStyle & 2);
        font.setUnderline(h.fontStyle & 4);
        font.setStrikeOut(h.fontStyle & 8);
        SetFont(font);
        if (h.version > 0) {
            SetMainColumn(h.mainColumn);
            SetSortColumn(h.sortColumn);
            SetSortDirection(ordinal<TSortDirection>(h.sortDirection, sdDescending, sdAscending));
        }
        if (h.version > 4) {
            SetParentFont(h.parentFont);
            FMaxHeight = std::clamp(h.maxHeight, 0, MaxHeaderHeight);
            FMinHeight = std::clamp(h.minHeight, 0, MaxHeaderHeight);
            FDefaultHeight = std::clamp(h.defaultHeight, 0, MaxHeaderHeight);
            auto onChange = std::move(FFixedAreaConstraints->OnChange);
            FFixedAreaConstraints->OnChange = nullptr;
            for (int i = 0; i < 4; ++i)
                FFixedAreaConstraints->SetConstraint(TLTFixedAreaConstraints::Index(i), int(std::min<uint32_t>(h.percents[i], 255)));
            FFixedAreaConstraints->OnChange = std::move(onChange);
        }
    } catch (...) {
        FOptions = remembered;
        FStates -= hsLoading;
        FOwner->DoColumnResize(NoColumn);
        throw;
    }
    FStates -= hsLoading;
    FOwner->DoColumnResize(NoColumn);
}

} // namespace controls
