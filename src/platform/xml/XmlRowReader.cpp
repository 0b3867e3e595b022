#include "platform/xml/XmlRowReader.h"

#include "platform/xml/XmlEncoding.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {

enum XmlRowReader::Status : int {
    NoDocumentElement,
    BadPi,
    BadComment,
    BadCdata,
    BadDoctype,
    BadStartElement,
    BadAttribute,
    BadEndElement,
    EndElementMismatch,
    UnrecognizedTag,
};

namespace {

// Character classes of the markup: names start with a letter, '_', ':' or any byte of a
// multi-byte character and go on with those, digits, '-' and '.'.
enum : uint8_t { kSpace = 1, kNameStart = 2, kName = 4, kValueStop = 8 };

constexpr std::array<uint8_t, 256> makeClasses()
{
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        uint8_t v = 0;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            v |= kSpace;
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (letter || c == '_' || c == ':' || c >= 0x80)
            v |= kNameStart | kName;
        if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            v |= kName;
        if (c == 0 || c == '&' || c == '\r' || c == '\'' || c == '"' || c == '\n' || c == '\t')
            v |= kValueStop;
        t[static_cast<size_t>(c)] = v;
    }
    return t;
}
constexpr std::array<uint8_t, 256> kClasses = makeClasses();

inline bool is(char c, uint8_t cls) { return (kClasses[static_cast<unsigned char>(c)] & cls) != 0; }
inline void skipSpace(char*& s)
{
    while (is(*s, kSpace))
        ++s;
}


// A character as UTF-8, written the way the DOM's parser writes it: any number below 2^32 gets
// bytes (values beyond U+10FFFF and surrogates are not refused, as there).
char* putUtf8(char* out, uint32_t ch)
{
    auto* o = reinterpret_cast<uint8_t*>(out);
    if (ch < 0x80) {
        o[0] = static_cast<uint8_t>(ch);
        return out + 1;
    }
    if (ch < 0x800) {
        o[0] = static_cast<uint8_t>(0xC0 | (ch >> 6));
        o[1] = static_cast<uint8_t>(0x80 | (ch & 0x3F));
        return out + 2;
    }
    if (ch < 0x10000) {
        o[0] = static_cast<uint8_t>(0xE0 | (ch >> 12));
        o[1] = static_cast<uint8_t>(0x80 | ((ch >> 6) & 0x3F));
        o[2] = static_cast<uint8_t>(0x80 | (ch & 0x3F));
        return out + 3;
    }
    o[0] = static_cast<uint8_t>(0xF0 | (ch >> 18));
    o[1] = static_cast<uint8_t>(0x80 | ((ch >> 12) & 0x3F));
    o[2] = static_cast<uint8_t>(0x80 | ((ch >> 6) & 0x3F));
    o[3] = static_cast<uint8_t>(0x80 | (ch & 0x3F));
    return out + 4;
}

// One '&' in an attribute value, `s` at it, `w` the write position (never past `s`). A known
// entity or a complete numeric reference is written decoded; anything else is kept as written
// up to the character that did not fit, which the caller reads next. Returns where to go on.
char* entity(char* s, char*& w, bool& zero)
{
    char* e = s + 1;
    auto keep = [&]() {
        const size_t n = static_cast<size_t>(e - s);
        if (w != s)
            std::memmove(w, s, n);
        w += n;
        return e;
    };
    auto put = [&](char c) {
        *w++ = c;
        return e + 1;
    };
    switch (*e) {
    case '#': {
        uint32_t code = 0;
        if (e[1] == 'x') {
            e += 2;
            if (*e == ';')
                return keep();
            for (;; ++e) {
                const char c = *e;
                if (c >= '0' && c <= '9')
                    code = 16 * code + static_cast<uint32_t>(c - '0');
                else if (((c | ' ') >= 'a') && ((c | ' ') <= 'f'))
                    code = 16 * code + static_cast<uint32_t>((c | ' ') - 'a' + 10);
                else if (c == ';')
                    break;
                else
                    return keep();
            }
        } else {
            ++e;
            if (*e == ';')
                return keep();
            for (;; ++e) {
                const char c = *e;
                if (c >= '0' && c <= '9')
                    code = 10 * code + static_cast<uint32_t>(c - '0');
                else if (c == ';')
                    break;
                else
                    return keep();
            }
        }
        if (code == 0)
            zero = true;
        w = putUtf8(w, code);
        return e + 1;
    }
    case 'a':
        ++e;
        if (*e == 'm') {
            if (*++e == 'p' && *++e == ';')
                return put('&');
        } else if (*e == 'p') {
            if (*++e == 'o' && *++e == 's' && *++e == ';')
                return put('\'');
        }
        return keep();
    case 'g':
        if (*++e == 't' && *++e == ';')
            return put('>');
        return keep();
    case 'l':
        if (*++e == 't' && *++e == ';')
            return put('<');
        return keep();
    case 'q':
        if (*++e == 'u' && *++e == 'o' && *++e == 't' && *++e == ';')
            return put('"');
        return keep();
    default:
        return keep();
    }
}

