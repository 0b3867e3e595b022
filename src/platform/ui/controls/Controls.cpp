#include "platform/ui/controls/Controls.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QValidator>
#include <algorithm>

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
// code passes untouched. The new text is compared with the last text the edit held: what lies
// between their common start and end is the user's insertion.
class Edit::InputRule final : public QValidator {
public:
    explicit InputRule(Edit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override
    {
        if (edit_->settingText_ || (!edit_->lowerCase_ && edit_->maxLength_ <= 0))
            return Acceptable;
        const QString& old = edit_->lastText_;
        if (input == old)
            return Acceptable;
        const qsizetype shorter = std::min(old.size(), input.size());
        qsizetype prefix = 0;
        while (prefix < shorter && old.at(prefix) == input.at(prefix))
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < shorter - prefix && old.at(old.size() - 1 - suffix) == input.at(input.size() - 1 - suffix))
            ++suffix;
        const qsizetype removed = old.size() - prefix - suffix;
        QString inserted = input.mid(prefix, input.size() - prefix - suffix);
        if (edit_->lowerCase_)
            inserted = inserted.toLower();
        if (edit_->maxLength_ > 0) {
            const qsizetype room = std::max<qsizetype>(0, edit_->maxLength_ - (old.size() - removed));
            if (inserted.size() > room)
                inserted.truncate(room);
        }
        const QString result = old.left(prefix) + inserted + old.right(suffix);
        if (result == old)
            return Invalid; // nothing of the change fits: the edit keeps its text
        input = result;
        pos = static_cast<int>(prefix + inserted.size());
        return Acceptable;
    }

private:
    Edit* edit_;
};

Edit::Edit(QWidget* parent) : QLineEdit(parent), Control(this)
{
    setValidator(new InputRule(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
        lastText_ = t;
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

bool addressDot(QChar& key, Edit* next)
{
    if (key != QLatin1Char('.'))
        return false;
    key = QChar();
    if (next && next->canFocus()) {
        next->focus();
        next->selectAll();
    }
    return true;
}

void fitLabels(QWidget* container, int minPixelSize)
{
    constexpr int kGap = 2;
    const QList<Label*> labels = container->findChildren<Label*>(Qt::FindDirectChildrenOnly);
    const QList<QWidget*> children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (Label* l : labels) {
        // The room up to the first shown control that starts right of the label on its row.
        int room = -1;
        for (const QWidget* w : children) {
            if (w == l || w->isHidden() || qobject_cast<const QLabel*>(w))
                continue;
            const bool sameRow = w->y() < l->y() + l->height() && l->y() < w->y() + w->height();
            if (sameRow && w->x() > l->x() && (room < 0 || w->x() - l->x() - kGap < room))
                room = w->x() - l->x() - kGap;
        }
        l->setFont(container->font());
        l->adjustSize();
        if (room <= 0 || l->width() <= room)
            continue;
        QFont f = l->font();
        int px = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
        while (l->width() > room && px > minPixelSize) {
            f.setPixelSize(--px);
            l->setFont(f);
            l->adjustSize();
        }
    }
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
