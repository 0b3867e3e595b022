// The table dialogs of the program start: created with the program, opened modally by their
// step buttons, relabelled with the language.
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/Program.h"
#include "app/Windows.h"
#include "controls/grid/column/ColumnGrid.h"
#include "tables/can/window/CanDialogs.h"
#include "tables/devicenet/window/DeviceNetDialogs.h"
#include "tables/frame/window/TableDialog.h"

#include <QDir>
#include <QLabel>
#include <QTabWidget>

using namespace app;
using namespace app_test;

namespace {

struct Opened {
    int type;
    const char* button;
    const char* window;
    const char* file;
    WindowId id;
};

} // namespace

TEST(TableWindows, TheModbusButtonsOpenTheirTablesWhichSaveIntoTheProject)
{
    for (const Opened& o : {Opened{0, "Btn_ModM_SetAccess", "FSetAccess", "ModbusM_SetAccess.xml", WindowId::FSetAccess},
                            Opened{3, "Btn_ModTCPM_SetAccess", "FSetAccessTCP", "ModbusTCPM_SetAccess.xml",
                                   WindowId::FSetAccessTCP}}) {
        SCOPED_TRACE(o.window);
        AppEnv env(o.type);
        QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
        env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
        Program program(env.programDir.path());
        TFVarnetoreFirmWare& m = program.mainWindow();
        ASSERT_NE(m.window(o.id), nullptr);
        EXPECT_EQ(m.window(o.id)->objectName(), QLatin1String(o.window));
        EXPECT_EQ(m.window(o.id)->size(), QSize(o.type == 0 ? 1165 : 1160, 337));

        env.modal.actions[o.window] = [&](platform::Form& f) {
            auto& d = static_cast<tables::TTableDialog&>(f);
            tables::TExtColumnGrid* g = d.grid(0);
            const QStringList cells = o.type == 0
                ? QStringList{"1", "Holding Register", "0", "2", "1000", "3", "0", "0", "N", "Little", "None", "N", "N", "T"}
                : QStringList{"10.0.0.1", "502", "1", "Holding Register", "0", "2", "1000", "3", "0", "0", "N",
                              "Little", "None", "N", "N", "T"};
            for (int c = 1; c <= cells.size(); ++c)
                g->SetCells(c, 1, cells[c - 1]);
            d.Btn_OK->click();
        };
        m.Btn_Click(m.button(QLatin1String(o.button)));
        EXPECT_EQ(env.modal.shown, QStringList{QLatin1String(o.window)});
        EXPECT_TRUE(env.boxes.texts().isEmpty()) << env.boxes.texts().join('|').toStdString();
        const QByteArray saved = env.programDir.read(QStringLiteral("PROJECTS/P1/") + QLatin1String(o.file));
        EXPECT_EQ(saved.count("<row "), 1) << saved.constData();

        // Reopened, the dialog shows the row again; Cancel leaves the file as it was.
        env.modal.actions[o.window] = [&](platform::Form& f) {
            auto& d = static_cast<tables::TTableDialog&>(f);
            EXPECT_EQ(d.grid(0)->Cells(1, 1), o.type == 0 ? QStringLiteral("1") : QStringLiteral("10.0.0.1"));
            d.Btn_Cancel->click();
        };
        m.Btn_Click(m.button(QLatin1String(o.button)));
        EXPECT_EQ(env.programDir.read(QStringLiteral("PROJECTS/P1/") + QLatin1String(o.file)), saved);
    }
}

TEST(TableWindows, AChangeOfLanguageRelabelsTheTables)
{
    AppEnv env(0);
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();
    auto* d = static_cast<tables::TTableDialog*>(m.window(WindowId::FSetAccess));
    EXPECT_EQ(d->grid(1)->Columns().Items(16)->Header(), QStringLiteral("Mnemonic"));
    workspace::ws().Lang_Texts[383] = QStringLiteral("Zugriff");
    workspace::ws().Lang_Texts[417] = QStringLiteral("Kurzname");
    workspace::ws().Lang_Texts[390] = QStringLiteral("Schreiben");
    m.Change_Language();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Zugriff"));
    EXPECT_EQ(d->grid(1)->Columns().Items(16)->Header(), QStringLiteral("Kurzname"));
    EXPECT_EQ(d->PageControl1->tabText(1), QStringLiteral("Schreiben"));
}

