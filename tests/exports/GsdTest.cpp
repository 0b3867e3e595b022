#include <QRegularExpression>
#include <gtest/gtest.h>

#include "exports/ExportFixture.h"
#include "exports/Gsd.h"
#include "platform/text/UserError.h"
#include "support/QtPrinters.h"

using namespace exports;
using namespace exports_test;

namespace {

// Reads the file as a GSD reader does and checks what such a reader relies on: every line is
// empty, a comment, the "#Profibus_DP" marker, a keyword (with "=" and a value or alone) or the
// number line of a module; strings are closed on their line; the modules' lengths add up to
// the input and output lengths announced, and their count to Max_Module and the slots.
void expectReadableGsd(const QByteArray& bytes)
{
    const QStringList lines = cp1252Lines(bytes);
    static const QRegularExpression keyword(QStringLiteral(R"(^[A-Za-z0-9_.]+(\(\d+\))?\s*(=\s*\S.*)?$)"));
    static const QRegularExpression module(
        QStringLiteral(R"(^Module="(DI|DO)  \(PORT(\d+)\)    " 0x(42|82),0x([0-9A-F]{2}),0x00,0x([0-9A-F]{2})$)"));
    QMap<QString, QString> keys;
    int inputBytes = 0, outputBytes = 0, modules = 0, slots = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& l = lines[i];
        ASSERT_EQ(l.count(QLatin1Char('"')) % 2, 0) << "unclosed string in line " << i + 1;
        if (l.isEmpty() || l.startsWith(QLatin1Char(';')) || l == QLatin1String("#Profibus_DP"))
            continue;
        const QRegularExpressionMatch m = module.match(l);
        if (m.hasMatch()) {
            ++modules;
            const int length = m.captured(4).toInt(nullptr, 16) + 1;
            (m.captured(1) == QLatin1String("DI") ? inputBytes : outputBytes) += length;
            EXPECT_EQ(m.captured(3), m.captured(1) == QLatin1String("DI") ? QStringLiteral("42") : QStringLiteral("82"));
            EXPECT_EQ(m.captured(2).toInt(), modules);
            EXPECT_EQ(m.captured(5).toInt(nullptr, 16), modules);
            ASSERT_LT(i + 2, lines.size());
            EXPECT_EQ(lines[i + 1], QString::number(modules)) << "module reference";
            EXPECT_EQ(lines[i + 2], QStringLiteral("EndModule"));
            i += 2;
            continue;
        }
        if (l.startsWith(QLatin1String("Slot(")))
            ++slots;
        ASSERT_TRUE(keyword.match(l).hasMatch() || l.startsWith(QLatin1String("Slot(")) ||
                    l.startsWith(QLatin1String("Text(")) || l.startsWith(QLatin1String("Value(")) ||
                    l.startsWith(QLatin1String("ExtUserPrmData=")) || l.startsWith(QLatin1String("Unit_Diag_Area =")) ||
                    QRegularExpression(QStringLiteral(R"(^(Unsigned8|Unsigned16|Bit\(\d\)) \d+ \d+-\d+$)")).match(l).hasMatch())
            << "line " << i + 1 << ": " << l.toStdString();
        const qsizetype eq = l.indexOf(QLatin1Char('='));
        if (eq > 0)
            keys.insert(l.left(eq).trimmed(), l.mid(eq + 1).trimmed());
    }
    EXPECT_EQ(inputBytes, keys.value(QStringLiteral("Max_Input_Len")).toInt());
    EXPECT_EQ(outputBytes, keys.value(QStringLiteral("Max_Output_Len")).toInt());
    EXPECT_EQ(inputBytes + outputBytes, keys.value(QStringLiteral("Max_Data_Len")).toInt());
    EXPECT_EQ(modules, keys.value(QStringLiteral("Max_Module")).toInt());
    EXPECT_EQ(slots, modules);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^0x[0-9A-F]{4}$")).match(keys.value(QStringLiteral("Ident_Number"))).hasMatch());
}

} // namespace

TEST(Gsd, GoldenFiles)
{
    struct Case {
        int nbIn, nbOut;
        const char* golden;
    } cases[] = {{64, 100, "gsd_100_64.gsd"}, {0, 64, "gsd_64.gsd"}, {10, 0, "gsd_0_10.gsd"}};
    for (const Case& c : cases) {
        Project p(6);
        Write_GSD_File(p.path(QStringLiteral("g.gsd")), c.nbIn, c.nbOut);
        const QByteArray bytes = p.read(QStringLiteral("g.gsd"));
        expectGolden(bytes, QLatin1String(c.golden));
        expectCrLfLines(bytes);
        expectReadableGsd(bytes);
    }
}

