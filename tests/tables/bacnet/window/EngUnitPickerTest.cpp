#include "controls/button/FxButton.h"
#include "platform/ui/controls/Controls.h"
#include "tables/bacnet/window/EngUnitPicker.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace tables;

namespace {

class EngUnitPickerTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    void TearDown() override { platform::setModalDriver(previous_); }
    // The user's part of the next showing.
    void whenShown(std::function<void(TFBACnet_Eng_Unit&)> user)
    {
        previous_ = platform::setModalDriver([user](platform::Form& f) { user(static_cast<TFBACnet_Eng_Unit&>(f)); });
    }
    // Picks the category and the position in its list as the user does.
    static void pick(TFBACnet_Eng_Unit& p, const QString& category, int position)
    {
        p.CB_Select_Type->setItemIndex(p.CB_Select_Type->findText(category));
        p.CB_Select_TypeSelect();
        p.CB_Select_Unit->setItemIndex(position);
    }
    workspace::ScopedWorkspace scoped{3};
    platform::ModalDriver previous_;
};

} // namespace

TEST_F(EngUnitPickerTest, PicksByCategoryAndPositionAndHandsBackOnOkOnly)
{
    TFBACnet_Eng_Unit picker;
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Select the BACnet Engineering Unit"));
    EXPECT_EQ(picker.CB_Select_Type->count(), 23);
    EXPECT_EQ(picker.CB_Select_Type->itemText(0), QStringLiteral("Acceleration"));

    struct Case {
        const char* category;
        int position;
        const char* number;
        const char* label;
    } cases[] = {
        {"Temperature", 1, "63", "-> degrees-Kelvin"},
        {"Other", 29, "207", "-> per-mille"},
        {"Force", 0, "153", "-> newton"},
    };
    for (const Case& c : cases) {
        whenShown([&](TFBACnet_Eng_Unit& p) {
            pick(p, QLatin1String(c.category), c.position);
            p.Btn_Select_Eng_Unit->click();
            EXPECT_EQ(p.Label5->text(), QLatin1String(c.label));
            p.Btn_OK->click();
        });
        EXPECT_EQ(pickEngUnit(picker, QStringLiteral("95")), QLatin1String(c.number)) << c.category;
    }

    // Cancel keeps the cell's text.
    whenShown([&](TFBACnet_Eng_Unit& p) {
        pick(p, QStringLiteral("Area"), 0);
        p.Btn_Select_Eng_Unit->click();
        p.Btn_Cancel->click();
    });
    EXPECT_EQ(pickEngUnit(picker, QStringLiteral("62")), QStringLiteral("62"));
}

TEST_F(EngUnitPickerTest, OpensOnTheCellsTextAndHandsBackWhatWasTyped)
{
    TFBACnet_Eng_Unit picker;
    whenShown([](TFBACnet_Eng_Unit& p) {
        EXPECT_EQ(p.E_Selected_EU->text(), QStringLiteral("95"));
        EXPECT_EQ(p.Label5->text(), QStringLiteral("-> no-units"));
        // A choice of category picks its first unit at once.
        p.CB_Select_Type->setItemIndex(p.CB_Select_Type->findText(QStringLiteral("Mass")));
        p.CB_Select_TypeSelect();
        EXPECT_EQ(p.CB_Select_Unit->currentText(), QStringLiteral("milligrams"));
        // Typing does not move the label; OK hands the text back as typed.
        p.E_Selected_EU->setText(QStringLiteral("300"));
        EXPECT_EQ(p.Label5->text(), QStringLiteral("-> no-units"));
        p.Btn_OK->click();
    });
    EXPECT_EQ(pickEngUnit(picker, QStringLiteral("95")), QStringLiteral("300"));

    // An empty cell: "unknown"; the category chosen last stays chosen.
    whenShown([](TFBACnet_Eng_Unit& p) {
        EXPECT_EQ(p.Label5->text(), QStringLiteral("-> unknown"));
        EXPECT_EQ(p.CB_Select_Type->currentText(), QStringLiteral("Mass"));
        EXPECT_EQ(p.CB_Select_Unit->count(), 5);
        p.Btn_Cancel->click();
    });
    EXPECT_EQ(pickEngUnit(picker, QString()), QString());
}
