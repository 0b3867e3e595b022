#pragma once
// TExtStringGridAux: the string grid with its auxiliary windows and what the mouse does with
// them. On top of the grid that users work in (TExtStringGridInput) it adds:
//
// Hints. A cell's hint (BuildCellHint) shows at the cell: below the mouse, at a comment cell's
// top-right corner, at the cell's top with HintShowCells, at its top-left for a text too large
// for the cell, or beside the mouse for an anchor's hint (AnchorHint). A hint that is HTML or
// wide-coded shows in the HTML hint window (UseInternalHintClass), others as plain tool tips,
// in HintColor. Moving to another cell takes a shown hint away. With Balloon.Enable the cells'
// hints show in a balloon (title, icon, at most 2048 characters of text without tags; a cell's
// own balloon and OnCellBalloon may set them). UseHTMLHints makes every tool tip of the
// application an HTML hint.
//
// Anchors. While the mouse moves over an HTML cell its anchors are hit-tested as painted: the
// hand cursor over an anchor, OnAnchorEnter when the mouse reaches one and OnAnchorExit when it
// leaves it, with URLUnderlineOnHover the hovered anchor repainted. A press on an anchor fires
// OnAnchorClick ("cell://RnCm" anchors select that cell); a press on a form control of the cell
// (<CONTROL ...>) toggles a CHECK, selects a RADIO, holds a BUTTON down until the release, and
// opens an edit or combo box over an EDIT, PASSWORD, MASK or COMBO control (StartControlEdit),
// which writes its value back into the tag when it is left (EndControlEdit). Enter and F2 on
// such a cell edit its first control, Tab in the box the next (EditCellControl).
//
// Fixed cells. With MouseActions.FixedRowsEdit / FixedColsEdit a double click, a left press or
// a right press on a header cell opens a plain edit or a combo over it (StartFixedCellEdit);
// its text goes back into the cell when OnCellValidate accepts it.
//
// Looks. The ssMetro scroll type shows thin scroll indicators instead of the scroll bars;
// SelectionToForm makes the floating image of a block of cells; a middle-button press shows
// the wheel-panning mark (IntelliPan) and scrolls with the mouse until the release.
//
// Moving columns and rows by mouse (goColMoving, goRowMoving; with EnhRowColMove): see
// ColumnMoving.cpp.
#include "controls/grid/auxwin/CellControls.h"
#include "controls/grid/auxwin/GridWindows.h"
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/input/GridInput.h"

#include <memory>

namespace controls::grid {

class TArrowWindow;
class TGridExtGridDropDown;

class TExtStringGridAux : public TExtStringGridInput {
public:
    using AnchorEvent = std::function<void(TExtStringGridAux* sender, int row, int col, const QString& anchor)>;
    using AnchorHintEvent = std::function<void(TExtStringGridAux* sender, int row, int col, QString& anchor)>;
    using ControlComboListEvent =
        std::function<void(TExtStringGridAux* sender, int row, int col, const QString& ctrlID, const QString& ctrlType,
                           const QString& ctrlValue, QStringList& values, bool& edit, int& dropCount)>;
    using ControlComboSelectEvent = std::function<void(TExtStringGridAux* sender, int row, int col, int itemIndex,
                                                       const QString& ctrlID, const QString& ctrlValue)>;
    using ControlEvent = std::function<void(TExtStringGridAux* sender, int row, int col, const QString& ctrlID,
                                            const QString& ctrlType, const QString& ctrlValue)>;
    using CellBalloonEvent =
        std::function<void(TExtStringGridAux* sender, int col, int row, QString& title, QString& text, int& icon)>;
    using MoveAllowEvent = std::function<void(TExtStringGridAux* sender, int index, bool& allow)>;

    explicit TExtStringGridAux(QWidget* parent = nullptr);
    ~TExtStringGridAux() override;

