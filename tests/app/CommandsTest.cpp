#include <QDir>
#include "platform/ui/Timer.h"
#include <gtest/gtest.h>

#include "app/About.h"
#include "app/AppFixture.h"
#include "app/Commands.h"
#include "app/SoftOptions.h"
#include "app/WebLinks.h"
#include "app/Windows.h"
#include "platform/fs/Files.h"
#include "platform/text/UserError.h"
#include "support/QtPrinters.h"
#include "workspace/DeviceTypes.h"
#include "workspace/Folders.h"

using namespace app;
using namespace app_test;

namespace {

// A main window of `type` with project P1 open and ParGen.xml holding `parGen` (none when
// empty).
struct OpenProject {
    explicit OpenProject(int type, const QByteArray& parGen = {}) : env(type)
    {
        QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
        env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
        if (!parGen.isEmpty())
            env.programDir.write("PROJECTS/P1/ParGen.xml", parGen);
        w = std::make_unique<TFVarnetoreFirmWare>(env.programDir.path());
    }
    QString bank1() const { return env.programDir.file("PROJECTS/P1/bin/bank1.bin"); }
    AppEnv env;
    std::unique_ptr<TFVarnetoreFirmWare> w;
};

QByteArray parGenWithType(const char* t)
{
    return QByteArray("<Par_Gen><IP_Address>1.2.3.4</IP_Address><BACnet_Type>") + t + "</BACnet_Type></Par_Gen>";
}

} // namespace

TEST(Commands, WithoutAProjectOnlyTheProjectFreeButtonsWork)
{
    AppEnv env(8);
    TFVarnetoreFirmWare w(env.programDir.path());
    std::vector<std::unique_ptr<ProbeForm>> probes;
    for (int i = 2; i <= kWindowCount; ++i) {
        probes.push_back(std::make_unique<ProbeForm>(QStringLiteral("W%1").arg(i)));
        w.registerWindow(static_cast<WindowId>(i), probes.back().get());
    }
    w.services().buildImages = [] { return QStringList{}; };
    w.services().Write_EDS_File = [](const QString&) {};
    for (AppButton* b : w.findChildren<AppButton*>()) {
        const QString n = b->objectName();
        if (n == "Btn_New" || n == "Btn_Open" || n == "Btn_Close" || n == "Btn_Info" || n == "Btn_Opz")
            continue;
        env.boxes.clear();
        env.modal.shown.clear();
        w.Btn_Click(b);
        EXPECT_EQ(env.boxes.texts(), QStringList{"Error! Project not Valid"}) << n.toStdString();
        EXPECT_TRUE(env.modal.shown.isEmpty()) << n.toStdString();
    }
    env.boxes.clear();
    w.Btn_Click(w.button("Btn_Info"));
    w.Btn_Click(w.button("Btn_Opz"));
    EXPECT_EQ(env.modal.shown, (QStringList{"W4", "W29"}));
    EXPECT_TRUE(env.boxes.shown().empty());
}

TEST(Commands, ButtonsShowTheirWindowsAndUnbuiltOnesSaySo)
{
    OpenProject p(0);
    ProbeForm modbus(QStringLiteral("FSetAccess")), bacnet(QStringLiteral("FBACnetSetAccess"));
    p.w->registerWindow(WindowId::FSetAccess, &modbus);
    p.w->registerWindow(WindowId::FBACnetSetAccess, &bacnet);
    p.w->Btn_Click(p.w->button("Btn_ModM_SetAccess"));
    p.w->Btn_Click(p.w->button("Btn_ModM_BACnet_SetAccess"));
    EXPECT_EQ(p.env.modal.shown, (QStringList{"FSetAccess", "FBACnetSetAccess"}));
    EXPECT_TRUE(p.env.boxes.shown().empty());

    p.w->Btn_Click(p.w->button("Btn_BACnet_BDT_Access"));
    p.w->Btn_Click(p.w->button("Btn_BACnet_EDE_File"));
    EXPECT_EQ(p.env.boxes.texts(), QStringList(2, notAvailableText()));
    EXPECT_EQ(p.env.modal.shown.size(), 2);
    EXPECT_TRUE(p.env.files.requests().empty()) << "no save dialog for a writer that is not there";
}

