#pragma once
// TCustomDateTimePicker: the flat picker that moves on by itself while digits are typed
// (AutoTab): after each digit that changed the value the picker posts itself the registered
// message "DTPShiftFocus", which moves the input to the next field (a posted Right key). Its
// own flat painting stays off (SuppressOwnPainting); the picker with a time field turns it on.
//
// TExtDateTimePicker: the grid's date-and-time editor. Kind dkDate and dkTime edit a date or a
// time; dkDateTime shows a date with an embedded time field (a TCustomDateTimePicker) at its
// right edge, keeps the two in step and reports the time field's changes as its own
// (OnChange, then OnTimeChange). DateTime drops milliseconds. With AutoTab a digit that
// completes the date's last field (the one the Format ends with; the year without a Format)
// hands the focus to the time field. With ShowCheckbox the time field is enabled only while
// the box is checked. An optional caption label (LabelCaption) is placed beside the picker as
// the combo box places its label; with FocusLabel it turns bold while the picker has the focus.
#include "controls/grid/editors/EditorRules.h"
#include "controls/grid/editors/ControlLabel.h"
#include "controls/grid/editors/XgrDateTimePicker.h"

#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace controls::grid {

class TCustomDateTimePicker : public TFlatDateTimePicker {
    Q_OBJECT

public:
    explicit TCustomDateTimePicker(QWidget* parent = nullptr);

    bool AutoTab() const { return m_autoTab; }
    virtual void SetAutoTab(bool on) { m_autoTab = on; }
    bool SuppressOwnPainting() const override { return true; }
    bool MetroActive() const override;
    // The "DTPShiftFocus" message arrived: move on when the value changed.
    virtual void ShiftFocus();

protected:
    void KeyPress(QChar& key) override;
    bool FlatEdgeWanted() const override { return !Ctl3D; }
    int ButtonFillOffset() const override { return 4; }
    void PaintOutline(platform::Canvas& canvas) override;
    bool event(QEvent* e) override;
    // Posts "DTPShiftFocus" to the control itself.
    void PostShiftFocus();
    // Posts a Right key to the control itself (the platform control moves to its next field).
    void PostNextField();

    TTimeParts m_savedTime; // Fh, Fm, Fs: the time before the last digit

private:
    bool m_autoTab = false;
};

enum TExtDateTimeKind { dkDate, dkTime, dkDateTime };

class TExtDateTimePicker : public TCustomDateTimePicker {
    Q_OBJECT

public:
    explicit TExtDateTimePicker(QWidget* parent = nullptr);
    ~TExtDateTimePicker() override;

    TExtDateTimeKind ExtKind() const { return m_kind; }
    void SetExtKind(TExtDateTimeKind kind);
    TDateTime DateTime();
    virtual void SetDateTime(TDateTime value);
    TDateTime Date() const { return TDateTimePicker::Date(); }
    void SetDate(TDateTime value);
    TDateTime Time() const;
    void SetTime(TDateTime value);
    QString TimeFormat() const { return m_timeFormat; }
    void SetTimeFormat(const QString& format);
    void SetAutoTab(bool on) override;
    void SetBorderStyle(TPickerBorderStyle style) override;
    void SetColor(Color c) override;
    bool SuppressOwnPainting() const override { return false; }
    void ShiftFocus() override;
    QString Version() const { return VersionText(0x01020000); }
    // The embedded time field (none unless the kind is dkDateTime).
    TCustomDateTimePicker* TimePicker() const { return m_timePicker; }
    QTimer* FocusTimer() const { return m_focusTimer; }

    // The caption label.
    QString LabelCaption() const;
    void SetLabelCaption(const QString& caption);
    TLabelPosition LabelPosition() const { return m_label.Position; }
    void SetLabelPosition(TLabelPosition position);
    int LabelMargin() const { return m_label.Margin; }
    void SetLabelMargin(int margin);
    bool LabelTransparent() const { return m_label.Transparent; }
    void SetLabelTransparent(bool on);
    bool LabelAlwaysEnabled() const { return m_label.AlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool on);
    QFont LabelFont() const { return m_label.Font; }
    void SetLabelFont(const QFont& font);
    bool FocusLabel() const { return m_label.FocusBold; }
    void SetFocusLabel(bool on) { m_label.FocusBold = on; }
    QLabel* PickerLabel() const { return m_label.Label(); }
    NotifyEvent OnLabelClick;
    NotifyEvent OnLabelDblClick;
    NotifyEvent OnTimeChange;

    // Loading from a description: Loaded completes the time field and the label.
    void BeginLoading() { m_loading = true; }
    virtual void Loaded();

protected:
    virtual void DoChange();
    virtual void DoClick();
    virtual void TimePickerKeyPress(QChar& key);
    void KeyPress(QChar& key) override;
    void WMNotify(platform::TDTNotify& msg) override;
    void SetSystemTime(int flag, TDateTime value) override;
    void Change() override;

    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateTimePicker();
    void UpdateTimePicker();
    void FreeTimePicker();
    void TimeChanged();
    void UpdateLabel();

    TExtDateTimeKind m_kind = dkDateTime;
    QTimer* m_focusTimer = nullptr;
    QString m_timeFormat;
    TDateParts m_savedDate; // Fy, Fm, Fd
    TControlLabel m_label{this};
    bool m_parentFnt = false;
    bool m_ignoreTimePickerCheck = false;
    bool m_firstRun = true;
    bool m_loading = false;
    bool m_updating = false;
    QPointer<TCustomDateTimePicker> m_timePicker;
};

} // namespace controls::grid
