// Every text format of the grid writes one grid of awkward values (quotes, delimiters, TABs,
// each kind of line break, non-ASCII and characters beyond the basic plane, leading zeros, a
// 40,000-character text, empty cells, markup characters, control characters) and reads it back
// twice: with the grid's own reader and with one that owes nothing to the program (Python's
// csv, html5lib, lxml, run by readers/outside_readers.py). Each value must come back exactly,
// or changed only as the README states for that format.
#include "IoFixture.h"
#include "OutsideReaders.h"
#include "controls/grid/io/CellStream.h"
#include "controls/grid/io/Clipboard.h"
#include "controls/grid/io/Csv.h"
#include "controls/grid/io/Html.h"
#include "controls/grid/io/TextCellFile.h"
#include "controls/grid/io/Xml.h"
#include "platform/core/Errors.h"
#include "platform/text/Text.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <functional>

using namespace iotest;
using namespace controls::grid::io;
using testing_support::TempDir;

namespace {

constexpr int kCols = 5;

QString chars(std::initializer_list<char32_t> list)
{
    QString s;
    for (char32_t c : list)
        s += QChar::fromUcs4(c);
    return s;
}

const QStringList& awkwardValues()
{
    static const QStringList values = [] {
        QString longText;
        for (int i = 0; i < 4000; ++i)
            longText += QStringLiteral("0123456789");
        QStringList v{
            // The first cell of every file: U+FEFF would read as a byte-order mark.
            chars({0xFEFF}) + QStringLiteral("first"),
            QStringLiteral("say \"hi\""), QStringLiteral("\"quoted\""), QStringLiteral("\""), QStringLiteral("\"\""),
            QStringLiteral("a,b"), QStringLiteral("a;b"), QStringLiteral("a\tb"), QStringLiteral("\tlead tab"),
            QStringLiteral("one\r\ntwo"), QStringLiteral("one\ntwo"), QStringLiteral("one\rtwo"), QStringLiteral("\r\n"),
            QStringLiteral("end\n"), QStringLiteral("\nstart"), QStringLiteral("a\r\n\r\nb"), QStringLiteral("\"a\"\nb\""),
            QStringLiteral("\u00E9\u00DF\u20AC\u4E2D\u0416"), chars({0x1F600, 0x10348, 0x2A6D6, 0x10FFFD}),
            QStringLiteral("007"), QStringLiteral("0001.50"), longText, QString(), QString(),
            QStringLiteral("a < b & c > d"), QStringLiteral("&amp; &lt; &#65; &nbsp;"), QStringLiteral("<tag x=\"1\">"),
            QStringLiteral("<B>not bold</B>"), chars({1, 2, 8, 0x0B, 0x0C, 0x1B, 0x1F, 0x7F}),
            QStringLiteral("nul") + QChar(0) + QStringLiteral("inside"), chars({0x85, 0x90, 0x9F}), chars({0xA0}),
            chars({0x2028, 0x2029}), chars({0xFFFE, 0xFFFF}), QStringLiteral("  pad  "), QStringLiteral(" "),
            QStringLiteral("~"), QStringLiteral("^"), QStringLiteral("$amp;"), QStringLiteral("x~y^z"),
            QStringLiteral("|"), QStringLiteral("#@*-+&"), QString(), QStringLiteral("last"),
        };
        // The last row ends in empty cells.
        while (v.size() % kCols != kCols - 2)
            v << QStringLiteral("filler");
        v << QString() << QString();
        return v;
    }();
    return values;
}

std::unique_ptr<TExtStringGridInput> awkwardGrid(const std::function<bool(const QString&)>& keep = {})
{
    QStringList values;
    for (const QString& v : awkwardValues())
        values << (keep && !keep(v) ? QString() : v);
    const int rows = int(values.size() + kCols - 1) / kCols;
    auto g = plainGrid(kCols, rows);
    g->EnableHTML = false; // markup in a text is characters here
    for (qsizetype i = 0; i < values.size(); ++i)
        g->SetCells(int(i % kCols), int(i / kCols), values[i]);
    return g;
}

// A text as a test message shows it: control characters as codes, long texts cut.
std::string show(const QString& t)
{
    QString r;
    for (QChar c : t.left(60)) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0) || c.isSurrogate() || c.unicode() >= 0xFFFE)
            r += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            r += c;
    }
    if (t.size() > 60)
        r += QStringLiteral("... (%1 characters)").arg(t.size());
    return "\"" + r.toStdString() + "\"";
}

