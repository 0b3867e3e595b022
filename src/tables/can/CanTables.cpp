#include "tables/can/CanTables.h"

#include "platform/text/Text.h"
#include "tables/frame/Columns.h"
#include "workspace/Workspace.h"

#include <QFileInfo>

namespace tables::can {

using workspace::text;
namespace col = tables::columns;
using col::kBlue;
using col::kGreen;
using col::kWhite;

namespace {

const QString kVersion = QStringLiteral("SW_VERSION = 1.201");
const QStringList kTypes{QStringLiteral("2.0A (11 bits)"), QStringLiteral("2.0B (29 bits)")};

TableDescription framesTable(Direction d)
{
    const bool rec = d == Direction::Receive;
    TableDescription t;
    t.window = {.className = rec ? QStringLiteral("FCAN_Rec_Frames") : QStringLiteral("FCAN_Send_Frame"),
                .captionText = rec ? 536 : 555,
                .descText = rec ? 537 : 556,
                .clientWidth = 759};
    const int b = rec ? 538 : 557;
    t.buttons = {.ok = b, .cancel = b + 1, .delRow = b + 2, .insRow = b + 3};
    t.deleteQuestionText = rec ? 554 : 574;
    if (rec)
        t.path = [] { return workspace::ws().Path_CAN_Rec_Frames; };
    else
        t.path = [] { return workspace::ws().Path_CAN_Send_Frames; };
    t.root = rec ? QStringLiteral("PROFINET_to_Receive_CAN") : QStringLiteral("PROFINET_to_Send_CAN");
    t.otherComment = kVersion; // only the CAN model opens these tables
    t.capacity = kFrameCapacity;
    t.rowHeight = 21;
    SectionDescription s{.element = rec ? QStringLiteral("Receive_Frames") : QStringLiteral("Send_Frames"),
                         .gridName = QStringLiteral("sga"),
                         .numberHeaderText = rec ? 542 : 561,
                         .keyColumn = ColCobId,
                         .keyTrimmed = false,
                         .numberWidth = 64};
    if (rec)
        s.columns = {col::text(543, "Cob_Id", 110, kBlue), col::list(544, "Type", kTypes, 85, kBlue),
                     col::text(545, "Dimension", 75, kBlue), col::text(546, "TimeOut", 85, kGreen),
                     col::text(547, "Mnemonic", 310, kWhite)};
    else
        s.columns = {col::text(562, "Cob_Id", 110, kBlue),
                     col::list(563, "Type", kTypes, 85, kBlue),
                     col::text(564, "Dimension", 71, kBlue),
                     col::list(565, "Send_Type", {QStringLiteral("On Data Change"), QStringLiteral("On Timer")}, 106,
                               kGreen),
                     col::text(566, "Timer_Send", 85, kGreen),
                     col::text(567, "Mnemonic", 210, kWhite)};
    t.sections = {s};
    return t;
}

TableDescription infoTable(Direction d)
{
    const bool rec = d == Direction::Receive;
    TableDescription t;
    if (rec)
        t.path = [] { return workspace::ws().Path_CAN_Rec_Info; };
    else
        t.path = [] { return workspace::ws().Path_CAN_Send_Info; };
    t.root = rec ? QStringLiteral("Receive_Frames_Info") : QStringLiteral("Send_Frames_Info");
    t.otherComment = kVersion;
    t.capacity = kFrameCapacity;
    SectionDescription s{.element = QString(), .keyColumn = 1};
    // A byte beyond the frame's Dimension is not read, so its attribute may be missing.
    for (const char* a : {"B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"})
        s.columns.push_back(col::text(-1, a, 64, kWhite, QString()));
    t.sections = {s};
    return t;
}

bool inRange(int v, int low, int high) { return v >= low && v <= high; }

} // namespace

const TableDescription& canFramesTable(Direction d)
{
    static const TableDescription rec = framesTable(Direction::Receive);
    static const TableDescription send = framesTable(Direction::Send);
    return d == Direction::Receive ? rec : send;
}

std::optional<Failure> checkCanFrameRow(const RowView& r, Direction d)
{
    const bool rec = d == Direction::Receive;
    const int prefix = rec ? 548 : 568;
    const int texts = rec ? 549 : 569; // Type, 11-bit, 29-bit, Dimension, time: one after the other
    if (r.trimmed(ColType).isEmpty())
        return Failure{prefix, texts};
    // A Cob-ID that is not a number reads as -1 and so lies outside either range.
    const int cobId = r.number(ColCobId);
    const bool standard = r.upper(ColType) == QLatin1String("2.0A (11 BITS)");
    if (!inRange(cobId, 0, standard ? 0x7FF : 0x1FFFFFFF))
        return Failure{prefix, standard ? texts + 1 : texts + 2};
    if (cobId == 0)
        return Failure{prefix, -1, QStringLiteral("!! CAN Cob-Id must not be 0: a frame with Cob-Id 0 ends the saved table")};
    if (!inRange(r.number(ColDimension), 1, 8))
        return Failure{prefix, texts + 3};
    if (!inRange(r.number(rec ? 4 : 5), 0, 10000000))
        return Failure{prefix, texts + 4};
    return std::nullopt;
}

// --- byte maps -------------------------------------------------------------------------------

const TableDescription& canInfoTable(Direction d)
{
    static const TableDescription rec = infoTable(Direction::Receive);
    static const TableDescription send = infoTable(Direction::Send);
    return d == Direction::Receive ? rec : send;
}

ByteMap loadByteMap(Direction d, const QString& framesPath, const QString& infoPath)
{
    ByteMap m;
    // The frames as the frame table reads them, one per row of the file's section.
    const LoadResult frames = loadTable(canFramesTable(d), framesPath, kFrameCapacity);
    m.error = frames.error;
    const QString framesFile = QFileInfo(framesPath).fileName();
    for (int r = 1; r <= frames.rowsRead[0]; ++r) {
        const QString dim = frames.model.cell(0, r, ColDimension);
        const std::optional<int32_t> v = platform::toInt(dim);
        if (!v || *v < 0 || *v > 255) {
            if (m.error.isEmpty())
                m.error = QStringLiteral("Error! The file %1: the Dimension \"%2\" of frame %3 is not a number of "
                                         "data bytes; the frames from there on were not loaded.")
                              .arg(framesFile, dim)
                              .arg(r);
            break;
        }
        TRecInfo info;
        info.Dim = uint8_t(*v);
        m.cobIds << frames.model.cell(0, r, ColCobId);
        m.Data_arr.push_back(info);
    }

    const LoadResult info = loadTable(canInfoTable(d), infoPath, kFrameCapacity);
    m.mapExists = info.exists;
    m.mapRows = info.rowsRead[0] + info.notShown[0];
    if (m.error.isEmpty())
        m.error = info.error;
    const QString infoFile = QFileInfo(infoPath).fileName();
    const int n = std::min(int(m.Data_arr.size()), info.rowsRead[0]);
    for (int i = 0; i < n; ++i) {
        TRecInfo& f = m.Data_arr[size_t(i)];
        for (int k = 1; k <= f.Dim && k <= 8; ++k) {
            const QString t = info.model.cell(0, i + 1, k);
            // Only a position of the byte array or none: a larger number would send the byte past
            // the gateway's array and past the duplicate check's table.
            const std::optional<int32_t> v = platform::toInt(t);
            if (!v || ((*v < 0 || *v >= kNumByteMax) && *v != kNoPosition)) {
                if (m.error.isEmpty())
                    m.error = QStringLiteral("Error! The file %1: byte %2 of frame %3 holds \"%4\", not a byte "
                                             "position from 0 to %5 or 65535; the maps from there on were not "
                                             "loaded.")
                                  .arg(infoFile)
                                  .arg(k)
                                  .arg(i + 1)
                                  .arg(t)
                                  .arg(kNumByteMax - 1);
                return m;
            }
            f.PosB[size_t(k - 1)] = uint16_t(*v);
        }
    }
    return m;
}

QString mapCountWarning(Direction d, const ByteMap& map)
{
    if (!map.mapExists || map.mapRows == int(map.Data_arr.size()))
        return {};
    const bool rec = d == Direction::Receive;
    return QStringLiteral("Warning! %1 holds the byte maps of %2 frames, but %3 lists %4. Each map belongs to the "
                          "frame at its position: check that every frame shows its own map before pressing OK.")
        .arg(rec ? QStringLiteral("CAN_Rec_Info.xml") : QStringLiteral("CAN_Send_Info.xml"))
        .arg(map.mapRows)
        .arg(rec ? QStringLiteral("CAN_Rec_Frames.xml") : QStringLiteral("CAN_Send_Frames.xml"))
        .arg(map.Data_arr.size());
}

std::optional<uint16_t> bytePosition(const QString& typed, int numByteMax)
{
    const QString t = platform::trim(typed);
    if (t.isEmpty() || platform::upperAscii(t) == QLatin1String("NONE"))
        return kNoPosition;
    const int v = platform::toIntDef(t, -1);
    if (v < 0 || v >= numByteMax)
        return std::nullopt;
    return uint16_t(v);
}

QString bytePositionError(Direction d, int k, int numByteMax)
{
    const bool rec = d == Direction::Receive;
    return text((rec ? 592 : 622) + k - 1) + QString::number(numByteMax - 1) + text(rec ? 591 : 621);
}

std::optional<QString> Controlla_dati(const ByteMap& map, int numByteMax)
{
    struct Taken {
        int frame = -1;
        int byte = 0;
    };
    std::vector<Taken> taken(size_t(std::max(numByteMax, 0)));
    for (size_t f = 0; f < map.Data_arr.size(); ++f) {
        for (int k = 1; k <= 8; ++k) {
            const uint16_t p = map.Data_arr[f].PosB[size_t(k - 1)];
            if (p == kNoPosition || p >= taken.size())
                continue;
            Taken& first = taken[p];
            if (first.frame >= 0)
                return text(600) + QString::number(p) + text(601) + map.cobIds.value(int(f)) + text(602) +
                       QString::number(k) + text(603) + map.cobIds.value(first.frame) + text(604) +
                       QString::number(first.byte);
            first = {int(f), k};
        }
    }
    return std::nullopt;
}

namespace {

TableModel mapModel(const std::vector<TRecInfo>& data)
{
    TableModel m;
    std::vector<RowCells> rows;
    rows.reserve(data.size());
    for (const TRecInfo& f : data) {
        RowCells cells;
        for (uint16_t p : f.PosB)
            cells << QString::number(p);
        rows.push_back(cells);
    }
    m.sections.push_back(std::move(rows));
    return m;
}

} // namespace

QByteArray byteMapXml(Direction d, const std::vector<TRecInfo>& data, int converterType)
{
    return tableXml(canInfoTable(d), mapModel(data), converterType);
}

bool saveByteMap(Direction d, const std::vector<TRecInfo>& data, const QString& path, int converterType,
                 QString* error)
{
    return saveTable(canInfoTable(d), mapModel(data), path, converterType, error);
}

bool moveByteMapRows(Direction d, const QString& infoPath, const std::vector<int>& origins, int converterType,
                     QString* error)
{
    const TableDescription& desc = canInfoTable(d);
    const LoadResult old = loadTable(desc, infoPath, kFrameCapacity);
    if (!old.exists || old.damaged())
        return true;
    TableModel moved;
    moved.sections.emplace_back();
    for (int from : origins) {
        RowCells cells;
        if (from >= 0 && from < old.rowsRead[0]) {
            cells = old.model.sections[0][size_t(from)];
            // A byte the file left out (one beyond the frame's Dimension) is written as none, so
            // that no row is left without a first byte.
            for (QString& c : cells)
                if (c.isEmpty())
                    c = QString::number(kNoPosition);
        } else {
            for (int k = 0; k < 8; ++k)
                cells << QString::number(kNoPosition);
        }
        moved.sections[0].push_back(cells);
    }
    return saveTable(desc, moved, infoPath, converterType, error);
}

} // namespace tables::can
