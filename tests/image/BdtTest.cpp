#include "ImageFixture.h"
#include "image/Bdt.h"
#include "platform/text/UserError.h"

#include <gtest/gtest.h>

using namespace image;
using image_test::Attrs;
using image_test::Project;
using image_test::Rows;
using testing_support::toHex;

namespace {

Attrs bdtRow(const QString& enable, const QString& ip, const QString& mask, const QString& port)
{
    return {{QStringLiteral("Enable"), enable}, {QStringLiteral("IP_Address"), ip},
            {QStringLiteral("SubNet_Mask"), mask}, {QStringLiteral("Port"), port},
            {QStringLiteral("Mnemonic"), QStringLiteral("peer")}};
}

QByteArray written(const BdtTable& t)
{
    BankBuffer bank(200);
    EXPECT_EQ(Write_BDT(bank, t, 40), 40 + kBdtSize);
    return QByteArray(reinterpret_cast<const char*>(bank.data()) + 40, kBdtSize);
}

} // namespace

TEST(Bdt, RowsBecomeTwelveByteEntries)
{
    Project prj(0);
    prj.bdt({bdtRow("y", "10.0.0.1", "255.255.255.255", "47808"),
             bdtRow("N", "192.168.0.10", "255.255.255.0", "47809"),
             bdtRow("Y", "10.0.0.256", "255.255.0.0", "1"),
             bdtRow("Y", "1.2.3.4", "255.255.255", "x"),
             {{QStringLiteral("IP_Address"), QStringLiteral("1.2.3.4")}}});
    BdtTable t;
    Clear_BDT(t);
    Load_BDT(t, prj.ws().Path_BACnet_BDT);
    const QByteArray b = written(t);
    EXPECT_EQ(toHex(b.mid(0, 12)), QStringLiteral("01 00 C0 BA 01 00 00 0A FF FF FF FF"));
    EXPECT_EQ(toHex(b.mid(12, 12)), QStringLiteral("00 00 C1 BA 0A 00 A8 C0 00 FF FF FF")); // disabled, still filled
    EXPECT_EQ(toHex(b.mid(24, 12)), QStringLiteral("01 00 01 00 00 00 00 00 00 00 FF FF")); // bad address stays 0
    EXPECT_EQ(toHex(b.mid(36, 12)), QStringLiteral("01 00 00 00 04 03 02 01 00 00 00 00")); // bad mask, bad port
    EXPECT_EQ(toHex(b.mid(48, 12)), QStringLiteral("00 00 00 00 04 03 02 01 00 00 00 00")); // attributes missing
    EXPECT_EQ(b.mid(60), QByteArray(60, '\0'));
}

TEST(Bdt, MissingFileLeavesZerosAndTooManyRowsAreRefused)
{
    Project prj(0);
    BdtTable t;
    Clear_BDT(t);
    Load_BDT(t, prj.ws().Path_BACnet_BDT);
    EXPECT_EQ(written(t), QByteArray(kBdtSize, '\0'));

    Rows rows(10, bdtRow("Y", "10.0.0.1", "255.255.255.0", "47808"));
    prj.bdt(rows);
    EXPECT_NO_THROW(Load_BDT(t, prj.ws().Path_BACnet_BDT));
    rows.push_back(rows.back());
    prj.bdt(rows);
    Clear_BDT(t);
    try {
        Load_BDT(t, prj.ws().Path_BACnet_BDT);
        FAIL() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("BACnet_BDT.xml"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("10"))) << e.message().toStdString();
    }
    EXPECT_EQ(written(t), QByteArray(kBdtSize, '\0'));
}
