// The windows of the M-Bus master models in the program: created at start in their places, the
// M-Bus button opening the customer configuration, its Template button the template window, whose
// Create Template asks the name through the new-project dialog in its template mode.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "app/NewProject.h"
#include "app/Program.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/master/window/UConf_BAC_MBus_Pelvarta.h"
#include "mbus/master/window/UTemplate_Creation.h"
#include "support/QtPrinters.h"

using namespace app;
using namespace app_test;

namespace {

struct MasterProgram {
    explicit MasterProgram(int type) : env(type)
    {
        QDir().mkpath(env.programDir.file("PROJECTS/P1/bin"));
        env.programDir.write("Varnetor.xml", settingsXml("P1", "0", "0").toUtf8());
        program = std::make_unique<Program>(env.programDir.path());
    }
    TFVarnetoreFirmWare& main() { return program->mainWindow(); }
    AppEnv env;
    std::unique_ptr<Program> program;
};

} // namespace

TEST(MBusMasterWindows, TheMBusButtonOpensTheCustomerConfigurationOfEachMasterModel)
{
    for (int type : {1001, 1002, 1003}) {
        MasterProgram p(type);
        // The start creates them without a control.
        for (WindowId id : {WindowId::FMBus_Custom, WindowId::FConf_BAC_MBus_Pelvarta, WindowId::FTemplate_Creation})
            EXPECT_FALSE(p.main().window(id)->controlsBuilt()) << static_cast<int>(id);
        EXPECT_EQ(p.main().window(WindowId::FMBus_Custom)->objectName(), QStringLiteral("FMBus_Custom"));
        EXPECT_EQ(p.main().window(WindowId::FTemplate_Creation)->objectName(), QStringLiteral("FTemplate_Creation"));
        p.main().Btn_Click(p.main().button("Btn_MBus"));
        EXPECT_EQ(p.env.modal.shown, QStringList{"FConf_BAC_MBus_Pelvarta"}) << type;
        EXPECT_TRUE(p.env.boxes.texts().isEmpty()) << type;
    }
}

TEST(MBusMasterWindows, ATemplateMadeFromTheConfigurationIsNamedInTheNewProjectDialog)
{
    MasterProgram p(1002);
    auto* newProject = qobject_cast<TFNew_Project*>(p.main().window(WindowId::FNew_Project));
    auto* templates =
        qobject_cast<mbus::master::TFTemplate_Creation*>(p.main().window(WindowId::FTemplate_Creation));
    ASSERT_TRUE(newProject && templates);
    int typeFormWhileShown = -1;
    QString dialogTitle;
    p.env.modal.actions["FConf_BAC_MBus_Pelvarta"] = [](platform::Form& f) {
        static_cast<mbus::master::TFConf_BAC_MBus_Pelvarta&>(f).Btn_TemplateClick();
        f.setModalResult(platform::mrCancel);
    };
    p.env.modal.actions["FTemplate_Creation"] = [&](platform::Form&) {
        const QStringList rows[] = {{"0", "0", "4", "0", "13", "0", "0", "", "", "0", "NS xx'yy'zzz'", "Node State"},
                                    {"0", "0", "4", "0", "23", "0", "0", "", "", "0", "IN xx'yy'zzz'", "Ident"}};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                templates->ACG_BACnet->SetCells(c + 1, r + 1, rows[r][c]);
        templates->Btn_Create_TemplateClick();
        templates->setModalResult(platform::mrCancel);
    };
    p.env.modal.actions["FNew_Project"] = [&](platform::Form& f) {
        typeFormWhileShown = newProject->Type_Form;
        dialogTitle = f.windowTitle();
        newProject->E_New_Proj->setText("Heat Meter");
        newProject->Btn_OKClick();
    };
    p.main().Btn_Click(p.main().button("Btn_MBus"));
    EXPECT_EQ(p.env.modal.shown, (QStringList{"FConf_BAC_MBus_Pelvarta", "FTemplate_Creation", "FNew_Project"}));
    EXPECT_EQ(typeFormWhileShown, 1);
    EXPECT_EQ(dialogTitle, QStringLiteral("Insert Name of Template"));
    EXPECT_EQ(newProject->Type_Form, 0);
    EXPECT_TRUE(p.env.boxes.texts().isEmpty()) << p.env.boxes.texts().join("|").toStdString();
    QFile written(p.env.programDir.file("TEMPLATE/Heat Meter.xml"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().count("<Var>"), 2);
}

TEST(MBusMasterWindows, AChangeOfLanguageRelabelsTheConfigurationAndTemplateWindows)
{
    MasterProgram p(1002);
    workspace::ws().Lang_Texts[1929] = QStringLiteral("Konfiguration");
    workspace::ws().Lang_Texts[1400] = QStringLiteral("Vorlage");
    p.main().Change_Language();
    EXPECT_EQ(p.main().window(WindowId::FConf_BAC_MBus_Pelvarta)->windowTitle(), QStringLiteral("Konfiguration"));
    EXPECT_EQ(p.main().window(WindowId::FTemplate_Creation)->windowTitle(), QStringLiteral("Vorlage"));
    EXPECT_EQ(p.main().window(WindowId::FMBus_Custom)->windowTitle(), QStringLiteral("M-Bus Network"));
}
