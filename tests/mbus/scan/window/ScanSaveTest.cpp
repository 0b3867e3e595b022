// Taking the scanned meters into the project: question 1337 and its three answers, the
// start-register and per-node dialogs by device code, the tree's check marks in the saved
// file, and a save that cannot be written.
#include "WindowFixture.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/Golden.h"
#include "platform/xml/XmlDom.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace scanwindow;

namespace {

// A wired primary scan that found meters at 1 and 2, with the second record of the first
// meter unchecked in the tree.
struct Scanned {
    explicit Scanned(uint32_t code = 0, int type = 3) : env(type)
    {
        env.gw.bus.meters = {meter(1, 0x11111111), meter(2, 0x22222222)};
        env.show(code, 0);
        TFScanDecode& w = env.w();
        w.BtnClick(w.Btn_StartScan);
        EXPECT_TRUE(env.stepUntil([&] { return w.LB_AvailableDevice->count() >= 3; }));
        w.StopScan();
        EXPECT_TRUE(env.runScan());
        env.tick();
        w.VST->SetCheckState(w.wiredNode(0, 1), controls::csUncheckedNormal);
        env.boxes.clear();
    }
    QByteArray file() { return env.dir.read(QStringLiteral("M_Bus.xml")); }
    // The nodes of the saved file: (ID_Primary, Enable_Node, the records' Enable, the first ModReg).
    QStringList nodes()
    {
        platform::XmlDocument doc;
        if (!doc.load(env.w().FileName_MBus))
            return {QStringLiteral("no file")};
        QStringList out;
        const platform::XmlNode root = doc.rootElement();
        for (int i = 0; i < root.elementCount(); ++i) {
            const platform::XmlNode n = root.elementAt(i);
            QString enables;
            for (int v = 0; v < n.elementCount(); ++v)
                enables += n.elementAt(v).attributeOr(QStringLiteral("Enable"), QStringLiteral("?"));
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(n.attributeOr(QStringLiteral("ID_Primary"), QString()),
                            n.attributeOr(QStringLiteral("Enable_Node"), QString()), enables,
                            n.elementCount() ? n.elementAt(0).attributeOr(QStringLiteral("ModReg"), QString()) : QString());
        }
        return out;
    }
    Env env;
};

// Each meter's four records take 2, 2, 1 and 2 registers.
const QStringList kTwoNodes{QStringLiteral("1 1 1011 1"), QStringLiteral("2 1 1111 8")};

TEST(ScanSave, FirstSaveWritesTheMetersWithTheTreesMarks)
{
    Scanned s;
    s.env.w().BtnClick(s.env.w().Btn_SaveConf);
    EXPECT_EQ(s.env.boxes.texts(), QStringList{workspace::text(1330)}); // no question: no file yet
    EXPECT_EQ(s.env.boxes.shown()[0].kind, platform::MsgKind::Information);
    EXPECT_EQ(s.nodes(), kTwoNodes);
    mbus_test::expectGolden(QStringLiteral("mbus/scan_window_wired.xml"), s.file());
}

TEST(ScanSave, QuestionAnsweredCancelNoOrYes)
{
    struct Case {
        uint32_t code;
        platform::MsgAnswer answer;
        const char* startTyped; // the start-register dialog's text, nullptr: Cancel
        QStringList dialogs;
        QStringList nodes; // empty: the file unchanged
    };
    const QStringList appended{QStringLiteral("1 1 1011 1"), QStringLiteral("2 1 1111 8"), QStringLiteral("1 1 1011 100"),
                               QStringLiteral("2 1 1111 107")};
    const QStringList appendedAt1{QStringLiteral("1 1 1011 1"), QStringLiteral("2 1 1111 8"),
                                  QStringLiteral("1 1 1011 1"), QStringLiteral("2 1 1111 8")};
    const Case cases[] = {
        {0, platform::MsgAnswer::Cancel, "100", {}, {}},
        {0, platform::MsgAnswer::No, "100", {}, kTwoNodes},                                // replaced, from 1
        {0, platform::MsgAnswer::Yes, "100", {QStringLiteral("FScanModbusStart")}, appended},
        {0, platform::MsgAnswer::Yes, nullptr, {QStringLiteral("FScanModbusStart")}, {}},  // Cancel saves nothing
        {6, platform::MsgAnswer::Yes, "100", {}, appendedAt1},                             // no dialog for code 6
        {13, platform::MsgAnswer::Yes, "100", {QStringLiteral("FScanModbusStart")}, appended},
    };
    for (const Case& c : cases) {
        Scanned s(c.code);
        s.env.w().BtnClick(s.env.w().Btn_SaveConf);
        const QByteArray before = s.file();
        s.env.actions[QStringLiteral("FScanModbusStart")] = [&](platform::Form& f) {
            auto& d = static_cast<TFScanModbusStart&>(f);
            if (!c.startTyped) {
                d.setModalResult(platform::mrCancel);
                return;
            }
            d.E_StartModAdd->setText(QLatin1String(c.startTyped));
            d.Btn_OKClick();
        };
        s.env.boxes.clear();
        s.env.shownDialogs.clear();
        s.env.boxes.answer(c.answer);
        s.env.w().BtnClick(s.env.w().Btn_SaveConf);
        ASSERT_FALSE(s.env.boxes.shown().empty());
        EXPECT_EQ(s.env.boxes.shown()[0].kind, platform::MsgKind::ConfirmCancel);
        EXPECT_EQ(s.env.boxes.shown()[0].text, workspace::text(1337));
        EXPECT_EQ(s.env.shownDialogs, c.dialogs) << c.code << " " << int(c.answer);
        if (c.nodes.isEmpty()) {
            EXPECT_EQ(s.file(), before) << c.code << " " << int(c.answer);
            EXPECT_EQ(s.env.boxes.texts().size(), 1);
        } else {
            EXPECT_EQ(s.nodes(), c.nodes) << c.code << " " << int(c.answer);
            EXPECT_EQ(s.env.boxes.texts().last(), workspace::text(1330));
        }
    }
}

TEST(ScanSave, AReflexEnterOnTheQuestionKeepsTheSavedFile)
{
    // The real box this time: Enter takes its default button. Yes would append and No replace,
    // so only Cancel leaves the file the network editor may have saved in between.
    Scanned s;
    s.env.w().BtnClick(s.env.w().Btn_SaveConf);
    // Meanwhile the network editor gave the variables their units.
    QByteArray edited = s.file();
    edited.replace("<Variabile ", "<Variabile BACnet_EngUnits=\"62\" ");
    ASSERT_NE(edited, s.file());
    s.env.dir.write(QStringLiteral("M_Bus.xml"), edited);
    const QByteArray before = s.file();
    ASSERT_EQ(before, edited);
    struct RealBoxes {
        explicit RealBoxes(platform::MessageBoxes& fake) : fake_(fake) { platform::setMessageBoxes(nullptr); }
        ~RealBoxes() { platform::setMessageBoxes(&fake_); }
        platform::MessageBoxes& fake_;
    } real(s.env.boxes);
    QStringList asked; // Enter on every box that opens
    QTimer enter;
    QObject::connect(&enter, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked << box->text();
            QTest::keyClick(box, Qt::Key_Return);
            if (box->isVisible())
                box->done(QMessageBox::Yes); // Enter did not close it: go ahead, so the test fails
        }
    });
    enter.start(0);
    s.env.w().BtnClick(s.env.w().Btn_SaveConf);
    enter.stop();
    EXPECT_EQ(asked, QStringList{workspace::text(1337)});
    EXPECT_EQ(s.file().count("BACnet_EngUnits=\"62\""), 8) << "the units are kept";
    EXPECT_TRUE(s.file() == before);
}

