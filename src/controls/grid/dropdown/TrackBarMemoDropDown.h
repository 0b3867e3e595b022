#pragma once
// Two small drop-downs:
//   TExtTrackBarDropDown  an integer with a track bar in its popup; Up and Down step it by
//                         Frequency within Min and Max, dragging the mouse sideways over the edit
//                         moves it one step per PageSize pixels; a typed text that is no integer
//                         leaves Position as it is.
//   TExtMemoDropDown      multi-line text (MemoText) edited in a memo in the popup; the edit shows
//                         the first line, shortened with "..." where it does not fit. Closing the
//                         popup takes the memo's text, cancelling (Escape) keeps the old one;
//                         Return and typing stay in the memo.
#include "controls/grid/dropdown/ExtDropDown.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QSlider>
#include <QStringList>

namespace controls::grid::dropdown {

class TExtTrackBarDropDown : public TExtCustomDropDown {
    Q_OBJECT

public:
    explicit TExtTrackBarDropDown(QWidget* parent = nullptr);

    int Min() const { return m_min; }
    void SetMin(int v);
    int Max() const { return m_max; }
    void SetMax(int v);
    int Position() const { return m_position; }
    void SetPosition(int v);
    int Frequency() const { return m_frequency; }
    void SetFrequency(int v);
    // The pixels of a sideways drag that make one step; 0 or less counts as 1.
    int PageSize() const { return m_pageSize; }
    void SetPageSize(int v);
    NotifyEvent OnTrackChange;
    QSlider* TrackBar() const { return m_trackBar; }

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void Change() override;
    void WMKeyDown(platform::TWMKey& msg, TShiftState shift) override;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void TrackBarChanged(int value);

    QSlider* m_trackBar = nullptr;
    int m_min = 0;
    int m_frequency = 1;
    int m_pageSize = 2;
    int m_max = 10;
    int m_position = 0;
    bool m_dragging = false;
    int m_mouseX = 0;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The lines of a text as the memo keeps them: broken at CR LF, LF or CR, empty lines kept, a
// break at the end starting no further line.
QStringList MemoLinesOf(const QString& text);

class TExtMemoDropDown : public TExtCustomDropDown {
    Q_OBJECT

public:
    explicit TExtMemoDropDown(QWidget* parent = nullptr);

    const QStringList& MemoText() const { return m_memoText; }
    void SetMemoText(const QStringList& lines);
    // The memo text with each line followed by CR LF, as a grid cell stores it.
    QString MemoTextWithBreaks() const;
    TScrollStyle MemoScrollBars = ssNone;
    bool MemoReadOnly() const { return m_memoReadOnly; }
    void SetMemoReadOnly(bool on);
    bool AutoDrop = false;
    // The memo's context menu (not owned); none: the memo's own.
    QMenu* MemoPopup = nullptr;
    NotifyEvent OnMemoChange;
    QPlainTextEdit* Memo() const { return m_memo; }

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancel) override;
    void DropUpDone() override;
    void ControlKeyDown(quint16& key, TShiftState shift) override;
    void ControlKeyUp(quint16& key, TShiftState shift) override;
    void ControlKeyPress(QChar& key) override;
    void Change() override;

protected:
    void DoEnter() override;

private:
    void MemoTextChanged();
    QStringList MemoLines() const;
    // Takes back what typing or pasting put into the memo beyond MaxLength.
    void LimitMemoLength();

    QStringList m_memoText;
    QPlainTextEdit* m_memo = nullptr;
    bool m_memoReadOnly = false;
    bool m_internalUpdate = false;
};

} // namespace controls::grid::dropdown
