// HTML and XHTML export: shared CSS classes, merged cells, links, pictures, the header row,
// and outside readers: xmllint takes the XHTML as well-formed, Python's html.parser reads the
// cell texts back.
#include "IoFixture.h"
#include "OutsideReaders.h"
#include "controls/grid/io/Html.h"
#include "support/TempDir.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

using namespace iotest;
using namespace controls::grid::io;
using testing_support::TempDir;

TEST(Html, CellsThatLookAlikeShareAClass)
{
    auto g = plainGrid(3, 1);
    g->SetCells(0, 0, QStringLiteral("a"));
    g->SetCells(1, 0, QStringLiteral("b"));
    g->SetCells(2, 0, QStringLiteral("c"));
    g->SetFontStyles(2, 0, fsBold);
    const QString html = SaveToHTMLString(*g, QString());
    EXPECT_EQ(html.count("<TD class=\"c0\""), 2);
    EXPECT_EQ(html.count("<TD class=\"c1\""), 1);
    EXPECT_EQ(html.count(".c0 {"), 1);
    EXPECT_TRUE(html.contains("font-weight: bold"));
    EXPECT_TRUE(html.startsWith("<style"));
    EXPECT_TRUE(html.contains("<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"0\" WIDTH=\"100%\">"));
}

TEST(Html, MergedBlocksLinksAndTheHeaderRow)
{
    auto g = plainGrid(3, 3);
    g->MergeCells(0, 0, 2, 2);
    g->SetCells(0, 0, QStringLiteral("m"));
    g->SetCells(2, 2, QStringLiteral("http://example.org/a?b=1&c=2"));
    g->SetURLShow(true);
    const QString html = SaveToHTMLString(*g, QString());
    EXPECT_TRUE(html.contains("COLSPAN=\"2\" ROWSPAN=\"2\">m</TD>"));
    EXPECT_EQ(html.count("<TD"), 6); // the block once, the three covered cells not at all
    EXPECT_TRUE(html.contains("<A href=\"http://example.org/a?b=1&amp;c=2\">example.org/a?b=1&amp;c=2</A>"));
    EXPECT_FALSE(html.contains("<TR>\r\n<TD class=\"c0\" WIDTH"));

    auto h = makeGrid(2, 2); // one fixed row and column, exported with SaveFixedCells
    h->HTMLSettings.ColWidths.Add(40);
    h->SetCells(0, 0, QStringLiteral("head"));
    const QString withHeader = SaveToHTMLString(*h, QString());
    EXPECT_TRUE(withHeader.contains("WIDTH=\"40\">head</TD>"));
    h->SaveFixedCells = false;
    EXPECT_FALSE(SaveToHTMLString(*h, QString()).contains("head"));
}

TEST(Html, PicturesGoToAnImagesFolderOnlyWhenExported)
{
    TempDir dir;
    auto g = plainGrid(1, 1);
    platform::Bitmap* b = g->CreateBitmap(0, 0, false, haLeft, vaTop);
    *b = platform::Bitmap(4, 4, 0x00FF00);
    g->HTMLSettings.ExportImages = false;
    SaveToHTML(*g, dir.file("no.html"));
    EXPECT_FALSE(QDir(dir.file("images")).exists());
    g->HTMLSettings.ExportImages = true;
    SaveToHTML(*g, dir.file("yes.html"));
    EXPECT_TRUE(QFile::exists(dir.file("images/img1.jpg")));
    EXPECT_TRUE(dir.read("yes.html").contains("images/img1.jpg\">"));
    // The clipboard's HTML writes no files.
    QDir(dir.file("images")).removeRecursively();
    (void)SaveToHTMLString(*g, dir.path() + "/", false);
    EXPECT_FALSE(QDir(dir.file("images")).exists());
}

TEST(Html, XhtmlIsWellFormedForXmllint)
{
    TempDir dir;
    auto g = plainGrid(4, 5);
    fillRandom(*g, 31);
    g->MergeCells(1, 1, 2, 1);
    g->SetCells(0, 4, QStringLiteral("<b>bold</b> & more"));
    g->HTMLSettings.XHTML = true;
    g->HTMLSettings.Summary = QStringLiteral("a \"quoted\" <summary>");
    bool shown = false;
    HtmlViewer() = [&shown](const QString&) { shown = true; };
    SaveToHTML(*g, dir.file("x.html"), true);
    EXPECT_TRUE(shown);
    QString out;
    EXPECT_EQ(runTool("xmllint", {"--noout", "--nonet", dir.file("x.html")}, &out), 0) << out.toStdString();
    const QByteArray bytes = dir.read("x.html");
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    EXPECT_TRUE(bytes.trimmed().endsWith("</html>"));
    SaveToHTML(*g, dir.file("x16.html"), false, true);
    EXPECT_EQ(runTool("xmllint", {"--noout", "--nonet", dir.file("x16.html")}, &out), 0) << out.toStdString();
}

