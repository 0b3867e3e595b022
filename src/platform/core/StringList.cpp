#include "platform/core/StringList.h"

#include "platform/core/Conversions.h"
#include "platform/core/Errors.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"

#include <algorithm>

namespace platform {

TStringList::TStringList(const TStringList& other)
    : TPersistent()
    , m_items(other.m_items)
    , m_sorted(other.m_sorted)
    , m_caseSensitive(other.m_caseSensitive)
    , m_duplicates(other.m_duplicates)
    , m_delimiter(other.m_delimiter)
    , m_quoteChar(other.m_quoteChar)
    , m_nameValueSeparator(other.m_nameValueSeparator)
{
}

TStringList& TStringList::operator=(const TStringList& other)
{
    if (this != &other)
        Assign(&other);
    return *this;
}

void TStringList::error(const QString& message) { throw EListError(message); }

void TStringList::checkIndex(int index) const
{
    if (index < 0 || index >= Count())
        error(QStringLiteral("List index out of bounds (%1)").arg(index));
}

void TStringList::changing()
{
    if (m_updateCount == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::changed()
{
    if (m_updateCount == 0 && OnChange)
        OnChange(this);
}

void TStringList::BeginUpdate()
{
    if (m_updateCount == 0)
        changing();
    ++m_updateCount;
}

void TStringList::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0)
        changed();
}

const QString& TStringList::Strings(int index) const
{
    checkIndex(index);
    return m_items[size_t(index)].text;
}

void TStringList::SetStrings(int index, const QString& s)
{
    if (m_sorted)
        error(QStringLiteral("Operation not allowed on sorted list"));
    checkIndex(index);
    changing();
    m_items[size_t(index)].text = s;
    changed();
}

TObject* TStringList::Objects(int index) const
{
    checkIndex(index);
    return m_items[size_t(index)].object;
}

void TStringList::SetObjects(int index, TObject* object)
{
    checkIndex(index);
    changing();
    m_items[size_t(index)].object = object;
    changed();
}

int TStringList::CompareStrings(const QString& a, const QString& b) const
{
    return m_caseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::Find(const QString& s, int& index) const
{
    bool found = false;
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = CompareStrings(m_items[size_t(mid)].text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                // With duplicates accepted the search goes on to the first equal text.
                if (m_duplicates != dupAccept)
                    lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::insertItem(int index, const QString& s, TObject* object)
{
    changing();
    m_items.insert(m_items.begin() + index, Item{s, object});
    changed();
}

int TStringList::Add(const QString& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const QString& s, TObject* object)
{
    int index = Count();
    if (m_sorted && Find(s, index)) {
        if (m_duplicates == dupIgnore)
            return index;
        if (m_duplicates == dupError)
            error(QStringLiteral("String list does not allow duplicates"));
    }
    insertItem(index, s, object);
    return index;
}

void TStringList::AddStrings(const TStringList& other)
{
    if (&other == this) {
        const TStringList copy(other);
        AddStrings(copy);
        return;
    }
    BeginUpdate();
    try {
        for (const Item& it : other.m_items)
            AddObject(it.text, it.object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStringList::AddStrings(const QStringList& lines)
{
    BeginUpdate();
    try {
        for (const QString& s : lines)
            Add(s);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStringList::Insert(int index, const QString& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const QString& s, TObject* object)
{
    if (m_sorted)
        error(QStringLiteral("Operation not allowed on sorted list"));
    if (index < 0 || index > Count())
        error(QStringLiteral("List index out of bounds (%1)").arg(index));
    insertItem(index, s, object);
}

void TStringList::Delete(int index)
{
    checkIndex(index);
    changing();
    m_items.erase(m_items.begin() + index);
    changed();
}

void TStringList::Clear()
{
    if (m_items.empty())
        return;
    changing();
    m_items.clear();
    changed();
}

void TStringList::Exchange(int index1, int index2)
{
    checkIndex(index1);
    checkIndex(index2);
    changing();
    std::swap(m_items[size_t(index1)], m_items[size_t(index2)]);
    changed();
}

void TStringList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    if (m_sorted)
        error(QStringLiteral("Operation not allowed on sorted list"));
    checkIndex(curIndex);
    checkIndex(newIndex);
    changing();
    Item it = std::move(m_items[size_t(curIndex)]);
    m_items.erase(m_items.begin() + curIndex);
    m_items.insert(m_items.begin() + newIndex, std::move(it));
    changed();
}

int TStringList::IndexOf(const QString& s) const
{
    if (m_sorted) {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(m_items[size_t(i)].text, s) == 0)
            return i;
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[size_t(i)].object == object)
            return i;
    return -1;
}

void TStringList::SetSorted(bool on)
{
    if (m_sorted == on)
        return;
    if (on)
        Sort();
    m_sorted = on;
}

void TStringList::SetCaseSensitive(bool on)
{
    if (m_caseSensitive == on)
        return;
    m_caseSensitive = on;
    if (m_sorted)
        Sort();
}

void TStringList::Sort()
{
    CustomSort([](const TStringList& list, int a, int b) {
        return list.CompareStrings(list.m_items[size_t(a)].text, list.m_items[size_t(b)].text);
    });
}

void TStringList::CustomSort(const std::function<int(const TStringList&, int, int)>& compare)
{
    if (Count() < 2)
        return;
    changing();
    // Sort an order of indexes so that the comparison always sees the list as it was.
    std::vector<int> order(m_items.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(m_items.size());
    for (int i : order)
        sorted.push_back(std::move(m_items[size_t(i)]));
    m_items = std::move(sorted);
    changed();
}

QString TStringList::Text() const
{
    QString out;
    for (const Item& it : m_items) {
        out += it.text;
        out += QLatin1String("\r\n");
    }
    return out;
}

void TStringList::SetText(const QString& text)
{
    BeginUpdate();
    try {
        Clear();
        for (const QString& line : splitLines(text))
            Add(line);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

QString TStringList::DelimitedText() const
{
    if (Count() == 1 && m_items[0].text.isEmpty())
        return QString(2, m_quoteChar);
    QString out;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const QString& s = m_items[i].text;
        const bool quote = std::any_of(s.begin(), s.end(), [&](QChar c) {
            return c.unicode() <= u' ' || c == m_quoteChar || c == m_delimiter;
        });
        if (quote) {
            QString q = s;
            q.replace(m_quoteChar, QString(2, m_quoteChar));
            out += m_quoteChar + q + m_quoteChar;
        } else {
            out += s;
        }
        if (i + 1 < m_items.size())
            out += m_delimiter;
    }
    return out;
}

void TStringList::SetDelimitedText(const QString& text)
{
    // A NUL ends the text, as it did for the peers that wrote it.
    qsizetype n = text.indexOf(QChar(u'\0'));
    if (n < 0)
        n = text.size();
    auto isBlank = [](QChar c) { return c.unicode() >= 1 && c.unicode() <= u' '; };
    BeginUpdate();
    try {
        Clear();
        qsizetype p = 0;
        while (p < n && isBlank(text[p]))
            ++p;
        while (p < n) {
            QString item;
            if (text[p] == m_quoteChar) {
                ++p;
                while (p < n) {
                    if (text[p] == m_quoteChar) {
                        if (p + 1 < n && text[p + 1] == m_quoteChar) {
                            item += m_quoteChar;
                            p += 2;
                            continue;
                        }
                        ++p; // the closing quote
                        break;
                    }
                    item += text[p++];
                }
            } else {
                const qsizetype start = p;
                while (p < n && text[p].unicode() > u' ' && text[p] != m_delimiter)
                    ++p;
                item = text.mid(start, p - start);
            }
            Add(item);
            while (p < n && isBlank(text[p]))
                ++p;
            if (p < n && text[p] == m_delimiter) {
                if (p + 1 == n)
                    Add(QString());
                do
                    ++p;
                while (p < n && isBlank(text[p]));
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

QString TStringList::CommaText() const
{
    TStringList* self = const_cast<TStringList*>(this);
    const QChar d = m_delimiter, q = m_quoteChar;
    self->m_delimiter = QLatin1Char(',');
    self->m_quoteChar = QLatin1Char('"');
    const QString t = DelimitedText();
    self->m_delimiter = d;
    self->m_quoteChar = q;
    return t;
}

void TStringList::SetCommaText(const QString& text)
{
    const QChar d = m_delimiter, q = m_quoteChar;
    m_delimiter = QLatin1Char(',');
    m_quoteChar = QLatin1Char('"');
    try {
        SetDelimitedText(text);
    } catch (...) {
        m_delimiter = d;
        m_quoteChar = q;
        throw;
    }
    m_delimiter = d;
    m_quoteChar = q;
}

QString TStringList::Names(int index) const
{
    const QString& s = Strings(index);
    const qsizetype p = s.indexOf(m_nameValueSeparator);
    return p > 0 ? s.left(p) : QString();
}

QString TStringList::ValueFromIndex(int index) const
{
    const QString& s = Strings(index);
    const qsizetype p = s.indexOf(m_nameValueSeparator);
    return p >= 0 ? s.mid(p + 1) : QString();
}

int TStringList::IndexOfName(const QString& name) const
{
    for (int i = 0; i < Count(); ++i) {
        const QString& s = m_items[size_t(i)].text;
        const qsizetype p = s.indexOf(m_nameValueSeparator);
        if (p > 0 && CompareStrings(s.left(p), name) == 0)
            return i;
    }
    return -1;
}

QString TStringList::Values(const QString& name) const
{
    const int i = IndexOfName(name);
    return i >= 0 ? ValueFromIndex(i) : QString();
}

void TStringList::SetValues(const QString& name, const QString& value)
{
    const int i = IndexOfName(name);
    if (value.isEmpty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    const QString item = name + m_nameValueSeparator + value;
    if (i < 0) {
        Add(item);
    } else if (m_sorted) {
        TObject* o = m_items[size_t(i)].object;
        BeginUpdate();
        Delete(i);
        AddObject(item, o);
        EndUpdate();
    } else {
        SetStrings(i, item);
    }
}

QStringList TStringList::ToStringList() const
{
    QStringList l;
    l.reserve(Count());
    for (const Item& it : m_items)
        l.append(it.text);
    return l;
}

bool TStringList::Equals(const TStringList& other) const
{
    if (Count() != other.Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (m_items[size_t(i)].text != other.m_items[size_t(i)].text)
            return false;
    return true;
}

void TStringList::LoadFromFile(const QString& path)
{
    QString reason;
    const auto bytes = readWholeFile(path, &reason);
    if (!bytes)
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    SetText(decodeTextFile(*bytes));
}

void TStringList::SaveToFile(const QString& path, LinesEncoding encoding) const
{
    QString reason;
    if (!writeTextLines(path, ToStringList(), encoding, &reason))
        throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
}

void TStringList::Assign(const TPersistent* source)
{
    if (const auto* other = dynamic_cast<const TStringList*>(source)) {
        if (other == this)
            return;
        changing();
        m_items = other->m_items;
        m_sorted = other->m_sorted;
        m_caseSensitive = other->m_caseSensitive;
        m_duplicates = other->m_duplicates;
        m_delimiter = other->m_delimiter;
        m_quoteChar = other->m_quoteChar;
        m_nameValueSeparator = other->m_nameValueSeparator;
        changed();
        return;
    }
    TPersistent::Assign(source);
}

} // namespace platform