using Expect = std::function<QString(const QString&)>;

QString same(const QString& v)
{
    return v;
}

// The grid read back against the source grid's values as the format changes them.
void expectGrid(TExtStringGrid& source, TExtStringGrid& back, const Expect& expect, const std::string& what)
{
    ASSERT_GE(back.RowCount(), source.RowCount()) << what;
    ASSERT_GE(back.ColCount(), source.ColCount()) << what;
    int wrong = 0;
    for (int r = 0; r < source.RowCount(); ++r)
        for (int c = 0; c < source.ColCount(); ++c) {
            const QString want = expect(source.Cells(c, r));
            if (back.Cells(c, r) != want && ++wrong <= 5)
                ADD_FAILURE() << what << ": cell " << c << "," << r << " reads back " << show(back.Cells(c, r))
                              << ", expected " << show(want);
        }
    for (int r = source.RowCount(); r < back.RowCount(); ++r)
        for (int c = 0; c < back.ColCount(); ++c)
            EXPECT_EQ(back.Cells(c, r), QString()) << what << ": a row more than written, " << c << "," << r;
}

// An outside reader's rows against the source grid.
void expectRows(TExtStringGrid& source, const QJsonArray& rows, const Expect& expect, const std::string& what)
{
    ASSERT_EQ(rows.size(), source.RowCount()) << what;
    int wrong = 0;
    for (int r = 0; r < source.RowCount(); ++r) {
        const QJsonArray row = rows[r].toArray();
        ASSERT_EQ(row.size(), source.ColCount()) << what << ": fields of row " << r;
        for (int c = 0; c < source.ColCount(); ++c) {
            const QString want = expect(source.Cells(c, r));
            if (row[c].toString() != want && ++wrong <= 5)
                ADD_FAILURE() << what << ": cell " << c << "," << r << " reads " << show(row[c].toString())
                              << ", expected " << show(want);
        }
    }
}

QJsonValue readOutside(const QStringList& args)
{
    bool ok = false;
    QString error;
    const QJsonValue v = runReader(args, ok, error);
    EXPECT_TRUE(ok) << args.join(u' ').toStdString() << ": " << error.toStdString();
    return v;
}

QString firstLine(const QString& t)
{
    qsizetype i = 0;
    while (i < t.size() && t[i] != u'\r' && t[i] != u'\n')
        ++i;
    return t.left(i);
}

int charCount(const QString& t)
{
    return int(t.toUcs4().size());
}

// Characters XML 1.0 has no place for, as the XML and XHTML writers put them: U+FFFD.
QString xmlCharacters(const QString& t)
{
    QString r;
    for (char32_t c : t.toUcs4()) {
        const bool ok = c == 9 || c == 10 || c == 13 || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
                        || c >= 0x10000;
        const char32_t out = ok ? c : 0xFFFD;
        r += QChar::fromUcs4(out);
    }
    return r;
}

QString vtAsLineBreak(QString t)
{
    return t.replace(QChar(11), QStringLiteral("\r\n"));
}

} // namespace

TEST(RoundTrip, CsvKeepsEveryValueWithEveryDelimiterAndQuoting)
{
    SKIP_WITHOUT_OUTSIDE_READERS("csv");
    TempDir dir;
    // Character 11 is read as the older writers' line break: the one stated change.
    const Expect expect = vtAsLineBreak;
    struct Variant {
        QChar delimiter;
        bool alwaysQuotes, quoteEmpty, unicode;
    };
    const Variant variants[] = {
        {QChar(), false, true, false}, // "," written, the delimiter detected on reading
        {QChar(u','), false, false, false}, {QChar(u';'), true, true, true},
        {QChar(u'\t'), false, false, true}, {QChar(u'|'), false, true, false},
    };
    for (const Variant& v : variants) {
        const std::string what = "CSV with delimiter " + QString(v.delimiter.isNull() ? QChar(u'0') : v.delimiter).toStdString()
                                 + (v.alwaysQuotes ? ", AlwaysQuotes" : "") + (v.quoteEmpty ? ", QuoteEmptyCells" : "");
        auto a = awkwardGrid();
        a->Delimiter = v.delimiter;
        a->AlwaysQuotes = v.alwaysQuotes;
        a->QuoteEmptyCells = v.quoteEmpty;
        SaveToCSV(*a, dir.file("t.csv"), v.unicode);
        auto b = plainGrid(1, 1);
        b->Delimiter = v.delimiter;
        LoadFromCSV(*b, dir.file("t.csv"));
        EXPECT_EQ(b->RowCount(), a->RowCount()) << what;
        EXPECT_EQ(b->ColCount(), a->ColCount()) << what;
        expectGrid(*a, *b, expect, what);
        const QString d = v.delimiter.isNull() ? QStringLiteral(",") : QString(v.delimiter);
        expectRows(*a, readOutside({"csv", dir.file("t.csv"), d}).toArray(), expect, what + ", Python's csv");
    }
}

