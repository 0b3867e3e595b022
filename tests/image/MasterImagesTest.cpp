#include "MBusFixture.h"
#include "image/ImageBuilder.h"
#include "image/MasterImages.h"
#include "mbus/TemplateFixture.h"
#include "platform/text/UserError.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace image;
using namespace image_test;
using mbus_test::request;
using mbus_test::var;
using testing_support::toHex;

namespace {

constexpr int kTables = 2048;
constexpr uint32_t kT0 = 0x51000;

QString at(const QByteArray& b, int offset, int n) { return toHex(b.mid(offset, n)); }

struct MasterProject : Project {
    explicit MasterProject(int32_t type) : Project(type)
    {
        ws().Template_Dir = dir().file("TEMPLATE");
        dir().write("TEMPLATE/.keep", {});
    }
    void tpl(const QString& name, const std::vector<mbus::TStruct_BACnet>& vars,
             const std::vector<mbus::TStruct_MBus>& reqs = {request(1, {0x10, 0x5B, 0xFE, 0x59, 0x16}, 0)})
    {
        dir().write("TEMPLATE/" + name, mbus::templateXml(vars, reqs));
    }
    void devices(const std::vector<QString>& devs)
    {
        QString xml = "<Configuration_MBus_BACnet><Type_Converter><Index>0</Index></Type_Converter><List_Devices>";
        for (const QString& d : devs)
            xml += d;
        write(ws().Path_M_Bus_Custom_QV, (xml + "</List_Devices></Configuration_MBus_BACnet>").toUtf8());
    }
    QByteArray bank3() { return st().qv.bank3.filled(); }
    QByteArray bank4() { return st().qv.bank4.filled(); }
};

// A device of the list; `enables` are the texts of its Var elements.
QString device(const QString& tpl, const QStringList& enables, const QString& nodeState = "0",
               const QString& ident = "0", const QString& msb = "1", const QString& sst = "2",
               const QString& third = "3", const QString& id = "5")
{
    QString vars;
    for (const QString& e : enables)
        vars += "<Var><Enable>" + e + "</Enable></Var>";
    return QStringLiteral("<Device><Template>%1</Template><Description>d</Description><ID_Type>0</ID_Type>"
                          "<ID_MBus>%2</ID_MBus><Node_State>%3</Node_State><Identification_Number>%4"
                          "</Identification_Number><MSB>%5</MSB><SST>%6</SST><Third_Field>%7</Third_Field>"
                          "<Num_Variables>%8</Num_Variables><List_Vars>%9</List_Vars></Device>")
        .arg(tpl, id, nodeState, ident, msb, sst, third, QString::number(enables.size()), vars);
}

std::vector<mbus::TStruct_BACnet> leadingAnd(const std::vector<mbus::TStruct_BACnet>& more)
{
    std::vector<mbus::TStruct_BACnet> v{var(0, 0, 13, "NS_xx'yy'zzz'", "Node State"),
                                        var(0, 0, 23, "IN_xx'yy'zzz'", "Identification Number")};
    v.insert(v.end(), more.begin(), more.end());
    return v;
}

void build(Project& prj)
{
    const BuildResult r = Build_Bin(prj.st());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
}

QByteArray text64(const QByteArray& s) { return s + QByteArray(64 - s.size(), '\0'); }

} // namespace

