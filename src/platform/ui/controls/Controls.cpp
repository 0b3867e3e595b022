#include "platform/ui/controls/Controls.h"

#include <QKeyEvent>
#include <QValidator>

namespace platform::ctl {

bool Control::canFocus() const
{
    for (const QWidget* w = self_; w; w = w->parentWidget()) {
        if (w->isHidden() || !w->isEnabled())
            return false;
        if (w->isWindow())
            break;
    }
    return true;
}

void Control::focus() { self_->setFocus(Qt::OtherFocusReason); }

bool Control::focused() const { return self_->window()->focusWidget() == self_; }

// Applies the length limit and the lower case to what the user types or pastes; text set in
// code passes untouched.
class Edit::InputRule final : public QValidator {
public:
    explicit InputRule(Edit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int&) const override
    {
        if (edit_->settingText_)
            return Acceptable;
        if (edit_->lowerCase_)
            input = input.toLower();
        if (edit_->maxLength_ > 0 && input.size() > edit_->maxLength_ &&
            input.size() > edit_->QLineEdit::text().size())
            return Invalid;
        return Acceptable;
    }

private:
    Edit* edit_;
};

Edit::Edit(QWidget* parent) : QLineEdit(parent), Control(this)
{
    setValidator(new InputRule(this));
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (onChange)
            onChange(*this);
    });
}

void Edit::setText(const QString& text)
{
    const bool was = settingText_;
    settingText_ = true;
    QLineEdit::setText(text);
    settingText_ = was;
}

void Edit::keyPressEvent(QKeyEvent* e)
{
    const QString typed = e->text();
    const bool isCharacter = typed.size() == 1 && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!onKeyPress || !isCharacter) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    QChar key = typed.at(0);
    onKeyPress(*this, key);
    if (key.isNull()) {
        e->accept();
        return;
    }
    if (key == typed.at(0)) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    QKeyEvent replaced(e->type(), e->key(), e->modifiers(), QString(key), e->isAutoRepeat(), e->count());
    QLineEdit::keyPressEvent(&replaced);
    e->setAccepted(replaced.isAccepted());
}

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent), Control(this)
{
    connect(this, &QCheckBox::toggled, this, [this] {
        if (onClick)
            onClick(*this);
    });
}

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent), Control(this)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this] {
        if (onChange)
            onChange(*this);
    });
}

QStringList ComboBox::items() const
{
    QStringList l;
    for (int i = 0; i < count(); ++i)
        l << itemText(i);
    return l;
}

void ComboBox::setItems(const QStringList& items)
{
    clear();
    addItems(items);
    setCurrentIndex(-1);
}

void ComboBox::setItemIndex(int index)
{
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

GroupBox::GroupBox(QWidget* parent) : QGroupBox(parent), Control(this) {}

Label::Label(QWidget* parent) : QLabel(parent), Control(this) { setTextFormat(Qt::PlainText); }

void Label::setCaption(const QString& c)
{
    setText(c);
    adjustSize();
}

Button::Button(QWidget* parent) : QToolButton(parent), Control(this)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        if (onClick)
            onClick(*this);
    });
}

} // namespace platform::ctl