TEST(Commands, UpdateWizardChoice)
{
    struct Case {
        int type;
        int bacnetType;
        WizardChoice choice;
    } cases[] = {
        {1, 1, {UpdateWizard::Serial, false}},    {1, 3, {UpdateWizard::Serial, false}},
        {1, 0, {UpdateWizard::Ethernet, false}},  {1, 2, {UpdateWizard::Ethernet, false}},
        {20, 0, {UpdateWizard::Ethernet, false}}, {20, 1, {UpdateWizard::Serial, false}},
        {3, 1, {UpdateWizard::Ethernet, true}},   {11, 0, {UpdateWizard::Ethernet, true}},
        {2016, 1, {UpdateWizard::Ethernet, true}}, {13, 1, {UpdateWizard::Ethernet, false}},
        {1002, 0, {UpdateWizard::Ethernet, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseUpdateWizard(c.type, c.bacnetType), c.choice) << c.type << "/" << c.bacnetType;
}

TEST(Commands, UpdateDeviceBuildsTheImagesThenOpensTheWizardOfTheBACnetType)
{
    struct Case {
        int type;
        const char* bacnetType;
        const char* wizard;
        int typeGiven; // -1: the wizard is not told
    } cases[] = {
        {1, "1", "FBootSer", -1},
        {1, "0", "FBootTCP", -1},
        {1, "2", "FBootTCP", -1},
        {3, "1", "FBootTCP", 1},
        {11, "0", "FBootTCP", 0},
    };
    for (const Case& c : cases) {
        OpenProject p(c.type, parGenWithType(c.bacnetType));
        ProbeForm tcp(QStringLiteral("FBootTCP")), ser(QStringLiteral("FBootSer"));
        p.w->registerWindow(WindowId::FBootTCP, &tcp);
        p.w->registerWindow(WindowId::FBootSer, &ser);
        int builds = 0;
        const QString bank = p.bank1();
        p.w->services().buildImages = [&] {
            ++builds;
            platform::writeWholeFile(bank, "image");
            return QStringList{bank};
        };
        int typeGiven = -1;
        p.w->services().setBootTcpBACnetType = [&](int t) { typeGiven = t; };
        p.w->Btn_Click(p.w->button("Btn_CreateBin"));
        EXPECT_EQ(builds, 1) << c.type;
        EXPECT_EQ(p.env.modal.shown, QStringList{c.wizard}) << c.type << "/" << c.bacnetType;
        EXPECT_EQ(typeGiven, c.typeGiven) << c.type;
        EXPECT_TRUE(p.env.boxes.shown().empty()) << c.type;
    }
}

TEST(Commands, UpdateDeviceOfAModelWithoutImageGoesStraightToTheWizardWithoutItsType)
{
    OpenProject p(13, parGenWithType("1"));
    ProbeForm tcp(QStringLiteral("FBootTCP"));
    p.w->registerWindow(WindowId::FBootTCP, &tcp);
    int builds = 0, typeGiven = -1;
    p.w->services().buildImages = [&] { return ++builds, QStringList{}; };
    p.w->services().setBootTcpBACnetType = [&](int t) { typeGiven = t; };
    p.w->Update_Device();
    EXPECT_EQ(builds, 0);
    EXPECT_EQ(typeGiven, -1);
    EXPECT_EQ(p.env.modal.shown, QStringList{"FBootTCP"});
}

TEST(Commands, UpdateDeviceNeverOpensAWizardWithoutImagesWrittenNow)
{
    OpenProject p(3);
    ProbeForm tcp(QStringLiteral("FBootTCP"));
    p.w->registerWindow(WindowId::FBootTCP, &tcp);
    // An image of an earlier run lies in the bin folder.
    platform::writeWholeFile(p.bank1(), "old image");

    // No image builder in this build.
    p.w->Update_Device();
    ASSERT_EQ(p.env.boxes.shown().size(), 1u);
    EXPECT_TRUE(p.env.boxes.shown()[0].text.contains("not available"));

    // A builder that wrote nothing: the error names the image file.
    p.env.boxes.clear();
    p.w->services().buildImages = [] { return QStringList{}; };
    p.w->Update_Device();
    ASSERT_EQ(p.env.boxes.shown().size(), 1u);
    EXPECT_TRUE(p.env.boxes.shown()[0].text.contains(p.bank1()));

    // A builder that reports a file that is not there.
    p.env.boxes.clear();
    const QString ghost = p.env.programDir.file("PROJECTS/P1/bin/bank2.bin");
    p.w->services().buildImages = [&] { return QStringList{p.bank1(), ghost}; };
    p.w->Update_Device();
    ASSERT_EQ(p.env.boxes.shown().size(), 1u);
    EXPECT_TRUE(p.env.boxes.shown()[0].text.contains(ghost));

    // A builder that fails with a message: the command ends there, through the click handler.
    p.env.boxes.clear();
    p.w->services().buildImages = []() -> QStringList {
        throw platform::UserError(QStringLiteral("ParGen.xml is not well-formed"));
    };
    p.w->Btn_Click(p.w->button("Btn_CreateBin"));
    EXPECT_EQ(p.env.boxes.texts(), QStringList{"ParGen.xml is not well-formed"});

    EXPECT_TRUE(p.env.modal.shown.isEmpty());
}

TEST(Commands, TheBACnetTypeOfTheProject)
{
    struct Case {
        const char* what;
        QByteArray parGen; // empty: no file
        int expected;
    } cases[] = {
        {"no file", {}, 0},
        {"one", parGenWithType("1"), 1},
        {"hex", parGenWithType("$2"), 2},
        {"not a number", parGenWithType("MS/TP"), 0},
        {"blank around", parGenWithType(" 1"), 1},
        {"missing key", "<Par_Gen><IP_Address>1.2.3.4</IP_Address></Par_Gen>", 0},
        {"not well-formed", "<Par_Gen><BACnet_Type>1</BACnet_Type>", 0},
        {"comment first", "<!-- c --><Par_Gen><BACnet_Type>1</BACnet_Type></Par_Gen>", 1},
        {"declaration first", "<?xml version=\"1.0\"?><Par_Gen><BACnet_Type>2</BACnet_Type></Par_Gen>", 2},
    };
    for (const Case& c : cases) {
        OpenProject p(1, c.parGen);
        EXPECT_EQ(Get_Type_BACnet(), c.expected) << c.what;
    }
}

TEST(Commands, TheBDTButtonOfTheCANopenModelFollowsTheBACnetType)
{
    struct Case {
        const char* what;
        QByteArray parGen;
        bool enabled;
    } cases[] = {
        {"no file", {}, true},
        {"BACnet/IP", parGenWithType("0"), true},
        {"MS/TP", parGenWithType("1"), false},
        {"zero with a blank", parGenWithType("0 "), false},
        {"missing key", "<Par_Gen/>", true},
        {"not well-formed", "<Par_Gen>", true},
    };
    for (const Case& c : cases) {
        OpenProject p(8, c.parGen);
        p.w->Enable_BDT_Table();
        EXPECT_EQ(p.w->button("Btn_BACnet_BDT_Access")->isEnabled(), c.enabled) << c.what;
    }
    OpenProject shown(8, parGenWithType("1"));
    shown.w->show(); // showing the main window refreshes the button
    EXPECT_FALSE(shown.w->button("Btn_BACnet_BDT_Access")->isEnabled());
    shown.w->hide();

    OpenProject other(0, parGenWithType("1"));
    other.w->Enable_BDT_Table();
    EXPECT_TRUE(other.w->button("Btn_BACnet_BDT_Access")->isEnabled()) << "only the CANopen model";
}

TEST(Commands, CsvExportNames)
{
    struct Case {
        const char* chosen;
        const char* written;
    } cases[] = {
        {"/p/map", "/p/map.csv"},       {"/p/map.txt", "/p/map.txt.csv"}, {"/p/map.csv", "/p/map.csv"},
        {"/p/map.CSV", "/p/map.CSV"},   {"/p/map.cSv", "/p/map.cSv"},     {"/p/csv", "/p/csv.csv"},
        {"/p/map.csv ", "/p/map.csv .csv"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvExportFileName(QLatin1String(c.chosen)), QLatin1String(c.written)) << c.chosen;
}

TEST(Commands, CsvExportAsksBeforeOverwritingAndOnlyYesWrites)
{
    OpenProject p(3);
    QStringList written;
    p.w->services().Write_BACnet_EDE_File = [&](const QString& f) { written << f; };
    const QString existing = p.env.programDir.write("PROJECTS/P1/ede.csv", "old");
    const QString fresh = p.env.programDir.file("PROJECTS/P1/objects");

    p.env.files.choose(fresh);
    p.w->Btn_Click(p.w->button("Btn_BACnet_EDE_File"));
    EXPECT_EQ(written, QStringList{fresh + ".csv"});
    EXPECT_TRUE(p.env.boxes.shown().empty());
    ASSERT_EQ(p.env.files.requests().size(), 1u);
    EXPECT_EQ(p.env.files.requests()[0].initialFolder, workspace::ws().Project_Dir);

    for (platform::MsgAnswer a : {platform::MsgAnswer::No, platform::MsgAnswer::Cancel, platform::MsgAnswer::Yes}) {
        p.env.files.choose(existing);
        p.env.boxes.answer(a);
        p.w->BACnet_EDE_File();
    }
    EXPECT_EQ(written, (QStringList{fresh + ".csv", existing}));
    EXPECT_EQ(p.env.boxes.texts(),
              QStringList(3, "The File already exists! Do you want to overwrite the file?"));
    EXPECT_EQ(p.env.boxes.shown()[0].kind, platform::MsgKind::ConfirmCancel);

    p.w->BACnet_EDE_File(); // the dialog cancelled
    EXPECT_EQ(written.size(), 2);
}

TEST(Commands, EdsFileGetsTheChosenNameUnchanged)
{
    OpenProject p(8);
    QStringList written;
    p.w->services().Write_EDS_File = [&](const QString& f) { written << f; };
    p.env.programDir.write("PROJECTS/P1/dev.txt", "old");
    p.env.files.choose(p.env.programDir.file("PROJECTS/P1/dev.txt"));
    p.w->Btn_Click(p.w->button("Btn_CANopen_EDS"));
    EXPECT_EQ(written, QStringList{p.env.programDir.file("PROJECTS/P1/dev.txt")});
    EXPECT_TRUE(p.env.boxes.shown().empty());
    EXPECT_EQ(p.env.files.requests()[0].defaultExtension, QStringLiteral("eds"));
}

TEST(Commands, ScanAsksBeforeReplacingAnExistingNetwork)
{
    OpenProject p(1);
    ProbeForm scan(QStringLiteral("FScanDecode"));
    p.w->registerWindow(WindowId::FScanDecode, &scan);
    int code = -1, form = -1;
    QString file;
    p.w->services().setScanFields = [&](int c, const QString& f, int t) { code = c, file = f, form = t; };
    p.env.programDir.write("PROJECTS/P1/M_Bus.xml", "<M-Bus_Network/>");
    p.w->Btn_Click(p.w->button("Btn_ScanDecode")); // No
    EXPECT_TRUE(p.env.modal.shown.isEmpty());
    EXPECT_EQ(p.env.boxes.shown().at(0).kind, platform::MsgKind::Warning);
    p.env.boxes.answer(platform::MsgAnswer::Yes);
    p.w->Btn_Click(p.w->button("Btn_ScanDecode"));
    EXPECT_EQ(p.env.modal.shown, QStringList{"FScanDecode"});
    EXPECT_EQ(code, 6);
    EXPECT_EQ(form, 0);
    EXPECT_EQ(file, workspace::ws().Path_M_Bus);
}

TEST(Commands, OptionsConfirmedSaveTheSettingsAndReapplyTheTimerRule)
{
    OpenProject p(3);
    ProbeForm options(QStringLiteral("FSoftOptions"));
    p.w->registerWindow(WindowId::FSoftOptions, &options);
    p.env.modal.actions["FSoftOptions"] = [](platform::Form& f) {
        workspace::ws().Opt_Enable_Internet = 1;
        workspace::ws().Opt_Enable_Update = 1;
        f.setModalResult(platform::mrOk);
    };
    p.w->Btn_Click(p.w->button("Btn_Opz"));
    EXPECT_TRUE(p.w->findChild<platform::Timer*>("Timer_Update")->enabled());
    EXPECT_TRUE(p.env.programDir.read("Varnetor.xml").contains("<enable_update>1</enable_update>"));

    p.env.modal.actions["FSoftOptions"] = [](platform::Form& f) {
        workspace::ws().Opt_Enable_Update = 0;
        f.setModalResult(platform::mrCancel);
    };
    p.w->Btn_Click(p.w->button("Btn_Opz"));
    EXPECT_TRUE(p.w->findChild<platform::Timer*>("Timer_Update")->enabled()) << "only a confirmed dialog changes the timer";
}

TEST(Commands, WebLinks)
{
    for (int type : {3, 2016}) {
        AppEnv env(type);
        TFVarnetoreFirmWare w(env.programDir.path());
        w.L_OstrelClick();
        if (type == 2016) {
            EXPECT_TRUE(env.processes.openedUrls().isEmpty());
        } else {
            ASSERT_EQ(env.processes.openedUrls().size(), 1);
            EXPECT_TRUE(env.processes.openedUrls()[0].startsWith("https://"));
            EXPECT_TRUE(env.processes.openedUrls()[0].contains("GS30115"));
        }
        w.LL_UpdateLinkClick(QStringLiteral("https://www.ostrelcorp.com/download/GS30115"));
        EXPECT_EQ(env.processes.openedUrls().last(), QStringLiteral("https://www.ostrelcorp.com/download/GS30115"));
    }
}

// On a desktop without a browser the links do not go quiet: each shows its address.
TEST(Commands, AWebLinkWithoutABrowserShowsItsAddress)
{
    AppEnv env(3);
    TFVarnetoreFirmWare w(env.programDir.path());
    TFAbout about;
    TFSoftOptions options;
    env.processes.urlOpens = false;
    w.L_OstrelClick();
    w.LL_UpdateLinkClick(QStringLiteral("https://www.ostrelcorp.com/download/GS30115"));
    about.Label4Click();
    options.LL_Check_UpdateLinkClick(QStringLiteral("https://www.ostrelcorp.com/download/GS30115#GX30115"));
    ASSERT_EQ(env.processes.openedUrls().size(), 4);
    QStringList expected;
    for (const QString& url : env.processes.openedUrls())
        expected << webPageNotOpenedText(url);
    EXPECT_EQ(env.boxes.texts(), expected);
    for (const QString& t : env.boxes.texts())
        EXPECT_TRUE(t.contains(QLatin1String("https://"))) << t.toStdString();

    // With a browser the links open without a word.
    env.processes.urlOpens = true;
    w.L_OstrelClick();
    about.Label4Click();
    EXPECT_EQ(env.boxes.texts().size(), 4);
    // The partner model has no page: nothing opens and nothing is said.
    AppEnv partner(2016);
    TFAbout partnerAbout;
    partner.processes.urlOpens = false;
    partnerAbout.Label4Click();
    EXPECT_TRUE(partner.boxes.texts().isEmpty());
}

TEST(Commands, SetCommunicationThenRefreshesTheBDTButton)
{
    OpenProject p(8, parGenWithType("0"));
    ProbeForm parGen(QStringLiteral("FParGen"));
    p.w->registerWindow(WindowId::FParGen, &parGen);
    p.w->Enable_BDT_Table();
    ASSERT_TRUE(p.w->button("Btn_BACnet_BDT_Access")->isEnabled());
    p.env.modal.actions["FParGen"] = [&](platform::Form& f) {
        p.env.programDir.write("PROJECTS/P1/ParGen.xml", parGenWithType("1"));
        f.setModalResult(platform::mrOk);
    };
    p.w->Btn_Click(p.w->button("Btn_Prm_Gen"));
    EXPECT_EQ(p.env.modal.shown, QStringList{"FParGen"});
    EXPECT_FALSE(p.w->button("Btn_BACnet_BDT_Access")->isEnabled());
}
