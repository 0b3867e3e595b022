#include "parameters/window/UParGen.h"

#include "controls/button/FxButton.h"
#include "parameters/ParGen.h"
#include "platform/ui/controls/Controls.h"
#include "workspace/DeviceTypes.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include "support/FakeDialogs.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

using namespace parameters;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;

namespace {

// A project folder with the UI texts filled, as the program has it when the window is created.
struct Project {
    explicit Project(int32_t type) : ws(type)
    {
        workspace::Default_Texts();
        ws->SW_Code = QStringLiteral("VN-TEST");
        ws->Project_Dir = dir.path();
        ws->Path_ParGen = dir.file(QStringLiteral("ParGen.xml"));
    }
    workspace::ScopedWorkspace ws;
    TempDir dir;
    FakeMessageBoxes boxes;
};

// Shows the window modally; `act` plays the user while it is open. Returns the modal result
// (0 while the window would still be open).
int showModal(TFParGen& f, const std::function<void(TFParGen&)>& act = {})
{
    platform::setModalDriver([&](platform::Form&) {
        f.show();
        if (act)
            act(f);
    });
    const int r = f.showModal();
    platform::setModalDriver({});
    f.hide();
    return r;
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2)); }
// A check box is clicked on its box, at its left end.
void click(platform::ctl::CheckBox* c) { QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2)); }
void clickOk(TFParGen& f) { click(f.okButton()); }
void clickCancel(TFParGen& f) { click(f.cancelButton()); }

// Chooses a list item as a user does, with the keyboard.
void choose(platform::ctl::ComboBox* c, int index)
{
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(c, Qt::Key_Down);
}

// Types into whichever control of the window holds the focus, key by key.
void type(TFParGen& f, const QString& text)
{
    for (QChar ch : text)
        QTest::keyClick(f.focusWidget(), ch.toLatin1());
}

// Replaces the text of an edit as a user does: select all, type.
void retype(TFParGen& f, platform::ctl::Edit* e, const QString& text)
{
    e->focus();
    e->selectAll();
    type(f, text);
}

struct Geometry {
    int top;
    int height;
    bool operator==(const Geometry&) const = default;
};
Geometry geometryOf(const QWidget* w) { return {w->y(), w->height()}; }
void PrintTo(const Geometry& g, std::ostream* os) { *os << g.top << "/" << g.height; }

bool shown(const QWidget* w) { return w->isVisibleTo(w->window()); }

TEST(ParGenWindow, CreatingTheWindowMakesNoControlUntilItIsShownOrAskedFor)
{
    Project p(3);
    TFParGen f;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Set Communication"));
    EXPECT_FALSE(f.controlsBuilt());
    EXPECT_TRUE(f.findChildren<QWidget*>().isEmpty());
    f.Set_Lang(); // a change of language before the first show
    EXPECT_FALSE(f.controlsBuilt());
    // Asking for a control makes them all, with the lists and texts of the creation.
    EXPECT_EQ(f.combo(QStringLiteral("CB_BACnet_Ser_Baud"))->itemIndex(), 5);
    EXPECT_TRUE(f.controlsBuilt());
    EXPECT_EQ(f.label(QStringLiteral("L_BACnet_IP"))->text(), QStringLiteral("IP ADDRESS"));
    EXPECT_FALSE(f.Is_Change);
}

TEST(ParGenWindow, DeviceType3StacksTypeBacnetAndModbusTcpMaster)
{
    Project p(3);
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        EXPECT_EQ(geometryOf(f.box(Box::BACnet_Type)), (Geometry{70, 58}));
        EXPECT_EQ(geometryOf(f.box(Box::BACnet)), (Geometry{134, 413}));
        EXPECT_EQ(geometryOf(f.box(Box::Modbus_TCP_Master)), (Geometry{553, 258}));
        EXPECT_EQ(f.box(Box::Modbus_TCP_Master)->x(), 8);
        EXPECT_EQ(f.box(Box::Modbus_TCP_Master)->width(), 296);
        EXPECT_EQ(f.okButton()->y(), 824);
        EXPECT_EQ(f.cancelButton()->y(), 824);
        EXPECT_EQ(f.width(), 312);
        EXPECT_EQ(f.height(), 865);
        int visibleBoxes = 0;
        for (int i = 0; i < kBoxCount; ++i)
            visibleBoxes += shown(f.box(boxAt(i))) ? 1 : 0;
        EXPECT_EQ(visibleBoxes, 3);
        EXPECT_EQ(f.box(Box::BACnet)->title(), QStringLiteral(" BACnet "));
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Set Communication"));
        EXPECT_EQ(f.label(QStringLiteral("L_BACnet_IP"))->text(), QStringLiteral("IP ADDRESS"));
        EXPECT_EQ(f.check(QStringLiteral("CB_BACnet_IP_EN_BBMD"))->text(), QStringLiteral("Enable BBMD"));
        EXPECT_EQ(f.foldButton(QStringLiteral("Btn_BACnet_Collapse"))->hint(), QStringLiteral("Collapse"));

        // Folding the BACnet box moves the field side up; unfolding puts it back.
        click(f.foldButton(QStringLiteral("Btn_BACnet_Collapse")));
        EXPECT_EQ(geometryOf(f.box(Box::BACnet)), (Geometry{134, 26}));
        EXPECT_EQ(f.box(Box::Modbus_TCP_Master)->y(), 166);
        EXPECT_EQ(f.okButton()->y(), 437);
        EXPECT_EQ(f.height(), 478);
        EXPECT_FALSE(shown(f.foldButton(QStringLiteral("Btn_BACnet_Collapse"))));
        click(f.foldButton(QStringLiteral("Btn_BACnet_Expande")));
        EXPECT_EQ(geometryOf(f.box(Box::BACnet)), (Geometry{134, 413}));
        EXPECT_EQ(f.okButton()->y(), 824);
    });
}

