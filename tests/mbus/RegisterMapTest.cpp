#include "TemplateFixture.h"
#include "mbus/DeviceList.h"
#include "mbus/RegisterMap.h"
#include "platform/text/UserError.h"
#include "support/Csv.h"
#include "support/TempDir.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace mbus;
using mbus_test::var;
using testing_support::TempDir;

namespace {

struct MapProject {
    explicit MapProject(int32_t type) : ws(type)
    {
        ws->Template_Dir = dir.file("TEMPLATE");
        ws->Path_M_Bus_Custom_QV = dir.file("P1/M_Bus_Custom_QV.xml");
        dir.write("P1/.keep", {});
    }
    void makeTemplate(const QString& name, const std::vector<TStruct_BACnet>& vars)
    {
        dir.write("TEMPLATE/" + name, templateXml(vars, {}));
    }
    // Devices as (template, ID type text, ID, Node_State, Identification_Number).
    void devices(const std::vector<std::array<QString, 5>>& rows)
    {
        QString xml = "<Configuration_MBus_BACnet><List_Devices>";
        for (const auto& r : rows)
            xml += QStringLiteral("<Device><Template>%1</Template><Description>d</Description><ID_Type>%2</ID_Type>"
                                  "<ID_MBus>%3</ID_MBus><Node_State>%4</Node_State>"
                                  "<Identification_Number>%5</Identification_Number><MSB>7</MSB><SST>12</SST>"
                                  "<Third_Field>3</Third_Field></Device>")
                       .arg(r[0], r[1], r[2], r[3], r[4]);
        xml += "</List_Devices></Configuration_MBus_BACnet>";
        dir.write("P1/M_Bus_Custom_QV.xml", xml.toUtf8());
    }
    QStringList lines()
    {
        return registerMapLines(ws->Converter_Type, ws->Path_M_Bus_Custom_QV, ws->Template_Dir);
    }

    TempDir dir;
    workspace::ScopedWorkspace ws;
};

const QString kHeader = "Registers; ID Type; ID; Description;ReadWrite;";

} // namespace

// The example: primary ID 5, Node State on, Identification Number off, two variables of type 2.
TEST(RegisterMap, TheExampleInBytesAndInRegisters)
{
    for (int32_t type : {1002, 1003, 1001}) {
        SCOPED_TRACE(type);
        MapProject p(type);
        p.makeTemplate("Meter.xml", {var(0, 0, 13, "NS", "Node State"), var(0, 0, 23, "IN", "Ident"),
                                     var(1, 1, 2, "Flow xx'.yy'.zzz'", "Flow", 3, {0x10}),
                                     var(1, 5, 2, "T xx'yy'zzz'", "Temp", 1)});
        p.devices({{"Meter.xml", "0", "5", "1", "0"}});
        const QStringList r = type == 1003 ? QStringList{"0-1", "2-3", "4-5"} : QStringList{"0-3", "4-7", "8-11"};
        EXPECT_EQ(p.lines(), (QStringList{kHeader, r[0] + ";Primary;5;Node State;Read Only;",
                                          r[1] + ";Primary;5;Flow07'.12'.003', Flow;Read/Write*;",
                                          r[2] + ";Primary;5;T07'12'003', Temp;Read/Write;"}));
    }
}

// Addresses run on across devices with no gap for devices or variables left out.
TEST(RegisterMap, AddressesCountEveryEntryOfEveryDevice)
{
    MapProject p(1002);
    p.makeTemplate("Mixed.xml", {var(0, 0, 13, "NS", "n"), var(0, 0, 23, "IN", "i"), var(1, 1, 0, "AI xx'yy'zzz'", "ai"),
                                 var(1, 2, 13, "MS xx'yy'zzz'", "ms", 0), var(2, 1, 23, "AC xx'yy'zzz'", "ac", 7),
                                 var(2, 5, 5, "BV xx'yy'zzz'", "bv")});
    p.makeTemplate("Nothing.xml", {var(0, 0, 13, "NS", "n"), var(1, 1, 0, "AI xx'yy'zzz'", "ai")});
    p.devices({{"Mixed.xml", "1", "100", "0", "1"},
               {"Gone.xml", "0", "1", "1", "1"},
               {"Nothing.xml", "0", "2", "0", "0"},
               {"mixed.XML", "x", "3", "1", "0"}});
    EXPECT_EQ(p.lines(), (QStringList{kHeader, "0-3;Secondary;100;Identification Number;Read Only;",
                                      "4-7;Secondary;100;MS07'12'003', ms;Read Only;",
                                      "8-11;Secondary;100;AC07'12'003', ac;Read Only;",
                                      "12-15;Secondary;3;Node State;Read Only;",
                                      "16-19;Secondary;3;MS07'12'003', ms;Read Only;",
                                      "20-23;Secondary;3;AC07'12'003', ac;Read Only;"}));
}

