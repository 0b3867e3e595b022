#pragma once
// TControlLabel: the caption label a control may carry beside itself (the combo box, the date
// and time picker): made with the first caption, on the control's parent, with the control as
// its buddy; placed in one of thirteen positions (LabelPlace) Margin pixels away; in the
// control's font or its own; optionally transparent, bold while the control has the focus, and
// enabled with the control unless AlwaysEnabled. Clicks on it go to OnClick and OnDblClick.
#include <QFont>
#include <QLabel>
#include <QPointer>
#include <functional>

namespace controls::grid {

enum TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom
};

// The label's place for a control at (left, top) of (width, height), a label of (labelWidth,
// labelHeight) and a margin; labelWidth is the measured caption width.
QPoint LabelPlace(TLabelPosition position, int left, int top, int width, int height, int labelWidth,
                  int labelHeight, int margin);

class TControlLabel {
public:
    explicit TControlLabel(QWidget* control);
    ~TControlLabel();
    TControlLabel(const TControlLabel&) = delete;
    TControlLabel& operator=(const TControlLabel&) = delete;

    QLabel* Label() const { return m_label; }
    QString Caption() const { return m_label ? m_label->text() : QString(); }
    // Makes the label when there is none; the caller places it.
    void SetCaption(const QString& caption);
    TLabelPosition Position = lpLeftTop;
    int Margin = 4;
    bool Transparent = false;
    bool AlwaysEnabled = false;
    bool FocusBold = false;
    QFont Font;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

    // Styles and places the label beside the control: the control's font or Font, shown when
    // `visible`.
    void Place(bool controlFont, bool visible);
    // The label follows the control's enabled state, unless AlwaysEnabled.
    void FollowEnabled(bool enabled);
    // Bold while the control has the focus, with FocusBold.
    void SetBold(bool bold);

private:
    QWidget* m_control;
    QPointer<QLabel> m_label;
};

} // namespace controls::grid
