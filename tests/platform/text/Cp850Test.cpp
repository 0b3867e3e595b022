#include "platform/text/Text.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <iconv.h>

using namespace platform;

namespace {

// The C library's own reading of one CP850 byte, as UTF-16.
QString iconvDecode(unsigned char byte)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP850");
    if (cd == iconv_t(-1))
        return QStringLiteral("<no iconv>");
    char in[1] = {char(byte)};
    char out[8] = {};
    char* pin = in;
    char* pout = out;
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t r = iconv(cd, &pin, &inLeft, &pout, &outLeft);
    iconv_close(cd);
    if (r == size_t(-1))
        return QStringLiteral("<invalid>");
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(out), qsizetype((sizeof out - outLeft) / 2));
}

} // namespace

TEST(Cp850, EveryByteAgreesWithIconvAndRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const QByteArray one(1, char(b));
        const QString mine = decodeCp850(one);
        ASSERT_EQ(mine.size(), 1);
        EXPECT_EQ(mine, iconvDecode(uchar(b)));
        EXPECT_EQ(encodeCp850(mine), one);
        all.append(char(b));
    }
    EXPECT_EQ(encodeCp850(decodeCp850(all)), all);
}

TEST(Cp850, CharactersOutsideThePageBecomeQuestionMarks)
{
    EXPECT_EQ(encodeCp850(QStringLiteral("Größe €5 ½")), QByteArray("Gr\x94\xE1" "e ?5 \xAB"));
    // The same text through the ANSI page gives other bytes: the two pages differ above 0x7F.
    EXPECT_NE(encodeCp850(QStringLiteral("é")), encodeCp1252(QStringLiteral("é")));
    EXPECT_EQ(decodeCp850(QByteArray("\x82\xC9\xCD")), QStringLiteral("é╔═"));
}
