#include "update/IpAddress.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace update;

TEST(IpAddress, ValidIpSplitsTrimmedPartsAndAcceptsOnlyFourNumbersUpTo255)
{
    struct Case {
        const char* text;
        bool valid;
        const char* parts[4]; // expected outputs; nullptr: left untouched
    };
    const Case cases[] = {
        {"192.168.2.205", true, {"192", "168", "2", "205"}},
        {"  10 . 0 .0.  1 ", true, {"10", "0", "0", "1"}},
        {"0.0.0.0", true, {"0", "0", "0", "0"}},
        {"255.255.255.255", true, {"255", "255", "255", "255"}},
        {"10.0.0.300", false, {"10", "0", "0", "300"}},
        {"10.0.0.", false, {"10", "0", "0", ""}},
        {"10.0.0.1.5", false, {"10", "0", "0", "1.5"}},
        {"a.b.c.d", false, {"a", "b", "c", "d"}},
        {"-1.0.0.1", false, {"-1", "0", "0", "1"}},
        {"$C0.0.0.1", false, {"$C0", "0", "0", "1"}},
        {"10.0.0", false, {nullptr, nullptr, nullptr, nullptr}},
        {"", false, {nullptr, nullptr, nullptr, nullptr}},
        {"192168", false, {nullptr, nullptr, nullptr, nullptr}},
    };
    for (const Case& c : cases) {
        QString p[4] = {QStringLiteral("k1"), QStringLiteral("k2"), QStringLiteral("k3"), QStringLiteral("k4")};
        const QString kept[4] = {p[0], p[1], p[2], p[3]};
        EXPECT_EQ(Valid_IP(QString::fromLatin1(c.text), p[0], p[1], p[2], p[3]), c.valid) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(p[i], c.parts[i] ? QString::fromLatin1(c.parts[i]) : kept[i]) << c.text << " part " << i;
    }
}

TEST(IpAddress, FieldsGiveTheAddressBuiltFromTheirNumbers)
{
    const auto a = parseAddressFields(QStringLiteral(" 192"), QStringLiteral("168 "), QStringLiteral("002"),
                                      QStringLiteral("5"));
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->text(), QStringLiteral("192.168.2.5"));

    const char* bad[] = {"", " ", "256", "1000", "+1", "-0", "0x1", "$1", "1 2", "1e2", "١"};
    for (const char* b : bad)
        EXPECT_FALSE(parseAddressFields(QStringLiteral("1"), QStringLiteral("1"), QString::fromUtf8(b),
                                        QStringLiteral("1"))
                         .has_value())
            << b;
}
