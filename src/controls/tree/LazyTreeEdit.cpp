// In-place editing: the tree's editing protocol and the string tree's editor.
#include "controls/tree/LazyTreeEdit.h"
#include "controls/tree/LazyStringTree.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <QThread>

namespace controls {

using platform::Rect;

namespace {

platform::Alignment mirroredAlignment(platform::Alignment a)
{
    if (a == platform::Alignment::taLeftJustify)
        return platform::Alignment::taRightJustify;
    if (a == platform::Alignment::taRightJustify)
        return platform::Alignment::taLeftJustify;
    return a;
}

// The window boundary of the editor: an error raised while the text is applied is shown, and
// the editor stays as it is.
template <typename F>
void guarded(F&& f)
{
    try {
        f();
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
    }
}

} // namespace

// --- the tree's protocol ------------------------------------------------------------------------

bool TBaseLazyTree::CanEdit(PLazyNode Node, TColumnIndex Column)
{
    const auto misc = FOptions->MiscOptions();
    bool allowed = misc.contains(toEditable) && isEnabled() && !misc.contains(toReadOnly) &&
                   (Column < 0 || (FHeader->IsValidColumn(Column) &&
                                   FHeader->Columns()[Column]->Options().contains(coEditable)));
    return DoCanEdit(Node, Column, allowed);
}

bool TBaseLazyTree::DoCanEdit(PLazyNode Node, TColumnIndex Column, bool Allowed)
{
    if (OnEditing)
        OnEditing(this, Node, Column, Allowed);
    return Allowed;
}

ILTEditLinkPtr TBaseLazyTree::DoCreateEditor(PLazyNode Node, TColumnIndex Column)
{
    ILTEditLinkPtr link;
    if (OnCreateEditor)
        OnCreateEditor(this, Node, Column, link);
    return link;
}

bool TBaseLazyTree::EditNode(PLazyNode Node, TColumnIndex Column)
{
    LtAssert(Node != nullptr, "Node must not be nil.");
    LtAssert(Column >= NoColumn && Column < FHeader->Columns().Count(),
             "Column must be a valid column index (-1 if no header is shown).");
    if (FStates.contains(tsEditing) || FOptions->MiscOptions().contains(toReadOnly))
        return FStates.contains(tsEditing);
    SetFocusedNode(Node);
    if (FFocusedNode != Node || !CanEdit(Node, Column))
        return false;
    FEditColumn = Column;
    if (!Node->States.contains(vsInitialized))
        InitNode(Node);
    DoEdit();
    return FStates.contains(tsEditing);
}

bool TBaseLazyTree::EndEditNode()
{
    if (FStates.contains(tsEditing) || FStates.contains(tsEditPending))
        return DoEndEdit();
    return true;
}

bool TBaseLazyTree::CancelEditNode()
{
    if (!FHandleAllocated)
        return true;
    if (FStates.contains(tsEditing) || FStates.contains(tsEditPending))
        return DoCancelEdit();
    return true;
}

void TBaseLazyTree::DoEdit()
{
    HideHint();
    StopTimer(4);
    StopTimer(2);
    DoStateChange({}, {tsEditPending});
    if (FFocusedNode && !FFocusedNode->States.contains(vsDisabled) && !FOptions->MiscOptions().contains(toReadOnly) &&
        !FEditLink)
        FEditLink = DoCreateEditor(FFocusedNode, FEditColumn);
    if (FEditLink) {
        DoStateChange({tsEditing}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsDrawSelecting,
                                    tsMouseCheckPending, tsOLEDragging, tsOLEDragPending, tsScrolling, tsScrollPending});
        ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().contains(toCenterScrollIntoView),
                       !FOptions->AutoOptions().contains(toDisableAutoscrollOnEdit));
        // The link is kept for the whole call: a refusing editor must not vanish under it.
        ILTEditLinkPtr link = FEditLink;
        if (link->PrepareEdit(this, FFocusedNode, FEditColumn)) {
            UpdateEditBounds();
            InvalidateNode(FFocusedNode);
            if (!link->BeginEdit())
                DoStateChange({}, {tsEditing});
        } else {
            DoStateChange({}, {tsEditing});
        }
        if (!FStates.contains(tsEditing))
            FEditLink.reset();
    }
}

