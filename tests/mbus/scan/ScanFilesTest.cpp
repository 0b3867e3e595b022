#include "mbus/MBusNetwork.h"
#include "mbus/scan/ScanFiles.h"
#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace mbus::scan;
using testing_support::TempDir;

namespace {

TVariable_MBus rec(uint8_t dataField, int32_t nbyte = 0, int16_t type = 2, int32_t vife = 0)
{
    TVariable_MBus v;
    v.dimension = dataField;
    v.nbyte = nbyte;
    v.type_data = type;
    v.Type_Data_Vife = vife;
    v.Desc_Type_Data = QStringLiteral("Volume m3");
    v.ValueStr = QStringLiteral("12.5");
    v.Real_Wireless_Var = true;
    return v;
}

TSlave_MBus wired(uint16_t primary, const QString& secondary, std::vector<TVariable_MBus> vars)
{
    TSlave_MBus m;
    m.Primary_Addresss = primary;
    m.Secondary_Addresss = secondary;
    m.Manufacture = 0x2C2D;
    m.descManufacture = QStringLiteral("KAM");
    m.Version = 1;
    m.Medium = 7;
    m.List_Var = std::move(vars);
    return m;
}

// The written file's nodes (children of the root, or of its Group) and their variables.
struct Written {
    explicit Written(const QString& path)
    {
        QString error;
        loaded = doc.load(path, &error);
        EXPECT_TRUE(loaded) << error.toStdString();
    }
    platform::XmlNode root() const { return doc.rootElement(); }
    platform::XmlNode node(int i, bool grouped = false) const
    {
        platform::XmlNode parent = grouped ? root().element(QStringLiteral("Group")) : root();
        return parent.elementAt(i);
    }
    static QString attr(const platform::XmlNode& n, const char* name)
    {
        return n.attribute(QString::fromLatin1(name)).value_or(QStringLiteral("<none>"));
    }
    static QStringList names(const platform::XmlNode& n)
    {
        QStringList l;
        for (int i = 0; i < n.attributeCount(); ++i)
            l << n.attributeName(i);
        return l;
    }
    platform::XmlDocument doc;
    bool loaded = false;
};

TSaveConfXML conf(const QString& file, int code = 0)
{
    TSaveConfXML c;
    c.File_Name = file;
    c.XML_Code_Dev = code;
    return c;
}

TEST(ScanFiles, RecordsTakeRegistersByTheirDataWidth)
{
    struct Case {
        int dataField;
        int32_t nbyte;
        int32_t dim;
        int32_t registers;
    };
    const Case cases[] = {
        {1, 1, 0, 1},  {9, 1, 0, 1},  {2, 2, 1, 1},  {10, 2, 1, 1}, {3, 3, 4, 2},  {11, 3, 4, 2},
        {4, 4, 2, 2},  {12, 4, 2, 2}, {5, 4, 6, 2},  {6, 6, 5, 3},  {14, 6, 5, 3}, {7, 8, 3, 4},
        {13, 1, 7, 1}, {13, 2, 7, 2}, {13, 3, 7, 2}, {13, 4, 7, 2}, {13, 5, 7, 3}, {13, 6, 7, 4},
        {13, 8, 7, 4}, {0, 0, 255, 0}, {8, 0, 255, 0}, {15, 0, 255, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(recordDim(c.dataField), c.dim) << c.dataField;
        EXPECT_EQ(recordRegisters(c.dataField, c.nbyte), c.registers) << c.dataField << " " << c.nbyte;
    }
}

TEST(ScanFiles, WiredRegistersRunOnFromModStart)
{
    TempDir dir;
    TSaveConfXML in = conf(dir.file(QStringLiteral("M_Bus.xml")));
    in.Mod_Start = 100;
    const std::vector<TSlave_MBus> meters{wired(5, QStringLiteral("12345678"), {rec(4), rec(2), rec(13, 6)}),
                                          wired(7, QStringLiteral("22222222"), {rec(12)})};
    ASSERT_TRUE(Save_XML_Conf_Wired(meters, in, false));
    Written w(in.File_Name);
    const platform::XmlNode a = w.node(0);
    EXPECT_EQ(Written::attr(a.elementAt(0), "ModReg"), QStringLiteral("100"));
    EXPECT_EQ(Written::attr(a.elementAt(1), "ModReg"), QStringLiteral("102"));
    EXPECT_EQ(Written::attr(a.elementAt(2), "ModReg"), QStringLiteral("103"));
    EXPECT_EQ(Written::attr(w.node(1).elementAt(0), "ModReg"), QStringLiteral("107"));
    EXPECT_EQ(Written::attr(a.elementAt(2), "Dim"), QStringLiteral("7"));
    EXPECT_EQ(Written::attr(a.elementAt(2), "Length"), QStringLiteral("6"));
    EXPECT_EQ(Written::attr(a.elementAt(0), "Length"), QStringLiteral("0"));
    EXPECT_EQ(Written::attr(a, "Node_State"), QStringLiteral("<none>")); // no per-node numbering
    // No version comment: the root is the document's only node.
    EXPECT_EQ(w.doc.childCount(), 1);
    EXPECT_EQ(w.root().name(), QStringLiteral("M-Bus_Network"));
}

TEST(ScanFiles, PerNodeStartRegistersWithNodeStateAndIdentification)
{
    TempDir dir;
    TSaveConfXML in = conf(dir.file(QStringLiteral("M_Bus.xml")));
    in.StartModnode = 1;
    in.SMN_Array = {200, 300};
    in.En_NodeState = true;
    in.En_IdeNum = true;
    const std::vector<TSlave_MBus> meters{wired(5, QStringLiteral("1"), {rec(4), rec(2), rec(4)}),
                                          wired(6, QStringLiteral("2"), {rec(2)})};
    // The window's tree: the second record of the first meter is unchecked.
    const TreeChecks checks = [](int meter, int record) -> std::optional<bool> {
        if (meter == 0 && record == 1)
            return false;
        return std::nullopt;
    };
    ASSERT_TRUE(Save_XML_Conf_Wired(meters, in, false, checks));
    Written w(in.File_Name);
    const platform::XmlNode a = w.node(0);
    EXPECT_EQ(Written::attr(a, "Node_State"), QStringLiteral("200"));
    EXPECT_EQ(Written::attr(a, "Ident_Num"), QStringLiteral("202"));
    EXPECT_EQ(Written::attr(a.elementAt(0), "ModReg"), QStringLiteral("203"));
    // The unchecked record takes no register: it has the next record's number and its own Dim.
    EXPECT_EQ(Written::attr(a.elementAt(1), "Enable"), QStringLiteral("0"));
    EXPECT_EQ(Written::attr(a.elementAt(1), "ModReg"), QStringLiteral("205"));
    EXPECT_EQ(Written::attr(a.elementAt(1), "Dim"), QStringLiteral("1"));
    EXPECT_EQ(Written::attr(a.elementAt(2), "ModReg"), QStringLiteral("205"));
    const platform::XmlNode b = w.node(1);
    EXPECT_EQ(Written::attr(b, "Node_State"), QStringLiteral("300"));
    EXPECT_EQ(Written::attr(b.elementAt(0), "ModReg"), QStringLiteral("303"));

    // Device code 6 numbers no node state, whatever the flags.
    in.XML_Code_Dev = 6;
    ASSERT_TRUE(Save_XML_Conf_Wired(meters, in, false, checks));
    Written six(in.File_Name);
    EXPECT_EQ(Written::attr(six.node(0), "Node_State"), QStringLiteral("<none>"));
    EXPECT_EQ(Written::attr(six.node(0).elementAt(0), "ModReg"), QStringLiteral("200"));

    // More meters than start registers: the last ones go on from where the others ended.
    in.XML_Code_Dev = 0;
    in.SMN_Array = {200};
    ASSERT_TRUE(Save_XML_Conf_Wired(meters, in, false, checks));
    Written shortArray(in.File_Name);
    EXPECT_EQ(Written::attr(shortArray.node(1), "Node_State"), QStringLiteral("207"));
}

TEST(ScanFiles, DeviceCodesChooseIdGroupAndNodeAttributes)
{
    TempDir dir;
    const std::vector<TSlave_MBus> meters{wired(5, QStringLiteral("12345678"), {rec(4)}),
                                          wired(9, QStringLiteral("87654321"), {rec(2)})};
    struct Case {
        int code;
        bool grouped;
        QStringList nodeAttributes;
    };
    const QStringList common{QStringLiteral("ID_Primary"),   QStringLiteral("ID_Secondary"), QStringLiteral("Node_ID_Type"),
                             QStringLiteral("Descrizione"), QStringLiteral("Send_SND_NKE"), QStringLiteral("Reset_App"),
                             QStringLiteral("Cut_After")};
    const QString en = QStringLiteral("Enable_Node");
    const QString id = QStringLiteral("ID");
    const QString sec = QStringLiteral("Secondary_address");
    const Case cases[] = {
        {0, false, QStringList{en} + common},
        {2, false, QStringList{en, id} + common},
        {4, true, QStringList{en, id, sec} + common},
        {7, true, QStringList{en, id, sec} + common},
        {13, false, QStringList{en} + common + QStringList{QStringLiteral("MBus_Type")}},
        {12, false,
         QStringList{en} + common +
             QStringList{QStringLiteral("MBus_Type"), QStringLiteral("Node_State"), QStringLiteral("Ident_Num"),
                         QStringLiteral("BCDtoINT_IN"), QStringLiteral("Swap_IN"), QStringLiteral("Var_List_Type"),
                         QStringLiteral("NS_VarType"), QStringLiteral("IN_VarType")}},
    };
    for (const Case& c : cases) {
        TSaveConfXML in = conf(dir.file(QStringLiteral("M_Bus.xml")), c.code);
        in.Index_Baud = 3;
        in.Index_Par = 1;
        in.SND_NKE = 1;
        in.Reset_App = 2; // only 1 means yes
        in.Cut_After = 4;
        ASSERT_TRUE(Save_XML_Conf_Wired(meters, in, false));
        Written w(in.File_Name);
        EXPECT_EQ(w.root().elementCount(), c.grouped ? 1 : 2) << c.code;
        const platform::XmlNode n = w.node(1, c.grouped);
        EXPECT_EQ(n.name(), QStringLiteral("Nodo"));
        EXPECT_EQ(Written::names(n), c.nodeAttributes) << c.code;
        if (c.grouped) {
            const platform::XmlNode g = w.root().element(QStringLiteral("Group"));
            EXPECT_EQ(Written::attr(g, "Baudrate"), QStringLiteral("3"));
            EXPECT_EQ(Written::attr(g, "Parity"), QStringLiteral("1"));
            EXPECT_EQ(g.elementCount(), 2);
            EXPECT_EQ(Written::attr(n, "Secondary_address"), QStringLiteral("87654321"));
        }
        if (c.code != 0 && c.code != 13 && c.code != 12) {
            EXPECT_EQ(Written::attr(n, "ID"), QStringLiteral("9"));
        }
        EXPECT_EQ(Written::attr(n, "Send_SND_NKE"), QStringLiteral("1"));
        EXPECT_EQ(Written::attr(n, "Reset_App"), QStringLiteral("0"));
        EXPECT_EQ(Written::attr(n, "Cut_After"), QStringLiteral("4"));
        EXPECT_EQ(Written::attr(n, "ID_Secondary"), QStringLiteral("87654321"));
        EXPECT_EQ(Written::attr(n, "Descrizione"), QStringLiteral("KAM"));
    }
}

TEST(ScanFiles, VariableTextsAndCodes)
{
    TempDir dir;
    TVariable_MBus ascii = rec(13, 3, 21);
    ascii.VIF_ASCII = QStringLiteral("kWh");
    ascii.function_fild = 1; // maximum: the network file counts it as 2
    TVariable_MBus plain = rec(2, 0, 2);
    plain.VIF_ASCII = QStringLiteral("kept out");
    plain.function_fild = 2;
    plain.device = 1;
    plain.storage_number = 2;
    plain.tarif = 3;
    TVariable_MBus bcd = rec(12, 4, 12, 68);
    bcd.Is_BCD = true;
    bcd.function_fild = 3;
    const std::vector<TSlave_MBus> meters{wired(5, QStringLiteral("1"), {ascii, plain, bcd})};
    for (const bool checkBcd : {false, true}) {
        for (const int code : {0, 12}) {
            TSaveConfXML in = conf(dir.file(QStringLiteral("M_Bus.xml")), code);
            ASSERT_TRUE(Save_XML_Conf_Wired(meters, in, checkBcd));
            Written w(in.File_Name);
            const platform::XmlNode n = w.node(0);
            EXPECT_EQ(Written::attr(n.elementAt(0), "VIF_ASCII"), QStringLiteral("kWh"));
            EXPECT_EQ(Written::attr(n.elementAt(1), "VIF_ASCII"), QString());
            EXPECT_EQ(Written::attr(n.elementAt(0), "Fun_Field"), QStringLiteral("2"));
            EXPECT_EQ(Written::attr(n.elementAt(1), "Fun_Field"), QStringLiteral("1"));
            EXPECT_EQ(Written::attr(n.elementAt(2), "Fun_Field"), QStringLiteral("3"));
            EXPECT_EQ(Written::attr(n.elementAt(1), "Desc"), QStringLiteral("Volume m3 (U1S2T3)"));
            EXPECT_EQ(Written::attr(n.elementAt(1), "Position"), QStringLiteral("2"));
            EXPECT_EQ(Written::attr(n.elementAt(2), "BCDtoINT"), checkBcd ? QStringLiteral("1") : QStringLiteral("0"));
            EXPECT_EQ(Written::attr(n.elementAt(1), "BCDtoINT"), QStringLiteral("0"));
            EXPECT_EQ(Written::attr(n.elementAt(2), "VIFE"), QStringLiteral("68"));
            if (code == 12) {
                EXPECT_EQ(Written::names(n.elementAt(2)),
                          (QStringList{QStringLiteral("Enable"), QStringLiteral("Position"), QStringLiteral("Desc"),
                                       QStringLiteral("Type"), QStringLiteral("VIF_ASCII"), QStringLiteral("Fun_Field"),
                                       QStringLiteral("Length"), QStringLiteral("Dim"), QStringLiteral("Unit"),
                                       QStringLiteral("StoNumber"), QStringLiteral("Tariff"), QStringLiteral("VIFE"),
                                       QStringLiteral("BACnet_EngUnits"), QStringLiteral("BACnet_DataType"),
                                       QStringLiteral("Post_Operation"), QStringLiteral("BCDtoINT"), QStringLiteral("SWAP")}));
                // Flow temperature: degrees Celsius.
                EXPECT_EQ(Written::attr(n.elementAt(2), "BACnet_EngUnits"), QStringLiteral("62"));
            } else {
                EXPECT_EQ(Written::attr(n.elementAt(2), "ModScale"), QStringLiteral("0"));
                EXPECT_EQ(Written::attr(n.elementAt(2), "BACnet_EngUnits"), QStringLiteral("<none>"));
            }
        }
    }
}

TEST(ScanFiles, AppendAddsAfterTheNodesThereAndRefusesWhatItCannotRead)
{
    TempDir dir;
    const std::vector<TSlave_MBus> meters{wired(5, QStringLiteral("1"), {rec(4)})};
    TSaveConfXML in = conf(dir.file(QStringLiteral("M_Bus.xml")));
    in.Append = 1;

    // A missing file cannot be appended to, and none is made.
    EXPECT_THROW(Save_XML_Conf_Wired(meters, in, false), platform::UserError);
    EXPECT_FALSE(dir.exists(QStringLiteral("M_Bus.xml")));

    const QByteArray bad = "<M-Bus_Network><Nodo";
    dir.write(QStringLiteral("M_Bus.xml"), bad);
    EXPECT_THROW(Save_XML_Conf_Wired(meters, in, false), platform::UserError);
    EXPECT_EQ(dir.read(QStringLiteral("M_Bus.xml")), bad);

    for (const char* existing : {"<M-Bus_Network><Nodo Descrizione=\"OLD\"/></M-Bus_Network>",
                                 "<?xml version=\"1.0\"?><!-- SW_VERSION = 1.509 --><M-Bus_Network><Nodo "
                                 "Descrizione=\"OLD\"/></M-Bus_Network>"}) {
        dir.write(QStringLiteral("M_Bus.xml"), existing);
        ASSERT_TRUE(Save_XML_Conf_Wired(meters, in, false));
        Written w(in.File_Name);
        ASSERT_EQ(w.root().elementCount(), 2) << existing;
        EXPECT_EQ(Written::attr(w.node(0), "Descrizione"), QStringLiteral("OLD"));
        EXPECT_EQ(Written::attr(w.node(1), "Descrizione"), QStringLiteral("KAM"));
    }
}

TEST(ScanFiles, NoMeterWritesNothing)
{
    TempDir dir;
    const TSaveConfXML in = conf(dir.file(QStringLiteral("M_Bus.xml")));
    EXPECT_FALSE(Save_XML_Conf_Wired({}, in, false));
    EXPECT_FALSE(Save_XML_Conf_Wireless({}, in, false));
    EXPECT_FALSE(dir.exists(QStringLiteral("M_Bus.xml")));
}

TEST(ScanFiles, WiredNetworkReadsBackThroughTheNetworkReader)
{
    TempDir dir;
    TVariable_MBus v = rec(13, 5, 21);
    v.VIF_ASCII = QStringLiteral("kWh");
    v.function_fild = 2;
    v.storage_number = 3;
    v.tarif = 1;
    const std::vector<TSlave_MBus> meters{wired(5, QStringLiteral("12345678"), {rec(4), v})};
    TSaveConfXML in = conf(dir.file(QStringLiteral("M_Bus.xml")), 6);
    in.Cut_After = 2;
    in.SND_NKE = 1;
    ASSERT_TRUE(Save_XML_Conf_Wired(meters, in, false));
    const mbus::MBusNetwork net = mbus::Read_MBus_Network(in.File_Name, 1);
    ASSERT_EQ(net.size(), 1u);
    const mbus::TNodo& n = net[0];
    EXPECT_TRUE(n.Enable);
    EXPECT_EQ(n.Description, QStringLiteral("KAM"));
    EXPECT_EQ(n.Node_ID_Primary, 5);
    EXPECT_EQ(n.Node_ID_Secondary, 12345678);
    EXPECT_EQ(n.Send_SNK, 1);
    EXPECT_EQ(n.Cut_After, 2);
    ASSERT_EQ(n.Var_List.size(), 2u);
    const mbus::TVariabile& r = n.Var_List[1];
    EXPECT_EQ(r.Description, QStringLiteral("Volume m3 (U0S3T1)"));
    EXPECT_EQ(r.Type_Of_Data, 21);
    EXPECT_EQ(r.Function_Field, 1);
    EXPECT_EQ(r.Dimension, 7);
    EXPECT_EQ(r.Length, 5);
    EXPECT_EQ(r.Storage_Number, 3u);
    EXPECT_EQ(r.Tariff, 1);
    EXPECT_EQ(r.VIF_ASCII, QStringLiteral("kWh"));
    EXPECT_EQ(r.Position, 2);
}

TEST(ScanFiles, WirelessNetworkCountsFillersInPositionsAndReadsBack)
{
    TempDir dir;
    TSlave_wMBus m;
    m.ALA_Manufacturer = 0x2C2D;
    m.ALA_Manu_str = QStringLiteral("KAM");
    m.ALA_Address = 0x87654321; // above the signed range: written negative
    m.ALA_Version = 3;
    m.ALA_DeviceType = 4;
    m.Enable_Key = true;
    for (size_t i = 0; i < 16; ++i)
        m.Key[i] = static_cast<uint8_t>(i + 1);
    TVariable_MBus filler;
    filler.Real_Wireless_Var = false;
    TVariable_MBus off = rec(2);
    off.Enable = false;
    m.List_Var = {rec(4), filler, off, rec(2)};
    TSlave_wMBus disabled = m;
    disabled.Enable = false;
    disabled.List_Var = {rec(2)};

    TSaveConfXML in = conf(dir.file(QStringLiteral("M_Bus.xml")), 13);
    in.StartModnode = 1;
    in.SMN_Array = {10, 20};
    ASSERT_TRUE(Save_XML_Conf_Wireless({m, disabled}, in, false));
    Written w(in.File_Name);
    const platform::XmlNode n = w.node(0);
    ASSERT_EQ(n.elementCount(), 3); // the filler is no variable
    EXPECT_EQ(Written::attr(n.elementAt(1), "Position"), QStringLiteral("3"));
    EXPECT_EQ(Written::attr(n.elementAt(2), "Position"), QStringLiteral("4"));
    EXPECT_EQ(Written::attr(n, "Node_State"), QStringLiteral("0"));
    EXPECT_EQ(Written::attr(n.elementAt(0), "ModReg"), QStringLiteral("10"));
    EXPECT_EQ(Written::attr(n.elementAt(1), "ModReg"), QStringLiteral("12"));
    EXPECT_EQ(Written::attr(n.elementAt(2), "ModReg"), QStringLiteral("12")); // the disabled one took none
    EXPECT_EQ(Written::attr(n, "MBus_Type"), QStringLiteral("0"));
    EXPECT_EQ(Written::attr(n, "Cut_After"), QStringLiteral("3"));
    EXPECT_EQ(Written::attr(n, "wMBus_Add"), QStringLiteral("-2023406815"));
    EXPECT_EQ(Written::attr(w.node(1), "Enable_Node"), QStringLiteral("0"));
    EXPECT_EQ(Written::names(n).count(QStringLiteral("MBus_Type")), 1);

    const mbus::MBusNetwork net = mbus::Read_MBus_Network(in.File_Name, 21);
    ASSERT_EQ(net.size(), 2u);
    EXPECT_EQ(net[0].MBus_Type, 0);
    EXPECT_EQ(net[0].wMBus_ManID, QStringLiteral("11309"));
    EXPECT_EQ(net[0].wMBus_Ver, QStringLiteral("3"));
    EXPECT_EQ(net[0].wMBus_DevType, QStringLiteral("4"));
    EXPECT_EQ(net[0].wMBus_En_Key, 1);
    EXPECT_EQ(net[0].wMBus_Key[0], QStringLiteral("1"));
    EXPECT_EQ(net[0].wMBus_Key[15], QStringLiteral("16"));
    EXPECT_EQ(net[0].Var_List.size(), 3u);
    EXPECT_FALSE(net[0].Var_List[1].Enable);
    EXPECT_FALSE(net[1].Enable);
}

TEST(ScanFiles, ResultFilesHoldEveryMeterAndRecordAsScanned)
{
    TempDir dir;
    TVariable_MBus v = rec(12, 4, 2);
    v.device = 1;
    v.storage_number = 2;
    v.tarif = 3;
    v.DIF = QStringLiteral("$0C");
    v.VIF = 0x13;
    v.DIFE = QString();
    v.VIFE = QStringLiteral("$3B ");
    v.totdati = QStringLiteral("78563412");
    v.DataFieldStr = QStringLiteral("8 Digit BCD");
    v.FunctionFieldStr = QStringLiteral("Instantaneous Value");
    const QString wiredFile = dir.file(QStringLiteral("wired.xml"));
    Save_XML_File_DLL({wired(5, QStringLiteral("12345678"), {v})}, wiredFile);
    Written w(wiredFile);
    EXPECT_EQ(w.root().name(), QStringLiteral("SCAN_M-Bus_Wired"));
    const platform::XmlNode n = w.node(0);
    EXPECT_EQ(Written::names(n), (QStringList{QStringLiteral("Primary_Address"), QStringLiteral("Secondary_Address"),
                                              QStringLiteral("Manufacturer"), QStringLiteral("Version"), QStringLiteral("Type")}));
    EXPECT_EQ(Written::attr(n, "Manufacturer"), QStringLiteral("KAM (11309)"));
    EXPECT_EQ(Written::attr(n, "Type"), QStringLiteral("7"));
    const platform::XmlNode x = n.elementAt(0);
    EXPECT_EQ(Written::attr(x, "UST"), QStringLiteral("(U1S2T3)"));
    QStringList children;
    QStringList texts;
    for (int i = 0; i < x.elementCount(); ++i) {
        children << x.elementAt(i).name();
        texts << x.elementAt(i).text();
    }
    EXPECT_EQ(children, (QStringList{QStringLiteral("Storage_Number"), QStringLiteral("Tariff"), QStringLiteral("Unit"),
                                     QStringLiteral("Data_Field"), QStringLiteral("Function_Field"), QStringLiteral("Type"),
                                     QStringLiteral("Value"), QStringLiteral("DIF"), QStringLiteral("VIF"),
                                     QStringLiteral("DIFE"), QStringLiteral("VIFE"), QStringLiteral("DATA")}));
    EXPECT_EQ(texts, (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("8 Digit BCD"),
                                  QStringLiteral("Instantaneous Value"), QStringLiteral("Volume m3"), QStringLiteral("12.5"),
                                  QStringLiteral("$0C"), QStringLiteral("$13"), QString(), QStringLiteral("$3B "),
                                  QStringLiteral("$78563412")}));

    TSlave_wMBus m;
    m.ALA_Manu_str = QStringLiteral("KAM");
    m.ALA_Address = 0x00345678;
    m.ALA_Version = 1;
    m.ALA_DeviceType = 7;
    m.Cripted = true;
    TVariable_MBus filler;
    m.List_Var = {v, filler};
    const QString wirelessFile = dir.file(QStringLiteral("wireless.xml"));
    Save_Wireless_XML_File_DLL({m}, wirelessFile);
    Written r(wirelessFile);
    EXPECT_EQ(r.root().name(), QStringLiteral("SCAN_M-Bus_Wireless"));
    EXPECT_EQ(Written::attr(r.node(0), "Address"), QStringLiteral("00345678"));
    EXPECT_EQ(Written::attr(r.node(0), "Cripted"), QStringLiteral("True"));
    EXPECT_EQ(Written::attr(r.node(0), "Device_Type"), QStringLiteral("7"));
    EXPECT_EQ(r.node(0).elementCount(), 2); // place-holders too

    // A file that cannot be written is reported, not half written.
    EXPECT_THROW(Save_XML_File_DLL({}, dir.file(QStringLiteral("no/such/folder/x.xml"))), platform::UserError);
}

} // namespace