TEST(RoundTrip, JavaCsvKeepsEveryValueButItsOwnMarks)
{
    SKIP_WITHOUT_OUTSIDE_READERS("csv");
    TempDir dir;
    // Every line break reads back as CR LF; a "~" is a line break and a cell "^" an empty one.
    const Expect expect = [](const QString& v) {
        if (v == QLatin1String("^"))
            return QString();
        QString t = v;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("~")).replace(u'\r', u'~').replace(u'\n', u'~');
        return t.replace(u'~', QStringLiteral("\r\n"));
    };
    for (QChar d : {QChar(u','), QChar(u';')}) {
        auto a = awkwardGrid();
        a->JavaCSV = true;
        a->Delimiter = d;
        SaveToCSV(*a, dir.file("j.csv"), false);
        auto b = plainGrid(1, 1);
        b->JavaCSV = true;
        b->Delimiter = d;
        LoadFromCSV(*b, dir.file("j.csv"));
        EXPECT_EQ(b->ColCount(), a->ColCount());
        expectGrid(*a, *b, expect, "JavaCSV");
        expectRows(*a, readOutside({"csv", dir.file("j.csv"), QString(d), "--java"}).toArray(), expect,
                   "JavaCSV, Python's csv");
    }
}

TEST(RoundTrip, OemCsvRefusesACharacterCodePage850Lacks)
{
    SKIP_WITHOUT_OUTSIDE_READERS("csv");
    TempDir dir;
    auto a = awkwardGrid();
    a->OemConvert = true;
    dir.write("oem.csv", "before");
    try {
        SaveToCSV(*a, dir.file("oem.csv"), false);
        ADD_FAILURE() << "a character beyond the code page was written";
    } catch (const platform::EExtGridError& e) {
        EXPECT_EQ(e.message(), "The OEM code page 850 has no character U+FEFF");
    }
    EXPECT_EQ(dir.read("oem.csv"), "before") << "the file stays as it was";
    // What the page holds comes back exactly.
    auto fits = awkwardGrid([](const QString& v) {
        return platform::decodeCp850(platform::encodeCp850(v)) == v;
    });
    fits->OemConvert = true;
    SaveToCSV(*fits, dir.file("oem.csv"), false);
    auto b = plainGrid(1, 1);
    b->OemConvert = true;
    LoadFromCSV(*b, dir.file("oem.csv"));
    expectGrid(*fits, *b, vtAsLineBreak, "CSV in code page 850");
    expectRows(*fits, readOutside({"csv", dir.file("oem.csv"), ",", "--cp850"}).toArray(), vtAsLineBreak,
               "CSV in code page 850, Python's csv");
}

TEST(RoundTrip, FixedWidthKeepsTheFirstLineOfEachValue)
{
    SKIP_WITHOUT_OUTSIDE_READERS("csv");
    TempDir dir;
    auto a = awkwardGrid();
    QList<int> widths;
    SaveToFixed(*a, dir.file("f.txt"), widths);
    ASSERT_EQ(widths.size(), kCols);
    QList<int> positions{1};
    QStringList widthArgs;
    for (int w : widths) {
        positions << positions.last() + w;
        widthArgs << QString::number(w);
    }
    // One line per row: a value is cut at its first line break and padded to its width.
    auto expectIn = [&](int col) {
        return [w = widths[col]](const QString& v) {
            const QString t = firstLine(v);
            return t + QString(w - charCount(t), u' ');
        };
    };
    auto b = plainGrid(1, 1);
    LoadFromFixed(*b, dir.file("f.txt"), positions, -1, false);
    EXPECT_EQ(b->RowCount(), a->RowCount());
    const QJsonArray rows = readOutside(QStringList{"fixed", dir.file("f.txt")} + widthArgs).toArray();
    for (int c = 0; c < kCols; ++c) {
        auto column = [&](TExtStringGrid& g) {
            auto one = plainGrid(1, g.RowCount());
            for (int r = 0; r < g.RowCount(); ++r)
                one->SetCells(0, r, g.Cells(c, r));
            return one;
        };
        auto src = column(*a);
        auto got = column(*b);
        expectGrid(*src, *got, expectIn(c), "fixed width, column " + std::to_string(c));
        QJsonArray outside;
        for (const QJsonValue& row : rows)
            outside.append(QJsonArray{row.toArray()[c]});
        expectRows(*src, outside, expectIn(c), "fixed width, Python, column " + std::to_string(c));
    }
    // Trimmed, the padding goes (and blanks at the ends of a value with it).
    auto trimmed = plainGrid(1, 1);
    LoadFromFixed(*trimmed, dir.file("f.txt"), positions, -1, true);
    expectGrid(*a, *trimmed, [](const QString& v) { return firstLine(v).trimmed(); }, "fixed width, trimmed");
}