TEST(TableWindows, TheModbusTablesHoldTwoThousandRowsWithTheirColumnsAndPositionLists)
{
    struct Shape {
        WindowId id;
        int readCols, writeCols;
        const char* lastReadHeader;
        const char* firstReadHeader;
    };
    for (const Shape& s : {Shape{WindowId::FSetAccess, 15, 17, "Mnemonic", "Slave ID"},
                           Shape{WindowId::FSetAccessTCP, 17, 18, "Mnemonic", "Slave IP Address"}}) {
        AppEnv env(s.id == WindowId::FSetAccess ? 0 : 3);
        QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
        env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
        Program program(env.programDir.path());
        auto* d = static_cast<tables::TTableDialog*>(program.mainWindow().window(s.id));
        SCOPED_TRACE(d->objectName().toStdString());
        env.modal.actions[d->objectName()] = [&](platform::Form& f) {
            auto& t = static_cast<tables::TTableDialog&>(f);
            for (int g = 0; g < 2; ++g) {
                EXPECT_EQ(t.grid(g)->RowCount(), 2001);
                EXPECT_EQ(t.grid(g)->Cells(0, 2000), QStringLiteral("2000"));
            }
            EXPECT_EQ(t.grid(0)->ColCount(), s.readCols);
            EXPECT_EQ(t.grid(1)->ColCount(), s.writeCols);
            EXPECT_EQ(t.grid(0)->Columns().Items(0)->Header(), QStringLiteral("N"));
            EXPECT_EQ(t.grid(0)->Columns().Items(1)->Header(), QLatin1String(s.firstReadHeader));
            EXPECT_EQ(t.grid(0)->Columns().Items(s.readCols - 1)->Header(), QLatin1String(s.lastReadHeader));
            const int position = s.id == WindowId::FSetAccess ? 7 : 9;
            EXPECT_EQ(t.grid(0)->Columns().Items(position)->Header(), QStringLiteral("Position"));
            EXPECT_EQ(t.grid(0)->Columns().Items(position)->ComboItems().Count(), 1439);
            EXPECT_EQ(t.grid(0)->Columns().Items(position)->ComboItems().Strings(1438), QStringLiteral("1438"));
            EXPECT_EQ(t.Btn_CopyRow, nullptr);
            t.Btn_Cancel->click();
        };
        program.mainWindow().Btn_Click(program.mainWindow().button(
            s.id == WindowId::FSetAccess ? QStringLiteral("Btn_ModM_SetAccess") : QStringLiteral("Btn_ModTCPM_SetAccess")));
        EXPECT_EQ(env.modal.shown.size(), 1);
    }
}

