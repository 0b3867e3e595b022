#pragma once
// TExtColumnGrid: the table control of the protocol-table windows - a string grid whose columns
// are objects. Each column is a TGridColumnItem of the grid's TGridColumnCollection (Columns):
// header text, width, alignment, colours and fonts for screen and paper, the editor kind with its
// combo items, check-box texts, read-only and fixed flags, edit length and mask, float format,
// sort style, filter entries and a popup menu. The grid answers its per-cell questions (colour,
// font, alignment, borders, editor, editability, check texts, password, shown text, graphic)
// from the column item first, then as the string grid does.
//
// Items are indexed by real column (hidden columns included): Columns.Count() is ColCount plus
// the hidden columns. The collection follows the column count both ways: raising ColCount adds
// items that take the look of the last column (not its header, name, tag, combo items, drop-down
// count or header font), lowering it frees the last items; adding or deleting items at run time
// changes the column count, never below FixedCols + 1. Moving a column moves its item.
//
// Cells of an edDataCheckBox column show a check box (checked when the text is the column's
// CheckTrue) and toggle between CheckTrue and CheckFalse by click or Space. The column grid's
// cells may be edited without goEditing unless their column is ReadOnly or Fixed or the cell's
// properties are read-only; OnCanEditCell has the last word.
#include "controls/grid/auxwin/GridAux.h"
#include "controls/grid/edit/EditLink.h"
#include "controls/grid/input/GridInput.h"
#include "platform/core/StringList.h"

#include <QMenu>
#include <QPointer>
#include <memory>
#include <vector>

namespace controls::grid {

class TExtColumnGrid;
class TGridColumnCollection;

enum TColumnPopupType {
    cpFixedCellsRClick, cpFixedCellsLClick, cpNormalCellsRClick, cpNormalCellsLClick, cpAllCellsRClick, cpAllCellsLClick
};

class TGridColumnItem : public platform::TPersistent {
public:
    // collection nullptr: a spare item outside any grid, with default fonts and colour 0.
    explicit TGridColumnItem(TGridColumnCollection* collection);
    ~TGridColumnItem() override;
    TGridColumnItem(const TGridColumnItem&) = delete;
    TGridColumnItem& operator=(const TGridColumnItem&) = delete;

    TGridColumnCollection* Collection() const { return m_collection; }
    TExtColumnGrid* Grid() const;
    int Index() const;
    // "Column 3", or "Col 3: Speed" for an item named Speed.
    QString GetDisplayName() const;
    // Copies every property and DefIdx but ColumnPopupType, PrintBorderCustom and
    // PrintFontCustom; the width only into the item. Other sources are ignored.
    void Assign(const platform::TPersistent* source) override;
    // Like Assign, with Color and Font from the grid and Header, Name, Tag, ComboItems,
    // DropDownCount and HeaderFont left as they are.
    void AssignVisuals(const TGridColumnItem* source);

    // --- the column's cells --------------------------------------------------------------------
    QString Rows(int row) const;
    void SetRows(int row, const QString& value);
    int Ints(int row) const;
    void SetInts(int row, int value);
    double Floats(int row) const;
    void SetFloats(int row, double value);

