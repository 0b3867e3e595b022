#pragma once
// The search bar of the string grid: a close button, an edit for the search text, buttons for
// the next and the previous match, a toggle that highlights every match and a match-case box.
// The grid owns one (hidden until SearchFooter.Visible), gives it the room of its own below the
// rows and reacts to its events (TExtStringGridPaint::SearchFooter*).
//
// Keys in the edit: Enter asks for the next match, Ctrl+Enter for the previous one, Escape
// closes the bar. The three action buttons are enabled exactly while the edit holds text; in
// the grid's window the "&" letter of a button's caption with Alt is that button's key while
// the button is shown and enabled.
#include "controls/grid/base/GridControls.h"
#include "platform/draw/Color.h"

#include <QLineEdit>
#include <QPointer>
#include <QShortcut>
#include <QString>
#include <QWidget>
#include <functional>

namespace controls::grid {

class TExtStringGrid;

// A one-line edit that reports Enter (and Escape) instead of acting on it.
class TRetEdit : public QLineEdit {
public:
    explicit TRetEdit(QWidget* parent = nullptr);
    std::function<void(TRetEdit*)> OnReturn;
    std::function<void(TRetEdit*)> OnCtrlReturn;
    std::function<void(TRetEdit*)> OnEscape;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

class TSearchPanel : public QWidget {
public:
    using PanelEvent = std::function<void(TSearchPanel* sender)>;
    static constexpr int kHeight = 32;

    // The parts are made here; CreateWnd places and wires them.
    explicit TSearchPanel(TExtStringGrid* grid);
    void CreateWnd();

    TExtStringGrid* Grid() const { return m_grid; }
    TRetEdit* Edit() const { return m_edit; }
    TExtGridButton* ForwardButton() const { return m_forward; }
    TExtGridButton* BackwardButton() const { return m_backward; }
    TExtGridButton* ExitButton() const { return m_exit; }
    TExtGridButton* HiliteButton() const { return m_hilite; }
    TExtCheckBox* MatchCase() const { return m_matchCase; }

    platform::Color Color() const { return m_color; }
    void SetColor(platform::Color c);
    platform::Color ColorTo() const { return m_colorTo; }
    void SetColorTo(platform::Color c);
    // The edit's background: white, or red while the text is found nowhere.
    platform::Color EditColor() const { return m_editColor; }
    void SetEditColor(platform::Color c);

    QString FindNextCaption, FindPrevCaption, MatchCaseCaption, HighLightCaption;
    QString HintFindNext, HintFindPrev, HintClose, HintHighLight;
    // Shows the captions and hints (a hint only when its text is not empty) and places the parts
    // (mirrored with right-to-left reading order); the check box's left is 425, or 330 while the
    // highlight button is hidden.
    void ApplyTexts();
    void PlaceParts();
    // The bar's own place: the width of the rows' area, right below it and below a floating
    // footer; 32 pixels high while SearchFooter.Visible, else 0. It follows the rows' area.
    void Place();

    PanelEvent OnBackwardClick;
    PanelEvent OnEditChange;
    PanelEvent OnForwardClick;
    PanelEvent OnHighlightClick;
    PanelEvent OnExitClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void fire(const PanelEvent& event);
    void place(QWidget* part, int left, int top, int width, int height);

    TExtStringGrid* m_grid;
    QPointer<QWidget> m_viewport;
    TRetEdit* m_edit;
    TExtGridButton* m_forward;
    TExtGridButton* m_backward;
    TExtGridButton* m_exit;
    TExtGridButton* m_hilite;
    TExtCheckBox* m_matchCase;
    QShortcut* m_keys[3] = {}; // find next, find previous, highlight
    platform::Color m_color = platform::clBtnFace;
    platform::Color m_colorTo = platform::clNone;
    platform::Color m_editColor = platform::clWindow;
};

} // namespace controls::grid
