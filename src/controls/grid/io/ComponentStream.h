#pragma once
// The binary component stream: the record format of the grid's cell stream and of the column
// grid's columns stream. One object is
//
//   "TPF0", class name (short string), object name (short string, empty here),
//   properties (name as a short string, then a tagged value), a 0 byte, a 0 byte (no children).
//
// Value tags: 0 end of a list, 1 list, 2/3/4 integer in 1/2/4 bytes (little-endian, the
// smallest that holds it), 5 float as a 10-byte extended value, 6 short string (1 length
// byte), 7 identifier, 8 false, 9 true, 10 binary (4 length bytes), 11 set (identifiers ended by
// an empty one), 12 long string (4 length bytes), 13 nil, 14 collection, 18 UTF-16 string (4
// bytes of character count), 19 64-bit integer, 20 UTF-8 string (4 length bytes).
//
// The reader takes outside data: every length is checked against the bytes that remain, lists
// and collections nest at most kMaxDepth deep, and a damaged object raises EReadError with the
// offset, never reads past the end.
#include "platform/core/Errors.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1String>
#include <functional>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace controls::grid::io {

class EReadError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

enum TValueTag : uint8_t {
    vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6, vaIdent = 7,
    vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13, vaCollection = 14,
    vaWString = 18, vaInt64 = 19, vaUTF8String = 20
};

struct TStreamProperty;
struct TStreamValue;
using TStreamItem = std::vector<TStreamProperty>;

// One value as read: which alternative is set follows the tag.
struct TStreamValue {
    TValueTag Tag = vaNil;
    int64_t Int = 0;          // integers; booleans as 0/1
    double Float = 0;         // vaExtended
    QString Text;             // strings and identifiers
    QByteArray Bytes;         // vaBinary
    QStringList Set;          // vaSet
    std::vector<TStreamValue> List;       // vaList
    std::vector<TStreamItem> Collection;  // vaCollection
    bool IsInteger() const { return Tag == vaInt8 || Tag == vaInt16 || Tag == vaInt32 || Tag == vaInt64; }
    bool IsText() const { return Tag == vaString || Tag == vaLString || Tag == vaWString || Tag == vaUTF8String; }
};

struct TStreamProperty {
    QString Name;
    TStreamValue Value;
};

struct TStreamObject {
    QString ClassName;
    QString Name;
    TStreamItem Properties;
    const TStreamValue* Find(const QString& name) const;
};

// Builds objects into a byte array, one after the other.
class TComponentWriter {
public:
    explicit TComponentWriter(QByteArray& out) : m_out(out) {}
    void BeginObject(const QString& className);
    void EndObject();
    void Integer(const QString& name, int64_t v);
    void Boolean(const QString& name, bool v);
    void Ident(const QString& name, const QString& ident);
    void Set(const QString& name, const QStringList& idents);
    // Empty texts are left out (their default).
    void Text(const QString& name, const QString& text);
    void Float(const QString& name, double v);
    void Binary(const QString& name, const QByteArray& data);
    void StringList(const QString& name, const QStringList& lines);
    // Collections: BeginCollection, then per item BeginItem, its properties, EndItem.
    void BeginCollection(const QString& name);
    void BeginItem();
    void EndItem();
    void EndCollection();

    // The same for names known to be ASCII, without a conversion (the cell records).
    void BeginObject(QLatin1String className);
    void Integer(QLatin1String name, int64_t v);
    void Boolean(QLatin1String name, bool v);
    void Text(QLatin1String name, const QString& text);

    // Low-level pieces (also used by the tests to build damaged objects).
    void ShortString(const QByteArray& bytes);
    void ShortString(QLatin1String ascii);
    void PropertyName(const QString& name);
    void TextValue(const QString& text);
    void IntegerValue(int64_t v);

private:
    void byte(uint8_t b) { m_out.append(char(b)); }
    void le(uint64_t v, int n);
    QByteArray& m_out;
};

// Reads objects from data starting at pos; pos moves past each object read.
class TComponentReader {
public:
    static constexpr int kMaxDepth = 16;
    TComponentReader(const QByteArray& data, qsizetype pos = 0) : m_data(data), m_pos(pos) {}
    TStreamObject ReadObject();
    // Reads one object without building it: visit gets each property's name (the stream's
    // bytes) and value; returns the class name's bytes. For the records read by the million.
    template <class Visit>
    QByteArrayView ReadObjectVisit(Visit&& visit)
    {
        const QByteArrayView cls = beginObject();
        TStreamValue v;
        while (nextProperty()) {
            const QByteArrayView name = shortBytes();
            v.Text.clear();
            value(0, v);
            visit(name, v);
        }
        endObject();
        return cls;
    }
    qsizetype Position() const { return m_pos; }
    qsizetype Remaining() const { return m_data.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_data.size(); }

private:
    [[noreturn]] void fail(const char* what) const;
    uint8_t byte();
    uint64_t le(int n);
    void need(qsizetype n) const;
    QString shortString();
    QByteArrayView shortBytes();
    QByteArrayView beginObject();
    bool nextProperty();
    void endObject();
    void value(int depth, TStreamValue& v);
    TStreamValue value(int depth)
    {
        TStreamValue v;
        value(depth, v);
        return v;
    }
    TStreamItem properties(int depth);
    const QByteArray& m_data;
    qsizetype m_pos;
};

// 80-bit extended floats, as the stream stores them.
void DoubleToExtended(double v, uint8_t out[10]);
double ExtendedToDouble(const uint8_t in[10]);

// Typed reads of a property value with a default for a missing or mistyped one.
int64_t ValueInt(const TStreamValue* v, int64_t def);
bool ValueBool(const TStreamValue* v, bool def);
QString ValueText(const TStreamValue* v);

} // namespace controls::grid::io
