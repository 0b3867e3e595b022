#include "MasterFixture.h"
#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/TemplateFixture.h"
#include "mbus/master/window/UConf_BAC_MBus_Pelvarta.h"
#include "parameters/ParGen.h"
#include "platform/ui/controls/Controls.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

using namespace mbus::master;
using master_test::MasterProject;
using mbus_test::meterVars;
using platform::MsgAnswer;

namespace {

struct Window : TFConf_BAC_MBus_Pelvarta {
    void show() { FormShow(); }
};

class ConfigurationWindowTest : public ::testing::Test {
protected:
    void makeTemplate(const QString& name, const std::vector<int>& types, int kind = 0)
    {
        QByteArray xml = mbus::templateXml(meterVars(types), {});
        if (kind != 0)
            xml.replace("<Type>0</Type>", "<Type>" + QByteArray::number(kind) + "</Type>");
        QFile f(project.templateFile(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
    }
    // Fills the left panel and presses Add.
    void add(Window& w, const QString& templateName, const QString& id, bool ns = true, bool in = true,
             int idType = 0)
    {
        w.CB_Sel_Template->setItemIndex(w.List_Template.indexOf(templateName));
        w.CB_ID_Type->setItemIndex(idType);
        w.E_MBus_ID->setText(id);
        w.CB_NodeState->setChecked(ns);
        w.CB_IdeNumber->setChecked(in);
        w.Btn_AddClick();
    }
    static QStringList row(const TExtColumnGrid* g, int r)
    {
        QStringList cells;
        for (int c = 0; c < g->ColCount() + g->NumHiddenColumns(); ++c)
            cells << g->Cells(c, r);
        return cells;
    }
    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    MasterProject project{1002};
};

} // namespace

TEST_F(ConfigurationWindowTest, LaysOutTheFieldsGridsAndTheByteCountOfProfinet)
{
    Window w;
    // Creating the window builds no control.
    EXPECT_FALSE(w.controlsBuilt());
    EXPECT_EQ(w.ACG1, nullptr);
    EXPECT_EQ(w.size(), QSize(1024, 543));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("PROFINET / M-Bus Configuration "));
    EXPECT_EQ(w.Hint_ACG1.size(), 9);
    w.ensureControls();
    EXPECT_EQ(w.L_SW_Desc->text(), QStringLiteral("PROFINET / M-Bus Configuration"));
    EXPECT_FALSE(w.L_MBus_NumByte->isHidden());
    EXPECT_EQ(w.L_MBus_NumByte->text(), QStringLiteral("Bytes Used : 0"));
    EXPECT_GE(w.GB_Node->width(), 290);
    EXPECT_GE(w.GB_Node->height(), 386);
    EXPECT_GE(w.ACG1->height(), 120);
    EXPECT_GE(w.ACG2->height(), 120);
    EXPECT_EQ(w.CB_Select_Conv->items().value(4), QStringLiteral("GX30130-IP-B2-50-100"));
    EXPECT_EQ(w.CB_Select_Conv->itemIndex(), 0);
    EXPECT_EQ(w.CB_ID_Type->items(), (QStringList{"Primary", "Secondary"}));
    EXPECT_EQ(w.E_MBus_ID->text(), QStringLiteral("1"));
    EXPECT_EQ(w.ACG1->ColCount(), 9);
    EXPECT_EQ(w.ACG1->Columns().Items(8)->Header(), QStringLiteral("Description"));
    EXPECT_EQ(w.ACG2->ColCount(), 9); // ten columns, Enable hidden
    EXPECT_EQ(w.ACG2->NumHiddenColumns(), 1);
    EXPECT_EQ(w.ACG2->Columns().Items(9)->Width(), 145);
    EXPECT_EQ(w.Btn_Template->caption(), QStringLiteral("Template"));

    // Header hints: every device column; the shown variable columns after "N".
    QString hint;
    w.ACG1->OnGridHint(w.ACG1, 0, 0, hint);
    EXPECT_EQ(hint, QStringLiteral("FileName of Template Select"));
    w.ACG2->OnGridHint(w.ACG2, 0, 2, hint);
    EXPECT_EQ(hint, QStringLiteral("M-Bus Frame where is present the Variable (read only)"));
    w.ACG2->OnGridHint(w.ACG2, 0, 9, hint);
    EXPECT_EQ(hint, QStringLiteral("Description of Variable (read only)"));

