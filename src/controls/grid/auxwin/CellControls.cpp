#include "controls/grid/auxwin/CellControls.h"

#include "controls/grid/edit/GridEdit.h"
#include "platform/grid/InplaceEdit.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QTextCharFormat>

namespace controls::grid {

namespace {

bool isEnter(const QKeyEvent* e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }

// The fixed-cell editors' stop: validate through the grid, then store or keep the edit open.
bool stopFixedEdit(TExtStringGridEdit* grid, QWidget* control, int col, int row, const QString& text)
{
    if (!grid) {
        control->hide();
        return true;
    }
    QString value = text;
    bool valid = true;
    if (grid->OnCellValidate)
        grid->OnCellValidate(grid, col, row, value, valid);
    if (!valid) {
        grid->SetCol(grid->DisplColIndex(col));
        grid->SetRow(row);
        control->setFocus();
        return false;
    }
    if (grid->OnEditingDone)
        grid->OnEditingDone(grid);
    grid->SetCells(col, row, value);
    control->hide();
    return true;
}

// Hands a key to the grid as if it had been pressed there.
void sendKeyToGrid(TExtStringGridEdit* grid, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(grid, &press);
}

// The keys of a form control's box: Enter ends the edit and gives the grid the focus; Tab ends
// it and moves on, to the next cell with Navigation.AdvanceAuto, else to the cell's next
// control. True when the key was one of them.
bool controlBoxKey(QKeyEvent* e, TExtStringGridEdit* grid, bool focusGridOnEnter, const QString& controlID,
                   const std::function<void()>& exitEdit, const std::function<void(const QString&)>& nextControl)
{
    if (isEnter(e)) {
        e->accept();
        if (exitEdit)
            exitEdit();
        if (grid && focusGridOnEnter)
            grid->setFocus();
        return true;
    }
    if (e->key() != Qt::Key_Tab)
        return false;
    e->accept();
    const QString id = controlID; // the exit may change the box's state
    if (exitEdit)
        exitEdit();
    if (grid && grid->Navigation.AdvanceAuto())
        grid->AdvanceEdit(grid->col(), grid->row(), true, false, true, true, false);
    else if (nextControl)
        nextControl(id);
    return true;
}

} // namespace

// --- fixed-cell editors -------------------------------------------------------------------------------

TGridTransEdit::TGridTransEdit(TExtStringGridEdit* grid) : QLineEdit(grid ? grid->viewport() : nullptr), m_grid(grid)
{
    hide();
    setFrame(false);
    connect(this, &QLineEdit::textEdited, this, [this]() {
        if (OnChange)
            OnChange(this);
    });
}

bool TGridTransEdit::StopEdit() { return stopFixedEdit(m_grid, this, Col, Row, text()); }

void TGridTransEdit::keyPressEvent(QKeyEvent* e)
{
    if (isEnter(e)) {
        e->accept(); // no beep and no line break
        StopEdit();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TGridTransEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (isVisible())
        StopEdit();
}

TGridTransCombo::TGridTransCombo(TExtStringGridEdit* grid) : QComboBox(grid ? grid->viewport() : nullptr), m_grid(grid)
{
    hide();
    connect(this, &QComboBox::currentTextChanged, this, [this]() {
        if (OnChange)
            OnChange(this);
    });
}

void TGridTransCombo::SetEditable(bool editable)
{
    setEditable(editable);
    // Each line edit the combo makes reports its typing once.
    if (editable && lineEdit() && !lineEdit()->property("vnWired").toBool()) {
        lineEdit()->setProperty("vnWired", true);
        connect(lineEdit(), &QLineEdit::textEdited, this, [this]() {
            if (OnChange)
                OnChange(this);
        });
    }
}

bool TGridTransCombo::StopEdit() { return stopFixedEdit(m_grid, this, Col, Row, currentText()); }

void TGridTransCombo::keyPressEvent(QKeyEvent* e)
{
    if (isEnter(e)) {
        e->accept();
        StopEdit();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void TGridTransCombo::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    // The dropped list takes the focus for a while: that is no leaving.
    if (isVisible() && !view()->isVisible() && !isAncestorOf(QApplication::focusWidget()))
        StopEdit();
}

// --- form control editors -------------------------------------------------------------------------------

TControlEdit::TControlEdit(TExtStringGridEdit* grid) : QLineEdit(grid ? grid->viewport() : nullptr), m_grid(grid)
{
    hide();
    setFrame(false);
}

void TControlEdit::SetEditMask(const QString& mask)
{
    const platform::EditMaskPattern pattern = platform::translateEditMask(mask);
    setInputMask(mask.isEmpty() ? QString() : pattern.qtMask);
    m_saveLiterals = mask.isEmpty() || pattern.saveLiterals;
}

void TControlEdit::SetPasswordChar(QChar c) { setEchoMode(c.isNull() ? QLineEdit::Normal : QLineEdit::Password); }

QString TControlEdit::Text() const
{
    if (inputMask().isEmpty() || m_saveLiterals)
        return text();
    return displayText().isEmpty() ? QString() : text();
}

void TControlEdit::keyPressEvent(QKeyEvent* e)
{
    // Enter gives the grid the focus only when the box stands in a grid.
    const bool inGrid = parentWidget() && parentWidget()->parentWidget() == m_grid.data();
    if (!controlBoxKey(e, m_grid, inGrid, ControlID, OnExitEdit, OnNextControl))
        QLineEdit::keyPressEvent(e);
}

void TControlEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (isVisible() && OnExitEdit)
        OnExitEdit();
}

TControlCombo::TControlCombo(TExtStringGridEdit* grid) : TXgrComboBox(grid ? grid->viewport() : nullptr), m_grid(grid)
{
    hide();
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
        if (OnSelect)
            OnSelect(this);
    });
}

