#include "image/DmxImage.h"
#include "parameters/ParGenFile.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/dmx/DmxTables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tables;
using namespace tables::dmx;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class DmxTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{18};
    TempDir dir;
    TableDescription desc = dmxDefaultsTable();
};

QString result(const CheckResult& r)
{
    return r.ok ? QStringLiteral("ok") : r.message;
}

tf::Rows channels(int n)
{
    tf::Rows rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(tf::dmxRow(QString::number(i % 256), QStringLiteral("ch%1").arg(i + 1)));
    return rows;
}

int channelsIn(const QByteArray& parGen)
{
    parameters::ParGenFile f;
    f.loadBytes(parGen);
    return dmxChannelCount(f);
}

} // namespace

// The golden file holds 24 channels, as a project with 24 DMX channels saves it.
TEST_F(DmxTablesTest, GoldenFileLoadsChecksAndSavesBackUnchanged)
{
    const QByteArray bytes = testing_support::dataFile(QStringLiteral("tables/DMX_Default_Values.xml"));
    ASSERT_FALSE(bytes.isEmpty());
    const LoadResult r = loadTableBytes(desc, bytes, QStringLiteral("DMX_Default_Values.xml"), 24);
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(r.warning, QString());
    EXPECT_EQ(QString::fromUtf8(tableXml(desc, r.model, 18)), QString::fromUtf8(bytes));
    EXPECT_EQ(result(Controllo_dati(desc, r.model, checkDmxRow)), QStringLiteral("ok"));
}

TEST_F(DmxTablesTest, TheChannelCountComesFromTheGeneralParameters)
{
    EXPECT_EQ(dmxChannelCount(parameters::ParGenFile()), 512); // no file
    EXPECT_EQ(channelsIn(tf::parGenXml({})), 512);
    EXPECT_EQ(channelsIn(tf::parGenXml({{"DMX_Num_Channels", "24"}})), 24);
    EXPECT_EQ(channelsIn(tf::parGenXml({{"DMX_Num_Channels", "1"}})), 1);
    // Only a hand-edited file holds these: a DMX universe has 512 channels.
    EXPECT_EQ(channelsIn(tf::parGenXml({{"DMX_Num_Channels", "x"}})), 512);
    EXPECT_EQ(channelsIn(tf::parGenXml({{"DMX_Num_Channels", "0"}})), 512);
    EXPECT_EQ(channelsIn(tf::parGenXml({{"DMX_Num_Channels", "513"}})), 512);
    EXPECT_EQ(channelsIn(tf::parGenXml({{"DMX_Num_Channels", "2000000000"}})), 512);
    EXPECT_EQ(channelsIn("<Par_Gen><DMX_Num_Channels>24"), 512); // damaged
}

// Every channel is a row: all checked and all written, whatever their texts.
TEST_F(DmxTablesTest, EveryChannelIsCheckedAndWritten)
{
    // 24 channels shown of a file of 512: the others are named, and OK would write 24.
    const LoadResult shrunk = loadTableBytes(desc, tf::dmxXml(channels(512)), QStringLiteral("DMX_Default_Values.xml"), 24);
    EXPECT_EQ(shrunk.model.rowCount(0), 24);
    EXPECT_EQ(shrunk.model.sections[0][23], (RowCells{"23", "ch24"}));
    EXPECT_EQ(shrunk.notShown, std::vector<int>{488});
    EXPECT_EQ(shrunk.warning, QStringLiteral("Warning! The file DMX_Default_Values.xml holds 488 rows more than the table "
                                             "shows; they are not shown and OK would not save them."));
    EXPECT_EQ(tableXml(desc, shrunk.model, 18).count("<Row "), 24);

    // 512 channels of a file of 24: the others show "0" and are written too.
    const LoadResult grown = loadTableBytes(desc, tf::dmxXml(channels(24)), QStringLiteral("DMX_Default_Values.xml"), 512);
    EXPECT_EQ(grown.model.sections[0][24], (RowCells{"0", ""}));
    EXPECT_EQ(grown.warning, QString());
    const QByteArray xml = tableXml(desc, grown.model, 18);
    EXPECT_EQ(xml.count("<Row "), 512);
    EXPECT_TRUE(xml.endsWith("  <Row Default_Value=\"0\" Mnemonic=\"\" />\n</DMX_Default_Values>\n<!--SW_VERSION = 1.003-->\n"));

    // A row without attributes loads with the defaults; the load never stops.
    const LoadResult bare = loadTableBytes(desc, "<DMX_Default_Values><Row /><Row Mnemonic=\"m\" /></DMX_Default_Values>",
                                           QStringLiteral("DMX_Default_Values.xml"), 4);
    EXPECT_EQ(bare.error, QString());
    EXPECT_EQ(bare.model.sections[0], (std::vector<RowCells>{{"0", ""}, {"0", "m"}, {"0", ""}, {"0", ""}}));
    EXPECT_FALSE(firstDroppedRow(desc, bare.model));
}

TEST_F(DmxTablesTest, DefaultValuesAreBytes)
{
    struct Case {
        QStringList values;
        const char* message;
    } cases[] = {
        {{"0", "255", "17"}, "ok"},
        {{"0", "256", "17"}, "Error row 2!! Default Value must be between 0 and 255"},
        {{"-1", "255", "17"}, "Error row 1!! Default Value must be between 0 and 255"},
        {{"0", "255", ""}, "Error row 3!! Default Value must be between 0 and 255"},
        {{"0", "1", "abc"}, "Error row 3!! Default Value must be between 0 and 255"},
        {{"0", "256", ""}, "Error row 2!! Default Value must be between 0 and 255"},
    };
    for (const Case& c : cases) {
        TableModel m = TableModel::fresh(desc, 3);
        for (int i = 0; i < 3; ++i)
            m.sections[0][size_t(i)][0] = c.values[i];
        EXPECT_EQ(result(Controllo_dati(desc, m, checkDmxRow)), QString::fromUtf8(c.message)) << c.values.join('|').toStdString();
    }
}

TEST_F(DmxTablesTest, TheImageBuilderReadsWhatTheEditorWrote)
{
    TableModel m = TableModel::fresh(desc, 24);
    m.sections[0][0] = RowCells{"255", "first"};
    m.sections[0][23] = RowCells{"128", "last"};
    ASSERT_TRUE(Controllo_dati(desc, m, checkDmxRow).ok);
    const QString path = dir.file(QStringLiteral("DMX_Default_Values.xml"));
    ASSERT_TRUE(saveTable(desc, m, path, 18, nullptr));
    auto t = std::make_unique<image::DmxDefaults>();
    image::Clear_DMX_Defaults(*t);
    image::Load_DMX_Defaults(*t, path);
    EXPECT_EQ((*t)[0], 255);
    EXPECT_EQ((*t)[1], 0);
    EXPECT_EQ((*t)[23], 128);
    EXPECT_EQ((*t)[24], 0);
}