TEST(RegisterMap, OptionsGiveTheAccess)
{
    MapProject p(1002);
    p.dir.write("TEMPLATE/O.xml",
                "<Template><List_Variables>"
                "<Var><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType><Options>1</Options></Var>"
                "<Var><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType><Options>3</Options></Var>"
                "<Var><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType><Options>0</Options></Var>"
                "<Var><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType><Options/></Var>"
                "<Var><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType></Var>"
                "<Var><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType><Options>01</Options></Var>"
                "</List_Variables></Template>");
    p.devices({{"O.xml", "0", "9", "0", "0"}});
    const QStringList l = p.lines();
    ASSERT_EQ(l.size(), 7);
    const QStringList access{"Read/Write;", "Read/Write*;", "Read Only;", "Read Only;", "Read Only;", "Read Only;"};
    for (int k = 0; k < 6; ++k)
        EXPECT_TRUE(l[k + 1].endsWith(";0712003, ;" + access[k])) << l[k + 1].toStdString();
}

TEST(RegisterMap, TheFileHasCrLfLinesWithoutByteOrderMark)
{
    MapProject p(1002);
    const QString out = p.dir.file("P1/map.csv");
    Write_PROFINET_Map_File(out); // no device list: the header alone
    EXPECT_EQ(p.dir.read("P1/map.csv"), QByteArray("Registers; ID Type; ID; Description;ReadWrite;\r\n"));

    p.makeTemplate("M.xml", {var(0, 0, 13, "NS", "n"), var(1, 1, 2, "Débit xx'yy'zzz'", "flow")});
    p.devices({{"M.xml", "0", "5", "0", "0"}});
    Write_PROFINET_Map_File(out);
    EXPECT_EQ(p.dir.read("P1/map.csv"), QByteArray("Registers; ID Type; ID; Description;ReadWrite;\r\n"
                                                   "0-3;Primary;5;D\xE9" "bit07'12'003', flow;Read Only;\r\n"));

    // A file that cannot be replaced: the error, and the old file as it was.
    const QByteArray before = p.dir.read("P1/map.csv");
    QFile::setPermissions(out, QFileDevice::ReadOwner);
    p.devices({});
    EXPECT_THROW(Write_PROFINET_Map_File(out), platform::UserError);
    EXPECT_EQ(p.dir.read("P1/map.csv"), before);
}

// A description or name holding the separator or a quote is one field for a CSV reader.
TEST(RegisterMap, DescriptionsHoldingTheSeparatorOrAQuoteAreQuoted)
{
    MapProject p(1002);
    p.makeTemplate("Meter.xml", {var(1, 1, 2, "Flow xx'.yy'.zzz'", "Flow; hot side", 3, {0x10}),
                                 var(1, 5, 2, "T xx'yy'zzz'", "Say \"hi\"", 1)});
    p.devices({{"Meter.xml", "0", "5", "0", "0"}});
    const QStringList lines = p.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1], QStringLiteral("0-3;Primary;5;\"Flow07'.12'.003', Flow; hot side\";Read/Write*;"));
    const QStringList f = testing_support::readCsvLine(lines[2]);
    ASSERT_EQ(f.size(), 6);
    EXPECT_EQ(f[3], QStringLiteral("T07'12'003', Say \"hi\""));
    EXPECT_EQ(f[4], QStringLiteral("Read/Write"));
}
