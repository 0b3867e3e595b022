#include "Golden.h"
#include "mbus/MBusNetwork.h"
#include "platform/text/UserError.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace mbus;
using testing_support::TempDir;

namespace {

// Two nodes: a wired meter read by type with three variables, and a node read by position
// that is a wireless meter for device type 21.
MBusNetwork sampleNetwork(int32_t type)
{
    TNodo heat;
    heat.Enable = true;
    heat.Description = QStringLiteral("Heat meter");
    heat.Node_ID_Primary = 5;
    heat.Node_ID_Secondary = 12345678;
    heat.Send_SNK = 1;
    heat.Node_State = 1;
    heat.Ident_Num = 1;
    heat.BCDtoINT_IN = 1;
    heat.Swap_Ident = 1;
    heat.Var_List_Type = 0;
    heat.Cut_After = 249;
    heat.NS_VarType = 1;
    heat.MBus_Type = 1;

    TVariabile energy;
    energy.Enable = true;
    energy.Description = QStringLiteral("Energy");
    energy.Type_Of_Data = 0;
    energy.Function_Field = 1;
    energy.Dimension = 2;
    energy.Unita = 3;
    energy.Storage_Number = 4294967295u;
    energy.Tariff = 1048575;
    energy.BCDtoINT = true;
    energy.Position = 1;
    energy.BACnet_EngUnit = 18;
    energy.Post_Operation = 3;
    TVariabile ascii;
    ascii.Enable = false;
    ascii.Description = QStringLiteral("Unit <text> & \"more\"");
    ascii.Type_Of_Data = 21;
    ascii.Dimension = 7;
    ascii.Length = 12;
    ascii.VIF_ASCII = QStringLiteral("kWh");
    ascii.Position = 2;
    ascii.BACnet_EngUnit = 95;
    TVariabile volts;
    volts.Enable = true;
    volts.Description = QStringLiteral("Volt°");
    volts.Type_Of_Data = 19;
    volts.Function_Field = 3;
    volts.Dimension = 6;
    volts.VIFE = 38;
    volts.Position = 3;
    volts.BACnet_EngUnit = 5;
    heat.Var_List = {energy, ascii, volts};

    TNodo radio;
    radio.Enable = false;
    radio.Description = QStringLiteral("Water");
    radio.Node_ID_Primary = 1;
    radio.Node_ID_Secondary = 1;
    radio.Node_ID_Type = 1;
    radio.Var_List_Type = 1;
    radio.MBus_Type = 1;
    TVariabile flow;
    flow.Enable = true;
    flow.Description = QStringLiteral("Flow");
    flow.Type_Of_Data = 8;
    flow.Dimension = 1;
    flow.Position = 7;
    flow.BACnet_EngUnit = 135;
    flow.BACnet_DataType = 2;
    radio.Var_List = {flow};
    if (type == 21) {
        radio.MBus_Type = 0;
        radio.wMBus_ManID = QStringLiteral("11571");
        radio.wMBus_Add = QStringLiteral("4294967295");
        radio.wMBus_Ver = QStringLiteral("2");
        radio.wMBus_DevType = QStringLiteral("7");
        radio.wMBus_En_Key = 1;
        for (int k = 0; k < 16; ++k)
            radio.wMBus_Key[static_cast<size_t>(k)] = QString::number(k * 17);
    }
    return {heat, radio};
}

MBusNetwork readBytes(const QByteArray& xml, int32_t type) { return networkFromTexts(parseNetworkTexts(xml), type); }

// A one-node file whose node has the given attributes and one variable with the given ones.
QByteArray oneNode(const QString& nodeAttrs, const QString& varAttrs = QString(), const QString& varName = "Variabile")
{
    QString xml = QStringLiteral("<M-Bus_Network><Nodo Descrizione=\"n\" %1>").arg(nodeAttrs);
    // The variable's type is 0 unless the case gives one.
    if (!varAttrs.isNull())
        xml += QStringLiteral("<%1 Desc=\"v\" %2 Fun_Field=\"0\" Dim=\"2\" %3/>")
                   .arg(varName, varAttrs.contains("Type=") ? QString() : QStringLiteral("Type=\"0\""), varAttrs);
    xml += QStringLiteral("</Nodo></M-Bus_Network>");
    return xml.toUtf8();
}

} // namespace

