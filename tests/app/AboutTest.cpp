#include <QLabel>
#include <QPixmap>
#include <gtest/gtest.h>
#include <vector>

#include "app/About.h"
#include "app/AppFixture.h"
#include "support/QtPrinters.h"
#include "workspace/DeviceTypes.h"

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
        EXPECT_FALSE(about.findChild<QLabel*>(partner ? "I_Quendal" : "Image2")->pixmap().isNull());
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

// Every model's box shows its texts whole: nothing runs past the window's edge, no text is
// cut short by its label, and no two texts (or a text and the OK button) lie over each other.
TEST(About, EveryModelsTextsFitTheBoxWithoutOverlapping)
{
    for (int type : workspace::deviceTypes()) {
        AppEnv env(type);
        TFAbout about;
        about.showModal();
        const QRect client(QPoint(0, 0), about.size());
        std::vector<const QWidget*> shown;
        for (const QLabel* l : about.findChildren<QLabel*>()) {
            if (!l->isVisibleTo(&about) || (l->text().isEmpty() && l->pixmap().isNull()))
                continue;
            shown.push_back(l);
            EXPECT_TRUE(client.contains(l->geometry())) << type << " " << l->objectName().toStdString();
            if (l->text().isEmpty())
                continue;
            const QRect needed = l->fontMetrics().boundingRect(QRect(0, 0, l->width(), 1000),
                                                               l->wordWrap() ? Qt::TextWordWrap : 0, l->text());
            EXPECT_LE(needed.width(), l->width()) << type << " " << l->objectName().toStdString();
            EXPECT_LE(needed.height(), l->height()) << type << " " << l->objectName().toStdString();
        }
        shown.push_back(about.findChild<AppButton*>("FxButton1"));
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                    << type << " " << shown[i]->objectName().toStdString() << " over "
                    << shown[j]->objectName().toStdString();
    }
}
