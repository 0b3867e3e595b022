#include "platform/grid/InplaceEdit.h"

#include "platform/grid/StringGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace platform {

namespace {

// Positions of the edit control's mask: true where the mask shows a literal.
std::vector<bool> literalPositions(const QString& qtMask)
{
    std::vector<bool> result;
    for (int i = 0; i < qtMask.size(); ++i) {
        const QChar c = qtMask.at(i);
        if (c == u';')
            break;
        if (c == u'>' || c == u'<' || c == u'!')
            continue;
        if (c == u'\\') {
            if (i + 1 < qtMask.size()) {
                result.push_back(true);
                ++i;
            }
            continue;
        }
        static const QString editable = QStringLiteral("AaNnXx90Dd#HhBb");
        result.push_back(!editable.contains(c));
    }
    return result;
}

Qt::Alignment qtAlignment(Alignment a)
{
    switch (a) {
    case Alignment::taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case Alignment::taCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    case Alignment::taLeftJustify: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

EditMaskPattern translateEditMask(const QString& mask)
{
    EditMaskPattern translated;
    if (mask.isEmpty())
        return translated;
    // Split off the two optional fields; a ";" after "\" belongs to the mask.
    QString body;
    QStringList fields;
    QString current;
    bool inBody = true;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask.at(i);
        if (inBody && c == u'\\' && i + 1 < mask.size()) {
            current += c;
            current += mask.at(++i);
            continue;
        }
        if (c == u';') {
            if (inBody)
                body = current;
            else
                fields << current;
            inBody = false;
            current.clear();
            continue;
        }
        current += c;
    }
    if (inBody)
        body = current;
    else
        fields << current;
    if (!fields.isEmpty() && fields.at(0) == QStringLiteral("0"))
        translated.saveLiterals = false;
    QChar blank = u'_';
    if (fields.size() > 1 && !fields.at(1).isEmpty())
        blank = fields.at(1).at(0);

    static const QString qtSpecial = QStringLiteral("AaNnXx90Dd#HhBb><!\\;[]{}");
    QString out;
    for (int i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        switch (c.unicode()) {
        case '0': out += u'9'; break; // required digit
        case '9': out += u'0'; break; // optional digit
        case '#': out += u'#'; break; // optional digit or sign
        case 'L': out += u'A'; break; // required letter
        case 'l': out += u'a'; break;
        case 'A': out += u'N'; break; // required letter or digit
        case 'a': out += u'n'; break;
        case 'C': out += u'X'; break; // required character
        case 'c': out += u'x'; break;
        case '!': break;              // leading blanks: no counterpart, ignored
        case '>': out += u'>'; break;
        case '<':
            if (i + 1 < body.size() && body.at(i + 1) == u'>') {
                out += u'!';
                ++i;
            } else {
                out += u'<';
            }
            break;
        case '\\':
            if (i + 1 < body.size()) {
                out += u'\\';
                out += body.at(++i);
            }
            break;
        case '_': out += u' '; break; // a blank in the text
        default:
            if (qtSpecial.contains(c))
                out += u'\\';
            out += c;
            break;
        }
    }
    if (!out.isEmpty()) {
        out += u';';
        out += blank;
    }
    translated.qtMask = out;
    return translated;
}

TInplaceEdit::TInplaceEdit(TStringGrid* grid)
    : QWidget(grid->viewport())
    , m_grid(grid)
{
    setFocusPolicy(Qt::ClickFocus);
    hide();
    rebuild();
}

TInplaceEdit::~TInplaceEdit()
{
    // The inner control goes with this widget; its last events are not ours to handle.
    if (m_edit) {
        m_edit->removeEventFilter(this);
        if (m_plain)
            m_plain->viewport()->removeEventFilter(this);
        m_edit->disconnect(this);
    }
}

bool TInplaceEdit::wantsSingleLine() const
{
    return !m_multiLine || !m_passwordChar.isNull() || !m_editMask.isEmpty();
}

void TInplaceEdit::rebuild()
{
    const bool single = wantsSingleLine();
    if (m_edit && (single == (m_line != nullptr))) {
        // Same kind of control: only its settings follow.
        if (m_line) {
            m_line->setInputMask(m_mask.qtMask);
            m_line->setEchoMode(m_passwordChar.isNull() ? QLineEdit::Normal : QLineEdit::Password);
            m_line->setStyleSheet(m_passwordChar.isNull()
                                      ? QString()
                                      : QStringLiteral("lineedit-password-character: %1").arg(int(m_passwordChar.unicode())));
            m_line->setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
            m_line->setAlignment(qtAlignment(m_alignment));
            m_line->setTextMargins(m_margins);
        } else {
            m_plain->setContentsMargins(m_margins);
            m_plain->setLineWrapMode(m_wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
            QTextOption o = m_plain->document()->defaultTextOption();
            o.setAlignment(qtAlignment(m_alignment) & Qt::AlignHorizontal_Mask);
            m_plain->document()->setDefaultTextOption(o);
        }
        return;
    }
    QString keep;
    bool hadFocus = false;
    if (m_edit) {
        keep = rawText();
        hadFocus = m_edit->hasFocus() || window()->focusWidget() == m_edit;
        m_edit->removeEventFilter(this);
        m_edit->hide();
        m_edit->disconnect(this);
        // Deleted later: a rebuild may run inside the old control's own key handling.
        m_edit->deleteLater();
    }
    m_line = nullptr;
    m_plain = nullptr;
    if (single) {
        m_line = new QLineEdit(this);
        m_line->setFrame(false);
        m_edit = m_line;
        connect(m_line, &QLineEdit::textChanged, this, [this]() { userChanged(); });
    } else {
        m_plain = new QPlainTextEdit(this);
        m_plain->setFrameStyle(QFrame::NoFrame);
        m_plain->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_plain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_plain->setTabChangesFocus(false);
        m_plain->document()->setDocumentMargin(1);
        m_edit = m_plain;
        connect(m_plain, &QPlainTextEdit::textChanged, this, [this]() { userChanged(); });
    }
    m_edit->setFocusPolicy(Qt::ClickFocus);
    m_edit->setContextMenuPolicy(Qt::NoContextMenu);
    m_edit->setGeometry(rect());
    m_edit->installEventFilter(this);
    if (m_plain)
        m_plain->viewport()->installEventFilter(this);
    setFocusProxy(m_edit);
    m_edit->show();
    rebuild(); // settings of the new control
    ++m_settingText;
    if (m_line)
        m_line->setText(keep);
    else
        m_plain->setPlainText(keep);
    --m_settingText;
    if (hadFocus)
        m_edit->setFocus();
}

// --- text and selection --------------------------------------------------------------------

QString TInplaceEdit::rawText() const
{
    return m_line ? m_line->text() : m_plain->toPlainText();
}

QString TInplaceEdit::text() const
{
    QString t;
    if (m_line && !m_mask.qtMask.isEmpty() && !m_mask.saveLiterals) {
        const std::vector<bool> literal = literalPositions(m_mask.qtMask);
        const QString shown = m_line->displayText();
        const QChar blank = m_mask.qtMask.back();
        for (int i = 0; i < shown.size(); ++i) {
            if (i < int(literal.size()) && literal[size_t(i)])
                continue;
            if (shown.at(i) != blank)
                t += shown.at(i);
        }
    } else {
        t = rawText();
    }
    if (m_crlf)
        t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return t;
}

void TInplaceEdit::setText(const QString& text)
{
    m_crlf = text.contains(QStringLiteral("\r\n"));
    QString shown = text;
    if (m_crlf)
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ++m_settingText;
    if (m_line)
        m_line->setText(shown);
    else
        m_plain->setPlainText(shown);
    --m_settingText;
    change();
}

int TInplaceEdit::selStart() const
{
    if (m_line)
        return m_line->hasSelectedText() ? m_line->selectionStart() : m_line->cursorPosition();
    return m_plain->textCursor().selectionStart();
}

int TInplaceEdit::selLength() const
{
    if (m_line)
        return m_line->hasSelectedText() ? int(m_line->selectedText().size()) : 0;
    const QTextCursor c = m_plain->textCursor();
    return c.selectionEnd() - c.selectionStart();
}

int TInplaceEdit::shownLength() const
{
    return int(m_line ? m_line->displayText().size() : m_plain->toPlainText().size());
}

void TInplaceEdit::setSel(int start, int length)
{
    const int size = shownLength();
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    if (m_line) {
        if (length > 0)
            m_line->setSelection(start, length);
        else
            m_line->setCursorPosition(start);
        return;
    }
    QTextCursor c = m_plain->textCursor();
    c.setPosition(start);
    if (length > 0)
        c.setPosition(start + length, QTextCursor::KeepAnchor);
    m_plain->setTextCursor(c);
}

void TInplaceEdit::selectAll() { setSel(0, shownLength()); }

void TInplaceEdit::deselect() { setSel(shownLength(), 0); }

void TInplaceEdit::setMaxLength(int value)
{
    m_maxLength = value;
    if (m_line)
        m_line->setMaxLength(value > 0 ? value : 32767);
}

void TInplaceEdit::setEditMask(const QString& mask)
{
    if (mask == m_editMask)
        return;
    m_editMask = mask;
    m_mask = translateEditMask(mask);
    rebuild();
}

void TInplaceEdit::setPasswordChar(QChar ch)
{
    if (ch == m_passwordChar)
        return;
    m_passwordChar = ch;
    rebuild();
}

void TInplaceEdit::setMultiLine(bool on)
{
    if (on == m_multiLine)
        return;
    m_multiLine = on;
    rebuild();
}

void TInplaceEdit::setWordWrap(bool on)
{
    if (on == m_wordWrap)
        return;
    m_wordWrap = on;
    rebuild();
}

void TInplaceEdit::setTextMargins(int left, int top, int right, int bottom)
{
    m_margins = QMargins(left, top, right, bottom);
    rebuild();
}

void TInplaceEdit::setAlignment(Alignment a)
{
    if (a == m_alignment)
        return;
    m_alignment = a;
    rebuild();
}

int TInplaceEdit::caretLine() const
{
    if (m_line)
        return 0;
    const QTextCursor c = m_plain->textCursor();
    int line = 0;
    const QTextBlock here = c.block();
    for (QTextBlock b = m_plain->document()->begin(); b.isValid() && b != here; b = b.next())
        line += std::max(1, b.layout() ? b.layout()->lineCount() : 1);
    if (here.layout()) {
        const QTextLine l = here.layout()->lineForTextPosition(c.positionInBlock());
        if (l.isValid())
            line += l.lineNumber();
    }
    return line;
}

int TInplaceEdit::lineCount() const
{
    if (m_line)
        return 1;
    int lines = 0;
    for (QTextBlock b = m_plain->document()->begin(); b.isValid(); b = b.next())
        lines += std::max(1, b.layout() ? b.layout()->lineCount() : 1);
    return std::max(1, lines);
}

int TInplaceEdit::charFromPos(QPoint p) const
{
    if (m_line)
        return m_line->cursorPositionAt(m_line->mapFrom(this, p));
    return m_plain->cursorForPosition(m_plain->viewport()->mapFrom(this, p)).position();
}

QPoint TInplaceEdit::posFromChar(int index) const
{
    if (m_line) {
        const QFontMetrics fm(m_line->font());
        const int x = fm.horizontalAdvance(m_line->displayText().left(index));
        return m_line->mapTo(this, QPoint(x, 0));
    }
    QTextCursor c(m_plain->document());
    c.setPosition(std::clamp(index, 0, int(m_plain->toPlainText().size())));
    return m_plain->viewport()->mapTo(this, m_plain->cursorRect(c).topLeft());
}

// --- the grid's side -------------------------------------------------------------------------

void TInplaceEdit::updateContents()
{
    setText(QString());
    setEditMask(m_grid->getEditMask(m_grid->col(), m_grid->row()));
    setText(m_grid->getEditText(m_grid->col(), m_grid->row()));
    setMaxLength(m_grid->getEditLimit());
}

void TInplaceEdit::moveTo(const Rect& loc) { internalMove(loc); }

void TInplaceEdit::updateLoc(const Rect& loc) { internalMove(loc); }

void TInplaceEdit::internalMove(const Rect& loc)
{
    if (loc.isEmpty()) {
        hideEditor();
        return;
    }
    setGeometry(loc.toQRect());
    raise();
    show();
    boundsChanged();
    if (m_grid->window()->focusWidget() == m_grid)
        m_edit->setFocus(Qt::OtherFocusReason);
}

void TInplaceEdit::hideEditor()
{
    if (isHidden())
        return;
    const QWidget* f = window()->focusWidget();
    const bool hadFocus = f && (f == this || isAncestorOf(f));
    // The grid takes the focus before the editor hides, so that it never wanders elsewhere.
    if (hadFocus)
        m_grid->setFocus(Qt::OtherFocusReason);
    hide();
}

bool TInplaceEdit::posEqual(const Rect& loc) const { return geometry() == loc.toQRect(); }

void TInplaceEdit::setEditFocus()
{
    if (!isHidden())
        m_edit->setFocus(Qt::OtherFocusReason);
}

void TInplaceEdit::change() {}

void TInplaceEdit::boundsChanged() { m_edit->setGeometry(rect()); }

void TInplaceEdit::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (m_edit)
        m_edit->setGeometry(rect());
}

void TInplaceEdit::userChanged()
{
    if (m_settingText)
        return;
    m_grid->editorChanged();
}

// --- keys ----------------------------------------------------------------------------------

int TInplaceEdit::wmGetDlgCode()
{
    int result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
    if (m_grid->options().testFlag(goTabs))
        result |= DLGC_WANTTAB;
    return result;
}

void TInplaceEdit::wmKeyDown(TWMKey& msg)
{
    quint16 key = msg.CharCode;
    keyDown(key, m_grid->keyState());
    msg.CharCode = key;
}

void TInplaceEdit::wmKeyUp(TWMKey& msg)
{
    quint16 key = msg.CharCode;
    keyUp(key, m_grid->keyState());
    msg.CharCode = key;
}

void TInplaceEdit::wmChar(TWMKey& msg)
{
    QChar key(char16_t(msg.CharCode));
    keyPress(key);
    msg.CharCode = key.unicode();
    if (!key.isNull())
        defaultChar(key);
}

void TInplaceEdit::sendKeyToGrid(quint16& key, TShiftState shift)
{
    m_grid->keyDown(key, shift);
    key = 0;
}

void TInplaceEdit::keyDown(quint16& key, TShiftState shift)
{
    auto sendToParent = [&]() {
        m_grid->keyDown(key, shift);
        key = 0;
    };
    auto parentEvent = [&]() {
        if (m_grid->onKeyDown)
            m_grid->onKeyDown(m_grid, key, shift);
    };
    const bool forwardMovement = m_grid->options().testFlag(goAlwaysShowEditor);
    const bool ctrl = shift.testFlag(ssCtrl);
    const int length = shownLength();
    const int start = selStart();
    const int end = start + selLength();
    const bool leftSide = start == 0 && (end == 0 || end == length);
    const bool rightSide = (start == 0 || end == start) && end == length;
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE: sendToParent(); break;
    case VK_INSERT:
        if (!shift)
            sendToParent();
        else if (shift == TShiftState(ssShift) && !m_grid->canEditModify())
            key = 0;
        break;
    case VK_LEFT:
    case VK_HOME:
        if (forwardMovement && (ctrl || leftSide))
            sendToParent();
        break;
    case VK_RIGHT:
    case VK_END:
        if (forwardMovement && (ctrl || rightSide))
            sendToParent();
        break;
    case VK_F2:
        parentEvent();
        if (key == VK_F2) {
            deselect();
            key = 0;
            return;
        }
        break;
    case VK_TAB:
        if (!shift.testFlag(ssAlt))
            sendToParent();
        break;
    case VK_DELETE:
        if (ctrl)
            sendToParent();
        else if (!m_grid->canEditModify())
            key = 0;
        break;
    default: break;
    }
    if (key != 0)
        parentEvent();
}

void TInplaceEdit::keyPress(QChar& key)
{
    m_grid->keyPress(key);
    if (key.unicode() >= 32 && !m_grid->canEditAcceptKey(key)) {
        key = QChar();
        QApplication::beep();
    }
    switch (key.unicode()) {
    case 9:
    case 27: key = QChar(); break;
    case 13:
        if (selStart() == 0 && selLength() == shownLength())
            deselect();
        else
            selectAll();
        key = QChar();
        break;
    case 8:
    case 22:
    case 24:
        if (!m_grid->canEditModify())
            key = QChar();
        break;
    default:
        if (key.unicode() >= 32 && !m_grid->canEditModify())
            key = QChar();
        break;
    }
}

void TInplaceEdit::keyUp(quint16& key, TShiftState shift) { m_grid->keyUp(key, shift); }

void TInplaceEdit::dblClick() { m_grid->dblClick(); }

void TInplaceEdit::wmSetFocus() {}
void TInplaceEdit::wmKillFocus(QWidget*) {}

void TInplaceEdit::defaultChar(QChar ch)
{
    switch (ch.unicode()) {
    case 8:
        if (m_line) {
            m_line->backspace();
        } else {
            QTextCursor c = m_plain->textCursor();
            if (c.hasSelection())
                c.removeSelectedText();
            else
                c.deletePreviousChar();
            m_plain->setTextCursor(c);
        }
        return;
    case 3: wmCopy(); return;
    case 22: wmPaste(); return;
    case 24: wmCut(); return;
    case 26:
        if (m_line)
            m_line->undo();
        else
            m_plain->undo();
        return;
    case 10:
    case 13:
        if (m_plain)
            insertText(QStringLiteral("\n"));
        return;
    default:
        if (ch.unicode() >= 32)
            insertText(QString(ch));
        return;
    }
}

void TInplaceEdit::insertText(const QString& s)
{
    if (m_line) {
        // The one-line control types the characters itself, so that an edit mask steps over
        // its literals and the length limit holds.
        m_line->removeEventFilter(this);
        for (const QChar ch : s) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(m_line, &press);
        }
        m_line->installEventFilter(this);
        return;
    }
    QString t = s;
    if (m_maxLength > 0) {
        const int room = m_maxLength - int(m_plain->toPlainText().size()) + selLength();
        if (room <= 0)
            return;
        t = t.left(room);
    }
    m_plain->textCursor().insertText(t);
    m_plain->ensureCursorVisible();
}

