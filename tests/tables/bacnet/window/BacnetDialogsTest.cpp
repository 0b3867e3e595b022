#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "image/BacnetObjects.h"
#include "support/FakeDialogs.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/bacnet/window/BacnetDialogs.h"
#include "tables/bacnet/window/EngUnitPicker.h"
#include "platform/ui/controls/Controls.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QTabWidget>
#include <gtest/gtest.h>

using namespace tables;
using namespace tables::bacnet;
using platform::MsgAnswer;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class BacnetDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    void TearDown() override { platform::setModalDriver(previous_); }

    // A project folder for `type` with its table paths.
    void project(int type)
    {
        scoped.reset();
        scoped = std::make_unique<workspace::ScopedWorkspace>(type);
        workspace::Default_Texts();
        workspace::Workspace& w = **scoped;
        w.Path_ParGen = dir.file(QStringLiteral("ParGen.xml"));
        w.Path_BACnet_SetAccess = dir.file(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml"));
        w.Path_BACnet_SetAccess_ModSlave = dir.file(QStringLiteral("Slave_BACnet_SetAccess.xml"));
        w.Path_BACnet_BDT = dir.file(QStringLiteral("BACnet_BDT.xml"));
    }
    // Plays the user of every window shown modally: the table dialog and the picker.
    void user(std::function<void(TTableDialog&)> onTable, std::function<void(TFBACnet_Eng_Unit&)> onPicker = {})
    {
        previous_ = platform::setModalDriver([onTable, onPicker](platform::Form& f) {
            if (auto* p = dynamic_cast<TFBACnet_Eng_Unit*>(&f); p && onPicker)
                onPicker(*p);
            else if (auto* t = dynamic_cast<TTableDialog*>(&f))
                onTable(*t);
        });
    }
    static QStringList visibleTabs(const TTableDialog& d)
    {
        QStringList tabs;
        for (int i = 0; i < d.PageControl1->count(); ++i)
            if (d.PageControl1->isTabVisible(i))
                tabs << d.PageControl1->tabText(i);
        return tabs;
    }

    TempDir dir;
    std::unique_ptr<workspace::ScopedWorkspace> scoped = std::make_unique<workspace::ScopedWorkspace>(3);
    FakeMessageBoxes boxes;
    platform::ModalDriver previous_;
};

} // namespace

