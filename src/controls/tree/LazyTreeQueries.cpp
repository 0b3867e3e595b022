// The questions tools written for the platform's own tree control ask, answered as plain
// functions with node handles as item handles.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyStringTree.h"

namespace controls {

PLazyNode TBaseLazyTree::GetNextItem(int Code, PLazyNode Item)
{
    switch (Code) {
    case TVGN_ROOT:
        return GetFirst();
    case TVGN_NEXT:
        return Item ? GetNextSibling(Item) : nullptr;
    case TVGN_PREVIOUS:
        return Item ? GetPreviousSibling(Item) : nullptr;
    case TVGN_PARENT:
        return (!Item || Item == FRoot || Item->Parent == FRoot) ? nullptr : Item->Parent;
    case TVGN_CHILD:
        return Item ? GetFirstChild(Item) : nullptr;
    case TVGN_FIRSTVISIBLE:
        return GetFirstVisible(nullptr, true);
    case TVGN_NEXTVISIBLE:
        return Item ? GetNextVisible(Item, true) : nullptr;
    case TVGN_PREVIOUSVISIBLE:
        return Item ? GetPreviousVisible(Item, true) : nullptr;
    case TVGN_DROPHILITE:
        return FDropTargetNode;
    case TVGN_CARET:
        return FFocusedNode;
    case TVGN_LASTVISIBLE:
        return GetLastVisible(nullptr, true);
    default:
        return nullptr;
    }
}

bool TBaseLazyTree::GetItemRect(PLazyNode Item, bool TextOnly, platform::Rect& R)
{
    if (!Item || Item == FRoot || !FullyVisible(Item))
        return false;
    R = GetDisplayRect(Item, NoColumn, TextOnly);
    return true;
}

bool TBaseLazyTree::GetItem(TLTItemInfo& Info)
{
    if (!(Info.mask & TVIF_HANDLE) || !Info.hItem)
        return false;
    PLazyNode node = Info.hItem;
    auto imageIndex = [&](TLTImageKind kind) {
        bool ghosted = false;
        int index = -1;
        DoGetImageIndex(node, kind, NoColumn, ghosted, index);
        return index;
    };
    if (Info.mask & TVIF_CHILDREN)
        Info.cChildren = int(node->ChildCount);
    if (Info.mask & TVIF_IMAGE)
        Info.iImage = imageIndex(ikNormal);
    if (Info.mask & TVIF_SELECTEDIMAGE)
        Info.iSelectedImage = imageIndex(ikSelected);
    if (Info.mask & TVIF_STATE) {
        Info.stateMask = 0xFF2F;
        unsigned state = 0;
        if (node == FFocusedNode)
            state |= TVIS_FOCUSED;
        if (node->States.contains(vsSelected))
            state |= TVIS_SELECTED;
        if (node->States.contains(vsCutOrCopy))
            state |= TVIS_CUT;
        if (node == FDropTargetNode)
            state |= TVIS_DROPHILITED;
        if (node->States.contains(vsExpanded))
            state |= TVIS_EXPANDED;
        state += unsigned(imageIndex(ikState) + 1) << 12;
        state += unsigned(imageIndex(ikOverlay) + 1) << 8;
        Info.state = state;
    }
    if ((Info.mask & TVIF_TEXT) && Info.cchTextMax > 0) {
        QFont font;
        platform::Rect r;
        QString text;
        GetTextInfo(node, NoColumn, font, r, text);
        Info.pszText = text.left(Info.cchTextMax - 1);
    }
    return true;
}

void TBaseLazyTree::GetTextInfo(PLazyNode, TColumnIndex, QFont& AFont, platform::Rect& R, QString& Text)
{
    AFont = font();
    R = platform::Rect{};
    Text.clear();
}

} // namespace controls