TEST(RoundTrip, ColumnAlignedTextShowsTheFirstLineOfEachValue)
{
    SKIP_WITHOUT_OUTSIDE_READERS("csv");
    TempDir dir;
    auto a = awkwardGrid();
    SaveToASCII(*a, dir.file("a.txt"), false);
    // Each column as wide as its longest first line, and one blank after it.
    QStringList widthArgs;
    QList<int> widths;
    for (int c = 0; c < kCols; ++c) {
        int w = 0;
        for (int r = 0; r < a->RowCount(); ++r)
            w = std::max(w, charCount(firstLine(a->Cells(c, r))));
        widths << w + 1;
        widthArgs << QString::number(w + 1);
    }
    const QJsonArray rows = readOutside(QStringList{"fixed", dir.file("a.txt")} + widthArgs).toArray();
    ASSERT_EQ(rows.size(), a->RowCount()) << "one line per row";
    for (int r = 0; r < a->RowCount(); ++r)
        for (int c = 0; c < kCols; ++c) {
            const QString t = firstLine(a->Cells(c, r));
            EXPECT_EQ(rows[r].toArray()[c].toString(), t + QString(widths[c] - charCount(t), u' '))
                << "cell " << c << "," << r << ": " << show(t);
        }
}

TEST(RoundTrip, TextCellFileAndStreamKeepEveryValue)
{
    SKIP_WITHOUT_OUTSIDE_READERS("csv");
    TempDir dir;
    auto a = awkwardGrid();
    for (bool unicode : {false, true}) {
        SaveToFile(*a, dir.file("cells.txt"), unicode);
        auto b = plainGrid(1, 1);
        b->Multilinecells = true;
        LoadFromFile(*b, dir.file("cells.txt"));
        expectGrid(*a, *b, same, unicode ? "text cell file, UTF-16" : "text cell file");
        expectRows(*a, readOutside({"cells", dir.file("cells.txt")}).toArray(), same, "text cell file, Python");
        // Without Multilinecells a text is read up to its first CR.
        auto single = plainGrid(1, 1);
        LoadFromFile(*single, dir.file("cells.txt"));
        expectGrid(*a, *single, [](const QString& v) { return v.left(v.indexOf(u'\r')); },
                   "text cell file without Multilinecells");
    }
    QByteArray stream;
    SaveToStream(*a, stream);
    stream += "after";
    auto b = plainGrid(1, 1);
    b->Multilinecells = true;
    qsizetype pos = 0;
    LoadFromStream(*b, stream, pos);
    EXPECT_EQ(stream.mid(pos), "after");
    expectGrid(*a, *b, same, "text cell stream");
}

TEST(RoundTrip, BinaryCellStreamKeepsEveryValue)
{
    auto a = awkwardGrid();
    auto b = plainGrid(1, 1);
    LoadFromBinStream(*b, SaveToBinStream(*a));
    expectGrid(*a, *b, same, "binary cell stream");
}

TEST(RoundTrip, HtmlDeclaresItsEncodingAndKeepsEveryValueButNul)
{
    SKIP_WITHOUT_OUTSIDE_READERS("html5lib");
    TempDir dir;
    // A NUL has no place in HTML (parsers drop it): it is written as U+FFFD. An empty cell is
    // written as one no-break space, so a cell holding just that reads back empty.
    const Expect expect = [](const QString& v) {
        if (v == QString(QChar(0xA0)))
            return QString();
        return QString(v).replace(QChar(0), QChar(QChar::ReplacementCharacter));
    };
    for (bool unicode : {false, true}) {
        auto a = awkwardGrid();
        SaveToHTML(*a, dir.file("t.html"), false, unicode);
        const QJsonObject result = readOutside({"html", dir.file("t.html")}).toObject();
        EXPECT_EQ(result["encoding"].toString(), unicode ? "utf-16le" : "utf-8");
        expectRows(*a, result["rows"].toArray(), expect, unicode ? "HTML in UTF-16, html5lib" : "HTML, html5lib");
    }
}

