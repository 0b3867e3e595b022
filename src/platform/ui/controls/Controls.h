#pragma once
// The standard controls of the parameter windows, placed by pixel and driven by plain event
// handlers, with one rule about which changes raise an event, because the windows' logic is
// built on it:
//
//   Edit      onChange  whenever the text changes: typed by the user or set by setText().
//                       Setting the text it already has raises nothing.
//             onKeyPress for every character the user types, before it reaches the text; the
//                       handler may replace it or set it to QChar() to discard it.
//   CheckBox  onClick   whenever the state changes: clicked by the user or set by setChecked().
//                       Setting the state it already has raises nothing.
//   ComboBox  onChange  only when the user picks an item. setItemIndex() and setItems() in code
//                       raise nothing, so code that changes a choice calls the handler itself
//                       when it wants its effect.
//   Button    onClick   when the user clicks it, or click() in code.
//
// Every event runs synchronously, before the call that caused it returns.
//
// Geometry is the window's: left, top, width and height in pixels relative to the parent.
// `visible()` is the control's own flag, independent of whether its parent is shown;
// `canFocus()` asks whether the control and every container up to its window are visible and
// enabled.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QToolButton>
#include <functional>

namespace platform::ctl {

// Geometry, visibility and focus in the windows' terms, for any widget. Only names that the
// widget classes do not have themselves; setVisible, setEnabled, width and height are the
// widget's own.
class Control {
public:
    explicit Control(QWidget* self) : self_(self) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    QWidget* widget() const { return self_; }
    QString name() const { return self_->objectName(); }

    int left() const { return self_->x(); }
    int top() const { return self_->y(); }
    int bottom() const { return self_->y() + self_->height(); }
    void setLeft(int v) { self_->move(v, self_->y()); }
    void setTop(int v) { self_->move(self_->x(), v); }
    void setWidth(int v) { self_->resize(v, self_->height()); }
    void setHeight(int v) { self_->resize(self_->width(), v); }
    void setBounds(int left, int top, int width, int height) { self_->setGeometry(left, top, width, height); }

    // The control's own flag, whether or not its parent is shown.
    bool visible() const { return !self_->isHidden(); }
    bool enabled() const { return self_->isEnabled(); }

    QString hint() const { return self_->toolTip(); }
    void setHint(const QString& h) { self_->setToolTip(h); }

    // The control and every container up to and including its window are visible and
    // enabled.
    bool canFocus() const;
    // Gives the control its window's focus.
    void focus();
    // The control holds its window's focus (whether or not the window is active).
    bool focused() const;

private:
    QWidget* self_;
};

class Edit : public QLineEdit, public Control {
public:
    explicit Edit(QWidget* parent = nullptr);

    std::function<void(Edit&)> onChange;
    std::function<void(Edit&, QChar& key)> onKeyPress;

    // Sets the text in code: raises onChange when it differs. Call it through Edit, not
    // through QLineEdit, so that the input rules below leave the text as given.
    void setText(const QString& text);

    // The most characters the user can type or paste (a longer paste is cut); 0 means no
    // limit. Text set in code is kept whole, and the user can always delete from it.
    void setMaxLength(int n) { maxLength_ = n; }
    int maxLength() const { return maxLength_; }
    // Typed (and pasted) letters become lower case; text set in code stays as it is.
    void setLowerCase(bool on) { lowerCase_ = on; }
    bool lowerCase() const { return lowerCase_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    class InputRule;
    friend class InputRule;
    int maxLength_ = 0;
    bool lowerCase_ = false;
    bool settingText_ = false;
    QString lastText_;
};

class CheckBox : public QCheckBox, public Control {
public:
    explicit CheckBox(QWidget* parent = nullptr);

    std::function<void(CheckBox&)> onClick;

    QString caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    // QCheckBox::isChecked() and setChecked() keep their meaning (setChecked raises onClick
    // when the state changes).
    bool checked() const { return isChecked(); }
};

class ComboBox : public QComboBox, public Control {
public:
    explicit ComboBox(QWidget* parent = nullptr);

    std::function<void(ComboBox&)> onChange;

    QStringList items() const;
    // Replaces the items; afterwards nothing is chosen (index -1). Raises nothing.
    void setItems(const QStringList& items);
    // The chosen position, -1 when nothing is chosen.
    int itemIndex() const { return currentIndex(); }
    // Chooses a position; one outside the items chooses nothing. Raises nothing.
    void setItemIndex(int index);
    // Text of the chosen item; empty when nothing is chosen.
    QString text() const { return currentText(); }
};

class GroupBox : public QGroupBox, public Control {
public:
    explicit GroupBox(QWidget* parent = nullptr);
    QString caption() const { return title(); }
    void setCaption(const QString& c) { setTitle(c); }
};

// The "." of an address typed across its four fields (and on into the fields that follow it):
// the dot never reaches a field; when `next` is given and can take the focus, the focus moves
// there with its whole text selected, so that typing replaces what it held. Answers whether
// the key was a dot. Every window with address fields calls this from their onKeyPress.
bool addressDot(QChar& key, Edit* next);

// A label that fits its text.
class Label : public QLabel, public Control {
public:
    explicit Label(QWidget* parent = nullptr);
    QString caption() const { return text(); }
    void setCaption(const QString& c);
};

// Labels that sit left of a control on their row keep their text clear of it: a label whose
// text would run under the first shown control to its right gets a smaller font (never
// smaller than `minPixelSize`), in place of moving any control. A check box does the same
// with its caption, which must also fit inside the check box itself. One with room keeps the
// container's font. Runs over the direct children of `container`; call it after the texts or
// the layout change. (The windows were laid out for a narrower face than the fallback font.)
void fitLabels(QWidget* container, int minPixelSize = 7);

// A small push button with a picture or a caption.
class Button : public QToolButton, public Control {
public:
    explicit Button(QWidget* parent = nullptr);
    std::function<void(Button&)> onClick;
};

} // namespace platform::ctl
