#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include "platform/ui/Timer.h"
#include <gtest/gtest.h>
#include <set>

#include "app/Program.h"
#include "app/Windows.h"
#include "platform/fs/Files.h"
#include "support/QtPrinters.h"
#include "app/AppFixture.h"
#include "workspace/DeviceTypes.h"
#include "workspace/LangTexts.h"
#include "workspace/Settings.h"

using namespace app;
using namespace app_test;

namespace {

// The buttons of the main window that a person can see (the window itself not shown).
std::set<QString> visibleButtons(const TFVarnetoreFirmWare& w)
{
    std::set<QString> names;
    for (const AppButton* b : w.findChildren<AppButton*>())
        if (b->isVisibleTo(&w))
            names.insert(b->objectName());
    return names;
}

int visibleSteps(const TFVarnetoreFirmWare& w)
{
    int n = 0;
    for (int i = 1; i <= 9; ++i)
        if (w.findChild<QLabel*>(QStringLiteral("L_Step_%1").arg(i))->isVisibleTo(&w))
            ++n;
    return n;
}

} // namespace

TEST(MainWindowStart, FirstStartInAnEmptyFolderCreatesTheFoldersAndOpensNoProject)
{
    for (int type : {3, 1001}) {
        AppEnv env(type);
        TFVarnetoreFirmWare w(env.programDir.path());
        const bool templates = type == 1001;
        EXPECT_TRUE(platform::folderExists(env.programDir.file("MASTER"))) << type;
        EXPECT_TRUE(platform::folderExists(env.programDir.file("PROJECTS"))) << type;
        EXPECT_TRUE(platform::folderExists(env.programDir.file("LANGUAGE"))) << type;
        EXPECT_EQ(platform::folderExists(env.programDir.file("TEMPLATE")), templates) << type;
        EXPECT_EQ(labelText(w, "L_Name_Conf"), QStringLiteral("None Configuration Opened "));
        EXPECT_EQ(labelText(w, "L_Name_Conf_L2"), QStringLiteral("Use Step1 to open or create new configuration"));
        EXPECT_TRUE(workspace::ws().Project_Dir.isEmpty());
        EXPECT_FALSE(w.findChild<platform::Timer*>(QStringLiteral("Timer_Update"))->enabled());
        EXPECT_TRUE(env.boxes.shown().empty()) << "start-up shows no message";
        EXPECT_EQ(workspace::ws().Lang_Texts.size(), workspace::kLangTextCount);
    }
}

TEST(MainWindowStart, IdentityOfDeviceType3)
{
    AppEnv env(3);
    TFVarnetoreFirmWare w(env.programDir.path());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m "));
    EXPECT_EQ(labelText(w, "L_SW_Code"), QStringLiteral("GS30115"));
    EXPECT_EQ(labelText(w, "L_SW_Desc"), QStringLiteral("BACnet / Modbus TCP Master - Converter"));
    EXPECT_EQ(w.size(), QSize(694, 440));
    EXPECT_EQ(visibleSteps(w), 5);
    EXPECT_EQ(visibleButtons(w),
              (std::set<QString>{"Btn_Info", "Btn_Opz", "Btn_Close", "Btn_New", "Btn_Open", "Btn_Prm_Gen",
                                 "Btn_ModTCPM_SetAccess", "Btn_ModTCPM_BACnet_SetAccess", "Btn_BACnet_EDE_File",
                                 "Btn_CreateBin"}));
    EXPECT_EQ(w.button("Btn_Info")->geometry(), QRect(516, 8, 50, 50));
    EXPECT_EQ(w.button("Btn_Close")->geometry(), QRect(632, 8, 50, 50));
    EXPECT_EQ(w.button("Btn_Open")->geometry(), QRect(258, 112, 170, 36));
    EXPECT_EQ(w.button("Btn_ModTCPM_BACnet_SetAccess")->pos(), QPoint(258, 200));
    EXPECT_EQ(w.button("Btn_CreateBin")->pos(), QPoint(80, 288));
    EXPECT_EQ(w.findChild<QLabel*>("L_Ostrel")->pos(), QPoint(565, 304));
    EXPECT_EQ(w.findChild<QLabel*>("L_Name_Conf_L2")->pos(), QPoint(87, 88));
}

