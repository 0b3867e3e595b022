#include "controls/grid/base/GridLists.h"

#include "platform/core/Conversions.h"
#include "platform/draw/Graphics.h"
#include "platform/grid/StringGrid.h"

#include <QWidget>
#include <algorithm>

namespace controls::grid {

// --- TIntList -----------------------------------------------------------------------------------

void TIntList::changed()
{
    if (OnChange)
        OnChange(this, m_col, m_row);
}

void TIntList::Add(int value)
{
    m_items.push_back(value);
    changed();
}

void TIntList::Insert(int index, int value)
{
    index = std::clamp(index, 0, Count());
    m_items.insert(m_items.begin() + index, value);
}

void TIntList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_items.erase(m_items.begin() + index);
    changed();
}

void TIntList::SetInteger(int index, int value)
{
    if (index < 0 || index >= Count())
        return;
    m_items[size_t(index)] = value;
    changed();
}

int TIntList::GetInteger(int index) const { return index >= 0 && index < Count() ? m_items[size_t(index)] : 0; }

bool TIntList::HasValue(int value) const { return std::find(m_items.begin(), m_items.end(), value) != m_items.end(); }

void TIntList::DeleteValue(int value)
{
    const auto it = std::find(m_items.begin(), m_items.end(), value);
    if (it != m_items.end())
        Delete(int(it - m_items.begin()));
}

QString TIntList::StrValue() const
{
    QStringList parts;
    for (int v : m_items)
        parts << QString::number(v);
    return parts.join(QLatin1Char(','));
}

void TIntList::SetStrValue(const QString& text)
{
    platform::TStringList list;
    list.SetCommaText(text);
    m_items.clear();
    for (int i = 0; i < list.Count(); ++i)
        Add(platform::StrToInt(list.Strings(i)));
}

// --- TSortIndexList -------------------------------------------------------------------------------

namespace {
constexpr unsigned kDescending = 0x80000000u;
constexpr int kColumnBits = 0x7FFFFFFF;
} // namespace

void TSortIndexList::AddIndex(int column, bool ascending)
{
    unsigned v = unsigned(column) & unsigned(kColumnBits);
    if (!ascending)
        v |= kDescending;
    Add(int(v));
}

int TSortIndexList::FindIndex(int column) const
{
    for (int i = 0; i < Count(); ++i)
        if ((GetInteger(i) & kColumnBits) == (column & kColumnBits))
            return i;
    return -1;
}

void TSortIndexList::ToggleIndex(int column)
{
    const int i = FindIndex(column);
    if (i >= 0)
        SetInteger(i, int(unsigned(GetInteger(i)) ^ kDescending));
}

int TSortIndexList::GetSortColumns(int i) const { return GetInteger(i) & kColumnBits; }

void TSortIndexList::SetSortColumns(int i, int column)
{
    SetInteger(i, int((unsigned(GetInteger(i)) & kDescending) | (unsigned(column) & unsigned(kColumnBits))));
}

bool TSortIndexList::GetSortDirections(int i) const { return (unsigned(GetInteger(i)) & kDescending) == 0; }

void TSortIndexList::SetSortDirections(int i, bool ascending)
{
    unsigned v = unsigned(GetInteger(i));
    v = ascending ? v & ~kDescending : v | kDescending;
    SetInteger(i, int(v));
}

QString TSortIndexList::SaveToString() const
{
    QStringList parts;
    for (int i = 0; i < Count(); ++i)
        parts << (GetSortDirections(i) ? QStringLiteral("u") : QStringLiteral("d"))
                     + QString::number(GetInteger(i) & 0xFFFF);
    return parts.join(QLatin1Char(';'));
}

void TSortIndexList::LoadFromString(const QString& s)
{
    Clear();
    for (const QString& part : s.split(u';')) {
        int column = 0;
        // Sort states come from layout files: a part that is no entry is skipped.
        if (part.size() < 2 || !platform::TryStrToInt(part.mid(1), column))
            continue;
        AddIndex(column, part[0] == u'u');
    }
}