// An attribute value from just after its opening quote, decoded in place. Returns the position
// after the closing quote and sets `end`; nullptr when the document ends first.
char* attributeValue(char* s, char quote, char*& end, bool& zero)
{
    char* w = s;
    for (;;) {
        if (w == s) {
            while (!is(*s, kValueStop))
                ++s;
            w = s;
        } else {
            while (!is(*s, kValueStop))
                *w++ = *s++;
        }
        const char c = *s;
        if (c == quote) {
            end = w;
            return s + 1;
        }
        if (c == '\t' || c == '\n') {
            *w++ = ' ';
            ++s;
        } else if (c == '\r') {
            *w++ = ' ';
            ++s;
            if (*s == '\n')
                ++s;
        } else if (c == '&') {
            s = entity(s, w, zero);
        } else if (c == 0) {
            return nullptr;
        } else {
            *w++ = c; // the other quote
            ++s;
        }
    }
}

// --- encodings ---

void appendUtf8(QByteArray& out, uint32_t ch)
{
    char b[4];
    const char* e = putUtf8(b, ch);
    out.append(b, e - b);
}

QByteArray fromUtf16(const QByteArray& in, bool bigEndian)
{
    const auto* d = reinterpret_cast<const uint8_t*>(in.constData());
    const size_t n = static_cast<size_t>(in.size()) / 2;
    auto unit = [&](size_t i) {
        return static_cast<uint16_t>(bigEndian ? (d[2 * i] << 8) | d[2 * i + 1] : d[2 * i] | (d[2 * i + 1] << 8));
    };
    QByteArray out;
    out.reserve(static_cast<qsizetype>(n * 3 / 2 + 1));
    for (size_t i = 0; i < n;) {
        const uint16_t lead = unit(i);
        if (lead < 0xD800 || lead >= 0xE000) {
            appendUtf8(out, lead);
            i += 1;
        } else if (lead < 0xDC00 && i + 1 < n) {
            const uint16_t next = unit(i + 1);
            if (next >= 0xDC00 && next < 0xE000) {
                appendUtf8(out, 0x10000 + ((lead & 0x3FFu) << 10) + (next & 0x3FFu));
                i += 2;
            } else {
                i += 1; // a lone surrogate is dropped
            }
        } else {
            i += 1;
        }
    }
    return out;
}

QByteArray fromUtf32(const QByteArray& in, bool bigEndian)
{
    const auto* d = reinterpret_cast<const uint8_t*>(in.constData());
    const size_t n = static_cast<size_t>(in.size()) / 4;
    QByteArray out;
    out.reserve(static_cast<qsizetype>(n * 2 + 1));
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* p = d + 4 * i;
        const uint32_t ch = bigEndian ? (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]
                                      : (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
        appendUtf8(out, ch);
    }
    return out;
}