    // The grid drop-down editor of edExtGridDropDown cells (a grid drop-down hosting a string
    // grid of its own), made on first use.
    TGridExtGridDropDown* ExtGridPicker();
    dropdown::TExtCustomDropDown* ExtGridDropDown() override;
    void FillExtGridDropDown(const QString& editText, int realCol, int row) override;

    // --- hints and balloons ---------------------------------------------------------------------
    using TExtStringGridInput::BuildCellHint;
    // The hint of the cell under a client point and where it shows (client coordinates).
    QString BuildCellHint(QPoint pos, QPoint& hintPos, bool& html);
    bool UseHTMLHints() const { return UseHTMLHintsActive(); }
    void SetUseHTMLHints(bool on) { controls::grid::SetUseHTMLHints(on); }
    // The balloon's text for a cell as the tool tip asks for it; false when there is none.
    bool BalloonText(int col, int row, QString& title, QString& text, int& icon);
    void BalloonInit();
    void BalloonDone();
    bool BalloonActive() const { return m_balloonInit; }
    TGridCoord LastHintPos() const { return m_lastHintPos; }
    QString HoveredAnchor() const { return m_anchor; }

    // --- fixed-cell editors and form controls ---------------------------------------------------
    void StartFixedCellEdit(int col, int row);
    void StartControlEdit(const QString& cellText, const QString& ctrlType, int row, int realCol, int col,
                          const Rect& ctrlRect, const QString& ctrlValue, const QString& ctrlID);
    void EndControlEdit();
    void ControlComboSelect(QObject* sender);
    void EditCellControl(int col, int row, const QString& currentID);
    // Lays the cell's HTML text out as it is painted and hit-tests it at (x, y), or finds the
    // control of that ID when controlID is given.
    bool HitTestCellText(int col, int row, int x, int y, THTMLDrawResult& result, const QString& controlID = QString());
    TGridTransEdit* EditTrans() const { return m_editTrans; }
    TGridTransCombo* ComboTrans() const { return m_comboTrans; }
    TControlEdit* ControlEditBox() const { return m_ctrlEdit; }
    TControlCombo* ControlComboBox() const { return m_ctrlCombo; }
    bool ControlEditing() const { return m_ctrlEditing; }
    TGridCoord ControlCell() const { return m_ctrlXY; }
    bool ControlDown() const { return m_ctrlDown; }

    // The colour tones also dress the combo editor's button and border (a flat combo).

    // --- scroll indicators, drag image, wheel panning ----------------------------------------------
    void CreateScrollControls();
    TScrollControl* VScrollControl() const { return m_vScroll; }
    TScrollControl* HScrollControl() const { return m_hScroll; }
    // A new floating, half-transparent picture of the cells (the caller owns it).
    TNoActiveForm* SelectionToForm(const TGridRect& cells);
    // What a drag of cells or of a column header shows: the picture of SelectionToForm (taken
    // without the selection colours) and the floating header button.
    QImage DragCellsImage(const TGridRect& cells) override;
    QImage DragHeaderImage(const QString& caption, int width, int height) override;
    void ShowIntelliPan(platform::Canvas& canvas);
    void InvalidateIntelliPan();
    bool IntelliPanning() const { return m_panning; }
    QPoint WheelPanPos() const { return m_wheelPanPos; }

    // --- moving columns and rows by mouse ------------------------------------------------------------
    THeaderDragButton* MoveButton() const { return m_moveButton; }
    TNoActiveForm* MoveForm() const { return m_moveForm.get(); }
    TArrowWindow* Arrow(int index) const { return m_arrows[index]; }
    int MoveCell() const { return m_moveCell; }
    int MoveColInd() const { return m_moveColInd; }
    int MoveRowInd() const { return m_moveRowInd; }
    bool MoveAllowed() const { return m_moveAllow; }