// --- TControlList -----------------------------------------------------------------------------------

void TControlList::AddControl(int x, int y, QWidget* control) { m_items.push_back(TControlItem{x, y, control}); }

void TControlList::RemoveControl(int index)
{
    if (index >= 0 && index < Count())
        m_items.erase(m_items.begin() + index);
}

int TControlList::ControlIndex(int x, int y) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[size_t(i)].X == x && m_items[size_t(i)].Y == y)
            return i;
    return -1;
}

bool TControlList::HasHandle(const QWidget* window) const
{
    return std::any_of(m_items.begin(), m_items.end(),
                       [window](const TControlItem& item) { return item.Object && item.Object.data() == window; });
}

// --- TFilePicture --------------------------------------------------------------------------------------

void TFilePicture::SetFilename(const QString& name)
{
    m_filename = name;
    platform::Picture picture;
    picture.LoadFromFile(name);
    m_width = picture.width();
    m_height = picture.height();
}

void TFilePicture::DrawPicture(platform::Canvas& canvas, const platform::Rect& r) const
{
    if (m_filename.isEmpty())
        return;
    platform::Picture picture;
    picture.LoadFromFile(m_filename);
    picture.stretchDraw(canvas, r);
}

void TFilePicture::Assign(const platform::TPersistent* source)
{
    if (const auto* s = dynamic_cast<const TFilePicture*>(source)) {
        m_filename = s->m_filename;
        m_width = s->m_width;
        m_height = s->m_height;
        return;
    }
    TPersistent::Assign(source);
}

// --- TFileStringList -----------------------------------------------------------------------------------

void TFileStringList::Reset()
{
    m_fp = 0;
    m_cache.clear();
}

void TFileStringList::ReadLn(QString& s)
{
    s = m_fp < Count() ? Strings(m_fp) : QString();
    ++m_fp;
}

void TFileStringList::WriteLn(const QString& s)
{
    Add(m_cache + s);
    m_cache.clear();
}

// --- TSearchFooter ---------------------------------------------------------------------------------------

TSearchFooter::TSearchFooter(bool initDesign)
{
    if (initDesign) {
        m_FindNextCaption = QStringLiteral("Find &next");
        m_FindPrevCaption = QStringLiteral("Find &previous");
        m_HighLightCaption = QStringLiteral("Highlight");
        m_HintClose = QStringLiteral("Close");
        m_HintFindNext = QStringLiteral("Find next occurrence");
        m_HintFindPrev = QStringLiteral("Find previous occurrence");
        m_HintHighlight = QStringLiteral("Highlight occurrences");
        m_MatchCaseCaption = QStringLiteral("Match case");
    }
}

void TSearchFooter::changed()
{
    if (OnChange)
        OnChange(this);
}

void TSearchFooter::SetShowFindNext(bool v)
{
    if (v == m_ShowFindNext)
        return;
    m_ShowFindNext = v;
    changed();
}

void TSearchFooter::SetShowFindPrev(bool v)
{
    if (v == m_ShowFindPrev)
        return;
    m_ShowFindPrev = v;
    changed();
}

void TSearchFooter::SetShowHighLight(bool v)
{
    if (v == m_ShowHighLight)
        return;
    m_ShowHighLight = v;
    changed();
}

void TSearchFooter::SetShowMatchCase(bool v)
{
    if (v == m_ShowMatchCase)
        return;
    m_ShowMatchCase = v;
    changed();
}

void TSearchFooter::SetVisible(bool v)
{
    if (v == m_Visible)
        return;
    m_Visible = v;
    changed();
}

void TSearchFooter::SetFont(const QFont& f)
{
    m_font = f;
    changed();
}

