#include "controls/pages/TabMargin.h"

#include <climits>

namespace controls {

void TTabMargin::SetByIndex(int index, int value)
{
    // The most negative value is kept out of the range.
    if (index < 0 || index > 2 || value == INT_MIN || m_margins[index] == value)
        return;
    if (OnMarginChange)
        OnMarginChange(value, m_margins[index], index);
    m_margins[index] = value;
}

void TTabMargin::Assign(const TTabMargin& other)
{
    for (int i = 0; i < 3; ++i)
        m_margins[i] = other.m_margins[i];
}

} // namespace controls