bool TBaseLazyTree::DoEndEdit()
{
    StopTimer(2);
    bool result = false;
    if (FStates.contains(tsEditing) && FEditLink) {
        ILTEditLinkPtr link = FEditLink;
        try {
            result = link->EndEdit();
        } catch (...) {
            DoStateChange({}, {tsEditPending});
            throw;
        }
        if (result) {
            DoStateChange({}, {tsEditing});
            FEditLink.reset();
            DoEdited(FFocusedNode, FEditColumn);
        }
    }
    DoStateChange({}, {tsEditPending});
    return result;
}

bool TBaseLazyTree::DoCancelEdit()
{
    StopTimer(2);
    DoStateChange({}, {tsEditPending});
    bool result = false;
    if (FStates.contains(tsEditing) && FEditLink) {
        ILTEditLinkPtr link = FEditLink;
        result = link->CancelEdit();
    }
    if (result) {
        DoStateChange({}, {tsEditing});
        DoEditCancelled(FEditColumn);
        if (!FDestroying)
            FEditLink.reset();
    }
    return result;
}

void TBaseLazyTree::UpdateEditBounds()
{
    if (!FStates.contains(tsEditing) || !FFocusedNode || !FEditLink ||
        (FEditColumn >= 0 && FEditColumn >= FHeader->Columns().Count()) || QThread::currentThread() != thread())
        return;
    const bool multiline = FFocusedNode->States.contains(vsMultiline);
    Rect r = GetDisplayRect(FFocusedNode, FEditColumn, true, !multiline);
    if (FOptions->MiscOptions().contains(toGridExtensions)) {
        platform::Alignment alignment = FAlignment;
        bool rtl = UseRightToLeftReading();
        if (FEditColumn >= 0) {
            TLazyTreeColumn* column = FHeader->Columns()[FEditColumn];
            alignment = column->Alignment();
            rtl = column->UseRightToLeftReading();
        }
        if (rtl)
            alignment = mirroredAlignment(alignment);
        int left = 0;
        int right = 0;
        FHeader->GetColumnBounds(FEditColumn, left, right);
        if (alignment == platform::Alignment::taLeftJustify)
            r.right = right;
        else
            r.left = left;
    }
    if (FOptions->PaintOptions().contains(toShowHorzGridLines))
        --r.bottom;
    const Rect current = FEditLink->GetBounds();
    r.bottom = r.top + std::max(current.height(), r.height());
    FEditLink->SetBounds(r);
}

// --- the string tree's editor -------------------------------------------------------------------

ILTEditLinkPtr TCustomLazyStringTree::DoCreateEditor(PLazyNode Node, TColumnIndex Column)
{
    ILTEditLinkPtr link = TBaseLazyTree::DoCreateEditor(Node, Column);
    if (!link)
        link = std::make_shared<TStringEditLink>();
    return link;
}

TStringEditLink::TStringEditLink() { SetEdit(new TLTEdit(this)); }

TStringEditLink::~TStringEditLink()
{
    if (FEdit) {
        FEdit->CutLink();
        FEdit->Release();
    }
}

void TStringEditLink::SetEdit(TLTEdit* Value)
{
    if (FEdit == Value)
        return;
    if (FEdit) {
        FEdit->CutLink();
        FEdit->Release();
    }
    FEdit = Value;
    if (FEdit) {
        FEdit->setVisible(false);
        FEdit->setFrameShape(QFrame::Box);
    }
}

bool TStringEditLink::PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex Column)
{
    auto* tree = qobject_cast<TCustomLazyStringTree*>(Tree);
    if (!tree)
        return false;
    if (!FEdit)
        SetEdit(new TLTEdit(this));
    FTree = tree;
    FNode = Node;
    FColumn = Column;
    QFont font;
    QString text;
    tree->GetTextInfo(Node, Column, font, FTextBounds, text);
    FEdit->setFont(font);
    QPalette palette = FEdit->palette();
    palette.setColor(QPalette::Text, platform::toQColor(platform::clWindowText));
    FEdit->setPalette(palette);
    FEdit->setParent(tree->viewport());
    FEdit->SetMultiline(Node->States.contains(vsMultiline));
    FEdit->setFrameShape(tree->TreeStates().contains(tsUseThemes) ? QFrame::StyledPanel : QFrame::Box);
    FEdit->setPlainText(text);
    FEdit->document()->setModified(false);
    TBiDiMode bidi = tree->BiDiMode();
    FAlignment = tree->Alignment();
    if (Column >= 0) {
        TLazyTreeColumn* column = tree->Header().Columns()[Column];
        bidi = column->BiDiMode();
        FAlignment = column->Alignment();
    }
    if (bidi != bdLeftToRight)
        FAlignment = mirroredAlignment(FAlignment);
    FEdit->setLayoutDirection(bidi != bdLeftToRight ? Qt::RightToLeft : Qt::LeftToRight);
    return true;
}