void TSearchFooter::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TSearchFooter*>(source);
    if (!s)
        return;
    m_AlwaysHighLight = s->m_AlwaysHighLight;
    m_Color = s->m_Color;
    m_ColorTo = s->m_ColorTo;
    m_FindNextCaption = s->m_FindNextCaption;
    m_FindPrevCaption = s->m_FindPrevCaption;
    m_HighLightCaption = s->m_HighLightCaption;
    m_HintClose = s->m_HintClose;
    m_HintFindNext = s->m_HintFindNext;
    m_HintFindPrev = s->m_HintFindPrev;
    m_HintHighlight = s->m_HintHighlight;
    m_MatchCaseCaption = s->m_MatchCaseCaption;
    m_ShowClose = s->m_ShowClose;
    m_ShowFindNext = s->m_ShowFindNext;
    m_ShowFindPrev = s->m_ShowFindPrev;
    m_ShowHighLight = s->m_ShowHighLight;
    m_ShowMatchCase = s->m_ShowMatchCase;
    m_SearchActiveColumnOnly = s->m_SearchActiveColumnOnly;
    m_SearchMatchStart = s->m_SearchMatchStart;
    m_SearchColumn = s->m_SearchColumn;
    m_SearchDirection = s->m_SearchDirection;
    m_SearchHiddenRows = s->m_SearchHiddenRows;
    m_Visible = s->m_Visible;
    m_font = s->m_font;
}

// --- TNavigation -------------------------------------------------------------------------------------------

void TNavigation::SetAdvanceAuto(bool v)
{
    m_advanceAuto = v;
    if (v)
        AdvanceOnEnter = true;
}

void TNavigation::SetAdvanceDirection(TAdvanceDirection v)
{
    if (v == m_advanceDirection)
        return;
    m_advanceDirection = v;
    if (OnChange)
        OnChange(this);
}

void TNavigation::SetAdvanceInsert(bool v)
{
    if (v == m_advanceInsert)
        return;
    m_advanceInsert = v;
    if (OnChange)
        OnChange(this);
}

void TNavigation::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TNavigation*>(source);
    if (!s)
        return;
    const bool keepScroll = KeepScrollOnSort;
    const platform::TNotifyEvent onChange = OnChange;
    *this = *s;
    KeepScrollOnSort = keepScroll;
    OnChange = onChange;
}

// --- TMouseActions -------------------------------------------------------------------------------------------

bool TMouseActions::designing()
{
    bool d = false;
    if (OnIsDesigning)
        OnIsDesigning(this, d);
    return d;
}

void TMouseActions::SetHotmailRowSelect(bool v)
{
    m_hotmailRowSelect = v;
    if (v) {
        m_disjunctRowSelect = true;
        CheckAllCheck = true;
    }
    if (OnInvalidate)
        OnInvalidate(this);
}

void TMouseActions::SetEditOnDblClickOnly(bool v)
{
    m_editOnDblClickOnly = v;
    if (v && OnDisableEdit)
        OnDisableEdit(this);
}

void TMouseActions::SetDisjunctRowSelect(bool v)
{
    m_disjunctRowSelect = v;
    if (v && designing()) {
        m_disjunctColSelect = false;
        m_disjunctCellSelect = false;
    }
}

void TMouseActions::SetDisjunctColSelect(bool v)
{
    m_disjunctColSelect = v;
    if (v && designing()) {
        m_disjunctRowSelect = false;
        m_disjunctCellSelect = false;
    }
}

void TMouseActions::SetDisjunctCellSelect(bool v)
{
    m_disjunctCellSelect = v;
    if (v && designing()) {
        m_disjunctRowSelect = false;
        m_disjunctColSelect = false;
    }
}

void TMouseActions::SetWheelAction(TWheelAction v)
{
    if (v == m_wheelAction)
        return;
    m_wheelAction = v;
    if (OnChange)
        OnChange(this);
}