QByteArray toUtf8(QByteArray b)
{
    if (b.size() < 4)
        return b;
    const auto* d = reinterpret_cast<const uint8_t*>(b.constData());
    const uint8_t d0 = d[0], d1 = d[1], d2 = d[2], d3 = d[3];
    if (d0 == 0 && d1 == 0 && d2 == 0xFE && d3 == 0xFF)
        return fromUtf32(b, true);
    if (d0 == 0xFF && d1 == 0xFE && d2 == 0 && d3 == 0)
        return fromUtf32(b, false);
    if (d0 == 0xFE && d1 == 0xFF)
        return fromUtf16(b, true);
    if (d0 == 0xFF && d1 == 0xFE)
        return fromUtf16(b, false);
    if (d0 == 0xEF && d1 == 0xBB && d2 == 0xBF)
        return b;
    if (d0 == 0 && d1 == 0 && d2 == 0 && d3 == '<')
        return fromUtf32(b, true);
    if (d0 == '<' && d1 == 0 && d2 == 0 && d3 == 0)
        return fromUtf32(b, false);
    if (d0 == 0 && d1 == '<')
        return fromUtf16(b, true);
    if (d0 == '<' && d1 == 0)
        return fromUtf16(b, false);
    return xml::eightBitToUtf8(b, xml::eightBitEncoding(b));
}

} // namespace

XmlRowReader::XmlRowReader(QByteArray bytes) : buf_(toUtf8(std::move(bytes)))
{
    attrs_.reserve(32);
    open_.reserve(8);
    if (buf_.isEmpty()) {
        empty_ = true;
        return;
    }
    // Parsing stops at the zero byte that ends the buffer, or at an earlier one.
    char* d = buf_.data();
    begin_ = d;
    s_ = d;
    if (s_[0] == '\xEF' && s_[1] == '\xBB' && s_[2] == '\xBF')
        s_ += 3;
}

const char* XmlRowReader::describe(int status)
{
    switch (status) {
    case NoDocumentElement: return "No document element found";
    case BadPi: return "Error parsing document declaration/processing instruction";
    case BadComment: return "Error parsing comment";
    case BadCdata: return "Error parsing CDATA section";
    case BadDoctype: return "Error parsing document type declaration";
    case BadStartElement: return "Error parsing start element tag";
    case BadAttribute: return "Error parsing element attribute";
    case BadEndElement: return "Error parsing end element tag";
    case EndElementMismatch: return "Start-end tags mismatch";
    default: return "Could not determine tag type";
    }
}

XmlRowReader::Event XmlRowReader::fail(Status status, const char* at)
{
    qlonglong offset = begin_ && at ? qlonglong(at - begin_) : 0;
    if (offset > 0 && offset == buf_.size()) // at the end: the last character is meant
        --offset;
    error_ = QStringLiteral("%1 at offset %2").arg(QString::fromLatin1(describe(status))).arg(offset);
    done_ = true;
    last_ = Event::Error;
    return last_;
}

XmlRowReader::Event XmlRowReader::finish()
{
    if (!open_.empty())
        return fail(EndElementMismatch, s_);
    if (!sawRoot_)
        return fail(NoDocumentElement, begin_ ? begin_ + buf_.size() : nullptr);
    done_ = true;
    last_ = Event::Done;
    return last_;
}

XmlRowReader::TagEnd XmlRowReader::attributesOf(char*& s)
{
    for (;;) {
        skipSpace(s);
        if (is(*s, kNameStart)) {
            char* name = s;
            while (is(*s, kName))
                ++s;
            const std::string_view attrName(name, static_cast<size_t>(s - name));
            char ch = *s++;
            if (is(ch, kSpace)) {
                skipSpace(s);
                ch = *s++;
            }
            if (ch != '=') {
                fail(BadAttribute, s);
                return TagEnd::Failed;
            }
            skipSpace(s);
            if (*s != '"' && *s != '\'') {
                fail(BadAttribute, s);
                return TagEnd::Failed;
            }
            const char quote = *s++;
            char* value = s;
            char* end = nullptr;
            bool zero = false;
            s = attributeValue(s, quote, end, zero);
            if (!s) {
                fail(BadAttribute, value);
                return TagEnd::Failed;
            }
            size_t len = static_cast<size_t>(end - value);
            if (zero) // a reference to character 0 ends the value, as a C string would
                len = static_cast<size_t>(std::find(value, end, '\0') - value);
            attrs_.push_back({attrName, std::string_view(value, len)});
            if (is(*s, kNameStart)) {
                fail(BadAttribute, s);
                return TagEnd::Failed;
            }
        } else if (*s == '/') {
            ++s;
            if (*s == '>') {
                ++s;
                return TagEnd::Closed;
            }
            fail(BadStartElement, s);
            return TagEnd::Failed;
        } else if (*s == '>') {
            ++s;
            return TagEnd::Open;
        } else {
            fail(BadStartElement, s);
            return TagEnd::Failed;
        }
    }
}