TEST(MBusNetworkFile, GoldenFilePerDeviceTypeAndReadBack)
{
    for (int32_t type : {1, 20, 21}) {
        SCOPED_TRACE(type);
        const MBusNetwork net = sampleNetwork(type);
        const QByteArray xml = networkXml(net, type);
        mbus_test::expectGolden(QStringLiteral("mbus/M_Bus_%1.xml").arg(type), xml);
        EXPECT_EQ(readBytes(xml, type), net);
    }
}

TEST(MBusNetworkFile, EmptyNetworkIsAnEmptyRootAndTheComment)
{
    for (int32_t type : {1, 21}) {
        const QByteArray xml = networkXml({}, type);
        const QString comment = type == 21 ? "1.005" : "1.509";
        EXPECT_EQ(QString::fromUtf8(xml), "<M-Bus_Network />\n<!--SW_VERSION = " + comment + "-->\n");
        EXPECT_TRUE(readBytes(xml, type).empty());
    }
}

TEST(MBusNetworkFile, NodesOfTypeOneReadByTypeTwentyOneAreWiredWithEmptyWirelessFields)
{
    const MBusNetwork read = readBytes(networkXml(sampleNetwork(1), 1), 21);
    ASSERT_EQ(read.size(), 2u);
    for (const TNodo& n : read) {
        EXPECT_EQ(n.MBus_Type, 1);
        EXPECT_TRUE(n.wMBus_Add.isEmpty());
        EXPECT_EQ(n.wMBus_En_Key, 0);
    }
    // Read by type 1, the wireless attributes of a type-21 file are not taken.
    const MBusNetwork wired = readBytes(networkXml(sampleNetwork(21), 21), 1);
    EXPECT_EQ(wired[1].MBus_Type, 1);
    EXPECT_TRUE(wired[1].wMBus_ManID.isEmpty());
    EXPECT_TRUE(wired[1].wMBus_Key[0].isEmpty());
}

