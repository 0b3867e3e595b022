// The object lists of the M-Bus models, read from the project's M-Bus network and, for the
// M-Bus master, from its device list and templates.
#include <gtest/gtest.h>

#include "exports/Ede.h"
#include "exports/ExportFixture.h"
#include "exports/MBusNetwork.h"
#include "exports/ObjectsMap.h"
#include "platform/text/UserError.h"
#include "support/QtPrinters.h"

using namespace exports;
using namespace exports_test;

namespace {

const QDateTime kFivePastNine(QDate(2025, 1, 1), QTime(9, 5, 3));

QString network(const QString& nodes)
{
    return QStringLiteral("<M-Bus_Network>%1</M-Bus_Network><!--SW_VERSION = 1.509-->").arg(nodes);
}
QString node(const char* attrs, const QString& vars)
{
    return QStringLiteral("<Nodo %1>%2</Nodo>").arg(QString::fromUtf8(attrs), vars);
}
QString var(const char* attrs) { return QStringLiteral("<Variabile %1/>").arg(QString::fromUtf8(attrs)); }

// The network of the objects-map golden file.
QString mapNetwork()
{
    return network(
        node("Enable_Node=\"1\" ID_Primary=\"5\" ID_Secondary=\"0\" Node_ID_Type=\"0\" Descrizione=\"Heat meter\" "
             "Node_State=\"1\" NS_VarType=\"0\" Ident_Num=\"1\" Var_List_Type=\"0\" MBus_Type=\"1\"",
             var("Enable=\"1\" Desc=\"Energy\" Type=\"0\" Dim=\"2\" VIFE=\"0\" BACnet_EngUnits=\"19\" BACnet_DataType=\"0\"") +
                 var("Enable=\"0\" Desc=\"Disabled\" Type=\"0\" Dim=\"2\" VIFE=\"0\" BACnet_EngUnits=\"19\"") +
                 var("Enable=\"1\" Desc=\"Débit\" Type=\"10\" Dim=\"2\" VIFE=\"0\" BACnet_EngUnits=\"85\"") +
                 var("Enable=\"1\" Desc=\"Fabrication No\" Type=\"19\" Dim=\"2\" VIFE=\"126\" BACnet_EngUnits=\"95\"") +
                 var("Enable=\"1\" Desc=\"Date\" Type=\"20\" Dim=\"2\" VIFE=\"0\" BACnet_EngUnits=\"95\"")) +
        node("Enable_Node=\"0\" ID_Primary=\"6\" Descrizione=\"Switched off\" Node_State=\"1\"",
             var("Enable=\"1\" Desc=\"Energy\" Type=\"0\"")) +
        node("ID_Secondary=\"12345678\" Node_ID_Type=\"1\" Descrizione=\"Water meter at the gate\" Node_State=\"1\" "
             "NS_VarType=\"1\" Ident_Num=\"0\" Var_List_Type=\"1\"",
             var("Enable=\"1\" Desc=\"Volume\" Type=\"3\" Dim=\"2\" BACnet_DataType=\"2\" BACnet_EngUnits=\"80\"") +
                 var("Enable=\"1\" Desc=\"Model\" Type=\"3\" Dim=\"7\" BACnet_DataType=\"0\" BACnet_EngUnits=\"95\"") +
                 var("Enable=\"1\" Desc=\"No unit\" Type=\"3\" Dim=\"2\" BACnet_DataType=\"0\"")) +
        node("Enable_Node=\"1\" ID_Primary=\"9\" Descrizione=\"No variables\" Node_State=\"1\" Ident_Num=\"1\"",
             var("Enable=\"0\" Desc=\"Off\" Type=\"0\"")));
}

} // namespace

TEST(MBusExport, ObjectsMapGolden)
{
    for (int type : {1, 20, 21}) {
        Project p(type);
        p.put(QStringLiteral("M_Bus.xml"), mapNetwork());
        Write_BACnet_Objects_Map(p.path(QStringLiteral("map.csv")));
        const QByteArray bytes = p.read(QStringLiteral("map.csv"));
        expectGolden(bytes, QStringLiteral("objects_map_mbus.csv"));
        expectCrLfLines(bytes);
        EXPECT_TRUE(bytes.contains("; D\xE9" "bit; ")) << "Windows-1252, not UTF-8";
    }
}