void TInplaceEdit::replaceSelection(const QString& s) { insertText(s); }

void TInplaceEdit::wmPaste()
{
    if (!m_grid->canEditModify())
        return;
    if (m_line) {
        m_line->paste();
        return;
    }
    replaceSelection(QGuiApplication::clipboard()->text());
}

void TInplaceEdit::wmCut()
{
    if (!m_grid->canEditModify())
        return;
    if (m_line)
        m_line->cut();
    else
        m_plain->cut();
}

void TInplaceEdit::wmCopy()
{
    if (m_line)
        m_line->copy();
    else
        m_plain->copy();
}

void TInplaceEdit::focusNextControl(bool forward)
{
    QWidget* start = m_grid;
    QWidget* w = start;
    for (;;) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == start)
            return;
        if (m_grid->isAncestorOf(w) || w->window() != m_grid->window())
            continue;
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool TInplaceEdit::eventFilter(QObject* watched, QEvent* e)
{
    const bool onEdit = watched == m_edit;
    const bool onPlainViewport = m_plain && watched == m_plain->viewport();
    if (!onEdit && !onPlainViewport)
        return QWidget::eventFilter(watched, e);
    auto nativeFirst = [this, watched, e]() {
        watched->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, e);
        watched->installEventFilter(this);
    };
    switch (e->type()) {
    case QEvent::KeyPress: {
        if (!onEdit)
            break;
        auto* k = static_cast<QKeyEvent*>(e);
        m_grid->m_keyState = shiftStateOf(k->modifiers());
        const bool tab = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (tab && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !(wmGetDlgCode() & DLGC_WANTTAB)) {
            focusNextControl(k->key() == Qt::Key_Tab && !k->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
        const unsigned keyData = keyDataOf(*k);
        bool consumed = false;
        if (const quint16 vk = virtualKeyOf(*k)) {
            TWMKey down{vk, keyData, 0};
            wmKeyDown(down);
            consumed = down.CharCode == 0;
        }
        const QString chars = charsOf(*k);
        if (!chars.isEmpty()) {
            for (const QChar ch : chars) {
                TWMKey msg{ch.unicode(), keyData, 0};
                wmChar(msg);
            }
            return true;
        }
        if (consumed)
            return true;
        if (k->matches(QKeySequence::Paste)) {
            wmPaste();
            return true;
        }
        if (k->matches(QKeySequence::Cut)) {
            wmCut();
            return true;
        }
        if (k->matches(QKeySequence::Copy)) {
            wmCopy();
            return true;
        }
        return false; // caret movement and deletion: the edit control's own handling
    }
    case QEvent::KeyRelease: {
        if (!onEdit)
            break;
        auto* k = static_cast<QKeyEvent*>(e);
        m_grid->m_keyState = shiftStateOf(k->modifiers());
        if (const quint16 vk = virtualKeyOf(*k)) {
            TWMKey up{vk, keyDataOf(*k), 0};
            wmKeyUp(up);
        }
        return false;
    }
    case QEvent::FocusIn:
        if (!onEdit)
            break;
        nativeFirst();
        wmSetFocus();
        return true;
    case QEvent::FocusOut:
        if (!onEdit)
            break;
        nativeFirst();
        wmKillFocus(QApplication::focusWidget());
        return true;
    case QEvent::MouseButtonDblClick:
        nativeFirst();
        dblClick();
        return true;
    case QEvent::Wheel: {
        auto* w = static_cast<QWheelEvent*>(e);
        m_grid->doMouseWheel(shiftStateOf(w->modifiers(), w->buttons()), w->angleDelta().y(),
                             m_grid->viewport()->mapFrom(static_cast<QWidget*>(watched), w->position().toPoint()));
        return true;
    }
    case QEvent::ContextMenu: return true;
    default: break;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace platform