TEST(MainWindowStart, EveryDeviceTypeShowsItsStepsAndButtonsWithUpdateDeviceLast)
{
    for (int type : workspace::deviceTypes()) {
        AppEnv env(type);
        TFVarnetoreFirmWare w(env.programDir.path());
        const workspace::StepLayout l = workspace::layoutFor(type);
        EXPECT_EQ(visibleSteps(w), l.stepCount) << type;
        std::set<QString> expected{"Btn_Info", "Btn_Opz", "Btn_Close", "Btn_New", "Btn_Open", "Btn_Prm_Gen",
                                   "Btn_CreateBin"};
        for (const workspace::StepButton& b : l.buttons) {
            expected.insert(b.name);
            EXPECT_EQ(w.button(b.name)->pos(), QPoint(b.left, b.top)) << type << " " << b.name.toStdString();
        }
        if (l.showScanButton)
            expected.insert(QStringLiteral("Btn_ScanDecode"));
        EXPECT_EQ(visibleButtons(w), expected) << type;
        const int y = w.button("Btn_CreateBin")->y();
        EXPECT_EQ(y, workspace::stepLabelTop(l.stepCount) - 16) << "Update Device is on the last step, " << type;
        EXPECT_EQ(w.size(), QSize(694, y + 152)) << type;
        EXPECT_EQ(w.findChild<QFrame*>("Shape1")->geometry(), QRect(10, y + 51, 674, 1)) << type;
    }
}

// The buttons in the order the Tab key reaches them, from the information button on, once
// around the window.
QStringList tabWalk(TFVarnetoreFirmWare& w)
{
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    w.button("Btn_Info")->setFocus();
    QStringList walk;
    for (int i = 0; i < 30; ++i) {
        QWidget* f = QApplication::focusWidget();
        if (!f || (i > 0 && f == w.button("Btn_Info")))
            break;
        walk << f->objectName();
        QTest::keyClick(f, Qt::Key_Tab);
    }
    return walk;
}

TEST(MainWindowStart, TabReachesTheButtonsInTheOrderOfTheSteps)
{
    const struct {
        int type;
        QStringList order;
    } cases[] = {
        {3, {"Btn_Info", "Btn_Opz", "Btn_Close", "Btn_New", "Btn_Open", "Btn_Prm_Gen", "Btn_ModTCPM_SetAccess",
             "Btn_ModTCPM_BACnet_SetAccess", "Btn_BACnet_EDE_File", "Btn_CreateBin"}},
        {21, {"Btn_Info", "Btn_Opz", "Btn_Close", "Btn_ScanDecode", "Btn_New", "Btn_Open", "Btn_Prm_Gen", "Btn_MBus",
              "Btn_BACnet_EDE_File", "Btn_CreateBin"}},
        {8, {"Btn_Info", "Btn_Opz", "Btn_Close", "Btn_New", "Btn_Open", "Btn_Prm_Gen", "Btn_SDO_Server_CANopen",
             "Btn_SDO_Client_CANopen", "Btn_PDO_CANopen", "Btn_CAN_BACnet_SetAccess", "Btn_BACnet_BDT_Access",
             "Btn_BACnet_Objects_Map", "Btn_CANopen_EDS", "Btn_CreateBin"}},
        {1003, {"Btn_Info", "Btn_Opz", "Btn_Close", "Btn_New", "Btn_Open", "Btn_Prm_Gen", "Btn_MBus",
                "Btn_PROFINET_Map", "Btn_CreateBin"}},
    };
    for (const auto& c : cases) {
        AppEnv env(c.type);
        TFVarnetoreFirmWare w(env.programDir.path());
        EXPECT_EQ(tabWalk(w), c.order) << c.type;
    }
}