TEST_F(BacnetDialogsTest, MasterTableFillsLengthsPicksUnitsAndSavesWhatTheBuilderReads)
{
    project(3);
    TFBACnet_Eng_Unit picker;
    TFBACnetSetAccess d(&picker);
    EXPECT_EQ(d.size(), QSize(784, 337));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("BACnet Set Access"));
    EXPECT_EQ(d.grid(WritePage)->Columns().Items(ColType)->Header(), QStringLiteral("Data Type"));

    user(
        [](TTableDialog& t) {
            EXPECT_EQ(t.grid(ReadPage)->RowCount(), 2001);
            TExtColumnGrid* r = t.grid(ReadPage);
            for (const auto& [col, text] : {std::pair<int, const char*>{ColType, "Analog Input"}, {ColPosition, "0"}, {ColBit, "0"},
                                             {ColLength, "4"}, {6, "Boiler"}})
                r->SetCells(col, 1, QLatin1String(text));
            // The unit through the picker: a double click on the cell.
            r->OnDblClickCell(nullptr, 1, ColEngUnit);
            EXPECT_EQ(r->Cells(ColEngUnit, 1), QStringLiteral("62"));
            // A double click elsewhere or on the header opens nothing.
            r->OnDblClickCell(nullptr, 0, ColEngUnit);
            r->OnDblClickCell(nullptr, 1, ColPosition);

            TExtColumnGrid* w = t.grid(WritePage);
            w->SetCells(ColType, 1, QStringLiteral("Large Analog Value"));
            w->OnComboChange(nullptr, ColType, 1, 5, QStringLiteral("Large Analog Value"));
            EXPECT_EQ(w->Cells(ColLength, 1), QStringLiteral("8"));
            // Picking in another column fills nothing.
            w->OnComboChange(nullptr, ColPosition, 1, 3, QStringLiteral("Analog Out"));
            EXPECT_EQ(w->Cells(ColLength, 1), QStringLiteral("8"));
            for (const auto& [col, text] : {std::pair<int, const char*>{ColEngUnit, "95"}, {ColPosition, "8"}, {ColBit, "0"}, {6, "Meter"}})
                w->SetCells(col, 1, QLatin1String(text));
            // The read page fills in nothing.
            r->SetCells(ColType, 2, QStringLiteral("Analog Value"));
            r->OnComboChange(nullptr, ColType, 2, 1, QStringLiteral("Analog Value"));
            EXPECT_EQ(r->Cells(ColLength, 2), QString());
            r->SetCells(ColType, 2, QString());
            static_cast<TFBACnetSetAccess&>(t).Btn_OK->click();
        },
        [](TFBACnet_Eng_Unit& p) {
            EXPECT_EQ(p.Label5->text(), QStringLiteral("-> unknown"));
            p.CB_Select_Type->setItemIndex(p.CB_Select_Type->findText(QStringLiteral("Temperature")));
            p.CB_Select_TypeSelect();
            p.Btn_Select_Eng_Unit->click();
            p.Btn_OK->click();
        });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('\n').toStdString();

    // The image builder reads the two objects back.
    image::BacnetObjectTable table;
    std::array<uint32_t, image::kObjectTypeCodes> counts{};
    image::Load_BACnet_Objects(table, counts, 0, 3, (*scoped)->Path_BACnet_SetAccess);
    ASSERT_EQ(table.count, 2);
    const QByteArray file = dir.read(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml"));
    EXPECT_TRUE(file.contains("<row Data_Type=\"Analog Input\" Eng_Unit=\"62\" Position=\"0\" Bit=\"0\" Length=\"4\" Mnemonic=\"Boiler\""))
        << file.toStdString();
    EXPECT_TRUE(file.endsWith("<!--SW_VERSION = 1.405-->\n"));
}

