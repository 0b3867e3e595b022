#include "platform/core/Errors.h"
#include "platform/core/StringList.h"

#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

QStringList items(const TStringList& l) { return l.ToStringList(); }

TStringList of(const QStringList& lines)
{
    TStringList l;
    l.AddStrings(lines);
    return l;
}

} // namespace

TEST(StringList, ReadsCommaText)
{
    struct Case {
        QString text;
        QStringList items;
    };
    const Case cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"a b", {"a", "b"}},                       // blanks separate too
        {"  a ,  b  ", {"a", "b"}},                // blanks around items are skipped
        {"\"a b\",c", {"a b", "c"}},               // quotes group
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}}, // doubled quotes are one
        {"\"a,b\"", {"a,b"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},                         // a delimiter at the end adds an empty item
        {",", {"", ""}},
        {"\"\"", {""}},
        {"", {}},
        {"   ", {}},
        {"\"open", {"open"}},                      // unclosed quote: the rest
        {"\"a b\"c", {"a b", "c"}},                // text right after the closing quote
        {"a\tb\r\nc", {"a", "b", "c"}},            // control characters are blanks
        {QString::fromUtf16(u"a,b\0c,d", 7), {"a", "b"}}, // NUL ends the text
        {"x=1,\"y=two words\"", {"x=1", "y=two words"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TStringList l;
        l.Add(QStringLiteral("old"));
        l.SetCommaText(c.text);
        EXPECT_EQ(items(l), c.items);
        // Written back and read again, the same items.
        TStringList again;
        again.SetCommaText(l.CommaText());
        EXPECT_EQ(items(again), c.items);
    }
}

TEST(StringList, WritesCommaText)
{
    struct Case {
        QStringList items;
        QString text;
    };
    const Case cases[] = {
        {{"a", "b"}, "a,b"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"x,y"}, "\"x,y\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"a", "", "b"}, "a,,b"},
        {{""}, "\"\""}, // one empty item needs the quotes
        {{}, ""},
        {{"tab\there"}, "\"tab\there\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(of(c.items).CommaText(), c.text);
    }
    TStringList semi = of({"a b", "c;d"});
    semi.SetDelimiter(QLatin1Char(';'));
    semi.SetQuoteChar(QLatin1Char('\''));
    EXPECT_EQ(semi.DelimitedText(), QStringLiteral("'a b';'c;d'"));
    EXPECT_EQ(semi.CommaText(), QStringLiteral("\"a b\",c;d")); // comma text is always "," and '"'
    EXPECT_EQ(semi.Delimiter(), QLatin1Char(';'));
}

TEST(StringList, SortedListsAndDuplicates)
{
    TStringList l;
    l.SetSorted(true);
    EXPECT_EQ(l.Add(QStringLiteral("pear")), 0);
    EXPECT_EQ(l.Add(QStringLiteral("Apple")), 0);
    EXPECT_EQ(l.Add(QStringLiteral("banana")), 1);
    EXPECT_EQ(items(l), QStringList({"Apple", "banana", "pear"})); // collation, not code order
    EXPECT_EQ(l.Add(QStringLiteral("BANANA")), 1);                 // dupIgnore: the existing one
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l.IndexOf(QStringLiteral("PEAR")), 2);
    EXPECT_EQ(l.IndexOf(QStringLiteral("fig")), -1);
    int at = -1;
    EXPECT_FALSE(l.Find(QStringLiteral("cherry"), at));
    EXPECT_EQ(at, 2);

    l.SetDuplicates(dupError);
    try {
        l.Add(QStringLiteral("apple"));
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("String list does not allow duplicates"));
    }
    l.SetDuplicates(dupAccept);
    TObject marker;
    EXPECT_EQ(l.AddObject(QStringLiteral("banana"), &marker), 1); // before the equal one
    EXPECT_EQ(l.Objects(1), &marker);
    EXPECT_EQ(l.Count(), 4);

    EXPECT_THROW(l.Insert(0, QStringLiteral("x")), EListError);
    EXPECT_THROW(l.SetStrings(0, QStringLiteral("x")), EListError);
    EXPECT_THROW(l.Move(0, 1), EListError);

    l.SetCaseSensitive(true);
    l.SetDuplicates(dupIgnore);
    const int n = l.Count();
    l.Add(QStringLiteral("APPLE")); // differs now
    EXPECT_EQ(l.Count(), n + 1);
    EXPECT_EQ(l.IndexOf(QStringLiteral("APPLE")), l.IndexOf(QStringLiteral("Apple")) + 1); // lower first

    TStringList unsorted = of({"c", "a", "b"});
    unsorted.SetSorted(true);
    EXPECT_EQ(items(unsorted), QStringList({"a", "b", "c"}));
    unsorted.SetSorted(false);
    unsorted.Insert(0, QStringLiteral("z"));
    EXPECT_EQ(items(unsorted), QStringList({"z", "a", "b", "c"}));
    unsorted.CustomSort([](const TStringList& list, int a, int b) {
        return QString::compare(list[b], list[a]); // reverse
    });
    EXPECT_EQ(items(unsorted), QStringList({"z", "c", "b", "a"}));
}

