#include "Golden.h"
#include "TemplateFixture.h"
#include "mbus/DeviceList.h"
#include "platform/text/UserError.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace mbus;
using mbus_test::meterVars;
using testing_support::TempDir;

namespace {

struct Folder {
    TempDir dir;
    QString templates() const { return dir.file("TEMPLATE"); }
    QString list() const { return dir.file("P1/M_Bus_Custom_QV.xml"); }
    void makeTemplate(const QString& name, const std::vector<int>& types)
    {
        dir.write("TEMPLATE/" + name, templateXml(meterVars(types), {mbus_test::request(1, {0x10, 0x5B}, 0)}));
    }
};

TDevice_QV device(const QString& tpl, const QString& id, const QString& msb, int vars)
{
    TDevice_QV d;
    d.Template_File = tpl;
    d.Description = "Meter " + id;
    d.ID_Type = id.size() > 3 ? 1 : 0;
    d.ID_MBus = id;
    d.Node_State = true;
    d.Ide_Number = false;
    d.MSB = msb;
    d.SST = "12";
    d.Third_Field = "7";
    for (int k = 0; k < vars; ++k) {
        TVar_Dev v;
        v.Frame_Num = 1;
        v.Position = k + 1;
        v.Object_Type = 2;
        v.Post_Ope = 2;
        v.Units = 62;
        v.ObjectName = QStringLiteral("V%1_%2'_12'_007'").arg(k + 1).arg(Pad_Zero_Left(msb, 2));
        v.Description = QStringLiteral("Value %1").arg(k + 1);
        d.Vars_List.push_back(v);
    }
    return d;
}

} // namespace

TEST(DeviceListFile, GoldenFileAndReadBack)
{
    Folder f;
    f.makeTemplate("Heat.xml", {2, 2});
    f.makeTemplate("Water.xml", {2});
    const std::vector<TDevice_QV> devices{device("Heat.xml", "5", "3", 2), device("Water.xml", "12345678", "44", 1)};
    const QByteArray xml = deviceListXml(devices, 2);
    mbus_test::expectGolden("mbus/M_Bus_Custom_QV.xml", xml);

    f.dir.write("P1/M_Bus_Custom_QV.xml", xml);
    const DeviceList read = Load_Configuration(f.list(), f.templates());
    EXPECT_EQ(read.converterIndex, 2);
    EXPECT_EQ(read.devices, devices);
}

TEST(DeviceListFile, EmptyListAndMissingFile)
{
    const QString xml = QString::fromUtf8(deviceListXml({}, 0));
    EXPECT_EQ(xml, "<Configuration_MBus_BACnet>\n  <Type_Converter>\n    <Index>0</Index>\n  </Type_Converter>\n"
                   "  <List_Devices />\n</Configuration_MBus_BACnet>\n<!--SW_VERSION = 2.001-->\n");
    Folder f;
    const DeviceList none = Load_Configuration(f.list(), f.templates());
    EXPECT_FALSE(none.converterIndex); // the window keeps its choice
    EXPECT_TRUE(none.devices.empty());

    struct Case {
        const char* xml;
        int32_t index;
    };
    const Case cases[] = {
        {"<Configuration_MBus_BACnet/>", 0},
        {"<C><Type_Converter/></C>", 0},
        {"<C><Type_Converter><Index>x</Index></Type_Converter></C>", 0},
        {"<?xml version=\"1.0\"?><!-- c --><C><Type_Converter><Index>4</Index></Type_Converter></C>", 4},
    };
    for (const Case& c : cases) {
        f.dir.write("P1/M_Bus_Custom_QV.xml", c.xml);
        EXPECT_EQ(Load_Configuration(f.list(), f.templates()).converterIndex, c.index) << c.xml;
    }
}

// A device whose template was deleted disappears; one whose template gained a variable gets it.
TEST(DeviceListFile, TheTemplatesAsTheyAreNowDecide)
{
    Folder f;
    f.dir.write("P1/.keep", {});
    f.makeTemplate("A.xml", {2});
    f.makeTemplate("B.xml", {2});
    f.makeTemplate("C.xml", {2});
    Save_Configuration(f.list(), {device("A.xml", "1", "1", 1), device("B.xml", "2", "2", 1), device("C.xml", "3", "3", 1)},
                       1);
    QFile::remove(f.dir.file("TEMPLATE/B.xml"));
    f.makeTemplate("C.xml", {2, 13});

    const DeviceList read = Load_Configuration(f.list(), f.templates());
    ASSERT_EQ(read.devices.size(), 2u);
    EXPECT_EQ(read.devices[0].Template_File, "A.xml");
    EXPECT_EQ(read.devices[1].Template_File, "C.xml");
    EXPECT_EQ(read.devices[1].Vars_List.size(), 2u);
    EXPECT_EQ(read.devices[1].Vars_List[1].Object_Type, 13);

    Save_Configuration(f.list(), read.devices, *read.converterIndex);
    const DeviceListTexts saved = *readDeviceListTexts(f.list());
    ASSERT_EQ(saved.devices.size(), 2u);
    EXPECT_EQ(saved.devices[1].values.value("Num_Variables"), QStringLiteral("2"));
    EXPECT_EQ(saved.devices[1].vars, (std::vector<std::optional<QString>>{QStringLiteral("1"), QStringLiteral("1")}));
}

TEST(DeviceListFile, FlagsAreExactlyOne)
{
    Folder f;
    f.makeTemplate("A.xml", {});
    struct Case {
        const char* text;
        bool on;
    };
    const Case cases[] = {{"1", true}, {"01", false}, {"1 ", false}, {"0", false}, {"", false}};
    for (const Case& c : cases) {
        f.dir.write("P1/M_Bus_Custom_QV.xml",
                    QStringLiteral("<C><List_Devices><Device><Template>a.XML</Template><Node_State>%1</Node_State>"
                                   "<Identification_Number>%1</Identification_Number></Device></List_Devices></C>")
                        .arg(QLatin1String(c.text))
                        .toUtf8());
        const DeviceList read = Load_Configuration(f.list(), f.templates());
        ASSERT_EQ(read.devices.size(), 1u) << c.text; // found in another letter case
        EXPECT_EQ(read.devices[0].Node_State, c.on) << c.text;
        EXPECT_EQ(read.devices[0].Ide_Number, c.on) << c.text;
        // Elements the device lacks keep the values of a new device.
        EXPECT_EQ(read.devices[0].ID_MBus, "1");
        EXPECT_EQ(read.devices[0].Template_File, "a.XML");
    }
}

TEST(DeviceListFile, UnreadableFilesAreReported)
{
    Folder f;
    f.dir.write("P1/M_Bus_Custom_QV.xml", "<C><List_Devices>");
    EXPECT_THROW(Load_Configuration(f.list(), f.templates()), platform::UserError);
    f.dir.write("TEMPLATE/Bad.xml", "<Template>");
    f.dir.write("P1/M_Bus_Custom_QV.xml", "<C><List_Devices><Device><Template>Bad.xml</Template></Device></List_Devices></C>");
    EXPECT_THROW(Load_Configuration(f.list(), f.templates()), platform::UserError);
    EXPECT_THROW(Save_Configuration(f.dir.file("none/x.xml"), {}, 0), platform::UserError);
}
