#include "tables/j1939/J1939Tables.h"

#include "platform/fs/Files.h"
#include "tables/frame/Columns.h"
#include "tables/j1939/J1939Files.h"
#include "workspace/Workspace.h"

#include <QFileInfo>

namespace tables::j1939 {

namespace col = tables::columns;
using col::kBlue;
using col::kGreen;
using col::kWhite;
using col::kYellow;

namespace {

const QStringList kPages{QStringLiteral("0"), QStringLiteral("1")};
const QStringList kTypes{QStringLiteral("On Data Change"), QStringLiteral("On Timer")};
const QString kEmpty;
const QString kNo = QStringLiteral("N");

TableDescription makeTable(Direction d)
{
    const bool rec = d == Direction::Receive;
    std::function<QString()> path;
    if (rec)
        path = [] { return workspace::ws().Path_J1939_Rec_Frames; };
    else
        path = [] { return workspace::ws().Path_J1939_Send_Frames; };
    // The transmit file has the receive file's root too.
    TableDescription t = pgnTable(rec ? "FReceiveJ1939" : "FTransmitJ1939", rec ? 831 : 854, 800, rec ? 853 : 879,
                                  std::move(path), "Receive_J1939", rec ? 837 : 860, rec ? 2 : 3);
    SectionDescription& s = t.sections[0];
    if (rec)
        s.columns = {col::list(838, "DP", kPages, 65, kBlue, kEmpty),   col::text(839, "PGN", 85, kBlue, kEmpty),
                     col::text(840, "SA", 95, kBlue, kEmpty),           col::check(841, "TP", 113, kYellow, kNo),
                     col::text(842, "TP_Start", 65, kYellow, kEmpty),   col::text(843, "TP_NByte", 55, kYellow, kEmpty),
                     col::check(844, "Delete", 75, kGreen, kNo),        col::text(845, "Mnemonic", 180, kWhite, kEmpty)};
    else
        s.columns = {col::text(861, "Priority", 50, kBlue, kEmpty),     col::list(862, "DP", kPages, 65, kBlue, kEmpty),
                     col::text(863, "PGN", 85, kBlue, kEmpty),          col::text(864, "SA", 95, kBlue, kEmpty),
                     col::check(865, "TP", 115, kYellow, kNo),          col::text(866, "TP_NByte", 65, kYellow, kEmpty),
                     col::list(867, "T_Type", kTypes, 110, kGreen, kEmpty), col::text(868, "SendTimer", 70, kGreen, kEmpty),
                     col::text(869, "Mnemonic", 80, kWhite, kEmpty)};
    return t;
}

bool inRange(int64_t v, int64_t low, int64_t high) { return v >= low && v <= high; }

// A check box is ticked only when its text is exactly "Y".
bool ticked(const RowView& r, int col) { return col > 0 && r.cell(col) == QLatin1String("Y"); }

} // namespace

TableDescription pgnTable(const char* className, int caption, int clientWidth, int deleteText,
                          std::function<QString()> path, const char* root, int numberHeader, int keyColumn)
{
    TableDescription t;
    t.window = {.className = QLatin1String(className), .captionText = caption, .descText = caption + 1,
                .clientWidth = clientWidth};
    t.buttons = {.ok = caption + 2, .cancel = caption + 3, .delRow = caption + 4, .insRow = caption + 5};
    t.deleteQuestionText = deleteText;
    t.path = std::move(path);
    t.root = QLatin1String(root);
    t.otherComment = QStringLiteral("SW_VERSION = 1.000");
    t.capacity = kRows;
    t.limits = {kNumBytes, kNumBytes};
    t.sections = {SectionDescription{.element = QString(), .gridName = QStringLiteral("sga"),
                                     .numberHeaderText = numberHeader, .keyColumn = keyColumn, .keyTrimmed = false}};
    return t;
}

const TableDescription& j1939Table(Direction d)
{
    static const TableDescription rec = makeTable(Direction::Receive);
    static const TableDescription send = makeTable(Direction::Transmit);
    return d == Direction::Receive ? rec : send;
}

std::optional<Failure> checkReceiveRow(const RowView& r, const ReceiveRules& t, int& total, int numBytes)
{
    auto fail = [&](int text) { return std::optional<Failure>(Failure{t.prefix, text}); };
    if (t.dpCol > 0 && r.cell(t.dpCol).isEmpty())
        return fail(t.dpText);
    if (!inRange(r.number(t.pgnCol), 0, t.pgnMax))
        return fail(t.pgnText);
    if (!inRange(r.number(t.saCol), 0, 239))
        return fail(t.saText);
    int64_t count = 8;
    // The transport protocol wins over the fast packet when both are ticked.
    const bool tp = ticked(r, t.tpCol);
    const bool fp = !tp && ticked(r, t.fpCol);
    if (tp || fp) {
        const int64_t max = tp ? 1785 : 223;
        const int64_t start = r.number(t.startCol);
        if (!inRange(start, 0, max))
            return fail(tp ? t.tpStartText : t.fpStartText);
        count = r.number(t.countCol);
        if (count < 0 || start + count > max)
            return fail(tp ? t.tpSumText : t.fpSumText);
    }
    total += int(count);
    if (total > numBytes)
        return Failure{-1, t.totalText, QString::number(numBytes)};
    return std::nullopt;
}

std::optional<Failure> checkTransmitRow(const RowView& r, const TransmitRules& t, int& total, int numBytes)
{
    auto fail = [&](int text, const QString& bound = {}) { return std::optional<Failure>(Failure{t.prefix, text, bound}); };
    if (!inRange(r.number(t.priorityCol), 0, 7))
        return fail(t.priorityText);
    if (t.dpCol > 0 && r.cell(t.dpCol).isEmpty())
        return fail(t.dpText);
    if (!inRange(r.number(t.pgnCol), 0, 0x1FFFF))
        return fail(t.pgnText);
    if (!inRange(r.number(t.saCol), 0, 239))
        return fail(t.saText);
    int count = 8;
    if (ticked(r, t.tpCol)) {
        count = r.number(t.countCol);
        if (!inRange(count, 0, numBytes))
            return fail(t.tpCountText, QString::number(numBytes));
    } else if (ticked(r, t.fpCol)) {
        count = r.number(t.countCol);
        if (!inRange(count, 0, 223))
            return fail(t.fpCountText);
    }
    total += count;
    if (total > numBytes)
        return Failure{-1, t.totalText, QString::number(numBytes)};
    const QString type = r.upper(t.typeCol);
    if (type != QLatin1String("ON DATA CHANGE") && type != QLatin1String("ON TIMER"))
        return fail(t.typeText);
    if (type == QLatin1String("ON TIMER") && !inRange(r.number(t.timerCol), 1, 65535))
        return fail(t.timerText);
    return std::nullopt;
}

const ReceiveRules& j1939ReceiveRules()
{
    static const ReceiveRules r{.prefix = 846,
                                .dpCol = 1, .pgnCol = 2, .saCol = 3, .tpCol = 4, .fpCol = 0, .startCol = 5, .countCol = 6,
                                .pgnMax = 0xFFFF,
                                .dpText = 847, .pgnText = 848, .saText = 849, .tpStartText = 850, .tpSumText = 851,
                                .fpStartText = 0, .fpSumText = 0, .totalText = 852};
    return r;
}

const TransmitRules& j1939TransmitRules()
{
    static const TransmitRules r{.prefix = 870,
                                 .priorityCol = 1, .dpCol = 2, .pgnCol = 3, .saCol = 4, .tpCol = 5, .fpCol = 0,
                                 .countCol = 6, .typeCol = 7, .timerCol = 8,
                                 .priorityText = 871, .dpText = 872, .pgnText = 873, .saText = 874, .tpCountText = 875,
                                 .fpCountText = 0, .totalText = 876, .typeText = 877, .timerText = 878};
    return r;
}

std::optional<Failure> checkJ1939Row(const RowView& row, Direction d, int& total, int numBytes)
{
    return d == Direction::Receive ? checkReceiveRow(row, j1939ReceiveRules(), total, numBytes)
                                   : checkTransmitRow(row, j1939TransmitRules(), total, numBytes);
}

LoadResult readerLoad(const TableDescription& desc, const QString& path, int capacity,
                      const std::vector<QStringList>& texts, const QString& error)
{
    return loadedRows(desc, {texts}, QFileInfo(path).fileName(), capacity, platform::fileExists(path), error);
}

LoadResult loadJ1939(Direction d, const QString& path, int capacity)
{
    if (d == Direction::Receive) {
        const FrameTable<ReceiveRow> t = readReceiveFrames(path);
        return readerLoad(j1939Table(d), path, capacity, rowTexts(t), t.error);
    }
    const FrameTable<TransmitRow> t = readTransmitFrames(path);
    return readerLoad(j1939Table(d), path, capacity, rowTexts(t), t.error);
}

} // namespace tables::j1939