bool XmlRowReader::question(char*& s, Event& event)
{
    ++s;
    char* target = s;
    if (!is(*s, kNameStart)) {
        event = fail(BadPi, s);
        return false;
    }
    while (is(*s, kName))
        ++s;
    auto closes = [](const char* p) { return p[0] == '?' && p[1] == '>'; };
    const bool declaration =
        s - target == 3 && (target[0] | ' ') == 'x' && (target[1] | ' ') == 'm' && (target[2] | ' ') == 'l';
    if (!declaration) {
        // A processing instruction: only its end matters.
        while (*s && !closes(s))
            ++s;
        if (!*s) {
            event = fail(BadPi, s);
            return false;
        }
        s += 2;
        return true;
    }
    if (!open_.empty()) {
        event = fail(BadPi, s);
        return false;
    }
    const std::string_view name(target, 3);
    const char ch = *s++;
    if (ch == '?') {
        if (*s != '>') {
            event = fail(BadPi, s);
            return false;
        }
        ++s;
        return true;
    }
    if (!is(ch, kSpace)) {
        event = fail(BadPi, s);
        return false;
    }
    skipSpace(s);
    char* value = s;
    while (*s && !closes(s))
        ++s;
    if (!*s) {
        event = fail(BadPi, s);
        return false;
    }
    // The declaration's pseudo-attributes are read like a start tag's, ended by "/>" in place of
    // "?>"; they must be well-formed, and are not handed over.
    *s = '/';
    s = value;
    attrs_.clear();
    const TagEnd end = attributesOf(s);
    attrs_.clear();
    if (end == TagEnd::Failed) {
        event = last_;
        return false;
    }
    if (end == TagEnd::Open)
        open_.push_back({name, true});
    return true;
}

bool XmlRowReader::doctypeGroup(char*& s)
{
    auto primitive = [this](char*& p) {
        if (*p == '"' || *p == '\'') {
            const char q = *p++;
            while (*p && *p != q)
                ++p;
            if (!*p)
                return fail(BadDoctype, p), false;
            ++p;
        } else if (p[0] == '<' && p[1] == '?') {
            p += 2;
            while (*p && !(p[0] == '?' && p[1] == '>'))
                ++p;
            if (!*p)
                return fail(BadDoctype, p), false;
            p += 2;
        } else if (p[0] == '<' && p[1] == '!' && p[2] == '-' && p[3] == '-') {
            p += 4;
            while (*p && !(p[0] == '-' && p[1] == '-' && p[2] == '>'))
                ++p;
            if (!*p)
                return fail(BadDoctype, p), false;
            p += 3;
        } else {
            return fail(BadDoctype, p), false;
        }
        return true;
    };
    auto ignore = [this](char*& p) {
        size_t depth = 0;
        p += 3;
        while (*p) {
            if (p[0] == '<' && p[1] == '!' && p[2] == '[') {
                p += 3;
                ++depth;
            } else if (p[0] == ']' && p[1] == ']' && p[2] == '>') {
                p += 3;
                if (depth == 0)
                    return true;
                --depth;
            } else {
                ++p;
            }
        }
        return fail(BadDoctype, p), false;
    };
    size_t depth = 0;
    s += 2;
    while (*s) {
        if (s[0] == '<' && s[1] == '!' && s[2] != '-') {
            if (s[2] == '[') {
                if (!ignore(s))
                    return false;
            } else {
                s += 2;
                ++depth;
            }
        } else if (s[0] == '<' || s[0] == '"' || s[0] == '\'') {
            if (!primitive(s))
                return false;
        } else if (*s == '>') {
            if (depth == 0)
                return true;
            --depth;
            ++s;
        } else {
            ++s;
        }
    }
    return fail(BadDoctype, s), false;
}

