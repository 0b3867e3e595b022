#include "update/BootTCP.h"

#include "FakePinger.h"
#include "WizardFixture.h"
#include "controls/button/FxButton.h"
#include "platform/ui/controls/Controls.h"
#include "support/FakeProcess.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTest>

using namespace update;
using platform::EchoStatus;
using testing_support::FakeClock;
using testing_support::FakeProcesses;

namespace {

// Shows the wizard as the main window does; the test then plays the user on the open window.
void show(TFBootTCP& w)
{
    platform::setModalDriver([](platform::Form& f) { f.show(); });
    w.showModal();
    platform::setModalDriver({});
}

void setFields(TFBootTCP& w, const char* a, const char* b, const char* c, const char* d)
{
    w.E_IP1->setText(QString::fromLatin1(a));
    w.E_IP2->setText(QString::fromLatin1(b));
    w.E_IP3->setText(QString::fromLatin1(c));
    w.E_IP4->setText(QString::fromLatin1(d));
}

QColor textColor(const QLabel* l) { return l->palette().color(QPalette::WindowText); }

bool onPage2(const TFBootTCP& w)
{
    return w.Btn_Update->isVisibleTo(&w) && w.CB_Conf->isVisibleTo(&w) && !w.E_IP1->isVisibleTo(&w) &&
           !w.Btn_Next->isVisibleTo(&w) && !w.Btn_Cancel->isVisibleTo(&w);
}

// Clicks Ping with a gateway that answers every echo, then Next.
void reachPage2(TFBootTCP& w)
{
    FakeClock clock;
    FakePinger pinger(clock);
    pinger.script = [](int) { return EchoStatus::Answered; };
    w.Btn_Ping->click();
    w.Btn_Next->click();
}

class BootTCP : public WizardTest {};

} // namespace