TEST(StringList, IndexesAreChecked)
{
    TStringList l = of({"a", "b"});
    try {
        (void)l.Strings(2);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("List index out of bounds (2)"));
    }
    EXPECT_THROW((void)l.Strings(-1), EListError);
    EXPECT_THROW(l.Delete(5), EListError);
    EXPECT_THROW(l.SetObjects(2, nullptr), EListError);
    EXPECT_THROW(l.Insert(3, QStringLiteral("x")), EListError);
    EXPECT_THROW(l.Exchange(0, 2), EListError);
    l.Insert(2, QStringLiteral("c")); // at the end is fine
    l.Exchange(0, 2);
    EXPECT_EQ(items(l), QStringList({"c", "b", "a"}));
    l.Move(0, 2);
    EXPECT_EQ(items(l), QStringList({"b", "a", "c"}));
    l.Delete(1);
    EXPECT_EQ(items(l), QStringList({"b", "c"}));
}

TEST(StringList, TextNamesValuesAndChangeEvents)
{
    TStringList l;
    int changing = 0, changed = 0;
    l.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &l);
        ++changing;
    };
    l.OnChange = [&](TObject*) { ++changed; };
    l.SetText(QStringLiteral("one\r\ntwo\nthree\rfour\r\n"));
    EXPECT_EQ(items(l), QStringList({"one", "two", "three", "four"}));
    EXPECT_EQ(changing, 1); // one update for the whole text
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(l.Text(), QStringLiteral("one\r\ntwo\r\nthree\r\nfour\r\n"));
    l.Add(QStringLiteral("five"));
    EXPECT_EQ(changed, 2);
    l.BeginUpdate();
    l.Delete(0);
    l.Delete(0);
    EXPECT_EQ(changed, 2);
    l.EndUpdate();
    EXPECT_EQ(changed, 3);

    TStringList kv = of({"Width=100", "Name=a=b", "plain", "=x"});
    EXPECT_EQ(kv.Names(0), QStringLiteral("Width"));
    EXPECT_EQ(kv.ValueFromIndex(1), QStringLiteral("a=b"));
    EXPECT_EQ(kv.Names(2), QString());
    EXPECT_EQ(kv.Names(3), QString()); // an empty name is no name
    EXPECT_EQ(kv.Values(QStringLiteral("width")), QStringLiteral("100"));
    EXPECT_EQ(kv.Values(QStringLiteral("missing")), QString());
    kv.SetValues(QStringLiteral("Width"), QStringLiteral("120"));
    kv.SetValues(QStringLiteral("Height"), QStringLiteral("20"));
    kv.SetValues(QStringLiteral("Name"), QString());
    EXPECT_EQ(items(kv), QStringList({"Width=120", "plain", "=x", "Height=20"}));
}

TEST(StringList, AssignCopyAndFiles)
{
    TObject o;
    TStringList a;
    a.SetSorted(true);
    a.SetDuplicates(dupError);
    a.AddObject(QStringLiteral("b"), &o);
    a.Add(QStringLiteral("a"));
    TStringList b = of({"x"});
    b.Assign(&a);
    EXPECT_EQ(items(b), QStringList({"a", "b"}));
    EXPECT_EQ(b.Objects(1), &o);
    EXPECT_TRUE(b.Sorted());
    EXPECT_EQ(b.Duplicates(), dupError);
    EXPECT_TRUE(b.Equals(a));
    TStringList c(a);
    EXPECT_TRUE(c.Equals(a));
    EXPECT_THROW(a.AddStrings(a), EListError); // into itself: no endless loop; dupError refuses
    EXPECT_EQ(a.Count(), 2);
    a.SetDuplicates(dupAccept);
    a.AddStrings(a);
    EXPECT_EQ(items(a), QStringList({"a", "a", "b", "b"}));

    testing_support::TempDir dir;
    TStringList lines = of({"Ünïcode €", "second"});
    lines.SaveToFile(dir.file(QStringLiteral("ansi.txt")));
    EXPECT_EQ(dir.read(QStringLiteral("ansi.txt")), QByteArray("\xDCn\xEF" "code \x80\r\nsecond\r\n"));
    lines.SaveToFile(dir.file(QStringLiteral("utf8.txt")), LinesEncoding::Utf8Bom);
    TStringList back;
    back.LoadFromFile(dir.file(QStringLiteral("utf8.txt")));
    EXPECT_TRUE(back.Equals(lines));
    back.LoadFromFile(dir.file(QStringLiteral("ansi.txt")));
    EXPECT_TRUE(back.Equals(lines));

    try {
        back.LoadFromFile(dir.file(QStringLiteral("missing.txt")));
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file \"") + dir.file(QStringLiteral("missing.txt")) + QStringLiteral("\".")))
            << e.message().toStdString();
    }
    EXPECT_TRUE(back.Equals(lines)); // untouched
    // A folder in the way: the save fails with a message and leaves nothing behind.
    dir.write(QStringLiteral("sub/keep.txt"), "keep");
    EXPECT_THROW(lines.SaveToFile(dir.file(QStringLiteral("sub"))), Exception);
    EXPECT_EQ(dir.read(QStringLiteral("sub/keep.txt")), QByteArray("keep"));
}