TEST(ParGenWindow, ChoosingMstpRelaysTheWindowOut)
{
    Project p(3);
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        choose(f.combo(QStringLiteral("CB_BACnet_Type")), 1);
        EXPECT_EQ(geometryOf(f.box(Box::BACnet_Serial)), (Geometry{134, 350}));
        EXPECT_EQ(geometryOf(f.box(Box::BACnet)), (Geometry{490, 190}));
        EXPECT_EQ(f.box(Box::BACnet)->title(), QStringLiteral(" Ethernet Update "));
        EXPECT_FALSE(shown(f.edit(QStringLiteral("E_PORT"))));
        EXPECT_EQ(f.box(Box::Modbus_TCP_Master)->y(), 686);
        EXPECT_TRUE(f.Is_Change);
    });
}

TEST(ParGenWindow, StoredMstpIsLaidOutWhenShown)
{
    Project p(3);
    ParGen stored;
    stored.BACnet_Type = 1;
    ASSERT_TRUE(saveParGen(p.ws->Path_ParGen, stored, 3));
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        EXPECT_TRUE(shown(f.box(Box::BACnet_Serial)));
        EXPECT_EQ(f.box(Box::Modbus_TCP_Master)->y(), 686);
        EXPECT_FALSE(f.Is_Change);
    });
}

TEST(ParGenWindow, MbusOnWireAddsTheMbusBoxForDeviceType21)
{
    Project p(21);
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        EXPECT_FALSE(shown(f.box(Box::MBus)));
        EXPECT_EQ(geometryOf(f.box(Box::Sel_Dev_Wire_Present)), (Geometry{553, 58}));
        EXPECT_EQ(geometryOf(f.box(Box::wMBus)), (Geometry{617, 92}));
        EXPECT_EQ(f.okButton()->y(), 722);
        choose(f.combo(QStringLiteral("CB_SD_Wire_Present_MBus")), 1);
        EXPECT_EQ(geometryOf(f.box(Box::MBus)), (Geometry{715, 214}));
        EXPECT_EQ(f.okButton()->y(), 942);
        clickOk(f);
    });
    // The stored choice is laid out at the next show, although choosing it in code runs no
    // handler; a fresh window holds nothing of the earlier choice, so only the file can give it.
    TFParGen fresh;
    ASSERT_EQ(fresh.combo(QStringLiteral("CB_SD_Wire_Present_MBus"))->itemIndex(), 0);
    showModal(fresh, [](TFParGen& f) {
        EXPECT_EQ(f.combo(QStringLiteral("CB_SD_Wire_Present_MBus"))->itemIndex(), 1);
        EXPECT_TRUE(shown(f.box(Box::MBus)));
        EXPECT_EQ(f.okButton()->y(), 942);
    });
}

TEST(ParGenWindow, SnmpVersion3RowsFollowTheCheckBoxAndTheSecurityLevel)
{
    Project p(17);
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        EXPECT_EQ(geometryOf(f.box(Box::SNMP)), (Geometry{553, 179}));
        EXPECT_FALSE(shown(f.edit(QStringLiteral("E_PROFI_SNMP_User"))));
        click(f.check(QStringLiteral("CB_PROFI_SNMP_Ver3")));
        EXPECT_EQ(f.box(Box::SNMP)->height(), 250);
        EXPECT_TRUE(shown(f.edit(QStringLiteral("E_PROFI_SNMP_User"))));
        choose(f.combo(QStringLiteral("CB_PROFI_SNMP_Secure_Lev")), 2);
        EXPECT_EQ(f.box(Box::SNMP)->height(), 386);
        EXPECT_TRUE(shown(f.edit(QStringLiteral("E_PROFI_SNMP_Priv_Pass"))));
        clickOk(f);
    });
    // Loaded again in a fresh window: version 3 with "Auth Priv" shows every row.
    TFParGen fresh;
    ASSERT_FALSE(fresh.check(QStringLiteral("CB_PROFI_SNMP_Ver3"))->checked());
    showModal(fresh, [](TFParGen& f) {
        EXPECT_TRUE(f.check(QStringLiteral("CB_PROFI_SNMP_Ver3"))->checked());
        EXPECT_EQ(f.combo(QStringLiteral("CB_PROFI_SNMP_Secure_Lev"))->itemIndex(), 2);
        EXPECT_EQ(f.box(Box::SNMP)->height(), 386);
    });
}

