#pragma once
// Small classes the string grid owns or uses: an integer list with a change event and its
// sort-index variant, the list of controls placed in cells, a picture referenced by file name,
// a string list read and written line by line, and the persistent settings objects
// SearchFooter, Navigation, MouseActions, SyncGrid, Bands and FocusHelper.
//
// Settings objects hold values only; the grid reads them where it needs them. Properties whose
// setters only store are plain fields; the others are Name() / SetName(value). Each object
// tells its grid about a change through OnChange (or the other events named below). Assign
// copies from an object of the same class and ignores any other source.
#include "platform/core/Persistent.h"
#include "platform/core/StringList.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "platform/grid/StringGrid.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace controls::grid {

using platform::Color;

// A list of 32-bit integers that belongs to a cell (or to the grid, with column and row 0).
class TIntList : public platform::TPersistent {
public:
    using ChangeEvent = std::function<void(TIntList* sender, int col, int row)>;

    TIntList(int col = 0, int row = 0) : m_col(col), m_row(row) {}

    int Count() const { return int(m_items.size()); }
    // Add, Delete and SetInteger fire OnChange; Insert does not.
    void Add(int value);
    void Insert(int index, int value);
    void Delete(int index);
    void SetInteger(int index, int value);
    int GetInteger(int index) const;
    int operator[](int index) const { return GetInteger(index); }
    bool HasValue(int value) const;
    void DeleteValue(int value);
    void Clear() { m_items.clear(); }
    // "1,2,3"; writing splits as comma text and adds each entry (one OnChange each); an entry
    // that is no integer raises EConvertError after the entries before it were added.
    QString StrValue() const;
    void SetStrValue(const QString& text);
    int Col() const { return m_col; }
    int Row() const { return m_row; }
    const std::vector<int>& Values() const { return m_items; }
    // The entries for edits of whole blocks (the grid's row operations); fires no OnChange.
    std::vector<int>& RawValues() { return m_items; }

    ChangeEvent OnChange;

protected:
    void changed();

private:
    std::vector<int> m_items;
    int m_col;
    int m_row;
};

// One entry per sort column: the column in bits 0..30, bit 31 set for a descending sort.
class TSortIndexList : public TIntList {
public:
    using TIntList::TIntList;
    void AddIndex(int column, bool ascending);
    int FindIndex(int column) const;
    void ToggleIndex(int column);
    int GetSortColumns(int i) const;
    void SetSortColumns(int i, int column);
    bool GetSortDirections(int i) const;
    void SetSortDirections(int i, bool ascending);
    // "u3;d5": direction letter and the low 16 bits of the column, entries joined by ";".
    QString SaveToString() const;
    // Parts shorter than two characters are skipped; "u" is ascending, anything else descending.
    void LoadFromString(const QString& s);
};

struct TControlItem {
    int X = 0;
    int Y = 0;
    QPointer<QWidget> Object;
};

// The controls placed in cells; the items are owned, the controls are not.
class TControlList {
public:
    int Count() const { return int(m_items.size()); }
    void AddControl(int x, int y, QWidget* control);
    void RemoveControl(int index);
    int ControlIndex(int x, int y) const;
    TControlItem& GetControl(int index) { return m_items.at(size_t(index)); }
    const TControlItem& GetControl(int index) const { return m_items.at(size_t(index)); }
    bool HasHandle(const QWidget* window) const;
    void Clear() { m_items.clear(); }

private:
    std::vector<TControlItem> m_items;
};

// A picture known by its file; read each time it is measured or drawn.
class TFilePicture : public platform::TPersistent {
public:
    QString Filename() const { return m_filename; }
    // Reads the file for its size; a file that cannot be read raises (the name stays set).
    void SetFilename(const QString& name);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void DrawPicture(platform::Canvas& canvas, const platform::Rect& r) const;
    void Assign(const platform::TPersistent* source) override;

private:
    QString m_filename;
    int m_width = 0;
    int m_height = 0;
};

// A string list read and written line by line.
class TFileStringList : public platform::TStringList {
public:
    void Reset();
    bool Eof() const { return m_fp >= Count(); }
    // Callers check Eof first; past the end gives an empty line.
    void ReadLn(QString& s);
    void Write(const QString& s) { m_cache += s; }
    void WriteLn(const QString& s);

private:
    int m_fp = 0;
    QString m_cache;
};

enum TSearchDirection { sdTopBottom, sdLeftRight };