TEST(ScanSave, PerNodeStartAddressesWhereTheDeviceCodeHasThem)
{
    // Code 0: the per-node dialog shows the meters; its addresses and options go into the file.
    {
        Scanned s(0);
        s.env.actions[QStringLiteral("FModbusStartAdd_SD")] = [](platform::Form& f) {
            auto& d = static_cast<TFModbusStartAdd_SD&>(f);
            EXPECT_EQ(d.sga->RowCount(), 3);
            EXPECT_EQ(d.sga->Cells(0, 1), QStringLiteral("1 - 11111111"));
            EXPECT_EQ(d.sga->Cells(0, 2), QStringLiteral("2 - 22222222"));
            EXPECT_EQ(d.sga->Cells(1, 1), QStringLiteral("1"));
            d.sga->SetCells(1, 2, QStringLiteral("300"));
            d.CB_En_NodeState->setChecked(true);
            d.CB_En_IndNum->setChecked(true);
            d.Btn_OKClick();
        };
        s.env.w().BtnClick(s.env.w().Btn_SaveConfManual);
        EXPECT_EQ(s.env.shownDialogs, QStringList{QStringLiteral("FModbusStartAdd_SD")});
        // Node state takes two registers, the identification one; the unchecked record none.
        EXPECT_EQ(s.nodes(), (QStringList{QStringLiteral("1 1 1011 4"), QStringLiteral("2 1 1111 303")}));
        platform::XmlDocument doc;
        ASSERT_TRUE(doc.load(s.env.w().FileName_MBus));
        EXPECT_EQ(doc.rootElement().elementAt(1).attribute(QStringLiteral("Node_State")), QStringLiteral("300"));

        // Cancel in the dialog saves nothing, even over an existing file (answered Yes).
        const QByteArray before = s.file();
        s.env.actions[QStringLiteral("FModbusStartAdd_SD")] = [](platform::Form& f) { f.setModalResult(platform::mrCancel); };
        s.env.boxes.answer(platform::MsgAnswer::Yes);
        s.env.w().BtnClick(s.env.w().Btn_SaveConfManual);
        EXPECT_EQ(s.file(), before);
    }
    // Code 6: no dialog; the grid's contents as refilled (every start 1).
    {
        Scanned s(6, 1);
        s.env.w().Select_SaveXML(1);
        EXPECT_TRUE(s.env.shownDialogs.isEmpty());
        EXPECT_EQ(s.nodes(), (QStringList{QStringLiteral("1 1 1011 1"), QStringLiteral("2 1 1111 1")}));
    }
}