TEST(ParGenWindow, SecondEthernetBoxOnlyWithTheNewMstpType)
{
    Project p(1);
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        ASSERT_EQ(f.combo(QStringLiteral("CB_BACnet_Type"))->count(), 3);
        choose(f.combo(QStringLiteral("CB_BACnet_Type")), 1);
        EXPECT_FALSE(shown(f.box(Box::Eth2)));
        choose(f.combo(QStringLiteral("CB_BACnet_Type")), 2);
        EXPECT_TRUE(shown(f.box(Box::Eth2)));
        EXPECT_EQ(f.box(Box::Eth2)->y(), f.box(Box::MBus)->y() + f.box(Box::MBus)->height() + 6);
        EXPECT_EQ(f.okButton()->y(), f.box(Box::Eth2)->y() + 190 + 13);
    });
}

TEST(ParGenWindow, DeviceType20KeepsBacnetIp)
{
    Project p(20);
    ParGen stored;
    stored.BACnet_Type = 1;
    ASSERT_TRUE(saveParGen(p.ws->Path_ParGen, stored, 1)); // a file of another model
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        EXPECT_FALSE(f.combo(QStringLiteral("CB_BACnet_Type"))->isEnabled());
        EXPECT_EQ(f.combo(QStringLiteral("CB_BACnet_Type"))->text(), QStringLiteral("BACnet/IP"));
        EXPECT_TRUE(shown(f.box(Box::BACnet)));
    });
}

TEST(ParGenWindow, TypingADottedAddressFillsTheFourBoxes)
{
    for (int32_t t : {3, 10, 1001}) {
        Project p(t);
        TFParGen f;
        showModal(f, [](TFParGen& f) {
            retype(f, f.edit(QStringLiteral("E_IP1")), QStringLiteral("192.168.0.10"));
            EXPECT_EQ(f.edit(QStringLiteral("E_IP1"))->text(), QStringLiteral("192"));
            EXPECT_EQ(f.edit(QStringLiteral("E_IP2"))->text(), QStringLiteral("168"));
            EXPECT_EQ(f.edit(QStringLiteral("E_IP3"))->text(), QStringLiteral("0"));
            EXPECT_EQ(f.edit(QStringLiteral("E_IP4"))->text(), QStringLiteral("10"));
            EXPECT_TRUE(f.edit(QStringLiteral("E_IP4"))->focused());
            // On along the chain into the subnet mask, and the gateway even when not ticked.
            type(f, QStringLiteral(".255.255.255.0.10"));
            EXPECT_EQ(f.edit(QStringLiteral("E_SM4"))->text(), QStringLiteral("0"));
            EXPECT_EQ(f.edit(QStringLiteral("E_GAT1"))->text(), QStringLiteral("10"));
            EXPECT_FALSE(f.check(QStringLiteral("CB_EN_GAT"))->checked());
        });
    }
}

TEST(ParGenWindow, ADotEndsWhereTheChainEndsOrIsInactive)
{
    struct Case {
        int32_t type;
        const char* box;
    };
    for (const Case& c : {Case{3, "E_GAT4"}, Case{1, "E_Eth2_IP1"}, Case{1002, "E_PROFINET_IP1"}}) {
        Project p(c.type);
        TFParGen f;
        showModal(f, [&](TFParGen& f) {
            if (c.type == 1)
                choose(f.combo(QStringLiteral("CB_BACnet_Type")), 2); // shows the second Ethernet box
            platform::ctl::Edit* e = f.edit(QLatin1String(c.box));
            ASSERT_TRUE(e->canFocus()) << c.box;
            e->focus();
            e->setText(QStringLiteral("12"));
            e->end(false);
            QTest::keyClick(e, '.');
            EXPECT_EQ(e->text(), QStringLiteral("12")) << c.box;
            EXPECT_TRUE(e->focused()) << c.type << " " << c.box;
        });
    }
    // The next box must be able to take the focus; a disabled one keeps the focus where it is.
    Project p(3);
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        f.edit(QStringLiteral("E_IP2"))->setEnabled(false);
        retype(f, f.edit(QStringLiteral("E_IP1")), QStringLiteral("1.2"));
        EXPECT_EQ(f.edit(QStringLiteral("E_IP1"))->text(), QStringLiteral("12"));
    });
}

