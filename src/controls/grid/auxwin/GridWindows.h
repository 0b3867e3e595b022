#pragma once
// Small windows the string grid makes for itself:
//
//   THTMLHintWindow   the hint window that shows mini-HTML and wide-coded hints; it lays the
//                     text out within 1008 pixels, takes the text's size plus a margin and stays
//                     2 pixels inside the monitor it shows on;
//   TScrollControl    the thin scroll indicators of the ssMetro scroll type along the grid's
//                     right and bottom edges (thumb arithmetic below), which page and drag;
//   THeaderDragButton the floating header that follows the mouse while a column is dragged;
//   TDropList, TDropCheckList  the lists of a filter drop-down;
//   TNoActiveForm     a floating window that never takes the focus (the image of dragged
//                     cells).
//
// TScrollControl (lengths along its direction: rows, heights and the top row for sdVertical;
// columns, widths and the left column for sdHorizontal; "fixed" are the fixed rows or columns):
//   track  = length - the fixed sizes - the sizes of the fixed footer rows (right columns);
//   thumb  = round(track * visible / total), at least 20 pixels, at fixed size +
//            round(track * (top - fixed) / (total - fixed)), kept inside the control (rounding
//            to even on halves);
//   shown only while visible < total - fixed; a press before or after the thumb pages back or
//   forward (never beyond total - visible), on the thumb it drags: the top becomes
//   max(fixed, min(round((mouse - press) / (length - size of row 0) * total) + top at press,
//   total - visible)).
// The control is a child of the grid's viewport and draws only its thumb, so the cells below
// show through.
#include "platform/draw/Canvas.h"

#include <QListWidget>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace platform {
class TImageList;
}

namespace controls::grid {

class TExtStringGrid;
class TPictureContainer;

// --- the hint window ---------------------------------------------------------------------------

class THTMLHintWindow : public QWidget {
public:
    explicit THTMLHintWindow(QWidget* owner = nullptr);

    // Shows the hint with its top-left at rect's (screen coordinates), sized to the text.
    void ActivateHint(QRect rect, const QString& hint);
    // Takes the grid's images and picture container when data is a grid, then shows the hint.
    void ActivateHintData(QRect rect, const QString& hint, QObject* data);
    // The size the hint needs within maxWidth: (0, 0, width, height).
    QRect CalcHintRect(int maxWidth, const QString& hint, QObject* data);
    void ReleaseHandle() { hide(); }

    QString Text() const { return m_text; }
    void SetColor(platform::Color c);
    platform::Color Color() const { return m_color; }
    const platform::TImageList* Images = nullptr;
    TPictureContainer* PictureContainer = nullptr;
    int TextWidth() const { return m_textWidth; }
    int TextHeight() const { return m_textHeight; }
    QString WideCaption() const { return m_wideCaption; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    // Measures the text in the hint font; returns the extra width (8 wide-coded, 16 HTML).
    int measure(const QString& hint, int maxWidth);

    QString m_text;
    QString m_wideCaption;
    int m_textWidth = 0;
    int m_textHeight = 0;
    platform::Color m_color = platform::clInfoBk;
};

// The hint window the grids of this process share (made on the first use).
THTMLHintWindow* GridHintWindow();

// While on, every tool tip of the application shows in the HTML hint window.
void SetUseHTMLHints(bool on);
bool UseHTMLHintsActive();

// --- Metro scroll indicators ---------------------------------------------------------------------

enum TScrollDirection { sdVertical, sdHorizontal };

class TScrollControl : public QWidget {
public:
    TScrollControl(TExtStringGrid* grid, TScrollDirection direction);

    TExtStringGrid* Grid() const { return m_grid; }
    TScrollDirection Direction() const { return m_direction; }
    platform::Color Color() const { return m_color; }
    void SetColor(platform::Color c);
    int ScrollWidth = 4;

    // The arithmetic above, for the grid as it is now.
    int Length() const;
    int TrackLength() const;
    int ThumbSize() const;
    int ThumbPos() const;
    bool ThumbShown() const;
    // Places the control along the grid's viewport edge.
    void Place();

    // The mouse steps, in the control's coordinates along its direction.
    void PressAt(int pos);
    void DragTo(int pos);
    void Release() { m_downOnScroller = false; }
    bool Dragging() const { return m_downOnScroller; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    int total() const;
    int fixed() const;
    int visible() const;
    int top() const;
    void setTop(int value);
    int fixedSize() const;
    int footerSize() const;
    int along(const QPoint& p) const { return m_direction == sdVertical ? p.y() : p.x(); }

    TExtStringGrid* m_grid;
    TScrollDirection m_direction;
    platform::Color m_color = 0xC0C0C0;
    bool m_downOnScroller = false;
    int m_downPos = 0;
    int m_downRow = 0;
};

// --- header drag button, drop-down lists, floating form ------------------------------------------

class THeaderDragButton : public QWidget {
public:
    explicit THeaderDragButton(TExtStringGrid* grid);
    TExtStringGrid* Grid() const { return m_grid; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    bool Flat = false;
    // Paints the grid's header cell (column 0, row 0) into the button's rectangle.
    std::function<void(platform::Canvas& canvas, const platform::Rect& r)> PaintHeader;
    // The button's picture as it paints itself.
    void PaintTo(platform::Canvas& canvas);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TExtStringGrid* m_grid;
    QString m_caption;
};

// A list that closes on Enter or a click and reports the item chosen; a click outside cancels.
class TDropList : public QListWidget {
public:
    using SelectEvent = std::function<void(QObject* sender, int itemIndex)>;
    explicit TDropList(QWidget* parent = nullptr);
    SelectEvent OnSelect;
    // Closing by a click outside: the grid forgets its filter column.
    std::function<void(QObject* sender)> OnCancel;
    // The platform's cancel mode: hides the list when the cursor lies outside it.
    void CancelMode(QPoint globalCursor);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};

// The same with check boxes: toggling one reports item -1.
class TDropCheckList : public QListWidget {
public:
    using SelectEvent = std::function<void(QObject* sender, int itemIndex)>;
    explicit TDropCheckList(QWidget* parent = nullptr);
    SelectEvent OnSelect;
    std::function<void(QObject* sender)> OnCancel;
    void CancelMode(QPoint globalCursor);
    void AddCheckItem(const QString& text, bool checked);

protected:
    void focusOutEvent(QFocusEvent* e) override;
};

class TNoActiveForm : public QWidget {
public:
    explicit TNoActiveForm(QWidget* owner = nullptr);
    // The picture shown, filling the form.
    void SetPicture(const QImage& image);
    const QImage& Picture() const { return m_image; }
    int AlphaBlendValue() const { return m_alpha; }
    void SetAlphaBlendValue(int alpha);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage m_image;
    int m_alpha = 255;
};

} // namespace controls::grid
