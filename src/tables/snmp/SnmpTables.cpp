#include "tables/snmp/SnmpTables.h"

#include "platform/text/Text.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

namespace tables::snmp {

namespace {

const QString kY = QStringLiteral("Y");
const QString kN = QStringLiteral("N");

Failure fail(int prefix, int text)
{
    return Failure{prefix, text, {}};
}

bool inRange(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

QStringList numbers(int from, int to)
{
    QStringList l;
    for (int i = from; i <= to; ++i)
        l << QString::number(i);
    return l;
}

const QStringList kCommunities = {QStringLiteral("Kelpie"), QStringLiteral("Brindle")};

ColumnDescription checkBox(int header, const char* attribute, const QString& absent, int width, uint32_t colour,
                           int hint)
{
    return {.headerText = header, .attribute = QLatin1String(attribute), .editor = Editor::DataCheckBox,
            .absent = absent, .width = width, .colour = colour, .centred = true, .hintText = hint};
}

ColumnDescription text(int header, const char* attribute, int width, uint32_t colour, int hint, int maxLength = 0)
{
    return {.headerText = header, .attribute = QLatin1String(attribute), .absent = QString(), .width = width,
            .colour = colour, .maxLength = maxLength, .hintText = hint};
}

ColumnDescription list(int header, const char* attribute, const QStringList& items, const QString& absent, int width,
                       uint32_t colour, int hint, ListFill fill = ListFill::None)
{
    return {.headerText = header, .attribute = QLatin1String(attribute), .editor = Editor::ComboList, .items = items,
            .fill = fill, .absent = absent, .width = width, .colour = colour, .hintText = hint};
}

// The enable column: "Y" in a fresh row and in a file row without it.
ColumnDescription enable(int header, int hint)
{
    ColumnDescription c = checkBox(header, "Enable", kY, 50, 0xFFD8B0, hint);
    c.fresh = kY;
    return c;
}

} // namespace

// --- manager table -------------------------------------------------------------------------------

TableDescription managerTable()
{
    TableDescription s;
    s.window = {.className = QStringLiteral("FSNMPManagerAccess"), .captionText = 1095, .descText = 1096,
                .clientWidth = 1190};
    s.buttons = {.ok = 1097, .cancel = 1098, .delRow = 1099, .insRow = 1100, .copyRow = 1101, .pasteRow = 1102,
                 .okHint = 1143, .cancelHint = 1144, .delRowHint = 1145, .insRowHint = 1146, .copyRowHint = 1147,
                 .pasteRowHint = 1148};
    s.deleteQuestionText = 1142;
    s.path = [] { return workspace::ws().Path_SNMP_Manager; };
    s.root = QStringLiteral("SNMP_Agent_Access");
    s.otherComment = QStringLiteral("SW_VERSION = 1.201");
    SectionDescription g;
    g.gridName = QStringLiteral("ACG_SNMP");
    g.numberHeaderText = 1103;
    g.keyColumn = MgrIp;
    g.enableColumn = MgrEnable;
    constexpr uint32_t blue = 0xE0FAFE, yellow = 0xFFFFA8, green = 0xA8FFA8, pink = 0xFCD6F4, v3 = 0x91DEFF;
    ColumnDescription community = text(1107, "Community_String", 106, blue, 1121);
    community.editor = Editor::ComboEdit;
    community.items = kCommunities;
    g.columns = {
        enable(1104, 1118),
        text(1105, "IP_Address", 90, blue, 1119),
        list(1106, "Version", {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}, QString(), 60, blue,
             1120),
        community,
        text(1108, "OID", 100, blue, 1122),
        list(1109, "Type", {QStringLiteral("String"), QStringLiteral("Int")}, QString(), 65, yellow, 1123),
        list(1110, "Mode", {QStringLiteral("Get"), QStringLiteral("Set"), QStringLiteral("Trap")}, QString(), 65,
             yellow, 1124),
        checkBox(1111, "On_Change", kN, 75, green, 1125),
        checkBox(1112, "On_Command", kN, 50, green, 1126),
        checkBox(1113, "On_Timer", kN, 65, green, 1127),
        text(1114, "Time", 65, green, 1128),
        list(1115, "Position", {}, QString(), 75, pink, 1129, ListFill::BytesIn),
        text(1116, "Number_Bytes", 75, pink, 1130),
        list(1149, "ConvertFrom",
             {QStringLiteral("None"), QStringLiteral("Float"), QStringLiteral("Float * 10"),
              QStringLiteral("Float * 100")},
             QStringLiteral("None"), 95, 0xFFD8B0, 1150),
        text(1944, "User", 70, v3, 1950),
        text(1945, "Auth_Pass", 70, v3, 1951),
        text(1946, "Priv_Pass", 70, v3, 1952),
        list(1947, "Security_Level",
             {QStringLiteral("NoAuth NoPriv"), QStringLiteral("Auth NoPriv"), QStringLiteral("Auth Priv")}, QString(),
             100, v3, 1953),
        list(1948, "Auth_Mode", {QStringLiteral("MD5"), QStringLiteral("SHA")}, QString(), 75, v3, 1954),
        list(1949, "Priv_Mode", {QStringLiteral("DES"), QStringLiteral("AES")}, QString(), 75, v3, 1955),
        text(1117, "Mnemonic", 80, kWindowColour, 1131),
    };
    s.sections = {g};
    s.capacity = 496;
    // No byte limits: the "Position" list always runs "0" .. "1439".
    s.limits = {1440, 1440};
    return s;
}

std::optional<Failure> checkManagerRow(const RowView& r)
{
    constexpr int prefix = 1132;
    uint8_t b[4];
    if (workspace::IP_Text_To_Bytes(r.cell(MgrIp), b[0], b[1], b[2], b[3]))
        return fail(prefix, 1133);
    if (const int code = workspace::Check_SNMP_OID(r.cell(MgrOid)); code >= 1 && code <= 6)
        return fail(prefix, 1133 + code);
    if (r.upper(MgrOnTimer) == kY && !inRange(r.number(MgrTime), 0, 100000000))
        return fail(prefix, 1140);
    if (!inRange(r.number(MgrNumBytes), 0, 1024))
        return fail(prefix, 1141);
    if (r.trimmed(MgrConvert).isEmpty())
        return fail(prefix, 1151);
    if (r.number(MgrVersion) != 3)
        return std::nullopt;
    // Version 3: the user name, then both pass phrases, whatever the security level.
    struct V3Text {
        int column;
        bool user;
        int firstText; // texts for the codes 1, 2, 3
    };
    for (const V3Text& t : {V3Text{MgrUser, true, 1956}, V3Text{MgrAuthPass, false, 1959},
                            V3Text{MgrPrivPass, false, 1962}})
        if (const int code = workspace::Check_SNMPv3_Text(r.cell(t.column), t.user); code >= 1 && code <= 3)
            return fail(prefix, t.firstText + code - 1);
    const int level = workspace::SNMPv3_Level_Code(r.cell(MgrSecurityLevel));
    if (level == -1)
        return fail(prefix, 1965);
    if ((level & 1) && r.trimmed(MgrAuthMode).isEmpty())
        return fail(prefix, 1966);
    if ((level & 2) && r.trimmed(MgrPrivMode).isEmpty())
        return fail(prefix, 1967);
    return std::nullopt;
}

// --- trap table ----------------------------------------------------------------------------------

namespace {

const QStringList kTrapConversions = {QStringLiteral("None"),       QStringLiteral("Float"),
                                      QStringLiteral("Float * 10"), QStringLiteral("Float * 100"),
                                      QStringLiteral("Float / 10"), QStringLiteral("Float / 100")};

ColumnDescription trapCommunity(int header, int hint)
{
    ColumnDescription c = text(header, "Community_Name", 130, 0xE0FAFE, hint, 15);
    c.editor = Editor::ComboEdit;
    c.items = kCommunities;
    return c;
}

// The texts of one grid's checks.
struct TrapTexts {
    int community, type, time, position, bit, stringBit, intBits, stringBytes, description, ip, conversion;
};
constexpr TrapTexts kReadTexts{2076, 2061, 2062, 2063, 2064, 2065, 2066, 2067, 2077, 2068, 2085};
constexpr TrapTexts kWriteTexts{2078, 2069, -1, 2070, 2071, 2072, 2073, 2074, 2079, -1, 2086};

// The columns of one grid's checks (0: the grid has no such column).
struct TrapColumns {
    int community, type, onTimer, time, position, bit, numBits, description, ip, conversion;
};
constexpr TrapColumns kReadColumns{TrCommunity, TrType, TrOnTimer, TrTime, TrPosition, TrBit,
                                   TrNumBits,   TrDescription, TrIp, TrConversion};
constexpr TrapColumns kWriteColumns{TwCommunity, TwType, 0, 0, TwPosition, TwBit, TwNumBits, TwDescription, 0,
                                    TwConversion};

QString upperUntrimmed(const RowView& r, int col)
{
    return platform::upperAscii(r.cell(col));
}

} // namespace

TableDescription trapTable()
{
    TableDescription s;
    s.window = {.className = QStringLiteral("FSNMP_Trap_Access"), .captionText = 2000, .descText = 2001,
                .clientWidth = 1256};
    s.buttons = {.ok = 2002, .cancel = 2003, .delRow = 2004, .insRow = 2005, .copyRow = 2006, .pasteRow = 2007,
                 .okHint = 2010, .cancelHint = 2011, .delRowHint = 2012, .insRowHint = 2013, .copyRowHint = 2014,
                 .pasteRowHint = 2015};
    s.deleteQuestionText = 2075;
    s.path = [] { return workspace::ws().Path_SNMP_Trap; };
    s.root = QStringLiteral("SNMP_Trap");
    s.otherComment = QStringLiteral("SW_VERSION = 1.302");
    constexpr uint32_t green = 0xA8FFA8, pink = 0xFCD6F4, yellow = 0xFFFFA8, violet = 0xD5D5FF;
    const QStringList types = {QStringLiteral("Int"), QStringLiteral("String")};
    const QStringList bits = numbers(0, 7);

    SectionDescription read{.element = QStringLiteral("SNMP_Trap_Read"), .pageText = 2008,
                            .pageName = QStringLiteral("TS_SNMP_Read"), .gridName = QStringLiteral("ACG_SNMP_Read"),
                            .numberHeaderText = 2016, .keyColumn = TrCommunity, .enableColumn = TrEnable};
    read.columns = {
        enable(2017, 2039),
        trapCommunity(2018, 2040),
        list(2019, "Type", types, QString(), 60, 0xE0FAFE, 2041),
        checkBox(2020, "On_Change", kN, 75, green, 2042),
        checkBox(2021, "On_Command", kN, 50, green, 2043),
        checkBox(2022, "On_Timer", kN, 60, green, 2044),
        text(2023, "Time", 65, green, 2045),
        list(2024, "Position", {}, QString(), 60, pink, 2046, ListFill::BytesIn),
        list(2025, "Bit", bits, QString(), 60, pink, 2047),
        text(2026, "NumBits", 95, yellow, 2048),
        text(2027, "Description", 130, violet, 2049, 15),
        text(2028, "IP_Address", 120, 0xC9E4E4, 2050),
        list(2081, "Conversion", kTrapConversions, QStringLiteral("None"), 100, 0xFFD8B0, 2083),
        text(2029, "Mnemonic", 130, 0xFFFFFF, 2051),
    };
    SectionDescription write{.element = QStringLiteral("SNMP_Trap_Write"), .pageText = 2009,
                             .pageName = QStringLiteral("TS_SNMP_Write"), .gridName = QStringLiteral("ACG_SNMP_Write"),
                             .numberHeaderText = 2030, .keyColumn = TwCommunity, .enableColumn = TwEnable};
    write.columns = {
        enable(2031, 2052),
        trapCommunity(2032, 2053),
        list(2033, "Type", types, QString(), 60, 0xE0FAFE, 2054),
        list(2034, "Position", {}, QString(), 60, pink, 2055, ListFill::BytesOut),
        list(2035, "Bit", bits, QString(), 60, pink, 2056),
        text(2036, "NumBits", 95, yellow, 2057),
        text(2037, "Description", 130, violet, 2058, 15),
        list(2082, "Conversion", kTrapConversions, QStringLiteral("None"), 100, 0xFFD8B0, 2084),
        text(2038, "Mnemonic", 500, 0xFFFFFF, 2059),
    };
    s.sections = {read, write};
    s.capacity = 256;
    s.limits = {1024, 1024};
    s.autoSizeOnDoubleClick = true;
    s.enterMovesToNextCell = true;
    s.firstPageOnShow = false;
    return s;
}

bool Check_Error_CommName_Desc(const QString& text, int checkType)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool lower = c >= QLatin1Char('a') && c <= QLatin1Char('z');
        const bool upper = c >= QLatin1Char('A') && c <= QLatin1Char('Z');
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (i == 0 && checkType == 1 ? !lower : !(lower || upper || digit))
            return true;
    }
    return false;
}

