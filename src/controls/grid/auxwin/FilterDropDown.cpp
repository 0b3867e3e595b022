// The column filter drop-down: a release on a header cell's filter button opens the list of the
// column's filter values under the button (FilterDropDown's colour, font and size); a choice in
// the plain list filters at once (FilterSelect), the check list filters by its checked entries
// when it closes (FilterCheck).
#include "controls/grid/auxwin/GridAux.h"

#include <QFontMetrics>

namespace controls::grid {

void TExtStringGridAux::closeFilterDropDown()
{
    if (m_dropList && m_dropList->isVisible())
        m_dropList->hide();
    if (m_dropCheckList && m_dropCheckList->isVisible()) {
        // Closing the check list applies it.
        m_dropCheckList->hide();
        if (m_dropCheckList->OnCancel)
            m_dropCheckList->OnCancel(m_dropCheckList);
    }
}

bool TExtStringGridAux::FilterDropDownRelease(int x, int y)
{
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    const bool open = (m_dropList && m_dropList->isVisible()) || (m_dropCheckList && m_dropCheckList->isVisible());
    const int rc = c >= 0 ? RealColIndex(c) : -1;
    if (r != FilterDropDownRow || c < 0 || (open && rc == FilterColumn())) {
        if (!open)
            return false;
        closeFilterDropDown();
        SetFilterColumn(-1);
        return true;
    }
    const Rect cell = cellRect(c, r);
    if (!(x > cell.right - 16 && x < cell.right - 3 && y < cell.top + 19))
        return false;
    if (c < FixedCols() && FilterDropDownColumns != fdAll)
        return false;
    if (!GetColumnFilter(rc))
        return false;
    closeFilterDropDown();
    SetFilterColumn(rc);
    m_dropColumn = rc;
    // Each entry shows its display part; the check list ticks the entries whose condition (the
    // part after "=", else the whole entry) the column's filter holds.
    QStringList entries, conditions;
    for (int i = 0; i < FilterList().Count(); ++i) {
        const QString e = FilterList().Strings(i);
        const qsizetype eq = e.indexOf(u'=');
        entries << (eq < 0 ? e : e.left(eq));
        const QString condition = eq < 0 ? e : e.mid(eq + 1);
        conditions << (condition == FilterDropDownClear ? QString() : condition);
    }
    QListWidget* list = nullptr;
    if (FilterDropDownCheck) {
        if (!m_dropCheckList) {
            m_dropCheckList = new TDropCheckList(this);
            m_dropCheckList->OnCancel = [this](QObject*) {
                // The user closed the check list: its checked entries make the filter.
                SetFilterColumn(m_dropColumn);
                std::vector<char>& checks = FilterChecks();
                checks.assign(size_t(m_dropCheckList->count()), 0);
                for (int i = 0; i < m_dropCheckList->count(); ++i)
                    checks[size_t(i)] = m_dropCheckList->item(i)->checkState() == Qt::Checked ? 1 : 0;
                FilterCheck();
                m_dropCheckList->update();
                SetFilterColumn(-1);
            };
        }
        m_dropCheckList->clear();
        for (qsizetype e = 0; e < entries.size(); ++e) {
            bool ticked = false;
            for (int i = 0; i < Filter.Count(); ++i)
                if (Filter.Items(i)->Column == rc && Filter.Items(i)->Condition == conditions[e])
                    ticked = true;
            m_dropCheckList->AddCheckItem(entries[e], ticked);
        }
        list = m_dropCheckList;
    } else {
        if (!m_dropList) {
            m_dropList = new TDropList(this);
            // The choice belongs to the column the list opened for, whatever took the focus
            // from the list on the way.
            m_dropList->OnSelect = [this](QObject*, int index) {
                SetFilterColumn(m_dropColumn);
                FilterSelect(index);
            };
            m_dropList->OnCancel = [this](QObject*) { SetFilterColumn(-1); };
        }
        m_dropList->clear();
        m_dropList->addItems(entries);
        if (!entries.isEmpty())
            m_dropList->setCurrentRow(0);
        list = m_dropList;
    }
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, platform::toQColor(FilterDropDown.Color));
    list->setPalette(pal);
    list->setFont(FilterDropDown.Font);
    const QFontMetrics fm(FilterDropDown.Font);
    int widest = 0;
    for (const QString& e : entries)
        widest = std::max(widest, fm.horizontalAdvance(e));
    int width = widest + 8;
    int height = FilterDropDown.Height;
    if (FilterDropDown.AutoSize) {
        const int item = list->count() > 0 ? list->sizeHintForRow(0) : fm.height();
        width = 2 * item + widest;
        height = std::min(item * int(entries.size()) + 4, 400);
    } else {
        width = std::max(width, FilterDropDown.Width);
    }
    int left = cell.right - 16;
    if (FilterDropDown.ColumnWidth) {
        left = cell.left;
        width = cell.right - cell.left;
    }
    if (left + width > viewport()->width())
        left = std::max(0, cell.right - width);
    const QPoint global = viewport()->mapToGlobal(QPoint(left, cell.top + 16));
    list->setGeometry(global.x(), global.y(), width, height);
    list->show();
    list->setFocus();
    return true;
}

} // namespace controls::grid
