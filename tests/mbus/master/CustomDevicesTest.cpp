#include "mbus/master/CustomDevices.h"
#include "mbus/master/TextInput.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace mbus::master;

TEST(CustomDevices, TheFixtureGivesItsDevicesAndVariables)
{
    const std::vector<TDevice_MBus> devices =
        parseDeviceDescriptions(decodeTextInput(testing_support::dataFile("mbus/master/devices.txt")));
    // "Empty one" ends at ";;;" without a variable and is dropped.
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].fDescription, QStringLiteral("Heat meter"));
    EXPECT_EQ(devices[1].fDescription, QStringLiteral("Water"));
    EXPECT_EQ(devices[2].fDescription, QStringLiteral("Last"));

    ASSERT_EQ(devices[0].MBusVars.size(), 3u);
    const TMBusVariable& flow = devices[0].MBusVars[0];
    EXPECT_FALSE(flow.Header_Frame());
    EXPECT_EQ(flow.Frame(), 1);
    EXPECT_EQ(flow.Position(), 19);
    EXPECT_EQ(flow.Dimension(), 4);
    EXPECT_EQ(flow.Position_Data(), 0); // only a header value has one
    EXPECT_FALSE(flow.Customer_Spec());
    EXPECT_TRUE(flow.ReadWrite());
    EXPECT_EQ(flow.Frame_Write(), QStringLiteral("10 FB"));
    EXPECT_EQ(flow.FrameW_Len(), 2);
    EXPECT_EQ(flow.Dev_Instance(), 100);
    EXPECT_EQ(flow.Object_Type(), 2);
    EXPECT_EQ(flow.Object_Inst(), 3);
    EXPECT_EQ(flow.Object_Name(), QStringLiteral("Flow"));
    EXPECT_EQ(flow.Description(), QStringLiteral("Flow rate"));
    EXPECT_EQ(flow.Units(), 62);
    EXPECT_EQ(flow.Post_Ope(), 2);

    const TMBusVariable& state = devices[0].MBusVars[1];
    EXPECT_TRUE(state.Header_Frame());
    EXPECT_EQ(state.Frame(), 0);
    EXPECT_EQ(state.Position(), 0); // the 7 is not taken
    EXPECT_EQ(state.Dimension(), 4);
    EXPECT_EQ(state.Position_Data(), 12);
    EXPECT_TRUE(state.Customer_Spec());
    EXPECT_FALSE(state.ReadWrite());
    EXPECT_TRUE(state.Frame_Write().isEmpty()); // kept only when read/write
    EXPECT_EQ(state.FrameW_Len(), 0);
    EXPECT_EQ(state.Object_Type(), 13);
    EXPECT_EQ(state.Units(), 95);

    // Fields that are not numbers: 1 for the dimension, 0 for the rest; missing fields 0.
    const TMBusVariable& odd = devices[0].MBusVars[2];
    EXPECT_EQ(odd.Frame(), 2);
    EXPECT_EQ(odd.Position(), 0);
    EXPECT_EQ(odd.Dimension(), 1);
    EXPECT_EQ(odd.Position_Data(), 0);
    EXPECT_EQ(odd.Object_Type(), 0);
    EXPECT_TRUE(odd.Object_Name().isEmpty());

    ASSERT_EQ(devices[1].MBusVars.size(), 2u);
    EXPECT_TRUE(devices[1].MBusVars[0].Header_Frame()); // "header" in any letter case
    EXPECT_EQ(devices[1].MBusVars[0].Position(), 0);
    EXPECT_EQ(devices[1].MBusVars[0].Dimension(), 0); // the line ends before it
    const TMBusVariable& water = devices[1].MBusVars[1];
    EXPECT_EQ(water.Frame(), 3);
    EXPECT_EQ(water.Position(), 5);
    EXPECT_EQ(water.Dimension(), 2);
    EXPECT_EQ(water.Position_Data(), 0);
    EXPECT_FALSE(water.ReadWrite());
    EXPECT_EQ(water.FrameW_Len(), 0);

    // The device still open at the end of the file counts.
    ASSERT_EQ(devices[2].MBusVars.size(), 1u);
    EXPECT_EQ(devices[2].MBusVars[0].Frame(), 4);
}

TEST(CustomDevices, FilesWithoutADeviceLineOrWithEmptyDevicesGiveNothing)
{
    for (const char* text : {"", "-1;2;3\n;;;\n", "NOME TEMPLATE = A\n;;;\n-1;2;3\n", "NOME TEMPLATE = A\r\nNOME TEMPLATE = B\r\n",
                             "NOME TEMPLATE\n-1;2\n"})
        EXPECT_TRUE(parseDeviceDescriptions(QString::fromUtf8(text)).empty()) << text;
}
