// The filter expressions users type into a column filter or the search: the expression, a line
// feed, then the value to test; the first byte's low bit chooses case-sensitive matching. Any
// expression ends in a yes or no, never a crash or a hang, and a matcher read once gives the
// same answers for every value as a fresh one.
#include "controls/grid/util/FilterExpression.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    if (size == 0)
        return 0;
    const bool caseSensitive = (data[0] & 1) != 0;
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const qsizetype cut = input.indexOf(u'\n');
    const QString expression = cut < 0 ? input : input.left(cut);
    const QString value = cut < 0 ? QString() : input.mid(cut + 1);

    const TFilterMatcher matcher(expression, caseSensitive);
    const bool first = matcher.Match(value);
    (void)matcher.Match(expression);
    if (matcher.Match(value) != first || MatchFilterExpression(expression, value, caseSensitive) != first)
        std::abort();
    // Without case, an ASCII value matches as its lower-case form does.
    bool ascii = true;
    for (QChar c : value)
        ascii = ascii && c.unicode() < 0x80;
    if (!caseSensitive && ascii && TFilterMatcher(expression, false).Match(value.toLower()) != first)
        std::abort();
    platform::TDateTime dt = 0;
    (void)TryParseShortDateTime(value, dt);
    (void)MatchFilterCondition(expression, value);
    return 0;
}