    // --- published properties -------------------------------------------------------------------
    int AutoMinSize = 0, AutoMaxSize = 0;
    int MinSize = 0, MaxSize = 0;
    platform::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(platform::Alignment a);
    TCellBorders Borders() const { return m_borders; }
    void SetBorders(TCellBorders b);
    const platform::Pen& BorderPen() const { return m_borderPen; }
    void SetBorderPen(const platform::Pen& p);
    QString CheckFalse = QStringLiteral("N");
    QString CheckTrue = QStringLiteral("Y");
    Color GetColor() const { return m_color; }
    void SetColor(Color c);
    QPointer<QMenu> ColumnPopup;
    TColumnPopupType ColumnPopupType = cpFixedCellsRClick;
    const platform::TStringList& ComboItems() const { return m_comboItems; }
    platform::TStringList& ComboItems() { return m_comboItems; }
    void SetComboItems(const platform::TStringList& items) { m_comboItems.Assign(&items); }
    int DropDownCount = 8;
    int EditLength = 0;
    QString EditMask;
    TEditorType Editor() const { return m_editor; }
    void SetEditor(TEditorType e);
    const platform::TStringList& Filter() const { return m_filter; }
    platform::TStringList& Filter() { return m_filter; }
    void SetFilter(const platform::TStringList& f);
    bool FilterCaseSensitive = false;
    bool Fixed() const { return m_fixed; }
    void SetFixed(bool on);
    QString FloatFormat() const { return m_floatFormat; }
    void SetFloatFormat(const QString& f);
    const platform::Font& Font() const { return m_font; }
    void SetFont(const platform::Font& f);
    QString Header() const { return m_header; }
    void SetHeader(const QString& text);
    platform::Alignment HeaderAlignment() const { return m_headerAlignment; }
    void SetHeaderAlignment(platform::Alignment a);
    const platform::Font& HeaderFont() const { return m_headerFont; }
    void SetHeaderFont(const platform::Font& f);
    QString Name;
    bool Password() const { return m_password; }
    void SetPassword(bool on);
    bool PrintBorderCustom = true;
    TCellBorders PrintBorders = cbTop | cbLeft | cbRight | cbBottom;
    platform::Pen PrintBorderPen{platform::clBlack, 1, platform::PenStyle::Solid};
    Color PrintColor = platform::clWhite;
    bool PrintFontCustom = true;
    platform::Font PrintFont;
    bool ReadOnly = false;
    bool ShowBands() const { return m_showBands; }
    void SetShowBands(bool on);
    TSortStyle SortStyle = ssAutomatic;
    QString SortPrefix, SortSuffix;
    int SpinMax = 0, SpinMin = 0, SpinStep = 1;
    // The editor link of an edCustom column (not owned).
    QPointer<TEditLink> EditLink;
    int Tag = 0;
    int Width() const;
    void SetWidth(int w);
    // The column's place in the order as designed (SetOrganization).
    int DefIdx = 0;

private:
    friend class TGridColumnCollection;
    friend class TExtColumnGrid;
    void changed();

    TGridColumnCollection* m_collection;
    int m_width = 64;
    platform::Alignment m_alignment = platform::Alignment::taLeftJustify;
    TCellBorders m_borders = 0;
    platform::Pen m_borderPen{platform::clSilver, 1, platform::PenStyle::Solid};
    Color m_color = 0;
    platform::TStringList m_comboItems;
    TEditorType m_editor = edNormal;
    platform::TStringList m_filter;
    bool m_fixed = false;
    QString m_floatFormat;
    platform::Font m_font;
    QString m_header;
    platform::Alignment m_headerAlignment = platform::Alignment::taLeftJustify;
    platform::Font m_headerFont;
    bool m_password = false;
    bool m_showBands = false;
};

class TGridColumnCollection {
public:
    explicit TGridColumnCollection(TExtColumnGrid* grid);
    virtual ~TGridColumnCollection();
    TGridColumnCollection(const TGridColumnCollection&) = delete;
    TGridColumnCollection& operator=(const TGridColumnCollection&) = delete;

    int Count() const { return int(m_items.size()); }
    // An index outside 0..Count()-1 raises EListError.
    TGridColumnItem* Items(int index) const;
    TGridColumnItem* operator[](int index) const { return Items(index); }
    // A new item at the end, with the look of the last column.
    TGridColumnItem* Add();
    // A plain new item at index.
    TGridColumnItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();
    // Brings the grid's column count and headers in step after a change of the items.
    virtual void Update(TGridColumnItem* item);
    void SetOrganization();
    void ResetOrganization();
    TExtColumnGrid* GetOwner() const { return m_grid; }
    bool NoRecursiveUpdate = false;

private:
    friend class TExtColumnGrid;
    friend class TGridColumnItem;
    std::unique_ptr<TGridColumnItem> TakeAt(int index);
    void InsertAt(int index, std::unique_ptr<TGridColumnItem> item);
    TExtColumnGrid* m_grid;
    std::vector<std::unique_ptr<TGridColumnItem>> m_items;
    int m_updateCount = 0;
};

class TExtColumnGrid : public TExtStringGridAux {
public:
    using ColumnMovedEvent = std::function<void(TExtColumnGrid* sender, int fromIndex, int toIndex)>;
    using ColumnPopupEvent = std::function<void(TExtColumnGrid* sender, int col, int row, QMenu*& menu)>;

    explicit TExtColumnGrid(QWidget* parent = nullptr);
    ~TExtColumnGrid() override;

