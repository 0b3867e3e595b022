#include "workspace/DeviceTypes.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>
#include <set>

using workspace::layoutFor;
using workspace::StepButton;
using workspace::StepLayout;

TEST(DeviceTypes, CANopenModelHasNineSteps)
{
    const StepLayout l = layoutFor(8);
    ASSERT_TRUE(l.known);
    EXPECT_EQ(l.stepCount, 9);
    EXPECT_EQ(l.createBinTop, 464);
    EXPECT_EQ(l.clientSize, QSize(694, 616));
    EXPECT_TRUE(l.showOstrel);
    EXPECT_EQ(l.ostrelPos, QPoint(565, 480)); // on the last step label
    EXPECT_EQ(l.separator, QRect(10, 515, 674, 1));
    EXPECT_EQ(l.buttons, (std::vector<StepButton>{{"Btn_SDO_Server_CANopen", 80, 200},
                                                  {"Btn_SDO_Client_CANopen", 80, 244},
                                                  {"Btn_PDO_CANopen", 80, 288},
                                                  {"Btn_CAN_BACnet_SetAccess", 80, 332},
                                                  {"Btn_BACnet_BDT_Access", 80, 376},
                                                  {"Btn_BACnet_Objects_Map", 80, 420},
                                                  {"Btn_CANopen_EDS", 258, 420}}));
}

TEST(DeviceTypes, ModbusTcpMasterModel)
{
    const StepLayout l = layoutFor(3);
    EXPECT_EQ(l.SW_Code, QStringLiteral("GS30115"));
    EXPECT_EQ(l.Window_Title, QStringLiteral("OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m "));
    EXPECT_EQ(l.SW_Desc, QStringLiteral("BACnet / Modbus TCP Master - Converter"));
    EXPECT_EQ(l.buttons, (std::vector<StepButton>{{"Btn_ModTCPM_SetAccess", 80, 200},
                                                  {"Btn_ModTCPM_BACnet_SetAccess", 258, 200},
                                                  {"Btn_BACnet_EDE_File", 80, 244}}));
    EXPECT_EQ(l.profinetMapTextIndex, 1928);
    EXPECT_FALSE(l.showScanButton);
    EXPECT_FALSE(l.showLogo);

    workspace::ScopedWorkspace w(3);
    workspace::setDeviceIdentity();
    EXPECT_EQ(w->SW_Code, l.SW_Code);
    EXPECT_EQ(w->Window_Title, l.Window_Title);
    EXPECT_EQ(w->SW_Desc, l.SW_Desc);
}

TEST(DeviceTypes, FiveStepModels)
{
    for (int type : {3, 4, 11, 12, 15, 1003, 1, 20, 21}) {
        const StepLayout l = layoutFor(type);
        EXPECT_EQ(l.stepCount, 5) << type;
        EXPECT_EQ(l.createBinTop, 288) << type;
        EXPECT_EQ(l.clientSize, QSize(694, 440)) << type;
    }
}

TEST(DeviceTypes, PartnerModelShowsItsLogoInsteadOfTheMakersLabel)
{
    const StepLayout l = layoutFor(2016);
    EXPECT_TRUE(l.Window_Title.startsWith(QLatin1String("Quendal - Varnetor GX30134")));
    EXPECT_EQ(l.SW_Code, QStringLiteral("GX30134"));
    EXPECT_FALSE(l.showOstrel);
    EXPECT_TRUE(l.showLogo);
    EXPECT_EQ(l.logoPos, QPoint(444, 310));
    EXPECT_EQ(l.buttons, layoutFor(16).buttons);
    EXPECT_FALSE(layoutFor(16).showLogo);
}

TEST(DeviceTypes, ModbusMapCaptionAndScanButton)
{
    for (int type : workspace::deviceTypes()) {
        const StepLayout l = layoutFor(type);
        EXPECT_EQ(l.profinetMapTextIndex, type == 1003 ? 1980 : 1928) << type;
        EXPECT_EQ(l.showScanButton, type == 1 || type == 21) << type;
    }
}

TEST(DeviceTypes, EveryModelFillsItsRowsUpToUpdateDevice)
{
    const auto& types = workspace::deviceTypes();
    EXPECT_EQ(types.size(), 25u);
    std::set<QString> codes;
    for (int type : types) {
        const StepLayout l = layoutFor(type);
        ASSERT_TRUE(l.known) << type;
        codes.insert(l.SW_Code);
        EXPECT_TRUE(l.Window_Title.endsWith(QLatin1Char(' ')) && !l.Window_Title.endsWith(QLatin1String("  ")))
            << type;
        EXPECT_TRUE(l.Window_Title.contains(l.SW_Code.mid(2))) << type;
        // Update Device takes the row of the last shown step; every other row above it holds a
        // model button, and model buttons stand only at the two columns.
        EXPECT_EQ(l.createBinTop + 16, workspace::stepLabelTop(l.stepCount)) << type;
        std::set<int> rows;
        for (const StepButton& b : l.buttons) {
            EXPECT_TRUE(b.left == 80 || b.left == 258) << type << ' ' << b.name.toStdString();
            EXPECT_EQ((b.top - 200) % 44, 0) << type << ' ' << b.name.toStdString();
            EXPECT_GE(b.top, 200);
            EXPECT_LT(b.top, l.createBinTop) << type;
            rows.insert(b.top);
        }
        EXPECT_EQ(int(rows.size()), l.stepCount - 3) << type;
        EXPECT_EQ(l.clientSize, QSize(694, l.createBinTop + 152)) << type;
        EXPECT_EQ(l.separator, QRect(10, l.createBinTop + 51, 674, 1)) << type;
        EXPECT_NE(l.showOstrel, l.showLogo) << type;
        if (l.showOstrel) {
            EXPECT_EQ(l.ostrelPos, QPoint(565, l.createBinTop + 16)) << type;
        }
    }
    EXPECT_EQ(codes.size(), types.size());
}

TEST(DeviceTypes, UnknownTypeHasNoLayout)
{
    for (int type : {5, -1, 22, 1000, 1004, 2015, 99999}) {
        const StepLayout l = layoutFor(type);
        EXPECT_FALSE(l.known) << type;
        EXPECT_TRUE(l.SW_Code.isEmpty() && l.Window_Title.isEmpty() && l.SW_Desc.isEmpty()) << type;
        EXPECT_TRUE(l.buttons.empty()) << type;
        EXPECT_EQ(l.stepCount, 0) << type;
        EXPECT_FALSE(l.showOstrel || l.showLogo || l.showScanButton) << type;
        EXPECT_TRUE(l.clientSize.isValid()) << type;
    }
}