TEST(ParGenWindow, CancelAsksOnlyAfterAChange)
{
    Project p(3);
    TFParGen f;
    // Loading put a value into every field, yet nothing counts as changed.
    EXPECT_EQ(showModal(f, [](TFParGen& f) { clickCancel(f); }), platform::mrCancel);
    EXPECT_TRUE(p.boxes.shown().empty());

    p.boxes.answer(platform::MsgAnswer::No);
    p.boxes.answer(platform::MsgAnswer::Yes);
    const int r = showModal(f, [&](TFParGen& f) {
        retype(f, f.edit(QStringLiteral("E_PORT")), QStringLiteral("47809"));
        clickCancel(f); // No: the window stays with the change
        EXPECT_EQ(f.modalResult(), platform::mrNone);
        EXPECT_EQ(f.edit(QStringLiteral("E_PORT"))->text(), QStringLiteral("47809"));
        clickCancel(f); // Yes
    });
    EXPECT_EQ(r, platform::mrCancel);
    ASSERT_EQ(p.boxes.shown().size(), 2u);
    EXPECT_EQ(p.boxes.shown()[0].kind, platform::MsgKind::Confirm);
    EXPECT_EQ(p.boxes.shown()[0].text, QStringLiteral("Do you want to exit without saving changes?"));
    EXPECT_FALSE(p.dir.exists(QStringLiteral("ParGen.xml"))); // a new project stays without the file
}

TEST(ParGenWindow, CloseBoxLeavesWithoutAQuestionAndEscapeAsksLikeCancel)
{
    Project p(3);
    TFParGen f;
    const int closed = showModal(f, [](TFParGen& f) {
        retype(f, f.edit(QStringLiteral("E_IP4")), QStringLiteral("9"));
        f.close();
    });
    EXPECT_EQ(closed, platform::mrCancel);
    EXPECT_TRUE(p.boxes.shown().empty());
    EXPECT_FALSE(p.dir.exists(QStringLiteral("ParGen.xml")));

    // Escape after a change asks as Cancel does; No keeps the window.
    const int escaped = showModal(f, [](TFParGen& f) {
        retype(f, f.edit(QStringLiteral("E_IP4")), QStringLiteral("9"));
        QTest::keyClick(f.edit(QStringLiteral("E_IP4")), Qt::Key_Escape);
    });
    EXPECT_EQ(escaped, platform::mrNone);
    ASSERT_EQ(p.boxes.shown().size(), 1u);
    EXPECT_EQ(p.boxes.shown()[0].text, QStringLiteral("Do you want to exit without saving changes?"));
}

TEST(ParGenWindow, OkWithAFailingValueWritesNothingAndLeavesTheFocus)
{
    Project p(3);
    ParGen stored;
    stored.BACnet_IP4 = QStringLiteral("44");
    ASSERT_TRUE(saveParGen(p.ws->Path_ParGen, stored, 3));
    const QByteArray before = p.dir.read(QStringLiteral("ParGen.xml"));
    TFParGen f;
    const int r = showModal(f, [&](TFParGen& f) {
        retype(f, f.edit(QStringLiteral("E_IP4")), QStringLiteral("45"));
        retype(f, f.edit(QStringLiteral("E_PORT")), QStringLiteral("10001"));
        f.edit(QStringLiteral("E_IP1"))->focus();
        clickOk(f);
        EXPECT_EQ(f.modalResult(), platform::mrNone);
        // Nothing is focused or highlighted for the user.
        EXPECT_FALSE(f.edit(QStringLiteral("E_PORT"))->focused());
        EXPECT_FALSE(f.edit(QStringLiteral("E_PORT"))->hasSelectedText());
        EXPECT_EQ(f.edit(QStringLiteral("E_PORT"))->text(), QStringLiteral("10001"));
        EXPECT_EQ(f.edit(QStringLiteral("E_IP4"))->text(), QStringLiteral("45"));
    });
    EXPECT_EQ(r, platform::mrNone);
    ASSERT_EQ(p.boxes.shown().size(), 1u);
    EXPECT_EQ(p.boxes.shown()[0].kind, platform::MsgKind::Error);
    EXPECT_EQ(p.boxes.shown()[0].text,
              QStringLiteral("Error BACnet!! PORT must be between 0 and 65535, and different from 10000 and 10001"));
    EXPECT_EQ(p.dir.read(QStringLiteral("ParGen.xml")), before);
}