TEST(MBusNetworkFile, ReaderDefaultsAndShortcuts)
{
    struct Case {
        const char* what;
        QByteArray xml;
        std::function<void(const TNodo&)> check;
    };
    const std::vector<Case> cases = {
        {"Enable_Node 00 is enabled", oneNode("Enable_Node=\"00\""), [](const TNodo& n) { EXPECT_TRUE(n.Enable); }},
        {"Enable_Node missing is enabled", oneNode(""), [](const TNodo& n) { EXPECT_TRUE(n.Enable); }},
        {"Enable_Node 0 is disabled", oneNode("Enable_Node=\"0\""), [](const TNodo& n) { EXPECT_FALSE(n.Enable); }},
        {"Enable missing is disabled", oneNode("", ""),
         [](const TNodo& n) { EXPECT_FALSE(n.Var_List.at(0).Enable); }},
        {"Enable 01 is disabled", oneNode("", "Enable=\"01\""),
         [](const TNodo& n) { EXPECT_FALSE(n.Var_List.at(0).Enable); }},
        {"ID with Node_ID_Type 1", oneNode("ID=\"17\" Node_ID_Type=\"1\""),
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Secondary, 17);
             EXPECT_EQ(n.Node_ID_Primary, 1);
         }},
        {"ID with Node_ID_Type 0 wins over ID_Primary", oneNode("ID=\"9\" ID_Primary=\"3\""),
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Primary, 9);
             EXPECT_EQ(n.Node_ID_Secondary, 1);
         }},
        {"ID that is no number falls back", oneNode("ID=\"x\" ID_Primary=\"3\""),
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Primary, 3);
             EXPECT_EQ(n.Node_ID_Secondary, 1);
         }},
        {"addresses missing", oneNode(""),
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Primary, 1);
             EXPECT_EQ(n.Node_ID_Secondary, 1);
         }},
        {"hexadecimal and blanks", oneNode("ID_Primary=\" $1F\" Cut_After=\"0x10\" Swap_IN=\"1 \""),
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Primary, 31);
             EXPECT_EQ(n.Cut_After, 16);
             EXPECT_EQ(n.Swap_Ident, 0); // nothing may follow the digits
         }},
        {"a child of another name is a variable", oneNode("", "Enable=\"1\"", "Other"),
         [](const TNodo& n) {
             ASSERT_EQ(n.Var_List.size(), 1u);
             EXPECT_TRUE(n.Var_List[0].Enable);
         }},
        {"unit of type 19 with VIFE 61", oneNode("", "Type=\"19\" VIFE=\"61\""),
         [](const TNodo& n) { EXPECT_EQ(n.Var_List.at(0).BACnet_EngUnit, 49); }},
        {"unit of type 2", oneNode("", "Type=\"2\""), [](const TNodo& n) { EXPECT_EQ(n.Var_List.at(0).BACnet_EngUnit, 80); }},
        {"unit of type 4", oneNode("", "Type=\"4\""), [](const TNodo& n) { EXPECT_EQ(n.Var_List.at(0).BACnet_EngUnit, 95); }},
        {"unit given", oneNode("", "Type=\"2\" BACnet_EngUnits=\"62\""),
         [](const TNodo& n) { EXPECT_EQ(n.Var_List.at(0).BACnet_EngUnit, 62); }},
        {"variable defaults", oneNode("", "StoNumber=\"-1\" Position=\"x\""),
         [](const TNodo& n) {
             const TVariabile& v = n.Var_List.at(0);
             EXPECT_EQ(v.Storage_Number, 0u);
             EXPECT_EQ(v.Position, 1);
             EXPECT_FALSE(v.BCDtoINT);
             EXPECT_TRUE(v.VIF_ASCII.isEmpty());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MBusNetwork net = readBytes(c.xml, 1);
        ASSERT_EQ(net.size(), 1u);
        c.check(net[0]);
    }
}

// A root element of another name, a declaration or a comment before it, and comments between
// the nodes: the document element is the network and only elements are nodes.
TEST(MBusNetworkFile, TheDocumentElementIsTheRootWhateverComesBeforeIt)
{
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- saved by hand -->\n"
                           "<Network><!-- first --><Nodo Descrizione=\"a\"/><!-- second --><X Descrizione=\"b\"/>"
                           "</Network>";
    const MBusNetwork net = readBytes(xml, 1);
    ASSERT_EQ(net.size(), 2u);
    EXPECT_EQ(net[0].Description, "a");
    EXPECT_EQ(net[1].Description, "b");
}

TEST(MBusNetworkFile, RequiredAttributesAndBadFilesAreReported)
{
    struct Case {
        QByteArray xml;
        const char* message;
    };
    const Case cases[] = {
        {"<M-Bus_Network><Nodo/></M-Bus_Network>", "M_Bus.xml, node 1: the attribute Descrizione is missing."},
        {oneNode("", "Desc=\"\""), nullptr}, // an empty description is a description
        {"<M-Bus_Network><Nodo Descrizione=\"a\"/><Nodo Descrizione=\"b\"><V Type=\"1\" Fun_Field=\"0\" Dim=\"0\"/>"
         "</Nodo></M-Bus_Network>",
         "M_Bus.xml, node 2, variable 1: the attribute Desc is missing."},
        {"<N><Nodo Descrizione=\"a\"><V Desc=\"d\" Type=\"abc\" Fun_Field=\"0\" Dim=\"0\"/></Nodo></N>",
         "M_Bus.xml, node 1, variable 1: the attribute Type is not a whole number (\"abc\")."},
        {"<N><Nodo Descrizione=\"a\"><V Desc=\"d\" Type=\"1\" Dim=\"0\"/></Nodo></N>",
         "M_Bus.xml, node 1, variable 1: the attribute Fun_Field is missing."},
        {"<N><Nodo Descrizione=\"a\"><V Desc=\"d\" Type=\"1\" Fun_Field=\"0\" Dim=\"\"/></Nodo></N>",
         "M_Bus.xml, node 1, variable 1: the attribute Dim is not a whole number (\"\")."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml.toStdString());
        if (!c.message) {
            EXPECT_NO_THROW(readBytes(c.xml, 1));
            continue;
        }
        try {
            readBytes(c.xml, 1);
            ADD_FAILURE() << "no error";
        } catch (const platform::UserError& e) {
            EXPECT_EQ(e.message(), QLatin1String(c.message));
        }
    }
    try {
        parseNetworkTexts("<M-Bus_Network><Nodo>");
        ADD_FAILURE() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().startsWith("The file M_Bus.xml cannot be read: ")) << e.message().toStdString();
    }
}

