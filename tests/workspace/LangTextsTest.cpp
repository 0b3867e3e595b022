#include "workspace/BuiltinTexts.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <random>

using testing_support::TempDir;
using workspace::ScopedWorkspace;

namespace {

class LangTextsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        w->Language_Dir = dir.path();
        workspace::Default_Texts();
    }

    // Reads a language file made of these bytes into the table.
    bool readBytes(const QByteArray& bytes)
    {
        return workspace::Read_Lng_File(dir.write(QStringLiteral("Test.lng"), bytes));
    }

    // The indexes whose text differs from the built-in one.
    std::map<int, QString> changes()
    {
        std::map<int, QString> out;
        const QStringList& builtin = workspace::builtinEnglishTexts();
        for (int i = 0; i < workspace::kLangTextCount; ++i)
            if (w->Lang_Texts[i] != builtin[i])
                out[i] = w->Lang_Texts[i];
        return out;
    }

    TempDir dir;
    ScopedWorkspace w;
};

QByteArray utf16(const QString& s, bool littleEndian)
{
    QByteArray out = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (QChar c : s) {
        const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
        out.append(littleEndian ? lo : hi);
        out.append(littleEndian ? hi : lo);
    }
    return out;
}

} // namespace

TEST_F(LangTextsTest, DefaultTextsFillsTheWholeTable)
{
    w->Lang_Texts = QStringList{QStringLiteral("left over")};
    workspace::Default_Texts();
    ASSERT_EQ(w->Lang_Texts.size(), workspace::kLangTextCount);
    EXPECT_EQ(w->Lang_Texts, workspace::builtinEnglishTexts());
}