TEST(ParGenWindow, OkWritesTheFileAndTheNextShowReadsIt)
{
    Project p(3);
    TFParGen f;
    const int r = showModal(f, [](TFParGen& f) {
        retype(f, f.edit(QStringLiteral("E_IP1")), QStringLiteral("10.1.2.3"));
        click(f.check(QStringLiteral("CB_EN_GAT")));
        retype(f, f.edit(QStringLiteral("E_Modbus_TCP_Master_IP4")), QStringLiteral("77"));
        clickOk(f);
    });
    EXPECT_EQ(r, platform::mrOk);
    EXPECT_TRUE(p.boxes.shown().empty());
    ParGenLoad loaded = loadParGen(p.ws->Path_ParGen, 3);
    ASSERT_EQ(loaded.status, ParGenFile::Status::Loaded);
    EXPECT_EQ(loaded.values.BACnet_IP1, QStringLiteral("10"));
    EXPECT_EQ(loaded.values.BACnet_IP4, QStringLiteral("3"));
    EXPECT_TRUE(loaded.values.BACnet_EN_GAT);
    EXPECT_EQ(loaded.values.Modbus_TCP_Master_IP4, QStringLiteral("77"));

    showModal(f, [](TFParGen& f) {
        EXPECT_EQ(f.edit(QStringLiteral("E_IP2"))->text(), QStringLiteral("1"));
        EXPECT_TRUE(f.check(QStringLiteral("CB_EN_GAT"))->checked());
        EXPECT_FALSE(f.Is_Change);
        clickCancel(f);
    });
}

TEST(ParGenWindow, EveryDeviceTypeWritesBackWhatItLoaded)
{
    // A file of each device type, loaded and confirmed unchanged, is written byte for byte the
    // same: every key reaches its control and comes back from it.
    for (int32_t t : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 1001, 1002, 1003,
                      2016}) {
        Project p(t);
        ParGen v;
        v.BACnet_IP4 = QStringLiteral("77");
        v.BACnet_EN_GAT = true;
        v.BACnet_EN_FDR = true;
        v.BACnet_Desc_Chars_Limit = true;
        v.Meter_Baud = 4;
        v.Sel_Dev_MBus_Present = 1;
        v.SNMP_VERSION3 = true;
        v.SNMP_VER3_SECURITY_LEVEL = 1;
        v.SNMP_Contact = QStringLiteral("ops");
        v.KNX_ID_DEV = QStringLiteral("1.1.201");
        v.CAN_BAUDRATE = 3;
        v.DNETS_NB_IN = QStringLiteral("12");
        v.PROFINET_NAME_STA = QStringLiteral("plc7");
        v.Enable_Idle_Time = true;
        v.Idle_Time = QStringLiteral("500");
        const QByteArray bytes = parGenBytes(v, t);
        p.dir.write(QStringLiteral("ParGen.xml"), bytes);
        TFParGen f;
        EXPECT_EQ(showModal(f, [](TFParGen& f) { clickOk(f); }), platform::mrOk)
            << t << " " << p.boxes.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(p.dir.read(QStringLiteral("ParGen.xml")), bytes) << t;
    }
}

TEST(ParGenWindow, MstpTypeWithSecondEthernetRoundTrips)
{
    Project p(1);
    ParGen v;
    v.BACnet_Type = 2;
    v.Eth2_IP4 = QStringLiteral("99");
    v.BACnet_Desc_Chars_Limit = true;
    v.BACnet_Ser_Baudrate = 4;
    const QByteArray bytes = parGenBytes(v, 1);
    p.dir.write(QStringLiteral("ParGen.xml"), bytes);
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        EXPECT_TRUE(f.check(QStringLiteral("CB_BACnet_MSTP_Desc_Limit"))->checked());
        EXPECT_TRUE(f.check(QStringLiteral("CB_BACnet_IP_Desc_Limit"))->checked());
        EXPECT_EQ(f.edit(QStringLiteral("E_Eth2_IP4"))->text(), QStringLiteral("99"));
        clickOk(f);
    });
    EXPECT_EQ(p.dir.read(QStringLiteral("ParGen.xml")), bytes);

    // A file with BACnet/IP does not hold the second Ethernet keys: the boxes keep what they show.
    ASSERT_TRUE(saveParGen(p.ws->Path_ParGen, ParGen{}, 1));
    showModal(f, [](TFParGen& f) {
        EXPECT_EQ(f.edit(QStringLiteral("E_Eth2_IP4"))->text(), QStringLiteral("99"));
        EXPECT_FALSE(f.check(QStringLiteral("CB_BACnet_MSTP_Desc_Limit"))->checked());
        EXPECT_FALSE(shown(f.box(Box::Eth2)));
    });
}

