#include "MasterFixture.h"
#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "mbus/master/window/UMBus_Custom.h"
#include "platform/text/UserError.h"

#include <gtest/gtest.h>

using namespace mbus::master;

TEST(MBusCustom, HasFixedTextsAndItsButtonsDoNothing)
{
    master_test::MasterProject project(1001);
    TFMBus_Custom w;
    EXPECT_EQ(w.objectName(), QStringLiteral("FMBus_Custom"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("M-Bus Network"));
    EXPECT_EQ(w.ACG, nullptr); // its controls wait for the first show
    w.ensureControls();
    EXPECT_EQ(w.L_NumByte->text(), QStringLiteral("Bytes Used : 0"));
    EXPECT_EQ(w.ACG->Columns().Items(3)->Header(), QStringLiteral("Object Name"));
    EXPECT_EQ(w.Btn_Import->caption(), QStringLiteral("Import Network"));
    // A language's texts do not reach it.
    workspace::ws().Lang_Texts[0] = QStringLiteral("changed");
    w.Set_Lang();
    EXPECT_EQ(w.Btn_OK->caption(), QStringLiteral("OK"));
    for (controls::TFxButton* b : {w.Btn_Add, w.Btn_OK, w.Btn_Cancel, w.Btn_Import}) {
        b->click();
        EXPECT_EQ(w.modalResult(), 0) << b->objectName().toStdString();
    }
    EXPECT_TRUE(w.AvailableDevices.empty() && w.Devices_List.empty());
}

TEST(MBusCustom, TheLastTwoColumnsShareTheRoomTheFirstThreeLeave)
{
    master_test::MasterProject project(1001);
    TFMBus_Custom w;
    w.show(); // a hidden grid lays out its client area only when shown
    auto& cols = w.ACG->Columns();
    const int first = cols.Items(0)->Width() + cols.Items(1)->Width() + cols.Items(2)->Width();
    w.ACG->resize(first + 300, 200); // the grid's resize event runs ACGResize
    const int half = (w.ACG->clientWidth() - first - 4) / 2;
    EXPECT_EQ(cols.Items(3)->Width(), half);
    EXPECT_EQ(cols.Items(4)->Width(), half);
    // Without room for 164 pixels more, nothing changes.
    w.ACG->resize(first + 100, 200);
    EXPECT_EQ(cols.Items(3)->Width(), half);
}

TEST(MBusCustom, ImportReadsADescriptionFileIntoTheAvailableDevices)
{
    master_test::MasterProject project(1001);
    TFMBus_Custom w;
    w.Import_Devices_Template(QStringLiteral(VN_TEST_DATA_DIR "/mbus/master/devices.txt"));
    ASSERT_EQ(w.AvailableDevices.size(), 3u);
    EXPECT_EQ(w.AvailableDevices[0].fDescription, QStringLiteral("Heat meter"));
    EXPECT_EQ(w.AvailableDevices[0].MBusVars.size(), 3u);
    EXPECT_THROW(w.Import_Devices_Template(project.dir.file("gone.txt")), platform::UserError);
    EXPECT_EQ(w.AvailableDevices.size(), 3u);
    EXPECT_TRUE(w.Devices_List.empty());
}
