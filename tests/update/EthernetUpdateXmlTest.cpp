#include "update/EthernetUpdateXml.h"

#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace update;
using testing_support::dataFile;
using testing_support::TempDir;

namespace {

// The fixed folders of the golden files.
EthernetUpdateRequest request(int deviceType, UpdateChoices choices, uint32_t bacnetType = 0)
{
    EthernetUpdateRequest r;
    r.deviceType = deviceType;
    r.address = Ipv4Address{{192, 168, 2, 205}};
    r.choices = choices;
    r.bacnetType = bacnetType;
    r.masterDir = QStringLiteral("/opt/varnetor/MASTER");
    r.projectDir = QStringLiteral("/opt/varnetor/PROJECTS/Plant");
    return r;
}

QByteArray deviceList(const char* index)
{
    return QByteArray("<Configuration_MBus_BACnet><Type_Converter><Index>") + index +
           "</Index></Type_Converter><List_Devices/></Configuration_MBus_BACnet><!--SW_VERSION = 2.001-->";
}

QByteArray written(const TempDir& dir, const EthernetUpdateRequest& r, bool is102 = false)
{
    const QString out = dir.file(QStringLiteral("Ethernet_Update.xml"));
    if (is102)
        Compile_XML_Parameter_102(r, out);
    else
        Compile_XML_Parameter(r, out);
    return dir.read(QStringLiteral("Ethernet_Update.xml"));
}

// Texts of the named child of every Operation, in order.
QStringList operationValues(const platform::XmlDocument& doc, const char* child)
{
    QStringList values;
    const platform::XmlNode ops = doc.rootElement().element(QStringLiteral("Operations"));
    for (int i = 0; i < ops.elementCount(); ++i)
        values << ops.elementAt(i).elementText(QLatin1String(child)).value_or(QStringLiteral("(none)"));
    return values;
}

QStringList protections(const platform::XmlDocument& doc)
{
    QStringList values;
    const platform::XmlNode p = doc.rootElement().element(QStringLiteral("Protections"));
    for (int i = 0; i < p.elementCount(); ++i)
        values << p.elementAt(i).text();
    return values;
}

} // namespace

TEST(EthernetUpdateXml, GoldenFiles)
{
    TempDir dir;
    // Device type 1001 reads the BACnet/IP address of its second configuration operation from
    // the general parameters (a missing part takes its default) and, like 1002, the converter
    // index from the device list; 1003 has no device list and takes index 0.
    const QString parGen = dir.write(QStringLiteral("P/ParGen.xml"),
                                     "<Par_Gen><BACnet_IP1>10</BACnet_IP1><BACnet_IP2>1</BACnet_IP2>"
                                     "<BACnet_IP3>x</BACnet_IP3></Par_Gen><!--SW_VERSION = 1-->");
    const QString list3 = dir.write(QStringLiteral("P/M_Bus_Custom_QV.xml"), deviceList("3"));
    const QString list2 = dir.write(QStringLiteral("Q/M_Bus_Custom_QV.xml"), deviceList("2"));

    struct Case {
        const char* golden;
        EthernetUpdateRequest request;
        bool is102 = false;
    };
    std::vector<Case> cases = {
        {"Ethernet_Update_0.xml", request(0, {true, true, true, true}, 1)},
        {"Ethernet_Update_1.xml", request(1, {true, true, true, true}), true},
        {"Ethernet_Update_20.xml", request(20, {true, false, true, true})},
        {"Ethernet_Update_21.xml", request(21, {true, false, true, false}, 1)},
        {"Ethernet_Update_1001.xml", request(1001, {true, true, true, false})},
        {"Ethernet_Update_1002.xml", request(1002, {true, false, false, true})},
        {"Ethernet_Update_1003.xml", request(1003, {false, true, true, true})},
    };
    cases[4].request.pathParGen = parGen;
    cases[4].request.pathMBusCustomQV = list3;
    cases[5].request.pathMBusCustomQV = list2;
    cases[6].request.pathMBusCustomQV = dir.file(QStringLiteral("none/M_Bus_Custom_QV.xml"));
    for (const Case& c : cases)
        EXPECT_EQ(written(dir, c.request, c.is102), dataFile(QStringLiteral("update/") + QLatin1String(c.golden)))
            << c.golden;
}