    workspace::ScopedWorkspace other(1001);
    workspace::Default_Texts();
    Window b;
    b.ensureControls();
    EXPECT_EQ(b.windowTitle(), QStringLiteral("BACnet / M-Bus Configuration (QV)"));
    EXPECT_TRUE(b.L_MBus_NumByte->isHidden());
    EXPECT_EQ(b.CB_Select_Conv->items().value(0), QStringLiteral("GX30128-IP-B2-1-10"));
}

TEST_F(ConfigurationWindowTest, TheTemplateListHoldsWritableXmlFilesSortedIgnoringCase)
{
    Window w;
    w.show();
    EXPECT_FALSE(w.CB_Sel_Template->isEnabled());
    w.Btn_AddClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Error!! Select a Template"});

    for (const char* name : {"b.xml", "A.XML", "notes.txt", "sub.xml/inner.xml", "c.xml"})
        project.dir.write(QStringLiteral("TEMPLATE/") + name, "<Template/>");
    QFile::setPermissions(project.templateFile("c.xml"), QFileDevice::ReadOwner);
    w.show();
    EXPECT_TRUE(w.CB_Sel_Template->isEnabled());
    EXPECT_EQ(w.CB_Sel_Template->items(), (QStringList{"A.XML", "b.xml"}));
    EXPECT_EQ(w.CB_Sel_Template->text(), QStringLiteral("A.XML"));
    EXPECT_TRUE(w.Template_Exists("b.xml"));
    EXPECT_FALSE(w.Template_Exists("B.xml"));
}

TEST_F(ConfigurationWindowTest, AddModifyAndDeleteDevicesAndOkSavesTheListAndTheByteCount)
{
    makeTemplate("Heat.xml", {2, 5, 23});
    makeTemplate("Water.xml", {2});
    parameters::ParGen p;
    p.PROFINET_AUTO_CALC_BYTE_USED = true;
    project.dir.write("PROJECTS/P/ParGen.xml", parameters::parGenBytes(p, 1002));
    const QByteArray parGenBefore = read(workspace::ws().Path_ParGen);

    Window w;
    w.show();
    EXPECT_TRUE(w.Auto_Calc_Byte);
    EXPECT_EQ(w.Num_Byte_Max, 1439);
    // No device: one empty row whose flags read N, and the fields reset.
    EXPECT_EQ(w.ACG1->RowCount(), 2);
    EXPECT_EQ(row(w.ACG1, 1), (QStringList{"", "", "", "N", "N", "", "", "", ""}));
    EXPECT_EQ(w.E_MSB->text(), QStringLiteral("1"));

    add(w, "Heat.xml", "5");
    w.E_MSB->setText("7");
    add(w, "Water.xml", "12345678", true, false, 1);
    EXPECT_TRUE(project.boxes.texts().isEmpty()) << project.boxes.texts().join("|").toStdString();
    ASSERT_EQ(w.Devices_List.size(), 2u);
    EXPECT_EQ(row(w.ACG1, 2), (QStringList{"Water.xml", "Secondary", "12345678", "Y", "N", "7", "1", "1", ""}));
    // Heat: NS, IN and types 2 and 23; Water: NS and type 2.
    EXPECT_EQ(w.L_MBus_NumByte->text(), QStringLiteral("Bytes Used : 24"));

    // A click on the second device shows its fields and variables.
    w.ACG1->MoveToCell(0, 2);
    w.ACG1Click();
    EXPECT_EQ(w.E_MBus_ID->text(), QStringLiteral("12345678"));
    EXPECT_EQ(w.CB_ID_Type->itemIndex(), 1);
    EXPECT_EQ(w.ACG2->RowCount(), 2);
    EXPECT_EQ(row(w.ACG2, 1), (QStringList{"1", "Y", "1", "1", "2", "2", "", "62", "V1_07'_01'_001'", "Value 1"}));

    // Modify the second device to the template with more variables.
    w.CB_Sel_Template->setItemIndex(w.List_Template.indexOf("Heat.xml"));
    w.Btn_ModifyClick();
    EXPECT_EQ(w.Devices_List[1].Vars_List.size(), 3u);
    EXPECT_EQ(w.ACG2->RowCount(), 4);
    EXPECT_EQ(w.L_MBus_NumByte->text(), QStringLiteral("Bytes Used : 28"));
    // A field that fails: nothing changes.
    w.E_SST->setText("100");
    w.Btn_ModifyClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Error!! SST must be between 0 and 99"});
    EXPECT_EQ(w.Devices_List[1].SST, QStringLiteral("1"));
    w.E_SST->setText("1");

    // Delete the first device, without a question.
    project.boxes.clear();
    w.ACG1->MoveToCell(0, 1);
    w.Btn_DeleteClick();
    EXPECT_TRUE(project.boxes.texts().isEmpty());
    ASSERT_EQ(w.Devices_List.size(), 1u);
    EXPECT_EQ(w.Devices_List[0].ID_MBus, QStringLiteral("12345678"));
    EXPECT_EQ(w.ACG1->RowCount(), 2);
    add(w, "Water.xml", "9");

    w.CB_Select_Conv->setItemIndex(1);
    w.Btn_OKClick();
    EXPECT_EQ(w.modalResult(), platform::mrOk);
    const mbus::DeviceList saved = mbus::Load_Configuration(workspace::ws().Path_M_Bus_Custom_QV, workspace::ws().Template_Dir);
    EXPECT_EQ(saved.converterIndex, 1);
    EXPECT_EQ(saved.devices, w.Devices_List);
    // 12345678 with Heat (NS, types 2, 23) and 9 with Water (NS, IN, type 2).
    QByteArray expected = parGenBefore;
    expected.replace("<PROFINET_NB_OUT>1439</PROFINET_NB_OUT>", "<PROFINET_NB_OUT>24</PROFINET_NB_OUT>");
    EXPECT_EQ(read(workspace::ws().Path_ParGen), expected);

    // Shown again: the two devices, the first one's fields.
    Window again;
    again.show();
    EXPECT_EQ(again.Devices_List, w.Devices_List);
    EXPECT_EQ(again.CB_Select_Conv->itemIndex(), 1);
    EXPECT_EQ(again.ACG1->RowCount(), 3);
    EXPECT_EQ(again.ACG1->Cells(2, 2), QStringLiteral("9"));
    EXPECT_EQ(again.ACG1->Row(), 1);
    EXPECT_EQ(again.E_MBus_ID->text(), QStringLiteral("12345678"));
    EXPECT_TRUE(again.CB_NodeState->checked());
    EXPECT_FALSE(again.CB_IdeNumber->checked());
}

TEST_F(ConfigurationWindowTest, OkRefusesTooManyHeatingControllersBeforeTooManyDevicesAndTooManyBytes)
{
    makeTemplate("Meter.xml", {2});
    makeTemplate("Heating.xml", {2}, 1);
    Window w;
    w.show();
    for (int i = 0; i < 11; ++i)
        add(w, "Meter.xml", QString::number(i));
    w.Btn_OKClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Error!! Too many Devices"});
    add(w, "Heating.xml", "20");
    add(w, "Heating.xml", "21");
    project.boxes.clear();
    w.Btn_OKClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Error!! Too many Heating Controllers"});
    EXPECT_EQ(w.modalResult(), 0);
    EXPECT_FALSE(QFile::exists(workspace::ws().Path_M_Bus_Custom_QV));

    // The limit from ParGen.xml with the automatic count off: a count equal to it fails.
    project.dir.write("PROJECTS/P/ParGen.xml", "<Par_Gen><PROFINET_NB_OUT>12</PROFINET_NB_OUT></Par_Gen>");
    w.show();
    add(w, "Meter.xml", "1", true, false); // 8 bytes
    w.Btn_OKClick();
    EXPECT_EQ(w.modalResult(), platform::mrOk);
    w.setModalResult(0);
    add(w, "Meter.xml", "2", false, false); // 12 bytes
    project.boxes.clear();
    w.Btn_OKClick();
    EXPECT_EQ(project.boxes.texts(),
              QStringList{"Error!! Too many Bytes used. The Number bytes must be between 0 and 12"});
    EXPECT_EQ(w.modalResult(), 0);
    // With the automatic count off, ParGen.xml is not written.
    EXPECT_EQ(read(workspace::ws().Path_ParGen), QByteArray("<Par_Gen><PROFINET_NB_OUT>12</PROFINET_NB_OUT></Par_Gen>"));
}

TEST_F(ConfigurationWindowTest, ADeviceWhoseTemplateIsGoneIsNamedWhenTheWindowOpens)
{
    makeTemplate("Meter.xml", {2});
    makeTemplate("Old.xml", {2});
    {
        Window w;
        w.show();
        add(w, "Meter.xml", "1");
        add(w, "Old.xml", "2");
        w.Btn_OKClick();
    }
    QFile::remove(project.templateFile("Old.xml"));
    project.boxes.clear();
    Window w;
    w.show();
    EXPECT_EQ(project.boxes.texts(),
              QStringList{"The templates of these devices no longer exist in the folder TEMPLATE:\n"
                          "device 2 (ID 2): Old.xml\n"
                          "The devices are not shown, and OK removes them from the device list."});
    EXPECT_EQ(w.Devices_List.size(), 1u);
}

TEST_F(ConfigurationWindowTest, ADamagedDeviceListIsReportedAndReplacedOnlyWhenTheUserSaysSo)
{
    const QByteArray damaged = "<Configuration_MBus_BACnet><List_Devices><Device>";
    project.dir.write("PROJECTS/P/M_Bus_Custom_QV.xml", damaged);
    Window w;
    w.show();
    ASSERT_EQ(project.boxes.texts().size(), 1);
    EXPECT_TRUE(project.boxes.texts()[0].startsWith("The file M_Bus_Custom_QV.xml cannot be read")) << project.boxes.texts()[0].toStdString();
    project.boxes.clear();
    w.Btn_OKClick();
    EXPECT_EQ(project.boxes.texts(),
              QStringList{"The file M_Bus_Custom_QV.xml could not be read when this window opened. Saving replaces it "
                          "with the devices shown. Replace it?"});
    EXPECT_EQ(w.modalResult(), 0);
    EXPECT_EQ(read(workspace::ws().Path_M_Bus_Custom_QV), damaged);
    project.boxes.answer(MsgAnswer::Yes);
    w.Btn_OKClick();
    EXPECT_EQ(w.modalResult(), platform::mrOk);
    EXPECT_TRUE(read(workspace::ws().Path_M_Bus_Custom_QV).contains("<List_Devices"));
}

TEST_F(ConfigurationWindowTest, TheTemplateButtonShowsTheTemplateWindow)
{
    Window w;
    platform::Form templates;
    templates.setObjectName("FTemplate_Creation");
    w.templateWindow = &templates;
    QStringList shown;
    const platform::ModalDriver previous = platform::setModalDriver([&](platform::Form& f) {
        shown << f.objectName();
        f.setModalResult(platform::mrCancel);
    });
    w.Btn_TemplateClick();
    platform::setModalDriver(previous);
    EXPECT_EQ(shown, QStringList{"FTemplate_Creation"});
}

TEST_F(ConfigurationWindowTest, AVariantIndexOutsideTheListChoosesNoneChecksAsTheFirstAndIsKept)
{
    makeTemplate("Meter.xml", {2});
    project.dir.write("PROJECTS/P/M_Bus_Custom_QV.xml",
                      "<Configuration_MBus_BACnet><Type_Converter><Index>7</Index></Type_Converter>"
                      "<List_Devices/></Configuration_MBus_BACnet>");
    Window w;
    w.show();
    EXPECT_EQ(w.CB_Select_Conv->itemIndex(), -1);
    for (int i = 0; i < 11; ++i)
        add(w, "Meter.xml", QString::number(i), false, false);
    w.Btn_OKClick();
    EXPECT_EQ(project.boxes.texts(), QStringList{"Error!! Too many Devices"});
    w.Devices_List.pop_back();
    w.Btn_OKClick();
    EXPECT_EQ(w.modalResult(), platform::mrOk);
    EXPECT_TRUE(read(workspace::ws().Path_M_Bus_Custom_QV).contains("<Index>7</Index>"));
}

TEST_F(ConfigurationWindowTest, ADamagedTemplateIsReportedAndAddsNoDevice)
{
    project.dir.write("TEMPLATE/Bad.xml", "<Template><List_Variables>");
    Window w;
    w.show();
    add(w, "Bad.xml", "3");
    ASSERT_EQ(project.boxes.texts().size(), 1);
    EXPECT_TRUE(project.boxes.texts()[0].startsWith("The template Bad.xml cannot be read")) << project.boxes.texts()[0].toStdString();
    EXPECT_TRUE(w.Devices_List.empty());
}