TEST(MBusExport, ObjectsMapWithoutNetworkHoldsTheCommandObjects)
{
    Project p(20);
    Write_BACnet_Objects_Map(p.path(QStringLiteral("map.csv")));
    EXPECT_EQ(cp1252Lines(p.read(QStringLiteral("map.csv"))).size(), 5);
}

TEST(MBusExport, EdeGolden)
{
    FixedClock clock(kFivePastNine);
    Project p(21);
    p.put(QStringLiteral("ParGen.xml"), parGen({{"BACnet_Type", "0"}, {"BACnet_DEV_IDE", "7"}, {"BACnet_Ser_DEV_IDE", "8"}}));
    p.put(QStringLiteral("M_Bus.xml"),
          network(node("Enable_Node=\"1\" MBus_Type=\"0\" wMBus_Add=\"-2128368691\" Descrizione=\"Water\" "
                       "Node_State=\"1\" NS_VarType=\"1\" Ident_Num=\"1\"",
                       var("Enable=\"1\" Desc=\"Volume\" Type=\"3\" Dim=\"2\" BACnet_EngUnits=\"80\"") +
                           var("Enable=\"1\" Desc=\"VIFE 131\" Type=\"19\" VIFE=\"131\" Dim=\"2\" BACnet_EngUnits=\"95\"")) +
                  node("Enable_Node=\"1\" MBus_Type=\"1\" ID_Primary=\"5\" Node_ID_Type=\"0\" Descrizione=\"Heat\" "
                       "Node_State=\"1\" NS_VarType=\"0\"",
                       var("Enable=\"1\" Desc=\"Energy\" Type=\"0\" Dim=\"2\" BACnet_EngUnits=\"19\"") +
                           var("Enable=\"1\" Desc=\"Pompe arrêtée\" Type=\"22\" Dim=\"2\" BACnet_EngUnits=\"95\"")) +
                  node("Enable_Node=\"1\" MBus_Type=\"2\" ID_Primary=\"9\" Descrizione=\"Other\"",
                       var("Enable=\"1\" Desc=\"Energy\" Type=\"0\""))));
    Write_BACnet_EDE_File(p.path(QStringLiteral("ede.csv")));
    const QByteArray bytes = p.read(QStringLiteral("ede.csv"));
    expectGolden(bytes, QStringLiteral("ede_mbus.csv"));
    expectCrLfLines(bytes);
    EXPECT_TRUE(bytes.contains(";Pompe arr\xEAt\xE9" "e;")) << "Windows-1252, not UTF-8";
}

TEST(MBusExport, EdeOfTheMBusModelWithoutFiles)
{
    FixedClock clock(kFivePastNine);
    Project p(1);
    Write_BACnet_EDE_File(p.path(QStringLiteral("ede.csv")));
    const QStringList lines = cp1252Lines(p.read(QStringLiteral("ede.csv")));
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[7], QStringLiteral("_Dev1_ApReS_0;;Dev1_ApReS;14;0;Dev1_ApReS;95;"));
}