TEST(ScanSave, ASaveThatCannotBeWrittenSaysSoAndKeepsThePreviousFile)
{
    {
        Scanned s;
        s.env.w().FileName_MBus = s.env.dir.file(QStringLiteral("missing/M_Bus.xml"));
        s.env.w().BtnClick(s.env.w().Btn_SaveConf);
        ASSERT_EQ(s.env.boxes.shown().size(), 1u);
        EXPECT_EQ(s.env.boxes.shown()[0].kind, platform::MsgKind::Error);
        EXPECT_TRUE(s.env.boxes.texts()[0].contains(QStringLiteral("M_Bus.xml")));
    }
    {
        // Added to a file that is not an M-Bus network: nothing is written.
        Scanned s;
        s.env.dir.write(QStringLiteral("M_Bus.xml"), "<M-Bus_Network><Nodo");
        s.env.boxes.answer(platform::MsgAnswer::Yes);
        s.env.actions[QStringLiteral("FScanModbusStart")] = [](platform::Form& f) {
            static_cast<TFScanModbusStart&>(f).Btn_OKClick();
        };
        s.env.w().BtnClick(s.env.w().Btn_SaveConf);
        ASSERT_EQ(s.env.boxes.shown().size(), 2u);
        EXPECT_EQ(s.env.boxes.shown()[1].kind, platform::MsgKind::Error);
        EXPECT_TRUE(s.env.boxes.texts()[1].contains(QStringLiteral("M_Bus.xml")));
        EXPECT_EQ(s.file(), QByteArray("<M-Bus_Network><Nodo"));
    }
}