TEST_F(BootTCP, ShowsPage1WithTheStoredAddressAndTheModelCode)
{
    TFBootTCP w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Update Firmware from Etherner (UDP)"));
    EXPECT_EQ(w.size(), QSize(350, 233));
    ws_->Last_IP_Address = QStringLiteral(" 10.1.2.3 ");
    show(w);
    EXPECT_EQ(w.L_IP_Address->text(), QStringLiteral("IP Address of the Converter  GX30115"));
    EXPECT_EQ(QStringList({w.E_IP1->text(), w.E_IP2->text(), w.E_IP3->text(), w.E_IP4->text()}),
              QStringList({QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_TRUE(w.LPing->text().isEmpty());
    EXPECT_TRUE(w.Btn_Next->isVisibleTo(&w));
    EXPECT_FALSE(w.Btn_Update->isVisibleTo(&w));
    EXPECT_FALSE(w.CB_Firmware->isVisibleTo(&w));
    EXPECT_TRUE(w.CB_Firmware->isChecked() && w.CB_Read_Firm->isChecked() && w.CB_Conf->isChecked() &&
                w.CB_Read_Conf->isChecked());
    EXPECT_EQ(w.E_IP3->pos(), QPoint(147, 97));

    // A stored address with a part above 255 is not taken over.
    ws_->Last_IP_Address = QStringLiteral("10.0.0.300");
    ws_->Converter_Type = 5; // not a model: the prompt keeps its text
    show(w);
    EXPECT_EQ(w.E_IP4->text(), QStringLiteral("3"));
    EXPECT_EQ(w.L_IP_Address->text(), QStringLiteral("IP Address of the Converter  GX30115"));
}

TEST_F(BootTCP, DotInTheFirstThreeFieldsMovesOn)
{
    TFBootTCP w;
    show(w);
    setFields(w, "", "", "", "");
    w.E_IP1->setFocus();
    // Typed where the focus is: each "." moves it on, so the address lands in the four fields.
    for (char c : std::string("192.168.2.205"))
        QTest::keyClick(w.focusWidget(), c);
    EXPECT_EQ(QStringList({w.E_IP1->text(), w.E_IP2->text(), w.E_IP3->text(), w.E_IP4->text()}),
              QStringList({QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("2"), QStringLiteral("205")}));
    ASSERT_EQ(w.focusWidget(), w.E_IP4);
    QTest::keyClick(w.E_IP4, '.');
    EXPECT_EQ(w.E_IP4->text(), QStringLiteral("205."));
}

TEST_F(BootTCP, RealPingOfTheLoopbackAddressFindsTheDevice)
{
    TFBootTCP w;
    show(w);
    setFields(w, "127", "0", "0", "1");
    w.Btn_Ping->click();
    EXPECT_EQ(w.LPing->text(), QStringLiteral("Device Found!"));
    EXPECT_EQ(textColor(w.LPing), QColor(0, 128, 0));
    EXPECT_TRUE(w.Esegui_Ping);
    EXPECT_EQ(w.ping_, 1);
}

TEST_F(BootTCP, SilentDeviceIsNotFoundAfterTenSecondsAndNextRefuses)
{
    TFBootTCP w;
    show(w);
    setFields(w, "192", "168", "002", "205");
    FakeClock clock;
    FakePinger pinger(clock);
    bool pingOrNextEnabledDuringCheck = false;
    pinger.duringEcho = [&] { pingOrNextEnabledDuringCheck |= w.Btn_Ping->isEnabled() || w.Btn_Next->isEnabled(); };
    const uint64_t start = clock.tickMs();
    w.Btn_Ping->click();
    EXPECT_GT(clock.tickMs() - start, 10000u);
    EXPECT_LT(clock.tickMs() - start, 11000u);
    EXPECT_EQ(pinger.addresses.value(0), QStringLiteral("192.168.2.205")); // built from the numbers
    EXPECT_EQ(w.LPing->text(), QStringLiteral("Device Not Found!"));
    EXPECT_EQ(textColor(w.LPing), QColor(255, 0, 0));
    EXPECT_FALSE(w.Esegui_Ping);
    EXPECT_FALSE(pingOrNextEnabledDuringCheck);
    EXPECT_TRUE(w.Btn_Ping->isEnabled() && w.Btn_Next->isEnabled());

    w.Btn_Next->click();
    EXPECT_EQ(boxes_.texts(), QStringList(QStringLiteral("Device not found in network")));
    EXPECT_FALSE(onPage2(w));
}

TEST_F(BootTCP, FieldsThatAreNotAnAddressStopThePingBeforeAnyEcho)
{
    TFBootTCP w;
    show(w);
    FakeClock clock;
    FakePinger pinger(clock);
    pinger.script = [](int) { return EchoStatus::Answered; };
    for (const char* bad : {"256", "", "1a", "0x1", "-1"}) {
        setFields(w, "192", "168", bad, "1");
        w.Btn_Ping->click();
        EXPECT_EQ(w.LPing->text(), QStringLiteral("Error!!! Check the Ip Address")) << bad;
        EXPECT_FALSE(w.Esegui_Ping) << bad;
    }
    EXPECT_TRUE(pinger.addresses.isEmpty());

    // An error of the echo itself gives the same message.
    pinger.script = [](int) { return EchoStatus::Error; };
    setFields(w, "192", "168", "2", "1");
    w.Btn_Ping->click();
    EXPECT_EQ(w.LPing->text(), QStringLiteral("Error!!! Check the Ip Address"));
    EXPECT_EQ(textColor(w.LPing), QColor(255, 0, 0));
}

TEST_F(BootTCP, PingPressedWithTheKeyboardKeepsTheFocusSoEnterDoesNotCancel)
{
    for (EchoStatus gateway : {EchoStatus::Answered, EchoStatus::NoAnswer}) {
        TFBootTCP w;
        show(w);
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        setFields(w, "127", "0", "0", "1");
        FakeClock clock;
        FakePinger pinger(clock);
        pinger.script = [gateway](int) { return gateway; };
        w.Btn_Ping->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), w.Btn_Ping);
        QTest::keyClick(w.Btn_Ping, Qt::Key_Space);
        ASSERT_FALSE(pinger.addresses.isEmpty()) << "the key ran the check";
        EXPECT_EQ(QApplication::focusWidget(), w.Btn_Ping);
        // Enter where the focus is now runs the check again, and the wizard stays open.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.modalResult(), platform::mrNone);
        EXPECT_EQ(QApplication::focusWidget(), w.Btn_Ping);
        w.close();
    }
}

TEST_F(BootTCP, NextAfterAFoundDeviceShowsTheChoicesAndKeepsTheAddress)
{
    TFBootTCP w;
    show(w);
    setFields(w, " 192", "168", "002", "205 ");
    reachPage2(w);
    EXPECT_TRUE(onPage2(w));
    EXPECT_EQ(w.Btn_Update->x(), 16);
    EXPECT_EQ(w.CB_Read_Conf->pos(), QPoint(56, 165));
    EXPECT_EQ(ws_->Last_IP_Address, QStringLiteral("192.168.2.205"));
    EXPECT_TRUE(boxes_.shown().empty());

    // A new showing starts on page 1 and needs a new check.
    show(w);
    EXPECT_FALSE(onPage2(w));
    EXPECT_FALSE(w.Esegui_Ping);
    w.Btn_Next->click();
    EXPECT_EQ(boxes_.texts(), QStringList(QStringLiteral("Device not found in network")));
}

TEST_F(BootTCP, FieldsChangedAfterTheCheckAreRefusedByNext)
{
    TFBootTCP w;
    show(w);
    setFields(w, "192", "168", "2", "205");
    FakeClock clock;
    FakePinger pinger(clock);
    pinger.script = [](int) { return EchoStatus::Answered; };
    w.Btn_Ping->click();
    ASSERT_TRUE(w.Esegui_Ping);
    // Not an address any more, or another valid one: neither is the address that was checked.
    for (const char* other : {"999", "206"}) {
        boxes_.clear();
        w.E_IP4->setFocus();
        w.E_IP4->selectAll();
        QTest::keyClicks(w.E_IP4, QLatin1String(other));
        EXPECT_FALSE(w.Esegui_Ping) << other;
        EXPECT_TRUE(w.LPing->text().isEmpty()) << other;
        w.Btn_Next->click();
        EXPECT_EQ(boxes_.texts(), QStringList(QStringLiteral("Device not found in network"))) << other;
        EXPECT_FALSE(onPage2(w));
    }
    EXPECT_EQ(ws_->Last_IP_Address, QStringLiteral("192.168.2.205")); // unchanged default
    EXPECT_TRUE(pinger.addresses.contains(QStringLiteral("192.168.2.205")));

    // Typed back to the checked address while a check runs: the check that ends found the
    // address it started with; the fields changed during it, so Next still refuses.
    pinger.addresses.clear();
    pinger.duringEcho = [&w] {
        if (w.E_IP4->text() != QLatin1String("205"))
            w.E_IP4->setText(QStringLiteral("205"));
    };
    w.Btn_Ping->click();
    EXPECT_TRUE(w.Esegui_Ping); // the check itself found the gateway at .206
    boxes_.clear();
    w.Btn_Next->click();
    EXPECT_EQ(boxes_.texts(), QStringList(QStringLiteral("Device not found in network")));
    EXPECT_FALSE(onPage2(w));
}

// Typing an address over the stored one: each "." moves on and selects the next field, so the
// typed part replaces what the field held.
TEST_F(BootTCP, AddressTypedOverTheStoredOneReplacesEveryField)
{
    TFBootTCP w;
    ws_->Last_IP_Address = QStringLiteral("192.168.2.205");
    show(w);
    w.E_IP1->setFocus();
    w.E_IP1->selectAll();
    for (char c : std::string("127.0.0.1"))
        QTest::keyClick(w.focusWidget(), c);
    EXPECT_EQ(QStringList({w.E_IP1->text(), w.E_IP2->text(), w.E_IP3->text(), w.E_IP4->text()}),
              QStringList({QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")}));
}

TEST_F(BootTCP, UpdateStartsTheModelsOwnUpdaterAndWaitsForIt)
{
    installUpdater(QStringLiteral("TCP_30115_Update.exe"));
    TFBootTCP w;
    w.BACnetType = 0;
    show(w);
    setFields(w, "192", "168", "2", "205");
    reachPage2(w);
    w.CB_Read_Firm->setChecked(false);
    w.CB_Read_Conf->setChecked(false);
    w.Btn_Update->click();
    // The stub records only after a pause: the record is there because the wizard waited.
    const QString prog = ws_->Program_Dir;
    EXPECT_EQ(record(), QStringList({QStringLiteral("TCP_30115_Update.exe"), prog, QStringLiteral("192.168.2.205"),
                                     QStringLiteral("2007"), QStringLiteral("FW"), QStringLiteral("NO"),
                                     QStringLiteral("PW"), QStringLiteral("NO"), prog + QStringLiteral("/MASTER/sim30115.sim"),
                                     prog + QStringLiteral("/PROJECTS/Plant 1/bin/bank1.bin"), QStringLiteral("0")}));
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_TRUE(onPage2(w)); // the wizard stays for another Update
}

TEST_F(BootTCP, UpdateOfBinFolderModelPassesTheFolder)
{
    ws_->Converter_Type = 10;
    installUpdater(QStringLiteral("TCP_30121_Update.exe"));
    // A save killed in this folder left its complete copy; nothing of this model saves into
    // the folder before the updater takes it whole, so handing it over removes the copy.
    const QString stale = QStringLiteral("prog/PROJECTS/Plant 1/bin/.bank1.bin.~vn999999999.Ab12Cd");
    const QString foreign = QStringLiteral("prog/PROJECTS/Plant 1/bin/bank1.bin.Ab12Cd"); // not ours: kept
    dir_.write(stale, "complete copy");
    dir_.write(foreign, "someone's file");
    TFBootTCP w;
    show(w);
    setFields(w, "10", "0", "0", "7");
    reachPage2(w);
    w.CB_Firmware->setChecked(false);
    w.Btn_Update->click();
    const QString prog = ws_->Program_Dir;
    EXPECT_EQ(record(), QStringList({QStringLiteral("TCP_30121_Update.exe"), prog, QStringLiteral("10.0.0.7"),
                                     QStringLiteral("2007"), QStringLiteral("NO"), QStringLiteral("FR"),
                                     QStringLiteral("PW"), QStringLiteral("PR"), prog + QStringLiteral("/MASTER/sim30121.sim"),
                                     prog + QStringLiteral("/PROJECTS/Plant 1/bin")}));
    EXPECT_FALSE(QFileInfo::exists(dir_.file(stale)));
    EXPECT_TRUE(QFileInfo::exists(dir_.file(foreign)));
    EXPECT_TRUE(QFileInfo::exists(dir_.file(QStringLiteral("prog/PROJECTS/Plant 1/bin/bank1.bin"))));
}

TEST_F(BootTCP, UpdateOfCommonUpdaterWritesItsSettingsFirstAndPassesNoArguments)
{
    for (int deviceType : {0, 1}) {
        ws_->Converter_Type = deviceType;
        dir_.write(QStringLiteral("prog/updater_record.txt"), "");
        installUpdater(QStringLiteral("Ethernet_Update.exe"));
        TFBootTCP w;
        w.BACnetType = 1;
        show(w);
        setFields(w, "192", "168", "2", "9");
        reachPage2(w);
        w.Btn_Update->click();
        EXPECT_EQ(record(), QStringList({QStringLiteral("Ethernet_Update.exe"), ws_->Program_Dir})) << deviceType;
        const QByteArray settings = dir_.read(QStringLiteral("prog/Ethernet_Update.xml"));
        EXPECT_EQ(dir_.read(QStringLiteral("prog/updater_seen.xml")), settings) << deviceType;
        EXPECT_TRUE(settings.contains(deviceType == 0 ? "<Protection>0xE5</Protection>" : "<Boot_Port>2007</Boot_Port>"));
        EXPECT_TRUE(settings.contains("<IP_Address_Dev>192.168.2.9</IP_Address_Dev>"));
    }
}

TEST_F(BootTCP, MissingUpdaterIsNamedInAnErrorBoxAndTheSettingsStayWritten)
{
    ws_->Converter_Type = 0;
    TFBootTCP w;
    show(w);
    reachPage2(w);
    w.Btn_Update->click();
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.contains(ws_->Program_Dir + QStringLiteral("/Ethernet_Update.exe")));
    EXPECT_TRUE(dir_.exists(QStringLiteral("prog/Ethernet_Update.xml")));

    boxes_.clear();
    ws_->Converter_Type = 18;
    w.Btn_Update->click();
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.contains(QStringLiteral("TCP_30112_Update.exe")));
}

TEST_F(BootTCP, UnreadableDeviceListStopsTheUpdateWithItsMessage)
{
    ws_->Converter_Type = 1002;
    ws_->Path_M_Bus_Custom_QV = dir_.write(QStringLiteral("prog/PROJECTS/Plant 1/M_Bus_Custom_QV.xml"), "<broken>");
    FakeProcesses processes;
    TFBootTCP w;
    show(w);
    reachPage2(w);
    w.Btn_Update->click();
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.contains(QStringLiteral("M_Bus_Custom_QV.xml")));
    EXPECT_TRUE(processes.started().empty());
    EXPECT_FALSE(dir_.exists(QStringLiteral("prog/Ethernet_Update.xml")));
}

TEST_F(BootTCP, NonModelDeviceTypeStartsNothing)
{
    ws_->Converter_Type = 5;
    FakeProcesses processes;
    TFBootTCP w;
    show(w);
    reachPage2(w);
    w.Btn_Update->click();
    EXPECT_TRUE(processes.started().empty());
    EXPECT_TRUE(boxes_.shown().empty());
}