TEST(ParGenWindow, DamagedFileOpensWithDefaultsAndStaysUntilOk)
{
    Project p(3);
    const QByteArray damaged = "<Par_Gen><BACnet_IP1>10</BACnet_IP1><BACnet_IP2>";
    p.dir.write(QStringLiteral("ParGen.xml"), damaged);
    TFParGen f;
    EXPECT_EQ(showModal(f,
                        [](TFParGen& f) {
                            EXPECT_EQ(f.edit(QStringLiteral("E_IP1"))->text(), QStringLiteral("192"));
                            EXPECT_EQ(f.edit(QStringLiteral("E_IP4"))->text(), QStringLiteral("5"));
                            EXPECT_FALSE(f.Is_Change);
                            clickCancel(f);
                        }),
              platform::mrCancel);
    ASSERT_EQ(p.boxes.shown().size(), 1u);
    EXPECT_EQ(p.boxes.shown()[0].kind, platform::MsgKind::Error);
    EXPECT_TRUE(p.boxes.shown()[0].text.contains(QStringLiteral("could not be read")));
    EXPECT_EQ(p.dir.read(QStringLiteral("ParGen.xml")), damaged);

    EXPECT_EQ(showModal(f, [](TFParGen& f) { clickOk(f); }), platform::mrOk);
    EXPECT_EQ(p.dir.read(QStringLiteral("ParGen.xml")), parGenBytes(ParGen{}, 3));
}

TEST(ParGenWindow, SaveFailureKeepsTheWindowOpen)
{
    Project p(3);
    p.ws->Path_ParGen = p.dir.file(QStringLiteral("gone/ParGen.xml"));
    TFParGen f;
    const int r = showModal(f, [](TFParGen& f) {
        retype(f, f.edit(QStringLiteral("E_IP4")), QStringLiteral("8"));
        clickOk(f);
        EXPECT_EQ(f.edit(QStringLiteral("E_IP4"))->text(), QStringLiteral("8"));
    });
    EXPECT_EQ(r, platform::mrNone);
    ASSERT_EQ(p.boxes.shown().size(), 1u);
    EXPECT_EQ(p.boxes.shown()[0].kind, platform::MsgKind::Error);
    EXPECT_TRUE(p.boxes.shown()[0].text.startsWith(QStringLiteral("Error! The file ParGen.xml cannot be written: ")))
        << p.boxes.shown()[0].text.toStdString();
}

// A device list and its templates: two devices, the first with its node state
// published and a template of three counted variables and one in frame "0", the second with a
// template that does not exist.
void writeDeviceList(const Project& p)
{
    p.dir.write(QStringLiteral("TEMPLATE/Meter_A.xml"),
                "<Template><List_Variables>"
                "<Variable><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType></Variable>"
                "<Variable><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType></Variable>"
                "<Variable><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType></Variable>"
                "<Variable><FrameNumber>0</FrameNumber><ObjectType>2</ObjectType></Variable>"
                "</List_Variables></Template>");
    p.dir.write(QStringLiteral("M_Bus_Custom_QV.xml"),
                "<Custom><List_Devices>"
                "<Device><Template>Meter_A.xml</Template><Node_State>1</Node_State>"
                "<Identification_Number>0</Identification_Number></Device>"
                "<Device><Template>Missing.xml</Template><Node_State>1</Node_State>"
                "<Identification_Number>1</Identification_Number></Device>"
                "</List_Devices></Custom>");
}

TEST(ParGenWindow, UsedBytesCountsTheDevicesAndTheirTemplates)
{
    Project p(1002);
    p.ws->Template_Dir = p.dir.file(QStringLiteral("TEMPLATE"));
    p.ws->Path_M_Bus_Custom_QV = p.dir.file(QStringLiteral("M_Bus_Custom_QV.xml"));
    TFParGen f;
    EXPECT_EQ(f.Used_Bytes_Configuration(), 0); // no device list
    writeDeviceList(p);
    EXPECT_EQ(f.Used_Bytes_Configuration(), 16);

    // More object types: 13 and 23 count, others and non-numbers do not; the second device's
    // template now exists and adds its node state and identification number.
    p.dir.write(QStringLiteral("TEMPLATE/Missing.xml"),
                "<Template><List_Variables>"
                "<Variable><FrameNumber>2</FrameNumber><ObjectType>13</ObjectType></Variable>"
                "<Variable><FrameNumber>2</FrameNumber><ObjectType>23</ObjectType></Variable>"
                "<Variable><FrameNumber>2</FrameNumber><ObjectType>3</ObjectType></Variable>"
                "<Variable><FrameNumber>2</FrameNumber><ObjectType>x</ObjectType></Variable>"
                "</List_Variables></Template>");
    EXPECT_EQ(f.Used_Bytes_Configuration(), 16 + 8 + 8);

    // A template name with a folder part names no template: a file outside the template
    // folder is never read.
    p.dir.write(QStringLiteral("Outside.xml"),
                "<Template><List_Variables>"
                "<Variable><FrameNumber>2</FrameNumber><ObjectType>2</ObjectType></Variable>"
                "</List_Variables></Template>");
    for (const char* name : {"../Outside.xml", "TEMPLATE/../Outside.xml", "..", "/etc/passwd"}) {
        p.dir.write(QStringLiteral("M_Bus_Custom_QV.xml"),
                    QStringLiteral("<Custom><List_Devices><Device><Template>%1</Template><Node_State>1</Node_State>"
                                   "</Device></List_Devices></Custom>")
                        .arg(QLatin1String(name))
                        .toUtf8());
        EXPECT_EQ(f.Used_Bytes_Configuration(), 0) << name;
    }
    // The name in another letter case is found, as the other template reads find it.
    p.dir.write(QStringLiteral("M_Bus_Custom_QV.xml"),
                "<Custom><List_Devices><Device><Template>meter_a.XML</Template></Device></List_Devices></Custom>");
    EXPECT_EQ(f.Used_Bytes_Configuration(), 12);

    // A damaged device list counts nothing.
    p.dir.write(QStringLiteral("M_Bus_Custom_QV.xml"), "<Custom><List_Devices>");
    EXPECT_EQ(f.Used_Bytes_Configuration(), 0);
}

