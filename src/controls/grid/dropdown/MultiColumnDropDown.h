#pragma once
// TExtMultiColumnDropDown: a drop-down whose popup lists items in several columns under a header
// row, drawn by its own grid (multicolumn::TExtColGrid). The edit shows the chosen item's text
// of LookupColumn. Typing in the edit completes the text from that column (the completed tail
// selected, the item's own letter case taken when the key is released); typing while the grid
// has the focus looks the typed text up and moves the grid's row. Up, Down, Page Up and Page
// Down step through the items, Home and End too while the editor is off; a click or Return in
// the grid chooses the row and closes the popup, Escape puts back the item the popup opened
// with. The popup shows only whole rows and its columns follow its width.
#include "controls/grid/dropdown/ListDropDownShared.h"
#include "platform/grid/StringGrid.h"

namespace controls::grid::dropdown {

using platform::Rect;

class TExtMultiColumnDropDown;

namespace multicolumn {

class TExtColGrid : public platform::TStringGrid {
    Q_OBJECT

public:
    explicit TExtColGrid(QWidget* parent = nullptr);

    TDropDownColumns& Columns() { return m_columns; }
    Color LineColor = 0x808080;
    Color FixedLineColor = 0xD1BBA4;
    Color HeaderColor = 0xFFFFFF;
    Color HeaderColorTo = 0x808080;
    int HeaderHeight = 25;
    QFont HeaderFont;
    int GridLineWidth() const { return m_lineWidth; }
    void SetGridLineWidth(int width);
    const platform::TImageList* Images = nullptr;
    bool ConfirmSelection = false;
    bool MouseWheelSelection = false;
    int OldRow = 0;
    std::function<void()> OnSelect;

    void SetDropDown(TExtMultiColumnDropDown* dropDown) { m_dropDown = dropDown; }
    // Takes the drop-down's columns, items, colours and sizes.
    void LoadFromDropDown(TExtMultiColumnDropDown* d);
    // The width that shows every column (with a scroll bar where not all rows fit).
    int GetTotalWidth() const;
    void AutoSizeColumn(int index);
    void AutoSizeColumns();
    void AutoRowHeights();
    Rect FullCellRect(int col, int row) const;
    virtual void DoSelect();
    bool AllRowsVisible() const;

protected:
    void drawCell(int col, int row, const Rect& rect, platform::TGridDrawState state) override;
    void keyDown(quint16& key, TShiftState shift) override;
    void mouseDown(platform::TMouseButton button, TShiftState shift, int x, int y) override;
    void mouseUp(platform::TMouseButton button, TShiftState shift, int x, int y) override;
    bool doMouseWheelDown(TShiftState shift, QPoint mousePos) override;
    bool doMouseWheelUp(TShiftState shift, QPoint mousePos) override;
    void wmKeyDown(platform::TWMKey& msg) override;
    int wmGetDlgCode() override;

private:
    TDropDownColumns m_columns;
    int m_lineWidth = 1;
    TExtMultiColumnDropDown* m_dropDown = nullptr;
};

} // namespace multicolumn

class TExtMultiColumnDropDown : public TExtCustomDropDown, public TListDropDownLook {
    Q_OBJECT
    friend class multicolumn::TExtColGrid;

public:
    using DrawItemEvent = std::function<void(QObject* sender, int col, const Rect& r, platform::Canvas& c, int row)>;
    using GetItemTextEvent = std::function<void(QObject* sender, int col, QString& text, int row)>;

    explicit TExtMultiColumnDropDown(QWidget* parent = nullptr);

    TDropDownColumns& Columns() { return m_columns; }
    TDropDownItems& Items() { return m_items; }
    int RowCount() const { return m_items.Count(); }
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int index);
    // The first item whose look-up text equals the value (case-sensitive), -1 when none.
    int GetItemIndex(const QString& value) const;
    void BeginUpdate() {}
    void EndUpdate() { UpdateLookupItems(); }
    const QStringList& LookupItems() const { return m_completion.LookupItems; }
    multicolumn::TExtColGrid* Grid() const { return m_grid; }

    NotifyEvent OnSelect;
    DrawItemEvent OnDropDownDrawItem;
    GetItemTextEvent OnDropDownGetItemText;
    QString LookupEntry() const { return m_lookupEntry; }

    void Assign(const TExtCustomDropDown* source) override;
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void AdjustDropDownHeight(int& height) override;
    void DoShowDropDown() override;
    void PlaceDropDownControl() override;
    void SizeDropDownForm() override;
    void DoHideDropDown(bool cancel) override;
    void ControlKeyDown(quint16& key, TShiftState shift) override;
    void ControlKeyUp(quint16& key, TShiftState shift) override;
    void ControlKeyPress(QChar& key) override;
    void DropDownSizing() override;
    void SelectNextValue() override;
    void SelectPreviousValue() override;
    void SetSelectionColorStyle(TSelectionColorStyle style) override;
    void SetComponentStyle(TVekkoStyle style) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void WMKeyDown(platform::TWMKey& msg, TShiftState shift) override;
    void Change() override;

    void UpdateLookupItems();
    void SizeColumnsToWidth();
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SelectPageDown();
    void SelectPageUp();

protected:
    void KeyUp(quint16& key, TShiftState shift) override;
    bool WantReturnAsTab() const { return ReturnIsTab; }

private:
    int DoLookup(QChar ch);
    int FindLookupMatch(const QString& s, QString& text) const;
    void GridSelectCell(int row);
    void GridSelect();
    void StepTo(int index);

    TDropDownColumns m_columns;
    TDropDownItems m_items;
    multicolumn::TExtColGrid* m_grid = nullptr;
    int m_itemIndex = -1;
    bool m_showing = false;
    TListCompletion m_completion;
    int m_oldItemIndex = -1;
    QString m_lookupEntry;
};

} // namespace controls::grid::dropdown
