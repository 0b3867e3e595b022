#include "update/EthernetUpdateXml.h"

#include "parameters/ParGenFile.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"

#include <QStringList>
#include <vector>

using platform::XmlDocument;
using platform::XmlNode;

namespace update {

namespace {

QString s(const char* latin1) { return QString::fromLatin1(latin1); }
QString flag(bool b) { return b ? s("1") : s("0"); }

// One Operation element. Every field starts at the value most operations have.
struct Operation {
    QString protectionEnabled;
    QString goToBootBefore = s("0");
    QString goToAppBefore = s("0");
    QString ipAddress;
    QString port = s("2008");
    std::optional<QString> portSec = s("2007"); // no value: the element is left out
    QString eraseMemory = s("0");
    QString fileName;
    QString startAddress;
    QString memoryType = s("0");
    QString bankType;
    QString readBack;
    QString writeCss;
    QString addressCss;
    QString commandCss = s("0x0B");
    QString writeInternalData = s("0");
    QString widAddress;
    QString widCommand = s("0x0B");
    QString widData;
    QString goToAppAfter;

    void appendTo(XmlNode operations) const
    {
        XmlNode o = operations.appendElement(s("Operation"));
        o.appendTextElement(s("Ope_Protection_Enabled"), protectionEnabled);
        o.appendTextElement(s("Ope_GoToBoot_Before"), goToBootBefore);
        o.appendTextElement(s("Ope_GoToApp_Before"), goToAppBefore);
        o.appendTextElement(s("Ope_IP_Address"), ipAddress);
        o.appendTextElement(s("Ope_Port"), port);
        if (portSec)
            o.appendTextElement(s("Ope_Port_Sec"), *portSec);
        o.appendTextElement(s("Ope_Erase_Memory"), eraseMemory);
        o.appendTextElement(s("Ope_FileName"), fileName);
        o.appendTextElement(s("Ope_Start_Address"), startAddress);
        o.appendTextElement(s("Ope_Memory_Type"), memoryType);
        o.appendTextElement(s("Ope_Bank_Type"), bankType);
        o.appendTextElement(s("Ope_Read_Back"), readBack);
        o.appendTextElement(s("Ope_Write_CSS"), writeCss);
        o.appendTextElement(s("Ope_Address_CSS"), addressCss);
        o.appendTextElement(s("Ope_Command_CSS"), commandCss);
        o.appendTextElement(s("Ope_Write_Internal_Data"), writeInternalData);
        o.appendTextElement(s("Ope_WID_Address"), widAddress);
        o.appendTextElement(s("Ope_WID_Command"), widCommand);
        o.appendTextElement(s("Ope_WID_Data"), widData);
        o.appendTextElement(s("Ope_GoToApp_After"), goToAppAfter);
    }
};

struct Header {
    QString title;
    QString bootPort;
    std::optional<QString> bootPortSec;
    QString addressProtection;
    QStringList protections;
};

XmlNode appendHeader(XmlDocument& doc, const EthernetUpdateRequest& r, const Header& h)
{
    doc.clear();
    XmlNode root = doc.appendElement(s("Ethernet_Update"));
    root.appendTextElement(s("Version"), s("1000"));
    root.appendTextElement(s("Title"), h.title);
    root.appendTextElement(s("IP_Address_Dev"), r.address.text());
    root.appendTextElement(s("Application_Port"), s("10000"));
    root.appendTextElement(s("Boot_Port"), h.bootPort);
    if (h.bootPortSec)
        root.appendTextElement(s("Boot_Port_Sec"), *h.bootPortSec);
    root.appendTextElement(s("Address_Protection"), h.addressProtection);
    XmlNode protections = root.appendElement(s("Protections"));
    for (const QString& p : h.protections)
        protections.appendTextElement(s("Protection"), p);
    return root.appendElement(s("Operations"));
}

QString title(const char* model) { return QStringLiteral("OstrelCorp - GS%1 Ethernet Update").arg(QLatin1String(model)); }

QString masterFile(const EthernetUpdateRequest& r, const QString& name) { return platform::joinPath(r.masterDir, name); }
QString binFile(const EthernetUpdateRequest& r, const QString& name)
{
    return platform::joinPath(r.projectDir, QStringLiteral("bin/") + name);
}

// The protection values of device types 1001-1003 by converter index 0..4; any other index takes
// the first.
QString protectionByIndex(const char* const (&values)[5], int32_t index)
{
    return s(values[(index >= 0 && index < 5) ? index : 0]);
}

// Loads a project file that exists; throws when it is not XML.
void loadExisting(XmlDocument& doc, const QString& path)
{
    QString error;
    if (!doc.load(path, &error))
        throw platform::UserError(QStringLiteral("Cannot read %1: %2").arg(path, error));
}

// Device types 0, 2, 4, 6, 7, 8, 11, 12, 17, 19 and 21: one bank image at a fixed address.
struct GroupARow {
    int32_t deviceType;
    const char* model;
    const char* protectionBACnet1; // BACnet type 1
    const char* protectionOther;
};
constexpr GroupARow kGroupA[] = {
    {0, "30113", "0xE5", "0x84"},    {2, "30114", "0xEF", "0x86"},   {4, "30116", "0x15C", "0x88"},
    {6, "30117", "0x178", "0x89"},   {7, "30118", "0xE9", "0x8A"},   {8, "30119", "0x10F", "0x8B"},
    {11, "30122", "0x2C1", "0x8E"},  {12, "30123", "0xED", "0x8F"},  {17, "30127", "0x11C", "0x11B"},
    {19, "30107", "0x13F", "0x13E"}, {21, "30104", nullptr, nullptr},
};

void buildGroupA(const EthernetUpdateRequest& r, const GroupARow& row, XmlDocument& doc)
{
    Header h;
    h.title = title(row.model);
    h.bootPort = s("2008");
    h.bootPortSec = s("2007");
    h.addressProtection = s("0x78000");
    if (r.deviceType == 21)
        h.protections = {s("0x17E"), s("0x17F"), s("0x180"), s("0x181")};
    else
        h.protections = {s(r.bacnetType == 1 ? row.protectionBACnet1 : row.protectionOther)};
    XmlNode operations = appendHeader(doc, r, h);

    const UpdateChoices& c = r.choices;
    if (c.firmware) {
        Operation o;
        o.fileName = masterFile(r, QStringLiteral("sim%1.sim").arg(QLatin1String(row.model)));
        o.startAddress = s("0x8000");
        o.bankType = s("1");
        o.readBack = flag(c.readFirmware);
        o.writeCss = s("1");
        o.addressCss = s("0x78100");
        o.widAddress = s("0x78200");
        o.goToAppAfter = flag(!c.configuration);
        o.appendTo(operations);
    }
    if (c.configuration) {
        Operation o;
        o.fileName = binFile(r, s("bank1.bin"));
        o.startAddress = (r.deviceType == 17 || r.deviceType == 19) ? s("0x57800") : s("0x4F800");
        o.bankType = s("2");
        o.readBack = flag(c.readConfiguration);
        o.writeCss = s("0");
        o.addressCss = s("0x50100");
        o.writeInternalData = flag(r.deviceType == 21);
        o.widAddress = s("0x78200");
        o.widData = s("0x00, 0x00, 0x00, 0x01");
        o.goToAppAfter = s("1");
        o.appendTo(operations);
    }
}

// Device types 20, 1001, 1002 and 1003: the configuration in bank3.bin (and bank4.bin for 1001).
void buildGroupB(const EthernetUpdateRequest& r, XmlDocument& doc)
{
    static const char* const k1001[5] = {"0x14D", "0x183", "0x184", "0x185", "0x186"};
    static const char* const k1002[5] = {"0x1A4", "0x1A5", "0x1A6", "0x1A7", "0x1A8"};
    static const char* const k1003[5] = {"0x1CA", "0x1CB", "0x1CC", "0x1CD", "0x1CE"};

    // Read the project files before the document is cleared: a file that cannot be read ends
    // the build with nothing written.
    QString bacnetIp;
    if (r.deviceType == 1001)
        bacnetIp = readBACnetIpAddress(r.pathParGen).value_or(r.address.text());

    Header h;
    h.bootPort = s("2008");
    h.bootPortSec = s("2007");
    h.addressProtection = s("0x50000");
    const char* model = "";
    const char* firmware = "";
    switch (r.deviceType) {
    case 20:
        model = "30133";
        firmware = "30102";
        h.protections = {QString()};
        break;
    case 1001:
        model = firmware = "30128";
        h.protections = {protectionByIndex(k1001, readConverterIndex(r.pathMBusCustomQV))};
        break;
    case 1002:
        model = firmware = "30130";
        h.protections = {protectionByIndex(k1002, readConverterIndex(r.pathMBusCustomQV))};
        break;
    default: // 1003
        model = firmware = "30129";
        h.protections = {protectionByIndex(k1003, readConverterIndex(r.pathMBusCustomQV))};
        break;
    }
    h.title = title(model);
    XmlNode operations = appendHeader(doc, r, h);

    const UpdateChoices& c = r.choices;
    auto common = [](Operation& o) {
        o.addressCss = s("0x50100");
        o.widAddress = s("0x78200");
    };
    if (c.firmware) {
        Operation o;
        common(o);
        o.fileName = masterFile(r, QStringLiteral("sim%1.sim").arg(QLatin1String(firmware)));
        o.startAddress = s("0x8000");
        o.bankType = s("1");
        o.readBack = flag(c.readFirmware);
        o.writeCss = s("1");
        o.goToAppAfter = flag(!c.configuration);
        o.appendTo(operations);
    }
    if (c.configuration) {
        Operation o;
        common(o);
        o.fileName = binFile(r, s("bank3.bin"));
        o.startAddress = s("0x50800");
        o.bankType = s("2");
        o.readBack = flag(c.readConfiguration);
        o.writeCss = s("0");
        o.goToAppAfter = flag(r.deviceType != 1001);
        o.appendTo(operations);
    }
    if (c.configuration && r.deviceType == 1001) {
        Operation o;
        common(o);
        o.goToAppBefore = s("1");
        o.ipAddress = bacnetIp;
        o.port = s("10000");
        o.portSec.reset();
        o.fileName = binFile(r, s("bank4.bin"));
        o.startAddress = s("0x400");
        o.memoryType = s("2");
        o.bankType = s("2");
        o.readBack = flag(c.readConfiguration);
        o.writeCss = s("0");
        o.goToAppAfter = s("0");
        o.appendTo(operations);
    }
}

void save(const XmlDocument& doc, const QString& path)
{
    platform::XmlSaveOptions options;
    options.indent = QStringLiteral("  ");
    options.declaration = true;
    QString error;
    if (!doc.save(path, options, &error))
        throw platform::UserError(QStringLiteral("Cannot write %1: %2").arg(path, error));
}

} // namespace

int32_t readConverterIndex(const QString& pathMBusCustomQV)
{
    if (!platform::fileExists(pathMBusCustomQV))
        return 0;
    XmlDocument doc;
    loadExisting(doc, pathMBusCustomQV);
    const auto index = doc.rootElement().element(s("Type_Converter")).elementText(s("Index"));
    return index ? platform::toIntDef(*index, 0) : 0;
}

std::optional<QString> readBACnetIpAddress(const QString& pathParGen)
{
    parameters::ParGenFile parGen;
    QString error;
    switch (parGen.load(pathParGen, &error)) {
    case parameters::ParGenFile::Status::NoFile:
        return std::nullopt;
    case parameters::ParGenFile::Status::Damaged:
        throw platform::UserError(QStringLiteral("Cannot read %1: %2").arg(pathParGen, error));
    case parameters::ParGenFile::Status::Loaded:
        break;
    }
    const int32_t defaults[4] = {192, 168, 0, 5};
    QStringList parts;
    for (int i = 0; i < 4; ++i)
        parts << QString::number(parGen.keyInt(QStringLiteral("BACnet_IP%1").arg(i + 1), defaults[i]));
    return parts.join(QLatin1Char('.'));
}

void buildEthernetUpdate(const EthernetUpdateRequest& request, XmlDocument& doc)
{
    for (const GroupARow& row : kGroupA)
        if (row.deviceType == request.deviceType)
            return buildGroupA(request, row, doc);
    switch (request.deviceType) {
    case 20:
    case 1001:
    case 1002:
    case 1003:
        return buildGroupB(request, doc);
    default:
        throw platform::UserError(
            QStringLiteral("Device type %1 has no Ethernet update settings").arg(request.deviceType));
    }
}

void buildEthernetUpdate102(const EthernetUpdateRequest& r, XmlDocument& doc)
{
    Header h;
    h.title = s("OstrelCorp - GS30102 Ethernet Update");
    h.bootPort = s("2007");
    h.addressProtection = s("0x78000");
    h.protections = {s("0x85"), s("0x198"), s("0x199")};
    XmlNode operations = appendHeader(doc, r, h);

    struct Row {
        const char* protection;
        QString file;
        const char* start;
        const char* bank;
        bool firmware;
        const char* widAddress;
        QString goToAppAfter;
    };
    const UpdateChoices& c = r.choices;
    const QString afterFirmware = flag(!c.configuration);
    const Row firmware[] = {
        {"0x85", masterFile(r, s("sim30102.sim")), "0x8000", "1", true, "0x78200", afterFirmware},
        {"0x198, 0x199", masterFile(r, s("Sim30102_B244.sim")), "0x8000", "1", true, "0x78300", afterFirmware},
    };
    const Row configuration[] = {
        {"0x85", binFile(r, s("bank1.bin")), "0x50000", "2", false, "0x78300", s("0")},
        {"0x85", binFile(r, s("bank2.bin")), "0x60000", "2", false, "0x78300", s("1")},
        {"0x198, 0x199", binFile(r, s("bank3.bin")), "0x4F800", "2", false, "0x78300", s("1")},
    };
    auto append = [&](const Row& row) {
        Operation o;
        o.protectionEnabled = s(row.protection);
        o.fileName = row.file;
        o.startAddress = s(row.start);
        o.bankType = s(row.bank);
        o.readBack = flag(row.firmware ? c.readFirmware : c.readConfiguration);
        o.writeCss = flag(row.firmware);
        o.addressCss = row.firmware ? s("0x78100") : s("0x50100");
        o.widAddress = s(row.widAddress);
        o.goToAppAfter = row.goToAppAfter;
        o.appendTo(operations);
    };
    if (c.firmware)
        for (const Row& row : firmware)
            append(row);
    if (c.configuration)
        for (const Row& row : configuration)
            append(row);
}

void Compile_XML_Parameter(const EthernetUpdateRequest& request, const QString& path)
{
    XmlDocument doc;
    buildEthernetUpdate(request, doc);
    save(doc, path);
}

void Compile_XML_Parameter_102(const EthernetUpdateRequest& request, const QString& path)
{
    XmlDocument doc;
    buildEthernetUpdate102(request, doc);
    save(doc, path);
}

} // namespace update
