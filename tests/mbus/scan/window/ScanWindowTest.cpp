// The scan window driven as a person uses it, with its engine on a fake channel: the set-up
// layout, wired and wireless scans, the progress list, the trees and the grid, the key entry,
// the timer, closing, and the cyclic test scan.
#include "WindowFixture.h"
#include "controls/grid/input/GridInput.h"
#include "mbus/scan/window/ScanDecodeTexts.h"
#include "platform/ui/controls/Controls.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace scanwindow;
using controls::csCheckedNormal;
using controls::csUncheckedNormal;

namespace {

QStringList progressLines(TFScanDecode& w)
{
    QStringList out;
    for (int i = 0; i < w.LB_AvailableDevice->count(); ++i)
        out << w.LB_AvailableDevice->item(i)->text();
    return out;
}

// What a person sees of the buttons: the names of the shown ones, left to right.
QStringList shownButtons(TFScanDecode& w)
{
    std::vector<std::pair<int, QString>> shown;
    for (controls::TFxButton* b : {w.Btn_StartScan, w.Btn_StopScan, w.Btn_AbortScan, w.Btn_NewScan, w.Btn_SaveConf,
                                   w.Btn_SaveConfManual})
        if (b->isVisibleTo(&w))
            shown.emplace_back(b->x(), b->objectName());
    std::sort(shown.begin(), shown.end());
    QStringList out;
    for (const auto& s : shown)
        out << s.second;
    return out;
}

void chooseWireless(TFScanDecode& w)
{
    w.CB_ScanMethod->setItemIndex(1);
    w.CB_HardwareTypeChange();
}

TEST(ScanWindow, TextsAndTheSetUpLayoutOfAWiredOnlyModel)
{
    Env env;
    env.show(0, 0);
    TFScanDecode& w = env.w();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Scan & Decode"));
    EXPECT_EQ(w.size(), QSize(640, 523));
    EXPECT_EQ(w.L_SW_Code->text(), QStringLiteral("SCAN & DECODE"));
    EXPECT_EQ(w.L_SW_Desc->text(), QStringLiteral("Scan & Decode M-Bus Network"));
    EXPECT_EQ(w.CB_ScanBy->items(), (QStringList{QStringLiteral("Primary Address"), QStringLiteral("Secondary Address")}));
    EXPECT_EQ(w.CB_MBus_Baud->text(), QStringLiteral("2400"));
    EXPECT_EQ(w.CB_MBus_Parity->text(), QStringLiteral("EVEN"));
    EXPECT_EQ(w.E_Opt_Cut_After->text(), QStringLiteral("3"));
    EXPECT_EQ(w.CB_Opt_Check_BCD_to_Int->text(), QStringLiteral(" "));
    EXPECT_EQ(w.Btn_SaveConfManual->caption(), QStringLiteral("Save Node Add. Conf."));

    // Rows from the top of the set-up area: labels at 32, fields at 176, 3 pixels higher.
    EXPECT_FALSE(w.CB_ScanMethod->isVisibleTo(&w));
    EXPECT_EQ(w.L_ScanBy->pos(), QPoint(32, 11));
    EXPECT_EQ(w.CB_ScanBy->pos(), QPoint(176, 8));
    EXPECT_EQ(w.L_HardwareType->pos(), QPoint(32, 43));
    EXPECT_EQ(w.L_IP->pos(), QPoint(32, 67));
    EXPECT_EQ(w.E_IP1->geometry(), QRect(176, 64, 60, 21));
    EXPECT_EQ(w.E_IP4->pos(), QPoint(374, 64));
    EXPECT_EQ(w.L_IP_Dot3->pos(), QPoint(369, 67));
    EXPECT_FALSE(w.CB_ComPort->isVisibleTo(&w));
    EXPECT_FALSE(w.E_Port->isVisibleTo(&w));
    EXPECT_EQ(w.L_MBus_ParGen->pos(), QPoint(16, 99));
    EXPECT_EQ(w.L_MBus_Baud->pos(), QPoint(32, 123));
    EXPECT_EQ(w.L_MBus_Parity->pos(), QPoint(32, 147));
    EXPECT_EQ(w.L_Option_Scan->pos(), QPoint(16, 179));
    // The options in their order, 24 pixels apart.
    std::vector<int> tops;
    for (QWidget* o : std::initializer_list<QWidget*>{w.CB_Opt_App_Reset, w.CB_Opt_SND_NKE, w.E_Opt_Cut_After,
                                                      w.CB_Opt_Use_Fix_C_Field_Value, w.CB_Opt_Check_BCD_to_Int,
                                                      w.CB_Opt_Enable_Remote_Scan})
        tops.push_back(o->y() + (qobject_cast<QCheckBox*>(o) ? 2 : 3));
    EXPECT_EQ(tops, (std::vector<int>{203, 227, 251, 275, 299, 323}));
    EXPECT_FALSE(w.CB_wMBus_Mode->isVisibleTo(&w));
    EXPECT_EQ(shownButtons(w), QStringList{QStringLiteral("Btn_StartScan")});
    EXPECT_EQ(w.Btn_StartScan->pos(), QPoint(16, 6));
    EXPECT_TRUE(w.P_Main->isVisibleTo(&w));
    EXPECT_FALSE(w.P_TreeView->isVisibleTo(&w));

    // A change of language relabels the window.
    workspace::ws().Lang_Texts[1321] = QStringLiteral("Avvia");
    workspace::ws().Lang_Texts[1303] = QStringLiteral("Scansione per");
    w.Set_Lang();
    EXPECT_EQ(w.Btn_StartScan->caption(), QStringLiteral("Avvia"));
    EXPECT_EQ(w.L_ScanBy->text(), QStringLiteral("Scansione per"));
}

TEST(ScanWindow, WirelessLayoutAndTheFixedPortOfSomeModels)
{
    struct Case {
        uint32_t code;
        const char* port;
        bool enabled;
    };
    for (const Case& c : {Case{12, "10001", false}, Case{15, "10001", false}, Case{18, "10001", true}, Case{0, "502", true}}) {
        Env env(21);
        env.show(c.code, 1);
        TFScanDecode& w = env.w();
        EXPECT_EQ(w.size(), QSize(640, 571));
        EXPECT_EQ(w.L_ScanMethod->pos(), QPoint(32, 11));
        EXPECT_EQ(w.L_ScanBy->pos(), QPoint(32, 43)); // wired: Scan By below the method
        EXPECT_EQ(w.L_HardwareType->pos(), QPoint(32, 75));
        EXPECT_FALSE(w.E_Port->isVisibleTo(&w));
        chooseWireless(w);
        EXPECT_FALSE(w.CB_ScanBy->isVisibleTo(&w));
        EXPECT_EQ(w.L_HardwareType->pos(), QPoint(32, 43));
        EXPECT_EQ(w.L_Port->pos(), QPoint(32, 91));
        EXPECT_TRUE(w.E_Port->isVisibleTo(&w));
        EXPECT_EQ(w.E_Port->text(), QLatin1String(c.port)) << c.code;
        EXPECT_EQ(w.E_Port->isEnabled(), c.enabled) << c.code;
        EXPECT_EQ(w.L_MBus_ParGen->pos(), QPoint(16, 123));
        EXPECT_EQ(w.L_wMBus_Mode->pos(), QPoint(32, 147));
        EXPECT_EQ(w.L_wMBus_Radio_Channel->pos(), QPoint(32, 171));
        EXPECT_EQ(w.CB_wMBus_Radio_Channel->count(), 9);
        EXPECT_FALSE(w.CB_MBus_Baud->isVisibleTo(&w));
        EXPECT_FALSE(w.CB_Opt_App_Reset->isVisibleTo(&w));
        EXPECT_TRUE(w.CB_Opt_Enable_Remote_Scan->isVisibleTo(&w));
    }
}

TEST(ScanWindow, EveryStyleSetsTheHardwareBackToEthernetAndShowsItsButtons)
{
    struct Case {
        uint32_t code;
        int style;
        QStringList buttons;
    };
    const QStringList running{QStringLiteral("Btn_StopScan"), QStringLiteral("Btn_AbortScan")};
    const QStringList ended{QStringLiteral("Btn_NewScan"), QStringLiteral("Btn_SaveConf"),
                            QStringLiteral("Btn_SaveConfManual")};
    const QStringList endedNoManual{QStringLiteral("Btn_NewScan"), QStringLiteral("Btn_SaveConf")};
    const Case cases[] = {
        {0, 1, {QStringLiteral("Btn_StartScan")}}, {0, 2, running}, {0, 3, ended}, {6, 3, endedNoManual},
        {11, 3, endedNoManual}, {0, 4, running}, {0, 5, ended}, {6, 5, ended}, {15, 5, endedNoManual},
    };
    Env env;
    env.show(0, 0);
    TFScanDecode& w = env.w();
    for (const Case& c : cases) {
        w.XML_Code_Dev = c.code;
        w.CB_HardwareType->setItemIndex(1);
        w.CB_HardwareType->setEnabled(true);
        w.Form_Style(c.style);
        EXPECT_EQ(w.CB_HardwareType->itemIndex(), 0) << c.style;
        EXPECT_FALSE(w.CB_HardwareType->isEnabled());
        EXPECT_EQ(shownButtons(w), c.buttons) << "style " << c.style << " code " << c.code;
        EXPECT_EQ(w.P_Main->isVisibleTo(&w), c.style == 1);
        EXPECT_EQ(w.P_TreeView->isVisibleTo(&w), c.style == 2 || c.style == 3);
        EXPECT_EQ(w.P_View_Wireless->isVisibleTo(&w), c.style == 4 || c.style == 5);
    }
    w.Form_Style(3);
    EXPECT_EQ(w.Btn_SaveConf->pos(), QPoint(134, 6));
    EXPECT_EQ(w.Btn_SaveConfManual->pos(), QPoint(252, 6));
    EXPECT_TRUE(w.VST->isVisibleTo(&w));
    EXPECT_FALSE(w.LB_AvailableDevice->isVisibleTo(&w));
    EXPECT_EQ(w.L_ScanProgress->text(), QStringLiteral("Number of Slaves"));
    w.Form_Style(2);
    EXPECT_EQ(w.Btn_AbortScan->pos(), QPoint(134, 6));
    EXPECT_FALSE(w.VST->isVisibleTo(&w));
    EXPECT_TRUE(w.LB_AvailableDevice->isVisibleTo(&w));
    EXPECT_EQ(w.L_ScanProgress->text(), QStringLiteral("Scan in Progress..."));
    EXPECT_FALSE(w.L_Num_Slave->isVisibleTo(&w));
}

TEST(ScanWindow, TheGatewayAddressComesFromTheGeneralParametersByDeviceCode)
{
    struct Case {
        uint32_t code;
        QStringList expected;
    };
    const Case cases[] = {
        {11, {"10", "0", "0", "11"}},  {17, {"10", "0", "0", "11"}}, {0, {"127", "0", "0", "1"}},
        {6, {"172", "16", "0", "6"}},  {15, {"10", "1", "1", "15"}}, {10, {"10", "2", "2", "10"}},
        {18, {"10", "3", "3", "18"}},  {1, {"127", "0", "0", "1"}},
    };
    for (const Case& c : cases) {
        Env env;
        workspace::ws().Path_ParGen = env.dir.write(
            QStringLiteral("ParGen.xml"),
            "<Par_Gen><IP_1>127</IP_1><IP_2>0</IP_2><IP_3>0</IP_3><IP_4>1</IP_4>"
            "<PROFINET_IP1>10</PROFINET_IP1><PROFINET_IP2>0</PROFINET_IP2><PROFINET_IP3>0</PROFINET_IP3>"
            "<PROFINET_IP4>11</PROFINET_IP4><BACnet_IP1>172</BACnet_IP1><BACnet_IP2>16</BACnet_IP2>"
            "<BACnet_IP3>0</BACnet_IP3><BACnet_IP4>6</BACnet_IP4><Modbus_TCP_Slave_IP1>10</Modbus_TCP_Slave_IP1>"
            "<Modbus_TCP_Slave_IP2>1</Modbus_TCP_Slave_IP2><Modbus_TCP_Slave_IP3>1</Modbus_TCP_Slave_IP3>"
            "<Modbus_TCP_Slave_IP4>15</Modbus_TCP_Slave_IP4><Eth_IP1>10</Eth_IP1><Eth_IP2>2</Eth_IP2>"
            "<Eth_IP3>2</Eth_IP3><Eth_IP4>10</Eth_IP4><Ethernet_IP1>10</Ethernet_IP1><Ethernet_IP2>3</Ethernet_IP2>"
            "<Ethernet_IP3>3</Ethernet_IP3><Ethernet_IP4>18</Ethernet_IP4></Par_Gen>");
        env.show(c.code, 0);
        TFScanDecode& w = env.w();
        EXPECT_EQ((QStringList{w.E_IP1->text(), w.E_IP2->text(), w.E_IP3->text(), w.E_IP4->text()}), c.expected)
            << c.code;
    }
    // A missing element leaves its field as it was; no file leaves all four.
    Env env;
    workspace::ws().Path_ParGen = env.dir.write(QStringLiteral("ParGen.xml"), "<Par_Gen><IP_2>99</IP_2></Par_Gen>");
    env.show(0, 0);
    EXPECT_EQ(env.w().E_IP1->text(), QStringLiteral("192"));
    EXPECT_EQ(env.w().E_IP2->text(), QStringLiteral("99"));
    workspace::ws().Path_ParGen = env.dir.file(QStringLiteral("none.xml"));
    env.w().E_IP2->setText(QStringLiteral("168"));
    env.show(0, 0);
    EXPECT_EQ(env.w().E_IP2->text(), QStringLiteral("168"));
}

TEST(ScanWindow, ADotMovesOnToTheNextAddressField)
{
    Env env;
    env.show(0, 0);
    TFScanDecode& w = env.w();
    w.show();
    w.E_IP1->setText(QString());
    w.E_IP1->setFocus();
    QTest::keyClicks(w.E_IP1, QStringLiteral("192."));
    EXPECT_EQ(w.E_IP1->text(), QStringLiteral("192"));
    EXPECT_TRUE(w.E_IP2->focused());
    w.E_IP4->setText(QString());
    w.E_IP4->setFocus();
    QTest::keyClicks(w.E_IP4, QStringLiteral("7."));
    EXPECT_EQ(w.E_IP4->text(), QStringLiteral("7"));
    w.hide();
}

TEST(ScanWindow, WiredPrimaryScanListsEveryAddressAndShowsTheMetersInTheTree)
{
    Env env;
    env.gw.bus.meters = {meter(1, 0x11111111), meter(2, 0x22222222)};
    env.show(0, 0);
    TFScanDecode& w = env.w();
    w.E_IP4->setText(QStringLiteral("10"));
    w.BtnClick(w.Btn_StartScan);
    EXPECT_EQ(env.gw.settings.gateway, 0xC0A8020Au); // 192.168.2.10
    EXPECT_TRUE(w.LB_AvailableDevice->isVisibleTo(&w));
    EXPECT_EQ(shownButtons(w), (QStringList{QStringLiteral("Btn_StopScan"), QStringLiteral("Btn_AbortScan")}));
    ASSERT_TRUE(env.stepUntil([&] { return w.LB_AvailableDevice->count() >= 4; }));
    w.BtnClick(w.Btn_StopScan);
    ASSERT_TRUE(env.runScan());
    EXPECT_EQ(progressLines(w), (QStringList{QStringLiteral("ID = 0\t[NOT FOUND]"), QStringLiteral("ID = 1\t"),
                                             QStringLiteral("ID = 2\t"), QStringLiteral("ID = 3\t[NOT FOUND]")}));

    // Not-found lines are red, found ones blue.
    const QImage shot = w.LB_AvailableDevice->viewport()->grab().toImage();
    auto rowHas = [&](int row, QRgb colour) {
        const QRect r = w.LB_AvailableDevice->visualItemRect(w.LB_AvailableDevice->item(row));
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (shot.pixel(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(rowHas(0, qRgb(255, 0, 0)));
    EXPECT_FALSE(rowHas(0, qRgb(0, 0, 255)));
    EXPECT_TRUE(rowHas(1, qRgb(0, 0, 255)));
    EXPECT_FALSE(rowHas(1, qRgb(255, 0, 0)));

    // The timer sees the scan ended: the tree of meters, records and their twelve lines.
    env.tick();
    EXPECT_TRUE(w.VST->isVisibleTo(&w));
    EXPECT_EQ(w.L_Num_Slave->text(), QStringLiteral("2"));
    const QStringList t = treeTexts(w.VST);
    ASSERT_EQ(t.size(), 2 * (1 + 4 * 13));
    EXPECT_EQ(t[0], QStringLiteral("Primary Address = 1 - Secondary Address = 11111111 - Manufacturer = KAM(11309) - "
                                   "Version = 1 - Type = 7"));
    EXPECT_EQ(t[1], QStringLiteral("  Value = 12345.678 - Type = Volume m3 (U0S0T0)"));
    EXPECT_EQ(t.mid(2, 12),
              (QStringList{"    Storage Number = 0", "    Tariff = 0", "    Unit = 0", "    Data Field = 8 Digit BCD",
                           "    Function Field = Istantaneous value", "    Type = Volume m3",
                           "    Value = 12345.678", "    DIF = $0C", "    VIF = $13", "    DIFE = ", "    VIFE = ",
                           "    DATA = $78563412"}));
    EXPECT_TRUE(t[53].startsWith(QStringLiteral("Primary Address = 2 - Secondary Address = 22222222")));
    // Meters and records carry check boxes, checked; the lines none.
    for (int m = 0; m < 2; ++m) {
        EXPECT_EQ(w.wiredNode(m, -1)->CheckType, controls::ctCheckBox);
        EXPECT_EQ(w.wiredNode(m, -1)->CheckState, csCheckedNormal);
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(w.wiredNode(m, r)->CheckState, csCheckedNormal);
    }
    EXPECT_EQ(w.wiredNode(0, 0)->FirstChild->CheckType, controls::ctNone);

    // New Scan forgets the meters.
    w.BtnClick(w.Btn_NewScan);
    EXPECT_EQ(w.lists().List_Slave_MBus.size(), 0u);
    EXPECT_TRUE(treeTexts(w.VST).isEmpty());
    EXPECT_TRUE(w.P_Main->isVisibleTo(&w));
}

TEST(ScanWindow, SecondaryScanListsItsStartTheMetersAndItsEnd)
{
    Env env;
    env.gw.bus.meters = {meter(1, 0x12345678), meter(2, 0x23456789)};
    env.show(0, 0);
    TFScanDecode& w = env.w();
    w.CB_ScanBy->setItemIndex(1);
    w.BtnClick(w.Btn_StartScan);
    ASSERT_TRUE(env.runScan());
    EXPECT_EQ(progressLines(w), (QStringList{QStringLiteral("Start Scan By Secondary Address"), QStringLiteral("ID = 12345678"),
                                             QStringLiteral("ID = 23456789"), QStringLiteral("Finish Scan By Secondary Address")}));
    env.tick();
    EXPECT_EQ(w.L_Num_Slave->text(), QStringLiteral("2"));
}

TEST(ScanWindow, StartIsRefusedWhileAScanRunsAndForABadGatewayAddress)
{
    Env env;
    env.gw.bus.meters = {meter(1, 0x11111111)};
    env.show(0, 0);
    TFScanDecode& w = env.w();
    // A finished scan's meters.
    w.BtnClick(w.Btn_StartScan);
    ASSERT_TRUE(env.stepUntil([&] { return w.LB_AvailableDevice->count() >= 2; }));
    w.AbortScan();
    ASSERT_TRUE(env.runScan());
    env.tick();
    ASSERT_EQ(w.lists().List_Slave_MBus.size(), 1u);

    // A bad address: an error box, nothing sent, the results kept.
    const size_t sent = env.gw.sent.size();
    for (const char* bad : {"256", "", "1 ", "x"}) {
        w.NewScan();
        w.lists().List_Slave_MBus.with([](std::vector<TSlave_MBus>& l) { l.emplace_back(); });
        env.boxes.clear();
        w.E_IP4->setText(QLatin1String(bad));
        w.BtnClick(w.Btn_StartScan);
        ASSERT_EQ(env.boxes.texts().size(), 1) << bad;
        EXPECT_TRUE(env.boxes.texts()[0].contains(QStringLiteral("IP Address"))) << bad;
        EXPECT_FALSE(env.engine().InScan());
        EXPECT_EQ(env.gw.sent.size(), sent);
        EXPECT_EQ(w.lists().List_Slave_MBus.size(), 1u);
        EXPECT_TRUE(w.P_Main->isVisibleTo(&w));
    }

    // Twice Start Scan: the second press shows 1326 and the first scan goes on.
    w.E_IP4->setText(QStringLiteral("205"));
    env.boxes.clear();
    w.BtnClick(w.Btn_StartScan);
    ASSERT_TRUE(env.stepUntil([&] { return w.LB_AvailableDevice->count() >= 1; }));
    w.Select_Scan();
    EXPECT_EQ(env.boxes.texts(), QStringList{workspace::text(1326)});
    ASSERT_TRUE(env.stepUntil([&] { return w.LB_AvailableDevice->count() >= 2; }));
    EXPECT_EQ(w.LB_AvailableDevice->item(1)->text(), QStringLiteral("ID = 1\t"));
    w.AbortScan();
    ASSERT_TRUE(env.runScan());
}

TEST(ScanWindow, AWirelessPortThatIsNoNumberOrTooLargeStartsNothing)
{
    Env env(21);
    env.show(0, 1);
    TFScanDecode& w = env.w();
    chooseWireless(w);
    for (const char* port : {"70000", "65536", "abc", "", "-1"}) {
        env.boxes.clear();
        w.E_Port->setText(QLatin1String(port));
        w.BtnClick(w.Btn_StartScan);
        EXPECT_EQ(env.boxes.texts(), QStringList{workspace::text(1338)}) << port;
        EXPECT_FALSE(env.engine().InScan());
    }
    EXPECT_TRUE(env.gw.sent.empty());
}

TEST(ScanWindow, GatewayThatDoesNotConfirmTheAnalyzerShows1329)
{
    Env env;
    env.gw.confirmAnalyzer = false;
    env.show(0, 0);
    TFScanDecode& w = env.w();
    w.BtnClick(w.Btn_StartScan);
    env.tick(); // still scanning: the timer goes on
    EXPECT_TRUE(env.engine().InScan());
    EXPECT_TRUE(env.boxes.texts().isEmpty());
    ASSERT_TRUE(env.runScan());
    env.tick();
    EXPECT_EQ(env.boxes.texts(), QStringList{workspace::text(1329)});
    EXPECT_TRUE(w.P_Main->isVisibleTo(&w));
    EXPECT_FALSE(w.T_InScan->enabled());
}

// A wireless scan listening, with an encrypted meter in row 1 and a readable one in row 2.
struct Listening {
    Listening() : env(21)
    {
        env.show(12, 1);
        chooseWireless(env.w());
        env.w().BtnClick(env.w().Btn_StartScan);
        EXPECT_TRUE(env.stepUntil([&] { return env.engine().Step_Scan() == 134; }));
        env.gw.deliver(telegramOf(0x11111111, true));
        env.gw.deliver(telegramOf(0x22222222, false));
    }
    QColor background(int col, int row)
    {
        return platform::toQColor(env.w().XGR_Wireless->CellProperties(col, row)->BrushColor());
    }
    Env env;
};

TEST(ScanWindow, WirelessGridGrowsARowPerMeterWithItsColourAndImage)
{
    Listening l;
    TFScanDecode& w = l.env.w();
    EXPECT_TRUE(w.P_View_Wireless->isVisibleTo(&w));
    EXPECT_EQ(w.size(), QSize(640, 571));
    auto* g = w.XGR_Wireless;
    ASSERT_EQ(g->RowCount(), 3);
    QStringList headers;
    std::vector<int> widths;
    for (int c = 0; c < g->ColCount(); ++c) {
        headers << g->Cells(c, 0);
        widths.push_back(g->colWidths(c));
    }
    EXPECT_EQ(headers, wirelessHeaders());
    EXPECT_EQ(widths, (std::vector<int>{40, 65, 90, 120, 90, 85, 110, 120, 90, 85, 110, 50, 70}));
    EXPECT_EQ(g->DefaultRowHeight(), 22);
    EXPECT_TRUE(g->options() & platform::goRowSelect);

    QStringList row1;
    for (int c = 0; c < 13; ++c)
        row1 << g->Cells(c, 1);
    TSlave_wMBus first;
    w.lists().List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) { first = list[0]; });
    EXPECT_EQ(row1, (QStringList{"1", QLocale::system().toString(first.DateTime, QLocale::ShortFormat), "0x44",
                                 "KAM(2C2D)", "11111111", "1 (01)", "7 (07)", "KAM(2C2D)", "11111111", "1 (01)",
                                 "7 (07)", "-82", ""}));
    for (int c = 0; c < 13; ++c) {
        EXPECT_EQ(l.background(c, 1), QColor(0xFF, 0xBB, 0xB9)) << c;
        EXPECT_EQ(l.background(c, 2), QColor(0xA8, 0xFF, 0xA8)) << c;
    }
    int image = -1;
    ASSERT_TRUE(g->GetImageIdx(12, 1, image));
    EXPECT_EQ(image, 0);
    ASSERT_TRUE(g->GetImageIdx(12, 2, image));
    EXPECT_EQ(image, 1);

    // A meter heard again keeps its row, rewritten in place.
    l.env.clock.advance(60'000);
    l.env.gw.deliver(telegramOf(0x22222222, false, 0x2B));
    EXPECT_EQ(g->RowCount(), 3);
    TSlave_wMBus second;
    w.lists().List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) { second = list[1]; });
    EXPECT_EQ(g->Cells(1, 2), QLocale::system().toString(second.DateTime, QLocale::ShortFormat));
    EXPECT_EQ(g->Cells(0, 2), QStringLiteral("2"));

    // Stop: the window shows the ended state.
    w.BtnClick(w.Btn_StopScan);
    ASSERT_TRUE(l.env.runScan());
    l.env.tick();
    EXPECT_EQ(shownButtons(w), (QStringList{QStringLiteral("Btn_NewScan"), QStringLiteral("Btn_SaveConf"),
                                            QStringLiteral("Btn_SaveConfManual")}));
    EXPECT_TRUE(w.P_View_Wireless->isVisibleTo(&w));
    EXPECT_EQ(l.env.gw.sentTexts().back(), "Ostrel_Disable_Configuration_Mode");
}

TEST(ScanWindow, AClickShowsThatMetersTreeWhoseMarksSetItsFlags)
{
    Listening l;
    TFScanDecode& w = l.env.w();
    w.XGR_WirelessClickCell(2, 3);
    QStringList t = treeTexts(w.VST_Wireless);
    ASSERT_EQ(t.size(), 1 + 4 * 13);
    EXPECT_EQ(t[0], QStringLiteral("Manufacturer = KAM - Address = 22222222 - Version = 1 - Device Type = 7 - "));
    EXPECT_EQ(t[1], QStringLiteral("  Value = 12345.678 - Type = Volume m3 (U0S0T0)"));
    EXPECT_EQ(t[13], QStringLiteral("    DATA = $78563412"));
    w.XGR_WirelessClickCell(1, 0);
    EXPECT_EQ(treeTexts(w.VST_Wireless),
              QStringList{"Manufacturer = KAM - Address = 11111111 - Version = 1 - Device Type = 7 - CRIPTED!!"});
    w.XGR_WirelessClickCell(0, 0); // the header: nothing changes
    w.XGR_WirelessClickCell(5, 0); // no meter there
    EXPECT_EQ(w.wirelessTreeMeter(), 0);

    auto flags = [&](int meter) {
        std::vector<bool> f;
        w.lists().List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) {
            f.push_back(list[size_t(meter)].Enable);
            for (const TVariable_MBus& v : list[size_t(meter)].List_Var)
                f.push_back(v.Enable);
        });
        return f;
    };
    w.XGR_WirelessClickCell(2, 0);
    // Unchecking a record clears that record's Enable.
    w.VST_Wireless->SetCheckState(w.wirelessNode(1), csUncheckedNormal);
    EXPECT_EQ(flags(1), (std::vector<bool>{true, true, false, true, true}));
    // Unchecking the meter clears the meter's Enable and leaves its records as they are.
    w.VST_Wireless->SetCheckState(w.wirelessNode(-1), csUncheckedNormal);
    EXPECT_EQ(flags(1), (std::vector<bool>{false, true, false, true, true}));
    // The tree shows the flags when it is built again.
    w.XGR_WirelessClickCell(2, 0);
    EXPECT_EQ(w.wirelessNode(-1)->CheckState, csUncheckedNormal);
    EXPECT_EQ(w.wirelessNode(1)->CheckState, csUncheckedNormal);
    EXPECT_EQ(w.wirelessNode(0)->CheckState, csCheckedNormal);
    // A mark changes the meter the tree shows, whichever row is current meanwhile.
    w.XGR_Wireless->MoveToCell(1, 1);
    w.VST_Wireless->SetCheckState(w.wirelessNode(-1), csCheckedNormal);
    EXPECT_EQ(flags(1)[0], true);
    EXPECT_EQ(flags(0), (std::vector<bool>{true}));
    w.AbortScan();
    ASSERT_TRUE(l.env.runScan());
}