TEST(MasterImages, ProjectsWithoutDevices)
{
    for (int32_t type : {1001, 1002, 1003}) {
        SCOPED_TRACE(type);
        MasterProject prj(type);
        prj.parGen({{"BACnet_DEV_IDE", "1234"}});
        prj.dir().write("bin/bank4.bin", "old");
        build(prj);
        const QByteArray b3 = prj.bank3();
        EXPECT_TRUE(checksumValid(b3, 0));
        EXPECT_EQ(le32(b3, 248), kT0);
        EXPECT_EQ(le32(b3, 252), kT0);
        EXPECT_EQ(le32(b3, 264), 0u);
        const SaveResult saved = Save_Bin(prj.st());
        ASSERT_TRUE(saved.ok) << saved.error.toStdString();
        if (type != 1001) {
            EXPECT_EQ(b3.size(), 2048);
            EXPECT_EQ(saved.files, QStringList{prj.dir().file("bin/bank3.bin")});
            EXPECT_EQ(prj.dir().read("bin/bank4.bin"), QByteArray("old"));
            EXPECT_EQ(le32(b3, 280), kT0);
            continue;
        }
        // The reset object in the binary-value group, then an empty BBMD table.
        ASSERT_EQ(b3.size(), 2048 + 24 + 120);
        EXPECT_EQ(at(b3, kTables, 24), "00 00 00 00 00 00 00 00 5F 00 01 03 00 04 00 00 40 04 00 00 00 00 00 00");
        EXPECT_EQ(b3.mid(kTables + 24), QByteArray(120, '\0'));
        EXPECT_EQ(le32(b3, 132 + 13 * 4), 1u);
        EXPECT_EQ(le32(b3, 280), kT0 + 24);
        EXPECT_EQ(saved.files, (QStringList{prj.dir().file("bin/bank3.bin"), prj.dir().file("bin/bank4.bin")}));
        const QByteArray b4 = prj.dir().read("bin/bank4.bin");
        EXPECT_EQ(b4, text64("Device_1234_OSL_Reset_Converter") + text64("OSL_Reset_Converter"));
    }
    // The PROFINET model reads no device instance: 0 in the reset object's name.
    MasterProject profinet(1002);
    profinet.parGen({{"BACnet_DEV_IDE", "1234"}});
    build(profinet);
    const std::array<uint8_t, 64>& name = profinet.st().qv.model.objects.at(0).ObjectName;
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(name.data()), 64), text64("Device_0_OSL_Reset_Converter"));
}

