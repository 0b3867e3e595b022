#pragma once
// The string tree's in-place editor: TStringEditLink drives a TLTEdit, a frameless plain-text
// edit laid exactly over the cell's text and grown with it as the user types (never narrower
// than 30 pixels, never past the tree's client width; right-aligned text grows to the left).
//
// Keys in the editor: Enter (Ctrl+Enter in a multi-line node) applies and Escape drops the edit,
// both giving the focus back to the tree; Tab applies and edits the next visible node when it
// may be edited (on the last node no node stays focused); Up and Down move the caret left and
// right in a single-line node; Ctrl+A selects the whole text. Leaving the editor for another
// control applies the text with toAutoAcceptEditChange (the default) and drops it otherwise; a
// window switch or a message box is no such leave, so an error box raised by applying the text
// leaves the editor open with its text.
#include "controls/tree/LazyTree.h"

#include <QPlainTextEdit>
#include <QPointer>

namespace controls {

class TCustomLazyStringTree;
class TStringEditLink;

class TLTEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TLTEdit(TStringEditLink* Link);
    ~TLTEdit() override;

    // Single-line nodes: the control grows and shrinks with its text.
    virtual void FitSizeToText();
    // Frees the control once its events are done.
    virtual void Release();
    // A single-line or multi-line control (TLTEdit's window styles).
    void SetMultiline(bool Multiline);
    bool Multiline() const { return FMultiline; }
    // Keeps the link alive while the control shows it, or lets go of it.
    void SetRefLink(ILTEditLinkPtr Link) { FRefLink = std::move(Link); }
    void CutLink();
    TStringEditLink* Link() const { return FLink; }
    // The formatting rectangle inside the control (client coordinates).
    void SetFormatRect(const platform::Rect& R);
    platform::Rect FormatRect() const { return FFormatRect; }
    QString Text() const { return toPlainText(); }
    bool Modified() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    bool HandleKey(QKeyEvent* e);

    ILTEditLinkPtr FRefLink;
    TStringEditLink* FLink;
    bool FMultiline = false;
    platform::Rect FFormatRect;
};

class TStringEditLink : public ILTEditLink, public std::enable_shared_from_this<TStringEditLink> {
public:
    TStringEditLink();
    ~TStringEditLink() override;

    bool BeginEdit() override;
    bool CancelEdit() override;
    bool EndEdit() override;
    bool PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex Column) override;
    platform::Rect GetBounds() override;
    void ProcessMessage(int Key, Qt::KeyboardModifiers Modifiers) override;
    void SetBounds(platform::Rect R) override;

    TLTEdit* Edit() const { return FEdit.data(); }
    // A new control (the previous one is released).
    void SetEdit(TLTEdit* Value);
    TCustomLazyStringTree* Tree() const { return FTree.data(); }
    PLazyNode Node() const { return FNode; }
    TColumnIndex Column() const { return FColumn; }
    platform::Alignment Alignment() const { return FAlignment; }
    bool Stopping() const { return FStopping; }
    platform::Rect TextBounds() const { return FTextBounds; }

private:
    QPointer<TLTEdit> FEdit;
    QPointer<TCustomLazyStringTree> FTree;
    PLazyNode FNode = nullptr;
    TColumnIndex FColumn = NoColumn;
    platform::Alignment FAlignment = platform::Alignment::taLeftJustify;
    platform::Rect FTextBounds;
    bool FStopping = false;
};

} // namespace controls
