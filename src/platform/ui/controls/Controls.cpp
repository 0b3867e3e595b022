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
    const QList<QWidget*> children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    // The room up to the first shown control that starts right of `w` on its row; -1 for none.
    const auto roomRightOf = [&](const QWidget* w) {
        int room = -1;
        for (const QWidget* other : children) {
            if (other == w || other->isHidden() || qobject_cast<const QLabel*>(other))
                continue;
            const bool sameRow = other->y() < w->y() + w->height() && w->y() < other->y() + other->height();
            if (sameRow && other->x() > w->x() && (room < 0 || other->x() - w->x() - kGap < room))
                room = other->x() - w->x() - kGap;
        }
        return room;
    };
    const auto shrink = [&](QWidget* w, int room, const std::function<int()>& needed) {
        QFont f = w->font();
        int px = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
        while (needed() > room && px > minPixelSize) {
            f.setPixelSize(--px);
            w->setFont(f);
        }
    };
    for (Label* l : container->findChildren<Label*>(Qt::FindDirectChildrenOnly)) {
        const int room = roomRightOf(l);
        l->setFont(container->font());
        l->adjustSize();
        if (room <= 0 || l->width() <= room)
            continue;
        shrink(l, room, [l] {
            l->adjustSize();
            return l->width();
        });
    }
    // A check box keeps its size: its caption must fit inside it (and clear of a field beside).
    for (CheckBox* c : container->findChildren<CheckBox*>(Qt::FindDirectChildrenOnly)) {
        const int beside = roomRightOf(c);
        const int room = beside > 0 ? std::min(beside, c->width()) : c->width();
        c->setFont(container->font());
        if (room > 0 && c->sizeHint().width() > room)
            shrink(c, room, [c] { return c->sizeHint().width(); });
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