TEST_F(LangTextsTest, LineFormat)
{
    const QString pilcrow(QChar(0x00B6));
    const struct {
        QString line;
        std::map<int, QString> expected; // changed entries after reading the one line
    } cases[] = {
        {"STR12 =Hello", {{12, "Hello"}}},
        {"STR12=Hello", {{1, "Hello"}}}, // the character before "=" is never read: here the 2
        {"STR0012 = Hello /#/ a remark", {{12, "Hello"}}},
        {"  \tSTR 12 =   Hello  \t", {{12, "Hello"}}},
        {"STR12 =a = b", {{12, "a = b"}}},
        {"STR12 =" + pilcrow, {{12, ""}}}, // a built-in text can be blanked out
        {"STR12 =" + pilcrow + "  Value: " + pilcrow, {{12, "  Value: "}}},
        {"STR12 =Value " + pilcrow + " rest", {{12, "Value "}}},
        {"STR12 =" + pilcrow + " x /#/ remark", {{12, " x"}}},
        {"STR2399 =Last", {{2399, "Last"}}},
        {"STR0 =First", {{0, "First"}}},
        // Lines that set nothing.
        {"STR12 = /#/ only a remark", {}},
        {"STR12 =", {}},
        {"STR12 =   ", {}},
        {"str12 =Hello", {}},
        {"XSTR12 =Hello", {}},
        {"STR2400 =Hello", {}},
        {"STR-1 =Hello", {}},
        {"STR99999999999 =Hello", {}},
        {"STRab =Hello", {}},
        {"STR =Hello", {}},
        {"STR=Hello", {}},
        {"STR12 Hello", {}},
        {"; STR12 =Hello", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        workspace::Default_Texts();
        ASSERT_TRUE(readBytes(c.line.toUtf8().prepend("\xEF\xBB\xBF")));
        EXPECT_EQ(changes(), c.expected) << c.line.toStdString();
        EXPECT_EQ(w->Lang_Texts.size(), workspace::kLangTextCount);
    }
}

TEST_F(LangTextsTest, LaterLineWinsAndLineEndsOfEveryKind)
{
    ASSERT_TRUE(readBytes("[Heading]\r\nSTR5 =one\r\nSTR6 =two\nSTR7 =three\rSTR5 =four\n\n"));
    EXPECT_EQ(changes(), (std::map<int, QString>{{5, "four"}, {6, "two"}, {7, "three"}}));
}

TEST_F(LangTextsTest, ByteOrderMarkSelectsTheEncoding)
{
    const QString text = QStringLiteral("¶ Größe € ¶");
    const QString line = QStringLiteral("STR20 =") + text + QStringLiteral("\r\nSTR21 =ok\r\n");
    const std::pair<const char*, QByteArray> files[] = {
        {"UTF-8", QByteArray("\xEF\xBB\xBF") + line.toUtf8()},
        {"UTF-16LE", utf16(line, true)},
        {"UTF-16BE", utf16(line, false)},
        // No mark: Windows-1252, where the euro sign is 0x80 and the pilcrow 0xB6.
        {"Windows-1252", QByteArray("STR20 =\xB6 Gr\xF6\xDF" "e \x80 \xB6\r\nSTR21 =ok\r\n")},
    };
    for (const auto& [name, bytes] : files) {
        workspace::Default_Texts();
        ASSERT_TRUE(readBytes(bytes)) << name;
        EXPECT_EQ(changes(), (std::map<int, QString>{{20, QStringLiteral(" Größe € ")}, {21, "ok"}})) << name;
    }
}

TEST_F(LangTextsTest, ReadingBeforeTheTableIsFilledStartsFromTheBuiltInTexts)
{
    w->Lang_Texts.clear();
    ASSERT_TRUE(readBytes("STR3 =Drei"));
    ASSERT_EQ(w->Lang_Texts.size(), workspace::kLangTextCount);
    EXPECT_EQ(changes(), (std::map<int, QString>{{3, "Drei"}}));
}

TEST_F(LangTextsTest, UnreadableOrOversizedFileLeavesTheTableAlone)
{
    EXPECT_FALSE(workspace::Read_Lng_File(dir.file(QStringLiteral("missing.lng"))));
    EXPECT_FALSE(workspace::Read_Lng_File(QString()));
    EXPECT_FALSE(workspace::Read_Lng_File(dir.path())); // a folder
    EXPECT_TRUE(changes().empty());

    // A valid line followed by more than the limit: nothing of the file is taken.
    QByteArray big("STR12 =Hello\r\n");
    big.append(QByteArray(workspace::kMaxLanguageFileBytes, ' '));
    EXPECT_FALSE(readBytes(big));
    EXPECT_TRUE(changes().empty());

    // Exactly at the limit is still read.
    big.resize(workspace::kMaxLanguageFileBytes);
    EXPECT_TRUE(readBytes(big));
    EXPECT_EQ(changes(), (std::map<int, QString>{{12, "Hello"}}));
}

TEST_F(LangTextsTest, BinaryGarbageAroundValidLinesIsSkippedLineByLine)
{
    QByteArray bytes("\x00\x01\x02\xFF\xFE\n", 6);                  // not a byte-order mark at the start
    bytes += "STR12 =Hello\n";
    bytes += QByteArray("STR\x00\x00 =x\n", 10);                      // no index
    bytes += QByteArray("\x1B\x7F\x80\x81\x8D\x8F\x90\x9D\n");         // control and unassigned bytes
    bytes += QByteArray("STR13 =W\x00rld\n", 13);                     // NUL inside the text stays
    ASSERT_TRUE(readBytes(bytes));
    const auto got = changes();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got.at(12), QStringLiteral("Hello"));
    EXPECT_EQ(got.at(13), QString::fromLatin1("W\0rld", 5));
}

TEST_F(LangTextsTest, RandomBytesNeverBreakTheTable)
{
    // Random files, some built from fragments of the format so that the parser's branches are
    // reached, the rest plain noise. The table must keep its 2400 entries, and a text the file
    // set can never span a line break.
    std::mt19937 rng(20240611);
    const char* fragments[] = {"STR", "STR12 =", "=", "/#/", "\xB6", "\xC2\xB6", "\r\n", "\n", "\r", " ",
                               "\t", "$", "-", "0", "2399", "2400", "\xEF\xBB\xBF", "\xFF\xFE", "\x00"};
    int roundsThatSetTexts = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        const int pieces = int(rng() % 200);
        for (int i = 0; i < pieces; ++i) {
            if (round % 3 == 0 || rng() % 2) {
                bytes.append(char(rng() & 0xFF));
            } else {
                const char* f = fragments[rng() % std::size(fragments)];
                bytes.append(f, f[0] ? qsizetype(strlen(f)) : 1);
            }
        }
        // Start some files with each byte-order mark.
        if (round % 5 == 1)
            bytes.prepend("\xFF\xFE");
        else if (round % 5 == 2)
            bytes.prepend("\xFE\xFF");
        else if (round % 5 == 3)
            bytes.prepend("\xEF\xBB\xBF");
        workspace::Default_Texts();
        ASSERT_TRUE(readBytes(bytes)) << "round " << round;
        ASSERT_EQ(w->Lang_Texts.size(), workspace::kLangTextCount) << "round " << round;
        const auto changed = changes();
        roundsThatSetTexts += changed.empty() ? 0 : 1;
        for (const auto& [index, text] : changed) {
            EXPECT_FALSE(text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) << index;
            EXPECT_FALSE(text.contains(QLatin1String("/#/"))) << index;
        }
    }
    EXPECT_GT(roundsThatSetTexts, 20); // the generator does reach the lines that set texts
}