TEST(Gsd, ModulesOfByteCounts)
{
    struct Case {
        int nbIn, nbOut;
        QStringList modules;
    };
    const Case cases[] = {
        {64, 100,
         {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01", "Module=\"DI  (PORT2)    \" 0x42,0x23,0x00,0x02",
          "Module=\"DO  (PORT3)    \" 0x82,0x3F,0x00,0x03"}},
        {0, 64, {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01"}},
        {10, 0, {"Module=\"DO  (PORT1)    \" 0x82,0x09,0x00,0x01"}},
        {1, 65, {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01", "Module=\"DI  (PORT2)    \" 0x42,0x00,0x00,0x02",
                 "Module=\"DO  (PORT3)    \" 0x82,0x00,0x00,0x03"}},
        // Counts of 0 or below give no module; they are written as they are.
        {-5, 0, {}},
    };
    for (const Case& c : cases) {
        const QStringList l = gsdLines(c.nbIn, c.nbOut);
        EXPECT_EQ(l.filter(QRegularExpression(QStringLiteral("^Module="))), c.modules) << c.nbIn << "/" << c.nbOut;
    }
    const QStringList negative = gsdLines(-5, 3);
    EXPECT_TRUE(negative.contains(QStringLiteral("Max_Output_Len=-5")));
    EXPECT_TRUE(negative.contains(QStringLiteral("Max_Data_Len=-2")));
    EXPECT_TRUE(negative.contains(QStringLiteral("Max_Module=1")));
}

TEST(Gsd, FileNames)
{
    struct Case {
        const char* chosen;
        const char* written;
    } cases[] = {
        {"/p/Gateway.GSD", "/p/Gateway.GSD"}, {"/p/Gateway", "/p/Gateway.gsd"},   {"/p/a.gsd.txt", "/p/a.gsd.txt.gsd"},
        {"/p/a.gsd", "/p/a.gsd"},             {"/p/a.Gsd.gsd", "/p/a.Gsd.gsd.gsd"}, {"/p/gsd", "/p/gsd.gsd"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gsdFileName(QLatin1String(c.chosen)), QLatin1String(c.written)) << c.chosen;
}

TEST(Gsd, TheRequest)
{
    Project p(6);
    testing_support::FakeMessageBoxes boxes;
    testing_support::FakeFileDialogs files;

    // Without general parameters: the message, no dialog.
    Create_GSD_File();
    EXPECT_EQ(boxes.texts(),
              QStringList{"Error! Please set the Set Communication Parameter before to create the GSD file"});
    EXPECT_TRUE(files.requests().empty());

    p.put(QStringLiteral("ParGen.xml"),
          parGen({{"PROFIBUS_SLAVE_NB_IN", "64"}, {"PROFIBUS_SLAVE_NB_OUT", "100"}}));
    boxes.clear();
    Create_GSD_File(); // cancelled
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(files.requests()[0].initialFolder, workspace::ws().Project_Dir);
    EXPECT_EQ(files.requests()[0].filter, QStringLiteral("Generic Station Description (*.gsd)"));

    files.choose(p.path(QStringLiteral("Gateway")));
    Create_GSD_File();
    EXPECT_EQ(p.read(QStringLiteral("Gateway.gsd")), platform::encodeTextLines(gsdLines(64, 100), platform::LinesEncoding::Cp1252));
    EXPECT_TRUE(boxes.shown().empty());

    p.put(QStringLiteral("Old.gsd"), QStringLiteral("previous"));
    files.choose(p.path(QStringLiteral("Old.gsd")));
    boxes.answer(platform::MsgAnswer::No);
    Create_GSD_File();
    EXPECT_EQ(p.read(QStringLiteral("Old.gsd")), QByteArray("previous"));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].kind, platform::MsgKind::Confirm);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("File already exists! Do you want to overwrite the file?"));

    files.choose(p.path(QStringLiteral("Old.gsd")));
    boxes.answer(platform::MsgAnswer::Yes);
    Create_GSD_File();
    EXPECT_TRUE(p.read(QStringLiteral("Old.gsd")).startsWith(";\r\n;***"));

    // A damaged ParGen.xml ends the request with a message naming it.
    p.put(QStringLiteral("ParGen.xml"), QStringLiteral("<Par_Gen>"));
    try {
        Create_GSD_File();
        ADD_FAILURE() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("ParGen.xml")));
    }
}

TEST(Gsd, ANegativeByteCountIsRefusedNamingItsKey)
{
    Project p(6);
    testing_support::FakeMessageBoxes boxes;
    testing_support::FakeFileDialogs files;
    struct Case {
        const char* in;
        const char* out;
        const char* key;
    } cases[] = {{"-5", "10", "PROFIBUS_SLAVE_NB_IN"}, {"10", "-1", "PROFIBUS_SLAVE_NB_OUT"}};
    for (const Case& c : cases) {
        p.put(QStringLiteral("ParGen.xml"), parGen({{"PROFIBUS_SLAVE_NB_IN", c.in}, {"PROFIBUS_SLAVE_NB_OUT", c.out}}));
        p.put(QStringLiteral("Old.gsd"), QStringLiteral("previous"));
        boxes.clear();
        files.choose(p.path(QStringLiteral("Old.gsd")));
        Create_GSD_File();
        ASSERT_EQ(boxes.shown().size(), 1u) << c.key;
        EXPECT_EQ(boxes.shown()[0].kind, platform::MsgKind::Error);
        EXPECT_TRUE(boxes.shown()[0].text.contains(QLatin1String(c.key))) << boxes.shown()[0].text.toStdString();
        EXPECT_TRUE(boxes.shown()[0].text.contains(QLatin1String("ParGen.xml")));
        EXPECT_TRUE(files.requests().empty()) << "refused before the save dialog";
        EXPECT_EQ(p.read(QStringLiteral("Old.gsd")), QByteArray("previous"));
    }
    // 0 is no module of that direction, as before (the file chosen above is still queued).
    p.put(QStringLiteral("ParGen.xml"), parGen({{"PROFIBUS_SLAVE_NB_IN", "0"}, {"PROFIBUS_SLAVE_NB_OUT", "10"}}));
    boxes.clear();
    boxes.answer(platform::MsgAnswer::Yes);
    Create_GSD_File();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].kind, platform::MsgKind::Confirm);
    EXPECT_EQ(p.read(QStringLiteral("Old.gsd")), platform::encodeTextLines(gsdLines(0, 10), platform::LinesEncoding::Cp1252));
}

TEST(Gsd, AFileThatCannotBeWrittenIsNamed)
{
    Project p(6);
    const QString target = p.path(QStringLiteral("missing/g.gsd"));
    try {
        Write_GSD_File(target, 1, 1);
        ADD_FAILURE() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().contains(target));
    }
}
