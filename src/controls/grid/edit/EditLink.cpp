#include "controls/grid/edit/EditLink.h"

#include "controls/grid/edit/GridEdit.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

namespace controls::grid {

using namespace platform;

namespace {

// The one pop-up window of the links: a new one replaces it.
QPointer<QWidget>& gridForm()
{
    static QPointer<QWidget> form;
    return form;
}

} // namespace

TEditLink::TEditLink(QObject* owner) : QObject(owner) {}

TEditLink::~TEditLink()
{
    RestoreWinProc();
    if (m_popupForm && m_popupForm == gridForm())
        delete m_popupForm.data();
}

// --- the hooks a descendant fills in -------------------------------------------------------------

QWidget* TEditLink::GetEditControl() { return nullptr; }
void TEditLink::CreateEditor(QWidget*) {}
void TEditLink::DestroyEditor() {}
void TEditLink::SetProperties() {}
void TEditLink::SetCellProps(Color, const Font&) {}
QString TEditLink::GetEditorValue() { return QString(); }
void TEditLink::SetEditorValue(const QString&) {}

void TEditLink::SetVisible(bool value)
{
    if (QWidget* c = GetEditControl())
        c->setVisible(value);
}

void TEditLink::SetRect(const Rect& r)
{
    QWidget* c = GetEditControl();
    if (!c)
        return;
    const int line = m_owner ? m_owner->GridLineWidth() : 0;
    c->setGeometry(r.left, r.top, r.width() - line, r.height() - line);
}

void TEditLink::SetFocus(bool value)
{
    QWidget* c = GetEditControl();
    if (value && c) {
        if (!c->isVisible())
            c->setVisible(true);
        if (!c->isEnabled())
            c->setEnabled(true);
    }
    if (EditStyle == esInplace && c && !m_subClassed) {
        // The grid's look at the control's keys: with goTabs Tab is the link's, not the window's.
        c->installEventFilter(this);
        m_subclassedControl = c;
        m_subClassed = true;
    }
    if (value) {
        if (c)
            c->setFocus(Qt::OtherFocusReason);
    } else if (m_owner) {
        m_owner->setFocus(Qt::OtherFocusReason);
    }
}

void TEditLink::RestoreWinProc()
{
    if (EditStyle != esInplace || !m_subclassedControl)
        return;
    m_subclassedControl->removeEventFilter(this);
    m_subclassedControl->hide();
    m_subclassedControl = nullptr;
    m_subClassed = false;
}

bool TEditLink::eventFilter(QObject* watched, QEvent* e)
{
    const bool key = e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease;
    if (watched == m_subclassedControl && key && m_owner) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool tab = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (e->type() == QEvent::KeyPress && isFocusTab(*k) && m_owner->options().testFlag(goTabs)) {
            quint16 vk = VK_TAB;
            EditKeyDown(watched, vk, shiftStateOf(k->modifiers()));
            return true;
        }
        // The control's keys are its own, as in a window of its own: what it does not use never
        // reaches the grid it lies on.
        if (!tab) {
            watched->event(e);
            e->accept();
            return true;
        }
    }
    if (watched == m_popupForm && e->type() == QEvent::WindowDeactivate)
        FormExit(m_popupForm);
    return QObject::eventFilter(watched, e);
}

// --- cell value ---------------------------------------------------------------------------------------

QString TEditLink::GetCellValue()
{
    if (!m_owner)
        return QString();
    return m_owner->Cells(m_owner->RealColIndex(m_owner->col()), m_owner->row());
}

void TEditLink::SetCellValue(const QString& value)
{
    if (m_owner)
        m_owner->StoreEditText(m_owner->RealColIndex(m_owner->col()), m_owner->row(), value);
}

QWidget* TEditLink::GetParent()
{
    if (EditStyle == esPopup)
        return m_popupForm;
    return m_owner ? m_owner->viewport() : nullptr;
}

void TEditLink::HideEditor()
{
    SetCellValue(GetEditorValue());
    if (m_owner)
        m_owner->HideInplaceEdit();
    RestoreWinProc();
}

void TEditLink::EditExit(QObject*)
{
    HideEditor();
    if (EditStyle == esPopup && m_popupForm) {
        DestroyEditor();
        m_popupForm->hide();
    }
}

