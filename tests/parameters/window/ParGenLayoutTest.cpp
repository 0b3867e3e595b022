#include "parameters/window/ParGenLayout.h"

#include <algorithm>
#include <set>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

using namespace parameters;

namespace {

// The layout as the window has it after its creation steps.
ParGenLayout created(const LayoutChoices& c)
{
    ParGenLayout l = ParGenLayout::design();
    prepareCreation(l);
    collapseExpandCreation(l);
    rePositionObjects(l, c);
    return l;
}

LayoutChoices choices(int32_t type, int bacnetType = 0)
{
    LayoutChoices c;
    c.converterType = type;
    c.bacnetType = bacnetType;
    return c;
}

struct Shown {
    Box box;
    int top;
    int height;
};

// Every shown box with its top and height, top to bottom; every other box must be hidden.
std::vector<Shown> column(const ParGenLayout& l)
{
    std::vector<Shown> v;
    for (int i = 0; i < kBoxCount; ++i)
        if (l.box(boxAt(i)).visible)
            v.push_back({boxAt(i), l.box(boxAt(i)).top, l.box(boxAt(i)).height});
    std::sort(v.begin(), v.end(), [](const Shown& a, const Shown& b) { return a.top < b.top; });
    return v;
}

std::string describe(const std::vector<Shown>& v)
{
    std::string s;
    for (const Shown& x : v)
        s += boxName(x.box).toStdString() + "@" + std::to_string(x.top) + "/" + std::to_string(x.height) + " ";
    return s;
}

std::string describe(const std::vector<Shown>& v, int buttonsTop)
{
    return describe(v) + "buttons@" + std::to_string(buttonsTop);
}

TEST(ParGenLayout, ModbusTcpMasterWithBacnetIp)
{
    const ParGenLayout l = created(choices(3));
    EXPECT_EQ(describe(column(l), l.buttonsTop),
              "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_Modbus_TCP_Master@553/258 buttons@824");
    EXPECT_EQ(l.clientHeight, 865);
    EXPECT_EQ(l.clientWidth, 312);
    for (const Shown& s : column(l)) {
        EXPECT_EQ(l.box(s.box).left, 8);
        EXPECT_EQ(l.box(s.box).width, 296);
    }
    EXPECT_EQ(l.bacnetCaption, 128);
    EXPECT_TRUE(l.control("CB_BACnet_IP_EN_FDR").visible);
    EXPECT_TRUE(l.control("E_PORT").visible);
    EXPECT_FALSE(l.control("E_Port_Modbus_TCP_Master").visible); // kept in the file, never shown
}

TEST(ParGenLayout, FoldingMovesTheBoxesBelowAndUnfoldingRestores)
{
    const LayoutChoices c = choices(3);
    ParGenLayout l = created(c);
    collapseBox(l, Box::BACnet, c);
    EXPECT_EQ(describe(column(l), l.buttonsTop),
              "GB_BACnet_Type@70/58 GB_BACnet@134/26 GB_Modbus_TCP_Master@166/258 buttons@437");
    EXPECT_FALSE(l.expanded(Box::BACnet));
    EXPECT_FALSE(l.control("L_BACnet_IP").visible);
    EXPECT_FALSE(l.control("Btn_BACnet_Collapse").visible);
    EXPECT_TRUE(l.control("Btn_BACnet_Expande").visible);

    // A change of choice keeps the fold.
    LayoutChoices mstp = c;
    mstp.bacnetType = 1;
    rePositionObjects(l, mstp);
    rePositionObjects(l, c);
    EXPECT_EQ(l.box(Box::BACnet).height, 26);

    expandBox(l, Box::BACnet, c);
    EXPECT_EQ(describe(column(l), l.buttonsTop),
              "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_Modbus_TCP_Master@553/258 buttons@824");
    EXPECT_TRUE(l.control("L_BACnet_IP").visible);
    EXPECT_TRUE(l.control("Btn_BACnet_Collapse").visible);
    EXPECT_FALSE(l.control("Btn_BACnet_Expande").visible);
}

TEST(ParGenLayout, TypeBoxUnfoldsOnePixelShortOfItsDesign)
{
    const LayoutChoices c = choices(3);
    ParGenLayout l = created(c);
    collapseBox(l, Box::BACnet_Type, c);
    EXPECT_EQ(l.box(Box::BACnet_Type).height, 26);
    EXPECT_EQ(l.box(Box::BACnet).top, 102);
    EXPECT_FALSE(l.control("CB_BACnet_Type").visible);
    expandBox(l, Box::BACnet_Type, c);
    EXPECT_EQ(l.box(Box::BACnet_Type).height, 57);
    EXPECT_EQ(l.box(Box::BACnet).top, 133);
    EXPECT_TRUE(l.control("CB_BACnet_Type").visible);
}

TEST(ParGenLayout, MstpTurnsTheBacnetBoxIntoTheEthernetUpdatePort)
{
    const ParGenLayout l = created(choices(3, 1));
    EXPECT_EQ(describe(column(l), l.buttonsTop),
              "GB_BACnet_Type@70/58 GB_BACnet_Serial@134/350 GB_BACnet@490/190 GB_Modbus_TCP_Master@686/258 "
              "buttons@957");
    EXPECT_EQ(l.bacnetCaption, 127);
    for (const char* row : {"E_PORT", "L_BACnet_Port", "E_BACnet_Name_Station", "E_BACnet_Dev_Ide"})
        EXPECT_FALSE(l.control(row).visible) << row;
    EXPECT_TRUE(l.control("E_GAT4").visible);

    // Back to BACnet/IP: the rows and the caption return.
    ParGenLayout back = l;
    rePositionObjects(back, choices(3, 0));
    EXPECT_EQ(back.bacnetCaption, 128);
    EXPECT_TRUE(back.control("E_PORT").visible);
    EXPECT_FALSE(back.box(Box::BACnet_Serial).visible);
}

struct ColumnCase {
    const char* what;
    LayoutChoices choices;
    const char* expected;
};

TEST(ParGenLayout, ColumnByDeviceTypeAndChoices)
{
    const auto ch = [](int32_t type, int bacnet, int wire = 0, bool v3 = false, int level = 0) {
        LayoutChoices c;
        c.converterType = type;
        c.bacnetType = bacnet;
        c.wirePresent = wire;
        c.snmpVersion3 = v3;
        c.snmpSecurityLevel = level;
        return c;
    };
    const ColumnCase cases[] = {
        {"M-Bus, BACnet/IP", ch(1, 0),
         "GB_BACnet_Type@70/58 GB_BACnet@134/345 GB_MBus@485/214 buttons@712"},
        {"M-Bus, MS/TP", ch(1, 1),
         "GB_BACnet_Type@70/58 GB_BACnet_Serial@134/350 GB_MBus@490/214 buttons@717"},
        {"M-Bus, MS/TP with second Ethernet", ch(1, 2),
         "GB_BACnet_Type@70/58 GB_BACnet_Serial@134/350 GB_MBus@490/214 GB_Eth2@710/190 buttons@913"},
        {"Modbus TCP slave, MS/TP", ch(4, 1),
         "GB_BACnet_Type@70/58 GB_BACnet_Serial@134/350 GB_Modbus_TCP_Slave@490/224 buttons@727"},
        {"DeviceNet slave", ch(11, 0),
         "GB_BACnet_Type@70/58 GB_BACnet@134/345 GB_DNET_Slave@485/159 buttons@657"},
        {"DeviceNet master (fixed BACnet/IP)", ch(10, 1), "GB_BACnet@70/345 GB_DNET_Master@421/92 buttons@526"},
        {"Ethernet", ch(15, 0), "GB_BACnet@70/345 GB_Ethernet@421/57 buttons@491"},
        {"wireless M-Bus, no M-Bus on wire", ch(21, 0, 0),
         "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_Sel_Dev_Wire_Present@553/58 GB_wMBus@617/92 buttons@722"},
        {"wireless M-Bus, M-Bus on wire", ch(21, 0, 1),
         "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_Sel_Dev_Wire_Present@553/58 GB_wMBus@617/92 "
         "GB_MBus@715/214 buttons@942"},
        {"SNMP agent, version 3 off", ch(17, 0),
         "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_SNMP@553/179 buttons@745"},
        {"SNMP agent, NoAuth NoPriv", ch(17, 0, 0, true, 0),
         "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_SNMP@553/250 buttons@816"},
        {"SNMP agent, Auth NoPriv", ch(17, 0, 0, true, 1),
         "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_SNMP@553/318 buttons@884"},
        {"SNMP agent, Auth Priv", ch(17, 0, 0, true, 2),
         "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_SNMP@553/386 buttons@952"},
        {"PROFINET", ch(9, 0), "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_PROFINET@553/346 buttons@912"},
        {"KNX partner variant", ch(2016, 0), "GB_BACnet_Type@70/58 GB_BACnet@134/413 GB_KNX@553/91 buttons@657"},
        {"SNMP manager, MS/TP", ch(19, 1),
         "GB_BACnet_Type@70/58 GB_BACnet_Serial@134/350 GB_SNMP_Manager@490/190 buttons@693"},
        {"BACnet/IP slave, M-Bus master", ch(1001, 0), "GB_BACnet@70/379 GB_MBus@455/194 buttons@662"},
        {"PROFINET, M-Bus master", ch(1002, 0), "GB_PROFINET@70/346 GB_MBus@422/194 buttons@629"},
        {"Modbus TCP slave, M-Bus master", ch(1003, 0), "GB_Modbus_TCP_Slave@70/224 GB_MBus@300/194 buttons@507"},
        {"unknown device type", ch(5, 0), "GB_BACnet@70/345 buttons@428"},
    };
    for (const ColumnCase& k : cases) {
        const ParGenLayout l = created(k.choices);
        EXPECT_EQ(describe(column(l), l.buttonsTop), k.expected) << k.what;
        EXPECT_EQ(l.clientHeight, l.buttonsTop + 41) << k.what;
    }
}

TEST(ParGenLayout, RowsOfTheBoxesFollowTheModel)
{
    {
        const ParGenLayout l = created(choices(11));
        EXPECT_FALSE(l.control("CB_BACnet_IP_EN_BBMD").visible);
        EXPECT_FALSE(l.control("CB_BACnet_IP_EN_FDR").visible);
    }
    {
        const ParGenLayout l = created(choices(1001));
        EXPECT_FALSE(l.control("CB_BACnet_IP_Desc_Limit").visible);
        EXPECT_EQ(l.control("CB_BACnet_IP_EN_BBMD").top, 313);
        EXPECT_EQ(l.control("CB_BACnet_IP_EN_FDR").top, 347);
        EXPECT_TRUE(l.control("CB_BACnet_IP_EN_FDR").visible);
        EXPECT_FALSE(l.control("E_NSE_MBus").visible);
        EXPECT_TRUE(l.control("E_MBus_IdleTime").visible);
        EXPECT_FALSE(l.control("CB_MBus_Fix_CField").visible);
    }
    {
        const ParGenLayout l = created(choices(1));
        EXPECT_TRUE(l.control("E_NSE_MBus").visible);
        EXPECT_TRUE(l.control("CB_MBus_Fix_CField_Val").visible);
        EXPECT_FALSE(l.control("E_MBus_WaitAnswer").visible);
    }
    {
        const ParGenLayout l = created(choices(1002));
        EXPECT_FALSE(l.control("E_B_IN_PROFINET").visible);
        EXPECT_FALSE(l.control("L_PROFINET_NByteIn").visible);
        EXPECT_TRUE(l.control("CB_PROFINET_Auto_Calc_Bytes").visible);
        EXPECT_EQ(l.control("CB_PROFINET_Auto_Calc_Bytes").top, 279);
        EXPECT_TRUE(l.control("E_B_OUT_PROFINET").visible);
    }
    {
        const ParGenLayout l = created(choices(9));
        EXPECT_TRUE(l.control("E_B_IN_PROFINET").visible);
        EXPECT_TRUE(l.control("E_PORT_PROFINET").visible);
        EXPECT_FALSE(l.control("CB_PROFINET_Auto_Calc_Bytes").visible);
    }
    {
        const ParGenLayout l = created(choices(1003));
        EXPECT_TRUE(l.control("E_Modbus_TCP_Slave_GAT4").visible);
        EXPECT_TRUE(l.control("L_Dot_E_Modbus_TCP_Slave_IP3").visible);
        EXPECT_EQ(l.control("E_Port_Modbus_TCP_Slave").top, 188);
        EXPECT_EQ(l.control("L_Modbus_TCP_Slave_Port").top, 191);
    }
    {
        LayoutChoices c = choices(17);
        c.snmpVersion3 = true;
        c.snmpSecurityLevel = 1;
        const ParGenLayout l = created(c);
        EXPECT_TRUE(l.control("E_PROFI_SNMP_User").visible);
        EXPECT_TRUE(l.control("CB_PROFI_SNMP_Auth_Mode").visible);
        EXPECT_FALSE(l.control("E_PROFI_SNMP_Priv_Pass").visible);
    }
}

TEST(ParGenLayout, WirePresentInsertsTheMbusBoxAndMovesTheButtons)
{
    LayoutChoices c = choices(21);
    ParGenLayout l = created(c);
    EXPECT_FALSE(l.box(Box::MBus).visible);
    const int before = l.buttonsTop;
    c.wirePresent = 1;
    rePositionObjects(l, c);
    EXPECT_TRUE(l.box(Box::MBus).visible);
    EXPECT_EQ(l.box(Box::MBus).top, l.box(Box::wMBus).bottom() + 6);
    EXPECT_EQ(l.buttonsTop, before + 214 + 6);
}

TEST(ParGenLayout, EveryBoxHasItsFoldButtonsAndFoldRows)
{
    const ParGenLayout l = created(choices(3));
    for (int i = 0; i < kBoxCount; ++i) {
        const Box b = boxAt(i);
        const Place& collapse = l.control(collapseButtonName(b));
        EXPECT_EQ(collapse.left, 280);
        EXPECT_EQ(collapse.top, 10);
        EXPECT_EQ(collapse.width, 11);
        EXPECT_TRUE(collapse.visible);
        EXPECT_FALSE(l.control(expandButtonName(b)).visible);
        EXPECT_TRUE(l.expanded(b));
        for (const QString& name : foldedControls(b)) {
            EXPECT_TRUE(l.hasControl(name)) << name.toStdString();
            bool inBox = false;
            for (const ControlDesign& d : designControls())
                if (d.name == name)
                    inBox = d.box == b;
            EXPECT_TRUE(inBox) << name.toStdString();
        }
    }
    // Folding any shown box leaves only its caption line, and the boxes stay 6 pixels apart.
    for (Box b : shownBoxes(choices(3))) {
        ParGenLayout f = l;
        collapseBox(f, b, choices(3));
        const std::vector<Shown> v = column(f);
        for (size_t k = 1; k < v.size(); ++k)
            EXPECT_EQ(v[k].top, v[k - 1].top + v[k - 1].height + 6) << describe(v);
    }
}

TEST(ParGenLayout, ControlNamesAreUnique)
{
    std::set<QString> names;
    for (const ControlDesign& d : designControls())
        EXPECT_TRUE(names.insert(d.name).second) << d.name.toStdString();
}

} // namespace
