// The main window's export buttons in the program as it is built: each asks what the user must
// answer and writes its file through the companion-file writers; Cancel and No leave no file.
#include <QDir>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/Commands.h"
#include "app/Program.h"
#include "exports/window/UProfinetFileName.h"
#include "support/QtPrinters.h"

using namespace app;
using namespace app_test;

namespace {

struct ProgramWithProject {
    explicit ProgramWithProject(int type) : env(type)
    {
        QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
        env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
    }
    void start() { program = std::make_unique<Program>(env.programDir.path()); }
    TFVarnetoreFirmWare& w() { return program->mainWindow(); }
    void click(const char* button) { w().Btn_Click(w().button(QLatin1String(button))); }
    QString path(const QString& name) const { return env.programDir.file(QStringLiteral("PROJECTS/P1/") + name); }
    QByteArray read(const QString& name) const { return env.programDir.read(QStringLiteral("PROJECTS/P1/") + name); }
    bool exists(const QString& name) const { return env.programDir.exists(QStringLiteral("PROJECTS/P1/") + name); }
    void put(const QString& name, const QByteArray& bytes) { env.programDir.write(QStringLiteral("PROJECTS/P1/") + name, bytes); }
    void expectNoErrorBox()
    {
        for (const testing_support::ShownBox& b : env.boxes.shown())
            EXPECT_NE(b.kind, platform::MsgKind::Error) << b.text.toStdString();
    }

    AppEnv env;
    std::unique_ptr<Program> program;
};

const QByteArray kObjectTable = "<T><BACnet_in_Read><row Data_Type=\"ANALOG VALUE\" Eng_Unit=\"62\" Mnemonic=\"Temp\"/>"
                                "</BACnet_in_Read><BACnet_in_Write/></T>";
const QByteArray kMBusNetwork = "<M-Bus_Network><Nodo Enable_Node=\"1\" Node_ID_Type=\"0\" ID_Primary=\"5\" "
                                "Descrizione=\"Heat\"><Variabile Enable=\"1\" Type=\"0\" Dim=\"2\" "
                                "BACnet_EngUnits=\"19\" Desc=\"Energy\"/></Nodo></M-Bus_Network>";

} // namespace

TEST(ExportCommands, CsvButtonsWriteTheirFiles)
{
    struct Case {
        int type;
        const char* button;
        const char* table;
        const char* firstObject;
        QByteArray content = kObjectTable;
    } cases[] = {
        {4, "Btn_BACnet_Objects_Map", "ModbusTCPS_BACnet_SetAccess.xml", "Temp; 0; ANALOG VALUE; degrees-Celsius;Read;"},
        {13, "Btn_BACnet_Objects_Map", "J1939_BACnet_SetAccess.xml", "Temp; 0; ANALOG VALUE; degrees-Celsius;Read;"},
        {3, "Btn_BACnet_EDE_File", "ModbusTCPM_BACnet_SetAccess.xml", "_Temp_0;;Temp;2;0;Temp;62;"},
        // The M-Bus models list the meters of their network.
        {20, "Btn_BACnet_Objects_Map", "M_Bus.xml", "Primary ID Node - 5; Energy; 0; Analog Input Object; kilowatt-hours; Read;",
         kMBusNetwork},
        {1, "Btn_BACnet_EDE_File", "M_Bus.xml", "_P-5_Energy_0;;Energy;0;0;Energy;19;", kMBusNetwork},
        {21, "Btn_BACnet_EDE_File", "M_Bus.xml", "_P-5_Energy_0;;Energy;0;0;Energy;19;", kMBusNetwork},
    };
    for (const Case& c : cases) {
        ProgramWithProject p(c.type);
        p.put(QLatin1String(c.table), c.content);
        p.start();
        p.click(c.button); // cancelled
        EXPECT_TRUE(QDir(p.path({})).entryList(QDir::Files).contains(QLatin1String(c.table)));
        EXPECT_EQ(QDir(p.path({})).entryList(QDir::Files).size(), 1) << c.button;

        p.env.files.choose(p.path("objects"));
        p.click(c.button);
        const QStringList lines = QString::fromLatin1(p.read("objects.csv")).split("\r\n");
        EXPECT_TRUE(lines.contains(QLatin1String(c.firstObject))) << c.type << " " << lines.join("|").toStdString();
        p.expectNoErrorBox();

        // An existing file: No and Cancel keep it.
        p.put("objects.csv", "previous");
        for (platform::MsgAnswer a : {platform::MsgAnswer::No, platform::MsgAnswer::Cancel}) {
            p.env.files.choose(p.path("objects.csv"));
            p.env.boxes.answer(a);
            p.click(c.button);
            EXPECT_EQ(p.read("objects.csv"), QByteArray("previous"));
        }
        p.expectNoErrorBox();
    }
}

