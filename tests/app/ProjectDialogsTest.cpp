#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/NewProject.h"
#include "app/OpenConf.h"
#include "app/Projects.h"
#include "app/Windows.h"
#include "platform/fs/Files.h"
#include "support/QtPrinters.h"

using namespace app;
using namespace app_test;

namespace {

struct WithDialogs {
    explicit WithDialogs(int type = 3) : env(type)
    {
        w = std::make_unique<TFVarnetoreFirmWare>(env.programDir.path());
        newProject = new TFNew_Project(w.get());
        openConf = new TFOpenConf(w.get());
        w->registerWindow(WindowId::FNew_Project, newProject);
        w->registerWindow(WindowId::FOpenConf, openConf);
    }
    // Types `name` into the new-project dialog and presses Enter.
    void typeName(const QString& name)
    {
        env.modal.actions["FNew_Project"] = [this, name](platform::Form&) {
            newProject->E_New_Proj->setText(name);
            QTest::keyClick(newProject->E_New_Proj, Qt::Key_Return);
            if (newProject->modalResult() == platform::mrNone)
                newProject->setModalResult(platform::mrCancel); // the user gives up
        };
    }
    QStringList projectFolders() const
    {
        QStringList l = QDir(env.programDir.file("PROJECTS")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        l.sort();
        return l;
    }
    AppEnv env;
    std::unique_ptr<TFVarnetoreFirmWare> w;
    TFNew_Project* newProject;
    TFOpenConf* openConf;
};

} // namespace

TEST(NewProject, CreatesTheFolderWithItsBinFolderAndOpensIt)
{
    WithDialogs d;
    d.typeName(QStringLiteral("Plant 7"));
    d.w->Btn_Click(d.w->button("Btn_New"));
    EXPECT_TRUE(d.env.boxes.shown().empty());
    EXPECT_TRUE(platform::folderExists(d.env.programDir.file("PROJECTS/Plant 7/bin")));
    const workspace::Workspace& w = workspace::ws();
    EXPECT_EQ(w.Project_Name, QStringLiteral("Plant 7"));
    EXPECT_EQ(w.Project_Dir, d.env.programDir.file("PROJECTS/Plant 7"));
    EXPECT_EQ(w.Path_ModbusTCPM_SetAccess, d.env.programDir.file("PROJECTS/Plant 7/ModbusTCPM_SetAccess.xml"));
    EXPECT_EQ(labelText(*d.w, "L_Name_Conf"), QStringLiteral("Opened Configuration of the Converter : "));
    EXPECT_EQ(labelText(*d.w, "L_Name_Conf_L2"), QStringLiteral("Plant 7"));
    EXPECT_EQ(d.newProject->windowTitle(), QStringLiteral("New Configuration"));
}

TEST(NewProject, RefusesEmptyExistingAndEscapingNames)
{
    struct Case {
        QString name;
        const char* text;
    } cases[] = {
        {"", "Error! Name Project is not valid"},
        {"Old", "Error! Name project is not valid because directory already exists"},
        {"OLD", "Error! Name project is not valid because directory already exists"},
        {"..", "Error! Name project is not valid"},
        {".", "Error! Name project is not valid"},
        {"../Outside", "Error! Name project is not valid"},
        {"a/b", "Error! Name project is not valid"},
        {"a\\b", "Error! Name project is not valid"},
        {"/tmp/abs", "Error! Name project is not valid"},
        {"tab\there", "Error! Name project is not valid"},
        {"trailing ", "Error! Name project is not valid"},
        {"trailing.", "Error! Name project is not valid"},
        {"   ", "Error! Name project is not valid"},
        {"file.txt", "Error! Name project is not valid"},
    };
    for (const Case& c : cases) {
        WithDialogs d;
        QDir().mkpath(d.env.programDir.file("PROJECTS/Old"));
        d.env.programDir.write("PROJECTS/file.txt", "not a project");
        const QStringList before = d.projectFolders();
        const QStringList programFolder = QDir(d.env.programDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        d.typeName(c.name);
        d.w->Btn_Click(d.w->button("Btn_New"));
        EXPECT_EQ(d.env.boxes.texts(), QStringList{QLatin1String(c.text)}) << c.name.toStdString();
        EXPECT_EQ(d.projectFolders(), before) << c.name.toStdString();
        EXPECT_EQ(QDir(d.env.programDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), programFolder);
        EXPECT_TRUE(workspace::ws().Project_Dir.isEmpty()) << c.name.toStdString();
        EXPECT_EQ(labelText(*d.w, "L_Name_Conf"), QStringLiteral("None Configuration Opened "));
    }
}

TEST(NewProject, TemplateModeChecksTheFileName)
{
    struct Case {
        QString typed;
        QString file; // empty: refused
        const char* text;
    } cases[] = {
        {"  Meter A ", "Meter A.xml", nullptr},
        {"meter.XmL", "meter.XmL", nullptr},
        {"meter.txt", "", "Error! File Extension not Valie (It must be .xml)"},
        {"Existing", "", "Error! Template already exists, change name"},
        {"   ", "", "Error! Template Name is not valid"},
        {"../up.xml", "", "Error! Template Name is not valid"},
    };
    for (const Case& c : cases) {
        WithDialogs d(1001);
        d.env.programDir.write("TEMPLATE/Existing.xml", "<t/>");
        d.newProject->Type_Form = 1;
        d.newProject->Template_Name.clear();
        d.typeName(c.typed);
        const int result = d.newProject->showModal();
        d.newProject->Type_Form = 0;
        if (c.text) {
            EXPECT_EQ(result, platform::mrCancel) << c.typed.toStdString();
            EXPECT_EQ(d.env.boxes.texts(), QStringList{QLatin1String(c.text)}) << c.typed.toStdString();
        } else {
            EXPECT_EQ(result, platform::mrOk) << c.typed.toStdString();
            EXPECT_EQ(d.newProject->Template_Name, d.env.programDir.file("TEMPLATE/" + c.file));
            EXPECT_TRUE(d.env.boxes.shown().empty());
        }
        EXPECT_EQ(d.projectFolders(), QStringList{}) << "template mode creates no project";
    }
    WithDialogs d(1001);
    d.newProject->Type_Form = 1;
    d.typeName("x");
    d.newProject->showModal();
    EXPECT_EQ(d.newProject->windowTitle(), workspace::text(1600)) << "the captions follow the mode";
}

TEST(OpenConf, ListsTheProjectsAndSelectsTheOpenOneIgnoringCase)
{
    WithDialogs d;
    for (const char* n : {"Alpha", "Beta", "Gamma"})
        QDir().mkpath(d.env.programDir.file(QStringLiteral("PROJECTS/") + n));
    d.env.programDir.write("PROJECTS/loose.txt", "");
    workspace::ws().Project_Dir = d.env.programDir.file("PROJECTS/BETA");
    d.env.modal.defaultResult = platform::mrCancel;
    d.openConf->showModal();
    QStringList names = d.openConf->names();
    names.sort();
    EXPECT_EQ(names, (QStringList{"Alpha", "Beta", "Gamma"}));
    ASSERT_GE(d.openConf->ListBox1->currentRow(), 0);
    EXPECT_EQ(d.openConf->ListBox1->currentItem()->text(), QStringLiteral("Beta"));
    EXPECT_EQ(d.openConf->Name_Conf, QStringLiteral("Beta"));

    // A project that is not listed: the first line.
    workspace::ws().Project_Dir.clear();
    d.openConf->showModal();
    EXPECT_EQ(d.openConf->ListBox1->currentRow(), 0);
    EXPECT_EQ(d.openConf->Name_Conf, d.openConf->names().first());
}

TEST(OpenConf, OpeningAProjectSetsTheWorkspaceAndTheBox)
{
    WithDialogs d;
    for (const char* n : {"Alpha", "Beta"})
        QDir().mkpath(d.env.programDir.file(QStringLiteral("PROJECTS/") + n));
    d.env.modal.actions["FOpenConf"] = [&](platform::Form& f) {
        const int beta = d.openConf->names().indexOf("Beta");
        d.openConf->ListBox1->setCurrentRow(beta);
        f.setModalResult(platform::mrOk);
    };
    d.w->Btn_Click(d.w->button("Btn_Open"));
    EXPECT_EQ(workspace::ws().Project_Dir, d.env.programDir.file("PROJECTS/Beta"));
    EXPECT_EQ(workspace::ws().Path_ParGen, d.env.programDir.file("PROJECTS/Beta/ParGen.xml"));
    EXPECT_EQ(labelText(*d.w, "L_Name_Conf_L2"), QStringLiteral("Beta"));

    // Cancel changes nothing.
    d.env.modal.actions["FOpenConf"] = [](platform::Form& f) { f.setModalResult(platform::mrCancel); };
    d.w->Btn_Click(d.w->button("Btn_Open"));
    EXPECT_EQ(workspace::ws().Project_Dir, d.env.programDir.file("PROJECTS/Beta"));
}

TEST(OpenConf, EnterInTheListDoesWhatOkDoes)
{
    WithDialogs d;
    for (const char* n : {"Alpha", "Beta"})
        QDir().mkpath(d.env.programDir.file(QStringLiteral("PROJECTS/") + n));
    d.env.modal.actions["FOpenConf"] = [&](platform::Form& f) {
        d.openConf->ListBox1->setCurrentRow(d.openConf->names().indexOf("Beta"));
        QTest::keyClick(d.openConf->ListBox1, Qt::Key_Return);
        EXPECT_EQ(f.modalResult(), platform::mrOk);
    };
    d.w->Btn_Click(d.w->button("Btn_Open"));
    EXPECT_EQ(workspace::ws().Project_Dir, d.env.programDir.file("PROJECTS/Beta"));
    EXPECT_EQ(labelText(*d.w, "L_Name_Conf_L2"), QStringLiteral("Beta"));
}

TEST(OpenConf, OkOnAnEmptyListLeavesNoProjectOpen)
{
    WithDialogs d;
    d.env.modal.defaultResult = platform::mrOk;
    d.w->Btn_Click(d.w->button("Btn_Open"));
    EXPECT_EQ(d.openConf->ListBox1->count(), 0);
    EXPECT_EQ(d.openConf->ListBox1->currentRow(), -1);
    EXPECT_TRUE(workspace::ws().Project_Dir.isEmpty());
    EXPECT_TRUE(workspace::ws().Path_ParGen.isEmpty());
    EXPECT_EQ(labelText(*d.w, "L_Name_Conf"), QStringLiteral("None Configuration Opened "));
    EXPECT_EQ(labelText(*d.w, "L_Name_Conf_L2"), QStringLiteral("Use Step1 to open or create new configuration"));
}

TEST(Projects, NameLookUpAndOpenProjectName)
{
    const QStringList names{"alpha", "Beta", "BETA"};
    EXPECT_EQ(Search_Open_Conf(names, "ALPHA"), 0);
    EXPECT_EQ(Search_Open_Conf(names, "beta"), 1);
    EXPECT_EQ(Search_Open_Conf(names, "gamma"), -1);
    EXPECT_EQ(Search_Open_Conf({}, ""), -1);
    EXPECT_EQ(openProjectName("/x/PROJECTS/P1", "/x/PROJECTS"), QStringLiteral("P1"));
    EXPECT_EQ(openProjectName("", "/x/PROJECTS"), QString());
    EXPECT_EQ(openProjectName("/y/P1", "/x/PROJECTS"), QString());
}
