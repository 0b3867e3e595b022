#pragma once
// TStringList: an ordered list of texts, each with an object reference (not owned), as the grid
// suite, its settings and its import and export code use it.
//
// - Sorted lists keep their texts in collation order; Add puts a text at its place and answers
//   Duplicates: dupIgnore returns the existing index, dupError raises EListError, dupAccept
//   inserts before the equal texts. Insert, Move and changing a text by index are refused on a
//   sorted list (EListError "Operation not allowed on sorted list").
// - Texts compare through the locale collation, ignoring case unless CaseSensitive is set.
// - An index outside 0..Count-1 raises EListError "List index out of bounds (<index>)".
// - Text is the lines each followed by CR LF; setting it splits at CR LF, LF or CR.
// - Comma text (DelimitedText with Delimiter "," and QuoteChar '"'): reading it, blanks and
//   control characters before an item are skipped, an item runs to the next blank, control
//   character or delimiter, and an item that starts with the quote character runs to the
//   closing quote with doubled quotes standing for one ("a b", "x""y"); a delimiter at the
//   very end adds an empty item; a NUL character ends the text. Writing it, an item that holds
//   a blank, a control character, the quote or the delimiter is quoted (quotes doubled), and a
//   list of exactly one empty item is written as two quotes.
// - Names and values: an item "name=value" has the name before the first NameValueSeparator.
// - OnChanging runs before and OnChange after every change, unless an update is in progress
//   (BeginUpdate ... EndUpdate, which then fires them once).
#include "platform/core/Persistent.h"
#include "platform/fs/TextLines.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace platform {

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TPersistent {
public:
    TStringList() = default;
    TStringList(const TStringList& other);
    TStringList& operator=(const TStringList& other);
    ~TStringList() override = default;

    int Count() const { return int(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }

    const QString& Strings(int index) const;
    void SetStrings(int index, const QString& s);
    const QString& operator[](int index) const { return Strings(index); }
    TObject* Objects(int index) const;
    void SetObjects(int index, TObject* object);

    int Add(const QString& s);
    int AddObject(const QString& s, TObject* object);
    void AddStrings(const TStringList& other);
    void AddStrings(const QStringList& lines);
    void Insert(int index, const QString& s);
    void InsertObject(int index, const QString& s, TObject* object);
    void Delete(int index);
    void Clear();
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);

    int IndexOf(const QString& s) const;
    int IndexOfObject(const TObject* object) const;
    int IndexOfName(const QString& name) const;
    // Binary search of a sorted list: true when found; index is where s is or would be.
    bool Find(const QString& s, int& index) const;

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool on);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates d) { m_duplicates = d; }
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool on);
    void Sort();
    // Sorts with the given comparison (negative, zero, positive, like CompareStrings).
    void CustomSort(const std::function<int(const TStringList& list, int index1, int index2)>& compare);
    // The list's own comparison of two texts.
    int CompareStrings(const QString& a, const QString& b) const;

    QString Text() const;
    void SetText(const QString& text);
    QString CommaText() const;
    void SetCommaText(const QString& text);
    QChar Delimiter() const { return m_delimiter; }
    void SetDelimiter(QChar c) { m_delimiter = c; }
    QChar QuoteChar() const { return m_quoteChar; }
    void SetQuoteChar(QChar c) { m_quoteChar = c; }
    QString DelimitedText() const;
    void SetDelimitedText(const QString& text);

    QChar NameValueSeparator() const { return m_nameValueSeparator; }
    void SetNameValueSeparator(QChar c) { m_nameValueSeparator = c; }
    QString Names(int index) const;
    QString ValueFromIndex(int index) const;
    QString Values(const QString& name) const;
    // Sets the value of the first item with that name; an empty value deletes the item, a new
    // name is added.
    void SetValues(const QString& name, const QString& value);

    QStringList ToStringList() const;
    bool Equals(const TStringList& other) const; // same texts in the same order

    void BeginUpdate();
    void EndUpdate();
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Reads a text file whole: a byte-order mark selects UTF-8 or UTF-16, anything else is
    // Windows-1252. A file that cannot be read raises Exception ("Cannot open file ...") and
    // leaves the list as it was.
    void LoadFromFile(const QString& path);
    // Writes every item as a CR LF line through a temporary file; a failure raises Exception
    // ("Cannot create file ...") and leaves the previous file intact.
    void SaveToFile(const QString& path, LinesEncoding encoding = LinesEncoding::Cp1252) const;

    // Copies texts and objects of another TStringList (and its Sorted, Duplicates and
    // CaseSensitive settings); anything else goes to the default assignment.
    void Assign(const TPersistent* source) override;

private:
    struct Item {
        QString text;
        TObject* object = nullptr;
    };
    void checkIndex(int index) const;
    void insertItem(int index, const QString& s, TObject* object);
    void changing();
    void changed();
    [[noreturn]] static void error(const QString& message);

    std::vector<Item> m_items;
    bool m_sorted = false;
    bool m_caseSensitive = false;
    TDuplicates m_duplicates = dupIgnore;
    QChar m_delimiter = QLatin1Char(',');
    QChar m_quoteChar = QLatin1Char('"');
    QChar m_nameValueSeparator = QLatin1Char('=');
    int m_updateCount = 0;
};

} // namespace platform
