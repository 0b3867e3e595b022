#pragma once
// The filter-expression language of the grid's row filter and of its wildcard search: a value
// matches an expression such as ">=10&<20", "A*|B*", "!Old" or "(>1/1/2020&<1/2/2020)|*urgent*".
//
// Expression: operands joined by "&" (and) or ";", "^", "|" (or), evaluated strictly from left
// to right; "(" ... ")" groups; double quotes protect spaces and operator characters and are
// never compared themselves; a leading "=" is dropped. Spaces outside quotes are ignored.
// Condition (one operand): ">" / ">=" / "<" / "<=" compare the value with the operand as numbers,
// short dates (the locale's field order and separators) or texts; "!" negates; "*" and "?" are
// wildcards.
//
// Soundness beyond the plain reading of the language:
//   - A "*" is matched by a table over (condition position, value position), so a pattern with
//     many "*" against a long text costs the product of the two lengths, not an exponential
//     search; the results are those of trying every tail in turn.
//   - A "(" without its ")" makes a group that runs to the end of the expression.
//   - Groups nest at most kMaxFilterGroupDepth deep; a deeper group matches nothing (the
//     evaluation of a hostile expression never exhausts the stack).
// The matcher never raises. Every routine is a pure function of its arguments and the current
// format settings (separators and short date format).
#include "platform/core/DateTime.h"

#include <QChar>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

namespace controls::grid {

inline constexpr int kMaxFilterGroupDepth = 200;

// Whether value matches the whole expression.
bool MatchFilterExpression(const QString& expression, const QString& value, bool caseSensitive);
// One operand: case-sensitive, or both texts upper-cased (the locale's case mapping) first.
bool MatchFilterOperand(const QString& operand, const QString& value, bool caseSensitive);
// One condition against a value, both already upper-cased when the case is ignored.
bool MatchFilterCondition(const QString& condition, const QString& value);

// Every space outside double quotes dropped.
QString RemoveSpacesOutsideQuotes(const QString& text);
// The first character of the delimiter set that stands outside double quotes, with its 1-based
// position; QChar(0) and -1 when there is none.
QChar FindDelimiterOutsideQuotes(const QString& delimiters, const QString& text, int& pos);
bool IsDelimiterChar(QChar c, const QString& delimiters);
// The 1-based position of the ")" that balances the "(" counted from the start; 0 when none.
int MatchingParenPos(const QString& text);
// A decimal number in C notation as a whole: leading blanks, a sign, digits with a "." and an
// "E" or "e" exponent; nothing may follow.
bool TryDecimalLiteral(QStringView text, double& value);
// The locale's decimal separator becomes ".", thousand separators are dropped.
QString NormalizeNumberText(const QString& text);
// A date (and time) in the locale's short date field order and separators. False for a text
// that is no such date, a field out of range or a date or time that does not exist.
bool TryParseShortDateTime(const QString& text, platform::TDateTime& dateTime);

// An expression read once and matched against many values (the filter applies one to every
// row). Gives the results of MatchFilterExpression. Not for use by two threads at once.
class TFilterMatcher {
public:
    TFilterMatcher(const QString& expression, bool caseSensitive);
    ~TFilterMatcher();
    TFilterMatcher(const TFilterMatcher&) = delete;
    TFilterMatcher& operator=(const TFilterMatcher&) = delete;
    bool Match(const QString& value) const;

    struct Condition;
    struct Group;

private:
    std::unique_ptr<Group> m_root;
    bool m_caseSensitive;
    mutable QString m_upper; // the value upper-cased, reused from row to row
};

} // namespace controls::grid