TEST(ScanWindow, DoubleClickOnAnEncryptedMeterTakesItsKey)
{
    Listening l;
    TFScanDecode& w = l.env.w();
    // Not encrypted, the header, or no meter: no dialog.
    for (int row : {2, 0, 7})
        w.XGR_WirelessDblClickCell(row, 1, QPoint(10, 10));
    EXPECT_TRUE(l.env.shownDialogs.isEmpty());

    // Cancel hands nothing to the engine.
    l.env.actions[QStringLiteral("FInsertKeyWireless")] = [](platform::Form& f) { f.setModalResult(platform::mrCancel); };
    const size_t before = l.env.gw.sent.size();
    w.XGR_WirelessDblClickCell(1, 1, QPoint(10, 10));
    EXPECT_EQ(l.env.shownDialogs, QStringList{QStringLiteral("FInsertKeyWireless")});
    EXPECT_EQ(l.env.engine().Step_Scan(), 134u);

    // The key typed in lower case is taken in upper case and programmed into the module.
    const mbus::scan::Key128 key = mbustest::testKey();
    const QString typed = QString::fromStdString(mbustest::hexOf(key)).remove(QLatin1Char(' ')).toLower();
    l.env.actions[QStringLiteral("FInsertKeyWireless")] = [&](platform::Form& f) {
        auto& d = static_cast<TFInsertKeyWireless&>(f);
        d.E_Key->clear();
        QTest::keyClicks(d.E_Key, typed);
        EXPECT_EQ(d.E_Key->text(), typed.toUpper());
        d.Btn_OK->click();
    };
    w.XGR_WirelessDblClickCell(1, 1, QPoint(10, 10));
    ASSERT_TRUE(l.env.stepUntil([&] { return l.env.engine().Step_Scan() == 134; }));
    std::vector<std::string> sent;
    for (size_t i = before; i < l.env.gw.sent.size(); ++i)
        sent.push_back(scantest::asText(l.env.gw.sent[i]));
    ASSERT_EQ(sent.size(), 1u + 8u + 16u + 1u + 1u);
    EXPECT_EQ(sent.front(), "+++");
    EXPECT_EQ(sent[9], "ATS470=" + std::to_string(key[0]) + "\r");
    EXPECT_EQ(sent.back(), "ATO\r");

    // The meter's next telegram is read: its row turns green and its tree shows the records.
    l.env.gw.deliver(telegramOf(0x11111111, true, 0x2B));
    int image = -1;
    ASSERT_TRUE(w.XGR_Wireless->GetImageIdx(12, 1, image));
    EXPECT_EQ(image, 1);
    EXPECT_EQ(l.background(3, 1), QColor(0xA8, 0xFF, 0xA8));
    w.XGR_WirelessClickCell(1, 0);
    // Its records, the place-holders of the fillers of the last encrypted block among them.
    size_t records = 0;
    int real = 0;
    w.lists().List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) {
        records = list[0].List_Var.size();
        for (const TVariable_MBus& v : list[0].List_Var)
            real += v.Real_Wireless_Var ? 1 : 0;
    });
    EXPECT_EQ(real, 4);
    const QStringList t = treeTexts(w.VST_Wireless);
    EXPECT_EQ(t.size(), 1 + int(records) * 13);
    EXPECT_EQ(t.count(QStringLiteral("  Idle Filler")), int(records) - 4);
    w.AbortScan();
    ASSERT_TRUE(l.env.runScan());
}