void TControlCombo::keyPressEvent(QKeyEvent* e)
{
    if (!controlBoxKey(e, m_grid, true, ControlID, OnExitEdit, OnNextControl))
        TXgrComboBox::keyPressEvent(e);
}

void TControlCombo::focusOutEvent(QFocusEvent* e)
{
    TXgrComboBox::focusOutEvent(e);
    if (isVisible() && !view()->isVisible() && !isAncestorOf(QApplication::focusWidget()) && OnExitEdit)
        OnExitEdit();
}

// --- TExtRichEdit ---------------------------------------------------------------------------------------

TExtRichEdit::TExtRichEdit(TExtStringGridEdit* grid) : QTextEdit(grid ? grid->viewport() : nullptr), m_grid(grid)
{
    hide();
    setTabChangesFocus(false);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this](const QSizeF& size) { RequestResize(int(size.width() + 0.5), int(size.height() + 0.5)); });
}

void TExtRichEdit::ReCreate()
{
    const QString html = toHtml();
    clear();
    setHtml(html);
}

void TExtRichEdit::setOffset(int alignment)
{
    QTextCharFormat f;
    f.setVerticalAlignment(QTextCharFormat::VerticalAlignment(alignment));
    QTextCursor c = textCursor();
    c.mergeCharFormat(f);
    mergeCurrentCharFormat(f);
}

void TExtRichEdit::SelNormal() { setOffset(QTextCharFormat::AlignNormal); }
void TExtRichEdit::SelSubscript() { setOffset(QTextCharFormat::AlignSubScript); }
void TExtRichEdit::SelSuperscript() { setOffset(QTextCharFormat::AlignSuperScript); }

bool TExtRichEdit::IsSelNormal() const
{
    return textCursor().charFormat().verticalAlignment() == QTextCharFormat::AlignNormal;
}

bool TExtRichEdit::IsSelSubscript() const
{
    return textCursor().charFormat().verticalAlignment() == QTextCharFormat::AlignSubScript;
}

bool TExtRichEdit::IsSelSuperscript() const
{
    return textCursor().charFormat().verticalAlignment() == QTextCharFormat::AlignSuperScript;
}

void TExtRichEdit::keyPressEvent(QKeyEvent* e)
{
    TExtStringGridEdit* grid = m_grid;
    if (grid && e->key() == Qt::Key_Tab && grid->options().testFlag(platform::goTabs)) {
        e->accept();
        grid->setFocus();
        sendKeyToGrid(grid, Qt::Key_Tab, e->modifiers());
        grid->ShowInplaceEdit();
        return;
    }
    QTextEdit::keyPressEvent(e);
    if (grid && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) && !grid->WordWrap() && !grid->Multilinecells) {
        grid->setFocus();
        sendKeyToGrid(grid, e->key(), e->modifiers());
    }
}

void TExtRichEdit::focusOutEvent(QFocusEvent* e)
{
    TExtStringGridEdit* grid = m_grid;
    if (grid && QApplication::focusWidget() == grid)
        grid->HideInplaceEdit();
    QTextEdit::focusOutEvent(e);
}

void TExtRichEdit::RequestResize(int width, int height)
{
    m_reqWidth = width;
    m_reqHeight = height;
    TExtStringGridEdit* grid = m_grid;
    if (!grid || !InPlace || m_locked || !grid->SizeWhileTyping.Height)
        return;
    const int row = grid->row();
    const platform::Rect cell = grid->cellRect(grid->col(), row);
    if (grid->rowHeights(row) < height + 5 && cell.top + height + 5 <= grid->viewport()->height()) {
        resize(this->width(), height + 9);
        grid->setRowHeights(row, height + 10);
        if (grid->OnEndRowSize)
            grid->OnEndRowSize(grid, row);
    }
}

} // namespace controls::grid