TEST(MBusNetworkFile, FilesOnDisk)
{
    TempDir dir;
    const QString path = dir.file("M_Bus.xml");
    EXPECT_TRUE(Read_MBus_Network(path, 1).empty()); // no file: an empty network
    Write_MBus_Network(path, sampleNetwork(21), 21);
    EXPECT_EQ(Read_MBus_Network(path, 21), sampleNetwork(21));

    // A file that cannot be replaced: the error names it, the old one stays.
    const QByteArray before = dir.read("M_Bus.xml");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    try {
        Write_MBus_Network(path, {}, 21);
        ADD_FAILURE() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().startsWith("The file M_Bus.xml cannot be written: ")) << e.message().toStdString();
    }
    EXPECT_EQ(dir.read("M_Bus.xml"), before);
}

TEST(MBusNetworkFile, ProposedUnits)
{
    struct Case {
        int32_t type, vife, unit;
    };
    const Case cases[] = {
        {0, 0, 18},   {1, 7, 16},    {2, 0, 80},    {3, 0, 39},    {4, 0, 95},    {6, 0, 47},   {8, 0, 135},
        {9, 0, 165},  {10, 0, 85},   {11, 0, 44},   {12, 0, 62},   {14, 0, 63},   {16, 0, 55},  {18, 0, 95},
        {20, 0, 95},  {25, 0, 95},   {26, 38, 95},  {-1, 38, 95},  {19, 0, 95},   {19, 126, 95}, {19, 38, 5},
        {19, 39, 3},  {19, 51, 146}, {19, 57, 83},  {19, 59, 89},  {19, 60, 192}, {19, 61, 49}, {19, 63, 64},
        {19, 67, 64}, {19, 68, 62},  {19, 69, 47},  {19, 70, 101}, {19, 71, 100}, {19, 72, 95}, {19, -5, 95},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Found_BACnet_EngUnits(c.type, c.vife), c.unit) << c.type << "/" << c.vife;
}

TEST(MBusNetworkFile, CodeTables)
{
    EXPECT_EQ(typeOfDataTexts().size(), 26);
    EXPECT_EQ(typeOfDataTexts()[2], QString::fromUtf8("Volume (m³)"));
    EXPECT_EQ(typeOfDataTexts()[19], "Type of  Data in VIFE");
    EXPECT_EQ(vifeTexts().size(), 126);
    EXPECT_EQ(vifeTexts()[0], "Not Selected");
    EXPECT_EQ(vifeTexts()[38], "Volts ");
    EXPECT_EQ(vifeTexts()[68], QString::fromUtf8("Cold/Worm Temperature Limit °C"));
    EXPECT_EQ(vifeTexts()[125], "Premature end of record ");
    EXPECT_EQ(functionFieldTexts().size(), 4);
    EXPECT_EQ(dimensionTexts()[7], "Variable Length");
    EXPECT_EQ(postOperationTexts().size(), 13);
    EXPECT_EQ(postOperationTexts()[12], " * 1000000");
    EXPECT_EQ(bacnetDataTypeTexts()[3], "String");
    EXPECT_EQ(mbusTypeTexts()[0], "wM-Bus");
}