bool TStringEditLink::BeginEdit()
{
    if (!FStopping && FEdit) {
        FEdit->SetRefLink(shared_from_this());
        FEdit->show();
        FEdit->selectAll();
        FEdit->setFocus(Qt::OtherFocusReason);
        FEdit->FitSizeToText();
    }
    return !FStopping;
}

bool TStringEditLink::EndEdit()
{
    if (FStopping)
        return false;
    FStopping = true;
    try {
        if (FEdit && FEdit->Modified() && FTree)
            FTree->SetText(FNode, FColumn, FEdit->Text());
    } catch (...) {
        FStopping = false;
        throw;
    }
    // The tree's state changes are complete before the control hides (hiding moves the focus).
    std::shared_ptr<TStringEditLink> keep = shared_from_this();
    if (FEdit) {
        FEdit->hide();
        FEdit->CutLink();
    }
    return true;
}

bool TStringEditLink::CancelEdit()
{
    if (FStopping)
        return false;
    FStopping = true;
    std::shared_ptr<TStringEditLink> keep = shared_from_this();
    if (FEdit)
        FEdit->hide();
    if (FTree)
        FTree->CancelEditNode();
    if (FEdit)
        FEdit->CutLink();
    return true;
}

Rect TStringEditLink::GetBounds() { return FEdit ? Rect::fromQRect(FEdit->geometry()) : Rect{}; }

void TStringEditLink::ProcessMessage(int Key, Qt::KeyboardModifiers Modifiers)
{
    if (!FEdit)
        return;
    QKeyEvent press(QEvent::KeyPress, Key, Modifiers);
    QApplication::sendEvent(FEdit.data(), &press);
}

void TStringEditLink::SetBounds(Rect R)
{
    if (FStopping || !FEdit || !FTree)
        return;
    if (R.left < 0)
        R.left = 0;
    if (R.width() < 30) {
        if (FAlignment == platform::Alignment::taRightJustify)
            R.left = R.right - 30;
        else
            R.right = R.left + 30;
    }
    R.right = std::min(R.right, FTree->ClientWidth());
    FEdit->setGeometry(R.toQRect());
    // The formatting rectangle: the text sits where the tree paints it.
    const bool multiline = FNode && FNode->States.contains(vsMultiline);
    int d = multiline ? 0 : 2;
    if (FTree->TreeStates().contains(tsUseThemes))
        d += 1;
    Rect format{0, 0, R.width(), R.height()};
    format = format.inflated(d - FTree->TextMargin(), d);
    if (!multiline)
        format = format.offset(0, FTextBounds.top - R.top);
    format.top = std::max(format.top, -1);
    format.left = std::max(format.left, -1);
    FEdit->SetFormatRect(format);
}

// --- the edit control ---------------------------------------------------------------------------

TLTEdit::TLTEdit(TStringEditLink* Link)
    : FLink(Link)
{
    setVisible(false);
    setWordWrapMode(QTextOption::NoWrap);
    document()->setDocumentMargin(0);
    setTabChangesFocus(false);
    SetMultiline(false);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!FMultiline)
            FitSizeToText();
    });
}

TLTEdit::~TLTEdit()
{
    // Destroyed while it still edits: the text is applied or dropped as on leaving it.
    if (FLink && !FLink->Stopping() && FLink->Tree()) {
        TCustomLazyStringTree* tree = FLink->Tree();
        auto* options = dynamic_cast<TCustomStringTreeOptions*>(&tree->TreeOptions());
        if (options && options->StringOptions().contains(toAutoAcceptEditChange) && Modified() && !tree->IsDestroying())
            guarded([&] { tree->SetText(FLink->Node(), FLink->Column(), Text()); });
    }
    CutLink();
}

bool TLTEdit::Modified() const { return document()->isModified(); }

