// The M-Bus network editor of the program start: created in its place with its new node ID
// dialog, opened by "M-Bus" on device types 1, 20 and 21, saving into the project, reaching
// the unit picker and relabelled with the language.
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/Program.h"
#include "app/Windows.h"
#include "mbus/window/UMeter_Bus.h"
#include "mbus/window/UNewIDNode.h"
#include "platform/ui/controls/TreeView.h"
#include "tables/bacnet/window/EngUnitPicker.h"

#include <QDir>

using namespace app;
using namespace app_test;

TEST(MBusWindows, TheMBusButtonOpensTheNetworkEditorWhichSavesIntoTheProject)
{
    for (int type : {1, 20, 21}) {
        SCOPED_TRACE(type);
        AppEnv env(type);
        QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
        env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
        Program program(env.programDir.path());
        TFVarnetoreFirmWare& m = program.mainWindow();
        auto* editor = static_cast<mbus::TFMeter_Bus*>(m.window(WindowId::FMeter_Bus));
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->objectName(), QStringLiteral("FMeter_Bus"));
        EXPECT_EQ(m.window(WindowId::FNewIDNode), editor->FNewIDNode);
        EXPECT_EQ(editor->size(), QSize(834, 662));

        env.modal.actions["FMeter_Bus"] = [&](platform::Form& f) {
            auto& w = static_cast<mbus::TFMeter_Bus&>(f);
            EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("L_SW_Code"))->text(), workspace::ws().SW_Code);
            w.E_New_Node_Desc->setText(QStringLiteral("Meter"));
            w.E_New_Node_ID_Pri->setText(QStringLiteral("12"));
            w.btn_Add_Node->click();
            // The unit picker of the program start answers the "..." button.
            w.TW->select(w.nodeItem(0));
            w.Btn_EngUnit->click();
            w.Btn_OK->click();
        };
        env.modal.actions["FBACnet_Eng_Unit"] = [](platform::Form& f) {
            auto& p = static_cast<tables::TFBACnet_Eng_Unit&>(f);
            p.E_Selected_EU->setText(QStringLiteral("62"));
            p.Btn_OK->click();
        };
        m.Btn_Click(m.button(QStringLiteral("Btn_MBus")));
        EXPECT_EQ(env.modal.shown, (QStringList{QStringLiteral("FMeter_Bus"), QStringLiteral("FBACnet_Eng_Unit")}));
        EXPECT_TRUE(env.boxes.texts().isEmpty()) << env.boxes.texts().join('|').toStdString();
        const QByteArray saved = env.programDir.read(QStringLiteral("PROJECTS/P1/M_Bus.xml"));
        EXPECT_TRUE(saved.contains("Descrizione=\"Meter\"")) << saved.constData();
        EXPECT_EQ(saved.contains("wMBus_Add"), type == 21);
        EXPECT_EQ(mbus::Get_BACnet_EngUnit_MBus(19, 61), 49);
    }
}

TEST(MBusWindows, AChangeOfLanguageRelabelsTheEditorAndItsDialog)
{
    AppEnv env(21);
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();
    auto* editor = static_cast<mbus::TFMeter_Bus*>(m.window(WindowId::FMeter_Bus));
    workspace::ws().Lang_Texts[286] = QStringLiteral("M-Bus Netz");
    workspace::ws().Lang_Texts[277] = QStringLiteral("Neue Adresse");
    workspace::ws().Lang_Texts[1076] = QStringLiteral("Löschen");
    m.Change_Language();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("M-Bus Netz"));
    EXPECT_EQ(editor->FNewIDNode->windowTitle(), QStringLiteral("Neue Adresse"));
    // Controls built later take the texts of the language then in use.
    editor->ensureControls();
    EXPECT_EQ(editor->PM_CopyPaste->item(QStringLiteral("DeleteItems1"))->text(), QStringLiteral("Löschen"));
    workspace::ws().Lang_Texts[1076] = QStringLiteral("Entfernen");
    m.Change_Language();
    EXPECT_EQ(editor->PM_CopyPaste->item(QStringLiteral("DeleteItems1"))->text(), QStringLiteral("Entfernen"));
}