    // --- the column filter drop-down ------------------------------------------------------------------
    // A release on the filter button of a header cell (FilterDropDownRow; FilterDropDownAuto or
    // OnGetColumnFilter giving entries) opens the column's filter list: a plain list whose
    // choice goes to FilterSelect, or with FilterDropDownCheck a check list whose checked entries
    // go to FilterCheck when it closes. A release elsewhere closes an open list. True when the
    // release opened or closed a list.
    bool FilterDropDownRelease(int x, int y);
    TDropList* FilterDropList() const { return m_dropList; }
    TDropCheckList* FilterDropCheckList() const override { return m_dropCheckList; }

    // --- events --------------------------------------------------------------------------------------
    AnchorEvent OnAnchorEnter;
    AnchorEvent OnAnchorExit;
    AnchorHintEvent OnAnchorHint;
    ControlComboListEvent OnControlComboList;
    ControlComboSelectEvent OnControlComboSelect;
    ControlEvent OnControlEditDone;
    ControlEvent OnControlClick;
    CellBalloonEvent OnCellBalloon;
    MoveAllowEvent OnColumnMove;
    MoveAllowEvent OnRowMove;
    MoveAllowEvent OnColumnMoving;
    MoveAllowEvent OnRowMoving;

protected:
    bool event(QEvent* e) override;
    void wmKeyDown(platform::TWMKey& msg) override;
    void wmLButtonDown(platform::TWMMouse& msg) override;
    void wmLButtonUp(platform::TWMMouse& msg) override;
    void wmRButtonDown(platform::TWMMouse& msg) override;
    void wmRButtonUp(platform::TWMMouse& msg) override;
    void wmLButtonDblClk(platform::TWMMouse& msg) override;
    void wmMButtonDown(platform::TWMMouse& msg) override;
    void wmMButtonUp(platform::TWMMouse& msg) override;
    void mouseMove(platform::TShiftState shift, int x, int y) override;
    void cmMouseLeave() override;
    void topLeftChanged() override;
    void paint() override;
    void ScrollTypeChanged() override;

private:
    void closeFilterDropDown();
    QPointer<TDropList> m_dropList;
    QPointer<TDropCheckList> m_dropCheckList;
    int m_dropColumn = -1;

    // Anchors and controls under a press; true when the press was taken.
    bool PressOnCellText(int col, int row, int x, int y);
    bool FixedCellEditByPress(int col, int row, int x, int y, bool right);
    void TrackAnchor(int col, int row, int x, int y);
    void HideHint();
    // 10.126: the feedback while dragging and the drop.
    void MoveFeedback(int x, int y);
    bool MoveDrop(int x, int y);
    void EndMoveWindows();

    QPointer<TGridTransEdit> m_editTrans;
    QPointer<TGridTransCombo> m_comboTrans;
    QPointer<TControlEdit> m_ctrlEdit;
    QPointer<TControlCombo> m_ctrlCombo;
    int m_fixedColEdit = -1;
    int m_fixedRowEdit = -1;
    TGridCoord m_ctrlXY{-1, -1};
    QString m_ctrlID;
    QString m_ctrlType;
    bool m_ctrlEditing = false;
    bool m_ctrlDown = false;

    QString m_anchor;
    QString m_lastAnchorHint;
    TGridCoord m_lastHintPos{-1, -1};
    TGridCoord m_lastBalloonPos{-1, -1};
    bool m_balloonInit = false;
    TGridExtGridDropDown* m_editExtGridPicker = nullptr;

    QPointer<TScrollControl> m_vScroll;
    QPointer<TScrollControl> m_hScroll;
    bool m_panning = false;
    QPoint m_wheelPanPos;
    QPoint m_panStart;

    QPointer<THeaderDragButton> m_moveButton;
    TArrowWindow* m_arrows[4] = {nullptr, nullptr, nullptr, nullptr};
    std::unique_ptr<TNoActiveForm> m_moveForm;
    int m_moveCell = -1;
    int m_moveOfsX = 0;
    int m_moveOfsY = 0;
    int m_moveColInd = -1;
    int m_moveRowInd = -1;
    bool m_moveAllow = true;
    bool m_moveDragging = false;
    QPoint m_movePress;
};

} // namespace controls::grid
