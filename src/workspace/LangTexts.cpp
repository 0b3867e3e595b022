#include "workspace/LangTexts.h"

#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "workspace/BuiltinTexts.h"
#include "workspace/Workspace.h"

#include <QStringList>

namespace workspace {

namespace {

const QChar kPilcrow(0x00B6);

void applyLine(const QString& rawLine, QStringList& table)
{
    const QString line = platform::trim(rawLine);
    if (!line.startsWith(QLatin1String("STR")))
        return;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return;
    // The index stands between "STR" and the one character before "=", which is not read.
    const qsizetype indexLength = eq - 4;
    const int index = indexLength > 0 ? platform::toIntDef(platform::trim(line.mid(3, indexLength)), -1) : -1;
    if (index < 0 || index >= kLangTextCount)
        return;
    QString text = platform::trim(line.mid(eq + 1));
    if (text.isEmpty())
        return;
    const qsizetype remark = text.indexOf(QLatin1String("/#/"));
    if (remark >= 0) {
        text = platform::trim(text.left(remark));
        if (text.isEmpty())
            return;
    }
    if (text.startsWith(kPilcrow))
        text.remove(0, 1);
    const qsizetype close = text.indexOf(kPilcrow);
    if (close >= 0)
        text.truncate(close);
    table[index] = text;
}

} // namespace

void Default_Texts()
{
    QStringList texts = builtinEnglishTexts();
    // The table always holds exactly kLangTextCount entries, whatever the built-in list holds.
    while (texts.size() < kLangTextCount)
        texts.append(QStringLiteral(" "));
    if (texts.size() > kLangTextCount)
        texts.resize(kLangTextCount);
    ws().Lang_Texts = texts;
}

bool Read_Lng_File(const QString& fileName)
{
    const auto bytes = platform::readWholeFile(fileName, nullptr, kMaxLanguageFileBytes);
    if (!bytes)
        return false;
    if (ws().Lang_Texts.size() != kLangTextCount)
        Default_Texts();
    QStringList table = ws().Lang_Texts;
    for (const QString& line : platform::splitLines(platform::decodeTextFile(*bytes)))
        applyLine(line, table);
    ws().Lang_Texts = std::move(table);
    return true;
}

QString languageFilePath(const QString& languageName)
{
    if (languageName.isEmpty() || languageName.contains(QLatin1Char('/')) ||
        languageName.contains(QLatin1Char('\\')))
        return {};
    return platform::joinPath(ws().Language_Dir, languageName + QStringLiteral(".lng"));
}

bool Try_Load_Language(const QString& languageName)
{
    const QString path = languageFilePath(languageName);
    if (!platform::fileExists(path))
        return false;
    Workspace& w = ws();
    QStringList before = w.Lang_Texts;
    Default_Texts();
    if (Read_Lng_File(path))
        return true;
    w.Lang_Texts = std::move(before);
    return false;
}

void Load_Language()
{
    Default_Texts();
    Workspace& w = ws();
    const QString chosen = languageFilePath(w.Language_Name);
    if (platform::fileExists(chosen)) {
        Read_Lng_File(chosen);
        return;
    }
    w.Language_Name = QLatin1String(kDefaultLanguage);
    const QString english = languageFilePath(w.Language_Name);
    if (platform::fileExists(english))
        Read_Lng_File(english);
}

} // namespace workspace
