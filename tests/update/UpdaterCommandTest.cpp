#include "update/UpdaterCommand.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace update;

namespace {
const QString kProgram = QStringLiteral("/opt/varnetor");
const QString kMaster = QStringLiteral("/opt/varnetor/MASTER");
const QString kProject = QStringLiteral("/opt/varnetor/PROJECTS/Plant 1");
const Ipv4Address kAddress{{192, 168, 2, 205}};

UpdateChoices choices(bool fw, bool fr, bool pw, bool pr) { return {fw, fr, pw, pr}; }
} // namespace

TEST(UpdaterCommand, DeviceType3FollowsTheExampleLine)
{
    // 192.168.2.205 2007 FW NO PW NO "<MASTER>\sim30115.sim" "<project>\bin\bank1.bin" 0
    const auto c = ownEthernetUpdater(3, kAddress, choices(true, false, true, false), 0, kProgram, kMaster, kProject);
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->program, QStringLiteral("/opt/varnetor/TCP_30115_Update.exe"));
    EXPECT_EQ(c->arguments, QStringList({QStringLiteral("192.168.2.205"), QStringLiteral("2007"), QStringLiteral("FW"),
                                         QStringLiteral("NO"), QStringLiteral("PW"), QStringLiteral("NO"),
                                         QStringLiteral("/opt/varnetor/MASTER/sim30115.sim"),
                                         QStringLiteral("/opt/varnetor/PROJECTS/Plant 1/bin/bank1.bin"),
                                         QStringLiteral("0")}));
}

TEST(UpdaterCommand, OwnUpdatersByDeviceType)
{
    struct Case {
        int deviceType;
        const char* updater;
        const char* firmware;
        bool bankImage;
    };
    const Case cases[] = {
        {3, "TCP_30115_Update.exe", "sim30115.sim", true},   {9, "TCP_30120_Update.exe", "sim30120.sim", true},
        {10, "TCP_30121_Update.exe", "sim30121.sim", false}, {13, "TCP_30124_Update.exe", "sim30124.sim", false},
        {14, "TCP_30125_Update.exe", "sim30125.sim", false}, {15, "TCP_30126_Update.exe", "sim30126.sim", false},
        {16, "TCP_30132_Update.exe", "sim30132.sim", true},  {18, "TCP_30112_Update.exe", "sim30112.sim", true},
        {2016, "TCP_30132_Quendal_Update.exe", "sim30132.sim", true},
    };
    for (const Case& c : cases) {
        const auto cmd = ownEthernetUpdater(c.deviceType, kAddress, choices(false, true, false, true), 17, kProgram,
                                            kMaster, kProject);
        ASSERT_TRUE(cmd.has_value()) << c.deviceType;
        EXPECT_EQ(cmd->program, kProgram + QLatin1Char('/') + QLatin1String(c.updater));
        QStringList expected = {QStringLiteral("192.168.2.205"), QStringLiteral("2007"), QStringLiteral("NO"),
                                QStringLiteral("FR"),            QStringLiteral("NO"),   QStringLiteral("PR"),
                                kMaster + QLatin1Char('/') + QLatin1String(c.firmware)};
        if (c.bankImage)
            expected << kProject + QStringLiteral("/bin/bank1.bin") << QStringLiteral("17");
        else
            expected << kProject + QStringLiteral("/bin");
        EXPECT_EQ(cmd->arguments, expected) << c.deviceType;
    }
}

TEST(UpdaterCommand, CommonUpdaterAndNonModelsHaveNoOwnLine)
{
    for (int dt : {0, 1, 2, 4, 5, 6, 7, 8, 11, 12, 17, 19, 20, 21, 1001, 1002, 1003, 22, -1, 2015})
        EXPECT_FALSE(ownEthernetUpdater(dt, kAddress, {}, 0, kProgram, kMaster, kProject).has_value()) << dt;
    EXPECT_EQ(ethernetTarget(0).kind, UpdaterKind::CommonXml);
    EXPECT_EQ(ethernetTarget(1).kind, UpdaterKind::CommonXml102);
    EXPECT_EQ(ethernetTarget(1003).kind, UpdaterKind::CommonXml);
    EXPECT_EQ(ethernetTarget(5).kind, UpdaterKind::None);
}

TEST(UpdaterCommand, ModelCodesOfTheAddressPrompt)
{
    const std::pair<int, const char*> codes[] = {
        {0, " GX30113"},  {1, " GX30102"},  {2, " GX30114"},  {3, " GX30115"},    {4, " GX30116"},
        {6, " GX30117"},  {7, " GX30118"},  {8, " GX30119"},  {9, " GX30120"},    {10, " GX30121"},
        {11, " GX30122"}, {12, " GX30123"}, {13, " GX30124"}, {14, " GX30125"},   {15, " GX30126"},
        {16, " GX30132"}, {17, " GX30127"}, {18, " GX30112"}, {19, " GX30107"},   {20, " GX30133"},
        {21, " GX30104"}, {1001, " GX30128"}, {1002, " GX30130"}, {1003, " GX30129"}, {2016, " GX30134"},
    };
    for (const auto& [dt, code] : codes)
        EXPECT_EQ(ethernetTarget(dt).modelCode, QLatin1String(code)) << dt;
    EXPECT_TRUE(ethernetTarget(5).modelCode.isEmpty());
}

TEST(UpdaterCommand, SerialLineNamesThePortDeviceAndTheBuiltBankImage)
{
    const UpdaterCommand c =
        serialUpdater(QStringLiteral("/dev/ttyUSB0"), choices(false, false, true, false), kProgram, kMaster, kProject);
    EXPECT_EQ(c.program, QStringLiteral("/opt/varnetor/Ser_30102_Update.exe"));
    EXPECT_EQ(c.arguments, QStringList({QStringLiteral("/dev/ttyUSB0"), QStringLiteral("NO"), QStringLiteral("NO"),
                                        QStringLiteral("PW"), QStringLiteral("NO"),
                                        QStringLiteral("/opt/varnetor/MASTER/sim30102_Ser.sim"),
                                        QStringLiteral("/opt/varnetor/PROJECTS/Plant 1/bin/bank1.bin")}));
    EXPECT_EQ(choiceWords(choices(false, false, false, false)),
              QStringList({QStringLiteral("NO"), QStringLiteral("NO"), QStringLiteral("NO"), QStringLiteral("NO")}));
}