TEST(EthernetUpdateXml, OperationsFollowTheChosenWrites)
{
    struct Case {
        int deviceType;
        UpdateChoices choices;
        bool is102;
        const char* files;      // Ope_FileName of each operation, basenames joined by " "
        const char* afterApp;   // Ope_GoToApp_After of each operation
    };
    const Case cases[] = {
        {0, {true, true, false, true}, false, "sim30113.sim", "1"},
        {0, {false, true, true, true}, false, "bank1.bin", "1"},
        {0, {false, true, false, true}, false, "", ""},
        {17, {true, false, true, false}, false, "sim30127.sim bank1.bin", "0 1"},
        {1, {true, true, false, false}, true, "sim30102.sim Sim30102_B244.sim", "1 1"},
        {1, {false, false, true, true}, true, "bank1.bin bank2.bin bank3.bin", "0 1 1"},
        {1, {false, false, false, false}, true, "", ""},
        {1001, {true, true, false, false}, false, "sim30128.sim", "1"},
        {1001, {false, false, true, false}, false, "bank3.bin bank4.bin", "0 0"},
        {20, {true, true, true, true}, false, "sim30102.sim bank3.bin", "0 1"},
        {1002, {true, false, true, false}, false, "sim30130.sim bank3.bin", "0 1"},
        {1003, {true, false, true, true}, false, "sim30129.sim bank3.bin", "0 1"},
    };
    for (const Case& c : cases) {
        platform::XmlDocument doc;
        if (c.is102)
            buildEthernetUpdate102(request(c.deviceType, c.choices), doc);
        else
            buildEthernetUpdate(request(c.deviceType, c.choices), doc);
        QStringList files;
        for (const QString& f : operationValues(doc, "Ope_FileName"))
            files << f.section(QLatin1Char('/'), -1);
        EXPECT_EQ(files.join(QLatin1Char(' ')), QLatin1String(c.files)) << c.deviceType;
        EXPECT_EQ(operationValues(doc, "Ope_GoToApp_After").join(QLatin1Char(' ')), QLatin1String(c.afterApp))
            << c.deviceType;
    }
}

TEST(EthernetUpdateXml, FirmwareImageAndConfigurationAddressByDeviceType)
{
    // Firmware image, configuration start address and internal-data write of the models that
    // take one bank image; 17 and 19 keep their configuration higher in memory.
    struct Case {
        int deviceType;
        const char* firmware;
        const char* configStart;
        const char* internalData;
    };
    const Case cases[] = {
        {0, "sim30113.sim", "0x4F800", "0"},  {2, "sim30114.sim", "0x4F800", "0"},
        {4, "sim30116.sim", "0x4F800", "0"},  {6, "sim30117.sim", "0x4F800", "0"},
        {7, "sim30118.sim", "0x4F800", "0"},  {8, "sim30119.sim", "0x4F800", "0"},
        {11, "sim30122.sim", "0x4F800", "0"}, {12, "sim30123.sim", "0x4F800", "0"},
        {17, "sim30127.sim", "0x57800", "0"}, {19, "sim30107.sim", "0x57800", "0"},
        {21, "sim30104.sim", "0x4F800", "1"},
    };
    for (const Case& c : cases) {
        platform::XmlDocument doc;
        buildEthernetUpdate(request(c.deviceType, {true, false, true, false}), doc);
        EXPECT_EQ(operationValues(doc, "Ope_FileName"),
                  QStringList({QStringLiteral("/opt/varnetor/MASTER/") + QLatin1String(c.firmware),
                               QStringLiteral("/opt/varnetor/PROJECTS/Plant/bin/bank1.bin")}))
            << c.deviceType;
        EXPECT_EQ(operationValues(doc, "Ope_Start_Address"),
                  QStringList({QStringLiteral("0x8000"), QLatin1String(c.configStart)}))
            << c.deviceType;
        EXPECT_EQ(operationValues(doc, "Ope_Write_Internal_Data"),
                  QStringList({QStringLiteral("0"), QLatin1String(c.internalData)}))
            << c.deviceType;
    }
}

TEST(EthernetUpdateXml, ProtectionByDeviceTypeAndBACnetType)
{
    struct Case {
        int deviceType;
        uint32_t bacnetType;
        QStringList expected;
    };
    const Case cases[] = {
        {0, 1, {QStringLiteral("0xE5")}},   {0, 0, {QStringLiteral("0x84")}},   {0, 2, {QStringLiteral("0x84")}},
        {2, 1, {QStringLiteral("0xEF")}},   {4, 3, {QStringLiteral("0x88")}},   {6, 1, {QStringLiteral("0x178")}},
        {7, 0, {QStringLiteral("0x8A")}},   {8, 1, {QStringLiteral("0x10F")}},  {11, 1, {QStringLiteral("0x2C1")}},
        {12, 0, {QStringLiteral("0x8F")}},  {17, 1, {QStringLiteral("0x11C")}}, {19, 0, {QStringLiteral("0x13E")}},
        {21, 0, {QStringLiteral("0x17E"), QStringLiteral("0x17F"), QStringLiteral("0x180"), QStringLiteral("0x181")}},
        {20, 1, {QString()}},
    };
    for (const Case& c : cases) {
        platform::XmlDocument doc;
        buildEthernetUpdate(request(c.deviceType, {}, c.bacnetType), doc);
        EXPECT_EQ(protections(doc), c.expected) << c.deviceType << "/" << c.bacnetType;
    }
}

