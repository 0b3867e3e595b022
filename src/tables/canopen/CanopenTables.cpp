#include "tables/canopen/CanopenTables.h"

#include "tables/frame/Columns.h"
#include "workspace/Workspace.h"

namespace tables::canopen {

namespace col = tables::columns;
using col::kBlue;
using col::kPink;
using col::kWhite;
constexpr uint32_t kGreen = col::kLightGreen;

namespace {

const char* const kAddresses[] = {"Address_B1", "Address_B2", "Address_B3", "Address_B4",
                                  "Address_B5", "Address_B6", "Address_B7", "Address_B8"};

TableDescription common(const char* className, int caption, int width, int capacity)
{
    TableDescription t;
    t.window = {.className = QLatin1String(className), .captionText = caption, .descText = caption + 1,
                .clientWidth = width};
    t.buttons = {.ok = caption + 2, .cancel = caption + 3, .delRow = caption + 4, .insRow = caption + 5};
    t.root = QStringLiteral("EtherNetIP_to_SDO_CANopen"); // and no version comment
    t.capacity = capacity;
    t.rowHeight = 21;
    t.limits = kByteLimits;
    return t;
}

SectionDescription page(const char* element, int pageText, const char* pageName, const char* grid, int numberHeader)
{
    return {.element = QLatin1String(element),
            .pageText = pageText,
            .pageName = QLatin1String(pageName),
            .gridName = QLatin1String(grid),
            .numberHeaderText = numberHeader,
            .keyColumn = 1};
}

// `n` address columns from header text `header` on.
void addresses(SectionDescription& s, int header, int n, int width)
{
    for (int k = 0; k < n; ++k)
        s.columns.push_back(col::text(header + k, kAddresses[k], width, kPink));
}

TableDescription makeServer()
{
    TableDescription t = common("FSet_SDO_Server_Access", 740, 749, 500);
    t.deleteQuestionText = 781;
    t.path = [] { return workspace::ws().Path_SDO_Server_CANopen; };
    SectionDescription read = page("SDO_Read", 746, "TS_SDO_Read", "sga", 748);
    SectionDescription write = page("SDO_Write", 747, "TS_SDO_Write", "sgb", 757);
    for (auto [s, h] : {std::pair{&read, 749}, std::pair{&write, 758}}) {
        s->columns = {col::text(h, "Index", 65, kBlue), col::text(h + 1, "SubIndex", 61, kBlue),
                      col::text(h + 2, "NByte", 55, kBlue)};
        addresses(*s, h + 3, 4, 80);
        s->columns.push_back(col::text(h + 7, "Mnemonic", 170, kWhite));
    }
    t.sections = {read, write};
    return t;
}

TableDescription makeClient()
{
    TableDescription t = common("FSet_SDO_Client_Access", 689, 798, 256);
    t.deleteQuestionText = 739;
    t.path = [] { return workspace::ws().Path_SDO_Client_CANopen; };
    SectionDescription read = page("SDO_Read", 695, "TS_SDO_Read", "sga", 697);
    read.columns = {col::text(698, "Device_ID", 60, kBlue), col::text(699, "Index", 55, kBlue),
                    col::text(700, "SubIndex", 60, kBlue), col::text(701, "NByte", 45, kBlue),
                    col::text(702, "Poll_Time", 60, kGreen)};
    addresses(read, 703, 4, 70);
    read.columns.push_back(col::text(707, "Mnemonic", 163, kWhite));
    SectionDescription write = page("SDO_Write", 696, "TS_SDO_Write", "sgb", 708);
    write.columns = {col::text(709, "Device_ID", 60, kBlue), col::text(710, "Index", 55, kBlue),
                     col::text(711, "SubIndex", 60, kBlue),  col::text(712, "NByte", 45, kBlue),
                     col::text(713, "Poll_Time", 60, kGreen), col::check(714, "On_Change", 68, kGreen)};
    addresses(write, 715, 4, 70);
    write.columns.push_back(col::text(719, "Mnemonic", 95, kWhite));
    t.sections = {read, write};
    return t;
}

TableDescription makePdo()
{
    TableDescription t = common("FSet_PDO_Access", 630, 798, 30);
    t.deleteQuestionText = 688;
    t.path = [] { return workspace::ws().Path_PDO_CANopen; };
    SectionDescription rec = page("Receive_PDO", 636, "TS_Receive_PDO", "sga", 638);
    rec.columns = {col::text(639, "COB-ID", 65, kBlue), col::text(640, "Dimension", 65, kBlue)};
    addresses(rec, 641, 8, 45);
    rec.columns.push_back(col::text(649, "TimeOut", 65, kGreen));
    rec.columns.push_back(col::text(650, "Mnemonic", 173, kWhite));
    SectionDescription send = page("Transmit_PDO", 637, "TS_Transmit_PDO", "sgb", 651);
    send.columns = {col::text(652, "COB-ID", 65, kBlue), col::text(653, "Dimension", 65, kBlue)};
    addresses(send, 654, 8, 45);
    send.columns.push_back(col::text(662, "Send_Time", 65, kGreen));
    send.columns.push_back(col::check(663, "On_Change", 68, kGreen));
    send.columns.push_back(col::text(664, "Mnemonic", 105, kWhite));
    t.sections = {rec, send};
    return t;
}

bool inRange(int v, int low, int high) { return v >= low && v <= high; }

int pageLimit(const RowView& r, const ByteLimits& limits) { return r.section() == ReadPage ? limits.in : limits.out; }

// Add Byte1 .. Add Byte<count> from column `first` on; the message of byte k is `text` + k - 1.
std::optional<Failure> checkAddresses(const RowView& r, int first, int count, int prefix, int text, int limit)
{
    for (int k = 0; k < count; ++k)
        if (!inRange(r.number(first + k), 0, limit - 1))
            return Failure{prefix, text + k, QString::number(limit - 1)};
    return std::nullopt;
}

// The bytes an SDO entry of `nByte` bytes occupies: 1, 2 or 4.
int sdoBytes(int nByte) { return nByte == 4 ? 4 : nByte == 2 ? 2 : 1; }

} // namespace

const TableDescription& sdoServerTable()
{
    static const TableDescription t = makeServer();
    return t;
}

const TableDescription& sdoClientTable()
{
    static const TableDescription t = makeClient();
    return t;
}

const TableDescription& pdoTable()
{
    static const TableDescription t = makePdo();
    return t;
}

std::optional<Failure> checkSdoServerRow(const RowView& r, const ByteLimits& limits)
{
    constexpr int prefix = 766;
    const int text = r.section() == ReadPage ? 767 : 774; // Index, SubIndex, N Byte, Add Byte1 .. 4
    if (!inRange(r.number(1), 0x2000, 0x5FFF))
        return Failure{prefix, text};
    if (!inRange(r.number(2), 0, 255))
        return Failure{prefix, text + 1};
    const int nByte = r.number(3);
    if (nByte != 1 && nByte != 2 && nByte != 4)
        return Failure{prefix, text + 2};
    return checkAddresses(r, 4, sdoBytes(nByte), prefix, text + 3, pageLimit(r, limits));
}

std::optional<Failure> checkSdoClientRow(const RowView& r, const ByteLimits& limits)
{
    constexpr int prefix = 720;
    const bool read = r.section() == ReadPage;
    const int text = read ? 721 : 730; // ID, Index, SubIndex, N Byte, Poll Time, Add Byte1 .. 4
    if (!inRange(r.number(1), 1, 127))
        return Failure{prefix, text};
    if (!inRange(r.number(2), 0x1000, 0xFFFF))
        return Failure{prefix, text + 1};
    if (!inRange(r.number(3), 0, 255))
        return Failure{prefix, text + 2};
    const int nByte = r.number(4);
    if (nByte != 1 && nByte != 2 && nByte != 4)
        return Failure{prefix, text + 3};
    if (!inRange(r.number(5), 1, 100000000))
        return Failure{prefix, text + 4};
    // The write page has On Change before the addresses.
    return checkAddresses(r, read ? 6 : 7, sdoBytes(nByte), prefix, text + 5, pageLimit(r, limits));
}

std::optional<Failure> checkPdoRow(const RowView& r, const ByteLimits& limits)
{
    constexpr int prefix = 665;
    const bool receive = r.section() == ReadPage;
    const int text = receive ? 666 : 677; // COB-ID, Dimension, Add B1 .. B8, last column
    if (!inRange(r.number(1), 0, 0x7FF))
        return Failure{prefix, text};
    const int dimension = r.number(2);
    if (!inRange(dimension, 1, 8))
        return Failure{prefix, text + 1};
    if (std::optional<Failure> f = checkAddresses(r, 3, dimension, prefix, text + 2, pageLimit(r, limits)))
        return f;
    if (receive ? !inRange(r.number(11), 0, 65535) : !inRange(r.number(11), 1, 100000000))
        return Failure{prefix, text + 10};
    return std::nullopt;
}

} // namespace tables::canopen