TEST(ScanSave, WirelessMetersWithTheirKeysAndMarks)
{
    Env env(21);
    env.show(12, 1);
    TFScanDecode& w = env.w();
    w.CB_ScanMethod->setItemIndex(1);
    w.CB_HardwareTypeChange();
    w.BtnClick(w.Btn_StartScan);
    ASSERT_TRUE(env.stepUntil([&] { return env.engine().Step_Scan() == 134; }));
    env.gw.deliver(telegramOf(0x11111111, false));
    env.gw.deliver(telegramOf(0x22222222, false));
    w.XGR_WirelessClickCell(2, 0);
    w.VST_Wireless->SetCheckState(w.wirelessNode(-1), controls::csUncheckedNormal);
    w.XGR_WirelessClickCell(1, 0);
    w.VST_Wireless->SetCheckState(w.wirelessNode(2), controls::csUncheckedNormal);
    w.StopScan();
    ASSERT_TRUE(env.runScan());
    env.tick();
    w.BtnClick(w.Btn_SaveConf);
    EXPECT_EQ(env.boxes.texts(), QStringList{workspace::text(1330)});
    platform::XmlDocument doc;
    ASSERT_TRUE(doc.load(w.FileName_MBus));
    const platform::XmlNode root = doc.rootElement();
    ASSERT_EQ(root.elementCount(), 2);
    EXPECT_EQ(root.elementAt(0).attribute(QStringLiteral("Enable_Node")), QStringLiteral("1"));
    EXPECT_EQ(root.elementAt(1).attribute(QStringLiteral("Enable_Node")), QStringLiteral("0"));
    EXPECT_EQ(root.elementAt(0).attribute(QStringLiteral("wMBus_Add")), QString::number(0x11111111));
    EXPECT_EQ(root.elementAt(0).elementAt(2).attribute(QStringLiteral("Enable")), QStringLiteral("0"));
    EXPECT_EQ(root.elementAt(0).elementAt(1).attribute(QStringLiteral("Enable")), QStringLiteral("1"));
}

} // namespace

namespace {

TEST(ScanSave, AMeterWithoutRecordsIsShownAloneAndSavedEnabled)
{
    Env env;
    scantest::SimMeter empty = meter(4, 0x44444444);
    empty.frames = {{0x2F}}; // a reply whose record area holds a filler alone
    env.gw.bus.meters = {empty};
    env.show(0, 0);
    TFScanDecode& w = env.w();
    w.BtnClick(w.Btn_StartScan);
    ASSERT_TRUE(env.stepUntil([&] { return w.LB_AvailableDevice->count() >= 5; }));
    w.StopScan();
    ASSERT_TRUE(env.runScan());
    env.tick();
    // Its node is there alone, and the tree has not needed it yet (nothing painted it): saving
    // takes it with the state its showing gives, checked.
    ASSERT_NE(w.wiredNode(0, -1), nullptr);
    EXPECT_EQ(w.wiredNode(0, 0), nullptr);
    EXPECT_FALSE(w.wiredNode(0, -1)->States.contains(controls::vsInitialized));
    w.BtnClick(w.Btn_SaveConf);
    platform::XmlDocument doc;
    ASSERT_TRUE(doc.load(w.FileName_MBus));
    ASSERT_EQ(doc.rootElement().elementCount(), 1);
    EXPECT_EQ(doc.rootElement().elementAt(0).attribute(QStringLiteral("Enable_Node")), QStringLiteral("1"));
    EXPECT_EQ(doc.rootElement().elementAt(0).elementCount(), 0);
    EXPECT_EQ(treeTexts(w.VST), QStringList{w.VST->Text(w.wiredNode(0, -1))});
    // New Scan frees it.
    w.BtnClick(w.Btn_NewScan);
    EXPECT_EQ(w.lists().List_Slave_MBus.size(), 0u);
    EXPECT_EQ(w.wiredNode(0, -1), nullptr);
}

} // namespace
