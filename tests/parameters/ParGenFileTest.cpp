#include "parameters/ParGenFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using parameters::ParGenFile;
using testing_support::TempDir;

TEST(ParGenFile, ReadsTheFirstElementOfANameUnderParGen)
{
    ParGenFile f;
    ASSERT_EQ(f.loadBytes("<Par_Gen><BACnet_PORT>47809</BACnet_PORT><E></E><BACnet_PORT>1</BACnet_PORT>"
                          "<F> 1</F><G>1</G><H>$10</H><I>12x</I></Par_Gen><!--SW_VERSION = 1.405-->"),
              ParGenFile::Status::Loaded);
    EXPECT_TRUE(f.hasRoot());
    EXPECT_EQ(f.keyText(QStringLiteral("BACnet_PORT")), QStringLiteral("47809"));
    EXPECT_EQ(f.keyText(QStringLiteral("E")), QString());
    EXPECT_EQ(f.keyText(QStringLiteral("Missing")), std::nullopt);
    EXPECT_EQ(f.keyText(QStringLiteral("bacnet_port")), std::nullopt);
    EXPECT_EQ(f.keyTextOr(QStringLiteral("Missing"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(f.keyText(QStringLiteral("F")), QStringLiteral(" 1")); // text is not trimmed
    EXPECT_FALSE(f.keyFlag(QStringLiteral("F")));
    EXPECT_TRUE(f.keyFlag(QStringLiteral("G")));
    EXPECT_FALSE(f.keyFlag(QStringLiteral("E")));
    EXPECT_EQ(f.keyInt(QStringLiteral("H"), -1), 16);
    EXPECT_EQ(f.keyInt(QStringLiteral("I"), -1), -1);
    EXPECT_EQ(f.keyInt(QStringLiteral("E"), 7), 7);
    EXPECT_EQ(f.keyInt(QStringLiteral("Missing"), 7), 7);
}

TEST(ParGenFile, FindsParGenBehindDeclarationAndComments)
{
    for (const char* text : {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><Par_Gen><K>v</K></Par_Gen>",
                             "<!-- saved by hand --><Par_Gen><K>v</K></Par_Gen>",
                             "<?xml version=\"1.0\"?>\n<!--a-->\n<?pi x?>\n<Par_Gen>\n <K>v</K>\n</Par_Gen>\n"}) {
        SCOPED_TRACE(text);
        ParGenFile f;
        ASSERT_EQ(f.loadBytes(text), ParGenFile::Status::Loaded);
        EXPECT_EQ(f.keyText(QStringLiteral("K")), QStringLiteral("v"));
    }
}

TEST(ParGenFile, TheRootIsTheFirstElementWhateverItsName)
{
    ParGenFile f;
    ASSERT_EQ(f.loadBytes("<!--c--><Other><K>v</K></Other>"), ParGenFile::Status::Loaded);
    EXPECT_TRUE(f.hasRoot());
    EXPECT_EQ(f.keyText(QStringLiteral("K")), QStringLiteral("v"));
    ASSERT_TRUE(f.setKeyText(QStringLiteral("K"), QStringLiteral("x")));
    EXPECT_EQ(f.document().toBytes(), QByteArray("<!--c--><Other><K>x</K></Other>"));
}

TEST(ParGenFile, NoRootOrDamagedOrMissingFileReadsAsAllKeysMissing)
{
    TempDir dir;
    ParGenFile f;
    // A document without an element is not a file of keys at all.
    EXPECT_EQ(f.loadBytes("<?xml version=\"1.0\"?><!--only a comment-->"), ParGenFile::Status::Damaged);
    EXPECT_FALSE(f.hasRoot());
    EXPECT_EQ(f.keyText(QStringLiteral("K")), std::nullopt);
    EXPECT_FALSE(f.setKeyText(QStringLiteral("K"), QStringLiteral("x")));

    // A damaged file replaces whatever was loaded before: nothing of it survives.
    ASSERT_EQ(f.loadBytes("<Par_Gen><K>v</K></Par_Gen>"), ParGenFile::Status::Loaded);
    const QString damaged = dir.write(QStringLiteral("ParGen.xml"), "<Par_Gen><K>v</K>");
    QString error;
    EXPECT_EQ(f.load(damaged, &error), ParGenFile::Status::Damaged);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(f.keyText(QStringLiteral("K")), std::nullopt);

    ASSERT_EQ(f.loadBytes("<Par_Gen><K>v</K></Par_Gen>"), ParGenFile::Status::Loaded);
    EXPECT_EQ(f.load(dir.file(QStringLiteral("none.xml"))), ParGenFile::Status::NoFile);
    EXPECT_EQ(f.keyText(QStringLiteral("K")), std::nullopt);
    EXPECT_EQ(f.load(QString()), ParGenFile::Status::NoFile);
}

TEST(ParGenFile, RewritesOneKeyKeepingEverythingElse)
{
    TempDir dir;
    const QString path = dir.write(QStringLiteral("ParGen.xml"),
                                   "<Par_Gen><PROFINET_PORT>34964</PROFINET_PORT><PROFINET_NB_OUT>1439</PROFINET_NB_OUT>"
                                   "<X>1</X></Par_Gen><!--SW_VERSION = 1.001-->");
    ParGenFile f;
    ASSERT_EQ(f.load(path), ParGenFile::Status::Loaded);
    ASSERT_TRUE(f.setKeyText(QStringLiteral("PROFINET_NB_OUT"), QStringLiteral("120")));
    ASSERT_TRUE(f.setKeyText(QStringLiteral("New"), QStringLiteral("n")));
    ASSERT_TRUE(f.save(path));
    EXPECT_EQ(dir.read(QStringLiteral("ParGen.xml")),
              QByteArray("<Par_Gen><PROFINET_PORT>34964</PROFINET_PORT><PROFINET_NB_OUT>120</PROFINET_NB_OUT>"
                         "<X>1</X><New>n</New></Par_Gen><!--SW_VERSION = 1.001-->"));
}

// A file saved by hand in ISO-8859-1 with its declaration: read in that encoding, written back
// in it, so "café" stays "café" through any number of saves.
TEST(ParGenFile, IsoLatin1FileRoundTripsInItsOwnEncoding)
{
    TempDir dir;
    const QByteArray file = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                            "<Par_Gen><BACnet_Name_Station>caf\xE9</BACnet_Name_Station></Par_Gen>";
    const QString path = dir.write(QStringLiteral("ParGen.xml"), file);
    for (int save = 0; save < 2; ++save) {
        ParGenFile f;
        ASSERT_EQ(f.load(path), ParGenFile::Status::Loaded);
        EXPECT_EQ(f.keyText(QStringLiteral("BACnet_Name_Station")), QStringLiteral("caf\u00E9")) << save;
        ASSERT_TRUE(f.setKeyText(QStringLiteral("BACnet_PORT"), QStringLiteral("47808")));
        ASSERT_TRUE(f.save(path));
        EXPECT_TRUE(dir.read(QStringLiteral("ParGen.xml")).contains("caf\xE9</BACnet_Name_Station>")) << save;
    }
}