// Shown centred on the screen; a window taller than the screen's available area (a model's
// layout on a small screen) starts at the area's top, so its title bar stays on the screen.
TEST(MainWindowStart, ShownCentredAndInsideTheScreen)
{
    const auto expectInside = [](const TFVarnetoreFirmWare& w, const std::string& what) {
        const QRect area = w.screen()->availableGeometry();
        const QRect frame = w.frameGeometry();
        if (frame.height() > area.height()) {
            EXPECT_EQ(frame.top(), area.top()) << what;
        } else {
            EXPECT_TRUE(area.contains(frame)) << what;
            // Centred up to the title bar and the frame's edges.
            const int margins = frame.height() - w.height();
            EXPECT_LE(std::abs(frame.center().y() - area.center().y()), margins) << what;
            EXPECT_LE(std::abs(frame.center().x() - area.center().x()), margins) << what;
        }
        EXPECT_GE(frame.left(), area.left()) << what;
        EXPECT_LE(frame.right(), area.right()) << what;
    };
    for (int type : workspace::deviceTypes()) {
        AppEnv env(type);
        TFVarnetoreFirmWare w(env.programDir.path());
        w.show();
        expectInside(w, "device type " + std::to_string(type));
        w.hide();
    }
    AppEnv env(8);
    TFVarnetoreFirmWare w(env.programDir.path());
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    w.setFixedSize(w.width(), area.height() + 60);
    w.show();
    EXPECT_EQ(w.frameGeometry().top(), area.top());
    expectInside(w, "taller than the screen");
    w.hide();
}

TEST(MainWindowStart, CANopenHasNineStepsAndThePartnerModelItsLogo)
{
    {
        AppEnv env(8);
        TFVarnetoreFirmWare w(env.programDir.path());
        EXPECT_EQ(visibleSteps(w), 9);
        EXPECT_EQ(w.button("Btn_CreateBin")->pos(), QPoint(80, 464));
        EXPECT_EQ(w.size(), QSize(694, 616));
        EXPECT_EQ(w.findChild<QLabel*>("L_Ostrel")->pos(), QPoint(565, 480));
        EXPECT_FALSE(w.findChild<QLabel*>("I_Quendal")->isVisibleTo(&w));
        EXPECT_TRUE(w.findChild<QLabel*>("I_Quendal")->pixmap().isNull()) << "a logo never shown is not drawn";
    }
    {
        AppEnv env(2016);
        TFVarnetoreFirmWare w(env.programDir.path());
        EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Quendal - Varnetor GX30134")));
        EXPECT_FALSE(w.findChild<QLabel*>("L_Ostrel")->isVisibleTo(&w));
        const QLabel* logo = w.findChild<QLabel*>("I_Quendal");
        EXPECT_TRUE(logo->isVisibleTo(&w));
        EXPECT_EQ(logo->pos(), QPoint(444, 310));
        EXPECT_EQ(logo->pixmap().size(), QSize(120, 48));
    }
    for (int type : {1, 21, 20}) {
        AppEnv env(type);
        TFVarnetoreFirmWare w(env.programDir.path());
        EXPECT_EQ(w.button("Btn_ScanDecode")->isVisibleTo(&w), type != 20) << type;
        if (type != 20) {
            EXPECT_EQ(w.button("Btn_ScanDecode")->pos(), QPoint(516, 70)) << type;
        }
    }
}