class TSearchFooter : public platform::TPersistent {
public:
    // With initDesign the captions and hints get their English texts.
    explicit TSearchFooter(bool initDesign = false);

#define VN_SEARCH_PROP(Type, Name)                                                                                     \
    Type Name() const { return m_##Name; }                                                                             \
    void Set##Name(const Type& v)                                                                                      \
    {                                                                                                                  \
        m_##Name = v;                                                                                                  \
        changed();                                                                                                     \
    }
    VN_SEARCH_PROP(bool, AlwaysHighLight)
    VN_SEARCH_PROP(bool, AutoSearch)
    VN_SEARCH_PROP(platform::Color, Color)
    VN_SEARCH_PROP(platform::Color, ColorTo)
    VN_SEARCH_PROP(QString, FindNextCaption)
    VN_SEARCH_PROP(QString, FindPrevCaption)
    VN_SEARCH_PROP(QString, HighLightCaption)
    VN_SEARCH_PROP(QString, HintClose)
    VN_SEARCH_PROP(QString, HintFindNext)
    VN_SEARCH_PROP(QString, HintFindPrev)
    VN_SEARCH_PROP(QString, HintHighlight)
    VN_SEARCH_PROP(QString, MatchCaseCaption)
    VN_SEARCH_PROP(bool, SearchActiveColumnOnly)
    VN_SEARCH_PROP(int, SearchColumn)
    VN_SEARCH_PROP(bool, SearchMatchStart)
    VN_SEARCH_PROP(bool, SearchFixedCells)
    VN_SEARCH_PROP(bool, SearchHiddenRows)
    VN_SEARCH_PROP(TSearchDirection, SearchDirection)
    VN_SEARCH_PROP(bool, ShowClose)
#undef VN_SEARCH_PROP
    // These store and notify only when the value changes.
    bool ShowFindNext() const { return m_ShowFindNext; }
    void SetShowFindNext(bool v);
    bool ShowFindPrev() const { return m_ShowFindPrev; }
    void SetShowFindPrev(bool v);
    bool ShowHighLight() const { return m_ShowHighLight; }
    void SetShowHighLight(bool v);
    bool ShowMatchCase() const { return m_ShowMatchCase; }
    void SetShowMatchCase(bool v);
    bool Visible() const { return m_Visible; }
    void SetVisible(bool v);
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& f);

    bool AutoThemeAdapt = false;
    QString LastSearch;
    platform::TNotifyEvent OnChange;

    void Assign(const platform::TPersistent* source) override;

private:
    void changed();
    bool m_AlwaysHighLight = false;
    bool m_AutoSearch = true;
    platform::Color m_Color = 0xFFFFFF;
    platform::Color m_ColorTo = platform::clBtnFace;
    QString m_FindNextCaption, m_FindPrevCaption, m_HighLightCaption, m_HintClose, m_HintFindNext, m_HintFindPrev,
        m_HintHighlight, m_MatchCaseCaption;
    bool m_SearchActiveColumnOnly = false;
    int m_SearchColumn = -1;
    bool m_SearchMatchStart = false;
    bool m_SearchFixedCells = false;
    bool m_SearchHiddenRows = false;
    TSearchDirection m_SearchDirection = sdTopBottom;
    bool m_ShowClose = true;
    bool m_ShowFindNext = true;
    bool m_ShowFindPrev = true;
    bool m_ShowHighLight = true;
    bool m_ShowMatchCase = true;
    bool m_Visible = false;
    QFont m_font;
};

enum TAdvanceDirection { adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol };
enum TInsertPosition { pInsertBefore, pInsertAfter };
enum TClipboardPasteAction { paReplace, paInsert };
enum TCursorAdvance { caDefault, caSnake, caLoop };
enum THomeEndAction { heFirstLastColumn, heFirstLastRow, heFirstLastCell };

class TNavigation : public platform::TPersistent {
public:
    bool AdvanceOnEnterLoop = true, AdvanceAutoEdit = true, AdvanceSkipReadOnlyCells = true, AllowCtrlEnter = true,
         AllowClipboardRowGrow = true, AllowClipboardColGrow = true, ComboGetUpDown = true,
         CursorWalkAlwaysEdit = true, EditSelectAll = true, LeftRightRowSelect = true,
         CopyHTMLTagsToClipboard = true, SkipFixedCells = true, SkipDisabledRows = true;
    bool AllowInsertRow = false, AllowDeleteRow = false, AlwaysEdit = false, AdvanceOnEnter = false,
         AutoGotoWhenSorted = false, AutoGotoIncremental = false, AutoComboDropSize = false,
         AllowClipboardShortCuts = false, AllowSmartClipboard = false, AllowRTFClipboard = false,
         AllowFmtClipboard = false, AllowClipboardAlways = false, AppendOnArrowDown = false,
         CursorWalkEditor = false, CursorMoveRows = false, MoveRowOnSort = false, KeepScrollOnSort = false,
         MoveScrollOnly = false, ImproveMaskSel = false, KeepHorizScroll = false, LineFeedOnEnter = false,
         TabToNextAtEnd = false;
    TAdvanceDirection TabAdvanceDirection = adLeftRight;
    TInsertPosition InsertPosition = pInsertBefore;
    TClipboardPasteAction ClipboardPasteAction = paReplace;
    TCursorAdvance CursorAdvance = caDefault;
    THomeEndAction HomeEndKey = heFirstLastColumn;

    bool AdvanceAuto() const { return m_advanceAuto; }
    // On also switches AdvanceOnEnter on (without an event).
    void SetAdvanceAuto(bool v);
    TAdvanceDirection AdvanceDirection() const { return m_advanceDirection; }
    void SetAdvanceDirection(TAdvanceDirection v);
    bool AdvanceInsert() const { return m_advanceInsert; }
    void SetAdvanceInsert(bool v);

