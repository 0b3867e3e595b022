#include "exports/Eds.h"

#include <algorithm>
#include <string_view>

#include "exports/ExportFile.h"
#include "platform/process/Clock.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

namespace exports {

namespace {

using platform::UserError;

constexpr const char* kReceiveNames[kMaxPdos] = {"b",  "c",  "d",  "e",  "f",  "g",  "h",  "j",  "k",  "i",
                                                 "aa", "ab", "ac", "ad", "ae", "af", "ag", "ah", "ai", "al",
                                                 "am", "an", "ao", "ap", "aq", "ar", "as", "at", "au", "av"};
constexpr const char* kTransmitNames[kMaxPdos] = {"l",  "m",  "n",  "o",  "p",  "q",  "r",  "s",  "t",  "u",
                                                  "ca", "cb", "cc", "cd", "ce", "cf", "cg", "ch", "ci", "cl",
                                                  "cm", "cn", "co", "cp", "cq", "cr", "cs", "ct", "cu", "cv"};

QString h(uint32_t v, int digits) { return platform::intToHex(v, digits); }
QString h4(uint32_t v) { return h(v, 4); }
QString d(int64_t v) { return QString::number(v); }
QString section(uint32_t index) { return QLatin1Char('[') + h4(index) + QLatin1Char(']'); }
QString subSection(uint32_t index, uint32_t sub)
{
    return QLatin1Char('[') + h4(index) + QStringLiteral("sub") + h(sub, 1) + QLatin1Char(']');
}

// One object: its section line, its lines and, unless told otherwise, an empty line.
void object(QStringList& out, const QString& head, const QStringList& lines, bool emptyAfter = true)
{
    out << head << lines;
    if (emptyAfter)
        out << QString();
}

QStringList entry(const QString& name, const char* dataType, const char* access, const QString& def, int mapping = 0)
{
    QStringList l{QStringLiteral("ParameterName=") + name, QStringLiteral("ObjectType=0x07"),
                  QStringLiteral("DataType=") + QLatin1String(dataType), QStringLiteral("AccessType=") + QLatin1String(access)};
    if (!def.isNull())
        l << QStringLiteral("DefaultValue=") + def;
    l << QStringLiteral("PDOMapping=%1").arg(mapping);
    return l;
}
QStringList entry(const char* name, const char* dataType, const char* access, const char* def)
{
    return entry(QLatin1String(name), dataType, access, def ? QString::fromLatin1(def) : QString());
}
QStringList record(const char* subNumber, const char* name, const char* objectType)
{
    return {QStringLiteral("SubNumber=") + QLatin1String(subNumber), QStringLiteral("ParameterName=") + QLatin1String(name),
            QStringLiteral("ObjectType=") + QLatin1String(objectType)};
}

void fixedObjects(QStringList& o)
{
    object(o, QStringLiteral("[1000]"), entry("Device Type", "0x0007", "const", "0x000101A4"));
    object(o, QStringLiteral("[1001]"), entry("Error Register", "0x0005", "ro", "0x00"));
    object(o, QStringLiteral("[1005]"), entry("COB-ID SYNC", "0x0007", "rw", "0x80000080"));
    object(o, QStringLiteral("[1006]"), entry("Communication Cycle Period", "0x0007", "rw", "0x00000000"));
    object(o, QStringLiteral("[1008]"), entry("Manufacturer Device Name", "0x0009", "const", "s1"));
    object(o, QStringLiteral("[1014]"), entry("COB-ID EMCY", "0x0007", "ro", "$NODEID+0x80"));
    object(o, QStringLiteral("[1016]"), record("3", "Heartbeat Consumer Entries", "0x08"));
    object(o, QStringLiteral("[1016sub0]"), entry("Number of Entries", "0x0005", "ro", "0x02"));
    object(o, QStringLiteral("[1016sub1]"), entry("Consumer Heartbeat Time 1", "0x0007", "rw", "0x00000000"));
    object(o, QStringLiteral("[1016sub2]"), entry("Consumer Heartbeat Time 2", "0x0007", "rw", "0x00000000"));
    object(o, QStringLiteral("[1017]"), entry("Producer Heartbeat Time", "0x0006", "rw", "0x000003E8"));
    object(o, QStringLiteral("[1018]"), record("5", "Identity Object", "0x09"));
    object(o, QStringLiteral("[1018sub0]"), entry("number of entries", "0x0005", "ro", "0x4"));
    object(o, QStringLiteral("[1018sub1]"), entry("Vendor Id", "0x0007", "ro", nullptr));
    object(o, QStringLiteral("[1018sub2]"), entry("Product Code", "0x0007", "ro", nullptr));
    object(o, QStringLiteral("[1018sub3]"), entry("Revision number", "0x0007", "ro", nullptr));
    object(o, QStringLiteral("[1018sub4]"), entry("Serial number", "0x0007", "ro", nullptr));
    object(o, QStringLiteral("[1029]"), record("2", "Error Behaviour", "0x08"));
    object(o, QStringLiteral("[1029sub0]"), entry("Number of Entries", "0x0005", "ro", "1"));
    object(o, QStringLiteral("[1029sub1]"), entry("Communication Error", "0x0005", "rw", "0x0"));
    object(o, QStringLiteral("[1280]"), record("4", "Client SDO Parameter 1", "0x09"));
    object(o, QStringLiteral("[1280sub0]"), entry("Number of Entries", "0x0005", "ro", "0x03"));
    object(o, QStringLiteral("[1280sub1]"), entry("COB-ID Client -> Server", "0x0007", "rw", nullptr));
    object(o, QStringLiteral("[1280sub2]"), entry("COB-ID Server -> Client", "0x0007", "rw", nullptr));
    object(o, QStringLiteral("[1280sub3]"), entry("Node ID of the SDO Server", "0x0005", "rw", nullptr), false);
}

void communication(QStringList& o, uint32_t base, const char* name, const std::vector<PdoSlot>& pdos)
{
    for (size_t n = 0; n < pdos.size(); ++n) {
        const uint32_t idx = base + static_cast<uint32_t>(n);
        object(o, section(idx),
               {QStringLiteral("SubNumber=4"), QStringLiteral("ParameterName=%1 %2").arg(QLatin1String(name)).arg(n + 1),
                QStringLiteral("ObjectType=0x09")});
        object(o, subSection(idx, 0), entry("Number of Entries", "0x0005", "ro", "0x03"));
        object(o, subSection(idx, 1),
               entry(QStringLiteral("COB-ID"), "0x0007", "rw",
                     QStringLiteral("0x") + h(static_cast<uint32_t>(pdos[n].cobId), 8)));
        object(o, subSection(idx, 2), entry("Transmission Type", "0x0005", "rw", "0xFE"));
        object(o, subSection(idx, 3), entry("Inhibit Time", "0x0006", "rw", "0x0"));
    }
}

void mapping(QStringList& o, uint32_t base, uint32_t target, const QString& name, bool numbered,
             const std::vector<PdoSlot>& pdos)
{
    for (size_t n = 0; n < pdos.size(); ++n) {
        const uint32_t idx = base + static_cast<uint32_t>(n);
        const int dim = pdos[n].dimension;
        object(o, section(idx),
               {QStringLiteral("SubNumber=") + d(dim + 1),
                QStringLiteral("ParameterName=") + name + (numbered ? QStringLiteral(" ") + d(static_cast<int64_t>(n) + 1) : QString()),
                QStringLiteral("ObjectType=0x09")});
        object(o, subSection(idx, 0),
               entry(QStringLiteral("Number of Entries"), "0x0005", "ro", QStringLiteral("0x") + h(static_cast<uint32_t>(dim), 2)));
        for (int k = 1; k <= dim; ++k)
            object(o, subSection(idx, static_cast<uint32_t>(k)),
                   entry(QStringLiteral("Mapping Entry ") + d(k), "0x0007", "ro",
                         QStringLiteral("0x") + h4(target + static_cast<uint32_t>(n)) + h(static_cast<uint32_t>(k), 2) +
                             QStringLiteral("08")));
    }
}

void application(QStringList& o, uint32_t base, const char* prefix, const char* const* names, const char* sub0Access,
                 const char* entryAccess, const std::vector<PdoSlot>& pdos)
{
    for (size_t n = 0; n < pdos.size(); ++n) {
        const uint32_t idx = base + static_cast<uint32_t>(n);
        const int dim = pdos[n].dimension;
        object(o, section(idx),
               {QStringLiteral("SubNumber=") + d(dim + 1),
                QStringLiteral("ParameterName=%1%2").arg(QLatin1String(prefix)).arg(n + 1), QStringLiteral("ObjectType=0x08")});
        object(o, subSection(idx, 0),
               entry(QStringLiteral("Number of Entries"), "0x0005", sub0Access, QStringLiteral("0x") + h(static_cast<uint32_t>(dim), 2)));
        for (int k = 1; k <= dim; ++k)
            object(o, subSection(idx, static_cast<uint32_t>(k)),
                   entry(QLatin1String(names[n]) + d(k), "0x0005", entryAccess, QStringLiteral("0x00"), 1));
    }
}

void sdoObjects(QStringList& o, const SdoList& sdos)
{
    for (const SDO_Index& e : sdos) {
        if (e.Sub_Indexs.empty())
            continue;
        const uint8_t smallest = e.Sub_Indexs.front().Sub;
        const uint8_t largest = e.Sub_Indexs.back().Sub;
        const bool withSub0 = smallest != 0;
        object(o, section(e.Index),
               {QStringLiteral("SubNumber=") + d(static_cast<int64_t>(e.Sub_Indexs.size()) + (withSub0 ? 1 : 0)),
                QStringLiteral("ParameterName=App Vars"), QStringLiteral("ObjectType=0x9")});
        if (withSub0)
            object(o, subSection(e.Index, 0),
                   {QStringLiteral("ParameterName=Largest Sub-Index supported"), QStringLiteral("ObjectType=0x7"),
                    QStringLiteral("DataType=0x0005"), QStringLiteral("AccessType=ro"),
                    QStringLiteral("DefaultValue=0x") + h(largest, 2), QStringLiteral("PDOMapping=0")});
        for (const SDO_Sub_Type& s : e.Sub_Indexs) {
            QStringList l{QStringLiteral("ParameterName=Application Variable"), QStringLiteral("ObjectType=0x7")};
            if (s.Quantity == 1)
                l << QStringLiteral("DataType=0x0005") << QStringLiteral("LowLimit=0x00") << QStringLiteral("HighLimit=0xFF")
                  << QStringLiteral("DefaultValue=0x00");
            else if (s.Quantity == 2)
                l << QStringLiteral("DataType=0x0006") << QStringLiteral("LowLimit=0x0000")
                  << QStringLiteral("HighLimit=0xFFFF") << QStringLiteral("DefaultValue=0x0000");
            else
                l << QStringLiteral("DataType=0x0007") << QStringLiteral("LowLimit=0x00000000")
                  << QStringLiteral("HighLimit=0xFFFFFFFF") << QStringLiteral("DefaultValue=0x00000000");
            l << (s.Readonly ? QStringLiteral("AccessType=ro") : QStringLiteral("AccessType=rw"))
              << QStringLiteral("PDOMapping=0");
            object(o, subSection(e.Index, s.Sub), l);
        }
    }
}

std::vector<PdoSlot> readPdoSection(const image::TableFile& table, const char* name)
{
    std::vector<PdoSlot> slots;
    for (const image::TableRow& row : sectionRows(table, name)) {
        if (row.number() > kMaxPdos)
            break;
        const image::RowValues r(row);
        PdoSlot s;
        s.cobId = r.intOr("COB-ID", 0);
        s.dimension = r.intOr("Dimension", 8);
        if (s.dimension < 1 || s.dimension > 8)
            throw UserError(r.errorText("Dimension", QStringLiteral("must be between 1 and 8, not %1.").arg(s.dimension)));
        slots.push_back(s);
    }
    return slots;
}

} // namespace

PdoTable Read_PDO_Table()
{
    PdoTable t;
    const std::unique_ptr<image::TableFile> table = openProjectTable(workspace::ws().Path_PDO_CANopen);
    if (!table)
        return t;
    t.receive = readPdoSection(*table, "Receive_PDO");
    t.transmit = readPdoSection(*table, "Transmit_PDO");
    return t;
}

void Add_SDO_Entry(SdoList& list, uint16_t index, uint8_t sub, uint8_t quantity, bool readonly)
{
    const auto it = std::find_if(list.begin(), list.end(), [&](const SDO_Index& e) { return e.Index == index; });
    if (it == list.end())
        list.push_back({index, {{sub, quantity, readonly}}});
    else
        it->Sub_Indexs.push_back({sub, quantity, readonly});
}

void Sort_SDO_Sub_Indexes(SdoList& list)
{
    for (SDO_Index& e : list)
        std::stable_sort(e.Sub_Indexs.begin(), e.Sub_Indexs.end(),
                         [](const SDO_Sub_Type& a, const SDO_Sub_Type& b) { return a.Sub < b.Sub; });
}

SdoList Read_SDO_Server_Table()
{
    SdoList list;
    const std::unique_ptr<image::TableFile> table = openProjectTable(workspace::ws().Path_SDO_Server_CANopen);
    if (!table)
        return list;
    for (const char* section : {"SDO_Read", "SDO_Write"}) {
        const bool readonly = section == std::string_view("SDO_Read");
        for (const image::TableRow& row : sectionRows(*table, section)) {
            const image::RowValues r(row);
            const QString place = row.place();
            const int32_t index = r.requiredInt("Index");
            const int32_t sub = r.requiredInt("SubIndex");
            const int32_t bytes = r.requiredInt("NByte");
            // Out-of-range values would be cut to another object's index in the file.
            if (index < 0 || index > 0xFFFF)
                throw UserError(QStringLiteral("%1: the index %2 is outside 0..0xFFFF.").arg(place).arg(index));
            if (sub < 0 || sub > 0xFF)
                throw UserError(QStringLiteral("%1: the sub-index %2 is outside 0..255.").arg(place).arg(sub));
            // The master's tool would read two sections of one name.
            for (const SDO_Index& e : list)
                if (e.Index == index)
                    for (const SDO_Sub_Type& s : e.Sub_Indexs)
                        if (s.Sub == sub)
                            throw UserError(QStringLiteral("%1: the index 0x%2 with sub-index %3 is given twice.")
                                                .arg(place, h4(static_cast<uint32_t>(index)))
                                                .arg(sub));
            const uint8_t quantity = bytes == 1 || bytes == 2 ? static_cast<uint8_t>(bytes) : uint8_t(4);
            Add_SDO_Entry(list, static_cast<uint16_t>(index), static_cast<uint8_t>(sub), quantity, readonly);
        }
    }
    return list;
}

QString edsTime(const QTime& t)
{
    const int hour = t.hour();
    const int twelve = hour % 12 == 0 ? 12 : hour % 12;
    return QStringLiteral("%1:%2%3")
        .arg(twelve, 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString edsDate(const QDate& dt)
{
    return QStringLiteral("%1-%2-%3")
        .arg(dt.month(), 2, 10, QLatin1Char('0'))
        .arg(dt.day(), 2, 10, QLatin1Char('0'))
        .arg(dt.year());
}

QStringList edsLines(const PdoTable& pdos, const SdoList& sdos, const QDateTime& now)
{
    const QString time = edsTime(now.time());
    const QString date = edsDate(now.date());
    const auto nRx = static_cast<int64_t>(pdos.receive.size());
    const auto nTx = static_cast<int64_t>(pdos.transmit.size());
    QStringList o;
    o << QStringLiteral("[FileInfo]") << QStringLiteral("FileName=BACnet_CANopen.eds") << QStringLiteral("FileVersion=1")
      << QStringLiteral("FileRevision=0") << QStringLiteral("EDSVersion=4.0")
      << QStringLiteral("Description=Converter BACnet / CANopen") << QStringLiteral("CreationTime=") + time
      << QStringLiteral("CreationDate=") + date << QStringLiteral("CreatedBy=OstrelCorp")
      << QStringLiteral("ModificationTime=") + time << QStringLiteral("ModificationDate=") + date
      << QStringLiteral("ModifiedBy=OstrelCorp") << QString();
    o << QStringLiteral("[DeviceInfo]") << QStringLiteral("VendorName=OstrelCorp") << QStringLiteral("VendorNumber=0x00")
      << QStringLiteral("ProductName=Converter BACnet / CANopen") << QStringLiteral("ProductNumber=119")
      << QStringLiteral("RevisionNumber=0x0") << QStringLiteral("OrderCode=GX30119");
    for (const char* rate : {"10=1", "20=1", "50=1", "125=1", "250=1", "500=1", "800=0", "1000=1"})
        o << QStringLiteral("BaudRate_") + QLatin1String(rate);
    o << QStringLiteral("DynamicChannelsSupported=0") << QStringLiteral("GroupMessaging=0")
      << QStringLiteral("LSS_Supported=0") << QStringLiteral("Granularity=0") << QStringLiteral("SimpleBootUpSlave=1")
      << QStringLiteral("SimpleBootUpMaster=0") << QStringLiteral("NrOfRXPDO=") + d(nRx)
      << QStringLiteral("NrOfTXPDO=") + d(nTx) << QString();
    o << QStringLiteral("[Comments]") << QStringLiteral("Lines=0") << QString();
    o << QStringLiteral("[DummyUsage]");
    for (int i = 1; i <= 7; ++i)
        o << QStringLiteral("Dummy000%1=0").arg(i);
    o << QString();
    o << QStringLiteral("[MandatoryObjects]") << QStringLiteral("SupportedObjects=3") << QStringLiteral("1=0x1000")
      << QStringLiteral("2=0x1001") << QStringLiteral("3=0x1018") << QString();

    o << QStringLiteral("[OptionalObjects]") << QStringLiteral("SupportedObjects=") + d(8 + 3 * nRx + 3 * nTx);
    int number = 0;
    const auto listed = [&](uint32_t index) { o << d(++number) + QStringLiteral("=0x") + h4(index); };
    for (uint32_t index : {0x1005u, 0x1006u, 0x1008u, 0x1014u, 0x1016u, 0x1017u, 0x1029u, 0x1280u})
        listed(index);
    const auto each = [&](uint32_t base, int64_t count) {
        for (int64_t n = 0; n < count; ++n)
            listed(base + static_cast<uint32_t>(n));
    };
    each(0x1400, nRx);
    each(0x1600, nRx);
    each(0x1800, nTx);
    each(0x1A00, nTx);
    each(0x7000, nRx);
    each(0x7050, nTx);
    o << QString();

    o << QStringLiteral("[ManufacturerObjects]") << QStringLiteral("SupportedObjects=") + d(static_cast<int64_t>(sdos.size()));
    for (size_t i = 0; i < sdos.size(); ++i)
        o << d(static_cast<int64_t>(i) + 1) + QStringLiteral("=0x") + h4(sdos[i].Index);
    o << QString();

    fixedObjects(o);
    communication(o, 0x1400, "Receive PDO Communication Parameter", pdos.receive);
    mapping(o, 0x1600, 0x7000, QStringLiteral("Receive PDO Mapping Parameter"), false, pdos.receive);
    communication(o, 0x1800, "Transmit PDO Communication Parameter", pdos.transmit);
    mapping(o, 0x1A00, 0x7050, QStringLiteral("Transmit PDO Mapping Parameter"), true, pdos.transmit);
    application(o, 0x7000, "RPDO", kReceiveNames, "ro", "rww", pdos.receive);
    application(o, 0x7050, "TPDO", kTransmitNames, "rw", "rwr", pdos.transmit);
    sdoObjects(o, sdos);
    o << QString();
    return o;
}

void Write_EDS_File(const QString& fileName)
{
    const PdoTable pdos = Read_PDO_Table();
    SdoList sdos = Read_SDO_Server_Table();
    Sort_SDO_Sub_Indexes(sdos);
    writeExportFile(fileName, edsLines(pdos, sdos, platform::clock().now()), platform::LinesEncoding::Cp1252);
}

} // namespace exports
