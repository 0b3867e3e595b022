// The scan window and its dialogs as the program makes them at start: the main window's scan
// command opens the scan window with the fields of the device type, the window finds the
// dialogs made after it, and a change of language relabels all four.
#include <QCheckBox>
#include <QLabel>
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/Program.h"
#include "app/Windows.h"
#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/scan/window/ScanDialogs.h"
#include "mbus/scan/window/UScanDecode.h"
#include "platform/ui/controls/Controls.h"

using namespace app;
using namespace app_test;

namespace {

TEST(ScanWindows, TheScanCommandOpensTheScanWindowWithTheFieldsOfTheModel)
{
    AppEnv env(21);
    env.programDir.write("PROJECTS/P1/ParGen.xml",
                         "<Par_Gen><IP_1>10</IP_1><IP_2>1</IP_2><IP_3>2</IP_3><IP_4>3</IP_4></Par_Gen>");
    env.programDir.write("Varnetor.xml", settingsXml(QStringLiteral("P1"), QStringLiteral("0"), QStringLiteral("0")).toUtf8());
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();
    auto* scan = qobject_cast<mbus::scan::TFScanDecode*>(m.window(WindowId::FScanDecode));
    ASSERT_NE(scan, nullptr);
    ASSERT_NE(m.window(WindowId::FInsertKeyWireless), nullptr);
    ASSERT_NE(m.window(WindowId::FScanModbusStart), nullptr);
    ASSERT_NE(m.window(WindowId::FModbusStartAdd_SD), nullptr);
    bool shown = false;
    env.modal.actions[QStringLiteral("FScanDecode")] = [&](platform::Form& f) {
        shown = true;
        auto& w = static_cast<mbus::scan::TFScanDecode&>(f);
        EXPECT_EQ(w.XML_Code_Dev, 12u);
        EXPECT_EQ(w.Form_Type, 1u);
        EXPECT_EQ(w.FileName_MBus, workspace::ws().Path_M_Bus);
        EXPECT_FALSE(w.FileName_MBus.isEmpty());
        EXPECT_EQ((QStringList{w.E_IP1->text(), w.E_IP2->text(), w.E_IP3->text(), w.E_IP4->text()}),
                  (QStringList{"10", "1", "2", "3"}));
        EXPECT_TRUE(w.CB_ScanMethod->isVisibleTo(&w));
        EXPECT_EQ(w.size(), QSize(640, 571));
        f.setModalResult(platform::mrCancel);
    };
    m.Btn_Click(m.button(QStringLiteral("Btn_ScanDecode")));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(env.boxes.shown().empty()); // no network yet: no warning
}

TEST(ScanWindows, AChangeOfLanguageRelabelsTheScanWindowAndItsDialogs)
{
    AppEnv env(1);
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();
    auto* scan = static_cast<mbus::scan::TFScanDecode*>(m.window(WindowId::FScanDecode));
    auto* key = static_cast<mbus::scan::TFInsertKeyWireless*>(m.window(WindowId::FInsertKeyWireless));
    auto* start = static_cast<mbus::scan::TFScanModbusStart*>(m.window(WindowId::FScanModbusStart));
    auto* perNode = static_cast<mbus::scan::TFModbusStartAdd_SD*>(m.window(WindowId::FModbusStartAdd_SD));
    ASSERT_TRUE(scan && key && start && perNode);
    QStringList& t = workspace::ws().Lang_Texts;
    t[1300] = QStringLiteral("Scansione");
    t[1321] = QStringLiteral("Avvia");
    t[1700] = QStringLiteral("Chiave (HEX)");
    t[1800] = QStringLiteral("Registro iniziale");
    t[2202] = QStringLiteral("Stato del nodo");
    t[2204] = QStringLiteral("Contatore");
    // The scan window and the per-node dialog are made without their controls: a change of
    // language names the window, and the controls take the language's texts when they are built.
    EXPECT_FALSE(scan->controlsBuilt());
    EXPECT_FALSE(perNode->controlsBuilt());
    m.Change_Language();
    EXPECT_EQ(scan->windowTitle(), QStringLiteral("Scansione"));
    scan->ensureControls();
    perNode->ensureControls();
    EXPECT_EQ(scan->Btn_StartScan->caption(), QStringLiteral("Avvia"));
    EXPECT_EQ(key->L_InsKey->text(), QStringLiteral("Chiave (HEX)"));
    EXPECT_EQ(start->windowTitle(), QStringLiteral("Registro iniziale"));
    EXPECT_EQ(perNode->CB_En_NodeState->text(), QStringLiteral("Stato del nodo"));
    EXPECT_EQ(perNode->sga->Columns().Items(0)->Header(), QStringLiteral("Contatore"));
    // Built, they follow the next change at once.
    t[1321] = QStringLiteral("Inizia");
    t[2202] = QStringLiteral("Stato");
    m.Change_Language();
    EXPECT_EQ(scan->Btn_StartScan->caption(), QStringLiteral("Inizia"));
    EXPECT_EQ(perNode->CB_En_NodeState->text(), QStringLiteral("Stato"));
}

} // namespace