// A bank file that cannot be replaced stops the save with its name; the file keeps its bytes
// and no later bank of the image is written.
TEST(MasterImages, SaveFailureNamesTheBankAndKeepsItsFile)
{
    MasterProject prj(1001);
    prj.parGen({{"BACnet_DEV_IDE", "7"}});
    const QString bank3 = prj.dir().write("bin/bank3.bin", "old bank3");
    prj.dir().write("bin/bank4.bin", "old bank4");
    QFile::setPermissions(bank3, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    build(prj);
    const SaveResult saved = Save_Bin(prj.st());
    EXPECT_FALSE(saved.ok);
    EXPECT_TRUE(saved.error.contains(bank3)) << saved.error.toStdString();
    EXPECT_TRUE(saved.files.isEmpty());
    EXPECT_EQ(prj.dir().read("bin/bank3.bin"), QByteArray("old bank3"));
    EXPECT_EQ(prj.dir().read("bin/bank4.bin"), QByteArray("old bank4"));
}

// One node with three read variables, one write variable and a template of two requests.
TEST(MasterImages, TableAddresses)
{
    MasterProject prj(1001);
    prj.tpl("Meter.xml",
            leadingAnd({var(1, 1, 2, "A xx'yy'zzz'", "a"), var(1, 2, 2, "B xx'yy'zzz'", "b", 3, {0x68, 0x04}),
                        var(2, 1, 0, "C xx'yy'zzz'", "c")}),
            {request(1, {0x10, 0x7B, 0x05, 0x80, 0x16}, 2), request(2, {0x10, 0x5B}, 0)});
    prj.devices({device("Meter.xml", {"1", "1", "1"})});
    build(prj);
    const QByteArray b = prj.bank3();
    EXPECT_EQ(at(b, kTables, 7), "00 00 00 05 00 00 00"); // kind, ID type, ID
    EXPECT_EQ(le16(b, kTables + 7), 3);
    EXPECT_EQ(le32(b, kTables + 9), kT0 + 34);
    EXPECT_EQ(le16(b, kTables + 13), 1);
    EXPECT_EQ(le32(b, kTables + 15), kT0 + 34 + 30);
    EXPECT_EQ(byteAt(b, kTables + 19), 2);
    EXPECT_EQ(le32(b, kTables + 20), kT0 + 34 + 30 + 24);
    EXPECT_EQ(le32(b, 252), kT0 + 34 + 30 + 24 + 66);
    EXPECT_EQ(le32(b, 280), kT0 + 34 + 30 + 24 + 66 + 4 * 24);
    EXPECT_EQ(le32(b, 264), 1u);
    // Read variables: frame, position, size, more, data position, type, post-operation.
    EXPECT_EQ(at(b, kTables + 34, 10), "01 01 04 00 00 00 00 00 02 02");
    EXPECT_EQ(at(b, kTables + 44, 10), "01 02 04 00 04 00 00 00 02 02");
    EXPECT_EQ(at(b, kTables + 54, 10), "02 01 04 00 08 00 00 00 00 02");
    // The write variable: its frame, object instance 1 (the second analog value), position 4.
    EXPECT_EQ(at(b, kTables + 64, 24), "01 02 02 02 68 04 00 00 00 00 00 00 00 00 01 00 00 00 04 00 00 00 02 04");
    // Requests.
    EXPECT_EQ(at(b, kTables + 88, 8), "01 01 05 10 7B 05 80 16");
    EXPECT_EQ(at(b, kTables + 88 + 29, 4), "03 E5 02 02");
    EXPECT_EQ(at(b, kTables + 121, 3), "02 02 02");
    // Objects: the analog input group (C), the analog value group (A, B), the reset object.
    const int objects = kTables + 154;
    EXPECT_EQ(at(b, objects, 12), "02 01 00 00 08 00 00 00 3E 00 04 00");
    EXPECT_EQ(le32(b, objects + 12), 1024u + 3 * 128);
    EXPECT_EQ(at(b, objects + 24, 12), "01 01 00 00 00 00 00 00 3E 00 04 00");
    EXPECT_EQ(at(b, objects + 48, 12), "01 02 00 00 04 00 00 00 3E 00 04 03");
    EXPECT_EQ(le32(b, objects + 72 + 12), 1024u);
    EXPECT_EQ(le32(b, objects + 72 + 16), 1088u);
    EXPECT_EQ(b.size(), objects + 4 * 24 + 120);
    EXPECT_EQ(le32(b, 132), 1u);          // analog input
    EXPECT_EQ(le32(b, 132 + 12 * 4), 2u); // analog value
    EXPECT_EQ(prj.bank4().mid(128, 64), text64("A01'02'003'"));
    EXPECT_EQ(prj.bank4().mid(128 + 64, 64), text64("a"));
}

TEST(MasterImages, DevicesOfOneTemplateShareItsRequests)
{
    MasterProject prj(1002);
    prj.tpl("Meter.xml", leadingAnd({var(1, 1, 2, "A xx'yy'zzz'", "a")}),
            {request(1, {0x10}, 2), request(2, {0x10}, 3), request(3, {0x10}, 0)});
    prj.tpl("Other.xml", leadingAnd({var(1, 1, 2, "A xx'yy'zzz'", "a")}), {request(1, {0x10}, 0)});
    prj.devices({device("Meter.xml", {"1"}), device("Other.xml", {"1"}), device("Meter.xml", {"1"})});
    build(prj);
    const MasterModel& m = prj.st().qv.model;
    ASSERT_EQ(m.nodes.size(), 3u);
    EXPECT_EQ(m.templates.size(), 2u);
    EXPECT_EQ(Find_Device_Reqs(m, "Meter.xml"), 0);
    EXPECT_EQ(Find_Device_Reqs(m, "meter.xml"), -1);
    EXPECT_EQ(m.nodes[0].NoBank_ID_Req, 0);
    EXPECT_EQ(m.nodes[1].NoBank_ID_Req, 1);
    EXPECT_EQ(m.nodes[2].NoBank_ID_Req, 0);
    const QByteArray b = prj.bank3();
    const uint32_t requests = kT0 + 3 * 34 + 3 * 10;
    EXPECT_EQ(le32(b, kTables + 20), requests);
    EXPECT_EQ(le32(b, kTables + 34 + 20), requests + 3 * 33);
    EXPECT_EQ(le32(b, kTables + 68 + 20), requests);
    EXPECT_EQ(byteAt(b, kTables + 68 + 19), 3);
    EXPECT_EQ(b.size(), kTables + 3 * 34 + 3 * 10 + 4 * 33);
}

TEST(MasterImages, ObjectNamesAndTexts)
{
    MasterProject prj(1001);
    prj.dir().write("TEMPLATE/Names.xml",
                    "<Template><List_Variables><Var><FrameNumber>1</FrameNumber><PositionInFrame>1</PositionInFrame>"
                    "<Dimension>4</Dimension><UsedInMoreVars>0</UsedInMoreVars><ObjectType>0</ObjectType>"
                    "<PostOperation>0</PostOperation><LengthWriteFrame>0</LengthWriteFrame><Frame/><Units>62</Units>"
                    "<Options>0</Options><ON_Split1>AI_</ON_Split1><ON_Split2>_</ON_Split2><ON_Split3>_</ON_Split3>"
                    "<ON_Split4/><Description>" +
                        QByteArray(70, 'd') +
                        "</Description></Var></List_Variables><List_Requests/>"
                        "<Device_Type><Type>6</Type></Device_Type></Template>");
    prj.devices({device("names.XML", {"1"}, "0", "0", "5", "12", "7"), device("Names.xml", {"1"}, "0", "0", "", "123", "45")});
    build(prj);
    const QByteArray b4 = prj.bank4();
    EXPECT_EQ(b4.mid(128, 64), text64("AI_05_12_007"));
    EXPECT_EQ(b4.mid(192, 64), QByteArray(64, 'd')); // cut to its first 64 characters
    EXPECT_EQ(b4.mid(256, 64), text64("AI__123_045"));
    EXPECT_EQ(le16(prj.bank3(), kTables), 6); // the template's device kind
}

TEST(MasterImages, LeadingRowsGiveTheNodeStateAndIdentificationObjects)
{
    const struct {
        const char* nodeState;
        const char* ident;
        int leading;
        std::vector<int> types; // object types after the reset object, in list order
        uint32_t addNs, addIn;
    } cases[] = {
        {"1", "1", 2, {13, 23, 2}, 0, 4},
        {"0", "1", 2, {23, 2}, 0, 0},
        {"0", "1", 3, {23, 23, 2}, 0, 4},
        {"1", "0", 3, {13, 2}, 0, 0},
        {"01", "1 ", 2, {13, 2}, 0, 0}, // read as numbers: 1, and no number (0)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.nodeState) + "/" + c.ident + "/" + std::to_string(c.leading));
        MasterProject prj(1003);
        std::vector<mbus::TStruct_BACnet> vars;
        for (int k = 0; k < c.leading; ++k)
            vars.push_back(var(0, 0, k == 0 ? 13 : 23, "L xx'yy'zzz'", "l"));
        vars.push_back(var(1, 1, 2, "A xx'yy'zzz'", "a"));
        prj.tpl("M.xml", vars);
        prj.devices({device("M.xml", {"1"}, c.nodeState, c.ident)});
        build(prj);
        const MasterModel& m = prj.st().qv.model;
        std::vector<int> types;
        for (size_t k = 1; k < m.objects.size(); ++k)
            types.push_back(m.objects[k].ObjectType);
        EXPECT_EQ(types, c.types);
        EXPECT_EQ(m.nodes.at(0).Add_NS, c.addNs);
        EXPECT_EQ(m.nodes.at(0).Add_IN, c.addIn);
    }
}

TEST(MasterImages, ReadVariablesObjectsAndWriteInstances)
{
    MasterProject prj(1001);
    prj.tpl("M.xml", leadingAnd({var(1, 7, 2, "A xx'yy'zzz'", "a", 3, {1, 2, 3}), var(1, 7, 2, "B xx'yy'zzz'", "b"),
                                 var(1, 8, 5, "C xx'yy'zzz'", "c"), var(1, 9, 0, "D xx'yy'zzz'", "d"),
                                 var(2, 1, 8, "E xx'yy'zzz'", "e"), var(2, 2, 0, "F xx'yy'zzz'", "f"),
                                 var(2, 3, 2, "G xx'yy'zzz'", "g")}));
    // The last template variable is switched off in the device list.
    prj.devices({device("M.xml", {"1", "1", "1", "1", "1", "1", "0"})});
    build(prj);
    const MasterModel& m = prj.st().qv.model;
    const TNodo_Bank& n = m.nodes.at(0);
    // Two variables at frame 1, position 7: one read variable, two objects.
    ASSERT_EQ(n.List_Vars_MBus.size(), 5u);
    ASSERT_EQ(m.objects.size(), 7u);
    const uint32_t positions[7] = {0, 0, 4, 8, 9, 13, 17};
    for (size_t k = 0; k < 7; ++k)
        EXPECT_EQ(m.objects[k].Pos_Array, positions[k]) << k;
    EXPECT_EQ(n.List_Vars_MBus[1].Pos_Array, 8u);
    // The first analog value written has instance 0.
    ASSERT_EQ(n.List_Vars_W_MBus.size(), 1u);
    EXPECT_EQ(n.List_Vars_W_MBus[0].ObjInstance, 0u);
    EXPECT_EQ(n.List_Vars_W_MBus[0].Frame[2], 3);
    // Type 8 is in bank4 but in no group and no count; the address after the object table is
    // that of the BBMD table.
    const QByteArray b = prj.bank3();
    const int objectTable = int(le32(b, 252) - kT0) + kTables;
    const int written = 6; // all but the type-8 object
    EXPECT_EQ(le32(b, 280), le32(b, 252) + 24 * written);
    EXPECT_EQ(b.size(), objectTable + 24 * written + 120);
    EXPECT_EQ(prj.bank4().size(), 7 * 128);
    uint32_t counted = 0;
    for (int k = 0; k < 15; ++k)
        counted += le32(b, 132 + 4 * k);
    EXPECT_EQ(counted, 6u);
    // Within a group the objects keep their order: analog inputs D and F ahead of everything.
    EXPECT_EQ(le32(b, objectTable + 4), 9u);
    EXPECT_EQ(le32(b, objectTable + 24 + 4), 17u);
}

TEST(MasterImages, BroadcastTable)
{
    MasterProject prj(1001);
    Rows rows;
    for (int k = 0; k < 11; ++k)
        rows.push_back({{"Enable", k == 0 ? "y" : k == 1 ? "Yes" : "Y"}, {"IP_Address", QStringLiteral("192.168.2.%1").arg(k)},
                        {"SubNet_Mask", "255.255.255.0"}, {"Port", "47808"}});
    prj.bdt(rows);
    build(prj);
    const QByteArray b = prj.bank3();
    const int bdt = b.size() - 120;
    EXPECT_EQ(at(b, bdt, 12), "01 00 C0 BA 00 02 A8 C0 00 FF FF FF");
    EXPECT_EQ(byteAt(b, bdt + 12), 0);
    EXPECT_EQ(byteAt(b, bdt + 9 * 12 + 4), 9); // the tenth row; the eleventh is left out
}

TEST(MasterImages, DevicesThatCannotBeRead)
{
    const struct {
        QByteArray tpl;
        QString device;
        const char* message;
    } cases[] = {
        {mbus::templateXml(leadingAnd({var(1, 1, 2, "A xx'yy'zzz'", "a"), var(1, 2, 2, "B xx'yy'zzz'", "b")}), {}),
         device("M.xml", {"1"}), "M_Bus_Custom_QV.xml, device 1: it has fewer variables than its template M.xml."},
        {"<Template><List_Variables><Var><FrameNumber>1</FrameNumber></Var></List_Variables><List_Requests/>"
         "<Device_Type><Type>0</Type></Device_Type></Template>",
         device("M.xml", {"1"}), "Template M.xml, variable 1: the element PositionInFrame is missing."},
        {"<Template><List_Variables/><Device_Type><Type>0</Type></Device_Type></Template>", device("M.xml", {}),
         "Template M.xml: the element List_Requests is missing."},
        {"<Template><List_Variables/><List_Requests/></Template>", device("M.xml", {}),
         "Template M.xml: the element Device_Type/Type is missing."},
        {mbus::templateXml({}, {}), "<Device><Template>M.xml</Template></Device>",
         "M_Bus_Custom_QV.xml, device 1: the element ID_Type is missing."},
        {"<Template>", device("M.xml", {}), nullptr},
    };
    for (const auto& c : cases) {
        MasterProject prj(1001);
        prj.dir().write("TEMPLATE/M.xml", c.tpl);
        prj.devices({c.device});
        prj.dir().write("bin/bank3.bin", "old");
        const BuildResult r = Build_Bin(prj.st());
        EXPECT_FALSE(r.ok);
        if (c.message) {
            EXPECT_EQ(r.error, QLatin1String(c.message));
        }
        EXPECT_FALSE(Save_Bin(prj.st()).ok);
        EXPECT_EQ(prj.dir().read("bin/bank3.bin"), QByteArray("old"));
    }
    // A device whose template is missing is simply not configured.
    MasterProject prj(1003);
    prj.devices({device("Gone.xml", {"1"}), device("../Gone.xml", {"1"})});
    build(prj);
    EXPECT_TRUE(prj.st().qv.model.nodes.empty());
}

TEST(MasterImages, TablesLargerThanTheBankAreRefused)
{
    MasterProject prj(1001);
    prj.tpl("M.xml", leadingAnd({var(1, 1, 2, "A xx'yy'zzz'", "a")}));
    prj.devices({device("M.xml", {"1"}), device("M.xml", {"1"})});
    MasterImages& q = prj.st().qv;
    q.bank3 = BankBuffer(2048 + 2 * 34 + 2 * 10 + 33 + 3 * 24 + 120);
    EXPECT_NO_THROW(Build_Bin_QV(q, 1001));
    q.bank3 = BankBuffer(2048 + 2 * 34 + 2 * 10 + 33 + 3 * 24 + 119);
    try {
        Build_Bin_QV(q, 1001);
        ADD_FAILURE() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_EQ(e.message(), "The devices need 2361 bytes in bank3 of the image; it has room for 2360.");
    }
    q.bank3 = BankBuffer(kMasterBank3Capacity);
    q.bank4 = BankBuffer(3 * 128 - 1);
    EXPECT_THROW(Build_Bin_QV(q, 1001), platform::UserError);
    EXPECT_NO_THROW(Build_Bin_QV(q, 1002)); // its object texts are not written
}

TEST(MasterImages, GeneralParameterRecord)
{
    const struct {
        const char* what;
        int32_t type;
        std::vector<std::pair<QString, QString>> keys;
        int offset;
        QString bytes;
    } cases[] = {
        {"1001 keys missing: address", 1001, {}, 40, "C0 A8 00 05 FF FF FF 00 FF FF FF FF"},
        {"1001 keys missing: line", 1001, {}, 60, "2C 01 00 00 08 00 02 00"},
        {"1001 keys missing: instance", 1001, {}, 192, "01 00 00 00"},
        {"1001 keys missing: name", 1001, {}, 80, "64 65 76 69 63 65 6E 61 6D 65 31 00 00 00 00 00 20"},
        {"gateway on", 1001, {{"BACnet_EN_GAT", "1"}, {"BACnet_GAT1", "10"}, {"BACnet_GAT2", "0"}}, 48,
         "0A 00 00 01"},
        {"gateway off", 1001, {{"BACnet_EN_GAT", "0"}, {"BACnet_GAT1", "10"}}, 48, "FF FF FF FF"},
        {"baud 5", 1001, {{"Meter_Baud", "5"}}, 60, "80 25 00 00"},
        {"baud 8", 1002, {{"Meter_Baud", "8"}}, 60, "60 09 00 00"},
        {"baud abc", 1003, {{"Meter_Baud", "abc"}}, 60, "2C 01 00 00"},
        {"parity 1", 1001, {{"Meter_Par", "1"}}, 66, "03 00"},
        {"parity 0", 1001, {{"Meter_Par", "0"}}, 66, "00 00"},
        {"parity 7", 1001, {{"Meter_Par", "7"}}, 66, "02 00"},
        {"wait on", 1002, {{"Enable_Wait_Answer", "1"}, {"Wait_Answer", "250"}}, 268, "FA 00 00 00"},
        {"wait off", 1002, {{"Enable_Wait_Answer", "0"}, {"Wait_Answer", "250"}}, 268, "00 00 00 00"},
        {"idle on", 1003, {{"Enable_Idle_Time", "1"}, {"Idle_Time", "7"}}, 272, "07 00 00 00"},
        {"delay", 1003, {{"Meter_Req_Delay", "90"}}, 256, "5A 00 00 00 05 00 00 00"},
        {"1003 port", 1003, {{"ModbusTCPS_PORT", "5020"}}, 52, "10 27 9C 13 9C 13 20 00"},
        {"1001 ports", 1001, {{"ModbusTCPS_PORT", "5020"}}, 52, "10 27 11 27 11 27 20 00"},
        {"1003 address", 1003, {{"Modbus_TCP_Slave_IP4", "9"}}, 40, "C0 A8 00 09"},
        {"1003 no name", 1003, {{"BACnet_NAME_STA", "x"}}, 80, "00 00 00 00"},
        {"1002 address and name", 1002, {{"PROFINET_NAME_STA", "Sixteen chars ok!"}}, 80,
         "53 69 78 74 65 65 6E 20 63 68 61 72 73 20 6F 6B 20"},
        {"1002 output bytes", 1002, {}, 116, "9F 05 00 00 9F 05 00 00"},
        {"1001 services", 1001, {{"BACnet_EN_BBMD", "1"}, {"BACnet_EN_FDR", "1"}, {"BACnet_PORT", "47809"}}, 276,
         "03 00 00 00"},
        {"1001 port", 1001, {{"BACnet_PORT", "47809"}}, 104, "C1 BA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MasterProject prj(c.type);
        prj.parGen(c.keys);
        build(prj);
        const QByteArray b = prj.bank3();
        EXPECT_EQ(at(b, c.offset, static_cast<int>(c.bytes.size() + 1) / 3), c.bytes);
        EXPECT_TRUE(checksumValid(b, 0));
    }
    // Without ParGen.xml the defaults.
    MasterProject bare(1001);
    build(bare);
    const QByteArray b = bare.bank3();
    EXPECT_EQ(at(b, 40, 28), "C0 A8 02 CD FF FF FF 00 FF FF FF FF 10 27 11 27 11 27 20 00 60 09 00 00 08 00 02 00");
    EXPECT_EQ(b.mid(80, 16), QByteArray(16, '\0'));
    EXPECT_EQ(le16(b, 104), 47808);
    EXPECT_EQ(le32(b, 192), 0u);
    EXPECT_EQ(le32(b, 256), 60u);
}
