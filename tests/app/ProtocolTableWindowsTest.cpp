// The SNMP, KNX and DMX table dialogs and the BACnet object table of the other fieldbus models in
// the program: created at start, opened modally by their step buttons on their device types,
// saving into the project, relabelled with the language.
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/Program.h"
#include "app/Windows.h"
#include "controls/grid/column/ColumnGrid.h"
#include "tables/frame/window/TableDialog.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace app;
using namespace app_test;

namespace {

struct Opened {
    int type;
    const char* button;
    const char* window;
    const char* file;
    const char* version;
    int section; // where the row is typed
    QStringList cells;
};

// A project "P1" of the device type, opened at start.
void openProject(AppEnv& env)
{
    QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
    env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
}

} // namespace

TEST(ProtocolTableWindows, EachButtonOpensItsTableWhichSavesIntoTheProject)
{
    const QStringList knx = {"Y", "1.1.1", "1/2/3", "Write", "Normal", "None", "N", "N", "N", "Y", "N", "", "0", "No", "2", "T"};
    const QStringList manager = {"Y", "192.168.2.20", "1", "Kelpie", "1.3.6.1.2.1.1.3.0", "Int", "Get", "N", "N", "N",
                                 "", "0", "4", "None", "", "", "", "", "", "", "Uptime"};
    const QStringList trap = {"Y", "Kelpie", "Int", "Y", "N", "N", "", "0", "0", "8", "level", "192.168.2.10", "None", ""};
    const QStringList dmx = {"200", "Spot"};
    const QStringList object = {"Analog Input", "62", "0", "0", "4", "N", "Temperature"};
    const Opened cases[] = {
        {16, "Btn_KNX_Access", "FKNXAccess", "KNX_SetAccess.xml", "1.009", 0, knx},
        {2016, "Btn_KNX_Access", "FKNXAccess", "KNX_SetAccess.xml", "1.009", 0, knx},
        {19, "Btn_SNMP_Manager_Access", "FSNMPManagerAccess", "SNMP_Manager.xml", "1.201", 0, manager},
        {17, "Btn_SNMP_Trap", "FSNMP_Trap_Access", "SNMP_Trap.xml", "1.302", 0, trap},
        {18, "Btn_DMX_Default", "FDMXDefVal", "DMX_Default_Values.xml", "1.003", 0, dmx},
        {6, "Btn_PROFIBUSs_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "PROFIBUSs_BACnet_SetAccess.xml", "1.203", 0, object},
        {7, "Btn_CAN_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "CAN_BACnet_SetAccess.xml", "1.201", 0, object},
        {8, "Btn_CAN_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "CANopen_BACnet_SetAccess.xml", "1.002", 0, object},
        {9, "Btn_PROFINET_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "PROFINET_BACnet_SetAccess.xml", "1.302", 0, object},
        {10, "Btn_DeviceNetM_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "DeviceNetM_BACnet_SetAccess.xml", "1.000", 0, object},
        {11, "Btn_DeviceNetS_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "DeviceNetS_BACnet_SetAccess.xml", "1.001", 0, object},
        {12, "Btn_EtherNetIP_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "EtherNetIP_BACnet_SetAccess.xml", "1.004", 0, object},
        {13, "Btn_J1939_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "J1939_BACnet_SetAccess.xml", "1.000", 0, object},
        {14, "Btn_NMEA_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "NMEA_BACnet_SetAccess.xml", "1.000", 0, object},
        {15, "Btn_Ethernet_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "Ethernet_BACnet_SetAccess.xml", "1.000", 0, object},
        {16, "Btn_KNX_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "KNX_BACnet_SetAccess.xml", "1.009", 0, object},
        {2016, "Btn_KNX_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "KNX_BACnet_SetAccess.xml", "1.009", 0, object},
        {17, "Btn_PROFINET_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "SNMP_BACnet_SetAccess.xml", "1.302", 0, object},
        // The DMX model without general parameters shows only its write page.
        {18, "Btn_DMX_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "SNMP_BACnet_SetAccess.xml", "1.003", 1,
         {"Analog Out", "98", "0", "0", "1", "N", "Dimmer"}},
        {19, "Btn_SNMP_Manager_BACnet_SetAccess", "FBACnetSetAccess_ModSlave", "SNMP_BACnet_SetAccess.xml", "1.201", 0, object},
    };
    for (const Opened& o : cases) {
        SCOPED_TRACE(std::string(o.button) + " " + std::to_string(o.type));
        AppEnv env(o.type);
        openProject(env);
        Program program(env.programDir.path());
        TFVarnetoreFirmWare& m = program.mainWindow();
        ASSERT_NE(m.button(QLatin1String(o.button)), nullptr);
        const QByteArray saved = saveFirstRowThroughButton(env, m, o.button, o.window, o.file, o.cells, o.section);
        EXPECT_TRUE(saved.contains(o.cells.last().toUtf8())) << saved.constData();
        EXPECT_TRUE(saved.endsWith(QByteArray("<!--SW_VERSION = ") + o.version + "-->\n")) << saved.constData();
    }
}

TEST(ProtocolTableWindows, CreatedAtStartInTheirPlacesAndRelabelledWithTheLanguage)
{
    AppEnv env(16);
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();
    struct Window {
        WindowId id;
        const char* name;
        int caption;
    };
    for (const Window& w : {Window{WindowId::FKNXAccess, "FKNXAccess", 942}, Window{WindowId::FDMXDefVal, "FDMXDefVal", 1062},
                            Window{WindowId::FSNMPManagerAccess, "FSNMPManagerAccess", 1095},
                            Window{WindowId::FSNMP_Trap_Access, "FSNMP_Trap_Access", 2000}}) {
        SCOPED_TRACE(w.name);
        platform::Form* f = m.window(w.id);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->objectName(), QLatin1String(w.name));
        EXPECT_FALSE(f->controlsBuilt()); // until the first show
        f->ensureControls();
        EXPECT_EQ(labelText(*f, "L_SW_Code"), QStringLiteral("GS30132"));
        workspace::ws().Lang_Texts[w.caption] = QStringLiteral("Titel %1").arg(w.caption);
    }
    workspace::ws().Lang_Texts[2009] = QStringLiteral("SNMP Schreiben");
    m.Change_Language();
    for (const Window& w : {Window{WindowId::FKNXAccess, "", 942}, Window{WindowId::FDMXDefVal, "", 1062},
                            Window{WindowId::FSNMPManagerAccess, "", 1095}, Window{WindowId::FSNMP_Trap_Access, "", 2000}})
        EXPECT_EQ(m.window(w.id)->windowTitle(), QStringLiteral("Titel %1").arg(w.caption));
    auto* trap = static_cast<tables::TTableDialog*>(m.window(WindowId::FSNMP_Trap_Access));
    EXPECT_EQ(trap->PageControl1->tabText(1), QStringLiteral("SNMP Schreiben"));
}

// The keys of a field engineer in every new table window, shown as the program shows it: the
// arrows move to the next cell, a wrong value refused at OK shows one box that Enter closes once, and
// the typing after it goes on in the cell that had the focus; Escape then closes the window
// once, with Cancel. Every window fits a 1280 x 1024 screen.
TEST(ProtocolTableWindows, KeysOfTheNewTableWindows)
{
    struct Window {
        int type;
        WindowId id;
        int section;
        int col;           // an edNormal cell whose bad text the check refuses
        const char* typed; // that text
    } cases[] = {
        {16, WindowId::FKNXAccess, 0, 2, "99.1.1"},
        {18, WindowId::FDMXDefVal, 0, 1, "300"},
        {19, WindowId::FSNMPManagerAccess, 0, 2, "10.0.0"},
        {17, WindowId::FSNMP_Trap_Access, 0, 7, "0"}, // Time of a row on a timer: typed after the ticks
        {16, WindowId::FBACnetSetAccess_ModSlave, 0, 2, "70000"},
    };
    for (const Window& w : cases) {
        SCOPED_TRACE(static_cast<int>(w.id));
        AppEnv env(w.type);
        openProject(env);
        Program program(env.programDir.path());
        auto* d = static_cast<tables::TTableDialog*>(program.mainWindow().window(w.id));
        ASSERT_NE(d, nullptr);
        platform::MessageBoxes* fake = &platform::messageBoxes();
        platform::setMessageBoxes(nullptr); // the real boxes, closed below as a user would
        QStringList boxTexts;
        int result = -1;
        platform::ModalDriver previous = platform::setModalDriver([&](platform::Form& f) {
            f.show();
            QApplication::setActiveWindow(&f);
            QApplication::processEvents();
            EXPECT_LE(f.frameGeometry().width(), 1280);
            EXPECT_LE(f.frameGeometry().height(), 1024);
            tables::TExtColumnGrid* g = d->grid(w.section);
            // Rows that pass but for the one cell typed below.
            if (w.id == WindowId::FKNXAccess)
                for (int c = 1; c <= 16; ++c)
                    g->SetCells(c, 1, QStringList{"Y", "1.1.1", "1/2/3", "Write", "Normal", "None", "N", "N", "N", "Y",
                                                  "N", "", "0", "No", "1", ""}[c - 1]);
            if (w.id == WindowId::FSNMPManagerAccess)
                for (int c = 1; c <= 14; ++c)
                    g->SetCells(c, 1, QStringList{"Y", "", "1", "Kelpie", "1.3.6", "Int", "Get", "N", "N", "N", "",
                                                  "0", "4", "None"}[c - 1]);
            if (w.id == WindowId::FSNMP_Trap_Access)
                for (int c = 1; c <= 14; ++c)
                    g->SetCells(c, 1, QStringList{"Y", "Kelpie", "Int", "N", "N", "Y", "", "0", "0", "8", "a",
                                                  "10.0.0.1", "None", ""}[c - 1]);
            if (w.id == WindowId::FBACnetSetAccess_ModSlave)
                for (int c = 1; c <= 6; ++c)
                    g->SetCells(c, 1, QStringList{"Analog Input", "", "0", "0", "4", "N"}[c - 1]);
            g->MoveToCell(w.col + 1, 1);
            g->setFocus();
            QTest::keyClick(g, Qt::Key_Left);
            EXPECT_EQ(g->col(), w.col);
            EXPECT_EQ(g->row(), 1);
            QTest::keyClicks(QApplication::focusWidget(), QLatin1String(w.typed));
            QTimer::singleShot(0, [&boxTexts] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    boxTexts << box->text();
                    QTest::keyClick(box, Qt::Key_Return);
                }
            });
            QTest::mouseClick(d->Btn_OK, Qt::LeftButton, {}, QPoint(20, 10));
            QApplication::processEvents();
            EXPECT_EQ(f.modalResult(), platform::mrNone);
            // The keys go on into the cell that had the focus: a typed digit opens its editor.
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            EXPECT_TRUE(focus == g || g->isAncestorOf(focus));
            QTest::keyClicks(focus, QStringLiteral("1"));
            EXPECT_EQ(g->col(), w.col);
            ASSERT_NE(g->NormalEdit(), nullptr);
            EXPECT_EQ(g->NormalEdit()->text(), QStringLiteral("1"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // ends the edit
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // closes the window
            result = f.modalResult();
        });
        d->showModal();
        platform::setModalDriver(previous);
        platform::setMessageBoxes(fake);
        d->hide();
        EXPECT_EQ(boxTexts.size(), 1) << boxTexts.join('|').toStdString();
        EXPECT_EQ(result, platform::mrCancel);
        EXPECT_FALSE(d->isVisible());
    }
}
