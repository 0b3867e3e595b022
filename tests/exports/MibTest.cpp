#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include "exports/ExportFixture.h"
#include "exports/Mib.h"
#include "platform/text/UserError.h"
#include "support/QtPrinters.h"

using namespace exports;
using namespace exports_test;

namespace {

QString trapRow(const char* enable, const char* type, const char* description)
{
    QString r = QStringLiteral("<row");
    if (enable)
        r += QStringLiteral(" Enable=\"%1\"").arg(QLatin1String(enable));
    if (type)
        r += QStringLiteral(" Type=\"%1\"").arg(QLatin1String(type));
    if (description)
        r += QStringLiteral(" Description=\"%1\"").arg(QString::fromUtf8(description));
    return r + QStringLiteral("/>");
}
QString trapTable(const QString& read, const QString& write)
{
    return QStringLiteral("<SNMP_Trap><SNMP_Trap_Read>%1</SNMP_Trap_Read><SNMP_Trap_Write>%2</SNMP_Trap_Write></SNMP_Trap>")
        .arg(read, write);
}

// Reads the module as an SMIv2 compiler would, with the fixed text's own departures allowed and
// nothing else:
//   1. NOTIFICATION-TYPE lines carry SYNTAX and MAX-ACCESS (SMIv2 has OBJECTS there), and the
//      macro is used without being imported;
//   2. "enterprises" is imported from the SMIv1 module RFC1155-SMI beside the SMIv2 ones.
// Everything else must hold: one module from "DEFINITIONS ::= BEGIN" to "END", strings closed,
// braces balanced, every OBJECT-TYPE and NOTIFICATION-TYPE complete on its line, every
// registration under a parent defined before it, no two children of one parent with one number,
// every descriptor a lower-case letter followed by letters, digits and single hyphens, at most
// 64 characters, not ending in a hyphen, none defined twice (in any letter case), none a word the
// language reserves (those that begin in lower case are the only ones such a descriptor can spell).
const QStringList kLowerCaseReservedWords = {"read-only",  "read-write", "read-create", "write-only",
                                             "not-accessible", "accessible-for-notify", "not-implemented",
                                             "current",    "deprecated", "obsolete",    "mandatory", "optional"};

void expectSmiV2(const QByteArray& bytes)
{
    const QStringList lines = cp1252Lines(bytes);
    ASSERT_FALSE(lines.isEmpty());
    ASSERT_EQ(lines.first(), QStringLiteral("GATEWAY DEFINITIONS ::= BEGIN"));
    ASSERT_EQ(lines.last(), QStringLiteral("END"));

    // Strings and braces over the whole text.
    const QString text = lines.join(QLatin1Char('\n'));
    bool inString = false;
    int depth = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            inString = !inString;
        else if (!inString && c == QLatin1Char('{'))
            ++depth;
        else if (!inString && c == QLatin1Char('}')) {
            ASSERT_GE(--depth, 0) << "a brace closes what was not opened";
        }
    }
    ASSERT_FALSE(inString) << "a string is not closed";
    ASSERT_EQ(depth, 0);

