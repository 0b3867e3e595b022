#include "parameters/ParGen.h"
#include "support/TempDir.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace parameters;
using testing_support::dataFile;
using testing_support::TempDir;

namespace {

const int32_t kAllTypes[] = {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13,
                             14, 15, 16, 17, 18, 19, 20, 21, 1001, 1002, 1003, 2016};

ParGen readBytes(const QByteArray& bytes, int32_t type)
{
    ParGenFile f;
    EXPECT_EQ(f.loadBytes(bytes), ParGenFile::Status::Loaded);
    return readParGen(f, type);
}

// Element names of a written file, in order.
QStringList keysOf(const QByteArray& bytes)
{
    platform::XmlDocument d;
    EXPECT_TRUE(d.loadBytes(bytes));
    QStringList names;
    const platform::XmlNode root = d.firstNode();
    for (int i = 0; i < root.elementCount(); ++i)
        names << root.elementAt(i).name();
    return names;
}

// A model in which every key that belongs to the type differs from its missing default.
ParGen distinctValues(int32_t type, int bacnetType)
{
    const ParGen def;
    ParGen p;
    p.BACnet_Type = bacnetType;
    for (const KeyDesc& k : parGenKeys()) {
        if (!k.applies(type, bacnetType, false) || k.form == KeyForm::FixedText || k.form == KeyForm::FixedIndex ||
            k.member == KeyMember(&ParGen::BACnet_Type))
            continue;
        if (auto m = std::get_if<QString ParGen::*>(&k.member)) {
            p.**m = QStringLiteral("v ") + QLatin1String(k.key) + QStringLiteral(" <&>");
        } else if (auto b = std::get_if<bool ParGen::*>(&k.member)) {
            p.**b = !(def.**b);
        } else if (auto i = std::get_if<int ParGen::*>(&k.member)) {
            const int last = int(k.items(type).size()) - 1;
            p.**i = def.**i == last ? 0 : last;
        }
    }
    return p;
}

} // namespace

TEST(ParGenFormat, DefaultsOfEveryDeviceTypeMatchTheirGoldenFileAndReadBack)
{
    workspace::ScopedWorkspace scoped;
    for (int32_t type : kAllTypes) {
        SCOPED_TRACE(type);
        const QByteArray golden = dataFile(QStringLiteral("parameters/ParGen_%1.xml").arg(type));
        EXPECT_EQ(parGenBytes(ParGen{}, type), golden);
        EXPECT_EQ(readBytes(golden, type), ParGen{});
    }
}

TEST(ParGenFormat, EveryKeyOfEveryDeviceTypeSurvivesWriteAndRead)
{
    workspace::ScopedWorkspace scoped;
    for (int32_t type : kAllTypes) {
        const int lastBacnetType = type == 1 ? 2 : hasBacnetType(type) && type != 20 ? 1 : 0;
        for (int bt = 0; bt <= lastBacnetType; ++bt) {
            SCOPED_TRACE(testing::Message() << "type " << type << " BACnet type " << bt);
            const ParGen p = distinctValues(type, bt);
            const QByteArray bytes = parGenBytes(p, type);
            EXPECT_EQ(readBytes(bytes, type), p);
            QStringList keys = keysOf(bytes);
            EXPECT_EQ(keys.removeDuplicates(), 0); // each key once
        }
    }
}

TEST(ParGenFormat, SavesWholeFileAndLoadsItBack)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("ParGen.xml"));
    ParGen p = distinctValues(1002, 0);
    QString error;
    ASSERT_TRUE(saveParGen(path, p, 1002, &error)) << error.toStdString();
    EXPECT_EQ(dir.read(QStringLiteral("ParGen.xml")), parGenBytes(p, 1002));
    const ParGenLoad l = loadParGen(path, 1002);
    EXPECT_EQ(l.status, ParGenFile::Status::Loaded);
    EXPECT_EQ(l.values, p);

    EXPECT_FALSE(saveParGen(dir.file(QStringLiteral("gone/ParGen.xml")), p, 1002, &error));
    // The message names the file, as the table editors' do.
    EXPECT_TRUE(error.startsWith(QStringLiteral("Error! The file ParGen.xml cannot be written: "))) << error.toStdString();
    EXPECT_GT(error.size(), QStringLiteral("Error! The file ParGen.xml cannot be written: ").size());
}