TEST(MainWindowStart, ButtonTextsComeFromTheTextTable)
{
    for (int type : {1003, 1002}) {
        AppEnv env(type);
        TFVarnetoreFirmWare w(env.programDir.path());
        EXPECT_EQ(w.button("Btn_PROFINET_Map")->caption(),
                  type == 1003 ? QStringLiteral("Modbus Map") : QStringLiteral("PROFINET Map"));
        EXPECT_EQ(labelText(w, "L_Begin"), QStringLiteral("Begin"));
        EXPECT_EQ(labelText(w, "L_Step_9"), QStringLiteral("Step 9"));
        EXPECT_EQ(w.button("Btn_New")->caption(), QStringLiteral("New Configuration"));
        EXPECT_EQ(w.button("Btn_CreateBin")->caption(), QStringLiteral("Update Device"));
        EXPECT_EQ(w.button("Btn_Close")->hint(), QStringLiteral("Close Configurator"));
        EXPECT_EQ(w.button("Btn_CANopen_EDS")->caption(), QStringLiteral("EDS File"));
        EXPECT_EQ(w.button("Btn_ScanDecode")->caption(), QStringLiteral("Scan && Decode"));
    }
}

TEST(MainWindowStart, TheChosenLanguageIsLoadedAndAChangeOfLanguageRelabelsEveryWindow)
{
    AppEnv env(3);
    env.programDir.write("Varnetor.xml", settingsXml("", "0", "0").replace("English", "Deutsch").toUtf8());
    env.programDir.write("LANGUAGE/Deutsch.lng", "STR015 =Neue Konfiguration\r\nSTR0 =Anfang\r\n");
    TFVarnetoreFirmWare w(env.programDir.path());
    EXPECT_EQ(w.button("Btn_New")->caption(), QStringLiteral("Neue Konfiguration"));
    EXPECT_EQ(labelText(w, "L_Begin"), QStringLiteral("Anfang"));

    ProbeForm options(QStringLiteral("FSoftOptions")), parGen(QStringLiteral("FParGen"));
    w.registerWindow(WindowId::FSoftOptions, &options);
    w.registerWindow(WindowId::FParGen, &parGen);
    workspace::ws().Language_Name = QStringLiteral("English");
    workspace::Load_Language();
    w.Change_Language();
    EXPECT_EQ(w.button("Btn_New")->caption(), QStringLiteral("New Configuration"));
    EXPECT_EQ(options.langCalls, 1);
    EXPECT_EQ(parGen.langCalls, 1);
}

TEST(MainWindowStart, TheUpdateTimerRunsOnlyWithBothInternetOptions)
{
    struct Case {
        const char* internet;
        const char* update;
        bool running;
    } cases[] = {{"1", "1", true}, {"1", "0", false}, {"0", "1", false}, {"1", " 1", false}};
    for (const Case& c : cases) {
        AppEnv env(3);
        env.programDir.write("Varnetor.xml", settingsXml("", c.internet, c.update).toUtf8());
        TFVarnetoreFirmWare w(env.programDir.path());
        const platform::Timer* t = w.findChild<platform::Timer*>(QStringLiteral("Timer_Update"));
        EXPECT_EQ(t->enabled(), c.running) << c.internet << "/" << c.update;
        EXPECT_EQ(t->interval(), 60000);
    }
}

TEST(MainWindowStart, TheLastProjectIsReopenedWhenItsFolderExists)
{
    AppEnv env(3);
    env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
    QDir().mkpath(env.programDir.file("PROJECTS/P1"));
    TFVarnetoreFirmWare w(env.programDir.path());
    EXPECT_EQ(labelText(w, "L_Name_Conf"), QStringLiteral("Opened Configuration of the Converter : "));
    EXPECT_EQ(labelText(w, "L_Name_Conf_L2"), QStringLiteral("P1"));
    EXPECT_EQ(workspace::ws().Project_Dir, env.programDir.file("PROJECTS/P1"));
    EXPECT_EQ(workspace::ws().Path_ParGen, env.programDir.file("PROJECTS/P1/ParGen.xml"));
}

