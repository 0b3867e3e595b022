#pragma once
// TTabMargin: the three margins of a page control's tabs (left, top, right, by index 0, 1, 2).
// A changed value is announced to OnMarginChange (new value, old value, index) before it is
// stored; Assign copies all three without announcing.
#include <functional>

namespace controls {

class TTabMargin {
public:
    std::function<void(int newValue, int oldValue, int index)> OnMarginChange;

    int leftMargin() const { return m_margins[0]; }
    int topMargin() const { return m_margins[1]; }
    int rightMargin() const { return m_margins[2]; }
    void setLeftMargin(int v) { SetByIndex(0, v); }
    void setTopMargin(int v) { SetByIndex(1, v); }
    void setRightMargin(int v) { SetByIndex(2, v); }

    int GetByIndex(int index) const { return index >= 0 && index < 3 ? m_margins[index] : 0; }
    void SetByIndex(int index, int value);
    void Assign(const TTabMargin& other);

private:
    int m_margins[3] = {0, 0, 0};
};

} // namespace controls