TEST(ParGenFormat, DescriptionLimitFollowsTheBacnetType)
{
    ParGen p;
    p.BACnet_Desc_Chars_Limit = true;
    struct Case {
        int32_t type;
        int bacnetType;
        const char* after; // the key the limit follows, or null when it is not written
    } cases[] = {
        {3, 0, "BACnet_DEV_IDE"},   {3, 1, "BACnet_Ser_Network"},  {1, 2, "BACnet_Ser_Network"},
        {20, 1, "BACnet_DEV_IDE"},  {10, 0, "BACnet_DEV_IDE"},     {1002, 0, "BACnet_DEV_IDE"},
        {1001, 0, nullptr},         {3, 7, "BACnet_DEV_IDE"}, // an index outside the list is BACnet/IP
        {5, 1, "BACnet_DEV_IDE"},   // an unknown device type keeps its BACnet/IP keys
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << "/" << c.bacnetType);
        p.BACnet_Type = c.bacnetType;
        const QByteArray bytes = parGenBytes(p, c.type);
        const QStringList keys = keysOf(bytes);
        const qsizetype at = keys.indexOf(QStringLiteral("BACnet_Desc_Chars_Limit"));
        if (!c.after) {
            EXPECT_EQ(at, -1);
            continue;
        }
        ASSERT_GT(at, 0);
        EXPECT_EQ(keys[at - 1], QLatin1String(c.after));
        EXPECT_EQ(keys.count(QStringLiteral("BACnet_Desc_Chars_Limit")), 1);
        EXPECT_TRUE(readBytes(bytes, c.type).BACnet_Desc_Chars_Limit);
    }
    EXPECT_FALSE(parGenBytes(p, 5).contains("<!--"));
    EXPECT_EQ(keysOf(parGenBytes(p, 5)).size(), 19);
}

TEST(ParGenFormat, SecondEthernetPortOnlyWithBacnetTypeTwoOfDeviceTypeOne)
{
    ParGen p = distinctValues(1, 2);
    const QStringList keys = keysOf(parGenBytes(p, 1));
    const qsizetype eth = keys.indexOf(QStringLiteral("Eth2_IP1"));
    ASSERT_GT(eth, 0);
    EXPECT_EQ(keys[eth - 1], QStringLiteral("BACnet_Desc_Chars_Limit"));
    EXPECT_EQ(keys[eth + 12], QStringLiteral("Eth2_EN_GAT"));
    EXPECT_EQ(keys[eth + 13], QStringLiteral("Meter_Baud"));

    p.BACnet_Type = 1;
    EXPECT_FALSE(keysOf(parGenBytes(p, 1)).contains(QStringLiteral("Eth2_IP1")));
    // Keys 3 in a file whose BACnet type is not 2 are not read.
    const QByteArray stray = "<Par_Gen><BACnet_Type>1</BACnet_Type><Eth2_IP4>77</Eth2_IP4></Par_Gen>";
    EXPECT_EQ(readBytes(stray, 1).Eth2_IP4, QStringLiteral("10"));
    const QByteArray read = "<Par_Gen><Eth2_IP4>77</Eth2_IP4><BACnet_Type>2</BACnet_Type></Par_Gen>";
    EXPECT_EQ(readBytes(read, 1).Eth2_IP4, QStringLiteral("77"));
    // Device type 20 cannot choose type 2: its BACnet type is always 0, in the file and in reading.
    EXPECT_EQ(readBytes(read, 20).BACnet_Type, 0);
    EXPECT_EQ(readBytes(read, 20).Eth2_IP4, QStringLiteral("10"));
    ParGen t20;
    t20.BACnet_Type = 1;
    EXPECT_TRUE(parGenBytes(t20, 20).contains("<BACnet_Type>0</BACnet_Type>"));
}