TEST(MainWindowStart, TheProjectNameIsShownAsItIsEvenWhenItLooksLikeMarkup)
{
    AppEnv env(3);
    const QString name = QStringLiteral("<b>Plant <i>7");
    env.programDir.write("Varnetor.xml", settingsXml(name.toHtmlEscaped(), "0", "0").toUtf8());
    QDir().mkpath(env.programDir.file("PROJECTS/" + name));
    TFVarnetoreFirmWare w(env.programDir.path());
    ASSERT_EQ(workspace::ws().Project_Dir, env.programDir.file("PROJECTS/" + name));
    // Read as markup, the label would show "Plant 7" in bold and be narrower than the name.
    const QLabel* line = w.findChild<QLabel*>("L_Name_Conf_L2");
    EXPECT_EQ(line->text(), name);
    EXPECT_GE(line->width(), QFontMetrics(line->font()).horizontalAdvance(name));
}

TEST(MainWindowStart, AProjectWhoseFolderIsGoneIsNotOpenedButItsNameIsWrittenBack)
{
    AppEnv env(3);
    env.programDir.write("Varnetor.xml", settingsXml("Gone", "0", "0").toUtf8());
    TFVarnetoreFirmWare w(env.programDir.path());
    EXPECT_TRUE(workspace::ws().Project_Dir.isEmpty());
    EXPECT_EQ(labelText(w, "L_Name_Conf"), QStringLiteral("None Configuration Opened "));
    w.Btn_Click(w.button("Btn_Prm_Gen"));
    EXPECT_EQ(env.boxes.texts(), QStringList{"Error! Project not Valid"});
    w.close();
    EXPECT_TRUE(env.programDir.read("Varnetor.xml").contains("<projectname>Gone</projectname>"));
}

TEST(MainWindowStart, ALastProjectNameThatLeadsOutOfTheProjectsFolderIsNotOpened)
{
    for (const char* name : {"..", ".", "../outside", "sub/P1"}) {
        SCOPED_TRACE(name);
        AppEnv env(3);
        QDir().mkpath(env.programDir.file("outside"));
        QDir().mkpath(env.programDir.file("PROJECTS/sub/P1"));
        env.programDir.write("Varnetor.xml", settingsXml(name, "0", "0").toUtf8());
        TFVarnetoreFirmWare w(env.programDir.path());
        EXPECT_TRUE(workspace::ws().Project_Dir.isEmpty());
        EXPECT_TRUE(workspace::ws().Path_ParGen.isEmpty());
    }
}

TEST(MainWindowStart, TheProgramCreatesItsWindowsAndRegistersThem)
{
    testing_support::TempDir dir;
    workspace::ScopedWorkspace scoped(3);
    Program program(dir.path());
    TFVarnetoreFirmWare& w = program.mainWindow();
    EXPECT_EQ(w.window(WindowId::FNew_Project)->objectName(), QStringLiteral("FNew_Project"));
    EXPECT_EQ(w.window(WindowId::FOpenConf)->objectName(), QStringLiteral("FOpenConf"));
    EXPECT_EQ(w.window(WindowId::FAbout)->objectName(), QStringLiteral("FAbout"));
    for (WindowId id : {WindowId::FBootTCP, WindowId::FParGen, WindowId::FBootSer})
        EXPECT_NE(w.window(id), nullptr) << static_cast<int>(id);
    // Later windows see the software code that the main window's creation set.
    EXPECT_EQ(labelText(*w.window(WindowId::FNew_Project), "L_SW_Code"), QStringLiteral("GS30115"));
}

