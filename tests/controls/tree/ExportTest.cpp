// Content export: golden HTML, RTF and CSV of a small tree with columns (an escaped text and a
// quoted field; tests/controls/tree/check_exports.py parses them with Python's html.parser and
// csv), and the rules around them: the node filter, the separators and quoting, the RTF
// character coding, the CF_HTML offsets, the clipboard blocks, the custom export's events and
// a cancelled export.
#include "TextTreeSupport.h"
#include "support/TempDir.h"

#include "controls/tree/LazyTreeTransfer.h"
#include "platform/core/FormatSettings.h"
#include "platform/fs/Files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

// The golden tree: three columns, two meters, a child with markup characters and quotes.
struct GoldenTree : TextTree {
    GoldenTree()
        : TextTree(3)
    {
        tree->Header().Columns()[0]->SetText(QStringLiteral("Name"));
        tree->Header().Columns()[1]->SetText(QStringLiteral("Value"));
        tree->Header().Columns()[2]->SetText(QStringLiteral("Note & more"));
        tree->Header().SetMainColumn(0);
        PLazyNode m1 = add(nullptr, {QStringLiteral("Meter 1"), QStringLiteral("12"), QStringLiteral("plain")});
        add(m1, {QStringLiteral("Tariff <1> & \"x\""), QStringLiteral("3;5"), QStringLiteral("say \"hi\"")});
        add(nullptr, {QStringLiteral("Meter 2"), QStringLiteral("7"), QStringLiteral("a,b")});
        tree->FullExpand();
    }
};

// Compares with tests/data/tree/<name>; VN_UPDATE_GOLDEN=1 writes the file instead.
void expectGolden(const QString& name, const QByteArray& bytes)
{
    const QString path = QStringLiteral(VN_TEST_DATA_DIR "/tree/") + name;
    if (qEnvironmentVariableIsSet("VN_UPDATE_GOLDEN")) {
        ASSERT_TRUE(platform::writeWholeFile(path, bytes));
    }
    EXPECT_EQ(bytes, testing_support::dataFile(QStringLiteral("tree/") + name)) << name.toStdString();
}

class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(QLocale::c()); }
};

} // namespace

TEST(Export, GoldenHtmlRtfAndCsvOfATreeWithColumns)
{
    LocaleScope metric(QLocale(QLocale::German, QLocale::Germany));
    GoldenTree t;
    expectGolden(QStringLiteral("export.html"), t->ContentToHTML(tstAll, QStringLiteral("Meters \"all\"")).toUtf8());
    expectGolden(QStringLiteral("export.rtf"), t->ContentToRTF(tstAll));
    QByteArray csv = t->ContentToClipboard(CF_CSV(), tstAll);
    ASSERT_TRUE(csv.endsWith('\0'));
    csv.chop(1);
    expectGolden(QStringLiteral("export.csv"), csv);
}

TEST(Export, HtmlWithoutColumnsHasNoHeaderAndIndentsOnlyDeeperLevels)
{
    TextTree t;
    PLazyNode a = t.add(nullptr, {QStringLiteral("a<b")});
    t.add(a, {QStringLiteral("child")});
    t->FullExpand();
    const QString html = t->ContentToHTML(tstAll);
    EXPECT_FALSE(html.contains(QLatin1String("<tr class=\"header\"")));
    EXPECT_EQ(html.count(QLatin1String(" <tr class=\"default\">")), 2);
    // One indent cell, for the child; the text's markup characters are escaped.
    EXPECT_EQ(html.count(QLatin1String("&nbsp;")), 1);
    EXPECT_TRUE(html.contains(QLatin1String(">a&lt;b</td>")));
    EXPECT_TRUE(html.contains(QLatin1String(" colspan=\"2\"")));
    EXPECT_TRUE(html.endsWith(QLatin1String("</table>")));
}