TEST(ParGenFormat, ReadingRulesForTextsFlagsIndexesChoicesAndFixedValues)
{
    workspace::ScopedWorkspace scoped;
    struct Case {
        int32_t type;
        const char* element; // inside Par_Gen
        const char* key;
        const char* expected; // text, "1"/"0" for flags, decimal position for index and choice
    } cases[] = {
        // Flags: only "1" is set.
        {3, "<BACnet_EN_GAT>1</BACnet_EN_GAT>", "BACnet_EN_GAT", "1"},
        {3, "<BACnet_EN_GAT> 1</BACnet_EN_GAT>", "BACnet_EN_GAT", "0"},
        {3, "<BACnet_EN_GAT>true</BACnet_EN_GAT>", "BACnet_EN_GAT", "0"},
        {3, "<BACnet_EN_GAT></BACnet_EN_GAT>", "BACnet_EN_GAT", "0"},
        {3, "<BACnet_EN_GAT>01</BACnet_EN_GAT>", "BACnet_EN_GAT", "0"},
        // Texts are taken unchanged; an empty element stays empty.
        {3, "<BACnet_PORT></BACnet_PORT>", "BACnet_PORT", ""},
        {3, "<BACnet_PORT> 47809x</BACnet_PORT>", "BACnet_PORT", " 47809x"},
        {3, "", "BACnet_PORT", "47808"},
        {16, "<KNX_ID_DEV>1.2.3</KNX_ID_DEV>", "KNX_ID_DEV", "1.2.3"},
        // Indexes: a whole number inside the list; anything else is the missing position.
        {0, "<ModbusM_BAUDRATE>2</ModbusM_BAUDRATE>", "ModbusM_BAUDRATE", "2"},
        {0, "<ModbusM_BAUDRATE>8</ModbusM_BAUDRATE>", "ModbusM_BAUDRATE", "7"},
        {0, "<ModbusM_BAUDRATE>-1</ModbusM_BAUDRATE>", "ModbusM_BAUDRATE", "7"},
        {0, "<ModbusM_BAUDRATE>two</ModbusM_BAUDRATE>", "ModbusM_BAUDRATE", "7"},
        {0, "<ModbusM_BAUDRATE></ModbusM_BAUDRATE>", "ModbusM_BAUDRATE", "7"},
        {1, "<BACnet_Type>2</BACnet_Type>", "BACnet_Type", "2"},
        {3, "<BACnet_Type>2</BACnet_Type>", "BACnet_Type", "0"}, // type 2 is offered on device type 1 only
        {20, "<BACnet_Type>1</BACnet_Type>", "BACnet_Type", "0"},
        {1, "<BACnet_Ser_Baudrate>8</BACnet_Ser_Baudrate>", "BACnet_Ser_Baudrate", "8"},
        {3, "<BACnet_Ser_Baudrate>8</BACnet_Ser_Baudrate>", "BACnet_Ser_Baudrate", "3"},
        {7, "<CAN_BAUDRATE>10</CAN_BAUDRATE>", "CAN_BAUDRATE", "10"},
        {8, "<CANopen_BAUDRATE>9</CANopen_BAUDRATE>", "CANopen_BAUDRATE", "5"},
        {21, "<wMBus_Radio_Channel>8</wMBus_Radio_Channel>", "wMBus_Radio_Channel", "8"},
        // Choices: trimmed, case ignored; anything else is the first item.
        {17, "<SNMP_VER3_SECURITY_LEVEL>auth priv</SNMP_VER3_SECURITY_LEVEL>", "SNMP_VER3_SECURITY_LEVEL", "2"},
        {17, "<SNMP_VER3_SECURITY_LEVEL> Auth NoPriv </SNMP_VER3_SECURITY_LEVEL>", "SNMP_VER3_SECURITY_LEVEL", "1"},
        {17, "<SNMP_VER3_SECURITY_LEVEL>AuthPriv</SNMP_VER3_SECURITY_LEVEL>", "SNMP_VER3_SECURITY_LEVEL", "0"},
        {17, "<SNMP_VER3_AUTHORITY_MODE>sha</SNMP_VER3_AUTHORITY_MODE>", "SNMP_VER3_AUTHORITY_MODE", "1"},
        {17, "<SNMP_VER3_AUTHORITY_MODE>SHA1</SNMP_VER3_AUTHORITY_MODE>", "SNMP_VER3_AUTHORITY_MODE", "0"},
        {17, "<SNMP_VER3_PRIVACY_MODE>AES</SNMP_VER3_PRIVACY_MODE>", "SNMP_VER3_PRIVACY_MODE", "1"},
        // Fixed values, whatever the file holds.
        {9, "<PROFINET_PORT>1</PROFINET_PORT>", "PROFINET_PORT", "34964"},
        {1002, "<PROFINET_PORT></PROFINET_PORT>", "PROFINET_PORT", "34964"},
        {12, "<EtherNetIP_PORT>80</EtherNetIP_PORT>", "EtherNetIP_PORT", "44818"},
        {6, "<PROFIBUS_SLAVE_BAUDRATE>3</PROFIBUS_SLAVE_BAUDRATE>", "PROFIBUS_SLAVE_BAUDRATE", "0"},
        // Keys of another device type are not read.
        {3, "<DMX_Num_Channels>30</DMX_Num_Channels>", "DMX_Num_Channels", "512"},
        {9, "<PROFINET_AUTO_CALC_BYTE_USED>1</PROFINET_AUTO_CALC_BYTE_USED>", "PROFINET_AUTO_CALC_BYTE_USED", "0"},
        {1001, "<Meter_NS_Error_Code>9</Meter_NS_Error_Code>", "Meter_NS_Error_Code", "0"},
        {1001, "<BACnet_Desc_Chars_Limit>1</BACnet_Desc_Chars_Limit>", "BACnet_Desc_Chars_Limit", "0"},
        {10, "<BACnet_Type>1</BACnet_Type>", "BACnet_Type", "0"},
        // The first element of a name counts.
        {3, "<BACnet_Desc_Chars_Limit>1</BACnet_Desc_Chars_Limit><BACnet_Desc_Chars_Limit>0</BACnet_Desc_Chars_Limit>",
         "BACnet_Desc_Chars_Limit", "1"},
        {3, "<BACnet_DEV_IDE>5</BACnet_DEV_IDE><BACnet_DEV_IDE>6</BACnet_DEV_IDE>", "BACnet_DEV_IDE", "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        const ParGen p = readBytes(QByteArray("<Par_Gen>") + c.element + "</Par_Gen>", c.type);
        const KeyDesc* desc = nullptr;
        for (const KeyDesc& k : parGenKeys())
            if (QLatin1String(k.key) == QLatin1String(c.key))
                desc = &k;
        ASSERT_NE(desc, nullptr);
        QString got;
        if (auto m = std::get_if<QString ParGen::*>(&desc->member))
            got = p.**m;
        else if (auto b = std::get_if<bool ParGen::*>(&desc->member))
            got = p.**b ? QStringLiteral("1") : QStringLiteral("0");
        else
            got = QString::number(p.*std::get<int ParGen::*>(desc->member));
        EXPECT_EQ(got, QLatin1String(c.expected));
    }
}

TEST(ParGenFormat, StoredBaudPositionMeansTheRateOfTheDeviceTypesList)
{
    const QByteArray file = "<Par_Gen><BACnet_Ser_Baudrate>3</BACnet_Ser_Baudrate></Par_Gen>";
    const ParGen t1 = readBytes(file, 1);
    const ParGen t3 = readBytes(file, 3);
    EXPECT_EQ(keyItems(QStringLiteral("BACnet_Ser_Baudrate"), 1).value(t1.BACnet_Ser_Baudrate), QStringLiteral("9600"));
    EXPECT_EQ(keyItems(QStringLiteral("BACnet_Ser_Baudrate"), 3).value(t3.BACnet_Ser_Baudrate), QStringLiteral("57600"));
}

TEST(ParGenFormat, PositionsOutsideTheirListAreWrittenAsTheMissingDefault)
{
    workspace::ScopedWorkspace scoped;
    ParGen p;
    p.ModbusM_BAUDRATE = -1;     // a list with nothing chosen
    p.ModbusM_PARITY = 3;        // past the end
    p.SNMP_VER3_AUTHORITY_MODE = 5;
    p.PROFIBUS_SLAVE_BAUDRATE = 2;
    p.PROFINET_PORT = QStringLiteral("80");
    const QByteArray t0 = parGenBytes(p, 0);
    EXPECT_TRUE(t0.contains("<ModbusM_BAUDRATE>7</ModbusM_BAUDRATE>"));
    EXPECT_TRUE(t0.contains("<ModbusM_PARITY>0</ModbusM_PARITY>"));
    EXPECT_FALSE(t0.contains(">-1<"));
    EXPECT_TRUE(parGenBytes(p, 17).contains("<SNMP_VER3_AUTHORITY_MODE>MD5</SNMP_VER3_AUTHORITY_MODE>"));
    EXPECT_TRUE(parGenBytes(p, 6).contains("<PROFIBUS_SLAVE_BAUDRATE>0</PROFIBUS_SLAVE_BAUDRATE>"));
    EXPECT_TRUE(parGenBytes(p, 9).contains("<PROFINET_PORT>34964</PROFINET_PORT>"));
}

TEST(ParGenFormat, DeclarationOrCommentBeforeTheRootIsReadAsTheDocumentItIs)
{
    for (const char* head : {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", "<!-- edited -->", "\xEF\xBB\xBF"}) {
        SCOPED_TRACE(head);
        const ParGen p = readBytes(QByteArray(head) + "<Par_Gen><BACnet_PORT>1234</BACnet_PORT></Par_Gen>", 3);
        EXPECT_EQ(p.BACnet_PORT, QStringLiteral("1234"));
    }
}

TEST(ParGenFormat, DamagedFileGivesDefaultsAnErrorAndStaysUntouched)
{
    TempDir dir;
    const QByteArray damaged = "<Par_Gen><BACnet_PORT>1234</BACnet_PORT><BACnet_DEV_IDE>7";
    const QString path = dir.write(QStringLiteral("ParGen.xml"), damaged);
    const ParGenLoad l = loadParGen(path, 3);
    EXPECT_EQ(l.status, ParGenFile::Status::Damaged);
    EXPECT_FALSE(l.error.isEmpty());
    EXPECT_EQ(l.values, ParGen{});
    EXPECT_EQ(dir.read(QStringLiteral("ParGen.xml")), damaged);

    const ParGenLoad none = loadParGen(dir.file(QStringLiteral("missing.xml")), 3);
    EXPECT_EQ(none.status, ParGenFile::Status::NoFile);
    EXPECT_TRUE(none.error.isEmpty());
    EXPECT_EQ(none.values, ParGen{});
}

TEST(ParGenFormat, AFileOfAnotherDeviceTypeLosesForeignKeysOnTheNextSave)
{
    const QByteArray written = parGenBytes(distinctValues(9, 0), 9);
    const ParGen asType3 = readBytes(written, 3);
    EXPECT_EQ(asType3.BACnet_PORT, distinctValues(9, 0).BACnet_PORT);
    const QByteArray again = parGenBytes(asType3, 3);
    EXPECT_FALSE(again.contains("PROFINET"));
    EXPECT_TRUE(again.contains("<!--SW_VERSION = 1.405-->"));
}