TEST_F(LangTextsTest, LoadLanguageFallsBackToEnglishThenToTheBuiltInTexts)
{
    dir.write(QStringLiteral("Deutsch.lng"), "STR0 =Anfang\n");
    w->Language_Name = QStringLiteral("Deutsch");
    workspace::Load_Language();
    EXPECT_EQ(changes(), (std::map<int, QString>{{0, "Anfang"}}));
    EXPECT_EQ(w->Language_Name, QStringLiteral("Deutsch"));

    // A language switch starts again from the built-in texts.
    dir.write(QStringLiteral("English.lng"), "STR1 =First step\n");
    w->Language_Name = QStringLiteral("Klingon");
    workspace::Load_Language();
    EXPECT_EQ(changes(), (std::map<int, QString>{{1, "First step"}}));
    EXPECT_EQ(w->Language_Name, QStringLiteral("English"));

    // A name that is not a file of the language folder is not followed elsewhere.
    dir.write(QStringLiteral("sub/Evil.lng"), "STR2 =Evil\n");
    w->Language_Name = QStringLiteral("sub/Evil");
    workspace::Load_Language();
    EXPECT_EQ(changes(), (std::map<int, QString>{{1, "First step"}}));
    EXPECT_EQ(w->Language_Name, QStringLiteral("English"));

    QFile::remove(dir.file(QStringLiteral("English.lng")));
    w->Language_Name = QStringLiteral("Klingon");
    workspace::Load_Language();
    EXPECT_TRUE(changes().empty());
    EXPECT_EQ(w->Lang_Texts.size(), workspace::kLangTextCount);
    EXPECT_EQ(w->Language_Name, QStringLiteral("English"));
}

TEST_F(LangTextsTest, APickedLanguageReplacesTheTableOnlyWhenItsFileCanBeRead)
{
    dir.write(QStringLiteral("Deutsch.lng"), "STR0 =Anfang\n");
    dir.write(QStringLiteral("Italiano.lng"), "STR1 =Passo 1\n");
    w->Language_Name = QStringLiteral("Deutsch");
    ASSERT_TRUE(workspace::Try_Load_Language(QStringLiteral("Deutsch")));
    EXPECT_EQ(changes(), (std::map<int, QString>{{0, "Anfang"}}));

    // Starts from the built-in texts, not from the language before.
    ASSERT_TRUE(workspace::Try_Load_Language(QStringLiteral("Italiano")));
    EXPECT_EQ(changes(), (std::map<int, QString>{{1, "Passo 1"}}));

    // Missing, not a file of the folder, or too large to read: the table stays, and so does
    // the language name (no fall-back to English here).
    QByteArray big("STR2 =Grande\r\n");
    big.append(QByteArray(workspace::kMaxLanguageFileBytes, ' '));
    dir.write(QStringLiteral("Big.lng"), big);
    dir.write(QStringLiteral("sub/Evil.lng"), "STR2 =Evil\n");
    for (const char* name : {"Klingon", "sub/Evil", "", "Big"}) {
        EXPECT_FALSE(workspace::Try_Load_Language(QLatin1String(name))) << name;
        EXPECT_EQ(changes(), (std::map<int, QString>{{1, "Passo 1"}})) << name;
    }
    EXPECT_EQ(w->Language_Name, QStringLiteral("Deutsch"));
}