TEST(ParGenWindow, AutomaticByteCountFillsAndLocksTheOutputBytes)
{
    Project p(1002);
    p.ws->Template_Dir = p.dir.file(QStringLiteral("TEMPLATE"));
    p.ws->Path_M_Bus_Custom_QV = p.dir.file(QStringLiteral("M_Bus_Custom_QV.xml"));
    writeDeviceList(p);
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        platform::ctl::Edit* out = f.edit(QStringLiteral("E_B_OUT_PROFINET"));
        EXPECT_EQ(out->text(), QStringLiteral("1439"));
        EXPECT_TRUE(shown(f.check(QStringLiteral("CB_PROFINET_Auto_Calc_Bytes"))));
        EXPECT_FALSE(shown(f.edit(QStringLiteral("E_B_IN_PROFINET"))));
        click(f.check(QStringLiteral("CB_PROFINET_Auto_Calc_Bytes")));
        EXPECT_EQ(out->text(), QStringLiteral("16"));
        EXPECT_FALSE(out->isEnabled());
        click(f.check(QStringLiteral("CB_PROFINET_Auto_Calc_Bytes")));
        EXPECT_TRUE(out->isEnabled());
        EXPECT_EQ(out->text(), QStringLiteral("16"));
    });
}

TEST(ParGenWindow, SetLangRelabelsAndResetsMbusOnWire)
{
    Project p(21);
    TFParGen f;
    showModal(f, [](TFParGen& f) { choose(f.combo(QStringLiteral("CB_SD_Wire_Present_MBus")), 1); });
    workspace::ws().Lang_Texts[123] = QStringLiteral("Kommunikation");
    workspace::ws().Lang_Texts[1227] = QStringLiteral("Vorhanden");
    f.Set_Lang();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Kommunikation"));
    EXPECT_EQ(f.combo(QStringLiteral("CB_SD_Wire_Present_MBus"))->itemIndex(), 0);
    EXPECT_EQ(f.combo(QStringLiteral("CB_SD_Wire_Present_MBus"))->itemText(1), QStringLiteral("Vorhanden"));
    EXPECT_EQ(f.foldButton(QStringLiteral("Btn_SNMP_Collapse"))->hint(), QString());
    EXPECT_EQ(f.foldButton(QStringLiteral("Btn_MBus_Expande"))->hint(), QStringLiteral("Expand"));
}

TEST(ParGenWindow, ShownCentredOnTheScreenAtTheSizeOfItsLayout)
{
    Project p(15); // a window shorter than the test screen
    TFParGen f;
    f.move(0, 0);
    showModal(f, [](TFParGen& f) {
        const QRect area = f.screen()->availableGeometry();
        EXPECT_EQ(f.height(), 532);
        // Within the width of the frame, which the window system adds around the client area.
        EXPECT_LE(std::abs(f.geometry().center().x() - area.center().x()), 3);
        EXPECT_LE(std::abs(f.geometry().center().y() - area.center().y()), 3);
    });
}

// Choosing MS/TP grows the window to its 998-pixel client height: it is moved so that it lies
// within the screen's available area, its top at the area's top when it is taller.
TEST(ParGenWindow, GrowingWindowStaysInsideTheScreen)
{
    Project p(3);
    TFParGen f;
    showModal(f, [](TFParGen& f) {
        const QRect area = f.screen()->availableGeometry();
        f.move(area.x() + 20, area.y() + area.height() / 3);
        choose(f.combo(QStringLiteral("CB_BACnet_Type")), 1);
        ASSERT_EQ(f.height(), 998);
        const QRect frame = f.frameGeometry();
        if (frame.height() > area.height()) {
            EXPECT_EQ(frame.top(), area.top());
        } else {
            EXPECT_TRUE(area.contains(frame)) << frame.y() << " " << frame.height();
        }
        EXPECT_GE(frame.left(), area.left());
        EXPECT_LE(frame.right(), area.right());
    });
}

