// Keyboard input: navigation keys that move the focus and extend or replace the selection, the
// numeric-pad expand and collapse keys, the two-phase Space check protocol, and incremental
// search by typing.
//
// Key codes are Qt's (Qt::Key_Down ...): OnKeyAction receives and may change them. The four
// arithmetic characters act the same from the main keyboard and the numeric pad.
#include "controls/tree/LazyTree.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QKeyEvent>

namespace controls {

namespace {

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TBaseLazyTree::DoKeyAction(int& CharCode, TShiftState& Shift)
{
    bool doDefault = true;
    if (OnKeyAction)
        OnKeyAction(this, CharCode, Shift, doDefault);
    return doDefault;
}

int TBaseLazyTree::DoIncrementalSearch(PLazyNode Node, const QString& Text)
{
    int result = 0;
    if (OnIncrementalSearch)
        OnIncrementalSearch(this, Node, Text, result);
    return result;
}

bool TBaseLazyTree::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) && FWantTabs) {
            keyPressEvent(k);
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void TBaseLazyTree::keyPressEvent(QKeyEvent* e)
{
    e->accept();
    HideHint();
    int key = e->key();
    TShiftState shift = ShiftStateOf(e->modifiers());
    if (key == Qt::Key_Escape && !FHeader->States().empty()) {
        TLTHeaderMessage escape;
        escape.Msg = THeaderMessage::KeyDownEscape;
        if (FHeader->HandleMessage(escape))
            return;
    }
    QString text = e->text();
    WMKeyDown(key, shift, text);
    if (FStates.contains(tsIncrementalSearchPending)) {
        if (!text.isEmpty())
            HandleIncrementalSearch(text.at(0).unicode());
        DoStateChange({}, {tsIncrementalSearchPending});
    }
}

void TBaseLazyTree::keyReleaseEvent(QKeyEvent* e)
{
    if (e->isAutoRepeat())
        return;
    WMKeyUp(e->key());
}

void TBaseLazyTree::WMKeyUp(int Key)
{
    if (Key == Qt::Key_Tab || Key == Qt::Key_Backtab)
        EnsureNodeFocused();
    if (Key == Qt::Key_Space && FStates.contains(tsKeyCheckPending)) {
        DoStateChange({}, {tsKeyCheckPending});
        PLazyNode node = FCheckNode;
        FCheckNode = nullptr;
        if (node) {
            if (node == FFocusedNode)
                DoCheckClick(node, FPendingCheckState);
            else
                // The focus moved while Space was held: the box goes back to how it was.
                node->CheckState = UnpressedState(node->CheckState);
            InvalidateNode(node);
        }
    }
}

void TBaseLazyTree::WMKeyDown(int CharCode, TShiftState Shift, const QString& Text)
{
    if (!DoKeyAction(CharCode, Shift))
        return;
    if (FStates.contains(tsKeyCheckPending) && CharCode != Qt::Key_Space) {
        DoStateChange({}, {tsKeyCheckPending});
        if (PLazyNode node = FCheckNode) {
            node->CheckState = UnpressedState(node->CheckState);
            InvalidateNode(node);
        }
        FCheckNode = nullptr;
    }
    if (isNavigationKey(CharCode) && FRoot->ChildCount > 0)
        NavigationKey(CharCode, Shift);
    else
        CommandKey(CharCode, Shift, Text);
}

void TBaseLazyTree::CommandKey(int CharCode, TShiftState Shift, const QString& Text)
{
    const auto misc = FOptions->MiscOptions();
    const bool searching = FStates.contains(tsIncrementalSearching);
    const QChar typed = Text.isEmpty() ? QChar() : Text.at(0);
    int key = CharCode;
    if (typed == QLatin1Char('*'))
        key = Qt::Key_Asterisk;
    else if (typed == QLatin1Char('+'))
        key = Qt::Key_Plus;
    else if (typed == QLatin1Char('-'))
        key = Qt::Key_Minus;
    else if (typed == QLatin1Char('/'))
        key = Qt::Key_Slash;
    auto ordinary = [&]() {
        const bool alt = Shift.contains(ssAlt);
        const bool ctrl = Shift.contains(ssCtrl);
        if (alt != ctrl)
            return;
        if (Text.isEmpty() || Text.at(0).unicode() < 32) {
            if (CharCode != Qt::Key_Backspace)
                return;
        }
        DoStateChange({tsIncrementalSearchPending});
    };
    switch (key) {
    case Qt::Key_Escape:
        if (FStates.contains(tsDrawSelPending) || FStates.contains(tsDrawSelecting)) {
            DoStateChange({}, {tsDrawSelPending, tsDrawSelecting});
            Invalidate();
        } else if (FStates.contains(tsEditing)) {
            CancelEditNode();
        }
        return;
    case Qt::Key_Space:
        if (misc.contains(toCheckSupport) && FFocusedNode && FFocusedNode->CheckType != ctNone) {
            if (!FStates.contains(tsKeyCheckPending) && !FStates.contains(tsMouseCheckPending) &&
                !FFocusedNode->States.contains(vsDisabled)) {
                TCheckState newState = DetermineNextCheckState(FFocusedNode->CheckType, FFocusedNode->CheckState);
                if (DoChecking(FFocusedNode, newState)) {
                    DoStateChange({tsKeyCheckPending});
                    FCheckNode = FFocusedNode;
                    FPendingCheckState = newState;
                    FFocusedNode->CheckState = PressedState(FFocusedNode->CheckState);
                    InvalidateNode(FFocusedNode);
                }
            }
            return;
        }
        ordinary();
        return;
    case Qt::Key_A:
        if (Shift.contains(ssCtrl)) {
            SelectAll(true);
            return;
        }
        ordinary();
        return;
    case Qt::Key_Menu:
        if (FFocusedNode) {
            const platform::Rect r = GetDisplayRect(FFocusedNode, FFocusedColumn, true);
            const int w = std::min(DoGetNodeWidth(FFocusedNode, FFocusedColumn), ClientWidth());
            DoPopupMenu(FFocusedNode, FFocusedColumn, QPoint(r.left + w / 2, (r.top + r.bottom) / 2));
        } else {
            DoPopupMenu(nullptr, FFocusedColumn, QPoint(-1, -1));
        }
        return;
    case Qt::Key_Asterisk:
        if (searching)
            break;
        if (FFocusedNode)
            FullExpand(FFocusedNode);
        return;
    case Qt::Key_Plus:
        if (searching)
            break;
        if (Shift.contains(ssCtrl)) {
            if (misc.contains(toReverseFullExpandHotKey) != Shift.contains(ssShift))
                FullExpand();
            // Without columns there is nothing to fit.
        } else if (FFocusedNode && !FFocusedNode->States.contains(vsExpanded)) {
            ToggleNode(FFocusedNode);
        }
        return;
    case Qt::Key_Minus:
        if (searching)
            break;
        if (Shift.contains(ssCtrl)) {
            if (misc.contains(toReverseFullExpandHotKey) != Shift.contains(ssShift))
                FullCollapse();
        } else if (FFocusedNode && FFocusedNode->States.contains(vsExpanded)) {
            ToggleNode(FFocusedNode);
        }
        return;
    case Qt::Key_Slash:
        if (searching)
            break;
        if (FFocusedNode)
            FullCollapse(FFocusedNode);
        return;
    case Qt::Key_F1:
        if (OnGetHelpContext) {
            int helpContext = 0;
            for (PLazyNode n = FFocusedNode; n && n != FRoot && helpContext == 0; n = n->Parent)
                DoGetHelpContext(n, FFocusedColumn < 0 ? 0 : FFocusedColumn, helpContext);
            FLastHelpContext = helpContext;
        }
        return;
    case Qt::Key_F2:
        if (Shift.empty() && FFocusedNode && CanEdit(FFocusedNode, FFocusedColumn)) {
            FEditColumn = FFocusedColumn;
            DoEdit();
        }
        return;
    default:
        break;
    }
    ordinary();
}

void TBaseLazyTree::NavigationKey(int CharCode, TShiftState Shift)
{
    const auto sel = FOptions->SelectionOptions();
    const auto misc = FOptions->MiscOptions();
    const bool multiSelectOption = sel.contains(toMultiSelect);
    const bool multiSelect = Shift.contains(ssShift) && multiSelectOption && !FStates.contains(tsEditing);
    bool rangeToggle = multiSelect && (CharCode == Qt::Key_PageUp || CharCode == Qt::Key_PageDown ||
                                       CharCode == Qt::Key_End || CharCode == Qt::Key_Home);
    const bool invalidateAfter = rangeToggle || FSelectionCount > 1;
    const bool clearFirst = Shift.empty() || (misc.contains(toGridExtensions) && !Shift.contains(ssShift)) ||
                            !multiSelectOption || CharCode == Qt::Key_Backspace || CharCode == Qt::Key_Tab ||
                            CharCode == Qt::Key_Backtab;
    PLazyNode lastFocused = FFocusedNode;
    if (!lastFocused && !Shift.empty())
        lastFocused = GetFirstVisible(nullptr, true);
    if (!FRangeAnchor) {
        FRangeAnchor = GetFirstSelected();
        if (!FRangeAnchor)
            FRangeAnchor = GetFirst();
    }
    const int dir = UseRightToLeftReading() ? -1 : 1;
    PLazyNode oldFocused = FFocusedNode;
    bool selectionCleared = false;
    const bool onlyCtrl = Shift == TShiftState(ssCtrl);

    switch (CharCode) {
    case Qt::Key_Backspace:
        if (FStates.contains(tsIncrementalSearching))
            DoStateChange({tsIncrementalSearchPending});
        else if (FFocusedNode && FFocusedNode->Parent != FRoot)
            SetFocusedNode(FFocusedNode->Parent);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // Tab moves between columns; a tree without columns has none to move to.
        break;
    case Qt::Key_PageUp:
        if (Shift == TShiftState{ssCtrl, ssShift}) {
            SetOffsetX(FOffsetX + ClientWidth());
        } else if (Shift == TShiftState{ssAlt, ssShift}) {
            // Column paging needs columns.
        } else if (Shift.contains(ssCtrl)) {
            SetOffsetY(FOffsetY + ClientHeight());
        } else if (!FFocusedNode) {
            SetFocusedNode(GetFirstVisible(nullptr, true));
        } else {
            PLazyNode n = FFocusedNode;
            int sum = 0;
            for (;;) {
                PLazyNode p = GetPreviousVisible(n, true);
                if (!p || sum + int(NodeHeight(n)) >= ClientHeight())
                    break;
                n = p;
                sum += int(NodeHeight(n));
            }
            SetFocusedNode(n);
        }
        break;
    case Qt::Key_PageDown:
        if (Shift == TShiftState{ssCtrl, ssShift}) {
            SetOffsetX(FOffsetX - ClientWidth());
        } else if (Shift == TShiftState{ssAlt, ssShift}) {
        } else if (Shift.contains(ssCtrl)) {
            SetOffsetY(FOffsetY - ClientHeight());
        } else if (!FFocusedNode) {
            SetFocusedNode(GetLastVisible(nullptr, true));
        } else {
            PLazyNode n = FFocusedNode;
            PLazyNode c;
            int sum = 0;
            do {
                c = n;
                n = GetNextVisible(c, true);
                sum += int(NodeHeight(c));
            } while (n && sum < ClientHeight());
            SetFocusedNode(c);
        }
        break;
    case Qt::Key_Home:
    case Qt::Key_End: {
        const bool toStart = (CharCode == Qt::Key_Home) == (dir == 1);
        PLazyNode target = toStart ? GetFirstVisible(nullptr, true) : GetLastVisible(nullptr, true);
        if (onlyCtrl && !misc.contains(toGridExtensions)) {
            ScrollIntoView(target, sel.contains(toCenterScrollIntoView),
                           !FOptions->AutoOptions().contains(toDisableAutoscrollOnFocus));
            if (CharCode == Qt::Key_Home)
                SetOffsetX(dir == 1 ? 0 : -int(FRangeX));
            else
                SetOffsetX(dir == 1 ? -int(FRangeX) : 0);
        } else if (!(misc.contains(toGridExtensions) && !Shift.contains(ssCtrl))) {
            SetFocusedNode(target);
        }
        break;
    }
    case Qt::Key_Left:
        if (Shift.contains(ssCtrl)) {
            SetOffsetX(FOffsetX + dir * FHeader->GetScrollWidth());
        } else if (sel.contains(toExtendedFocus) && misc.contains(toGridExtensions)) {
            // Column focus needs columns.
        } else if (FFocusedNode) {
            if (FFocusedNode->States.contains(vsExpanded) && FFocusedNode->States.contains(vsHasChildren) &&
                Shift.empty()) {
                ToggleNode(FFocusedNode);
            } else if (FFocusedNode->Parent != FRoot) {
                PLazyNode parent = FFocusedNode->Parent;
                if (multiSelect) {
                    if (FFocusedNode->Index != 0)
                        rangeToggle = true;
                    else if (FRangeAnchor && CompareNodeOrder(parent, FRangeAnchor, true) > 0)
                        RemoveFromSelection(FFocusedNode);
                }
                SetFocusedNode(parent);
            }
        } else {
            SetFocusedNode(GetFirstVisible(nullptr, true));
        }
        break;
    case Qt::Key_Right:
        if (Shift.contains(ssCtrl)) {
            SetOffsetX(FOffsetX - dir * FHeader->GetScrollWidth());
        } else if (sel.contains(toExtendedFocus) && misc.contains(toGridExtensions)) {
        } else if (FFocusedNode) {
            if (!FFocusedNode->States.contains(vsExpanded) && FFocusedNode->States.contains(vsHasChildren) &&
                Shift.empty()) {
                ToggleNode(FFocusedNode);
            } else if (PLazyNode child = GetFirstVisibleChild(FFocusedNode)) {
                if (multiSelect && FRangeAnchor && CompareNodeOrder(child, FRangeAnchor, true) < 0)
                    RemoveFromSelection(FFocusedNode);
                SetFocusedNode(child);
            }
        } else {
            SetFocusedNode(GetFirstVisible(nullptr, true));
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const bool down = CharCode == Qt::Key_Down;
        if (Shift.contains(ssCtrl)) {
            SetOffsetY(FOffsetY + (down ? -1 : 1) * int(FDefaultNodeHeight));
            break;
        }
        PLazyNode n = FFocusedNode ? (down ? GetNextVisible(FFocusedNode, true) : GetPreviousVisible(FFocusedNode, true))
                                   : (down ? GetFirstVisible(nullptr, true) : GetLastVisible(nullptr, true));
        if (n) {
            if (FFocusedNode) {
                const bool pastAnchor = lastFocused && FRangeAnchor &&
                                        (down ? CompareNodeOrder(lastFocused, FRangeAnchor, true) < 0
                                              : CompareNodeOrder(lastFocused, FRangeAnchor, true) > 0);
                if ((!multiSelect || pastAnchor) && FFocusedNode->States.contains(vsSelected))
                    RemoveFromSelection(FFocusedNode);
            }
            if (FFocusedColumn == NoColumn)
                FFocusedColumn = FHeader->MainColumn();
            SetFocusedNode(n);
        } else if (FFocusedNode) {
            InvalidateNode(FFocusedNode);
        }
        break;
    }
    default:
        break;
    }

    if (clearFirst && (FFocusedNode != oldFocused || FSelectionCount != 1)) {
        ClearSelection();
        selectionCleared = true;
    }
    if (Shift.empty() && FFocusedNode) {
        FRangeAnchor = FFocusedNode;
        FLastSelectionLevel = int(GetNodeLevel(FFocusedNode));
    }
    if (FFocusedNode) {
        if (rangeToggle && lastFocused)
            ToggleSelection(lastFocused, FFocusedNode);
        if ((FFocusedNode != oldFocused || selectionCleared) && !FFocusedNode->States.contains(vsSelected))
            AddToSelection(FFocusedNode);
    }
    if (invalidateAfter)
        Invalidate();
}

void TBaseLazyTree::HandleIncrementalSearch(int CharCode)
{
    StopTimer(7);
    if (FIncrementalSearch == isNone)
        return;
    if (CharCode == 0) {
        SetWindowTimer(7, FSearchTimeout);
        return;
    }
    DoStateChange({tsIncrementalSearching});
    const bool backspace = CharCode == 8;
    if (backspace && FSearchBuffer.isEmpty()) {
        SetWindowTimer(7, FSearchTimeout);
        return;
    }
    const QString character = backspace ? QString() : QString(QChar(char16_t(CharCode)));
    PLazyNode run = nullptr;
    switch (FSearchStart) {
    case ssAlwaysStartOver:
        break;
    case ssFocusedNode:
        run = FFocusedNode;
        break;
    case ssLastHit:
        run = FLastSearchNode;
        break;
    }
    if (run && FIncrementalSearch == isInitializedOnly && !run->States.contains(vsInitialized))
        run = nullptr;
    if (run && FIncrementalSearch == isVisibleOnly && (!FullyVisible(run) || IsEffectivelyFiltered(run)))
        run = nullptr;
    PLazyNode stop = run;
    bool forward = FSearchDirection == sdForward;
    if (backspace)
        forward = !forward;
    bool singleLetter = !backspace && FSearchBuffer.size() == 1 && FSearchBuffer == character;
    if (singleLetter && run && DoIncrementalSearch(run, FSearchBuffer + character) == 0)
        singleLetter = false;

    auto step = [&](PLazyNode n) -> PLazyNode {
        switch (FIncrementalSearch) {
        case isInitializedOnly:
            return forward ? GetNextNoInit(n) : GetPreviousNoInit(n);
        case isVisibleOnly:
            return forward ? GetNextVisible(n, true) : GetPreviousVisible(n, true);
        default:
            return forward ? GetNext(n) : GetPrevious(n);
        }
    };
    auto first = [&]() -> PLazyNode {
        switch (FIncrementalSearch) {
        case isInitializedOnly:
            return forward ? GetFirstNoInit() : GetLastNoInit();
        case isVisibleOnly:
            return forward ? GetFirstVisible(nullptr, true) : GetLastVisible(nullptr, true);
        default:
            return forward ? GetFirst() : GetLast();
        }
    };
    const bool findNext = FSearchBuffer.isEmpty() || !run || singleLetter || backspace;
    if (findNext) {
        run = run ? step(run) : nullptr;
        if (!run)
            run = first();
    }
    bool found = false;
    QString searchText;
    if (run) {
        if (singleLetter)
            searchText = FSearchBuffer;
        else if (backspace)
            searchText = FSearchBuffer.left(FSearchBuffer.size() - 1);
        else
            searchText = FSearchBuffer + character;
        if (backspace)
            FSearchBuffer = searchText;
        // Every node is compared once, from the start node round to it again.
        PLazyNode start = run;
        for (;;) {
            if (DoIncrementalSearch(run, searchText) == 0) {
                found = true;
                break;
            }
            run = step(run);
            if (!run)
                run = first();
            if (!run || run == start || run == stop)
                break;
        }
    }
    if (found) {
        ClearSelection();
        FSearchBuffer = searchText;
        FLastSearchNode = run;
        SetFocusedNode(run);
        AddToSelection(run);
    } else if (run && DoIncrementalSearch(run, searchText) != 0) {
        if (MessageBeep)
            MessageBeep();
    }
    SetWindowTimer(7, FSearchTimeout);
}

} // namespace controls
