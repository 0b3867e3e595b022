#include "controls/grid/core/RichText.h"

#include "platform/text/Text.h"

#include <QByteArray>
#include <algorithm>
#include <vector>

namespace controls::grid {

namespace {

// Destinations whose text is not part of the document.
bool skippedDestination(const QString& word)
{
    static const char* const names[] = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer",
                                        "headerl", "headerr", "footerl", "footerr", "object", "listtable",
                                        "listoverridetable", "rsidtbl", "generator", "themedata", "datastore",
                                        "latentstyles", "xmlnstbl", "filetbl", "revtbl", "fldinst"};
    for (const char* n : names)
        if (word == QLatin1String(n))
            return true;
    return false;
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

bool IsRichText(const QString& text) { return text.startsWith(QStringLiteral("{\\")); }

QString RichTextToPlain(const QString& rtf)
{
    if (!IsRichText(rtf))
        return rtf;
    struct Group {
        bool skip = false;
        int unicodeSkip = 1;
    };
    constexpr size_t kMaxDepth = 256;
    std::vector<Group> stack{Group{}};
    QString out;
    QByteArray pending; // bytes of \'hh escapes, decoded together
    auto flush = [&] {
        if (!pending.isEmpty()) {
            out += platform::decodeCp1252(pending);
            pending.clear();
        }
    };
    auto emit = [&](const QString& s) {
        flush();
        if (!stack.back().skip)
            out += s;
    };
    int skipChars = 0; // fallback characters after a \u escape
    const qsizetype n = rtf.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = rtf[i];
        if (c == u'{') {
            flush();
            if (stack.size() >= kMaxDepth)
                break;
            stack.push_back(stack.back());
            ++i;
            continue;
        }
        if (c == u'}') {
            flush();
            if (stack.size() == 1)
                break; // the document's closing brace
            stack.pop_back();
            skipChars = 0;
            ++i;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            ++i;
            continue;
        }
        if (c != u'\\') {
            if (skipChars > 0) {
                --skipChars;
                ++i;
                continue;
            }
            emit(QString(c));
            ++i;
            continue;
        }
        // A control symbol or word.
        ++i;
        if (i >= n)
            break;
        const QChar s = rtf[i];
        if (s == u'\\' || s == u'{' || s == u'}') {
            if (skipChars > 0)
                --skipChars;
            else
                emit(QString(s));
            ++i;
            continue;
        }
        if (s == u'\'') {
            const int h1 = i + 1 < n ? hexValue(rtf[i + 1]) : -1;
            const int h2 = i + 2 < n ? hexValue(rtf[i + 2]) : -1;
            i += 3;
            if (h1 < 0 || h2 < 0)
                continue;
            if (skipChars > 0) {
                --skipChars;
                continue;
            }
            if (!stack.back().skip)
                pending.append(char(h1 * 16 + h2));
            continue;
        }
        if (s == u'*') {
            stack.back().skip = true;
            ++i;
            continue;
        }
        if (s == u'~') {
            emit(QString(QChar(0xA0)));
            ++i;
            continue;
        }
        if (s == u'-' || s == u'_') {
            if (s == u'_')
                emit(QStringLiteral("-"));
            ++i;
            continue;
        }
        if (!s.isLetter()) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < n && rtf[j].unicode() < 128 && rtf[j].isLetter() && j - i < 32)
            ++j;
        const QString word = rtf.mid(i, j - i);
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (j < n && rtf[j] == u'-') {
            negative = true;
            ++j;
        }
        int digits = 0;
        while (j < n && rtf[j].isDigit() && rtf[j].unicode() < 128) {
            if (digits < 10)
                param = param * 10 + (rtf[j].unicode() - '0');
            ++digits;
            hasParam = true;
            ++j;
        }
        if (negative)
            param = -param;
        if (j < n && rtf[j] == u' ')
            ++j;
        i = j;

        if (skippedDestination(word)) {
            stack.back().skip = true;
        } else if (word == QLatin1String("par") || word == QLatin1String("line")) {
            emit(QStringLiteral("\r\n"));
        } else if (word == QLatin1String("tab")) {
            emit(QStringLiteral("\t"));
        } else if (word == QLatin1String("uc") && hasParam) {
            stack.back().unicodeSkip = int(std::clamp<long long>(param, 0, 16));
        } else if (word == QLatin1String("u") && hasParam) {
            long long v = param;
            if (v < 0)
                v += 65536;
            if (v >= 0 && v <= 0xFFFF)
                emit(QString(QChar(char16_t(v))));
            skipChars = stack.back().unicodeSkip;
        } else if (word == QLatin1String("emdash")) {
            emit(QString(QChar(0x2014)));
        } else if (word == QLatin1String("endash")) {
            emit(QString(QChar(0x2013)));
        } else if (word == QLatin1String("bullet")) {
            emit(QString(QChar(0x2022)));
        }
    }
    flush();
    // The editor's last paragraph mark ends the document, not a line of the cell.
    if (out.endsWith(QStringLiteral("\r\n")))
        out.chop(2);
    return out;
}

QString PlainToRichText(const QString& plain, const QString& fontName, int fontSize)
{
    QString body;
    body.reserve(plain.size() + 16);
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain[i];
        const ushort u = c.unicode();
        if (c == u'\r') {
            if (i + 1 < plain.size() && plain[i + 1] == u'\n')
                ++i;
            body += QStringLiteral("\\par ");
        } else if (c == u'\n') {
            body += QStringLiteral("\\par ");
        } else if (c == u'\t') {
            body += QStringLiteral("\\tab ");
        } else if (c == u'\\' || c == u'{' || c == u'}') {
            body += u'\\';
            body += c;
        } else if (u < 0x80) {
            body += c;
        } else {
            const QByteArray b = platform::encodeCp1252(QString(c));
            if (b.size() == 1 && b[0] != '?') {
                body += QStringLiteral("\\'") + QString::number(uchar(b[0]), 16).rightJustified(2, u'0');
            } else {
                // Unicode escape (a signed 16-bit number) with "?" for readers without Unicode.
                body += QStringLiteral("\\u") + QString::number(short(u)) + QLatin1Char('?');
            }
        }
    }
    QString font = fontName;
    font.replace(u'\\', QStringLiteral("\\\\")).replace(u'{', QStringLiteral("\\{")).replace(u'}', QStringLiteral("\\}"));
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 ") + font + QStringLiteral(";}}\\uc1\\f0\\fs")
           + QString::number(fontSize * 2) + QLatin1Char(' ') + body + QStringLiteral("\\par }");
}

} // namespace controls::grid
