#include "tables/bacnet/BacnetTables.h"

#include "parameters/ParGenFile.h"
#include "platform/text/Text.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

#include <array>

namespace tables::bacnet {

namespace {

const QStringList kBits = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                           QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7")};

QStringList readTypes13()
{
    return {QStringLiteral("Analog Input"),      QStringLiteral("Analog Value"),
            QStringLiteral("Binary Input"),      QStringLiteral("Binary Value"),
            QStringLiteral("Positive Integer Value"), QStringLiteral("Large Analog Value"),
            QStringLiteral("Integer Value"),     QStringLiteral("Multi State Input"),
            QStringLiteral("Multi State Value"), QStringLiteral("Life Safety Point"),
            QStringLiteral("Life Safety Zone"),  QStringLiteral("Access Door"),
            QStringLiteral("Accumulator")};
}

QStringList writeTypes10()
{
    return {QStringLiteral("Analog Out"),         QStringLiteral("Analog Value"),
            QStringLiteral("Binary Out"),         QStringLiteral("Binary Value"),
            QStringLiteral("Positive Integer Value"), QStringLiteral("Large Analog Value"),
            QStringLiteral("Integer Value"),      QStringLiteral("Multi State Output"),
            QStringLiteral("Multi State Value"),  QStringLiteral("Access Door")};
}

// The six (or, with `Swap`, seven) data columns of one page of an object table.
std::vector<ColumnDescription> objectColumns(int firstHeader, const QStringList& types, ListFill fill, bool swap,
                                      bool swapShown, bool lengthReadOnly)
{
    std::vector<ColumnDescription> c;
    c.push_back({.headerText = firstHeader, .attribute = QStringLiteral("Data_Type"), .editor = Editor::ComboList,
                 .items = types, .width = 150, .colour = 0xE0FAFE});
    c.push_back({.headerText = firstHeader + 1, .attribute = QStringLiteral("Eng_Unit"), .width = 100,
                 .colour = 0xE0FAFE});
    c.push_back({.headerText = firstHeader + 2, .attribute = QStringLiteral("Position"), .editor = Editor::ComboList,
                 .fill = fill, .width = 64, .colour = 0xFCD6F4});
    c.push_back({.headerText = firstHeader + 3, .attribute = QStringLiteral("Bit"), .editor = Editor::ComboList,
                 .items = kBits, .width = 64, .colour = 0xFCD6F4});
    c.push_back({.headerText = firstHeader + 4, .attribute = QStringLiteral("Length"), .width = 64,
                 .colour = 0xFCD6F4, .readOnly = lengthReadOnly});
    if (swap)
        c.push_back({.attribute = QStringLiteral("Swap"), .editor = Editor::DataCheckBox, .absent = QStringLiteral("N"),
                     .width = 40, .colour = 0xFFFFA8, .centred = true, .hidden = !swapShown,
                     .fixedHeader = QStringLiteral("Swap")});
    c.push_back({.headerText = firstHeader + 5, .attribute = QStringLiteral("Mnemonic"), .width = 250,
                 .colour = 0xFFFFFF});
    return c;
}

SectionDescription objectPage(bool read, int pageText, int numberHeader)
{
    SectionDescription s;
    s.element = read ? QStringLiteral("BACnet_in_Read") : QStringLiteral("BACnet_in_Write");
    s.pageText = pageText;
    s.pageName = read ? QStringLiteral("TS_BACnet_in_Read") : QStringLiteral("TS_BACnet_in_Write");
    s.gridName = read ? QStringLiteral("ACG_BACnet_in_Read") : QStringLiteral("ACG_BACnet_in_Write");
    s.numberHeaderText = numberHeader;
    s.keyColumn = ColType;
    return s;
}

Failure fail(int prefix, int text, QString bound = {})
{
    return Failure{prefix, text, std::move(bound)};
}

bool inRange(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

// A read-page length rule: the exact type text, the bounds and the message.
struct LengthRule {
    const char* type;
    int lo, hi;
    int text;
};

// Types whose read-page Length has no rule of its own; a Length below 1 would make the object
// end before it starts.
bool openLengthType(const QString& type)
{
    return type == QLatin1String("Integer Value") || type == QLatin1String("Octet String") ||
           type == QLatin1String("CharacterString Value");
}

// A binary object's Length has no rule of its own, yet the image builder stores it and stops at
// a text that is no whole number: refused here, while the user can still mend it.
std::optional<Failure> binaryLengthNumber(const RowView& r, int prefix, const QString& page)
{
    if (platform::toInt(r.cell(ColLength)))
        return std::nullopt;
    return fail(prefix, -1,
                QStringLiteral("!! [BACnet in %1] Length with variable \"%2\" must be a number").arg(page, r.cell(ColType)));
}

// The read page of both object tables; only the texts differ.
struct ReadTexts {
    int prefix, engUnit, position, bit, end;
    std::array<LengthRule, 10> lengths;
};

std::optional<Failure> checkReadRow(const RowView& r, const ReadTexts& t, int nByteIn)
{
    if (!inRange(r.number(ColEngUnit), 0, 65535))
        return fail(t.prefix, t.engUnit);
    const int pos = r.number(ColPosition);
    if (!inRange(pos, 0, nByteIn - 1))
        return fail(t.prefix, t.position, QString::number(nByteIn - 1));
    const QString type = r.cell(ColType);
    int end = pos;
    if (type == QLatin1String("Binary Input") || type == QLatin1String("Binary Value")) {
        if (r.cell(ColBit).isEmpty())
            return fail(t.prefix, t.bit);
        if (const std::optional<Failure> f = binaryLengthNumber(r, t.prefix, QStringLiteral("Read")))
            return f;
    } else {
        const int len = r.number(ColLength, 0);
        for (const LengthRule& rule : t.lengths)
            if (type == QLatin1String(rule.type) && !inRange(len, rule.lo, rule.hi))
                return fail(t.prefix, rule.text);
        if (openLengthType(type) && len < 1)
            return fail(t.prefix, -1,
                        QStringLiteral("!! [BACnet in Read] Length with variable \"%1\" must be 1 or more").arg(type));
        end = pos + len - 1;
    }
    if (end >= nByteIn)
        return fail(t.prefix, t.end);
    return std::nullopt;
}

const ReadTexts kMasterRead{373, 374, 375, 376, 377,
                            {{{"Analog Input", 1, 4, 1028},
                              {"Positive Integer Value", 1, 4, 1029},
                              {"Large Analog Value", 1, 8, 1030},
                              {"Analog Value", 1, 4, 1031},
                              {"Multi State Input", 1, 4, 1032},
                              {"Multi State Value", 1, 4, 1033},
                              {"Life Safety Point", 1, 2, 1034},
                              {"Life Safety Zone", 1, 2, 1035},
                              {"Access Door", 1, 1, 1036},
                              {"Accumulator", 1, 4, 1037}}}};

const ReadTexts kSlaveRead{464, 465, 466, 470, 471,
                           {{{"Analog Input", 1, 4, 467},
                             {"Positive Integer Value", 1, 4, 468},
                             {"Large Analog Value", 1, 8, 469},
                             {"Analog Value", 1, 4, 931},
                             {"Multi State Input", 1, 4, 932},
                             {"Multi State Value", 1, 4, 933},
                             {"Life Safety Point", 1, 2, 934},
                             {"Life Safety Zone", 1, 2, 935},
                             {"Access Door", 1, 1, 936},
                             {"Accumulator", 1, 4, 937}}}};

// Write-page length rules of the DMX and SNMP manager models.
const std::array<LengthRule, 8> kSlaveWriteLengths{{{"Analog Out", 1, 4, 1288},
                                                     {"Analog Value", 1, 4, 1289},
                                                     {"Positive Integer Value", 1, 4, 1290},
                                                     {"Large Analog Value", 1, 8, 1291},
                                                     {"Integer Value", 1, 4, 1292},
                                                     {"Multi State Output", 1, 4, 1293},
                                                     {"Multi State Value", 1, 4, 1294},
                                                     {"Access Door", 1, 1, 1295}}};

QString modSlaveComment(int type)
{
    switch (type) {
    case 2: return QStringLiteral("SW_VERSION = 1.301");
    case 4: return QStringLiteral("SW_VERSION = 1.103");
    case 6: return QStringLiteral("SW_VERSION = 1.203");
    case 7: return QStringLiteral("SW_VERSION = 1.201");
    case 8: return QStringLiteral("SW_VERSION = 1.002");
    case 9: return QStringLiteral("SW_VERSION = 1.302");
    case 10: return QStringLiteral("SW_VERSION = 1.000");
    case 11: return QStringLiteral("SW_VERSION = 1.001");
    case 12: return QStringLiteral("SW_VERSION = 1.004");
    case 13:
    case 14:
    case 15: return QStringLiteral("SW_VERSION = 1.000");
    case 16:
    case 2016: return QStringLiteral("SW_VERSION = 1.009");
    case 17: return QStringLiteral("SW_VERSION = 1.302");
    case 18: return QStringLiteral("SW_VERSION = 1.003");
    case 19: return QStringLiteral("SW_VERSION = 1.201");
    default: return QStringLiteral("SW_VERSION = 1.301");
    }
}

} // namespace

// --- object tables ---------------------------------------------------------------------------

TableDescription bacnetSetAccessTable()
{
    TableDescription s;
    s.window = {.className = QStringLiteral("FBACnetSetAccess"), .captionText = 351, .descText = 352,
                .clientWidth = 784};
    s.buttons = {.ok = 353, .cancel = 354, .delRow = 355, .insRow = 356};
    s.deleteQuestionText = 382;
    s.path = [] { return workspace::ws().Path_BACnet_SetAccess; };
    s.root = QStringLiteral("BACnet_to_Modbus");
    s.comments = {{0, QStringLiteral("SW_VERSION = 1.702")}, {3, QStringLiteral("SW_VERSION = 1.405")}};
    QStringList read = readTypes13();
    read << QStringLiteral("Octet String");
    QStringList write = writeTypes10();
    write << QStringLiteral("Octet String");
    SectionDescription r = objectPage(true, 357, 359);
    r.columns = objectColumns(360, read, ListFill::BytesIn, false, false, false);
    SectionDescription w = objectPage(false, 358, 366);
    w.columns = objectColumns(367, write, ListFill::BytesOut, false, false, false);
    s.sections = {r, w};
    s.capacity = 2000;
    s.limits = {1439, 1439};
    return s;
}

TableDescription bacnetModSlaveTable(int converterType)
{
    const bool swapShown = modSlaveShowsSwap(converterType);
    TableDescription s;
    s.window = {.className = QStringLiteral("FBACnetSetAccess_ModSlave"), .captionText = 442, .descText = 443,
                .clientWidth = swapShown ? 804 : 764};
    s.buttons = {.ok = 444, .cancel = 445, .delRow = 446, .insRow = 447};
    s.deleteQuestionText = 476;
    s.path = [] { return workspace::ws().Path_BACnet_SetAccess_ModSlave; };
    s.root = QStringLiteral("BACnet_to_Modbus");
    s.otherComment = modSlaveComment(converterType);
    QStringList read = readTypes13();
    QStringList write = writeTypes10();
    if (converterType == 16) {
        read << QStringLiteral("Octet String") << QStringLiteral("CharacterString Value");
        write << QStringLiteral("Octet String") << QStringLiteral("CharacterString Value");
    } else if (converterType == 19) {
        read << QStringLiteral("Octet String");
        write << QStringLiteral("Octet String");
    }
    SectionDescription r = objectPage(true, 448, 450);
    r.columns = objectColumns(451, read, ListFill::BytesIn, true, swapShown, false);
    SectionDescription w = objectPage(false, 449, 457);
    w.columns = objectColumns(458, write, ListFill::BytesOut, true, swapShown,
                              !modSlaveWriteLengthEditable(converterType));
    s.sections = {r, w};
    s.capacity = 2000;
    s.limits = {1439, 1439};
    return s;
}

int CheckLengthData(const QString& type)
{
    const QString t = platform::upperAscii(platform::trim(type));
    if (t == QLatin1String("ANALOG OUT") || t == QLatin1String("ANALOG VALUE"))
        return 4;
    if (t == QLatin1String("BINARY OUT") || t == QLatin1String("BINARY VALUE"))
        return 1;
    if (t == QLatin1String("POSITIVE INTEGER VALUE") || t == QLatin1String("INTEGER VALUE"))
        return 4;
    if (t == QLatin1String("LARGE ANALOG VALUE"))
        return 8;
    if (t == QLatin1String("MULTI STATE OUTPUT") || t == QLatin1String("MULTI STATE VALUE"))
        return 4;
    if (t == QLatin1String("ACCESS DOOR"))
        return 1;
    if (t == QLatin1String("OCTET STRING"))
        return -1;
    return 0;
}

std::optional<QString> lengthForPickedType(const QString& picked, bool modSlave)
{
    // A picked type carries the list's own text: only its fixed length matters; the strings
    // start at one byte.
    const int fixed = CheckLengthData(picked);
    if (fixed > 0)
        return QString::number(fixed);
    const QString t = platform::upperAscii(picked);
    if (t == QLatin1String("OCTET STRING") || (modSlave && t == QLatin1String("CHARACTERSTRING VALUE")))
        return QStringLiteral("1");
    return std::nullopt;
}

bool descLimitSet(const parameters::ParGenFile& parGen)
{
    // A missing or damaged file reads as one without the key.
    return parGen.keyFlag(QStringLiteral("BACnet_Desc_Chars_Limit"));
}

namespace {
// A byte count of the general parameters; a number outside 1 .. `most` (only a hand-edited file
// holds one, and a huge one would fill a pick list without end) counts as missing.
int byteCount(const parameters::ParGenFile& parGen, const char* key, int def, int most = 1440)
{
    const int n = parGen.keyInt(QLatin1String(key), def);
    return n >= 1 && n <= most ? n : def;
}
} // namespace

ByteLimits modSlaveByteLimits(int converterType, const parameters::ParGenFile& parGen)
{
    ByteLimits l{1439, 1439};
    switch (converterType) {
    case 6:
        l.in = byteCount(parGen, "PROFIBUS_SLAVE_NB_IN", 244);
        l.out = byteCount(parGen, "PROFIBUS_SLAVE_NB_OUT", 244);
        break;
    case 11:
        l.in = byteCount(parGen, "DNETS_NB_IN", 455);
        l.out = byteCount(parGen, "DNETS_NB_OUT", 455);
        break;
    case 12:
        l.in = byteCount(parGen, "EtherNetIP_NB_IN", 496);
        l.out = byteCount(parGen, "EtherNetIP_NB_OUT", 500);
        break;
    case 17: l = {1024, 1024}; break;
    case 18:
        // One byte per DMX channel, at most a universe's 512.
        l.in = byteCount(parGen, "DMX_Num_Channels", 512, 512);
        l.out = l.in;
        break;
    case 19: l = {1440, 1440}; break;
    default: break;
    }
    return l;
}

int dmxDirection(const parameters::ParGenFile& parGen)
{
    return parGen.keyInt(QStringLiteral("DMX_DMX"), 1);
}

bool modSlaveShowsSwap(int converterType)
{
    return converterType == 6 || converterType == 9 || converterType == 16 || converterType == 18;
}

bool modSlaveWriteLengthEditable(int converterType)
{
    return converterType == 16 || converterType == 18 || converterType == 19;
}

std::optional<Failure> checkBacnetSetAccessRow(const RowView& r, const ByteLimits& limits)
{
    if (r.section() == ReadPage)
        return checkReadRow(r, kMasterRead, limits.in);
    constexpr int prefix = 373;
    if (!inRange(r.number(ColEngUnit), 0, 65535))
        return fail(prefix, 378);
    const int pos = r.number(ColPosition);
    if (!inRange(pos, 0, limits.out - 1))
        return fail(prefix, 379, QString::number(limits.out - 1));
    const QString type = r.cell(ColType);
    const int len = r.number(ColLength, -1);
    const int fixed = CheckLengthData(type);
    if (fixed >= 0 && len != fixed)
        return fail(prefix, 1931, QString::number(fixed));
    if (fixed < 0 && platform::trim(type) == QLatin1String("Octet String") && !inRange(len, 1, 50))
        return fail(prefix, 1932);
    int end = pos;
    if (type == QLatin1String("Binary Out") || type == QLatin1String("Binary Value")) {
        if (r.cell(ColBit).isEmpty())
            return fail(prefix, 380);
    } else {
        end = pos + r.number(ColLength, 0) - 1;
    }
    if (end >= limits.out)
        return fail(prefix, 381);
    return std::nullopt;
}

std::optional<Failure> checkBacnetModSlaveRow(const RowView& r, int converterType, const ByteLimits& limits)
{
    if (r.section() == ReadPage)
        return checkReadRow(r, kSlaveRead, limits.in);
    constexpr int prefix = 464;
    if (!inRange(r.number(ColEngUnit), 0, 65535))
        return fail(prefix, 472);
    const int pos = r.number(ColPosition);
    if (!inRange(pos, 0, limits.out - 1))
        return fail(prefix, 473, QString::number(limits.out - 1));
    const QString type = r.cell(ColType);
    int end = pos;
    if (type == QLatin1String("Binary Out") || type == QLatin1String("Binary Value")) {
        if (r.cell(ColBit).isEmpty())
            return fail(prefix, 474);
        if (const std::optional<Failure> f = binaryLengthNumber(r, prefix, QStringLiteral("Write")))
            return f;
    } else {
        const int len = r.number(ColLength, 0);
        // The models whose write Length the user types have rules for it.
        if (modSlaveWriteLengthEditable(converterType)) {
            for (const LengthRule& rule : kSlaveWriteLengths)
                if (type == QLatin1String(rule.type) && !inRange(len, rule.lo, rule.hi))
                    return fail(prefix, rule.text);
            if (type == QLatin1String("Octet String") && !inRange(len, 1, 50))
                return fail(prefix, 1943);
            if (openLengthType(type) && len < 1)
                return fail(prefix, -1,
                            QStringLiteral("!! [BACnet in Write] Length with variable \"%1\" must be 1 or more").arg(type));
        }
        end = pos + len - 1;
    }
    if (end >= limits.out)
        return fail(prefix, 475);
    return std::nullopt;
}

std::optional<Failure> checkObjectCount(const std::vector<int>& checked, int capacity)
{
    int total = 0;
    for (int n : checked)
        total += n;
    if (total > capacity)
        return fail(-1, 1154, QString::number(capacity));
    return std::nullopt;
}

// --- broadcast distribution table ------------------------------------------------------------

TableDescription bdtTable()
{
    TableDescription s;
    s.window = {.className = QStringLiteral("FBACnet_BDT"), .captionText = 2100, .descText = 2101,
                .clientWidth = 824};
    s.buttons = {.ok = 2102, .cancel = 2103, .delRow = 2104, .insRow = 2105, .copyRow = 2106, .pasteRow = 2107,
                 .okHint = 2108, .cancelHint = 2109, .delRowHint = 2110, .insRowHint = 2111, .copyRowHint = 2112,
                 .pasteRowHint = 2113};
    s.deleteQuestionText = 2129;
    s.path = [] { return workspace::ws().Path_BACnet_BDT; };
    s.root = QStringLiteral("BACnet_BDT");
    s.comments = {{0, QStringLiteral("SW_VERSION = 1.702")},  {2, QStringLiteral("SW_VERSION = 1.301")},
                  {7, QStringLiteral("SW_VERSION = 1.201")},  {8, QStringLiteral("SW_VERSION = 1.002")},
                  {9, QStringLiteral("SW_VERSION = 1.302")},  {1001, QStringLiteral("SW_VERSION = 1.102")}};
    SectionDescription g;
    g.gridName = QStringLiteral("ACG");
    g.numberHeaderText = 2114;
    g.keyColumn = BdtIp;
    g.enableColumn = BdtEnable;
    // Every attribute has a default: a hand-shortened row still loads whole.
    g.columns = {{.headerText = 2115, .attribute = QStringLiteral("Enable"), .editor = Editor::DataCheckBox,
                  .fresh = QStringLiteral("Y"), .absent = QStringLiteral("Y"), .width = 50, .colour = 0xFFD8B0,
                  .centred = true, .hintText = 2120},
                 {.headerText = 2116, .attribute = QStringLiteral("IP_Address"), .absent = QString(), .width = 130,
                  .colour = 0xE0FAFE, .maxLength = 15, .hintText = 2121},
                 {.headerText = 2117, .attribute = QStringLiteral("SubNet_Mask"), .absent = QString(), .width = 130,
                  .colour = 0xE0FAFE, .hintText = 2122},
                 {.headerText = 2118, .attribute = QStringLiteral("Port"), .absent = QString(), .width = 100,
                  .colour = 0xE0FAFE, .hintText = 2123},
                 {.headerText = 2119, .attribute = QStringLiteral("Mnemonic"), .absent = QString(), .width = 350,
                  .colour = 0xFFFFFF, .hintText = 2124}};
    s.sections = {g};
    s.capacity = 10;
    s.limits = {0, 0};
    // An empty address in the middle is passed over by the check; the save passes it over too,
    // so every checked peer is kept.
    s.skipEmptyKeys = true;
    s.autoSizeOnDoubleClick = true;
    s.enterMovesToNextCell = true;
    return s;
}

std::optional<Failure> checkBdtRow(const RowView& r)
{
    constexpr int prefix = 2125;
    uint8_t b[4];
    if (workspace::IP_Text_To_Bytes(r.cell(BdtIp), b[0], b[1], b[2], b[3]))
        return fail(prefix, 2126);
    if (workspace::IP_Text_To_Bytes(r.cell(BdtMask), b[0], b[1], b[2], b[3]))
        return fail(prefix, 2127);
    if (!inRange(r.number(BdtPort), 0, 65535))
        return fail(prefix, 2128);
    return std::nullopt;
}

} // namespace tables::bacnet