// After OK's check fails and its error box closes, typing goes on in the control the user
// was in, although OK took the focus when it was pressed. The failing field is not focused.
TEST(ParGenWindow, FocusGoesBackAfterTheErrorBoxOfAFailedOk)
{
    Project p(3);
    platform::MessageBoxes* fake = &platform::messageBoxes();
    platform::setMessageBoxes(nullptr); // the real boxes, closed below as a user would
    TFParGen f;
    QStringList boxTexts;
    showModal(f, [&](TFParGen& f) {
        QApplication::setActiveWindow(&f);
        retype(f, f.edit(QStringLiteral("E_PORT")), QStringLiteral("10001"));
        f.edit(QStringLiteral("E_IP2"))->focus();
        QTimer::singleShot(0, [&boxTexts] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxTexts << box->text();
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        clickOk(f);
        EXPECT_EQ(f.modalResult(), platform::mrNone);
        // The window's focus control, which gets the keys as soon as the window is active.
        EXPECT_EQ(f.focusWidget(), f.edit(QStringLiteral("E_IP2")));
        EXPECT_FALSE(f.edit(QStringLiteral("E_PORT"))->focused());
        QTest::keyClicks(f.focusWidget(), QStringLiteral("7"));
    });
    platform::setMessageBoxes(fake);
    EXPECT_EQ(boxTexts.size(), 1);
    EXPECT_TRUE(f.edit(QStringLiteral("E_IP2"))->text().endsWith(QLatin1Char('7')));
}

// The title bar has the close button only: no minimise or maximise, whatever the window
// manager would add by default.
TEST(ParGenWindow, TitleBarHasTheCloseButtonOnly)
{
    Project p(3);
    TFParGen f;
    const Qt::WindowFlags flags = f.windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

TEST(ParGenWindow, ActivationBringsAWindowAboveTheScreenDown)
{
    Project p(3);
    TFParGen f;
    f.move(40, -30);
    f.FormActivate();
    EXPECT_EQ(f.y(), 0);
    EXPECT_EQ(f.x(), 40);
}

// Every caption of every model's window can be read whole: a label's text ends before the
// field beside it, a check box's caption fits inside the check box (and before a field beside
// it), and nothing runs past its box.
void expectCaptionsWhole(const TFParGen& f, const std::string& what)
{
    for (const platform::ctl::GroupBox* g : f.findChildren<platform::ctl::GroupBox*>()) {
        if (!g->isVisibleTo(&f) || g->height() <= 26) // folded: only its caption line
            continue;
        const QList<QWidget*> children = g->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* w : children) {
            const auto* label = qobject_cast<const QLabel*>(w);
            const auto* check = qobject_cast<const QCheckBox*>(w);
            if (!w->isVisibleTo(&f) || (!label && !check))
                continue;
            const std::string name = what + " " + w->objectName().toStdString();
            const int textRight = label ? w->x() + label->fontMetrics().horizontalAdvance(label->text())
                                        : w->x() + check->sizeHint().width();
            EXPECT_LE(textRight, w->x() + w->width()) << name << " is cut by its own width";
            EXPECT_LE(w->x() + w->width(), g->width()) << name << " runs past its box";
            for (const QWidget* other : children) {
                if (other == w || !other->isVisibleTo(&f) || qobject_cast<const QLabel*>(other) ||
                    other->x() <= w->x())
                    continue;
                const bool sameRow = other->y() < w->y() + w->height() && w->y() < other->y() + other->height();
                if (sameRow) {
                    EXPECT_LE(textRight, other->x()) << name << " runs under " << other->objectName().toStdString();
                }
            }
        }
    }
}

TEST(ParGenWindow, EveryModelsCaptionsCanBeReadWhole)
{
    for (int type : workspace::deviceTypes()) {
        Project p(type);
        TFParGen f;
        showModal(f, [&](TFParGen& w) { expectCaptionsWhole(w, std::to_string(type)); });
    }
    // The rows that only some choices show.
    Project p(17);
    TFParGen f;
    showModal(f, [&](TFParGen& w) {
        w.check(QStringLiteral("CB_PROFI_SNMP_Ver3"))->setChecked(true);
        w.combo(QStringLiteral("CB_PROFI_SNMP_Secure_Lev"))->setItemIndex(2);
        w.combo(QStringLiteral("CB_PROFI_SNMP_Secure_Lev"))->onChange(*w.combo(QStringLiteral("CB_PROFI_SNMP_Secure_Lev")));
        expectCaptionsWhole(w, "17 with SNMPv3");
    });
}

TEST(ParGenWindow, EveryKeyHasItsControl)
{
    Project p(3);
    TFParGen f;
    for (const KeyDesc& k : parGenKeys()) {
        const QString field = QLatin1String(k.field);
        switch (k.form) {
        case KeyForm::Text:
        case KeyForm::FixedText: EXPECT_NE(f.edit(field), nullptr) << k.field; break;
        case KeyForm::Flag: EXPECT_NE(f.check(field), nullptr) << k.field; break;
        default: EXPECT_NE(f.combo(field), nullptr) << k.field; break;
        }
    }
}

} // namespace
