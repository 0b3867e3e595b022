#include "workspace/BuiltinTexts.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <utility>

using workspace::builtinEnglishTexts;

namespace {

struct IndexedText {
    int index;
    const char* text; // UTF-8
};

// Texts that windows and message boxes rely on, taken from every part of the program: their
// blanks, punctuation and letter case are part of the text (messages are built by joining
// them with numbers, so a lost trailing blank shows in the box).
constexpr IndexedText kKnownTexts[] = {
    {0, "Begin"},
    {9, "None Configuration Opened "},
    {18, "Error! Project not Valid"},
    {21, "The File already exists! Do you want to overwrite the file?"},
    {44, " / "},
    {55, " to "},
    {128, " BACnet "},
    {219, "Error BACnet!! BACnet Device Name is not correct (allowed characters are \"a\"..\"z\" and \"0\"..\"9\")"},
    {267, "Do you want to exit without saving changes?"},
    {291, "Nodes     "},
    {332, "Error!! The Dimension must be \"Variable Length\" if is selected the \"String\" in BACnet Data Type "},
    {418, "Error row "},
    {419, "!! [Modbus Read] Slave ID must be between 1 and 247"},
    {591, " or none"},
    {599, "Error Byte 8!! Value have to be between 0 to "},
    {600, "Error!! The Byte "},
    {790, "File already exists! Do you want to overwrite the file?"},
    {830, "Are you sure to delete the Row number "},
    {843, "N\xC2\xB0 Byte"},
    {1029, "!! [BACnet in Read] Length with variable \"Positive Integer Value\" must be between 1 and 4"},
    {1134, "!! OID string is too much length"},
    {1139, "!! OID string cannot contains number major of 65535 between two \".\""},
    {1154, "Error!! Too many Requests. Max requests "},
    {1228, "Scan && Decode"},
    {1230, "Error!! Address for a Node wM-Bus must be between 0x00000000 and 0xFFFFFF"},
    {1267, "Error!! Key (Byte 7) must be between 0x00 and 0xFF"},
    {1278, "M_Bus network configuration already exists for this configuration. Do you want to continue?"},
    {1283, " and 2000 ms"},
    {1330, "Configuration saved! To do a new Scan press \"New Scan\" button otherwise press top-right \"X\" to close the page"},
    {1341, " "},
    {1461, "[BACnet Objects] Error row "},
    {1606, "Error! File Extension not Valie (It must be .xml)"},
    {1704, "Error!! The Key must contain 16 bytes (32 characters in HEX)"},
    {1806, "Error!! The Star Modbus Address must be between 1 and 65535"},
    {1929, "PROFINET / M-Bus Configuration "},
    {1930, "PROFINET / M-Bus Configuration"},
    {1988, "Error Ethernet!! IP Address 4 must be between 0 and 255"},
    {2210, "!! Modbus Start Address must be between 1 and 59999"},
    {2306, "Error Modbus TCP Master!! SUBNET Mask 3 must be between 0 and 255"},
    {2315, "Error Modbus Master!! Slave Present Array Position must be between 0 and "},
};

} // namespace

// Each entry of the table carries its index in a comment, the number a language file uses for
// it. An entry inserted or dropped in the middle shifts every later text to the wrong index
// while the table keeps its size; the comments then no longer count up with the entries.
TEST(BuiltinTexts, EveryEntryStandsAtTheIndexItIsWrittenFor)
{
    QFile source(QStringLiteral(VN_SOURCE_DIR "/src/workspace/BuiltinTexts.cpp"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(source.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("kEnglishTexts[] = {"));
    const qsizetype end = text.indexOf(QStringLiteral("\n};"), start);
    ASSERT_GE(start, 0);
    ASSERT_GT(end, start);
    // Every entry begins a line with its index comment, then its first string literal.
    static const QRegularExpression entry(QStringLiteral("^\\s*(?:/\\*\\s*(\\d+)\\s*\\*/\\s*)?\"((?:[^\"\\\\]|\\\\.)*)\""),
                                          QRegularExpression::MultilineOption);
    int entries = 0;
    QRegularExpressionMatchIterator it = entry.globalMatch(text.mid(start, end - start));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).isEmpty())
            continue; // the continuation of an entry written over several lines
        EXPECT_EQ(m.captured(1).toInt(), entries) << "entry " << entries << " is written for index "
                                                   << m.captured(1).toStdString();
        // Plain texts can be compared as they stand in the source.
        const QString literal = m.captured(2);
        if (!literal.contains(QLatin1Char('\\')) && entries < builtinEnglishTexts().size()) {
            EXPECT_TRUE(builtinEnglishTexts().at(entries).startsWith(literal)) << entries;
        }
        ++entries;
    }
    EXPECT_EQ(entries, builtinEnglishTexts().size());
    // Built once: every caller sees the same list.
    EXPECT_EQ(&builtinEnglishTexts(), &builtinEnglishTexts());
}

TEST(BuiltinTexts, KnownTextsStandAtTheirIndexes)
{
    const QStringList& texts = builtinEnglishTexts();
    ASSERT_EQ(texts.size(), 2400);
    for (const IndexedText& known : kKnownTexts) {
        SCOPED_TRACE(known.index);
        EXPECT_EQ(texts.at(known.index), QString::fromUtf8(known.text));
    }
}

TEST(BuiltinTexts, ReservedRunsAreSingleBlanks)
{
    const QStringList& texts = builtinEnglishTexts();
    ASSERT_EQ(texts.size(), 2400);
    for (auto [first, last] : {std::pair{1003, 1016}, std::pair{1343, 1399}, std::pair{2332, 2399}}) {
        for (int i = first; i <= last; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(texts.at(i), QStringLiteral(" "));
        }
    }
}

TEST(BuiltinTexts, NoTextIsEmptyOrBrokenAcrossLines)
{
    // An empty entry would make a label vanish and could not be told from a missing one; a
    // line break would split a language file line written from these texts.
    const QStringList& texts = builtinEnglishTexts();
    for (int i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(texts.at(i).isEmpty());
        EXPECT_FALSE(texts.at(i).contains(QLatin1Char('\n')) || texts.at(i).contains(QLatin1Char('\r')));
    }
}