TEST(MBusExport, NodeAndVariableValues)
{
    struct Case {
        const char* what;
        const char* nodeAttrs;
        const char* varAttrs;
        bool listed;
        uint32_t id;
        uint8_t nodeState;
        uint32_t wireless;
    } cases[] = {
        {"enabled", "Enable_Node=\"1\" ID_Primary=\"7\"", "Enable=\"1\"", true, 7, 0, 0},
        {"no Enable_Node", "ID_Primary=\"7\"", "Enable=\"1\"", true, 7, 0, 0},
        {"Enable_Node no number", "Enable_Node=\"yes\" ID_Primary=\"7\"", "Enable=\"1\"", true, 7, 0, 0},
        {"Enable_Node 0", "Enable_Node=\"0\" ID_Primary=\"7\"", "Enable=\"1\"", false, 0, 0, 0},
        {"Enable_Node 2", "Enable_Node=\"2\" ID_Primary=\"7\"", "Enable=\"1\"", false, 0, 0, 0},
        {"variable Enable 01", "ID_Primary=\"7\"", "Enable=\"01\"", false, 0, 0, 0},
        {"variable without Enable", "ID_Primary=\"7\"", "Desc=\"x\"", false, 0, 0, 0},
        {"secondary", "Node_ID_Type=\"1\" ID_Primary=\"7\" ID_Secondary=\"87654321\"", "Enable=\"1\"", true, 87654321, 0, 0},
        {"address no number", "ID_Primary=\"seven\"", "Enable=\"1\"", true, 0, 0, 0},
        {"node state positive integer", "Node_State=\"1\"", "Enable=\"1\"", true, 0, 1, 0},
        {"node state analog", "Node_State=\"1\" NS_VarType=\"1\"", "Enable=\"1\"", true, 0, 129, 0},
        {"wireless as the scan writes it", "wMBus_Add=\"-2128368691\"", "Enable=\"1\"", true, 0, 0, 0x8123ABCDu},
        {"wireless as typed", "wMBus_Add=\"2166598605\"", "Enable=\"1\"", true, 0, 0, 0x8123ABCDu},
        {"wireless hex", "wMBus_Add=\"$8123ABCD\"", "Enable=\"1\"", true, 0, 0, 0x8123ABCDu},
        {"wireless beyond 32 bits", "wMBus_Add=\"4294967296\"", "Enable=\"1\"", true, 0, 0, 0},
        {"wireless no number", "wMBus_Add=\"12AB\"", "Enable=\"1\"", true, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const QByteArray xml = network(node(c.nodeAttrs, var(c.varAttrs))).toUtf8();
        const std::vector<TMBus_Nod> nodes = mbusNodesFromTexts(mbus::parseNetworkTexts(xml));
        ASSERT_EQ(nodes.size(), c.listed ? 1u : 0u) << c.what;
        if (!c.listed)
            continue;
        EXPECT_EQ(nodes[0].ID, c.id) << c.what;
        EXPECT_EQ(nodes[0].Node_State, c.nodeState) << c.what;
        EXPECT_EQ(nodes[0].wMBus_Add, c.wireless) << c.what;
        EXPECT_EQ(nodes[0].MBus_Type, 1) << c.what;
        EXPECT_EQ(nodes[0].Vars.at(0).BACnet_EngUnit, 95) << c.what;
    }
}

TEST(MBusExport, ADamagedNetworkStopsTheExport)
{
    Project p(1);
    p.put(QStringLiteral("M_Bus.xml"), QStringLiteral("<M-Bus_Network><Nodo>"));
    p.put(QStringLiteral("map.csv"), QStringLiteral("previous"));
    EXPECT_THROW(Write_BACnet_Objects_Map(p.path(QStringLiteral("map.csv"))), platform::UserError);
    EXPECT_THROW(Write_BACnet_EDE_File(p.path(QStringLiteral("map.csv"))), platform::UserError);
    EXPECT_EQ(p.read(QStringLiteral("map.csv")), QByteArray("previous"));
}

namespace {

QString templateVar(const char* frame, const char* type, const char* split1, const char* description, const char* units)
{
    return QStringLiteral("<Var><FrameNumber>%1</FrameNumber><PositionInFrame>1</PositionInFrame><ObjectType>%2</ObjectType>"
                          "<Units>%5</Units><ON_Split1>%3</ON_Split1><ON_Split2>_</ON_Split2><ON_Split3>_</ON_Split3>"
                          "<ON_Split4></ON_Split4><Description>%4</Description></Var>")
        .arg(QLatin1String(frame), QLatin1String(type), QLatin1String(split1), QString::fromUtf8(description),
             QLatin1String(units));
}

QString device(const char* tmpl, const char* idType, const char* id, const char* ns, const char* in, const char* msb,
               const char* sst, const char* third)
{
    return QStringLiteral("<Device><Template>%1</Template><Description>d</Description><ID_Type>%2</ID_Type>"
                          "<ID_MBus>%3</ID_MBus><Node_State>%4</Node_State><Identification_Number>%5</Identification_Number>"
                          "<MSB>%6</MSB><SST>%7</SST><Third_Field>%8</Third_Field><List_Vars/></Device>")
        .arg(QLatin1String(tmpl), QLatin1String(idType), QLatin1String(id), QLatin1String(ns), QLatin1String(in),
             QLatin1String(msb), QLatin1String(sst))
        .arg(QLatin1String(third));
}

} // namespace

TEST(MBusExport, EdeOfTheDeviceListGolden)
{
    FixedClock clock(kFivePastNine);
    Project p(1001);
    p.put(QStringLiteral("ParGen.xml"), parGen({{"BACnet_DEV_IDE", "1001"}}));
    p.dir.write(QStringLiteral("TEMPLATE/Meter.xml"),
                (QStringLiteral("<Template><List_Variables>") + templateVar("0", "48", "NS_", "Node state", "95") +
                 templateVar("0", "48", "IN_", "Ident", "95") + templateVar("1", "0", "AI_", "Energy", "19") +
                 templateVar("2", "2", "AV_", "Débit", "85") + templateVar("00", "8", "XX_", "Other", "95") +
                 QStringLiteral("</List_Variables><List_Requests/></Template>"))
                    .toUtf8());
    p.put(QStringLiteral("M_Bus_Custom_QV.xml"),
          QStringLiteral("<Configuration_MBus_BACnet><Type_Converter><Index>0</Index></Type_Converter><List_Devices>") +
              device("Meter.xml", "0", "3", "1", "0", "5", "12", "7") +
              device("meter.XML", "1", "12345678", "0", "1", "10", "3", "42") +
              device("Missing.xml", "0", "4", "1", "1", "1", "1", "1") +
              QStringLiteral("</List_Devices></Configuration_MBus_BACnet>"));
    Write_BACnet_EDE_File(p.path(QStringLiteral("ede.csv")));
    const QByteArray bytes = p.read(QStringLiteral("ede.csv"));
    expectGolden(bytes, QStringLiteral("ede_device_list.csv"));
    expectCrLfLines(bytes);
}

TEST(MBusExport, EdeOfTheDeviceListLeadingRows)
{
    struct Case {
        const char* ns;
        const char* in;
        QStringList names;
    } cases[] = {
        {"1", "1", {"NS__", "IN__", "IN2__", "AI__"}},
        {"1", "0", {"NS__", "AI__"}},
        {"0", "1", {"IN__", "IN2__", "AI__"}},
        {"0", "0", {"AI__"}},
        {"yes", "01", {"IN__", "IN2__", "AI__"}},
    };
    for (const Case& c : cases) {
        Project p(1001);
        p.dir.write(QStringLiteral("TEMPLATE/T.xml"),
                    (QStringLiteral("<Template><List_Variables>") + templateVar("0", "48", "NS", "", "95") +
                     templateVar("0", "48", "IN", "", "95") + templateVar("0", "48", "IN2", "", "95") +
                     templateVar("1", "0", "AI", "", "95") + QStringLiteral("</List_Variables></Template>"))
                        .toUtf8());
        p.put(QStringLiteral("M_Bus_Custom_QV.xml"),
              QStringLiteral("<C><List_Devices>") + device("T.xml", "0", "1", c.ns, c.in, "", "", "") +
                  QStringLiteral("</List_Devices></C>"));
        QStringList names;
        for (const TBACnet_EDE_Obj& o : edeDeviceListObjects())
            names << o.ObjectName;
        EXPECT_EQ(names.mid(1), c.names) << c.ns << "/" << c.in;
    }
}

TEST(MBusExport, EdeOfTheDeviceListWithoutFiles)
{
    Project p(1001);
    const std::vector<TBACnet_EDE_Obj> objects = edeDeviceListObjects();
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(edeObjectLines(objects),
              QStringList{"_OSL_Reset_Converter_0;;Device_1_OSL_Reset_Converter;5;0;OSL_Reset_Converter;95;"});
}
