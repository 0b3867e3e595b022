#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "controls/button/FxButton.h"
#include "exports/window/UProfinetFileName.h"
#include "support/FakeProcess.h"
#include "support/QtPrinters.h"
#include "workspace/DeviceTypes.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

using exports::TFProfinetFileName;

namespace {

struct Env {
    explicit Env(int type) : scoped(type)
    {
        workspace::setDeviceIdentity();
        workspace::Default_Texts();
        previous = platform::setModalDriver([this](platform::Form& f) {
            if (act)
                act(static_cast<TFProfinetFileName&>(f));
        });
    }
    ~Env() { platform::setModalDriver(previous); }
    workspace::ScopedWorkspace scoped;
    testing_support::FakeClock clock; // 15 January 2024
    std::function<void(TFProfinetFileName&)> act;
    platform::ModalDriver previous;
};

} // namespace

TEST(ProfinetFileName, LayoutAndTexts)
{
    Env env(9);
    TFProfinetFileName w;
    EXPECT_EQ(w.objectName(), QStringLiteral("FProfinetFileName"));
    EXPECT_EQ(w.size(), QSize(540, 205));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("PROFINET XML File Name"));
    EXPECT_EQ(w.L_SW_Code->text(), workspace::ws().SW_Code);
    EXPECT_EQ(w.L_SW_Desc->text(), QStringLiteral("Create the PROFINET XML GSD File"));
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Select the PROFINET XML File Name"));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("Fixed Part"));
    EXPECT_EQ(w.Label4->text(), QStringLiteral("User Part"));
    EXPECT_EQ(w.Label5->text(), QStringLiteral("Fixed Part"));
    EXPECT_EQ(w.Btn_OK->caption(), QStringLiteral("OK"));
    EXPECT_EQ(w.Btn_Cancel->caption(), QStringLiteral("Cancel"));
    EXPECT_EQ(w.L_XML_Fix1->text(), QStringLiteral("GSDML-V2.31-Ostrel-GX30120"));
    EXPECT_EQ(w.L_XML_Fix2->text(), QStringLiteral("-20240115.xml"));
    EXPECT_EQ(w.P_Title->geometry(), QRect(0, 0, 540, 69));
    EXPECT_EQ(w.P_Button->geometry(), QRect(0, 165, 540, 40));
    EXPECT_EQ(w.Btn_OK->size(), QSize(110, 28));
    EXPECT_EQ(w.Btn_Cancel->size(), QSize(110, 28));
    EXPECT_EQ(w.E_XML_User->width(), 267);
    // Prefix, edit and suffix in one row, each under its heading, all inside the window.
    EXPECT_LT(w.L_XML_Fix1->geometry().right(), w.E_XML_User->x());
    EXPECT_LT(w.E_XML_User->geometry().right(), w.L_XML_Fix2->x());
    EXPECT_LE(w.L_XML_Fix2->geometry().right(), 540);
    EXPECT_EQ(w.Label4->x(), w.E_XML_User->x());
    EXPECT_EQ(w.Label5->x(), w.L_XML_Fix2->x());
    EXPECT_LT(w.Label4->geometry().bottom(), w.E_XML_User->y());
    EXPECT_LT(w.Label1->geometry().bottom(), w.Label2->y());

    // A change of language re-labels the window.
    workspace::ws().Lang_Texts[788] = QStringLiteral("Parte utente");
    w.Set_Lang();
    EXPECT_EQ(w.Label4->text(), QStringLiteral("Parte utente"));
}

TEST(ProfinetFileName, PrefixOfTheMBusMaster)
{
    Env env(1002);
    TFProfinetFileName w;
    EXPECT_EQ(w.L_XML_Fix1->text(), QStringLiteral("GSDML-V2.31-Ostrel-GX30130"));
}

TEST(ProfinetFileName, OkComposesTheNameAndCancelNothing)
{
    Env env(9);
    TFProfinetFileName w;
    // The suffix keeps the date of the window's creation, at program start.
    env.clock.advance(3ull * 24 * 3600 * 1000);
    struct Case {
        const char* typed;
        const char* name;
    } cases[] = {
        {"", "GSDML-V2.31-Ostrel-GX30120-20240115.xml"},
        {"   ", "GSDML-V2.31-Ostrel-GX30120-20240115.xml"},
        {"Plant1", "GSDML-V2.31-Ostrel-GX30120_Plant1-20240115.xml"},
        {"_Plant1", "GSDML-V2.31-Ostrel-GX30120_Plant1-20240115.xml"},
        {" Plant1", "GSDML-V2.31-Ostrel-GX30120_ Plant1-20240115.xml"},
    };
    for (const Case& c : cases) {
        env.act = [&](TFProfinetFileName& f) {
            f.E_XML_User->setText(QLatin1String(c.typed));
            f.Btn_OK->click();
        };
        EXPECT_EQ(w.showModal(), platform::mrOk) << c.typed;
        EXPECT_EQ(w.Name_File_XML, QLatin1String(c.name)) << "'" << c.typed << "'";
    }
    // Cancel composes nothing; the free part stays for the next showing.
    env.act = [](TFProfinetFileName& f) {
        f.E_XML_User->setText(QStringLiteral("Other"));
        f.Btn_Cancel->click();
    };
    EXPECT_EQ(w.showModal(), platform::mrCancel);
    EXPECT_EQ(w.Name_File_XML, QStringLiteral("GSDML-V2.31-Ostrel-GX30120_ Plant1-20240115.xml"));
    env.act = [](TFProfinetFileName& f) { f.Btn_OK->click(); };
    EXPECT_EQ(w.showModal(), platform::mrOk);
    EXPECT_EQ(w.Name_File_XML, QStringLiteral("GSDML-V2.31-Ostrel-GX30120_Other-20240115.xml"));
}
