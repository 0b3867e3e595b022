#include "tables/devicenet/DeviceNetTables.h"

#include "platform/fs/Files.h"
#include "tables/frame/Columns.h"
#include "workspace/Workspace.h"

#include <QFileInfo>

namespace tables::devicenet {

namespace col = tables::columns;
using workspace::text;

namespace {

TableDescription makeNet()
{
    TableDescription t;
    t.window = {.className = QStringLiteral("FDNet"), .captionText = 815, .descText = 816, .clientWidth = 609};
    t.buttons = {.ok = 817, .cancel = 818, .delRow = 819, .insRow = 820};
    t.deleteQuestionText = 830;
    t.path = [] { return workspace::ws().Path_DNETM_Net; };
    t.root = QStringLiteral("DNET_Net");
    t.otherComment = QStringLiteral("SW_VERSION = 1.000");
    t.capacity = kMaxSlaves;
    SectionDescription s{.element = QString(), .gridName = QStringLiteral("XGR"), .numberHeaderText = 821,
                         .keyColumn = 1, .keyTrimmed = false, .numberWidth = 45};
    s.columns = {col::text(822, "ID", 85, 0xCEFFCE), col::text(823, "NB_IN", 85, 0xFFFFD5),
                 col::text(824, "NB_OUT", 85, 0xFFFFD5), col::text(825, "Mnemonic", 255, kWindowColour)};
    t.sections = {s};
    return t;
}

bool inRange(int v, int low, int high) { return v >= low && v <= high; }

} // namespace

const TableDescription& dnetTable()
{
    static const TableDescription t = makeNet();
    return t;
}

std::optional<Failure> checkDNetRow(const RowView& r)
{
    if (!inRange(r.number(1), 0, kMaxNodeId))
        return Failure{826, 827};
    if (!inRange(r.number(2), 0, kMaxByteCount))
        return Failure{826, 828};
    if (!inRange(r.number(3), 0, kMaxByteCount))
        return Failure{826, 829};
    return std::nullopt;
}

LoadResult loadDNet(const QString& path, NetTable* read)
{
    NetTable net = readNetTable(path);
    std::vector<RowCells> rows;
    rows.reserve(net.rows.size());
    for (const NetRow& r : net.rows)
        rows.push_back(RowCells{r.ID, r.NB_IN, r.NB_OUT, r.Mnemonic});
    LoadResult result = loadedRows(dnetTable(), {rows}, QFileInfo(path).fileName(), kMaxSlaves,
                                   platform::fileExists(path), net.error);
    if (read)
        *read = std::move(net);
    return result;
}

QString clashMessage(const OffsetClash& c)
{
    if (c.outOfRange)
        return QStringLiteral("Error in ByteOUT! The position %1 of ID %2 Byte %3 lies outside the BACnet array (0 to %4).")
            .arg(c.position)
            .arg(c.secondId)
            .arg(c.secondByte)
            .arg(kByteArraySize - 1);
    return text(810) + QStringLiteral("\n\r( ") + text(811) + QString::number(c.firstId) + text(812) +
           QString::number(c.firstByte) + text(813) + QString::number(c.secondId) + text(814) +
           QString::number(c.secondByte) + QStringLiteral(")");
}

QString nodeCountWarning(int nodes, int slaves)
{
    if (nodes == slaves)
        return {};
    return QStringLiteral("Warning! DNETM_DefOff.xml holds the offsets of %1 slaves, but DNETM_Net.xml lists %2. "
                          "The offsets belong to the slave at their position: check that every slave shows its own "
                          "offsets before pressing OK.")
        .arg(nodes)
        .arg(slaves);
}

bool moveOffsetNodes(const NetTable& before, const QString& netFile, const QString& defOffPath,
                     const std::vector<int>& origins, QString* error)
{
    if (!platform::fileExists(defOffPath) || !before.error.isEmpty())
        return true;
    SlaveList old = slavesFromNet(before, netFile);
    if (!old.error.isEmpty() || !Load_Offset_Slave_DN(old, defOffPath).isEmpty())
        return true;
    std::vector<Slave> moved;
    moved.reserve(origins.size());
    for (int from : origins)
        moved.push_back(from >= 0 && size_t(from) < old.slaves.size() ? old.slaves[size_t(from)] : Slave{});
    return Save_Offset_Slave_DN(moved, defOffPath, error);
}

} // namespace tables::devicenet
