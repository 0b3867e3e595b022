#include "controls/button/FxButton.h"
#include "controls/grid/column/ColumnGrid.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "tables/nmea/window/NmeaDialogs.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using namespace tables::nmea;
using testing_support::dataFile;
using testing_support::FakeMessageBoxes;
using testing_support::TempDir;

TEST(NmeaDialogs, TheGoldenTablesOpenAndSaveBackEqual)
{
    workspace::ScopedWorkspace scoped(14);
    workspace::Default_Texts();
    TempDir dir;
    FakeMessageBoxes boxes;
    scoped->Path_NMEA_Rec_Frames = dir.write(QStringLiteral("NMEA_Rec_Frames.xml"), dataFile(QStringLiteral("tables/NMEA_Rec_Frames.xml")));
    scoped->Path_NMEA_Send_Frames = dir.write(QStringLiteral("NMEA_Send_Frames.xml"), dataFile(QStringLiteral("tables/NMEA_Send_Frames.xml")));
    const platform::ModalDriver previous = platform::setModalDriver([](platform::Form& f) {
        auto& t = static_cast<j1939::TPgnTableDialog&>(f);
        EXPECT_EQ(t.size(), QSize(810, 337));
        EXPECT_EQ(t.grid(0)->RowCount(), 63);
        t.Btn_OK->click();
    });
    TFReceiveNMEA rec;
    TFTransmitNMEA send;
    EXPECT_EQ(rec.windowTitle(), QStringLiteral("Receive NMEA 2000 Frames"));
    EXPECT_EQ(send.grid(0)->Columns().Items(5)->Header(), QStringLiteral("Fast Packet"));
    EXPECT_EQ(rec.showModal(), platform::mrOk);
    EXPECT_EQ(send.showModal(), platform::mrOk);
    platform::setModalDriver(previous);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    EXPECT_EQ(dir.read(QStringLiteral("NMEA_Rec_Frames.xml")), dataFile(QStringLiteral("tables/NMEA_Rec_Frames.xml")));
    EXPECT_EQ(dir.read(QStringLiteral("NMEA_Send_Frames.xml")), dataFile(QStringLiteral("tables/NMEA_Send_Frames.xml")));
}
