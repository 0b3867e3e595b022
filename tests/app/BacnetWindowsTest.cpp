// The BACnet table dialogs of the program start: the object tables and the broadcast
// distribution table open from their step buttons and save into the project; the unit picker
// made at start serves the object tables.
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/Program.h"
#include "app/Windows.h"
#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "platform/ui/controls/Controls.h"
#include "tables/bacnet/window/EngUnitPicker.h"
#include "tables/frame/window/TableDialog.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QTabWidget>

using namespace app;
using namespace app_test;

namespace {

struct Opened {
    int type;
    const char* button;
    const char* window;
    const char* file;
    const char* version;
    QStringList cells;
};

} // namespace

TEST(BacnetWindows, TheBacnetButtonsOpenTheirTablesWhichSaveIntoTheProject)
{
    const QStringList master = {"Analog Input", "62", "0", "0", "4", "Temperature"};
    const QStringList slave = {"Analog Input", "62", "0", "0", "4", "N", "Temperature"};
    const QStringList peer = {"Y", "192.168.1.10", "255.255.255.0", "47808", "Peer"};
    const Opened cases[] = {
        {0, "Btn_ModM_BACnet_SetAccess", "FBACnetSetAccess", "ModbusM_BACnet_SetAccess.xml", "1.702", master},
        {3, "Btn_ModTCPM_BACnet_SetAccess", "FBACnetSetAccess", "ModbusTCPM_BACnet_SetAccess.xml", "1.405", master},
        {2, "Btn_ModS_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "ModbusS_BACnet_SetAccess.xml", "1.301", slave},
        {4, "Btn_ModTCPS_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "ModbusTCPS_BACnet_SetAccess.xml", "1.103", slave},
        {0, "Btn_BACnet_BDT_Access", "FBACnet_BDT", "BACnet_BDT.xml", "1.702", peer},
        {2, "Btn_BACnet_BDT_Access", "FBACnet_BDT", "BACnet_BDT.xml", "1.301", peer},
    };
    for (const Opened& o : cases) {
        SCOPED_TRACE(std::string(o.button) + " " + std::to_string(o.type));
        AppEnv env(o.type);
        QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
        env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
        Program program(env.programDir.path());
        const QByteArray saved = saveFirstRowThroughButton(env, program.mainWindow(), o.button, o.window, o.file, o.cells);
        EXPECT_EQ(saved.count("<row "), 1) << saved.constData();
        EXPECT_TRUE(saved.endsWith(QByteArray("<!--SW_VERSION = ") + o.version + "-->\n")) << saved.constData();
    }
}

TEST(BacnetWindows, TheObjectTablesShareThePickerMadeAtStart)
{
    AppEnv env(3);
    QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
    env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();
    ASSERT_NE(m.window(WindowId::FBACnet_Eng_Unit), nullptr);
    env.modal.actions["FBACnet_Eng_Unit"] = [](platform::Form& f) {
        auto& p = static_cast<tables::TFBACnet_Eng_Unit&>(f);
        EXPECT_EQ(p.Label5->text(), QStringLiteral("-> no-units"));
        p.E_Selected_EU->setText(QStringLiteral("64"));
        p.Btn_OK->click();
    };
    env.modal.actions["FBACnetSetAccess"] = [](platform::Form& f) {
        auto& d = static_cast<tables::TTableDialog&>(f);
        d.grid(1)->SetCells(2, 4, QStringLiteral("95"));
        d.grid(1)->OnDblClickCell(nullptr, 4, 2);
        EXPECT_EQ(d.grid(1)->Cells(2, 4), QStringLiteral("64"));
        d.Btn_Cancel->click();
    };
    m.Btn_Click(m.button(QStringLiteral("Btn_ModTCPM_BACnet_SetAccess")));
    EXPECT_EQ(env.modal.shown, (QStringList{"FBACnetSetAccess", "FBACnet_Eng_Unit"}));
}

TEST(BacnetWindows, AChangeOfLanguageRelabelsTheBacnetTablesAndThePicker)
{
    AppEnv env(0);
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();
    auto* objects = static_cast<tables::TTableDialog*>(m.window(WindowId::FBACnetSetAccess));
    auto* slave = static_cast<tables::TTableDialog*>(m.window(WindowId::FBACnetSetAccess_ModSlave));
    auto* bdt = static_cast<tables::TTableDialog*>(m.window(WindowId::FBACnet_BDT));
    auto* picker = static_cast<tables::TFBACnet_Eng_Unit*>(m.window(WindowId::FBACnet_Eng_Unit));
    ASSERT_TRUE(objects && slave && bdt && picker);
    // One table already shown once (its controls relabelled in place), the others not yet
    // (their controls take the texts when they are built).
    objects->ensureControls();
    QStringList& t = workspace::ws().Lang_Texts;
    t[351] = QStringLiteral("BACnet-Objekte");
    t[358] = QStringLiteral("BACnet schreiben");
    t[372] = QStringLiteral("Kurzname");
    t[442] = QStringLiteral("BACnet-Objekte (Slave)");
    t[463] = QStringLiteral("Name");
    t[2100] = QStringLiteral("Verteiltabelle");
    t[2106] = QStringLiteral("Zeile kopieren");
    t[2108] = QStringLiteral("Bestaetigen und speichern");
    t[2115] = QStringLiteral("Aktiv");
    t[2121] = QStringLiteral("IP-Adresse des BBMD");
    t[268] = QStringLiteral("Einheit waehlen");
    t[276] = QStringLiteral("Diese Einheit");
    m.Change_Language();

    EXPECT_EQ(objects->windowTitle(), QStringLiteral("BACnet-Objekte"));
    EXPECT_EQ(objects->PageControl1->tabText(1), QStringLiteral("BACnet schreiben"));
    EXPECT_EQ(objects->grid(1)->Columns().Items(6)->Header(), QStringLiteral("Kurzname"));
    EXPECT_EQ(slave->windowTitle(), QStringLiteral("BACnet-Objekte (Slave)"));
    EXPECT_FALSE(slave->controlsBuilt());
    EXPECT_FALSE(bdt->controlsBuilt());
    slave->ensureControls();
    bdt->ensureControls();
    EXPECT_EQ(slave->grid(1)->Columns().Items(7)->Header(), QStringLiteral("Name"));
    EXPECT_EQ(slave->grid(1)->Columns().Items(6)->Header(), QStringLiteral("Swap")); // not translated
    EXPECT_EQ(bdt->windowTitle(), QStringLiteral("Verteiltabelle"));
    EXPECT_EQ(bdt->Btn_CopyRow->caption(), QStringLiteral("Zeile kopieren"));
    EXPECT_EQ(bdt->Btn_OK->hint(), QStringLiteral("Bestaetigen und speichern"));
    EXPECT_EQ(bdt->grid(0)->Columns().Items(1)->Header(), QStringLiteral("Aktiv"));
    QString hint;
    bdt->grid(0)->OnGridHint(nullptr, 0, 2, hint);
    EXPECT_EQ(hint, QStringLiteral("IP-Adresse des BBMD"));
    EXPECT_EQ(picker->windowTitle(), QStringLiteral("Einheit waehlen"));
    EXPECT_EQ(picker->Btn_Select_Eng_Unit->caption(), QStringLiteral("Diese Einheit"));
}