std::optional<Failure> checkTrapRow(const RowView& r)
{
    constexpr int prefix = 2060;
    const bool read = r.section() == TrapRead;
    const TrapTexts& t = read ? kReadTexts : kWriteTexts;
    const TrapColumns& c = read ? kReadColumns : kWriteColumns;
    if (Check_Error_CommName_Desc(r.cell(c.community), 0))
        return fail(prefix, t.community);
    if (r.trimmed(c.type).isEmpty())
        return fail(prefix, t.type);
    const bool integer = upperUntrimmed(r, c.type) == QLatin1String("INT");
    if (read && upperUntrimmed(r, c.onTimer) == kY && !inRange(r.number(c.time), 1, 1000000000))
        return fail(prefix, t.time);
    if (r.trimmed(c.position).isEmpty())
        return fail(prefix, t.position);
    if (r.trimmed(c.bit).isEmpty())
        return fail(prefix, t.bit);
    if (!integer && r.trimmed(c.bit) != QLatin1String("0"))
        return fail(prefix, t.stringBit);
    const int n = r.number(c.numBits);
    if (integer && !inRange(n, 1, 32))
        return fail(prefix, t.intBits);
    if (!integer && !inRange(n, 1, 16))
        return fail(prefix, t.stringBytes);
    if (Check_Error_CommName_Desc(r.cell(c.description), 1))
        return fail(prefix, t.description);
    uint8_t b[4];
    if (read && workspace::IP_Text_To_Bytes(r.cell(c.ip), b[0], b[1], b[2], b[3]))
        return fail(prefix, t.ip);
    if (r.trimmed(c.conversion).isEmpty())
        return fail(prefix, t.conversion);
    return std::nullopt;
}

std::optional<Failure> checkTrapDescriptions(const TableDescription& desc, const TableModel& model)
{
    // The rows the check passed: used and enabled, in both grids.
    QStringList seen;
    for (int s : {TrapRead, TrapWrite}) {
        const int descCol = s == TrapRead ? int(TrDescription) : int(TwDescription);
        for (int r : usedRows(desc, model, s)) {
            if (platform::upperAscii(platform::trim(model.cell(s, r, TrEnable))) != kY)
                continue;
            const QString d = model.cell(s, r, descCol);
            if (seen.contains(d))
                return fail(-1, 2080);
            seen << d;
        }
    }
    return std::nullopt;
}

CheckResult checkTrapTable(const TableDescription& desc, const TableModel& model)
{
    return Controllo_dati(desc, model, checkTrapRow,
                          [&](const std::vector<int>&) { return checkTrapDescriptions(desc, model); });
}

QStringList Index_Row_Build(const QStringList& enable)
{
    QStringList column;
    column.reserve(enable.size());
    int n = 1;
    for (const QString& e : enable)
        column << (platform::upperAscii(e) == kY ? QString::number(n++) : QString());
    return column;
}

} // namespace tables::snmp