    platform::TNotifyEvent OnChange;
    void Assign(const platform::TPersistent* source) override;

private:
    bool m_advanceAuto = false;
    TAdvanceDirection m_advanceDirection = adLeftRight;
    bool m_advanceInsert = false;
};

enum TGridFixedCellEdit { fceNone, fceDblClick, fceLeftClick, fceRightClick };
enum TGridFixedCellEditor { fceEdit, fceComboEdit, fceComboList };
enum TWheelAction { waMoveSelection, waScroll };

class TMouseActions : public platform::TPersistent {
public:
    bool AutoSizeColOnDblClick = true, PreciseNodeClick = true;
    bool AllColumnSize = false, AllRowSize = false, AllSelect = false, CaretPositioning = false,
         CheckAllCheck = false, ColSelect = false, DirectComboClose = false, DirectComboDrop = false,
         DirectDateClose = false, DirectDateDrop = false, DirectEdit = false, DisjunctRowSelectNoCtrl = false,
         MoveRowOnNodeClick = false, NoAutoRangeScroll = false, NodeAllExpandContract = false,
         NoScrollOnPartialRow = false, PreciseCheckBoxCheck = false, RangeSelectAndEdit = false, RowSelect = false,
         RowSelectPersistent = false, SelectOnRightClick = false, SizeFixedCol = false, SizeFixedRow = false;
    TGridFixedCellEdit FixedRowsEdit = fceNone, FixedColsEdit = fceNone;
    TGridFixedCellEditor FixedRowsEditor = fceEdit, FixedColsEditor = fceEdit;
    platform::TStringList FixedComboValues;
    int WheelIncrement = 0;

    bool HotmailRowSelect() const { return m_hotmailRowSelect; }
    // On also switches DisjunctRowSelect and CheckAllCheck on; OnInvalidate either way.
    void SetHotmailRowSelect(bool v);
    bool EditOnDblClickOnly() const { return m_editOnDblClickOnly; }
    void SetEditOnDblClickOnly(bool v);
    // The three disjunct selections exclude each other while the grid is designed.
    bool DisjunctRowSelect() const { return m_disjunctRowSelect; }
    void SetDisjunctRowSelect(bool v);
    bool DisjunctColSelect() const { return m_disjunctColSelect; }
    void SetDisjunctColSelect(bool v);
    bool DisjunctCellSelect() const { return m_disjunctCellSelect; }
    void SetDisjunctCellSelect(bool v);
    // DisjunctRowSelect without its setter's effects.
    void SetDisjunctRowSelectDirect(bool v) { m_disjunctRowSelect = v; }
    TWheelAction WheelAction() const { return m_wheelAction; }
    void SetWheelAction(TWheelAction v);

    platform::TNotifyEvent OnChange;
    std::function<void(TMouseActions* sender, bool& isDesigning)> OnIsDesigning;
    platform::TNotifyEvent OnInvalidate;
    platform::TNotifyEvent OnDisableEdit;

    void Assign(const platform::TPersistent* source) override;

private:
    bool designing();
    bool m_hotmailRowSelect = false;
    bool m_editOnDblClickOnly = false;
    bool m_disjunctRowSelect = false;
    bool m_disjunctColSelect = false;
    bool m_disjunctCellSelect = false;
    TWheelAction m_wheelAction = waMoveSelection;
};

class TSyncGrid : public platform::TPersistent {
public:
    explicit TSyncGrid(platform::TStringGrid* owner) : m_owner(owner) {}
    platform::TStringGrid* Grid() const { return m_grid.data(); }
    // The owner itself is not taken.
    void SetGrid(platform::TStringGrid* grid);
    bool ScrollVertical = false, ScrollHorizontal = false, SelectionColumn = false, SelectionRow = false,
         MoveColumn = false, MoveRow = false;
    void Assign(const platform::TPersistent* source) override;

private:
    platform::TStringGrid* m_owner;
    QPointer<platform::TStringGrid> m_grid;
};

class TBands : public platform::TPersistent {
public:
    bool Active() const { return m_active; }
    void SetActive(bool v);
    Color PrimaryColor() const { return m_primaryColor; }
    void SetPrimaryColor(Color c);
    int PrimaryLength() const { return m_primaryLength; }
    void SetPrimaryLength(int n);
    Color SecondaryColor() const { return m_secondaryColor; }
    void SetSecondaryColor(Color c);
    int SecondaryLength() const { return m_secondaryLength; }
    void SetSecondaryLength(int n);
    int TotalLength() const { return m_primaryLength + m_secondaryLength; }
    bool Print = false;
    platform::TNotifyEvent OnChange;
    void Assign(const platform::TPersistent* source) override;

private:
    void changedWhileActive();
    bool m_active = false;
    Color m_primaryColor = platform::systemColor(platform::COLOR_INFOBK);
    int m_primaryLength = 1;
    Color m_secondaryColor = platform::systemColor(platform::COLOR_WINDOW);
    int m_secondaryLength = 1;
};

class TFocusHelper : public platform::TPersistent {
public:
    bool Enabled = false;
    void Assign(const platform::TPersistent* source) override;
};

} // namespace controls::grid