bool XmlRowReader::exclamation(char*& s)
{
    ++s;
    if (*s == '-') {
        ++s;
        if (*s != '-')
            return fail(BadComment, s), false;
        ++s;
        for (;; ++s) {
            if (*s == 0)
                return fail(BadComment, s), false;
            if (s[0] == '-' && s[1] == '-' && s[2] == '>') {
                s += 3;
                return true;
            }
        }
    }
    if (*s == '[') {
        if (*++s == 'C' && *++s == 'D' && *++s == 'A' && *++s == 'T' && *++s == 'A' && *++s == '[') {
            ++s;
            for (;; ++s) {
                if (*s == 0)
                    return fail(BadCdata, s), false;
                if (s[0] == ']' && s[1] == ']' && s[2] == '>') {
                    s += 3;
                    return true;
                }
            }
        }
        return fail(BadCdata, s), false;
    }
    if (s[0] == 'D' && s[1] == 'O' && s[2] == 'C' && s[3] == 'T' && s[4] == 'Y' && s[5] == 'P' &&
        s[6] == 'E') {
        s -= 2;
        if (!open_.empty())
            return fail(BadDoctype, s), false;
        if (!doctypeGroup(s))
            return false;
        ++s;
        return true;
    }
    return fail(UnrecognizedTag, s), false;
}

XmlRowReader::Event XmlRowReader::next()
{
    if (done_)
        return last_;
    if (empty_)
        return fail(NoDocumentElement, nullptr);
    if (pendingEnd_) {
        pendingEnd_ = false;
        return Event::EndElement;
    }
    char* s = s_;
    while (*s != 0) {
        if (*s != '<') {
            // Text: white space or not, it has no part in the rows.
            while (*s != '<' && *s != 0)
                ++s;
            continue;
        }
        ++s;
        if (is(*s, kNameStart)) {
            char* start = s;
            while (is(*s, kName))
                ++s;
            name_ = std::string_view(start, static_cast<size_t>(s - start));
            depth_ = static_cast<int>(open_.size());
            attrs_.clear();
            const char ch = *s++;
            bool open = true;
            if (ch == '>') {
            } else if (is(ch, kSpace)) {
                const TagEnd end = attributesOf(s);
                if (end == TagEnd::Failed)
                    return last_;
                open = end == TagEnd::Open;
            } else if (ch == '/') {
                if (*s != '>')
                    return fail(BadStartElement, s);
                ++s;
                open = false;
            } else {
                return fail(BadStartElement, s);
            }
            if (depth_ == 0)
                sawRoot_ = true;
            if (open)
                open_.push_back({name_, false});
            else
                pendingEnd_ = true;
            s_ = s;
            return Event::StartElement;
        }
        if (*s == '/') {
            ++s;
            char* mark = s;
            if (open_.empty())
                return fail(EndElementMismatch, mark);
            const Open top = open_.back();
            const char* n = top.name.data();
            const char* ne = n + top.name.size();
            while (is(*s, kName)) {
                if (n == ne || *s != *n)
                    return fail(EndElementMismatch, mark);
                ++s;
                ++n;
            }
            if (n != ne)
                return fail(EndElementMismatch, mark);
            open_.pop_back();
            skipSpace(s);
            if (*s != '>')
                return fail(BadEndElement, s);
            ++s;
            if (top.declaration)
                continue;
            name_ = top.name;
            depth_ = static_cast<int>(open_.size());
            attrs_.clear();
            s_ = s;
            return Event::EndElement;
        }
        if (*s == '?') {
            Event event = Event::Error;
            if (!question(s, event))
                return event;
            continue;
        }
        if (*s == '!') {
            if (!exclamation(s))
                return last_;
            continue;
        }
        return fail(UnrecognizedTag, s);
    }
    s_ = s;
    return finish();
}

} // namespace platform