    // Imports up to the first ";".
    const qsizetype importsEnd = text.indexOf(QLatin1Char(';'));
    const QString imports = text.mid(text.indexOf(QLatin1String("IMPORTS")) + 7, importsEnd - text.indexOf(QLatin1String("IMPORTS")) - 7);
    const QMap<QString, QString> expectedFrom = {
        {QStringLiteral("MODULE-IDENTITY"), QStringLiteral("SNMPv2-SMI")},
        {QStringLiteral("OBJECT-TYPE"), QStringLiteral("SNMPv2-SMI")},
        {QStringLiteral("DisplayString"), QStringLiteral("SNMPv2-TC")},
        {QStringLiteral("TimeStamp"), QStringLiteral("SNMPv2-TC")},
        {QStringLiteral("enterprises"), QStringLiteral("RFC1155-SMI")}, // departure 2
    };
    QSet<QString> imported;
    QStringList pending;
    bool moduleNext = false;
    for (const QString& word : imports.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("FROM")) {
            moduleNext = true;
        } else if (moduleNext) {
            for (const QString& symbol : pending) {
                EXPECT_EQ(expectedFrom.value(symbol), word) << symbol.toStdString() << " from " << word.toStdString();
                imported.insert(symbol);
            }
            pending.clear();
            moduleNext = false;
        } else {
            pending << word;
        }
    }
    EXPECT_TRUE(pending.isEmpty()) << "symbols without FROM";
    EXPECT_EQ(imported.size(), expectedFrom.size());

    static const QRegularExpression identifier(
        QStringLiteral(R"(^\s*([a-z][A-Za-z0-9-]*)\s+OBJECT IDENTIFIER\s*::=\s*\{ ([a-z][A-Za-z0-9-]*) (\d+) \}$)"));
    static const QRegularExpression objectType(QStringLiteral(
        R"re(^(.+?)\s+OBJECT-TYPE SYNTAX (INTEGER|OCTET STRING)\s+MAX-ACCESS (read-only|read-write)\s+STATUS current\s+DESCRIPTION "([^"]*)" ::= \{ ([a-z][A-Za-z0-9-]*) (\d+)\s*\}$)re"));
    static const QRegularExpression notification(QStringLiteral(
        R"re(^([a-z][A-Za-z0-9-]*) NOTIFICATION-TYPE SYNTAX (INTEGER|OCTET STRING) MAX-ACCESS read-only STATUS current DESCRIPTION "([^"]*)" ::= \{ ([a-z][A-Za-z0-9-]*) (\d+) \}$)re"));
    static const QRegularExpression smiName(QStringLiteral("^[a-z][A-Za-z0-9-]*$"));
    QSet<QString> defined{QStringLiteral("enterprises"), QStringLiteral("ostrel")};
    QMap<QString, QSet<int>> children;
    QSet<QString> lowerCase;
    const auto registerUnder = [&](const QString& name, const QString& parent, int number, int line) {
        EXPECT_TRUE(smiName.match(name).hasMatch()) << "line " << line << ": " << name.toStdString();
        EXPECT_LE(name.size(), 64) << "line " << line;
        EXPECT_FALSE(name.contains(QLatin1String("--")) || name.endsWith(QLatin1Char('-'))) << "line " << line;
        EXPECT_FALSE(kLowerCaseReservedWords.contains(name)) << "line " << line << ": " << name.toStdString() << " is reserved";
        if (name != QLatin1String("ostrel")) {
            EXPECT_FALSE(lowerCase.contains(name.toLower())) << "line " << line << ": " << name.toStdString() << " twice";
        }
        lowerCase.insert(name.toLower());
        EXPECT_TRUE(defined.contains(parent)) << "line " << line << ": parent " << parent.toStdString() << " unknown";
        EXPECT_FALSE(children[parent].contains(number)) << "line " << line << ": { " << parent.toStdString() << " " << number << " } twice";
        children[parent].insert(number);
        if (name != QLatin1String("ostrel")) {
            EXPECT_FALSE(defined.contains(name)) << "line " << line << ": " << name.toStdString() << " defined twice";
        }
        defined.insert(name);
    };
    int types = 0, notifications = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& l = lines[i];
        const int n = static_cast<int>(i + 1);
        if (l.contains(QLatin1String("OBJECT-TYPE")) && !l.contains(QLatin1String("IMPORTS")) && !l.trimmed().startsWith(QLatin1String("MODULE-IDENTITY"))) {
            const QRegularExpressionMatch m = objectType.match(l);
            ASSERT_TRUE(m.hasMatch()) << "line " << n << " is no complete OBJECT-TYPE: " << l.toStdString();
            registerUnder(m.captured(1), m.captured(5), m.captured(6).toInt(), n);
            ++types;
        } else if (l.contains(QLatin1String("NOTIFICATION-TYPE"))) { // departure 1
            const QRegularExpressionMatch m = notification.match(l);
            ASSERT_TRUE(m.hasMatch()) << "line " << n << " is no complete NOTIFICATION-TYPE: " << l.toStdString();
            registerUnder(m.captured(1), m.captured(4), m.captured(5).toInt(), n);
            ++notifications;
        } else if (l.contains(QLatin1String("OBJECT IDENTIFIER"))) {
            QString line = l;
            if (line.startsWith(QLatin1String("ostrel")))
                line.replace(QRegularExpression(QStringLiteral("^ostrel\\s+")), QStringLiteral("ostrel "));
            const QRegularExpressionMatch m = identifier.match(line);
            ASSERT_TRUE(m.hasMatch()) << "line " << n << ": " << l.toStdString();
            registerUnder(m.captured(1), m.captured(2), m.captured(3).toInt(), n);
        }
    }
    EXPECT_GE(types, 19);
    EXPECT_EQ(notifications, static_cast<int>(children.value(QStringLiteral("trapsval")).size()));
}

QByteArray writeMib(Project& p)
{
    Write_MIB_File(p.path(QStringLiteral("g.mib")), Read_Trap_Table());
    return p.read(QStringLiteral("g.mib"));
}

} // namespace

TEST(Mib, GoldenFiles)
{
    {
        Project p(17);
        p.put(QStringLiteral("SNMP_Trap.xml"),
              trapTable(trapRow("y", "int", "Temp") + trapRow("N", "INT", "Off") + trapRow("Y", "STRING", "") +
                            trapRow("Y", "INT", "Débit"),
                        trapRow("Y", "INT", "Setpoint") + trapRow("", "INT", "x") + trapRow("Y", nullptr, nullptr)));
        const QByteArray bytes = writeMib(p);
        expectGolden(bytes, QStringLiteral("mib_rows.mib"));
        expectCrLfLines(bytes);
        expectSmiV2(bytes);
        EXPECT_TRUE(bytes.contains("debit OBJECT-TYPE")) << "a valid name";
        EXPECT_TRUE(bytes.contains("DESCRIPTION \"D\xE9" "bit\"")) << "the description as typed, in Windows-1252";
        EXPECT_EQ(workspace::ws().MIB_Read_List, (QStringList{"Temp", "", QString::fromUtf8("Débit")}));
        EXPECT_EQ(workspace::ws().MIB_Write_List, (QStringList{"Setpoint", ""}));
    }
    {
        Project p(17);
        workspace::ws().MIB_Read_List = QStringList{"left over"};
        const QByteArray bytes = writeMib(p);
        expectGolden(bytes, QStringLiteral("mib_no_table.mib"));
        expectSmiV2(bytes);
        EXPECT_TRUE(workspace::ws().MIB_Read_List.isEmpty());
    }
}

TEST(Mib, EntriesAreNumberedOverTheEnabledRows)
{
    Project p(17);
    p.put(QStringLiteral("SNMP_Trap.xml"),
          trapTable(trapRow("Y", "INT", "a") + trapRow("N", "INT", "b") + trapRow(nullptr, "INT", "c") +
                        trapRow("Y", "octet", "d"),
                    trapRow("y", "Int", "w")));
    const MibTable t = Read_Trap_Table();
    ASSERT_EQ(t.read.size(), 2u);
    EXPECT_EQ(t.read[1].description, QStringLiteral("d"));
    EXPECT_FALSE(t.read[1].integer);
    ASSERT_EQ(t.write.size(), 1u);
    EXPECT_TRUE(t.write[0].integer);
    const QStringList l = mibLines(t);
    EXPECT_TRUE(l.contains(QStringLiteral("d OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current "
                                          "DESCRIPTION \"d\" ::= { bufferinval 2 }")));
    EXPECT_TRUE(l.contains(QStringLiteral("trapval2 NOTIFICATION-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS "
                                          "current DESCRIPTION \"d\" ::= { trapsval 2 }")));
    // Written rows have objects but no notifications.
    EXPECT_EQ(l.filter(QStringLiteral("NOTIFICATION-TYPE")).size(), 2);
    EXPECT_TRUE(t.warnings.isEmpty());
}

TEST(Mib, QuotesAndRowsPastTheCapacityAreChangedWithAWarning)
{
    Project p(17);
    QString many;
    for (int i = 1; i <= kMaxMibEntries + 2; ++i)
        many += trapRow("Y", "INT", QStringLiteral("v%1").arg(i).toUtf8().constData());
    p.put(QStringLiteral("SNMP_Trap.xml"),
          trapTable(many, trapRow("Y", "INT", "Say &quot;hi&quot;") + trapRow("N", "INT", "x&quot;")));
    const MibTable t = Read_Trap_Table();
    EXPECT_EQ(t.read.size(), static_cast<size_t>(kMaxMibEntries));
    EXPECT_EQ(t.read.back().description, QStringLiteral("v256"));
    ASSERT_EQ(t.write.size(), 1u);
    EXPECT_EQ(t.write[0].description, QStringLiteral("Say 'hi'"));
    EXPECT_EQ(t.warnings, (QStringList{"Section \"SNMP_Trap_Read\": only the first 256 enabled rows are written.",
                                       "Section \"SNMP_Trap_Write\", row 1: the description is written with ' in place of \".",
                                       "1 descriptions are not valid MIB object names and are written under other "
                                       "names (the descriptions and the object numbers stay): \"Say 'hi'\" as say-hi."}));
    expectSmiV2(encodeTextLines(mibLines(t), platform::LinesEncoding::Cp1252));
}

TEST(Mib, DescriptionsThatAreNoObjectNamesAreWrittenAsValidUniqueNamesWithOneWarning)
{
    struct Case {
        const char* description;
        const char* name;
    } read[] = {
        {"temp", "temp"},                  // valid: kept
        {"Supply temperature", "supply-temperature"},
        {"Débit (m3/h)", "debit-m3-h"},
        {"1st floor", "v-1st-floor"},
        {"--x__y--", "x-y"},
        {"TEMP", "temp-2"},                // taken in another letter case
        {"FlowTemp", "flowTemp"},
        {"HTTPServer", "httpServer"},
        {"data", "data-2"},                // a name of the fixed part
        {"trapval1", "trapval1-2"},        // a notification's name
        {"", "bufferinval11"},
        {"%%%", "bufferinval12"},          // nothing left: the number's name
        {"bufferinval14", "bufferinval14"},
        {"", "bufferinval14-2"},           // its own number's name is taken
    };
    MibTable t;
    for (const Case& c : read)
        t.read.push_back({QString::fromUtf8(c.description), false});
    const QString longName(80, QLatin1Char('a'));
    t.write = {{longName, true}, {longName, true}, {QStringLiteral("temp"), false}};
    const MibNames names = mibObjectNames(t);
    ASSERT_EQ(names.read.size(), std::size(read));
    for (size_t i = 0; i < std::size(read); ++i)
        EXPECT_EQ(names.read[i], QString::fromUtf8(read[i].name)) << read[i].description;
    EXPECT_EQ(names.write[0], QString(64, QLatin1Char('a')));
    EXPECT_EQ(names.write[1], QString(62, QLatin1Char('a')) + QStringLiteral("-2"));
    EXPECT_EQ(names.write[2], QStringLiteral("temp-3"));
    expectSmiV2(encodeTextLines(mibLines(t), platform::LinesEncoding::Cp1252));

    // The numbers and the descriptions stay.
    const QStringList l = mibLines(t);
    EXPECT_TRUE(l.contains(QStringLiteral("supply-temperature OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only "
                                          "STATUS current DESCRIPTION \"Supply temperature\" ::= { bufferinval 2 }")));

    // From the table: one warning names every renamed description.
    Project p(17);
    p.put(QStringLiteral("SNMP_Trap.xml"),
          trapTable(trapRow("Y", "INT", "ok") + trapRow("Y", "INT", "Room 1") + trapRow("Y", "INT", ""),
                    trapRow("Y", "INT", "Room 1")));
    const MibTable fromFile = Read_Trap_Table();
    EXPECT_EQ(fromFile.warnings,
              QStringList(QStringLiteral("2 descriptions are not valid MIB object names and are written under other "
                                         "names (the descriptions and the object numbers stay): \"Room 1\" as "
                                         "room-1, \"Room 1\" as room-1-2.")));
}

TEST(Mib, DescriptionsThatSpellAReservedWordGetTheClashSuffix)
{
    struct Case {
        const char* description;
        const char* name;
    } read[] = {
        {"read only", "read-only-2"}, // would stop a MIB reader from loading the module
        {"read-write", "read-write-2"},
        {"Read create", "read-create-2"},
        {"write only", "write-only-2"},
        {"Not accessible", "not-accessible-2"},
        {"accessible for notify", "accessible-for-notify-2"},
        {"not implemented", "not-implemented-2"},
        {"current", "current-2"},
        {"Deprecated", "deprecated-2"},
        {"OBSOLETE", "obsolete-2"},
        {"mandatory", "mandatory-2"},
        {"optional", "optional-2"},
        {"read only", "read-only-3"},     // the suffix goes on past a name already given
        {"Current state", "current-state"}, // a reserved word inside a name is harmless
        {"Integer", "integer"},             // the language tells case apart: INTEGER is reserved, integer not
        {"Counter32", "counter32"},
    };
    MibTable t;
    for (const Case& c : read)
        t.read.push_back({QString::fromUtf8(c.description), false});
    t.write = {{QStringLiteral("read-write"), false}};
    const MibNames names = mibObjectNames(t);
    ASSERT_EQ(names.read.size(), std::size(read));
    for (size_t i = 0; i < std::size(read); ++i)
        EXPECT_EQ(names.read[i], QString::fromUtf8(read[i].name)) << read[i].description;
    EXPECT_EQ(names.write[0], QStringLiteral("read-write-3"));
    EXPECT_TRUE(names.renamed.contains(QStringLiteral("\"current\" as current-2")));
    expectSmiV2(encodeTextLines(mibLines(t), platform::LinesEncoding::Cp1252));
}

TEST(Mib, TheRequest)
{
    Project p(17);
    testing_support::FakeMessageBoxes boxes;
    testing_support::FakeFileDialogs files;
    p.put(QStringLiteral("SNMP_Trap.xml"), trapTable(trapRow("Y", "INT", "a&quot;b"), {}));

    Create_MIB_File(); // cancelled
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(files.requests()[0].initialFolder, workspace::ws().Project_Dir);
    EXPECT_EQ(files.requests()[0].filter, QStringLiteral("Management Information Base (*.mib)"));
    EXPECT_EQ(files.requests()[0].defaultExtension, QStringLiteral("mib"));
    EXPECT_TRUE(boxes.shown().empty());

    p.put(QStringLiteral("g.mib"), QStringLiteral("previous"));
    files.choose(p.path(QStringLiteral("g.mib")));
    Create_MIB_File(); // No
    EXPECT_EQ(p.read(QStringLiteral("g.mib")), QByteArray("previous"));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].kind, platform::MsgKind::Confirm);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("File already exists. Do you want to overwrite?"));

    boxes.clear();
    files.choose(p.path(QStringLiteral("g.mib")));
    boxes.answer(platform::MsgAnswer::Yes);
    Create_MIB_File();
    EXPECT_TRUE(p.read(QStringLiteral("g.mib")).contains("a-b OBJECT-TYPE"));
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].kind, platform::MsgKind::Information);
    EXPECT_TRUE(boxes.shown()[1].text.contains(QLatin1String("row 1")));
    EXPECT_TRUE(boxes.shown()[1].text.contains(QLatin1String("\"a'b\" as a-b"))) << "one box tells both";
}

TEST(Mib, ADamagedTableStopsTheExport)
{
    Project p(17);
    p.put(QStringLiteral("SNMP_Trap.xml"), QStringLiteral("<SNMP_Trap><SNMP_Trap_Read>"));
    EXPECT_THROW(Read_Trap_Table(), platform::UserError);
}