TEST(Html, PythonsHtmlParserReadsTheCellTexts)
{
    TempDir dir;
    auto g = plainGrid(5, 6);
    fillRandom(*g, 32);
    g->EnableHTML = false; // every text is plain here
    SaveToHTML(*g, dir.file("p.html"));
    bool ok = false;
    const QString out = runPython(
        QStringLiteral("import html.parser, json, sys\n"
                       "class P(html.parser.HTMLParser):\n"
                       "    def __init__(s):\n"
                       "        super().__init__(); s.rows=[]; s.cell=None\n"
                       "    def handle_starttag(s, t, a):\n"
                       "        if t=='tr': s.rows.append([])\n"
                       "        if t=='td': s.cell=''\n"
                       "        if t=='br': s.cell+='\\r'\n"
                       "    def handle_endtag(s, t):\n"
                       "        if t=='td': s.rows[-1].append('' if s.cell=='\\xa0' else s.cell); s.cell=None\n"
                       "    def handle_data(s, d):\n"
                       "        if s.cell is not None: s.cell+=d\n"
                       "p=P(); p.feed(open(sys.argv[1], encoding='utf-8').read()); print(json.dumps(p.rows))\n"),
        {dir.file("p.html")}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 6);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 5; ++c) {
            const QString text = g->Cells(c, r);
            EXPECT_EQ(rows[r].toArray()[c].toString(), text)
                << c << "," << r;
        }
}

TEST(Html, XhtmlWritesTheGridsMarkupWithEachAmpersandEscapedOnce)
{
    SKIP_WITHOUT_OUTSIDE_READERS("lxml");
    TempDir dir;
    auto g = plainGrid(3, 1);
    g->SetCells(0, 0, QStringLiteral("<B>fish & chips")); // not well-formed: written as characters
    g->SetCells(1, 0, QStringLiteral("<b>salt & vinegar</b>")); // well-formed: written as markup
    g->SetCells(2, 0, QStringLiteral("bell\x07 & tab\t"));
    g->HTMLSettings.XHTML = true;
    SaveToHTML(*g, dir.file("x.html"));
    bool ok = false;
    QString error;
    const QJsonArray rows = runReader({"xhtml", dir.file("x.html")}, ok, error).toArray();
    ASSERT_TRUE(ok) << error.toStdString();
    EXPECT_EQ(rows[0].toArray()[0].toString(), "<B>fish & chips");
    EXPECT_EQ(rows[0].toArray()[1].toString(), "salt & vinegar");
    EXPECT_EQ(rows[0].toArray()[2].toString(), "bell\uFFFD & tab\t");
    EXPECT_TRUE(dir.read("x.html").contains("<b>salt &amp; vinegar</b>"));
}

TEST(Html, TheFileDeclaresItsCharacterSetOnce)
{
    TempDir dir;
    auto g = plainGrid(1, 1);
    g->SetCells(0, 0, QStringLiteral("\u00E9"));
    const QByteArray meta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">";
    SaveToHTML(*g, dir.file("h.html"));
    EXPECT_TRUE(dir.read("h.html").startsWith(meta + "\r\n"));
    AppendToHTML(*g, dir.file("h.html"));
    EXPECT_EQ(dir.read("h.html").count(meta), 1);
    // A header file with a head: the declaration goes into it.
    dir.write("head.txt", "<html><head><title>t</title></head><body>");
    g->HTMLSettings.HeaderFile = dir.file("head.txt");
    SaveToHTML(*g, dir.file("h2.html"));
    EXPECT_TRUE(dir.read("h2.html").startsWith("<html><head>\r\n" + meta + "<title>"));
    g->HTMLSettings.HeaderFile.clear();
    g->HTMLSettings.XHTML = true;
    SaveToHTML(*g, dir.file("x.html"), false, true);
    const QByteArray x = dir.read("x.html");
    EXPECT_TRUE(QString::fromUtf16(reinterpret_cast<const char16_t*>(x.constData() + 2), (x.size() - 2) / 2)
                    .contains("<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-16\" />"));
}
