#include "mbus/TemplateFixture.h"
#include "mbus/master/CustomerConfig.h"
#include "parameters/ParGen.h"
#include "platform/text/UserError.h"
#include "support/TempDir.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace mbus::master;
using mbus::TDevice_QV;
using mbus::TVar_Dev;
using mbus_test::meterVars;
using testing_support::TempDir;

namespace {

class CustomerConfigTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    // A template of the given object types (after the two leading rows) and device kind.
    void makeTemplate(const QString& name, const std::vector<int>& types, int kind = 0)
    {
        QByteArray xml = mbus::templateXml(meterVars(types), {});
        if (kind != 0)
            xml.replace("<Type>0</Type>", QByteArray("<Type>") + QByteArray::number(kind) + "</Type>");
        templates.write(name, xml);
    }
    workspace::ScopedWorkspace scoped{1002};
    TempDir templates;
};

DeviceFields fields(const QString& templateName, int idType, const QString& id, const QString& msb = "1",
                    const QString& sst = "2", const QString& third = "3")
{
    DeviceFields f;
    f.templateName = templateName;
    f.idType = idType;
    f.idMBus = id;
    f.msb = msb;
    f.sst = sst;
    f.thirdField = third;
    return f;
}

TDevice_QV deviceOfKind(int kind, std::vector<int> types = {}, bool ns = false, bool in = false)
{
    TDevice_QV d;
    d.Device_Type = kind;
    d.Node_State = ns;
    d.Ide_Number = in;
    for (int t : types) {
        TVar_Dev v;
        v.Object_Type = t;
        d.Vars_List.push_back(v);
    }
    return d;
}

} // namespace

TEST_F(CustomerConfigTest, VariantsHoldTheCodesOfTheDeviceTypeAndTheirCapacities)
{
    EXPECT_EQ(converterCodes(1002).value(0), QStringLiteral("GX30130-IP-B2-1-10"));
    EXPECT_EQ(converterCodes(1003).value(2), QStringLiteral("GX30129-IP-B2-15-50"));
    EXPECT_EQ(converterCodes(1001),
              (QStringList{"GX30128-IP-B2-1-10", "GX30128-IP-B2-3-25", "GX30128-IP-B2-15-50", "GX30128-IP-B2-30-75",
                           "GX30128-IP-B2-50-100"}));
    EXPECT_EQ(converterCapacity(4).devices, 100);
    EXPECT_EQ(converterCapacity(3).heatingControllers, 30);
    // No variant chosen: the capacities of the first.
    EXPECT_EQ(converterCapacity(-1).devices, 10);
    EXPECT_EQ(converterCapacity(5).heatingControllers, 1);
    for (const auto& [kind, heating] : {std::pair{0, false}, {1, true}, {2, false}, {5, false}, {6, true}, {-1, false}})
        EXPECT_EQ(isHeatingController(kind), heating) << kind;
}