TEST(MainWindowStart, UpdateDeviceRunsTheImageBuilderAndTheEthernetWizardOfTheProgram)
{
    AppEnv env(3);
    QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
    env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& w = program.mainWindow();
    env.modal.defaultResult = platform::mrCancel;
    w.Btn_Click(w.button("Btn_CreateBin"));
    EXPECT_TRUE(env.boxes.shown().empty()) << env.boxes.texts().join("|").toStdString();
    EXPECT_TRUE(env.programDir.exists("PROJECTS/P1/bin/bank1.bin"));
    EXPECT_EQ(env.modal.shown, QStringList{"FBootTCP"});

    // A project file that is not well-formed ends the road before the wizard.
    env.programDir.write("PROJECTS/P1/ModbusTCPM_SetAccess.xml", "<ModbusTCPM_SetAccess><Row>");
    env.modal.shown.clear();
    w.Btn_Click(w.button("Btn_CreateBin"));
    EXPECT_EQ(env.boxes.shown().size(), 1u);
    EXPECT_TRUE(env.modal.shown.isEmpty());

    // A read-only bank file: the error names it, the old image stays, no wizard opens.
    QFile::remove(env.programDir.file("PROJECTS/P1/ModbusTCPM_SetAccess.xml"));
    const QString bank = env.programDir.file("PROJECTS/P1/bin/bank1.bin");
    env.programDir.write("PROJECTS/P1/bin/bank1.bin", "old image");
    QFile::setPermissions(bank, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    env.boxes.clear();
    w.Btn_Click(w.button("Btn_CreateBin"));
    ASSERT_EQ(env.boxes.shown().size(), 1u);
    EXPECT_TRUE(env.boxes.shown()[0].text.contains(QStringLiteral("bank1.bin")));
    EXPECT_EQ(env.programDir.read("PROJECTS/P1/bin/bank1.bin"), QByteArray("old image"));
    EXPECT_TRUE(env.modal.shown.isEmpty());

    // No bin folder at all: the same, and nothing is created in its place.
    QFile::setPermissions(bank, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QDir(env.programDir.file("PROJECTS/P1/bin")).removeRecursively();
    env.boxes.clear();
    w.Btn_Click(w.button("Btn_CreateBin"));
    ASSERT_EQ(env.boxes.shown().size(), 1u);
    EXPECT_FALSE(env.programDir.exists("PROJECTS/P1/bin/bank1.bin"));
    EXPECT_TRUE(env.modal.shown.isEmpty());
}

TEST(MainWindowStart, UpdateDeviceBuildsTheFieldbusKnxDmxAndSnmpImagesBeforeTheEthernetWizard)
{
    const struct {
        int type;
        int size;
    } cases[] = {{6, 102400},  {7, 102520},  {8, 127096}, {9, 102520}, {11, 102400}, {12, 102400},
                 {16, 79872}, {2016, 79872}, {17, 94208}, {18, 70144}, {19, 133120}};
    for (const auto& c : cases) {
        AppEnv env(c.type);
        QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
        env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
        Program program(env.programDir.path());
        TFVarnetoreFirmWare& w = program.mainWindow();
        env.modal.defaultResult = platform::mrCancel;
        w.Btn_Click(w.button("Btn_CreateBin"));
        EXPECT_TRUE(env.boxes.shown().empty()) << c.type << ": " << env.boxes.texts().join("|").toStdString();
        EXPECT_EQ(env.programDir.read("PROJECTS/P1/bin/bank1.bin").size(), c.size) << c.type;
        EXPECT_EQ(env.modal.shown, QStringList{"FBootTCP"}) << c.type;
    }

    // A KNX table with more enabled rows than the image holds: the message names the file and the
    // limit, the image of the last build stays, and no wizard opens.
    AppEnv env(16);
    QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
    env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
    env.programDir.write("PROJECTS/P1/bin/bank1.bin", "last image");
    QByteArray rows;
    for (int i = 0; i < 513; ++i)
        rows += "<row Enable=\"Y\" Source_Address=\"1.1.1\" Destination_Address=\"1/1/1\" APCI=\"Write\" "
                "Priority=\"Normal\" Format=\"None\" Extended=\"N\" ReTest=\"N\" On_Command=\"N\" On_Change=\"Y\" "
                "On_Timer=\"N\" Poll_Time=\"\" Position=\"0\" Bit_Mode=\"No\" Length=\"1\" Mnemonic=\"\"/>";
    env.programDir.write("PROJECTS/P1/KNX_SetAccess.xml",
                         "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>" + rows + "</KNX_in_Write></BACnet_to_KNX>");
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& w = program.mainWindow();
    w.Btn_Click(w.button("Btn_CreateBin"));
    ASSERT_EQ(env.boxes.shown().size(), 1u);
    EXPECT_TRUE(env.boxes.shown()[0].text.contains(QStringLiteral("KNX_SetAccess.xml")));
    EXPECT_TRUE(env.boxes.shown()[0].text.contains(QStringLiteral("512")));
    EXPECT_EQ(env.programDir.read("PROJECTS/P1/bin/bank1.bin"), QByteArray("last image"));
    EXPECT_TRUE(env.modal.shown.isEmpty());
}

// The map button of an M-Bus master model: the save dialog, ".csv" added, question 21 before an
// existing file is replaced, and the map of the project's devices written.
TEST(MainWindowStart, TheProfinetMapButtonWritesTheRegisterMapOfTheProject)
{
    AppEnv env(1002);
    QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
    env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
    env.programDir.write("TEMPLATE/Meter.xml",
                         "<Template><List_Variables>"
                         "<Var><FrameNumber>0</FrameNumber></Var><Var><FrameNumber>0</FrameNumber></Var>"
                         "<Var><FrameNumber>1</FrameNumber><ObjectType>2</ObjectType><Options>3</Options>"
                         "<ON_Split1>T</ON_Split1><Description>Flow</Description></Var>"
                         "</List_Variables><Device_Type><Type>0</Type></Device_Type></Template>");
    env.programDir.write("PROJECTS/P1/M_Bus_Custom_QV.xml",
                         "<Configuration_MBus_BACnet><List_Devices><Device><Template>Meter.xml</Template>"
                         "<ID_Type>0</ID_Type><ID_MBus>5</ID_MBus><Node_State>1</Node_State>"
                         "<Identification_Number>0</Identification_Number><MSB>1</MSB><SST>2</SST>"
                         "<Third_Field>3</Third_Field></Device></List_Devices></Configuration_MBus_BACnet>");
    Program program(env.programDir.path());
    TFVarnetoreFirmWare& w = program.mainWindow();
    const QByteArray map = "Registers; ID Type; ID; Description;ReadWrite;\r\n"
                           "0-3;Primary;5;Node State;Read Only;\r\n"
                           "4-7;Primary;5;T0102003, Flow;Read/Write*;\r\n";

    env.files.choose(env.programDir.file("PROJECTS/P1/map"));
    w.Btn_Click(w.button("Btn_PROFINET_Map"));
    EXPECT_TRUE(env.boxes.shown().empty()) << env.boxes.texts().join("|").toStdString();
    EXPECT_EQ(env.programDir.read("PROJECTS/P1/map.csv"), map);
    ASSERT_EQ(env.files.requests().size(), 1u);
    EXPECT_EQ(env.files.requests()[0].initialFolder, env.programDir.file("PROJECTS/P1"));

    env.programDir.write("PROJECTS/P1/map.csv", "old");
    env.files.choose(env.programDir.file("PROJECTS/P1/map.csv"));
    env.boxes.answer(platform::MsgAnswer::No);
    w.Btn_Click(w.button("Btn_PROFINET_Map"));
    EXPECT_EQ(env.programDir.read("PROJECTS/P1/map.csv"), QByteArray("old"));
    env.files.choose(env.programDir.file("PROJECTS/P1/map.csv"));
    env.boxes.answer(platform::MsgAnswer::Yes);
    w.Btn_Click(w.button("Btn_PROFINET_Map"));
    EXPECT_EQ(env.programDir.read("PROJECTS/P1/map.csv"), map);
    EXPECT_EQ(env.boxes.texts(), QStringList(2, "The File already exists! Do you want to overwrite the file?"));
}