TEST(RoundTrip, XhtmlIsWellFormedAndKeepsWhatXmlCanHold)
{
    SKIP_WITHOUT_OUTSIDE_READERS("lxml", "html5lib");
    TempDir dir;
    const Expect expect = [](const QString& v) { return v == QString(QChar(0xA0)) ? QString() : xmlCharacters(v); };
    for (bool unicode : {false, true}) {
        auto a = awkwardGrid();
        a->HTMLSettings.XHTML = true;
        SaveToHTML(*a, dir.file("t.xhtml"), false, unicode);
        expectRows(*a, readOutside({"xhtml", dir.file("t.xhtml")}).toArray(), expect, "XHTML, lxml");
        const QJsonObject html = readOutside({"html", dir.file("t.xhtml")}).toObject();
        EXPECT_EQ(html["encoding"].toString(), unicode ? "utf-16le" : "utf-8");
        expectRows(*a, html["rows"].toArray(), expect, "XHTML, html5lib");
    }
}

TEST(RoundTrip, XmlKeepsWhatXmlCanHold)
{
    SKIP_WITHOUT_OUTSIDE_READERS("lxml");
    TempDir dir;
    // Characters XML cannot hold become U+FFFD; the grid's own coding reads "$amp;" as "&" and,
    // with QuoteEmptyCells, a text of two double quotes as an empty one.
    const Expect expect = [](const QString& v) {
        QString t = xmlCharacters(v).replace(QLatin1String("$amp;"), QLatin1String("&"));
        return t == QLatin1String("\"\"") ? QString() : t;
    };
    for (const char* encoding : {"ISO-8859-1", "UTF-8", "UTF-16"}) {
        auto a = awkwardGrid();
        a->XMLEncoding = QString::fromLatin1(encoding);
        SaveToXML(*a, dir.file("t.xml"), "GRID", "ROW", nullptr, true);
        auto b = plainGrid(1, 1);
        LoadFromXML(*b, dir.file("t.xml"));
        EXPECT_EQ(b->RowCount(), a->RowCount()) << encoding;
        expectGrid(*a, *b, expect, std::string("XML in ") + encoding);
        expectRows(*a, readOutside({"xml", dir.file("t.xml"), "--quote-empty"}).toArray(), expect,
                   std::string("XML in ") + encoding + ", lxml");
    }
}

TEST(RoundTrip, ClipboardTextKeepsEveryValue)
{
    SKIP_WITHOUT_OUTSIDE_READERS("csv");
    TempDir dir;
    // Line breaks inside a cell travel as LF, as spreadsheets exchange them; character 11 is
    // read as CR LF (spreadsheets' mark of a line break).
    const Expect expect = [](const QString& v) {
        QString t = v;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        return vtAsLineBreak(t);
    };
    auto a = awkwardGrid();
    CopyToClipBoard(*a);
    const QString text = platform::clipboardData().text();
    // Pasted over old texts: an empty cell empties its target too.
    auto oldTexts = [&](int cols, int rows) {
        auto g = plainGrid(cols, rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                g->SetCells(c, r, QStringLiteral("old"));
        return g;
    };
    auto b = oldTexts(1, 1);
    b->setOptions(b->options() | platform::goEditing);
    PasteFromClipboard(*b);
    EXPECT_EQ(b->RowCount(), a->RowCount()) << "the copied rows and no more";
    EXPECT_EQ(b->ColCount(), a->ColCount());
    expectGrid(*a, *b, expect, "clipboard text");
    b = oldTexts(a->ColCount(), a->RowCount());
    b->setOptions(b->options() | platform::goEditing);
    PasteFromClipboard(*b);
    expectGrid(*a, *b, expect, "clipboard text over old texts");
    auto c = oldTexts(a->ColCount(), a->RowCount());
    SetSelectionAsText(*c, text);
    expectGrid(*a, *c, expect, "SetSelectionAsText");
    dir.write("clip.txt", "\xEF\xBB\xBF" + text.toUtf8()); // with a mark: the text's own U+FEFF stays
    expectRows(*a, readOutside({"tsv", dir.file("clip.txt")}).toArray(), expect, "clipboard text, Python's csv");
}