TEST(EthernetUpdateXml, ConverterIndexFromTheDeviceList)
{
    TempDir dir;
    struct Case {
        const char* name;
        QByteArray content; // empty: no file
        const char* expected1002;
    };
    const Case cases[] = {
        {"index 4", deviceList("4"), "0x1A8"},
        {"index 7", deviceList("7"), "0x1A4"},
        {"index -1", deviceList("-1"), "0x1A4"},
        {"hexadecimal index", deviceList("$1"), "0x1A5"},
        {"not a number", deviceList("two"), "0x1A4"},
        {"no Index", "<Configuration_MBus_BACnet><Type_Converter/></Configuration_MBus_BACnet>", "0x1A4"},
        {"no Type_Converter", "<Configuration_MBus_BACnet><Index>3</Index></Configuration_MBus_BACnet>", "0x1A4"},
        {"no file", QByteArray(), "0x1A4"},
        // The index lies under the root element whatever precedes it in the file.
        {"declaration first", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + deviceList("4"), "0x1A8"},
        {"comment first", "<!--SW_VERSION = 2.001-->" + deviceList("3"), "0x1A7"},
    };
    for (const Case& c : cases) {
        const QString path = c.content.isEmpty() ? dir.file(QStringLiteral("missing.xml"))
                                                 : dir.write(QStringLiteral("M_Bus_Custom_QV.xml"), c.content);
        EthernetUpdateRequest r = request(1002, {});
        r.pathMBusCustomQV = path;
        platform::XmlDocument doc;
        buildEthernetUpdate(r, doc);
        EXPECT_EQ(protections(doc), QStringList(QLatin1String(c.expected1002))) << c.name;
    }
    // The same index selects each model's own protection.
    const QString path = dir.write(QStringLiteral("M_Bus_Custom_QV.xml"), deviceList("1"));
    for (const auto& [dt, expected] : {std::pair{1001, "0x183"}, std::pair{1003, "0x1CB"}}) {
        EthernetUpdateRequest r = request(dt, {});
        r.pathMBusCustomQV = path;
        platform::XmlDocument doc;
        buildEthernetUpdate(r, doc);
        EXPECT_EQ(protections(doc), QStringList(QLatin1String(expected))) << dt;
    }
}

TEST(EthernetUpdateXml, SecondConfigurationOperationOf1001UsesTheAddressFieldsWithoutParGen)
{
    TempDir dir;
    EthernetUpdateRequest r = request(1001, {false, false, true, false});
    r.address = Ipv4Address{{10, 20, 30, 40}};
    r.pathParGen = dir.file(QStringLiteral("ParGen.xml")); // not there
    platform::XmlDocument doc;
    buildEthernetUpdate(r, doc);
    EXPECT_EQ(operationValues(doc, "Ope_IP_Address"), QStringList({QString(), QStringLiteral("10.20.30.40")}));
    EXPECT_EQ(operationValues(doc, "Ope_Port_Sec"), QStringList({QStringLiteral("2007"), QStringLiteral("(none)")}));

    // All four parts missing or not numbers: the defaults.
    r.pathParGen = dir.write(QStringLiteral("ParGen.xml"), "<Par_Gen><BACnet_IP4>z</BACnet_IP4></Par_Gen>");
    buildEthernetUpdate(r, doc);
    EXPECT_EQ(operationValues(doc, "Ope_IP_Address").value(1), QStringLiteral("192.168.0.5"));
}

TEST(EthernetUpdateXml, UnreadableProjectFileOrFailedSaveWritesNothing)
{
    TempDir dir;
    const QString out = dir.file(QStringLiteral("Ethernet_Update.xml"));
    const QByteArray previous = "<previous/>";
    dir.write(QStringLiteral("Ethernet_Update.xml"), previous);
    const QString broken = dir.write(QStringLiteral("broken.xml"), "<Par_Gen><BACnet_IP1>1</Par_Gen>");

    EthernetUpdateRequest r1001 = request(1001, {});
    r1001.pathParGen = broken;
    EXPECT_THROW(Compile_XML_Parameter(r1001, out), platform::UserError);
    EthernetUpdateRequest r1003 = request(1003, {});
    r1003.pathMBusCustomQV = broken;
    EXPECT_THROW(Compile_XML_Parameter(r1003, out), platform::UserError);
    EXPECT_EQ(dir.read(QStringLiteral("Ethernet_Update.xml")), previous);

    try {
        Compile_XML_Parameter(request(0, {}), dir.file(QStringLiteral("no/such/folder/Ethernet_Update.xml")));
        ADD_FAILURE() << "a failed save must be reported";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Ethernet_Update.xml"))) << e.message().toStdString();
    }
    // Not a device type of the common updater.
    EXPECT_THROW(Compile_XML_Parameter(request(3, {}), out), platform::UserError);
    EXPECT_EQ(dir.read(QStringLiteral("Ethernet_Update.xml")), previous);
}