TEST_F(CustomerConfigTest, DeviceFieldChecksReportTheFirstFailure)
{
    struct Case {
        DeviceFields f;
        int text; // 0: passes
    };
    const Case cases[] = {
        {fields("a.xml", 0, "255"), 0},
        {fields("a.xml", 0, "256"), 1216},
        {fields("a.xml", 0, "-1"), 1216},
        {fields("a.xml", 0, "five"), 1216},
        {fields("a.xml", 0, " 7"), 0},
        {fields("a.xml", 1, "99999999"), 0},
        {fields("a.xml", 1, "100000000"), 1217},
        {fields("a.xml", 1, ""), 1217},
        {fields("  ", 0, "999"), 1215}, // the template is looked at first
        {fields("a.xml", 0, "1", "100"), 1218},
        {fields("a.xml", 0, "1", "99", "x"), 1219},
        {fields("a.xml", 0, "1", "0", "0", "1000"), 1220},
        {fields("a.xml", 0, "1", "0", "0", "999"), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkDeviceFields(c.f).value_or(0), c.text)
            << c.f.templateName.toStdString() << " " << c.f.idMBus.toStdString();
}

TEST_F(CustomerConfigTest, TheOkCheckCountsHeatingControllersBeforeDevicesThenBytes)
{
    const ByteLimit limit;
    std::vector<TDevice_QV> ten(10, deviceOfKind(0));
    EXPECT_FALSE(Check_Configuration(ten, 0, 1002, limit));
    std::vector<TDevice_QV> eleven = ten;
    eleven.push_back(deviceOfKind(5));
    EXPECT_EQ(Check_Configuration(eleven, 0, 1002, limit), QStringLiteral("Error!! Too many Devices"));
    EXPECT_FALSE(Check_Configuration(eleven, 1, 1002, limit));
    // Two heating controllers fail before the eleven devices are looked at.
    eleven[0] = deviceOfKind(1);
    eleven[1] = deviceOfKind(7);
    EXPECT_EQ(Check_Configuration(eleven, 0, 1002, limit), QStringLiteral("Error!! Too many Heating Controllers"));
    EXPECT_EQ(Check_Configuration(eleven, 7, 1002, limit), QStringLiteral("Error!! Too many Heating Controllers"));

    // 1436 bytes pass the limit 1439, 1440 fail; a limit of 1436 refuses 1436.
    std::vector<TDevice_QV> bytes{deviceOfKind(0, std::vector<int>(357, 2), true, true)};
    EXPECT_EQ(Used_Bytes(bytes), 1436);
    EXPECT_FALSE(Check_Configuration(bytes, 0, 1002, limit));
    bytes[0].Vars_List.push_back(bytes[0].Vars_List[0]);
    EXPECT_EQ(Used_Bytes(bytes), 1440);
    EXPECT_EQ(Check_Configuration(bytes, 0, 1002, limit),
              QStringLiteral("Error!! Too many Bytes used. The Number bytes must be between 0 and 1439"));
    EXPECT_FALSE(Check_Configuration(bytes, 0, 1003, limit)); // only PROFINET counts bytes
    bytes[0].Vars_List.resize(357);
    EXPECT_EQ(Check_Configuration(bytes, 0, 1002, ByteLimit{1436, false}),
              QStringLiteral("Error!! Too many Bytes used. The Number bytes must be between 0 and 1436"));
}

TEST_F(CustomerConfigTest, BytesCountNodeStateIdentificationAndValueVariables)
{
    EXPECT_EQ(Used_Bytes({deviceOfKind(0, {2, 5, 23}, true, true)}), 16);
    EXPECT_EQ(Used_Bytes({deviceOfKind(0, {13}, false, true), deviceOfKind(0, {0, 3, 4}, true, false)}), 12);
    EXPECT_EQ(Used_Bytes({}), 0);
}

TEST_F(CustomerConfigTest, AddTakesTheTemplatesVariablesAndModifyFollowsANewTemplate)
{
    makeTemplate("Two.xml", {2, 23}, 6);
    makeTemplate("Three.xml", {13, 5, 2});
    makeTemplate("One.xml", {3});

    TDevice_QV d = deviceFromFields(fields("Two.xml", 1, "12345678", "7", "12", "3"), templates.path());
    EXPECT_EQ(d.Template_File, QStringLiteral("Two.xml"));
    EXPECT_EQ(d.ID_Type, 1);
    EXPECT_EQ(d.ID_MBus, QStringLiteral("12345678"));
    EXPECT_EQ(d.Device_Type, 6);
    ASSERT_EQ(d.Vars_List.size(), 2u);
    EXPECT_EQ(d.Vars_List[1].Object_Type, 23);
    EXPECT_EQ(d.Vars_List[1].ObjectName, QStringLiteral("V2_07'_12'_003'"));
    EXPECT_TRUE(d.Vars_List[1].Enable);

    // More variables: the first two rewritten in place (their Enable kept), one appended.
    d.Vars_List[0].Enable = false;
    modifyDevice(d, fields("Three.xml", 0, "5", "1", "1", "1"), templates.path());
    EXPECT_EQ(d.Template_File, QStringLiteral("Three.xml"));
    EXPECT_EQ(d.Device_Type, 0);
    ASSERT_EQ(d.Vars_List.size(), 3u);
    EXPECT_FALSE(d.Vars_List[0].Enable);
    EXPECT_EQ(d.Vars_List[0].Object_Type, 13);
    EXPECT_EQ(d.Vars_List[2].ObjectName, QStringLiteral("V3_01'_01'_001'"));
    EXPECT_TRUE(d.Vars_List[2].Enable);

    // Fewer: the surplus goes from the end.
    modifyDevice(d, fields("One.xml", 0, "6"), templates.path());
    ASSERT_EQ(d.Vars_List.size(), 1u);
    EXPECT_EQ(d.Vars_List[0].Object_Type, 3);
    EXPECT_FALSE(d.Vars_List[0].Enable);

    // A template that is gone: the fields change, the variables stay.
    modifyDevice(d, fields("Gone.xml", 0, "8"), templates.path());
    EXPECT_EQ(d.Template_File, QStringLiteral("Gone.xml"));
    EXPECT_EQ(d.ID_MBus, QStringLiteral("8"));
    ASSERT_EQ(d.Vars_List.size(), 1u);
    EXPECT_EQ(d.Vars_List[0].Object_Type, 3);
    EXPECT_TRUE(deviceFromFields(fields("Gone.xml", 0, "8"), templates.path()).Vars_List.empty());

    // A damaged template: an error, the device as it was.
    templates.write("Bad.xml", "<Template><List_Variables>");
    const TDevice_QV before = d;
    EXPECT_THROW(modifyDevice(d, fields("Bad.xml", 0, "9"), templates.path()), platform::UserError);
    EXPECT_EQ(d, before);
    EXPECT_THROW(deviceFromFields(fields("Bad.xml", 0, "9"), templates.path()), platform::UserError);
}

TEST_F(CustomerConfigTest, RowsShowTheDeviceAndItsVariables)
{
    TDevice_QV d = deviceFromFields(fields("Two.xml", 1, "12345678", "7", "12", "3"), templates.path());
    d.Description = QStringLiteral("Flat 3");
    d.Node_State = true;
    EXPECT_EQ(deviceRowTexts(d, "Primary", "Secondary"),
              (QStringList{"Two.xml", "Secondary", "12345678", "Y", "N", "7", "12", "3", "Flat 3"}));
    TVar_Dev v;
    v.Frame_Num = 1;
    v.Position = 19;
    v.Object_Type = 2;
    v.Post_Ope = 4;
    v.Frame = "10 FB ";
    v.Units = 62;
    v.ObjectName = "AI_01";
    v.Description = "Flow";
    EXPECT_EQ(variableRowTexts(v, 3), (QStringList{"3", "Y", "1", "19", "2", "4", "10 FB ", "62", "AI_01", "Flow"}));
}

TEST_F(CustomerConfigTest, TheByteLimitComesFromParGenUnlessTheCountIsAutomatic)
{
    TempDir dir;
    const QString path = dir.file("ParGen.xml");
    EXPECT_EQ(Load_Num_Byte_ParGen(path).Num_Byte_Max, 1439);
    EXPECT_FALSE(Load_Num_Byte_ParGen(path).Auto_Calc_Byte);
    const std::pair<const char*, ByteLimit> cases[] = {
        {"<Par_Gen><PROFINET_NB_OUT>1000</PROFINET_NB_OUT></Par_Gen>", {1000, false}},
        {"<Par_Gen><PROFINET_NB_OUT>1000</PROFINET_NB_OUT><PROFINET_AUTO_CALC_BYTE_USED>1</PROFINET_AUTO_CALC_BYTE_USED></Par_Gen>",
         {1439, true}},
        {"<Par_Gen><PROFINET_NB_OUT>lots</PROFINET_NB_OUT><PROFINET_AUTO_CALC_BYTE_USED>01</PROFINET_AUTO_CALC_BYTE_USED></Par_Gen>",
         {1439, false}},
        {"<Par_Gen><PROFINET_NB_OUT>12", {1439, false}}, // damaged
    };
    for (const auto& [xml, expected] : cases) {
        dir.write("ParGen.xml", xml);
        const ByteLimit l = Load_Num_Byte_ParGen(path);
        EXPECT_EQ(l.Num_Byte_Max, expected.Num_Byte_Max) << xml;
        EXPECT_EQ(l.Auto_Calc_Byte, expected.Auto_Calc_Byte) << xml;
    }
}

TEST_F(CustomerConfigTest, TheByteCountRewritesOnlyProfinetNbOutInParGen)
{
    TempDir dir;
    const QString path = dir.file("ParGen.xml");
    // No file: nothing is written.
    Save_Num_Byte_ParGen(path, 24);
    EXPECT_FALSE(dir.exists("ParGen.xml"));

    // The file as the general parameters window writes it: every other node stays byte for byte.
    parameters::ParGen p;
    p.PROFINET_NB_OUT = QStringLiteral("1200");
    p.PROFINET_AUTO_CALC_BYTE_USED = true;
    const QByteArray written = parameters::parGenBytes(p, 1002);
    ASSERT_TRUE(written.contains("<PROFINET_NB_OUT>1200</PROFINET_NB_OUT>"));
    dir.write("ParGen.xml", written);
    Save_Num_Byte_ParGen(path, 24);
    QByteArray expected = written;
    expected.replace("<PROFINET_NB_OUT>1200</PROFINET_NB_OUT>", "<PROFINET_NB_OUT>24</PROFINET_NB_OUT>");
    EXPECT_EQ(dir.read("ParGen.xml"), expected);

    // Without the key it is appended at the end of the root; a comment after the root stays.
    dir.write("ParGen.xml", "<Par_Gen><A>1</A><B>x &amp; y</B></Par_Gen><!--SW_VERSION = 1.405-->");
    Save_Num_Byte_ParGen(path, 1436);
    EXPECT_EQ(dir.read("ParGen.xml"),
              QByteArray("<Par_Gen><A>1</A><B>x &amp; y</B><PROFINET_NB_OUT>1436</PROFINET_NB_OUT></Par_Gen>"
                         "<!--SW_VERSION = 1.405-->"));

    // A damaged file is left as it was and the error names it.
    dir.write("ParGen.xml", "<Par_Gen><A>1</A>");
    try {
        Save_Num_Byte_ParGen(path, 8);
        FAIL() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().startsWith("The file ParGen.xml cannot be read")) << e.message().toStdString();
    }
    EXPECT_EQ(dir.read("ParGen.xml"), QByteArray("<Par_Gen><A>1</A>"));
}