void TLTEdit::CutLink()
{
    FLink = nullptr;
    // Letting go may destroy the link, which releases this control (later, never now).
    ILTEditLinkPtr last = std::move(FRefLink);
    FRefLink.reset();
}

void TLTEdit::Release()
{
    if (!parentWidget())
        delete this;
    else
        deleteLater();
}

void TLTEdit::SetMultiline(bool Multiline)
{
    FMultiline = Multiline;
    setLineWrapMode(Multiline ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setWordWrapMode(Multiline ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Multiline ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TLTEdit::SetFormatRect(const Rect& R)
{
    FFormatRect = R;
    const QRect client = contentsRect();
    const int left = std::max(0, R.left);
    const int top = std::max(0, R.top);
    const int right = std::max(0, client.width() - R.right);
    const int bottom = std::max(0, client.height() - R.bottom);
    setViewportMargins(left, top, right, bottom);
}

void TLTEdit::FitSizeToText()
{
    if (FMultiline || !FLink || !FLink->Tree())
        return;
    TCustomLazyStringTree* tree = FLink->Tree();
    if (tree->TreeOptions().MiscOptions().contains(toGridExtensions))
        return;
    setUpdatesEnabled(false);
    const QFontMetrics fm(font());
    // "yG" covers the ascent and descent of the line and leaves room for the next character.
    const int width = fm.horizontalAdvance(Text() + QStringLiteral("yG")) + 2 * tree->TextMargin();
    const int height = fm.height() + 2 * tree->TextMargin();
    Rect r = Rect::fromQRect(geometry());
    if (r.height() < height)
        r.bottom = r.top + height;
    if (width < r.width())
        tree->Invalidate();
    if (FLink->Alignment() == platform::Alignment::taRightJustify)
        r.left = r.right - width;
    else
        r.right = r.left + width;
    FLink->SetBounds(r);
    setUpdatesEnabled(true);
}

bool TLTEdit::HandleKey(QKeyEvent* e)
{
    TCustomLazyStringTree* tree = FLink ? FLink->Tree() : nullptr;
    if (!tree)
        return false;
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    switch (e->key()) {
    case Qt::Key_Tab:
        if (tree->IsEditing()) {
            PLazyNode node = FLink->Node();
            tree->InvalidateNode(node);
            PLazyNode next = tree->GetNextVisible(node, true);
            if (tree->EndEditNode()) {
                tree->SetFocusedNode(next);
                if (tree->FocusedNode() && tree->CanEdit(tree->FocusedNode(), tree->FocusedColumn())) {
                    tree->SetEditColumn(tree->FocusedColumn());
                    tree->DoEdit();
                } else {
                    tree->setFocus(Qt::OtherFocusReason);
                }
            }
        }
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!FMultiline || (mods & Qt::ControlModifier)) {
            tree->InvalidateNode(FLink->Node());
            if (tree->DoEndEdit())
                tree->setFocus(Qt::OtherFocusReason);
            return true;
        }
        return false;
    case Qt::Key_Escape:
        tree->DoCancelEdit();
        tree->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!FMultiline) {
            QKeyEvent turned(e->type(), e->key() == Qt::Key_Up ? Qt::Key_Left : Qt::Key_Right, e->modifiers());
            QPlainTextEdit::keyPressEvent(&turned);
            return true;
        }
        return false;
    case Qt::Key_A:
        if (mods == Qt::ControlModifier && tree->IsEditing()) {
            selectAll();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void TLTEdit::keyPressEvent(QKeyEvent* e)
{
    // A key whose handling raised an error was the editor's own: it does not type.
    bool handled = true;
    QPointer<TLTEdit> self(this);
    guarded([&] { handled = HandleKey(e); });
    if (!self)
        return;
    if (handled)
        e->accept();
    else
        QPlainTextEdit::keyPressEvent(e);
}

void TLTEdit::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    // Another window coming up (a message box, a menu) is not leaving the editor.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason)
        return;
    if (!FLink || FLink->Stopping() || !FLink->Tree())
        return;
    TCustomLazyStringTree* tree = FLink->Tree();
    auto* options = dynamic_cast<TCustomStringTreeOptions*>(&tree->TreeOptions());
    guarded([&] {
        if (options && options->StringOptions().contains(toAutoAcceptEditChange))
            tree->DoEndEdit();
        else
            tree->DoCancelEdit();
    });
}

} // namespace controls
