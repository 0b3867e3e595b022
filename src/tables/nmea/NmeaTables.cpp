#include "tables/nmea/NmeaTables.h"

#include "tables/frame/Columns.h"
#include "tables/nmea/NmeaFiles.h"
#include "workspace/Workspace.h"

namespace tables::nmea {

namespace col = tables::columns;
using col::kBlue;
using col::kGreen;
using col::kWhite;
using col::kYellow;

namespace {

const QString kEmpty;
const QString kNo = QStringLiteral("N");

TableDescription makeTable(Direction d)
{
    const bool rec = d == Direction::Receive;
    std::function<QString()> path;
    if (rec)
        path = [] { return workspace::ws().Path_NMEA_Rec_Frames; };
    else
        path = [] { return workspace::ws().Path_NMEA_Send_Frames; };
    // The transmit file has the receive file's root too.
    TableDescription t = j1939::pgnTable(rec ? "FReceiveNMEA" : "FTransmitNMEA", rec ? 880 : 904, 810, rec ? 903 : 929,
                                         std::move(path), "Receive_NMEA_2000", rec ? 886 : 910, rec ? 1 : 2);
    SectionDescription& s = t.sections[0];
    if (rec)
        s.columns = {col::text(887, "PGN", 80, kBlue, kEmpty),         col::text(888, "SA", 95, kBlue, kEmpty),
                     col::check(889, "TP", 113, kYellow, kNo),         col::check(890, "FP", 73, kYellow, kNo),
                     col::text(891, "TP_Start", 65, kYellow, kEmpty),  col::text(892, "TP_NByte", 50, kYellow, kEmpty),
                     col::check(893, "Delete", 74, kGreen, kNo),       col::text(894, "Mnemonic", 195, kWhite, kEmpty)};
    else
        s.columns = {col::text(911, "Priority", 50, kBlue, kEmpty),   col::text(912, "PGN", 85, kBlue, kEmpty),
                     col::text(913, "SA", 95, kBlue, kEmpty),          col::check(914, "TP", 115, kYellow, kNo),
                     col::check(915, "FP", 75, kYellow, kNo),          col::text(916, "TP_NByte", 65, kYellow, kEmpty),
                     col::list(917, "T_Type", {QStringLiteral("On Data Change"), QStringLiteral("On Timer")}, 110,
                               kGreen, kEmpty),
                     col::text(918, "SendTimer", 70, kGreen, kEmpty), col::text(919, "Mnemonic", 80, kWhite, kEmpty)};
    return t;
}

} // namespace

const TableDescription& nmeaTable(Direction d)
{
    static const TableDescription rec = makeTable(Direction::Receive);
    static const TableDescription send = makeTable(Direction::Transmit);
    return d == Direction::Receive ? rec : send;
}

const j1939::ReceiveRules& nmeaReceiveRules()
{
    static const j1939::ReceiveRules r{.prefix = 895,
                                       .dpCol = 0, .pgnCol = 1, .saCol = 2, .tpCol = 3, .fpCol = 4, .startCol = 5,
                                       .countCol = 6,
                                       .pgnMax = 0x1FFFF,
                                       .dpText = 0, .pgnText = 896, .saText = 897, .tpStartText = 898,
                                       .tpSumText = 899, .fpStartText = 900, .fpSumText = 901, .totalText = 902};
    return r;
}

const j1939::TransmitRules& nmeaTransmitRules()
{
    static const j1939::TransmitRules r{.prefix = 920,
                                        .priorityCol = 1, .dpCol = 0, .pgnCol = 2, .saCol = 3, .tpCol = 4, .fpCol = 5,
                                        .countCol = 6, .typeCol = 7, .timerCol = 8,
                                        .priorityText = 921, .dpText = 0, .pgnText = 922, .saText = 923,
                                        .tpCountText = 924, .fpCountText = 925, .totalText = 926, .typeText = 927,
                                        .timerText = 928};
    return r;
}

std::optional<Failure> checkNmeaRow(const RowView& row, Direction d, int& total, int numBytes)
{
    return d == Direction::Receive ? j1939::checkReceiveRow(row, nmeaReceiveRules(), total, numBytes)
                                   : j1939::checkTransmitRow(row, nmeaTransmitRules(), total, numBytes);
}

LoadResult loadNmea(Direction d, const QString& path, int capacity)
{
    if (d == Direction::Receive) {
        const FrameTable<ReceiveRow> t = readReceiveFrames(path);
        return j1939::readerLoad(nmeaTable(d), path, capacity, rowTexts(t), t.error);
    }
    const FrameTable<TransmitRow> t = readTransmitFrames(path);
    return j1939::readerLoad(nmeaTable(d), path, capacity, rowTexts(t), t.error);
}

} // namespace tables::nmea