TEST(ExportCommands, AFailedExportSaysWhyAndKeepsThePreviousFile)
{
    ProgramWithProject p(3);
    p.put("ModbusTCPM_BACnet_SetAccess.xml", "<T><BACnet_in_Read><row");
    p.put("ede.csv", "previous");
    p.start();
    p.env.files.choose(p.path("ede.csv"));
    p.env.boxes.answer(platform::MsgAnswer::Yes);
    p.click("Btn_BACnet_EDE_File");
    ASSERT_EQ(p.env.boxes.shown().size(), 2u);
    EXPECT_EQ(p.env.boxes.shown()[1].kind, platform::MsgKind::Error);
    EXPECT_TRUE(p.env.boxes.shown()[1].text.contains("ModbusTCPM_BACnet_SetAccess.xml"));
    EXPECT_EQ(p.read("ede.csv"), QByteArray("previous"));

    // A folder that is not there: the error names the file.
    p.env.boxes.clear();
    QFile::remove(p.path("ModbusTCPM_BACnet_SetAccess.xml"));
    p.env.files.choose(p.path("gone/ede"));
    p.click("Btn_BACnet_EDE_File");
    ASSERT_EQ(p.env.boxes.shown().size(), 1u);
    EXPECT_TRUE(p.env.boxes.shown()[0].text.contains(p.path("gone/ede.csv")));
}

TEST(ExportCommands, GsdButton)
{
    ProgramWithProject p(6);
    p.start();
    p.click("Btn_PROFIBUS_GSD");
    EXPECT_EQ(p.env.boxes.texts(),
              QStringList{"Error! Please set the Set Communication Parameter before to create the GSD file"});
    p.env.boxes.clear();
    p.put("ParGen.xml", "<Par_Gen><PROFIBUS_SLAVE_NB_IN>10</PROFIBUS_SLAVE_NB_IN></Par_Gen>");
    p.click("Btn_PROFIBUS_GSD"); // cancelled
    p.env.files.choose(p.path("Gateway"));
    p.click("Btn_PROFIBUS_GSD");
    EXPECT_TRUE(p.read("Gateway.gsd").contains("Module=\"DO  (PORT1)    \" 0x82,0x09,0x00,0x01\r\n"));
    p.env.files.choose(p.path("Gateway.gsd"));
    p.put("Gateway.gsd", "previous");
    p.click("Btn_PROFIBUS_GSD"); // No
    EXPECT_EQ(p.read("Gateway.gsd"), QByteArray("previous"));
    p.expectNoErrorBox();
    EXPECT_EQ(QDir(p.path({})).entryList(QDir::Files), (QStringList{"Gateway.gsd", "ParGen.xml"}));
}

TEST(ExportCommands, EdsButton)
{
    ProgramWithProject p(8);
    p.put("PDO_CANopen.xml", "<P><Receive_PDO><row COB-ID=\"$201\" Dimension=\"2\"/></Receive_PDO></P>");
    p.start();
    p.click("Btn_CANopen_EDS"); // cancelled
    EXPECT_FALSE(p.exists("dev.eds"));
    p.env.files.choose(p.path("dev.eds"));
    p.click("Btn_CANopen_EDS");
    EXPECT_TRUE(p.read("dev.eds").contains("[1400sub1]\r\nParameterName=COB-ID"));
    p.expectNoErrorBox();
}