TEST(ScanWindow, KeyDialogStaysInsideTheScanWindow)
{
    const QRect client(100, 50, 640, 571);
    const QSize dialog(481, 47);
    struct Case {
        QPoint mouse;
        QPoint place;
    };
    for (const Case& c : {Case{{200, 100}, {200, 100}}, Case{{600, 100}, {259, 100}}, Case{{200, 610}, {200, 574}},
                          Case{{700, 615}, {259, 574}}})
        EXPECT_EQ(keyDialogPlace(c.mouse, dialog, client), c.place) << c.mouse.x() << "," << c.mouse.y();
}

TEST(ScanWindow, ClosingMidScanEndsTheScanWithItsClosingCommandsAndParksTheEngine)
{
    Env env;
    env.show(0, 0);
    TFScanDecode& w = env.w();
    w.BtnClick(w.Btn_StartScan);
    ASSERT_TRUE(env.stepUntil([&] { return w.LB_AvailableDevice->count() >= 2; }));
    w.FormClose();
    EXPECT_FALSE(w.T_InScan->enabled());
    EXPECT_TRUE(env.engine().AbortScan());
    // The engine keeps stepping until its closing commands are done, then parks.
    ASSERT_TRUE(env.runScan());
    EXPECT_EQ(env.gw.sentTexts().back(), "Ostrel_Disable_Analyzer_Mode");
    EXPECT_FALSE(env.gw.isOpen());
    EXPECT_EQ(env.engine().Event_Run().WaitFor(0), platform::TEventWaitResult::wrSignaled);
    env.tick();
    EXPECT_EQ(env.engine().Event_Run().WaitFor(0), platform::TEventWaitResult::wrTimeout);
    // Shown again: the engine steps again.
    env.show(0, 0);
    EXPECT_EQ(env.engine().Event_Run().WaitFor(0), platform::TEventWaitResult::wrSignaled);
    EXPECT_TRUE(w.P_Main->isVisibleTo(&w));
}

TEST(ScanWindow, CyclicTestScanCountsTheScansThatDidNotFindThirtyMeters)
{
    Env env;
    env.gw.bus.meters = {meter(0, 0x10)};
    env.show(0, 0);
    TFScanDecode& w = env.w();
    w.Ciclic1->trigger();
    EXPECT_TRUE(w.Cyclic_Scan);
    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(env.stepUntil([&] { return w.LB_AvailableDevice->count() >= 2; }));
        w.StopScan();
        ASSERT_TRUE(env.runScan());
        env.tick();
        EXPECT_EQ(w.Error_Cyclic, round);
        EXPECT_EQ(w.Label1->text(), QString::number(round));
        EXPECT_TRUE(env.engine().InScan()); // the next scan has begun
    }
    w.FormClose();
    ASSERT_TRUE(env.runScan());
}

} // namespace
