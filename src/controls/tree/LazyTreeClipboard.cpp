// Cut, copy and paste through the clipboard, the rendering of the tree's own format and the
// insertion of transferred nodes (layouts in LazyTreeTransfer.h).
#include "controls/tree/LazyTree.h"
#include "platform/exchange/NamedFormats.h"

#include <QMimeData>

namespace controls {

void TBaseLazyTree::GetNativeClipboardFormats(TFormatEtcArray& Formats)
{
    TClipboardFormatList::EnumerateFormats(metaObject(), Formats, FClipboardFormats.get());
    DoGetUserClipboardFormats(Formats);
}

QByteArray TBaseLazyTree::NodeRecords(const TNodeArray& Nodes)
{
    QByteArray records;
    for (PLazyNode n : Nodes)
        WriteRecords(records, n, false);
    return records;
}

// --- marks --------------------------------------------------------------------------------------

void TBaseLazyTree::MarkCutCopyNodes()
{
    if (FSelectionCount == 0)
        return;
    for (PLazyNode n : GetSortedSelection(false))
        if (!n->States.contains(vsDisabled))
            n->States += vsCutOrCopy;
}

void TBaseLazyTree::CancelCutOrCopy()
{
    if (FStates.contains(tsCutPending) || FStates.contains(tsCopyPending)) {
        for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
            n->States -= vsCutOrCopy;
        Invalidate();
    }
    DoStateChange({}, {tsCutPending, tsCopyPending});
}

void TBaseLazyTree::FinishCutOrCopy()
{
    if (!FStates.contains(tsCutPending))
        return;
    const TNodeArray marked = GetSortedCutCopySet(true);
    BeginUpdate();
    try {
        for (auto it = marked.rbegin(); it != marked.rend(); ++it)
            DeleteNode(*it);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    DoStateChange({}, {tsCutPending});
}

// --- clipboard operations -----------------------------------------------------------------------

void TBaseLazyTree::CopyToClipboard()
{
    if (FSelectionCount == 0)
        return;
    auto object = std::make_shared<TLTDataObject>(this, true);
    if (!platform::setClipboardMimeData(object->CreateMimeData()))
        return;
    // Placing the data released what the clipboard held before (and with it an earlier cut
    // or copy of any tree).
    MarkCutCopyNodes();
    DoStateChange({tsCopyPending});
    Invalidate();
}

void TBaseLazyTree::CutToClipboard()
{
    if (FSelectionCount == 0 || FOptions->MiscOptions().contains(toReadOnly))
        return;
    auto object = std::make_shared<TLTDataObject>(this, true);
    if (!platform::setClipboardMimeData(object->CreateMimeData()))
        return;
    MarkCutCopyNodes();
    DoStateChange({tsCutPending}, {tsCopyPending});
    Invalidate();
}

void TBaseLazyTree::FlushClipboard()
{
    if (!FStates.contains(tsCutPending) && !FStates.contains(tsCopyPending))
        return;
    DoStateChange({tsClipboardFlushing});
    try {
        platform::flushClipboard();
        CancelCutOrCopy();
    } catch (...) {
        DoStateChange({}, {tsClipboardFlushing});
        throw;
    }
    DoStateChange({}, {tsClipboardFlushing});
}

bool TBaseLazyTree::PasteFromClipboard()
{
    if (FOptions->MiscOptions().contains(toReadOnly))
        return false;
    const QMimeData* data = platform::clipboardMimeData();
    if (!data)
        throw ELazyTreeError(QStringLiteral("Clipboard operation failed."), 2007);
    TBaseLazyTree* source = GetTreeFromDataObject(data);
    const bool optimized = source && source->FStates.contains(tsCutPending);
    const bool result = ProcessOLEData(source, data, FFocusedNode, FDefaultPasteMode, optimized);
    // A paste that did not happen leaves the cut where it was.
    if (source && result) {
        if (source == this)
            DoStateChange({}, {tsCutPending});
        else
            source->FinishCutOrCopy();
    }
    return result;
}

TBaseLazyTree* TBaseLazyTree::GetTreeFromDataObject(const QMimeData* DataObject) const
{
    if (!DataObject)
        return nullptr;
    const std::optional<QByteArray> block = platform::formatBlock(DataObject, ClipboardFormatName(CF_LTREFERENCE()));
    return block ? ResolveTreeReference(*block) : nullptr;
}

// --- rendering ----------------------------------------------------------------------------------

HRESULT TBaseLazyTree::RenderOLEData(const TFormatEtc& FormatEtcIn, TStgMedium& Medium, bool ForClipboard)
{
    Medium = TStgMedium{};
    if (FormatEtcIn.cfFormat == CF_LAZYTREE() && (FormatEtcIn.tymed & (TYMED_ISTREAM | TYMED_HGLOBAL)) != 0) {
        TNodeArray nodes;
        if (ForClipboard)
            nodes = GetSortedCutCopySet(true);
        else if (FStates.contains(tsOLEDragging))
            nodes = FDragSelection;
        else
            nodes = GetSortedSelection(true);
        const QByteArray records = NodeRecords(nodes);
        if (FormatEtcIn.tymed & TYMED_ISTREAM) {
            Medium.tymed = TYMED_ISTREAM;
            Medium.data = records;
            return S_OK;
        }
        if (records.isEmpty())
            return E_FAIL;
        Medium.tymed = TYMED_HGLOBAL;
        Medium.data = MakeTreeDataBlock(records);
        return S_OK;
    }
    return DoRenderOLEData(FormatEtcIn, Medium, ForClipboard);
}

HRESULT TBaseLazyTree::DoRenderOLEData(const TFormatEtc& FormatEtcIn, TStgMedium& Medium, bool ForClipboard)
{
    HRESULT result = E_FAIL;
    if (OnRenderOLEData)
        OnRenderOLEData(this, FormatEtcIn, Medium, ForClipboard, result);
    return result;
}

// --- receiving nodes ----------------------------------------------------------------------------

bool TBaseLazyTree::ProcessOLEData(TBaseLazyTree* Source, const QMimeData* DataObject, PLazyNode TargetNode,
                                   TLTNodeAttachMode Mode, bool Optimized)
{
    const QString dataFormat = ClipboardFormatName(CF_LAZYTREE());
    if (!DataObject || !DataObject->hasFormat(platform::mimeTypeOfFormat(dataFormat)))
        return false;
    // A read-only tree takes nothing; saying so keeps a cut source from deleting its nodes.
    if (FOptions->MiscOptions().contains(toReadOnly))
        return false;
    bool result = false;
    if (Optimized && !IsLiveTree(Source))
        Optimized = false;
    if (Source)
        Source->BeginUpdate();
    BeginUpdate();
    try {
        PLazyNode target = TargetNode ? TargetNode : FRoot;
        if (target == FRoot) {
            if (Mode == amInsertBefore)
                Mode = amAddChildFirst;
            else if (Mode == amInsertAfter)
                Mode = amAddChildLast;
        }
        if (Optimized) {
            TNodeArray nodes = Source->FStates.contains(tsOLEDragging) ? Source->FDragSelection
                                                                       : Source->GetSortedCutCopySet(true);
            if (!(Mode == amInsertBefore || Mode == amAddChildLast))
                std::reverse(nodes.begin(), nodes.end());
            for (PLazyNode node : nodes) {
                // The cut ends for every listed node: a node moved needs no mark, and one that
                // stays (an ancestor of the target, or refused) must not be deleted afterwards.
                for (PLazyNode run = node; run; run = Source->GetNextNoInit(run)) {
                    if (run != node && !Source->HasAsParent(run, node))
                        break;
                    run->States -= vsCutOrCopy;
                }
                if (node == target || (target != FRoot && HasAsParent(target, node)))
                    continue;
                if (target == FRoot)
                    Source->MoveTo(node, this, Mode, false);
                else
                    Source->MoveTo(node, target, Mode, false);
            }
            result = true;
        } else {
            const std::optional<QByteArray> block = platform::formatBlock(DataObject, dataFormat);
            const std::optional<QByteArray> records = block ? ReadTreeDataPayload(*block) : std::nullopt;
            if (records) {
                const TChangeReason reason = Source == this ? crNodeCopied : crNodeAdded;
                PLazyNode last = InsertRecords(*records, this, target, Mode, true);
                InvalidateCache();
                StructureChange(last, reason);
                result = true;
            }
        }
    } catch (...) {
        EndUpdate();
        if (Source)
            Source->EndUpdate();
        throw;
    }
    EndUpdate();
    if (Source)
        Source->EndUpdate();
    return result;
}

} // namespace controls