TEST(Export, SeparatedTextQuotesFieldsThatWouldSplitOrBreakTheLine)
{
    struct Row {
        const char* text;
        const char* written;
    };
    const Row rows[] = {
        {"plain", "plain"},
        {"a;b", "\"a;b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"a,b", "a,b"},
    };
    for (const Row& row : rows) {
        TextTree t(1);
        t.add(nullptr, {QString::fromUtf8(row.text)});
        const QString text = t->ContentToText(tstAll, QStringLiteral(";"));
        EXPECT_EQ(text, QStringLiteral("C0\r\n") + QString::fromUtf8(row.written) + QStringLiteral("\r\n")) << row.text;
    }
    // Without columns the same rule holds, after the level's separators.
    TextTree flat;
    PLazyNode p = flat.add(nullptr, {QStringLiteral("p")});
    flat.add(p, {QStringLiteral("x;y")});
    EXPECT_EQ(flat->ContentToText(tstAll, QStringLiteral(";")), QStringLiteral("p\r\n;\"x;y\"\r\n"));
}

TEST(Export, RtfCodesEveryCharacterAndTheFontAndColourTables)
{
    LocaleScope imperial(QLocale(QLocale::English, QLocale::UnitedStates));
    TextTree t;
    t.add(nullptr, {QStringLiteral("A") + QChar(0xFFFD) + QStringLiteral("\r\nB")});
    const QByteArray rtf = t->ContentToRTF(tstAll);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 DejaVu Sans;}}"));
    EXPECT_TRUE(rtf.contains("{\\colortbl;\\red0\\green0\\blue0;}\\paperw15840\\paperh12240\\margl720"));
    // Letters too are written as \u codes; above 32767 the code is negative; CR goes, LF breaks.
    EXPECT_TRUE(rtf.contains("\\f0\\cf1\\fs16 \\u65\\'3f\\u-3\\'3f{\\par}\\u66\\'3f\\cell\\row\r\n"));
    EXPECT_TRUE(rtf.endsWith("\\pard\\par}"));
    for (char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST(Export, CfHtmlHeaderCountsItsOwnBytes)
{
    const QByteArray empty = TCustomLazyStringTree::WrapInCFHTMLHeader(QByteArray());
    EXPECT_TRUE(empty.startsWith("Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00000301\r\nStartFragment:00000269\r\n"
                                 "EndFragment:00000269\r\n"));
    EXPECT_EQ(empty.size(), 301);
    const QByteArray fragment("<b>\xC3\xA9</b>");
    const QByteArray block = TCustomLazyStringTree::WrapInCFHTMLHeader(fragment);
    EXPECT_EQ(block.mid(269, fragment.size()), fragment);
    EXPECT_TRUE(block.contains("EndHTML:" + QByteArray::number(fragment.size() + 301).rightJustified(8, '0')));
    EXPECT_EQ(block.mid(97, 9), QByteArray("<!DOCTYPE"));
}

TEST(Export, ClipboardBlocksOfEachTextFormat)
{
    TextTree t;
    t.add(nullptr, {QStringLiteral("caf") + QChar(0xE9)});
    const QByteArray ansi = t->ContentToClipboard(CF_TEXT, tstAll);
    EXPECT_EQ(ansi, QByteArray("caf\xE9\r\n", 6) + QByteArray(1, '\0'));
    const QByteArray unicode = t->ContentToClipboard(CF_UNICODETEXT, tstAll);
    EXPECT_EQ(unicode, QByteArray("c\0a\0f\0\xE9\0\r\0\n\0\0\0", 14));
    EXPECT_TRUE(t->ContentToClipboard(CF_RTF(), tstAll).endsWith(QByteArray("}\0", 2)));
    const QByteArray html = t->ContentToClipboard(CF_HTML(), tstAll);
    EXPECT_TRUE(html.startsWith("Version:1.0\r\n"));
    EXPECT_TRUE(html.contains("caf\xC3\xA9"));
    EXPECT_TRUE(t->ContentToClipboard(CF_LAZYTREE(), tstAll).isEmpty());
    // The list separator of the settings separates "CSV".
    platform::TFormatSettings settings = platform::FormatSettings();
    settings.ListSeparator = QLatin1Char(';');
    platform::SetFormatSettings(settings);
    TextTree two(2);
    two.add(nullptr, {QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(two->ContentToClipboard(CF_CSV(), tstAll), QByteArray("C0;C1\r\na;b\r\n", 12) + QByteArray(1, '\0'));
    platform::ResetFormatSettings();
}

TEST(Export, ExportModeFiltersHtmlRtfAndCustomButNotText)
{
    TextTree t;
    PLazyNode a = t.add(nullptr, {QStringLiteral("A")});
    PLazyNode a1 = t.add(a, {QStringLiteral("A1")});
    t.add(a1, {QStringLiteral("A1x")});
    t.add(nullptr, {QStringLiteral("B")});
    t->SetExpanded(a1, true); // A stays collapsed, A1 is expanded
    t->TreeOptions().SetExportMode(emVisibleDueToExpansion);
    const QString html = t->ContentToHTML(tstAll);
    EXPECT_TRUE(html.contains(QLatin1String(">A</td>")));
    EXPECT_FALSE(html.contains(QLatin1String(">A1</td>")));
    // Only the direct parent counts: the grandchild of the collapsed A is exported.
    EXPECT_TRUE(html.contains(QLatin1String(">A1x</td>")));
    EXPECT_FALSE(t->ContentToRTF(tstAll).contains("\\u65\\'3f\\u49\\'3f\\cell"));
    EXPECT_EQ(t->ContentToText(tstAll, QStringLiteral("\t")), QStringLiteral("A\r\n\tA1\r\n\t\tA1x\r\nB\r\n"));

    t->TreeOptions().SetExportMode(emChecked);
    t->SetCheckType(t.find(QStringLiteral("B")), ctCheckBox);
    t->SetCheckState(t.find(QStringLiteral("B")), csCheckedNormal);
    const QString checked = t->ContentToHTML(tstAll);
    EXPECT_TRUE(checked.contains(QLatin1String(">B</td>")));
    EXPECT_FALSE(checked.contains(QLatin1String(">A</td>")));
}

TEST(Export, CustomExportFiresItsEventsInOrderAndACancelStopsTheWalk)
{
    TextTree t(1);
    t->Header().SetOptions(t->Header().Options() + hoVisible);
    t.add(nullptr, {QStringLiteral("A")});
    t.add(nullptr, {QStringLiteral("B")});
    QStringList log;
    t->OnBeforeTreeExport = [&](TBaseLazyTree*, TLTExportType) { log << QStringLiteral("tree"); };
    t->OnAfterTreeExport = [&](TBaseLazyTree*, TLTExportType) { log << QStringLiteral("/tree"); };
    t->OnBeforeHeaderExport = [&](TBaseLazyTree*, TLTExportType) { log << QStringLiteral("header"); };
    t->OnColumnExport = [&](TBaseLazyTree*, TLTExportType, TLazyTreeColumn* c) { log << c->Text(); };
    t->OnNodeExport = [&](TBaseLazyTree* s, TLTExportType type, PLazyNode n, bool&) {
        log << QStringLiteral("%1 %2").arg(static_cast<TLazyStringTree*>(s)->GetText(n, 0)).arg(int(type));
    };
    t->ContentToCustom(tstAll);
    EXPECT_EQ(log.join(QLatin1Char(',')), QStringLiteral("tree,header,C0,A 6,B 6,/tree"));

    // OnBeforeNodeExport refusing a node skips it; cancelling ends the walk where it is.
    t->OnBeforeNodeExport = [](TBaseLazyTree* s, TLTExportType, PLazyNode n, bool& allowed) {
        allowed = static_cast<TLazyStringTree*>(s)->GetText(n, 0) != QLatin1String("A");
    };
    EXPECT_FALSE(t->ContentToHTML(tstAll).contains(QLatin1String(">A</td>")));
    t->OnBeforeNodeExport = [](TBaseLazyTree* s, TLTExportType, PLazyNode, bool&) { s->CancelOperation(); };
    const QString cut = t->ContentToHTML(tstAll);
    EXPECT_EQ(cut.count(QLatin1String(" <tr class=\"default\">")), 1);
    EXPECT_EQ(t->OperationCount(), 0u);
}

TEST(Export, PaintTextFontAndStaticTextReachTheHtmlCell)
{
    TextTree t;
    t.add(nullptr, {QStringLiteral("bold")});
    t.add(nullptr, {QStringLiteral("plain")});
    t->OnPaintText = [](TBaseLazyTree* s, platform::Canvas& canvas, PLazyNode n, TColumnIndex, TVSTTextType) {
        if (static_cast<TLazyStringTree*>(s)->GetText(n, -1) == QLatin1String("bold"))
            canvas.font().font.setBold(true);
    };
    t->OnGetText = [](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType type, QString& text) {
        const QString name = reinterpret_cast<QStringList*>(NodeDataAddress(n))->value(0);
        text = type == ttNormal ? name : QStringLiteral("(s)");
    };
    t->StringTreeOptions().SetStringOptions({toShowStaticText});
    const QString html = t->ContentToHTML(tstAll);
    EXPECT_TRUE(html.contains(QLatin1String(" <td class=\"normalborder\"  style=\"{font-family: 'DejaVu Sans'; font-size: 11px; "
                                            "font-style: normal; font-weight: bold; ")));
    EXPECT_TRUE(html.contains(QLatin1String(" <td class=\"normalborder\"  height=\"18px\" align=left>plain (s)</td>")));
}

namespace {

// Python's csv on a file: its rows, or the reason it could not read them.
QJsonArray pythonCsv(const QString& file, const QStringList& flags, QString& error)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            QStringList{QStringLiteral(VN_SOURCE_DIR "/tests/controls/grid/io/readers/outside_readers.py"),
                        QStringLiteral("csv"), file, QStringLiteral(",")}
                + flags);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = QString::fromUtf8(p.readAllStandardError());
        return QJsonArray();
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

} // namespace

TEST(Export, CsvFileHoldsTheCaptionsAndEveryColumnOfTheTopLevelNodes)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
        GTEST_SKIP() << "/usr/bin/python3 is missing (scripts/setup installs it)";
    testing_support::TempDir dir;
    TextTree t(3);
    t->Header().Columns()[0]->SetText(QStringLiteral("Name, first"));
    t->Header().Columns()[1]->SetText(QStringLiteral("Say \"x\""));
    t->Header().Columns()[2]->SetText(QStringLiteral("Z\u00E4hler"));
    PLazyNode a = t.add(nullptr, {QStringLiteral("a,b"), QStringLiteral("two\r\nlines"), QString()});
    t.add(a, {QStringLiteral("child"), QStringLiteral("not"), QStringLiteral("written")});
    t.add(nullptr, {QStringLiteral("\"q\""), QStringLiteral("\u00E9"), QStringLiteral("x")});
    const QString path = dir.file(QStringLiteral("tree.csv"));
    ASSERT_TRUE(t->SaveToCSVFile(path, true));
    EXPECT_EQ(dir.read(QStringLiteral("tree.csv")),
              QByteArray("\"Name, first\",\"Say \"\"x\"\"\",\"Z\xE4hler\"\r\n"
                         "\"a,b\",\"two\r\nlines\",\" \"\r\n"
                         "\"\"\"q\"\"\",\"\xE9\",\"x\"\r\n"));
    QString error;
    const QJsonArray rows = pythonCsv(path, {QStringLiteral("--cp1252")}, error);
    ASSERT_EQ(rows.size(), 3) << error.toStdString();
    EXPECT_EQ(rows[0].toArray(), QJsonArray({"Name, first", "Say \"x\"", "Z\u00E4hler"}));
    EXPECT_EQ(rows[1].toArray(), QJsonArray({"a,b", "two\r\nlines", " "})); // an empty text as one blank
    EXPECT_EQ(rows[2].toArray(), QJsonArray({"\"q\"", "\u00E9", "x"}));
    // A character beyond Windows-1252: UTF-8 with its mark, every character kept.
    t.texts(t.find(QStringLiteral("a,b")))[2] = QStringLiteral("\u4E2D\U0001F600");
    t->InvalidateNode(t.find(QStringLiteral("a,b")));
    ASSERT_TRUE(t->SaveToCSVFile(path, false));
    EXPECT_TRUE(dir.read(QStringLiteral("tree.csv")).startsWith("\xEF\xBB\xBF\"a,b\""));
    const QJsonArray wide = pythonCsv(path, {}, error);
    ASSERT_EQ(wide.size(), 2) << error.toStdString();
    EXPECT_EQ(wide[0].toArray()[2].toString(), QStringLiteral("\u4E2D\U0001F600"));
}
