// Check boxes, tri-state boxes, radio buttons and buttons of the nodes: states, the click
// transition and the propagation between parents and children.
#include "controls/tree/LazyTree.h"

#include <QApplication>
#include <QCursor>

namespace controls {

bool IsDisabledState(TCheckState s) { return s == csUncheckedDisabled || s == csCheckedDisabled || s == csMixedDisabled; }

bool IsCheckedState(TCheckState s) { return s == csCheckedNormal || s == csCheckedPressed || s == csCheckedDisabled; }

TCheckState PressedState(TCheckState s)
{
    switch (s) {
    case csUncheckedNormal:
    case csUncheckedPressed:
        return csUncheckedPressed;
    case csCheckedNormal:
    case csCheckedPressed:
        return csCheckedPressed;
    case csMixedNormal:
    case csMixedPressed:
        return csMixedPressed;
    default:
        return s;
    }
}

TCheckState UnpressedState(TCheckState s)
{
    switch (s) {
    case csUncheckedNormal:
    case csUncheckedPressed:
        return csUncheckedNormal;
    case csCheckedNormal:
    case csCheckedPressed:
        return csCheckedNormal;
    case csMixedNormal:
    case csMixedPressed:
        return csMixedNormal;
    default:
        return s;
    }
}

TCheckState EnabledState(TCheckState s)
{
    switch (s) {
    case csUncheckedDisabled:
        return csUncheckedNormal;
    case csCheckedDisabled:
        return csCheckedNormal;
    case csMixedDisabled:
        return csMixedNormal;
    default:
        return s;
    }
}

TCheckState ToggledState(TCheckState s)
{
    switch (s) {
    case csUncheckedNormal:
        return csCheckedNormal;
    case csUncheckedPressed:
        return csCheckedPressed;
    case csCheckedNormal:
        return csUncheckedNormal;
    case csCheckedPressed:
        return csUncheckedPressed;
    case csMixedNormal:
        return csCheckedNormal;
    case csMixedPressed:
        return csCheckedPressed;
    default:
        return s;
    }
}

namespace {
bool isBox(TCheckType t) { return t == ctTriStateCheckBox || t == ctCheckBox; }
} // namespace

TCheckState TBaseLazyTree::DetermineNextCheckState(TCheckType CheckType, TCheckState CheckState)
{
    switch (CheckType) {
    case ctTriStateCheckBox:
    case ctCheckBox:
        return ToggledState(CheckState);
    case ctRadioButton:
        return csCheckedNormal;
    case ctButton:
        return csUncheckedNormal;
    case ctNone:
        break;
    }
    return csMixedNormal;
}

bool TBaseLazyTree::DoChecking(PLazyNode Node, TCheckState& NewCheckState)
{
    if (FOptions->MiscOptions().contains(toReadOnly))
        return false;
    bool allowed = true;
    if (OnChecking)
        OnChecking(this, Node, NewCheckState, allowed);
    return allowed;
}

void TBaseLazyTree::DoCheckClick(PLazyNode Node, TCheckState NewCheckState)
{
    if (ApplyCheckState(Node, NewCheckState))
        DoChecked(Node);
}

void TBaseLazyTree::SetCheckState(PLazyNode Node, TCheckState Value)
{
    if (Node->CheckState == Value || Node->States.contains(vsDisabled))
        return;
    if (DoChecking(Node, Value))
        DoCheckClick(Node, Value);
}

bool TBaseLazyTree::CheckParentCheckState(PLazyNode Node, TCheckState NewCheckState)
{
    PLazyNode parent = Node->Parent;
    int boxCount = 0;
    int checkedCount = 0;
    bool mixed = false;
    for (PLazyNode c = parent->FirstChild; c; c = c->NextSibling) {
        if (!isBox(c->CheckType))
            continue;
        const TCheckState s = c == Node ? NewCheckState : c->CheckState;
        ++boxCount;
        if (IsCheckedState(s))
            ++checkedCount;
        if (s == csMixedNormal)
            mixed = true;
    }
    TCheckState state;
    if (checkedCount == 0 && !mixed)
        state = csUncheckedNormal;
    else if (checkedCount < boxCount)
        state = csMixedNormal;
    else
        state = csCheckedNormal;
    const bool allowed = DoChecking(parent, state);
    if (allowed)
        DoCheckClick(parent, state);
    return allowed;
}

bool TBaseLazyTree::ApplyCheckState(PLazyNode Node, TCheckState Value)
{
    if (Node->States.contains(vsChecking))
        return false;
    Node->States += vsChecking;
    bool entered = false;
    bool result = true;
    try {
        if (!Node->States.contains(vsInitialized)) {
            InitNode(Node);
        } else if (Node->CheckState == Value) {
            Node->States -= vsChecking;
            return false;
        }
        if (FCheckPropagationCount == 0)
            DoStateChange({tsCheckPropagation});
        ++FCheckPropagationCount;
        entered = true;

        const bool tracking = FOptions->AutoOptions().contains(toAutoTristateTracking);
        if (Node->CheckType == ctTriStateCheckBox && tracking && (Value == csCheckedNormal || Value == csUncheckedNormal) &&
            Node->FirstChild) {
            for (PLazyNode c = Node->FirstChild; c; c = c->NextSibling)
                if (isBox(c->CheckType) && !IsDisabledState(c->CheckState))
                    SetCheckState(c, Value);
            int checked = 0;
            int unchecked = 0;
            int mixed = 0;
            for (PLazyNode c = Node->FirstChild; c; c = c->NextSibling) {
                if (!isBox(c->CheckType))
                    continue;
                const TCheckState s = c->CheckState;
                if (Value == csCheckedNormal) {
                    if (s == csCheckedNormal)
                        ++checked;
                    else if (s == csMixedNormal)
                        ++mixed;
                    else if (s == csUncheckedNormal)
                        ++unchecked;
                } else {
                    if (s == csUncheckedNormal || s == csUncheckedDisabled)
                        ++unchecked;
                    else if (s == csCheckedNormal || s == csCheckedDisabled)
                        ++checked;
                    else if (s == csMixedNormal)
                        ++mixed;
                }
            }
            if (Value == csCheckedNormal) {
                if (mixed > 0 || (checked > 0 && unchecked > 0))
                    Value = csMixedNormal;
            } else {
                if (mixed > 0)
                    Value = csMixedNormal;
                else if (checked > 0)
                    Value = unchecked > 0 ? csMixedNormal : csCheckedNormal;
            }
        } else if (Node->CheckType == ctRadioButton && Value == csCheckedNormal) {
            for (PLazyNode c = Node->Parent->FirstChild; c; c = c->NextSibling)
                if (c != Node && c->CheckType == ctRadioButton)
                    c->CheckState = csUncheckedNormal;
            Invalidate();
        }

        Node->CheckState = Value;

        PLazyNode parent = Node->Parent;
        if (parent != FRoot && !parent->States.contains(vsInitialized))
            InitNode(parent);
        if (tracking && !parent->States.contains(vsChecking) && !parent->States.contains(vsDisabled) &&
            isBox(Node->CheckType) && parent != FRoot && parent->CheckType == ctTriStateCheckBox)
            result = CheckParentCheckState(Node, Value);

        InvalidateNode(Node);
    } catch (...) {
        if (entered && --FCheckPropagationCount == 0)
            DoStateChange({}, {tsCheckPropagation});
        Node->States -= vsChecking;
        throw;
    }
    if (--FCheckPropagationCount == 0)
        DoStateChange({}, {tsCheckPropagation});
    Node->States -= vsChecking;
    return result;
}

void TBaseLazyTree::SetCheckType(PLazyNode Node, TCheckType Value)
{
    if (Node->CheckType == Value || FOptions->MiscOptions().contains(toReadOnly))
        return;
    Node->CheckType = Value;
    if (Value != ctTriStateCheckBox && (Node->CheckState == csMixedNormal || Node->CheckState == csMixedPressed))
        Node->CheckState = csUncheckedNormal;
    if (FOptions->AutoOptions().contains(toAutoTristateTracking) && isBox(Value) && Node->Parent != FRoot) {
        PLazyNode parent = Node->Parent;
        if (!parent->States.contains(vsInitialized))
            InitNode(parent);
        if (parent->CheckType == ctTriStateCheckBox) {
            if (parent->CheckState == csUncheckedNormal || parent->CheckState == csUncheckedDisabled)
                SetCheckState(Node, csUncheckedNormal);
            else if (parent->CheckState == csCheckedNormal || parent->CheckState == csCheckedDisabled)
                SetCheckState(Node, csCheckedNormal);
        }
    }
    InvalidateNode(Node);
}

uint32_t TBaseLazyTree::CheckedCount()
{
    uint32_t count = 0;
    for (PLazyNode n = GetFirstChecked(csCheckedNormal); n; n = GetNextChecked(n, csCheckedNormal))
        ++count;
    return count;
}

void TBaseLazyTree::SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly, bool pExcludeDisabled)
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    BeginUpdate();
    try {
        PLazyNode n = pSelectedOnly ? GetFirstSelected() : GetFirst();
        while (n) {
            if (!(pExcludeDisabled && IsDisabledState(n->CheckState)))
                SetCheckState(n, aCheckState);
            n = pSelectedOnly ? GetNextSelected(n) : GetNext(n);
        }
    } catch (...) {
        QApplication::restoreOverrideCursor();
        EndUpdate();
        throw;
    }
    QApplication::restoreOverrideCursor();
    EndUpdate();
}

void TBaseLazyTree::ClearChecked()
{
    for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
        if (n->CheckState != csUncheckedNormal)
            SetCheckState(n, csUncheckedNormal);
}

} // namespace controls
