#include "update/BootSer.h"

#include "WizardFixture.h"
#include "controls/button/FxButton.h"
#include "platform/ui/controls/Controls.h"

#include <QLabel>

using namespace update;

namespace {

void show(TFBootSer& w)
{
    platform::setModalDriver([](platform::Form& f) { f.show(); });
    w.showModal();
    platform::setModalDriver({});
}

bool onPage2(const TFBootSer& w)
{
    return w.Btn_Update->isVisibleTo(&w) && w.CB_Conf->isVisibleTo(&w) && !w.CB_Com->isVisibleTo(&w) &&
           !w.Btn_Next->isVisibleTo(&w) && !w.Btn_Cancel->isVisibleTo(&w);
}

class BootSer : public WizardTest {
protected:
    BootSer() { ws_->Converter_Type = 20; }
    QStringList ports;
    int listings = 0;
    void attach(TFBootSer& w)
    {
        w.EnumPorts = [this] {
            ++listings;
            return ports;
        };
    }
};

} // namespace

TEST_F(BootSer, ListsThePortsAtEveryShowingAndOnRequest)
{
    TFBootSer w;
    attach(w);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Update Device by Serial"));
    EXPECT_EQ(w.Btn_COM_List->hint(), QStringLiteral("Refresh COM port list"));
    // The refresh glyph comes from the style's icon theme (slow): it waits for the first show.
    EXPECT_TRUE(w.Btn_COM_List->glyph().isEmpty());
    ports = {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")};
    show(w);
    EXPECT_FALSE(w.Btn_COM_List->glyph().isEmpty());
    EXPECT_EQ(w.CB_Com->items(), ports);
    EXPECT_EQ(w.CB_Com->text(), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(w.L_Steps5->pos(), QPoint(36, 176));
    EXPECT_FALSE(w.Btn_Update->isVisibleTo(&w));

    ports = {QStringLiteral("/dev/ttyACM3")};
    w.Btn_COM_List->click();
    EXPECT_EQ(w.CB_Com->items(), ports);
    EXPECT_EQ(w.CB_Com->itemIndex(), 0);
    EXPECT_EQ(listings, 2);
}

TEST_F(BootSer, NextWithoutAPortRefusesWithText89)
{
    TFBootSer w;
    attach(w);
    show(w);
    EXPECT_EQ(w.CB_Com->count(), 0);
    EXPECT_EQ(w.CB_Com->itemIndex(), -1);
    w.Btn_Next->click();
    EXPECT_EQ(boxes_.texts(), QStringList(QStringLiteral("Error! Select the COM port to use for the Update")));
    EXPECT_FALSE(onPage2(w));

    ports = {QStringLiteral("/dev/ttyUSB0")};
    w.Btn_COM_List->click();
    w.Btn_Next->click();
    EXPECT_TRUE(onPage2(w));
    EXPECT_EQ(w.Btn_Update->x(), 16);
    EXPECT_EQ(boxes_.shown().size(), 1u);
}

TEST_F(BootSer, UpdateStartsTheSerialUpdaterWithThePortAndTheChoicesAndWaits)
{
    installUpdater(QStringLiteral("Ser_30102_Update.exe"));
    TFBootSer w;
    attach(w);
    ports = {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB1")};
    show(w);
    w.CB_Com->setItemIndex(1);
    w.Btn_Next->click();
    w.CB_Firmware->setChecked(false);
    w.CB_Read_Firm->setChecked(false);
    w.CB_Read_Conf->setChecked(false);
    w.Btn_Update->click();
    const QString prog = ws_->Program_Dir;
    EXPECT_EQ(record(), QStringList({QStringLiteral("Ser_30102_Update.exe"), prog, QStringLiteral("/dev/ttyUSB1"),
                                     QStringLiteral("NO"), QStringLiteral("NO"), QStringLiteral("PW"),
                                     QStringLiteral("NO"), prog + QStringLiteral("/MASTER/sim30102_Ser.sim"),
                                     prog + QStringLiteral("/PROJECTS/Plant 1/bin/bank1.bin")}));
    EXPECT_TRUE(boxes_.shown().empty());

    // Nothing ticked: still started, with four "NO".
    w.CB_Conf->setChecked(false);
    dir_.write(QStringLiteral("prog/updater_record.txt"), "");
    w.Btn_Update->click();
    EXPECT_EQ(record().mid(3, 4), QStringList({QStringLiteral("NO"), QStringLiteral("NO"), QStringLiteral("NO"),
                                               QStringLiteral("NO")}));
}

TEST_F(BootSer, MissingSerialUpdaterIsNamedInAnErrorBox)
{
    TFBootSer w;
    attach(w);
    ports = {QStringLiteral("/dev/ttyS0")};
    show(w);
    w.Btn_Next->click();
    w.Btn_Update->click();
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.contains(QStringLiteral("Ser_30102_Update.exe")));
}