TEST(ExportCommands, ProfinetXmlButton)
{
    ProgramWithProject p(9);
    p.put("ParGen.xml", "<Par_Gen><PROFINET_NAME_STA>st1</PROFINET_NAME_STA></Par_Gen>");
    p.start();
    const QString prefix = QStringLiteral("GSDML-V2.31-Ostrel-GX30120");
    const QString suffix = QStringLiteral("-20240115.xml"); // the date of program start
    p.env.modal.actions["FProfinetFileName"] = [](platform::Form& f) { f.setModalResult(platform::mrCancel); };
    p.click("Btn_PROFINET_XML");
    EXPECT_EQ(p.env.modal.shown, QStringList{"FProfinetFileName"});
    EXPECT_TRUE(p.env.files.requests().empty()) << "Cancel in the window asks nothing more";

    p.env.modal.actions["FProfinetFileName"] = [](platform::Form& f) {
        auto& w = dynamic_cast<exports::TFProfinetFileName&>(f);
        w.E_XML_User->setText(QStringLiteral("Plant1"));
        w.Btn_OKClick();
    };
    p.click("Btn_PROFINET_XML"); // the save dialog cancelled
    ASSERT_EQ(p.env.files.requests().size(), 1u);
    EXPECT_EQ(p.env.files.requests()[0].fileName, prefix + "_Plant1" + suffix);
    p.env.files.choose(p.path("typed over.xml"));
    p.click("Btn_PROFINET_XML");
    const QByteArray gsdml = p.read(prefix + "_Plant1" + suffix);
    EXPECT_TRUE(gsdml.startsWith("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"));
    EXPECT_TRUE(gsdml.contains("ImplementationType=\"st1\""));
    EXPECT_FALSE(p.exists("typed over.xml"));

    p.env.files.choose(p.path("x.xml"));
    p.click("Btn_PROFINET_XML"); // No
    EXPECT_EQ(p.env.boxes.texts(), QStringList{"File already exists! Do you want to overwrite the file?"});
    p.expectNoErrorBox();
}

TEST(ExportCommands, MibButton)
{
    ProgramWithProject p(17);
    p.put("SNMP_Trap.xml", "<S><SNMP_Trap_Read><row Enable=\"Y\" Type=\"INT\" Description=\"temp\"/></SNMP_Trap_Read></S>");
    p.start();
    p.click("Btn_SNMP_MIB"); // cancelled
    EXPECT_FALSE(p.exists("g.mib"));
    p.env.files.choose(p.path("g.mib"));
    p.click("Btn_SNMP_MIB");
    EXPECT_TRUE(p.read("g.mib").contains("trapval1 NOTIFICATION-TYPE SYNTAX INTEGER"));
    p.put("g.mib", "previous");
    p.env.files.choose(p.path("g.mib"));
    p.click("Btn_SNMP_MIB"); // No
    EXPECT_EQ(p.read("g.mib"), QByteArray("previous"));
    EXPECT_EQ(p.env.boxes.texts(), QStringList{"File already exists. Do you want to overwrite?"});
}

TEST(ExportCommands, NoExportButtonEndsInTheMissingFunctionBox)
{
    for (int type : {3, 4, 6, 8, 9, 17, 1002}) {
        ProgramWithProject p(type);
        p.start();
        p.env.modal.defaultResult = platform::mrCancel;
        for (const char* b : {"Btn_BACnet_Objects_Map", "Btn_BACnet_EDE_File", "Btn_PROFIBUS_GSD", "Btn_CANopen_EDS",
                              "Btn_PROFINET_XML", "Btn_SNMP_MIB"})
            p.click(b);
        EXPECT_FALSE(p.env.boxes.texts().contains(notAvailableText())) << type;
    }
}