// The tables of the CAN, CANopen, DeviceNet, J1939 and NMEA 2000 models: each button of its model
// opens its window, created at start, whose OK writes its file into the project.
TEST(TableWindows, TheFieldbusTableButtonsOpenTheirWindowsWhichSaveIntoTheProject)
{
    struct Table {
        int type;
        const char* button;
        const char* window;
        WindowId id;
        QSize size;
        const char* file;
    };
    const Table tables[] = {
        {7, "Btn_CAN_Rec_Frame", "FCAN_Rec_Frames", WindowId::FCAN_Rec_Frames, {759, 337}, "CAN_Rec_Frames.xml"},
        {7, "Btn_CAN_Send_Frame", "FCAN_Send_Frame", WindowId::FCAN_Send_Frame, {759, 337}, "CAN_Send_Frames.xml"},
        {7, "Btn_CAN_Rec_Info", "F_Rec_Info", WindowId::F_Rec_Info, {654, 508}, "CAN_Rec_Info.xml"},
        {7, "Btn_CAN_Send_Info", "F_Sen_Info", WindowId::F_Sen_Info, {654, 508}, "CAN_Send_Info.xml"},
        {8, "Btn_SDO_Server_CANopen", "FSet_SDO_Server_Access", WindowId::FSet_SDO_Server_Access, {749, 337},
         "SDO_Server_CANopen.xml"},
        {8, "Btn_SDO_Client_CANopen", "FSet_SDO_Client_Access", WindowId::FSet_SDO_Client_Access, {798, 337},
         "SDO_Client_CANopen.xml"},
        {8, "Btn_PDO_CANopen", "FSet_PDO_Access", WindowId::FSet_PDO_Access, {798, 337}, "PDO_CANopen.xml"},
        {10, "Btn_DNet_Net", "FDNet", WindowId::FDNet, {609, 337}, "DNETM_Net.xml"},
        {10, "Btn_DNet_Offset", "FDefOffset", WindowId::FDefOffset, {482, 610}, "DNETM_DefOff.xml"},
        {13, "Btn_J1939_Rec_Frame", "FReceiveJ1939", WindowId::FReceiveJ1939, {800, 337}, "J1939_Rec_Frames.xml"},
        {13, "Btn_J1939_Send_Frame", "FTransmitJ1939", WindowId::FTransmitJ1939, {800, 337}, "J1939_Send_Frames.xml"},
        {14, "Btn_NMEA_Rec_Frame", "FReceiveNMEA", WindowId::FReceiveNMEA, {810, 337}, "NMEA_Rec_Frames.xml"},
        {14, "Btn_NMEA_Send_Frame", "FTransmitNMEA", WindowId::FTransmitNMEA, {810, 337}, "NMEA_Send_Frames.xml"},
    };
    for (const Table& t : tables) {
        SCOPED_TRACE(t.window);
        AppEnv env(t.type);
        QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
        env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
        Program program(env.programDir.path());
        TFVarnetoreFirmWare& m = program.mainWindow();
        ASSERT_NE(m.window(t.id), nullptr);
        EXPECT_EQ(m.window(t.id)->objectName(), QLatin1String(t.window));
        EXPECT_EQ(m.window(t.id)->size(), t.size);
        // Every window fits a 1280 x 1024 screen.
        EXPECT_LE(t.size.width(), 1280);
        EXPECT_LE(t.size.height(), 1024);

        env.modal.actions[t.window] = [](platform::Form& f) {
            if (auto* d = dynamic_cast<tables::TTableDialog*>(&f))
                d->Btn_OKClick();
            else if (auto* b = dynamic_cast<tables::can::TByteMapDialog*>(&f))
                b->bitbtn1Click();
            else if (auto* o = dynamic_cast<tables::devicenet::TFDefOffset*>(&f))
                o->bitbtn1Click();
        };
        m.Btn_Click(m.button(QLatin1String(t.button)));
        EXPECT_EQ(env.modal.shown, QStringList{QLatin1String(t.window)});
        EXPECT_TRUE(env.boxes.texts().isEmpty()) << env.boxes.texts().join('|').toStdString();
        EXPECT_TRUE(env.programDir.exists(QStringLiteral("PROJECTS/P1/") + QLatin1String(t.file)));
    }
}

TEST(TableWindows, AChangeOfLanguageRelabelsTheFieldbusTables)
{
    AppEnv env(7);
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& m = program.mainWindow();
    workspace::ws().Lang_Texts[536] = QStringLiteral("Empfangene Rahmen");
    workspace::ws().Lang_Texts[589] = QStringLiteral("von BACnet");
    workspace::ws().Lang_Texts[797] = QStringLiteral("Slave waehlen");
    workspace::ws().Lang_Texts[887] = QStringLiteral("Gruppe");
    m.Change_Language();
    EXPECT_EQ(m.window(WindowId::FCAN_Rec_Frames)->windowTitle(), QStringLiteral("Empfangene Rahmen"));
    // The controls not built at the change take the texts when they are.
    for (WindowId id : {WindowId::F_Rec_Info, WindowId::FDefOffset, WindowId::FReceiveNMEA}) {
        platform::Form* f = m.window(id);
        EXPECT_FALSE(f->controlsBuilt());
        f->ensureControls();
    }
    EXPECT_EQ(static_cast<tables::can::TByteMapDialog*>(m.window(WindowId::F_Rec_Info))->L_OfBACnet[7]->text(),
              QStringLiteral("von BACnet"));
    EXPECT_EQ(static_cast<tables::devicenet::TFDefOffset*>(m.window(WindowId::FDefOffset))->Label1->text(),
              QStringLiteral("Slave waehlen"));
    EXPECT_EQ(static_cast<tables::TTableDialog*>(m.window(WindowId::FReceiveNMEA))->grid(0)->Columns().Items(1)->Header(),
              QStringLiteral("Gruppe"));
}