    TGridColumnCollection& Columns() { return *m_columns; }
    const TGridColumnCollection& Columns() const { return *m_columns; }
    // The first item of that name (case-sensitive), nullptr when none.
    TGridColumnItem* ColumnByName(const QString& name) const;
    TGridColumnItem* GetColumnByName(const QString& name) const { return ColumnByName(name); }
    void SetColCount(int n);
    int ColCount() const { return TExtStringGridAux::ColCount(); }
    bool AutoFilterDisplay = false;
    int GetVersionNr() const override { return 50397953; }
    QString GetVersionString() const override;
    void Loaded() override;
    void ChangeScale(int m, int d);
    void InsertCols(int colIndex, int count) override;
    void RemoveCols(int colIndex, int count) override;
    // Grouping takes the grouped column's item out with the column and UnGroup puts the same
    // item (with its settings) back.
    void Group(int colIndex) override;
    void UnGroup() override;
    // Brings the collection to ColCount plus the hidden columns.
    void SynchColumns();
    void UpdateColumnHeaders();

    // --- column layout persistence (ColumnLayout.cpp) ------------------------------------------------
    // Every column item as one component-stream object "TExtColumnGridIO" with the collection
    // "Items" (each item's properties in their declared order). Loading checks the whole stream
    // first: a stream that fails changes nothing; ColCount stays as it is.
    void SaveColumnsToStream(QByteArray& out);
    void LoadColumnsFromStream(const QByteArray& data, qsizetype& pos);
    // "CP<n>" = the designed index (DefIdx) of the item at position n, in the INI file key.
    // Loading a set that is incomplete or no permutation of the items changes nothing.
    void SaveColumnPositions(const QString& key, const QString& section);
    void LoadColumnPositions(const QString& key, const QString& section);
    // CP keys for ColumnSize.Location clIniFile, else the string grid's Pos keys.
    void SaveColPositions();
    void LoadColPositions();

    // --- the per-cell questions, answered from the column first -----------------------------------
    void GetCellFormat(int col, int row, TCellFormat& format) override;
    void GetCellColor(int col, int row, TGridDrawState state, platform::Brush& brush, platform::Font& font) override;
    void GetCellBorder(int col, int row, platform::Pen& pen, TCellBorders& borders) override;
    // Printed cells take the column's print colour, font and lines.
    void GetCellPrintColor(int col, int row, TGridDrawState state, platform::Brush& brush, platform::Font& font) override;
    void GetCellPrintBorder(int col, int row, platform::Pen& pen, TCellBorders& borders) override;
    void GetCellAlignment(int col, int row, platform::Alignment& hAlign, TVAlignment& vAlign) override;
    void GetColFormat(int col, int& style, QString& prefix, QString& suffix) override;
    void GetCellEditor(int col, int row, TEditorType& editor) override;
    bool HasComboBox(int col, int row) override;
    bool HasSpinEdit(int col, int row) override;
    void IsFixedCell(int col, int row, bool& isFixed) const override;
    void CheckCanEdit(int col, int row, bool& canEdit) override;
    void IsPasswordCell(int col, int row, bool& isPassword) override;
    void GetCheckTrue(int col, int row, QString& value) override;
    void GetCheckFalse(int col, int row, QString& value) override;
    void GetColFloatFormat(int col, QString& fmt) override;
    QString GetFormattedCell(int col, int row) override;
    bool PlainColumnMeasure(int col, int realCol) override;
    TCellType GetCellType(int col, int row) override;
    TCellGraphic* GetCellGraphic(int col, int row) override;
    void UpdateColSize(int col, int& width) override;
    void UpdateAutoColSize(int col, int& width) override;
    bool GetColumnFilter(int col) override;
    void CellsLoaded() override;
    void ColumnHeadersChanged() override;

    ColumnMovedEvent OnAfterColumnMoved;
    ColumnPopupEvent OnColumnPopup;

protected:
    virtual std::unique_ptr<TGridColumnCollection> CreateColumns();
    void columnMoved(int fromIndex, int toIndex) override;
    void colWidthsChanged() override;
    void sizeChanged(int oldColCount, int oldRowCount) override;
    int getEditLimit() override;
    QString getEditMask(int col, int row) override;
    void mouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;

private:
    friend class TGridColumnCollection;
    friend class TGridColumnItem;
    // A cell below the fixed rows and above the footers, in an item's column.
    bool IsNormalCell(int col, int row) const;
    TGridColumnItem* ItemAt(int col) const;

    std::unique_ptr<TGridColumnCollection> m_columns;
    std::unique_ptr<TGridColumnItem> m_groupItem; // the grouped column's item while grouped
    std::unique_ptr<TGridColumnItem> m_saveCol;
    TCellGraphic m_cellGraphic;
    bool m_colMoving = false;
    bool m_inColumnOp = false;
};

} // namespace controls::grid
