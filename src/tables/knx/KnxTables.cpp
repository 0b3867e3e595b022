#include "tables/knx/KnxTables.h"

#include "platform/text/Text.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

namespace tables::knx {

namespace {

const QString kY = QStringLiteral("Y");
const QString kN = QStringLiteral("N");
const QString kNormal = QStringLiteral("Normal");
const QStringList kPriorities = {QStringLiteral("System"), QStringLiteral("Urgent"), kNormal, QStringLiteral("Low")};

Failure fail(int text, QString bound = {})
{
    return Failure{980, text, std::move(bound)};
}

bool inRange(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

// The ticks, the APCI words and "No" as the image builder reads them: upper-cased, untrimmed.
QString upperUntrimmed(const RowView& r, int col)
{
    return platform::upperAscii(r.cell(col));
}

} // namespace

TableDescription knxAccessTable()
{
    TableDescription s;
    s.window = {.className = QStringLiteral("FKNXAccess"), .captionText = 942, .descText = 943, .clientWidth = 1141};
    s.buttons = {.ok = 944, .cancel = 945, .delRow = 946, .insRow = 947, .copyRowCaption = QStringLiteral("Copy Row"),
                 .pasteRowCaption = QStringLiteral("Paste Row")};
    s.deleteQuestionText = 1000;
    s.path = [] { return workspace::ws().Path_KNX_SetAccess; };
    s.root = QStringLiteral("BACnet_to_KNX");
    s.otherComment = QStringLiteral("SW_VERSION = 1.009");
    s.emptySections = {QStringLiteral("KNX_in_Read")};
    SectionDescription g{.element = QStringLiteral("KNX_in_Write"), .gridName = QStringLiteral("ACG_KNX_in_Write"),
                         .numberHeaderText = 965, .keyColumn = KnxSource, .enableColumn = KnxEnable};
    constexpr uint32_t blue = 0xE0FAFE, yellow = 0xFFFFA8, green = 0xA8FFA8, pink = 0xFCD6F4;
    auto box = [](int header, const char* attribute, std::optional<QString> absent, int width, uint32_t colour) {
        return ColumnDescription{.headerText = header, .attribute = QLatin1String(attribute),
                                 .editor = Editor::DataCheckBox, .absent = std::move(absent), .width = width,
                                 .colour = colour, .centred = true};
    };
    auto text = [](int header, const char* attribute, int width, uint32_t colour) {
        return ColumnDescription{.headerText = header, .attribute = QLatin1String(attribute), .width = width,
                                 .colour = colour};
    };
    ColumnDescription enable = box(1040, "Enable", kY, 50, 0xFFD8B0);
    enable.fresh = kY;
    QStringList bitModes{QStringLiteral("No")};
    for (int b = 0; b <= 7; ++b)
        bitModes << QString::number(b);
    g.columns = {
        enable,
        text(966, "Source_Address", 70, blue),
        text(967, "Destination_Address", 80, blue),
        {.headerText = 968, .attribute = QStringLiteral("APCI"), .editor = Editor::ComboEdit,
         .items = {QStringLiteral("Read"), QStringLiteral("Write")}, .width = 60, .colour = blue},
        {.headerText = 969, .attribute = QStringLiteral("Priority"), .editor = Editor::ComboList,
         .items = {QStringLiteral("System"), QStringLiteral("Urgent"), kNormal, QStringLiteral("Low")},
         .absent = kNormal, .width = 75, .colour = blue},
        {.headerText = 970, .attribute = QStringLiteral("Format"), .editor = Editor::ComboList,
         .items = {QStringLiteral("None"), QStringLiteral("Swap16"), QStringLiteral("Swap32"), QStringLiteral("Swap All"),
                   QStringLiteral("Int to Float"), QStringLiteral("Float to Int"), QStringLiteral("Float16 to Float32"),
                   QStringLiteral("Float16 to Int"), QStringLiteral("Float16 to Int * 10"),
                   QStringLiteral("Float16 to Int * 100")},
         .absent = QStringLiteral("None"), .width = 110, .colour = yellow},
        box(971, "Extended", std::nullopt, 68, yellow),
        box(973, "ReTest", std::nullopt, 50, yellow),
        box(1048, "On_Command", kN, 52, green),
        box(975, "On_Change", std::nullopt, 71, green),
        box(1038, "On_Timer", kN, 62, green),
        text(974, "Poll_Time", 67, green),
        {.headerText = 976, .attribute = QStringLiteral("Position"), .editor = Editor::ComboList,
         .fill = ListFill::BytesIn, .width = 55, .colour = pink},
        {.headerText = 977, .attribute = QStringLiteral("Bit_Mode"), .editor = Editor::ComboList, .items = bitModes,
         .width = 55, .colour = pink},
        text(978, "Length", 55, pink),
        text(979, "Mnemonic", 96, kWindowColour),
    };
    s.sections = {g};
    s.capacity = 512;
    s.limits = {kKnxBytes, kKnxBytes};
    return s;
}

QString shownPriority(const QString& loaded)
{
    const QString t = platform::upperAscii(platform::trim(loaded));
    for (const QString& p : kPriorities)
        if (platform::upperAscii(p) == t)
            return p;
    return kNormal;
}

void normalisePriorities(TableModel& model, int rowsRead)
{
    auto& rows = model.sections[0];
    for (int r = 0; r < rowsRead && size_t(r) < rows.size(); ++r)
        rows[size_t(r)][KnxPriority - 1] = shownPriority(rows[size_t(r)][KnxPriority - 1]);
}

LoadResult loadKnxTable(const TableDescription& desc, const QString& path)
{
    LoadResult r = loadTable(desc, path, desc.capacity);
    normalisePriorities(r.model, r.rowsRead.empty() ? 0 : r.rowsRead[0]);
    return r;
}

std::optional<Failure> checkKnxRow(const RowView& r)
{
    if (workspace::Check_KNX_Address(r.trimmed(KnxSource), false, true))
        return fail(991);
    const QString destination = r.trimmed(KnxDestination);
    const bool group = workspace::Is_KNX_Group_Address(destination);
    if (workspace::Check_KNX_Address(destination, group, true))
        return fail(group ? 1002 : 992);
    const QString apci = upperUntrimmed(r, KnxApci);
    if (apci != QLatin1String("READ") && apci != QLatin1String("WRITE") && !inRange(r.number(KnxApci), 0, 1023))
        return fail(993);
    if (!kPriorities.contains(r.cell(KnxPriority)))
        return fail(994);
    if (r.trimmed(KnxFormat).isEmpty())
        return fail(1047);
    if (upperUntrimmed(r, KnxOnTimer) == kY && !inRange(r.number(KnxPollTime), 1, 100000000))
        return fail(995);
    const int position = r.number(KnxPosition);
    if (!inRange(position, 0, kKnxBytes - 1))
        return fail(996, QString::number(kKnxBytes - 1));
    const bool byteMode = upperUntrimmed(r, KnxBitMode) == QLatin1String("NO");
    const int startBit = byteMode ? 0 : r.number(KnxBitMode);
    if (!byteMode && !inRange(startBit, 0, 7))
        return fail(997);
    const bool extended = upperUntrimmed(r, KnxExtended) == kY;
    const int most = byteMode ? (extended ? 255 : 14) : (extended ? 2040 : 112);
    const int length = r.number(KnxLength);
    if (!inRange(length, 1, most))
        return fail(998, QString::number(most));
    const int bytes = byteMode ? length : (startBit + length + 7) / 8;
    if (position + bytes > kKnxBytes)
        return fail(999, QString::number(kKnxBytes));
    return std::nullopt;
}

} // namespace tables::knx