TEST_F(BacnetDialogsTest, DescriptionLimitHalvesTheTableAndOkAsksBeforeDroppingRows)
{
    project(3);
    tf::Rows rows;
    for (int i = 0; i < 1200; ++i)
        rows.push_back({{"Data_Type", "Analog Input"}, {"Eng_Unit", "95"}, {"Position", "0"}, {"Bit", "0"},
                        {"Length", "4"}, {"Mnemonic", QString::number(i)}});
    const QByteArray original = tf::tableXml(QStringLiteral("BACnet_to_Modbus"),
                                             {{QStringLiteral("BACnet_in_Read"), rows}, {QStringLiteral("BACnet_in_Write"), {}}},
                                             {}, QStringLiteral("SW_VERSION = 1.405"));
    dir.write(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml"), original);
    dir.write(QStringLiteral("ParGen.xml"), tf::parGenXml({{"BACnet_Desc_Chars_Limit", "1"}}));
    TFBACnetSetAccess d(nullptr);
    user([](TTableDialog& t) {
        EXPECT_TRUE(static_cast<TFBACnetSetAccess&>(t).Desc_Lenght);
        EXPECT_EQ(t.grid(ReadPage)->RowCount(), 1001);
        EXPECT_EQ(t.grid(ReadPage)->Cells(6, 1000), QStringLiteral("999"));
        t.Btn_OK->click(); // answered No: nothing written, still open
        EXPECT_EQ(t.modalResult(), 0);
        t.Btn_Cancel->click();
    });
    d.showModal();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("200 rows more"))) << boxes.shown()[0].text.toStdString();
    EXPECT_TRUE(boxes.shown()[1].text.contains(QStringLiteral("Save anyway?")));
    EXPECT_EQ(dir.read(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml")), original);

    // Without the limit the same file shows whole.
    dir.write(QStringLiteral("ParGen.xml"), tf::parGenXml({{"BACnet_Desc_Chars_Limit", "0"}}));
    boxes.clear();
    user([](TTableDialog& t) {
        EXPECT_EQ(t.grid(ReadPage)->RowCount(), 2001);
        EXPECT_EQ(t.grid(ReadPage)->Cells(6, 1200), QStringLiteral("1199"));
        t.Btn_Cancel->click();
    });
    d.showModal();
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(BacnetDialogsTest, SlaveTablePagesListsAndColumnsFollowTheDeviceType)
{
    // DMX without general parameters: 512 bytes each way, only the write page.
    project(18);
    {
        TFBACnetSetAccess_ModSlave d(nullptr);
        EXPECT_EQ(d.size(), QSize(804, 337));
        user([this](TTableDialog& t) {
            EXPECT_EQ(visibleTabs(t), QStringList{QStringLiteral("BACnet in Write")});
            EXPECT_EQ(t.currentSection(), WritePage);
            EXPECT_EQ(t.grid(WritePage)->Columns().Items(ColPosition)->ComboItems().Count(), 512);
            EXPECT_FALSE(t.grid(WritePage)->Columns().Items(ColLength)->ReadOnly);
            t.Btn_Cancel->click();
        });
        d.showModal();
    }
    // DMX reading 24 channels: only the read page, both lists "0" .. "23".
    dir.write(QStringLiteral("ParGen.xml"), tf::parGenXml({{"DMX_DMX", "0"}, {"DMX_Num_Channels", "24"}}));
    {
        TFBACnetSetAccess_ModSlave d(nullptr);
        user([this](TTableDialog& t) {
            EXPECT_EQ(visibleTabs(t), QStringList{QStringLiteral("BACnet in Read")});
            EXPECT_EQ(t.currentSection(), ReadPage);
            for (int page : {ReadPage, WritePage}) {
                EXPECT_EQ(t.grid(page)->Columns().Items(ColPosition)->ComboItems().Count(), 24);
                EXPECT_EQ(t.grid(page)->Columns().Items(ColPosition)->ComboItems().Strings(23), QStringLiteral("23"));
            }
            t.Btn_Cancel->click();
        });
        d.showModal();
    }
    // EtherNet/IP: limits from the general parameters; a loaded write row past them is refused.
    project(12);
    dir.write(QStringLiteral("ParGen.xml"), tf::parGenXml({{"EtherNetIP_NB_IN", "100"}, {"EtherNetIP_NB_OUT", "200"}}));
    dir.write(QStringLiteral("Slave_BACnet_SetAccess.xml"),
              tf::objectTableXml({}, {tf::objectRow({.type = QStringLiteral("Analog Out"), .position = QStringLiteral("250")})}));
    {
        TFBACnetSetAccess_ModSlave d(nullptr);
        EXPECT_EQ(d.size(), QSize(764, 337));
        user([this](TTableDialog& t) {
            EXPECT_EQ(visibleTabs(t).size(), 2);
            EXPECT_EQ(t.grid(ReadPage)->Columns().Items(ColPosition)->ComboItems().Count(), 100);
            EXPECT_EQ(t.grid(WritePage)->Columns().Items(ColPosition)->ComboItems().Count(), 200);
            EXPECT_TRUE(t.grid(WritePage)->Columns().Items(ColLength)->ReadOnly);
            t.Btn_OK->click();
            t.Btn_Cancel->click();
        });
        d.showModal();
        EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Error row 1!! [BACnet in Write] Position must be between 0 and 199")});
    }
}

TEST_F(BacnetDialogsTest, SlaveTableKeepsTheHiddenSwapThroughDeleteAndSave)
{
    project(2);
    tf::Rows read;
    for (int i = 1; i <= 4; ++i)
        read.push_back(tf::objectRow({.position = QString::number(i * 4), .swap = i == 4 ? QStringLiteral("Y") : QStringLiteral("N"),
                                      .mnemonic = QStringLiteral("m%1").arg(i)}));
    dir.write(QStringLiteral("Slave_BACnet_SetAccess.xml"), tf::objectTableXml(read, {}));
    TFBACnetSetAccess_ModSlave d(nullptr);
    boxes.answer(MsgAnswer::Yes); // delete row 3
    user([](TTableDialog& t) {
        TExtColumnGrid* g = t.grid(ReadPage);
        EXPECT_EQ(g->NumHiddenColumns(), 1);
        g->SetRow(3);
        t.Btn_DelRowClick();
        EXPECT_EQ(g->Cells(7, 3), QStringLiteral("m4"));
        EXPECT_EQ(g->Cells(kColSwap, 3), QStringLiteral("Y"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_EQ(boxes.texts().first(), QStringLiteral("Are you sure to delete the Row number 3"));
    const QByteArray file = dir.read(QStringLiteral("Slave_BACnet_SetAccess.xml"));
    EXPECT_TRUE(file.contains("Swap=\"Y\" Mnemonic=\"m4\"")) << file.toStdString();
    EXPECT_FALSE(file.contains("m3"));
    EXPECT_TRUE(file.endsWith("<!--SW_VERSION = 1.301-->\n"));
}

TEST_F(BacnetDialogsTest, BroadcastTableOffersCopyPasteAndHintsAndSavesEveryPeer)
{
    project(0);
    TFBACnet_BDT d;
    EXPECT_EQ(d.size(), QSize(824, 337));
    d.ensureControls();
    ASSERT_NE(d.Btn_PasteRow, nullptr);
    EXPECT_EQ(d.Btn_CopyRow->caption(), QStringLiteral("Copy Row"));
    EXPECT_EQ(d.Btn_OK->hint(), QStringLiteral("Confirm and save the Broadcast Distribution Table"));
    EXPECT_EQ(d.PageControl1, nullptr);
    user([](TTableDialog& t) {
        TExtColumnGrid* g = t.grid(0);
        EXPECT_EQ(g->RowCount(), 11);
        EXPECT_EQ(g->Cells(BdtEnable, 10), QStringLiteral("Y"));
        QString hint;
        g->OnGridHint(nullptr, 0, BdtIp, hint);
        EXPECT_EQ(hint, QStringLiteral("Insert the IP Address of BBMD "));
        const QStringList row = {"Y", "192.168.1.10", "255.255.255.0", "47808", "Plant"};
        for (int c = 1; c <= 5; ++c)
            g->SetCells(c, 1, row[c - 1]);
        g->SetRow(1);
        t.Btn_CopyRowClick();
        g->SetRow(3);
        t.Btn_PasteRowClick();
        g->SetCells(BdtIp, 3, QStringLiteral("10.0.0.3"));
        t.Btn_OK->click();
    });
    EXPECT_EQ(d.showModal(), platform::mrOk);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('\n').toStdString();
    EXPECT_EQ(QString::fromUtf8(dir.read(QStringLiteral("BACnet_BDT.xml"))),
              QStringLiteral("<BACnet_BDT>\n"
                             "  <row Enable=\"Y\" IP_Address=\"192.168.1.10\" SubNet_Mask=\"255.255.255.0\" Port=\"47808\" Mnemonic=\"Plant\" />\n"
                             "  <row Enable=\"Y\" IP_Address=\"10.0.0.3\" SubNet_Mask=\"255.255.255.0\" Port=\"47808\" Mnemonic=\"Plant\" />\n"
                             "</BACnet_BDT>\n"
                             "<!--SW_VERSION = 1.702-->\n"));
}

TEST_F(BacnetDialogsTest, APasteNeedsACopyMadeSinceTheTableWasShown)
{
    project(0);
    TFBACnet_BDT d;
    user([](TTableDialog& t) {
        TExtColumnGrid* g = t.grid(0);
        g->SetCells(BdtIp, 1, QStringLiteral("10.0.0.1"));
        g->SetRow(1);
        t.Btn_CopyRowClick();
        t.Btn_Cancel->click();
    });
    d.showModal();
    ASSERT_EQ(workspace::ws().Row_Clipboard.size(), 5);
    user([](TTableDialog& t) {
        TExtColumnGrid* g = t.grid(0);
        g->SetRow(2);
        t.Btn_PasteRowClick(); // the copy was made in the last showing
        EXPECT_EQ(g->Cells(BdtIp, 2), QString());
        t.Btn_Cancel->click();
    });
    d.showModal();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Error!!! Copy a valid row before Paste it")});
}
