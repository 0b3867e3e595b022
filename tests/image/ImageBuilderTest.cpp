#include "ImageFixture.h"
#include "image/ImageBuilder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace image;
using image_test::objectRow;
using image_test::Project;
using testing_support::toHex;

namespace {

// The lines of 16 bytes that hold something, as "offset: bytes"; the size last. A whole image
// of zeros and a few records reads as a short text.
QString sparseHexDump(const QByteArray& b)
{
    QString out;
    for (qsizetype at = 0; at < b.size(); at += 16) {
        const QByteArray line = b.mid(at, 16);
        if (line.count('\0') == line.size())
            continue;
        out += QStringLiteral("%1:").arg(at, 5, 16, QLatin1Char('0')).toUpper();
        for (const char c : line)
            out += QStringLiteral(" %1").arg(uint8_t(c), 2, 16, QLatin1Char('0')).toUpper();
        out += QLatin1Char('\n');
    }
    out += QStringLiteral("size %1\n").arg(b.size());
    return out;
}

void makeReadOnly(const QString& path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

} // namespace

// The whole image of an empty project, byte for byte, against a golden dump: the model
// constants of each device type (protocol code, serial mode, the BBMD table's address) are in
// it, so a wrong constant fails here even though the record's checksum matches its bytes.
TEST(ImageBuilder, EmptyProjectOfEachModbusModelSavesItsGoldenBank)
{
    const struct {
        int32_t type;
        int size;
    } cases[] = {{3, 102400}, {0, 102520}, {2, 102520}, {4, 102400}};
    for (const auto& c : cases) {
        Project prj(c.type);
        const BuildResult built = Build_Bin(prj.st());
        ASSERT_TRUE(built.ok) << built.error.toStdString();
        const SaveResult saved = Save_Bin(prj.st());
        ASSERT_TRUE(saved.ok) << saved.error.toStdString();
        EXPECT_EQ(saved.files, QStringList{prj.dir().file(QStringLiteral("bin/bank1.bin"))});
        const QByteArray file = prj.dir().read(QStringLiteral("bin/bank1.bin"));
        EXPECT_EQ(file.size(), c.size) << c.type;
        EXPECT_EQ(file, prj.bank1()) << c.type;
        const QString golden = QStringLiteral(VN_TEST_DATA_DIR "/image/empty_bank1_type%1.hex").arg(c.type);
        QFile g(golden);
        ASSERT_TRUE(g.open(QIODevice::ReadOnly)) << golden.toStdString();
        EXPECT_EQ(sparseHexDump(file).toStdString(), QString::fromLatin1(g.readAll()).toStdString()) << c.type;
    }
}

TEST(ImageBuilder, ReadOnlyBankFileOrMissingBinFolderIsAnErrorAndNothingIsTouched)
{
    Project prj(3);
    const QString bank = prj.dir().write(QStringLiteral("bin/bank1.bin"), "old image");
    makeReadOnly(bank);
    ASSERT_TRUE(Build_Bin(prj.st()).ok);
    SaveResult saved = Save_Bin(prj.st());
    EXPECT_FALSE(saved.ok);
    EXPECT_TRUE(saved.error.contains(bank)) << saved.error.toStdString();
    EXPECT_TRUE(saved.files.isEmpty());
    EXPECT_EQ(prj.dir().read(QStringLiteral("bin/bank1.bin")), QByteArray("old image"));

    Project noBin(3, false);
    ASSERT_TRUE(Build_Bin(noBin.st()).ok);
    saved = Save_Bin(noBin.st());
    EXPECT_FALSE(saved.ok);
    EXPECT_TRUE(saved.error.contains(noBin.dir().file(QStringLiteral("bin")))) << saved.error.toStdString();
    EXPECT_FALSE(noBin.dir().exists(QStringLiteral("bin")));
}

TEST(ImageBuilder, FailedBuildWritesNoFileAndKeepsTheLastGoodImage)
{
    Project prj(3);
    prj.objects({objectRow("Analog Input", "1")});
    ASSERT_TRUE(Build_Bin(prj.st()).ok);
    const QByteArray good = prj.bank1();
    ASSERT_TRUE(Save_Bin(prj.st()).ok);

    prj.objects({objectRow("Analog Input", "one")});
    const BuildResult built = Build_Bin(prj.st());
    EXPECT_FALSE(built.ok);
    EXPECT_TRUE(built.error.contains(QStringLiteral("ModbusTCPM_BACnet_SetAccess.xml"))) << built.error.toStdString();
    EXPECT_TRUE(built.error.contains(QStringLiteral("Position"))) << built.error.toStdString();
    EXPECT_EQ(prj.bank1(), good);
    const SaveResult saved = Save_Bin(prj.st());
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(prj.dir().read(QStringLiteral("bin/bank1.bin")), good);
}

TEST(ImageBuilder, EveryModelWithAnImageBuildsAndSavesItFromAnEmptyProject)
{
    for (int32_t type : {0, 1, 2, 3, 4, 6, 7, 8, 9, 11, 12, 16, 17, 18, 19, 20, 21, 1001, 1002, 1003, 2016}) {
        Project prj(type);
        const BuildResult built = Build_Bin(prj.st());
        EXPECT_TRUE(built.ok) << type << ": " << built.error.toStdString();
        const SaveResult saved = Save_Bin(prj.st());
        EXPECT_TRUE(saved.ok) << type << ": " << saved.error.toStdString();
        EXPECT_FALSE(saved.files.isEmpty()) << type;
        for (const QString& f : saved.files)
            EXPECT_TRUE(QFile::exists(f)) << f.toStdString();
    }
}

TEST(ImageBuilder, ModelsWithoutAnImageOfThisProgramLeaveTheFolderAlone)
{
    for (int32_t type : {10, 13, 14, 15}) {
        Project prj(type);
        prj.dir().write(QStringLiteral("bin/bank1.bin"), "theirs");
        EXPECT_TRUE(Build_Bin(prj.st()).ok);
        const SaveResult saved = Save_Bin(prj.st());
        EXPECT_TRUE(saved.ok);
        EXPECT_TRUE(saved.files.isEmpty());
        EXPECT_EQ(prj.dir().read(QStringLiteral("bin/bank1.bin")), QByteArray("theirs"));
    }
}

TEST(ImageBuilder, SaveReplacesAnOlderLongerFileWhole)
{
    Project prj(3);
    prj.dir().write(QStringLiteral("bin/bank1.bin"), QByteArray(200000, 'x'));
    ASSERT_TRUE(Build_Bin(prj.st()).ok);
    ASSERT_TRUE(Save_Bin(prj.st()).ok);
    EXPECT_EQ(prj.dir().read(QStringLiteral("bin/bank1.bin")).size(), 102400);
}