void TEditLink::FormExit(QObject* sender)
{
    if (!m_owner)
        return;
    if (TExtInplaceEdit* edit = m_owner->NormalEdit())
        edit->setText(GetEditorValue());
    if (m_forcedExit) {
        SetCellValue(GetEditorValue());
        return;
    }
    EditExit(sender);
    m_owner->m_invokedFocusChange = true;
}

// --- showing ------------------------------------------------------------------------------------------------

void TEditLink::Open(TExtStringGridEdit* grid, int col, int row, const Rect& cell, Color color, const Font& font)
{
    m_owner = grid;
    m_editCell = QPoint(col, row);
    if (EditStyle == esPopup) {
        if (AutoPopupWidth)
            PopupWidth = cell.right - cell.left;
        if (!m_popupForm) {
            delete gridForm().data();
            auto* form = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
            form->setObjectName(QStringLiteral("gridform"));
            form->installEventFilter(this);
            gridForm() = form;
            m_popupForm = form;
        }
        QPoint p(PopupLeft, PopupTop);
        if (PopupLeft == -1 || PopupTop == -1)
            p = grid->viewport()->mapToGlobal(QPoint(cell.left, cell.top));
        m_popupForm->move(p);
        m_popupForm->resize(0, 0);
        m_popupForm->show();
        m_popupForm->move(p);
        m_popupForm->resize(PopupWidth, PopupHeight);
        CreateEditor(m_popupForm);
        SetRect(Rect{0, 0, PopupWidth, PopupHeight});
    } else {
        CreateEditor(grid->viewport());
        SetRect(cell);
    }
    SetVisible(true);
    SetCellProps(color, font);
    SetProperties();
    grid->GetEditorProp(grid->RealColIndex(col), row);
    SetEditorValue(grid->getEditText(col, row));
    SetFocus(true);
    grid->m_editActive = true;
    QWidget* control = GetEditControl();
    if (!grid->m_startEditChar.isNull() && control) {
        const QChar ch = grid->m_startEditChar;
        QWidget* target = control->focusProxy() ? control->focusProxy() : control;
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch)));
    }
    grid->m_editCtrl = control;
}

void TEditLink::ForcedGridFocus()
{
    m_forcedExit = true;
    m_owner->setFocus(Qt::OtherFocusReason);
    m_forcedExit = false;
}

// --- the key protocol -------------------------------------------------------------------------------------

void TEditLink::EditKeyDown(QObject*, quint16& key, TShiftState shift)
{
    TExtStringGridEdit* grid = m_owner;
    if (!grid)
        return;
    const TEditLinkWants wants{WantKeyLeftRight, WantKeyUpDown, WantKeyHomeEnd, WantKeyPriorNext,
                               WantKeyReturn,    WantKeyEscape, WantTabs};
    if (!EditLinkKeyLeaves(key, shift, wants))
        return;
    const bool back = shift.testFlag(ssShift) || QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    if (key == VK_TAB) {
        if (grid->Navigation.TabToNextAtEnd) {
            ForcedGridFocus();
            grid->HideEditControl(grid->col(), grid->row());
            if (grid->TabAdvance(back) && !grid->HasControlGraphic(grid->RealColIndex(grid->col()), grid->row()))
                QCoreApplication::postEvent(grid, new QKeyEvent(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier));
            key = 0;
            return;
        }
        key = 0;
    }
    if (key == VK_ESCAPE)
        SetEditorValue(grid->m_cellCache);
    ForcedGridFocus();
    grid->HideEditControl(grid->col(), grid->row());
    if (EditStyle == esPopup)
        EditExit(this);
    grid->m_editMode = false;
    grid->selectCell(grid->col(), grid->row());
    if (!grid->m_lastValidation) {
        // Refused: the control opens again on the cell (unless the validation already did).
        grid->m_lastValidation = true;
        if (!grid->m_editActive) {
            grid->m_editControl = edCustom;
            grid->m_editMode = true;
            grid->ShowEditControl(grid->col(), grid->row());
        }
        return;
    }
    if (key == VK_RETURN) {
        grid->m_lastValidation = true;
        grid->AdvanceEdit(grid->col(), grid->row(), true, false, !shift.testFlag(ssShift), true, false);
        key = 0;
        return;
    }
    if (key == VK_ESCAPE) {
        key = 0;
        return;
    }
    if (key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN)
        grid->keyDown(key, shift);
    if (QWidget* c = GetEditControl())
        c->setEnabled(false);
    ForcedGridFocus();
}

} // namespace controls::grid