TEST_F(CustomerConfigTest, TheTemplateListHoldsWritableXmlFilesSortedIgnoringCase)
{
    for (const char* name : {"b.xml", "A.XML", "c.txt", ".hidden.xml", "Zed.Xml", "a2.xml", "xml"})
        templates.write(name, "<Template/>");
    templates.write("folder.xml/inside.xml", "<Template/>");
    const QString locked = templates.write("locked.xml", "<Template/>");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_EQ(templateFileList(templates.path()), (QStringList{".hidden.xml", "A.XML", "a2.xml", "b.xml", "Zed.Xml"}));
    EXPECT_TRUE(templateFileList(templates.file("none")).isEmpty());
    EXPECT_TRUE(templateFileList(QString()).isEmpty());
}

TEST_F(CustomerConfigTest, DevicesWhoseTemplateIsGoneAreNamed)
{
    makeTemplate("Meter.xml", {2});
    std::vector<TDevice_QV> devices(3);
    devices[0].Template_File = "Meter.xml";
    devices[1].Template_File = "Gone.xml";
    devices[1].ID_MBus = "7";
    devices[2].Template_File = "meter.XML"; // found whatever its letter case
    const mbus::DeviceListTexts texts =
        mbus::parseDeviceListTexts(mbus::deviceListXml(devices, 0), QStringLiteral("M_Bus_Custom_QV.xml"));
    EXPECT_EQ(devicesWithoutTemplate(texts, templates.path()), QStringList{"device 2 (ID 7): Gone.xml"});
}
