#include <QLabel>
#include <gtest/gtest.h>

#include "app/About.h"
#include "app/AppFixture.h"
#include "support/QtPrinters.h"

using namespace app;
using namespace app_test;

TEST(About, ShowsTheModelsVersionAndCodes)
{
    struct Case {
        int type;
        const char* desc;
        const char* code;
        const char* version;
        const char* doc;
    } cases[] = {
        {3, "BACnet / Modbus TCP Master - Converter", "GS30115", "1.405", "GM30115"},
        {20, "M-Bus / BACnet - Converter", "GS30133", "2.001", "GM30133"},
        {2016, "Gateway BACnet IP/MS TP server - KNX TP", "GX30134", "1.009", "GM30134"},
    };
    for (const Case& c : cases) {
        AppEnv env(c.type);
        TFAbout about;
        // The user presses OK: the result is the button's, not one the test sets.
        env.modal.actions["FAbout"] = [](platform::Form& f) { f.findChild<AppButton*>("FxButton1")->click(); };
        EXPECT_EQ(about.showModal(), platform::mrOk) << c.type;
        EXPECT_EQ(labelText(about, "Label2"), QLatin1String(c.desc));
        EXPECT_EQ(labelText(about, "Label9"), QLatin1String(c.code));
        EXPECT_EQ(labelText(about, "Label10"), QLatin1String(c.version));
        EXPECT_EQ(labelText(about, "Label12"), QLatin1String(c.doc));
        EXPECT_EQ(about.size(), QSize(406, 148));
        const bool partner = c.type == 2016;
        EXPECT_EQ(about.findChild<QLabel*>("I_Quendal")->isVisibleTo(&about), partner);
        EXPECT_EQ(about.findChild<QLabel*>("Image2")->isVisibleTo(&about), !partner);
        EXPECT_EQ(about.findChild<QLabel*>("Label4")->isVisibleTo(&about), !partner);
        about.Label4Click();
        if (partner) {
            EXPECT_TRUE(env.processes.openedUrls().isEmpty());
        } else {
            ASSERT_EQ(env.processes.openedUrls().size(), 1);
            EXPECT_TRUE(env.processes.openedUrls()[0].contains(QLatin1String(c.code)));
        }
    }
}

TEST(About, UnknownTypeKeepsTheLabels)
{
    EXPECT_FALSE(aboutInfo(5).known);
    EXPECT_FALSE(aboutInfo(-1).known);
    EXPECT_TRUE(aboutInfo(1003).known);
}
