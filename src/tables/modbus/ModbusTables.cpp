#include "tables/modbus/ModbusTables.h"

#include "workspace/Validators.h"
#include "workspace/Workspace.h"

namespace tables::modbus {

namespace {

constexpr uint32_t kBlue = 0xE0FAFE;
constexpr uint32_t kGreen = 0xA8FFA8;
constexpr uint32_t kPink = 0xFCD6F4;
constexpr uint32_t kYellow = 0xFFFFA8;
constexpr uint32_t kOrange = 0xFFD8B0;
constexpr uint32_t kLilac = 0xD5D5FF;
constexpr uint32_t kWhite = 0xFFFFFF;

const QStringList kReadTypes{"Coil Status", "Input Status", "Holding Register", "Input Register"};
const QStringList kWriteTypes{"Coil Status", "Holding Register"};
const QStringList kBits{"0", "1", "2", "3", "4", "5", "6", "7"};
const QStringList kEndian{"Little", "Big"};
const QStringList kRtuOperations{"None",   ": 10",  ": 100",  ": 1000", ": 10000", "x 10",  "x 100", "x 1000",
                                 "x 10000", ": 256", "x 256", ": 0.08", "x 0.08",  ": 0.008", "x 0.008"};
const QStringList kTcpOperations{"None", ": 10", ": 100", ": 1000", ": 10000", "x 10", "x 100", "x 1000", "x 10000"};

// Column makers, in the order of the tables of the editors.
ColumnDescription text(int header, const char* attribute, int width, uint32_t colour)
{
    return {.headerText = header, .attribute = QLatin1String(attribute), .width = width, .colour = colour};
}
ColumnDescription optionalText(int header, const char* attribute, const char* absent, int width, uint32_t colour)
{
    ColumnDescription c = text(header, attribute, width, colour);
    c.absent = QLatin1String(absent);
    return c;
}
ColumnDescription list(int header, const char* attribute, const QStringList& items, int width, uint32_t colour)
{
    ColumnDescription c = text(header, attribute, width, colour);
    c.editor = Editor::ComboList;
    c.items = items;
    return c;
}
ColumnDescription optionalList(int header, const char* attribute, const QStringList& items, const char* absent, int width,
                        uint32_t colour)
{
    ColumnDescription c = list(header, attribute, items, width, colour);
    c.absent = QLatin1String(absent);
    return c;
}
ColumnDescription positions(int header, ListFill fill, int width)
{
    ColumnDescription c = text(header, "Position", width, kPink);
    c.editor = Editor::ComboList;
    c.fill = fill;
    return c;
}
ColumnDescription check(int header, const char* attribute, bool required, int width, uint32_t colour)
{
    ColumnDescription c = text(header, attribute, width, colour);
    c.editor = Editor::DataCheckBox;
    if (!required)
        c.absent = QStringLiteral("N");
    return c;
}

// The parts every Modbus master editor shares.
TableDescription common()
{
    TableDescription s;
    s.root = QStringLiteral("BACnet_to_Modbus");
    s.capacity = 2000;
    s.limits = {1439, 1439};
    return s;
}

SectionDescription section(const char* element, int pageText, const char* pageName, const char* gridName, int numberHeader)
{
    return {.element = QLatin1String(element),
            .pageText = pageText,
            .pageName = QLatin1String(pageName),
            .gridName = QLatin1String(gridName),
            .numberHeaderText = numberHeader,
            .keyColumn = 1};
}

TableDescription makeRtu()
{
    TableDescription s = common();
    s.window = {.className = QStringLiteral("FSetAccess"), .captionText = 383, .descText = 384, .clientWidth = 1165};
    s.buttons = {.ok = 385, .cancel = 386, .delRow = 387, .insRow = 388};
    s.deleteQuestionText = 441;
    s.path = [] { return workspace::ws().Path_ModbusM_SetAccess; };
    s.otherComment = QStringLiteral("SW_VERSION = 1.702");

    SectionDescription read = section("Modbus_Read", 389, "TS_Modbus_Read", "ACG_Modbus_Read", 391);
    read.columns = {text(392, "Slave_ID", 64, kBlue),
                    list(393, "Type", kReadTypes, 115, kBlue),
                    text(394, "Address", 64, kBlue),
                    text(395, "NPoint", 64, kBlue),
                    text(396, "PollTime", 64, kGreen),
                    text(397, "MaxError", 64, kGreen),
                    positions(398, ListFill::BytesIn, 61),
                    list(399, "Bit", kBits, 64, kPink),
                    check(400, "Float_Conv", false, 75, kYellow),
                    optionalList(401, "Endian", kEndian, "Little", 64, kYellow),
                    optionalList(402, "Operation", kRtuOperations, "None", 75, kYellow),
                    check(1924, "Signed", false, 52, kYellow),
                    check(1296, "Swap_W", false, 58, kOrange),
                    text(403, "Mnemonic", 209, kWindowColour)};
    SectionDescription write = section("Modbus_Write", 390, "TS_Modbus_Write", "ACG_Modbus_Write", 404);
    write.columns = {text(405, "Slave_ID", 64, kBlue),
                     list(406, "Type", kWriteTypes, 115, kBlue),
                     text(407, "Address", 64, kBlue),
                     text(408, "NPoint", 64, kBlue),
                     text(409, "PollTime", 64, kGreen),
                     check(410, "OnChange", true, 67, kGreen),
                     text(411, "MaxError", 64, kGreen),
                     positions(412, ListFill::BytesOut, 64),
                     list(413, "Bit", kBits, 64, kPink),
                     check(414, "Float_Conv", false, 75, kYellow),
                     optionalList(415, "Endian", kEndian, "Little", 64, kYellow),
                     optionalList(416, "Operation", kRtuOperations, "None", 75, kYellow),
                     check(1925, "Signed", false, 52, kYellow),
                     check(1297, "Swap_W", false, 58, kOrange),
                     check(2314, "Force_F16", false, 75, kLilac),
                     text(417, "Mnemonic", 64, kWindowColour)};
    s.sections = {read, write};
    return s;
}

TableDescription makeTcp()
{
    TableDescription s = common();
    s.window = {.className = QStringLiteral("FSetAccessTCP"), .captionText = 477, .descText = 478, .clientWidth = 1160};
    s.buttons = {.ok = 479, .cancel = 480, .delRow = 481, .insRow = 482};
    s.deleteQuestionText = 533;
    s.path = [] { return workspace::ws().Path_ModbusTCPM_SetAccess; };
    s.otherComment = QStringLiteral("SW_VERSION = 1.405");

    SectionDescription read = section("Modbus_Read", 483, "TS_Modbus_Read", "ACG_Modbus_Read", 485);
    read.columns = {text(486, "IP_Address", 105, kBlue),
                    optionalText(487, "Port", "502", 45, kBlue),
                    text(488, "Slave_ID", 60, kBlue),
                    list(489, "Type", kReadTypes, 100, kBlue),
                    text(490, "Address", 55, kBlue),
                    text(491, "NPoint", 45, kBlue),
                    text(492, "PollTime", 60, kGreen),
                    text(493, "MaxError", 64, kGreen),
                    positions(494, ListFill::BytesIn, 60),
                    list(495, "Bit", kBits, 60, kPink),
                    check(1018, "Float_Conv", false, 75, kYellow),
                    optionalList(1019, "Endian", kEndian, "Little", 64, kYellow),
                    optionalList(1020, "Operation", kTcpOperations, "None", 75, kYellow),
                    check(1922, "Signed", false, 52, kYellow),
                    check(1298, "Swap_W", false, 58, kOrange),
                    text(496, "Mnemonic", 109, kWhite)};
    SectionDescription write = section("Modbus_Write", 484, "TS_Modbus_Write", "ACG_Modbus_Write", 497);
    write.columns = {text(498, "IP_Address", 101, kBlue),
                     optionalText(499, "Port", "502", 45, kBlue),
                     text(500, "Slave_ID", 55, kBlue),
                     list(501, "Type", kWriteTypes, 100, kBlue),
                     text(502, "Address", 55, kBlue),
                     text(503, "NPoint", 45, kBlue),
                     text(504, "PollTime", 60, kGreen),
                     check(505, "OnChange", true, 66, kGreen),
                     text(506, "MaxError", 62, kGreen),
                     positions(507, ListFill::BytesOut, 55),
                     list(508, "Bit", kBits, 55, kPink),
                     check(1021, "Float_Conv", false, 75, kYellow),
                     optionalList(1022, "Endian", kEndian, "Little", 64, kYellow),
                     optionalList(1023, "Operation", kTcpOperations, "None", 75, kYellow),
                     check(1923, "Signed", false, 52, kYellow),
                     check(1299, "Swap_W", false, 58, kOrange),
                     text(509, "Mnemonic", 64, kWhite)};
    s.sections = {read, write};
    return s;
}

// Where a request's columns stand, and the texts and bounds of its checks.
struct Layout {
    int slave, type, address, npoint, poll, maxError, position, bit, floatConv, endian, operation;
};
struct Rules {
    int prefix;      // of every message but the float ones
    int floatPrefix; // of the Endian and Operation messages
    int slave, type, address, npoint, poll, maxError, position, bit, lastByte, endian, operation;
    int slaveMin, slaveMax, pollMin, npointRegisters, npointBits;
    bool readGrid;   // "INPUT STATUS" is a bit type too
};

std::optional<Failure> checkRequest(const RowView& r, const Layout& c, const Rules& t, int limit)
{
    auto fail = [&](int message, const QString& bound = {}) { return std::optional<Failure>(Failure{t.prefix, message, bound}); };
    if (const int v = r.number(c.slave); v < t.slaveMin || v > t.slaveMax)
        return fail(t.slave);
    if (r.cell(c.type).isEmpty())
        return fail(t.type);
    if (const int v = r.number(c.address); v < 0 || v > 65535)
        return fail(t.address);
    const QString type = r.upper(c.type);
    const bool bits = type == QLatin1String("COIL STATUS") || (t.readGrid && type == QLatin1String("INPUT STATUS"));
    const int npointMax = bits ? t.npointBits : t.npointRegisters;
    const int npoint = r.number(c.npoint);
    if (npoint < 1 || npoint > npointMax)
        return fail(t.npoint, QString::number(npointMax));
    if (const int v = r.number(c.poll); v < t.pollMin || v > 100000000)
        return fail(t.poll);
    if (const int v = r.number(c.maxError); v < 0 || v > 100000000)
        return fail(t.maxError);
    const int position = r.number(c.position);
    if (position < 0 || position > limit - 1)
        return fail(t.position, QString::number(limit - 1));
    if (bits && r.cell(c.bit).isEmpty())
        return fail(t.bit);
    // The numbers are bounded above, so the sums stay far inside an int.
    const int last = bits ? position + (npoint + r.number(c.bit, 0) - 1) / 8 : position + 2 * npoint - 1;
    if (last >= limit)
        return fail(t.lastByte);
    if (r.upper(c.floatConv) == QLatin1String("Y")) {
        if (r.trimmed(c.endian).isEmpty())
            return Failure{t.floatPrefix, t.endian};
        if (r.trimmed(c.operation).isEmpty())
            return Failure{t.floatPrefix, t.operation};
    }
    return std::nullopt;
}

constexpr Layout kRtuRead{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
constexpr Layout kRtuWrite{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12};
constexpr Layout kTcpRead{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
constexpr Layout kTcpWrite{3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14};

constexpr Rules kRtuReadRules{418, 418, 419, 420, 421, 422, 423, 424, 425, 426, 427, 428, 429, 1, 247, 1, 125, 2000, true};
constexpr Rules kRtuWriteRules{418, 418, 430, 431, 432, 433, 434, 435, 436, 437, 438, 439, 440, 1, 247, 0, 123, 1968, false};
constexpr Rules kTcpReadRules{510, 418, 513, 514, 515, 516, 517, 518, 519, 520, 521, 1024, 1025, 0, 255, 1, 125, 2000, true};
constexpr Rules kTcpWriteRules{510, 418, 524, 525, 526, 527, 528, 529, 530, 531, 532, 1026, 1027, 0, 255, 0, 123, 1968, false};

} // namespace

const TableDescription& setAccessTable()
{
    static const TableDescription desc = makeRtu();
    return desc;
}

const TableDescription& setAccessTcpTable()
{
    static const TableDescription desc = makeTcp();
    return desc;
}

bool Check_IP_Address(const QString& text)
{
    uint8_t b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    return workspace::IP_Text_To_Bytes(text, b1, b2, b3, b4);
}

std::optional<Failure> checkSetAccessRow(const RowView& row, const ByteLimits& limits)
{
    if (row.section() == Read)
        return checkRequest(row, kRtuRead, kRtuReadRules, limits.in);
    return checkRequest(row, kRtuWrite, kRtuWriteRules, limits.out);
}

std::optional<Failure> checkSetAccessTcpRow(const RowView& row, const ByteLimits& limits)
{
    const bool read = row.section() == Read;
    if (Check_IP_Address(row.cell(1)))
        return Failure{510, read ? 511 : 522};
    if (const int port = row.number(2); port < 0 || port > 65535)
        return Failure{510, read ? 512 : 523};
    if (read)
        return checkRequest(row, kTcpRead, kTcpReadRules, limits.in);
    return checkRequest(row, kTcpWrite, kTcpWriteRules, limits.out);
}

} // namespace tables::modbus
