#include "controls/grid/dropdown/rules/LookupLogic.h"

#include "controls/grid/dropdown/rules/EditInput.h"
#include "platform/text/Text.h"

namespace controls::grid::dropdown {

TCompletion CompleteText(const QString& text, int caret, const QStringList& entries, bool matchCase)
{
    TCompletion c;
    const QString typed = text.left(caret);
    const QString key = CaseText(typed, matchCase);
    c.keyLength = key.length();
    if (!key.isEmpty()) {
        for (int i = 0; i < entries.size(); ++i) {
            const QString& entry = entries.at(i);
            if (CaseText(entry, matchCase).startsWith(key)) {
                c.matched = true;
                c.index = i;
                c.text = text.left(key.length()) + entry.mid(key.length(), 255);
                return c;
            }
        }
    }
    if (!typed.isEmpty()) {
        c.cutBack = true;
        c.text = typed;
    }
    return c;
}

int FindEntryStartingWith(const QStringList& entries, const QString& s, bool caseSensitive)
{
    const QString key = CaseText(s, caseSensitive);
    for (int i = 0; i < entries.size(); ++i)
        if (CaseText(entries.at(i), caseSensitive).startsWith(key))
            return i;
    return -1;
}

int IndexOfIgnoringCase(const QStringList& entries, const QString& s)
{
    for (int i = 0; i < entries.size(); ++i)
        if (entries.at(i).compare(s, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int StepNext(int index, int count)
{
    if (count <= 0)
        return -1;
    if (index < 0)
        return 0;
    return index + 1 < count ? index + 1 : -1;
}

int StepPrevious(int index, int count)
{
    if (count <= 0)
        return -1;
    if (index < 0)
        return 0;
    return index > 0 ? index - 1 : -1;
}

int StepPageDown(int index, int count)
{
    if (count <= 0)
        return -1;
    if (index < 0)
        return 0;
    return std::min(index + 10, count - 1);
}

int StepPageUp(int index, int count)
{
    if (count <= 0)
        return -1;
    if (index < 0)
        return 0;
    return std::max(index - 10, 0);
}

int WholeRowsPopupHeight(int proposed, int barsHeight, int headerHeight, int rowHeight, int extra)
{
    const int rest = proposed - barsHeight;
    const int b = rest - headerHeight - 2;
    const int rows = rowHeight > 0 ? std::max(b, 0) / rowHeight : 0;
    return barsHeight + headerHeight + rows * rowHeight + extra;
}

std::vector<int> ScaleColumnWidths(const std::vector<int>& widths, int width)
{
    std::vector<int> out;
    if (widths.empty())
        return out;
    long long total = 1;
    for (int w : widths)
        total += w;
    const double k = double(width) / double(total);
    double carry = 0;
    for (int w : widths) {
        const double exact = k * w;
        const int v = int(platform::roundHalfEven(exact));
        carry += exact - v;
        if (carry > 1) {
            carry -= 1;
            out.push_back(v + 1);
        } else {
            out.push_back(v);
        }
    }
    return out;
}

} // namespace controls::grid::dropdown