void TMouseActions::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TMouseActions*>(source);
    if (!s)
        return;
    AllColumnSize = s->AllColumnSize;
    AllRowSize = s->AllRowSize;
    AllSelect = s->AllSelect;
    AutoSizeColOnDblClick = s->AutoSizeColOnDblClick;
    CaretPositioning = s->CaretPositioning;
    CheckAllCheck = s->CheckAllCheck;
    ColSelect = s->ColSelect;
    DirectComboClose = s->DirectComboClose;
    DirectComboDrop = s->DirectComboDrop;
    DirectDateClose = s->DirectDateClose;
    DirectDateDrop = s->DirectDateDrop;
    DirectEdit = s->DirectEdit;
    m_disjunctRowSelect = s->m_disjunctRowSelect;
    m_disjunctColSelect = s->m_disjunctColSelect;
    m_disjunctCellSelect = s->m_disjunctCellSelect;
    FixedRowsEdit = s->FixedRowsEdit;
    FixedColsEdit = s->FixedColsEdit;
    FixedColsEditor = s->FixedColsEditor;
    FixedRowsEditor = s->FixedRowsEditor;
    MoveRowOnNodeClick = s->MoveRowOnNodeClick;
    NoAutoRangeScroll = s->NoAutoRangeScroll;
    NodeAllExpandContract = s->NodeAllExpandContract;
    NoScrollOnPartialRow = s->NoScrollOnPartialRow;
    PreciseCheckBoxCheck = s->PreciseCheckBoxCheck;
    PreciseNodeClick = s->PreciseNodeClick;
    RangeSelectAndEdit = s->RangeSelectAndEdit;
    RowSelect = s->RowSelect;
    RowSelectPersistent = s->RowSelectPersistent;
    SelectOnRightClick = s->SelectOnRightClick;
    SizeFixedCol = s->SizeFixedCol;
    WheelIncrement = s->WheelIncrement;
    m_wheelAction = s->m_wheelAction;
    DisjunctRowSelectNoCtrl = s->DisjunctRowSelectNoCtrl;
}

// --- TSyncGrid ---------------------------------------------------------------------------------------------------

void TSyncGrid::SetGrid(platform::TStringGrid* grid)
{
    if (grid && grid == m_owner)
        return;
    m_grid = grid;
}

void TSyncGrid::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TSyncGrid*>(source);
    if (!s)
        return;
    SetGrid(s->Grid());
    ScrollVertical = s->ScrollVertical;
    ScrollHorizontal = s->ScrollHorizontal;
    SelectionColumn = s->SelectionColumn;
    SelectionRow = s->SelectionRow;
    MoveColumn = s->MoveColumn;
    MoveRow = s->MoveRow;
}

// --- TBands ------------------------------------------------------------------------------------------------------

void TBands::changedWhileActive()
{
    if (m_active && OnChange)
        OnChange(this);
}

void TBands::SetActive(bool v)
{
    if (v == m_active)
        return;
    m_active = v;
    if (OnChange)
        OnChange(this);
}

void TBands::SetPrimaryColor(Color c)
{
    if (c == m_primaryColor)
        return;
    m_primaryColor = c;
    changedWhileActive();
}

void TBands::SetPrimaryLength(int n)
{
    if (n == m_primaryLength)
        return;
    m_primaryLength = n;
    changedWhileActive();
}

void TBands::SetSecondaryColor(Color c)
{
    if (c == m_secondaryColor)
        return;
    m_secondaryColor = c;
    changedWhileActive();
}

void TBands::SetSecondaryLength(int n)
{
    if (n == m_secondaryLength)
        return;
    m_secondaryLength = n;
    changedWhileActive();
}

void TBands::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TBands*>(source);
    if (!s)
        return;
    m_active = s->m_active;
    m_primaryColor = s->m_primaryColor;
    m_secondaryColor = s->m_secondaryColor;
    m_primaryLength = s->m_primaryLength;
    m_secondaryLength = s->m_secondaryLength;
    Print = s->Print;
}

void TFocusHelper::Assign(const platform::TPersistent* source)
{
    if (const auto* s = dynamic_cast<const TFocusHelper*>(source))
        Enabled = s->Enabled;
}

} // namespace controls::grid
