// Writing and reading the tree stream (layout and guarantees in LazyTreeStream.h).
#include "controls/tree/LazyTreeStream.h"
#include "controls/tree/LazyTree.h"
#include "platform/fs/Files.h"

#include <QBuffer>
#include <QtEndian>

#include <cstring>

namespace controls {

namespace {

constexpr uint16_t kHeaderValues[6] = {0x2045, 0x0056, 0x0054, 0, 0x0020, 0x2046};

// States a record never carries: the writer leaves them out, the reader drops them (a stream
// cannot hand over an interface reference or a node half deleted).
const TLazyNodeStates kUnsavedStates{vsChecking, vsCutOrCopy, vsDeleting, vsOnFreeNodeCallRequired, vsHeightMeasured};
const TLazyNodeStates kUnreadStates{vsChecking,    vsCutOrCopy,          vsDeleting,  vsOnFreeNodeCallRequired,
                                    vsHeightMeasured, vsReleaseCallOnUserDataRequired, vsToggling, vsInitializing,
                                    vsAllChildrenHidden};

// The smallest record: node chunk header, base chunk header and body.
qsizetype minimalRecord(int version) { return 16 + (version >= 2 ? BaseBodySize : BaseBodySizeV1); }

} // namespace

void RaiseTreeStreamError(int code)
{
    switch (code) {
    case TreeStreamWrongFormat:
        throw ELazyTreeError(QStringLiteral("Unable to load tree structure, the format is wrong."), code);
    case TreeStreamUnknownVersion:
        throw ELazyTreeError(QStringLiteral("Unable to load tree structure, the version is unknown."), code);
    case TreeStreamNotEnoughData:
        throw ELazyTreeError(QStringLiteral("Unable to load tree structure, not enough data available."), code);
    case TreeStreamMissingAnchor:
        throw ELazyTreeError(QStringLiteral("Stream data corrupt. A node's anchor chunk is missing."), code);
    default:
        throw ELazyTreeError(QStringLiteral("Stream data corrupt. Unexpected data after node's end position."),
                             TreeStreamUnexpectedData);
    }
}

// --- writer and reader --------------------------------------------------------------------------

void TLazyTreeStreamWriter::WriteUInt32(uint32_t v)
{
    char b[4];
    qToLittleEndian(v, b);
    m_out.append(b, 4);
}

void TLazyTreeStreamWriter::WriteUInt16(uint16_t v)
{
    char b[2];
    qToLittleEndian(v, b);
    m_out.append(b, 2);
}

void TLazyTreeStreamWriter::WriteUtf16(const QString& text)
{
    const qsizetype at = m_out.size();
    m_out.resize(at + text.size() * 2);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), m_out.data() + at);
}

void TLazyTreeStreamWriter::PatchInt32(qsizetype at, int32_t v) { qToLittleEndian(v, m_out.data() + at); }

void TLazyTreeStreamWriter::WriteHeader(int version)
{
    for (int i = 0; i < 6; ++i)
        WriteUInt16(i == 3 ? uint16_t(version) : kHeaderValues[i]);
}

bool TLazyTreeStreamReader::ReadUInt32(uint32_t& v)
{
    if (Remaining() < 4)
        return false;
    v = qFromLittleEndian<uint32_t>(m_data + m_pos);
    m_pos += 4;
    return true;
}

bool TLazyTreeStreamReader::ReadInt32(int32_t& v)
{
    uint32_t u = 0;
    if (!ReadUInt32(u))
        return false;
    v = int32_t(u);
    return true;
}

bool TLazyTreeStreamReader::ReadUInt16(uint16_t& v)
{
    if (Remaining() < 2)
        return false;
    v = qFromLittleEndian<uint16_t>(m_data + m_pos);
    m_pos += 2;
    return true;
}

bool TLazyTreeStreamReader::ReadByte(uint8_t& v)
{
    if (Remaining() < 1)
        return false;
    v = uint8_t(m_data[m_pos++]);
    return true;
}

bool TLazyTreeStreamReader::ReadUtf16(qsizetype count, QString& text)
{
    if (count < 0 || Remaining() / 2 < count)
        return false;
    text.resize(count);
    qFromLittleEndian<char16_t>(m_data + m_pos, count, reinterpret_cast<char16_t*>(text.data()));
    m_pos += count * 2;
    return true;
}

// --- checking the structure ---------------------------------------------------------------------

namespace {

// One node record ending at most at `limit`; the reader ends after it.
int checkRecord(TLazyTreeStreamReader& r, int version, qsizetype limit, int depth)
{
    if (depth > MaxTreeStreamDepth)
        return TreeStreamUnexpectedData;
    int32_t type = 0;
    int32_t size = 0;
    if (limit - r.Position() < 8 || !r.ReadInt32(type) || !r.ReadInt32(size) || type != NodeChunk || size < 0 ||
        size > limit - r.Position())
        return TreeStreamMissingAnchor;
    const qsizetype end = r.Position() + size;
    const qsizetype body = version >= 2 ? BaseBodySize : BaseBodySizeV1;
    bool haveBase = false;
    while (r.Position() < end) {
        int32_t chunkType = 0;
        int32_t chunkSize = 0;
        if (end - r.Position() < 8)
            return TreeStreamUnexpectedData;
        r.ReadInt32(chunkType);
        r.ReadInt32(chunkSize);
        if (chunkType == BaseChunk) {
            if (haveBase || end - r.Position() < body)
                return TreeStreamUnexpectedData;
            haveBase = true;
            uint32_t childCount = 0;
            r.ReadUInt32(childCount);
            r.Seek(r.Position() + body - 4);
            // Every announced child needs at least a minimal record inside this node.
            if (uint64_t(childCount) * uint64_t(minimalRecord(version)) > uint64_t(end - r.Position()))
                return TreeStreamMissingAnchor;
            for (uint32_t i = 0; i < childCount; ++i)
                if (const int error = checkRecord(r, version, end, depth + 1))
                    return error;
        } else {
            if (chunkSize < 0 || chunkSize > end - r.Position())
                return TreeStreamUnexpectedData;
            r.Seek(r.Position() + chunkSize);
        }
    }
    return r.Position() == end ? 0 : TreeStreamUnexpectedData;
}

} // namespace

int CheckNodeRecords(TLazyTreeStreamReader& reader, int version, uint32_t count, bool toEnd)
{
    if (toEnd) {
        while (reader.Remaining() > 0)
            if (const int error = checkRecord(reader, version, reader.Size(), 1))
                return error;
        return 0;
    }
    if (uint64_t(count) * uint64_t(minimalRecord(version)) > uint64_t(reader.Remaining()))
        return TreeStreamMissingAnchor;
    for (uint32_t i = 0; i < count; ++i)
        if (const int error = checkRecord(reader, version, reader.Size(), 1))
            return error;
    return 0;
}

TTreeStreamCheck CheckTreeStream(const char* data, qsizetype size)
{
    TTreeStreamCheck check;
    TLazyTreeStreamReader r(data, size);
    uint16_t values[6] = {};
    for (uint16_t& v : values)
        if (!r.ReadUInt16(v)) {
            check.Error = TreeStreamNotEnoughData;
            return check;
        }
    if (values[0] != kHeaderValues[0] || values[1] != kHeaderValues[1] || values[2] != kHeaderValues[2] ||
        values[5] != kHeaderValues[5]) {
        check.Error = TreeStreamWrongFormat;
        return check;
    }
    check.Version = values[3];
    if (check.Version > TreeStreamVersion) {
        check.Error = TreeStreamUnknownVersion;
        return check;
    }
    if (check.Version >= 2) {
        if (!r.ReadUInt32(check.Count)) {
            check.Error = TreeStreamNotEnoughData;
            return check;
        }
    }
    check.RecordsStart = r.Position();
    const bool toEnd = check.Version < 2;
    if (const int error = CheckNodeRecords(r, check.Version, check.Count, toEnd)) {
        check.Error = error;
        return check;
    }
    check.RecordsEnd = r.Position();
    return check;
}

// --- writing ------------------------------------------------------------------------------------

void TBaseLazyTree::FinishChunkHeader(TLazyTreeStreamWriter& Stream, qsizetype StartPos, qsizetype EndPos)
{
    Stream.PatchInt32(StartPos + 4, int32_t(EndPos - StartPos - 8));
}

void TBaseLazyTree::WriteNode(TLazyTreeStreamWriter& Stream, PLazyNode Node)
{
    if (FOptions->MiscOptions().contains(toInitOnSave)) {
        if (!Node->States.contains(vsInitialized))
            InitNode(Node);
        if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
            InitChildren(Node);
    }
    const qsizetype start = Stream.Position();
    Stream.WriteInt32(NodeChunk);
    Stream.WriteInt32(0);
    WriteChunks(Stream, Node);
    FinishChunkHeader(Stream, start, Stream.Position());
}

void TBaseLazyTree::WriteChunks(TLazyTreeStreamWriter& Stream, PLazyNode Node)
{
    const qsizetype start = Stream.Position();
    Stream.WriteInt32(BaseChunk);
    Stream.WriteInt32(0);
    Stream.WriteUInt32(Node->ChildCount);
    Stream.WriteUInt32(Node->NodeHeight);
    Stream.WriteUInt32((Node->States.get() - kUnsavedStates).bits());
    Stream.WriteByte(Node->Align);
    Stream.WriteByte(uint8_t(Node->CheckState));
    Stream.WriteByte(uint8_t(Node->CheckType));
    Stream.WriteUInt32(0);
    // Every linked child is written, also below a node that was never initialised: the count
    // in the record and the records that follow always agree.
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
        WriteNode(Stream, child);
    FinishChunkHeader(Stream, start, Stream.Position());

    // The user chunk, only when the handler wrote something.
    if (!FNodeChunkBuffer)
        return;
    FNodeChunkBuffer->seek(0);
    FNodeChunkBuffer->buffer().truncate(0);
    DoSaveNode(Node, *FNodeChunkBuffer);
    const QByteArray& user = FNodeChunkBuffer->buffer();
    if (user.isEmpty())
        return;
    Stream.WriteInt32(UserChunk);
    Stream.WriteInt32(int32_t(user.size()));
    Stream.WriteBytes(user.constData(), user.size());
}

void TBaseLazyTree::WriteRecords(QByteArray& Out, PLazyNode Node, bool ChildrenOnly)
{
    TLazyTreeStreamWriter writer(Out);
    FNodeChunkBuffer = std::make_unique<QBuffer>();
    FNodeChunkBuffer->open(QIODevice::ReadWrite);
    try {
        if (ChildrenOnly) {
            for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
                WriteNode(writer, child);
        } else {
            WriteNode(writer, Node);
        }
    } catch (...) {
        FNodeChunkBuffer.reset();
        throw;
    }
    FNodeChunkBuffer.reset();
}

QByteArray TBaseLazyTree::SaveToBytes(PLazyNode Node)
{
    QByteArray bytes;
    TLazyTreeStreamWriter writer(bytes);
    writer.WriteHeader();
    writer.WriteUInt32(Node ? 1 : FRoot->ChildCount);
    if (Node)
        WriteRecords(bytes, Node, false);
    else
        WriteRecords(bytes, FRoot, true);
    return bytes;
}

void TBaseLazyTree::SaveToStream(QIODevice& Stream, PLazyNode Node)
{
    const QByteArray bytes = SaveToBytes(Node);
    if (Stream.write(bytes) != bytes.size())
        throw ELazyTreeError(QStringLiteral("Stream write error"));
    DoSaveTree(Stream);
}

void TBaseLazyTree::SaveToFile(const QString& FileName)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    SaveToStream(buffer, nullptr);
    QString error;
    if (!platform::writeWholeFile(FileName, buffer.data(), &error))
        throw ELazyTreeError(error);
}

// --- reading ------------------------------------------------------------------------------------

void TBaseLazyTree::LoadFromFile(const QString& FileName)
{
    QString error;
    const std::optional<QByteArray> bytes = platform::readWholeFile(FileName, &error);
    if (!bytes)
        throw ELazyTreeError(error);
    QBuffer buffer;
    buffer.setData(*bytes);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer);
}

void TBaseLazyTree::LoadFromStream(QIODevice& Stream) { ReadStream(Stream, nullptr, true); }

void TBaseLazyTree::AddFromStream(QIODevice& Stream, PLazyNode TargetNode)
{
    LtAssert(TargetNode != nullptr, "Node must not be nil.");
    ReadStream(Stream, TargetNode, false);
}

void TBaseLazyTree::ReadStream(QIODevice& Stream, PLazyNode TargetNode, bool Replace)
{
    if (FOptions->MiscOptions().contains(toReadOnly))
        return;
    const qint64 start = Stream.pos();
    const QByteArray bytes = Stream.readAll();
    // The whole structure is checked before the tree changes.
    const TTreeStreamCheck check = CheckTreeStream(bytes.constData(), bytes.size());
    if (check.Error) {
        if (!Stream.isSequential())
            Stream.seek(start);
        RaiseTreeStreamError(check.Error);
    }
    if (Replace)
        Clear();
    PLazyNode target = Replace ? FRoot : TargetNode;
    TLazyTreeStreamReader reader(bytes);
    reader.Seek(check.RecordsStart);
    BeginUpdate();
    try {
        FNodeChunkBuffer = std::make_unique<QBuffer>();
        uint32_t count = check.Version >= 2 ? check.Count : UINT32_MAX;
        while (reader.Position() < check.RecordsEnd && count > 0) {
            --count;
            PLazyNode node = MakeNewNode();
            InternalConnectNode(node, target, this, amAddChildLast);
            InternalAddFromStream(reader, check.Version, node);
        }
        FNodeChunkBuffer.reset();
        // What follows the records belongs to OnLoadTree.
        if (!Stream.isSequential()) {
            Stream.seek(start + check.RecordsEnd);
            DoNodeCopied(target == FRoot ? nullptr : target);
            if (Replace)
                DoLoadTree(Stream);
        } else {
            QBuffer rest;
            rest.setData(bytes.mid(check.RecordsEnd));
            rest.open(QIODevice::ReadOnly);
            DoNodeCopied(target == FRoot ? nullptr : target);
            if (Replace)
                DoLoadTree(rest);
        }
    } catch (...) {
        FNodeChunkBuffer.reset();
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TBaseLazyTree::InternalAddFromStream(TLazyTreeStreamReader& Stream, int Version, PLazyNode Node)
{
    LtAssert(Node != FRoot, "The root node cannot be loaded from stream.");
    PLazyNode parent = Node->Parent;
    const uint32_t oldHeight = Node->TotalHeight;
    const bool countedBefore = FullyVisible(Node) && !IsEffectivelyFiltered(Node);
    const bool inParentHeight = parent->States.contains(vsExpanded) && Node->States.contains(vsVisible);
    auto settle = [&] {
        // The subtree's totals, and what they change above it.
        RecountTotals(Node);
        PropagateTotalCount(parent, int64_t(Node->TotalCount) - 1, true);
        RecomputeTotalHeights(Node);
        const bool inParentNow = parent->States.contains(vsExpanded) && Node->States.contains(vsVisible);
        PropagateTotalHeight(parent, (inParentNow ? int64_t(Node->TotalHeight) : 0) - (inParentHeight ? int64_t(oldHeight) : 0),
                             true);
        const uint32_t countedNow =
            FullyVisible(Node) ? CountVisibleChildren(Node) + (IsEffectivelyVisible(Node) ? 1 : 0) : 0;
        FVisibleCount = uint32_t(int64_t(FVisibleCount) + countedNow - (countedBefore ? 1 : 0));
        if (parent != FRoot)
            DetermineHiddenChildrenFlag(parent);
    };
    try {
        ReadNode(Stream, Version, Node);
    } catch (...) {
        settle();
        throw;
    }
    settle();

    // The selection of the nodes read.
    ClearTempCache();
    PLazyNode stop = Node;
    while (stop && stop != FRoot && !stop->NextSibling)
        stop = stop->Parent;
    stop = stop && stop != FRoot ? stop->NextSibling : nullptr;
    const bool multi = FOptions->SelectionOptions().contains(toMultiSelect);
    for (PLazyNode run = Node; run && run != stop; run = GetNextNoInit(run)) {
        if (!run->States.contains(vsSelected))
            continue;
        if (!multi) {
            run->States -= vsSelected;
            continue;
        }
        int index = 0;
        if (!FindNodeInSelection(run, index))
            InternalCacheNode(run);
    }
    if (multi && FTempNodeCount > 0) {
        // AddToSelection keeps the states of the nodes it inserts.
        for (uint32_t i = 0; i < FTempNodeCount; ++i)
            FTempNodeCache[i]->States -= vsSelected;
        AddToSelection(FTempNodeCache, int(FTempNodeCount), true);
    }
    ClearTempCache();
}

void TBaseLazyTree::ReadNode(TLazyTreeStreamReader& Stream, int Version, PLazyNode Node)
{
    int32_t type = 0;
    int32_t size = 0;
    if (!Stream.ReadInt32(type) || !Stream.ReadInt32(size) || type != NodeChunk || size < 0 || size > Stream.Remaining())
        RaiseTreeStreamError(TreeStreamMissingAnchor);
    const qsizetype end = Stream.Position() + size;
    while (Stream.Position() < end) {
        int32_t chunkType = 0;
        int32_t chunkSize = 0;
        if (end - Stream.Position() < 8 || !Stream.ReadInt32(chunkType) || !Stream.ReadInt32(chunkSize))
            RaiseTreeStreamError(TreeStreamUnexpectedData);
        if (chunkType == BaseChunk) {
            ReadChunk(Stream, Version, Node, chunkType, chunkSize);
            continue;
        }
        if (chunkSize < 0 || chunkSize > end - Stream.Position())
            RaiseTreeStreamError(TreeStreamUnexpectedData);
        // The handler of a chunk reads inside it; the next chunk starts after it whatever the
        // handler read.
        const qsizetype chunkEnd = Stream.Position() + chunkSize;
        TLazyTreeStreamReader chunk(Stream.Data(), chunkEnd);
        chunk.Seek(Stream.Position());
        ReadChunk(chunk, Version, Node, chunkType, chunkSize);
        Stream.Seek(chunkEnd);
    }
    if (Stream.Position() != end)
        RaiseTreeStreamError(TreeStreamUnexpectedData);
}

bool TBaseLazyTree::ReadChunk(TLazyTreeStreamReader& Stream, int Version, PLazyNode Node, int ChunkType, int ChunkSize)
{
    switch (ChunkType) {
    case BaseChunk: {
        uint32_t childCount = 0;
        uint32_t height = 0;
        uint32_t states = 0;
        uint8_t align = 0;
        uint8_t checkState = 0;
        uint8_t checkType = 0;
        bool ok = Stream.ReadUInt32(childCount) && Stream.ReadUInt32(height);
        if (Version >= 2) {
            uint32_t reserved = 0;
            ok = ok && Stream.ReadUInt32(states) && Stream.ReadByte(align) && Stream.ReadByte(checkState) &&
                 Stream.ReadByte(checkType) && Stream.ReadUInt32(reserved);
        } else {
            uint8_t small = 0;
            ok = ok && Stream.ReadByte(small) && Stream.ReadByte(align) && Stream.ReadByte(checkState) &&
                 Stream.ReadByte(checkType);
            states = small;
            // Bit 7 was the selection; the node is always visible.
            if (small & 0x80)
                states |= TLazyNodeStates::bit(vsSelected);
            states |= TLazyNodeStates::bit(vsVisible);
        }
        if (!ok)
            RaiseTreeStreamError(TreeStreamUnexpectedData);
        // Only children created here are counted; ChildCount grows with each.
        if (Node->FirstChild)
            RaiseTreeStreamError(TreeStreamUnexpectedData);
        TLazyNodeStates read = TLazyNodeStates::fromBits(states) - kUnreadStates;
        if (childCount > 0)
            read += vsHasChildren;
        Node->States = read;
        Node->NodeHeight = uint16_t(height);
        Node->TotalHeight = IsEffectivelyFiltered(Node) ? 0 : Node->NodeHeight;
        Node->Align = align;
        Node->CheckState = checkState <= csMixedDisabled ? TCheckState(checkState) : csUncheckedNormal;
        Node->CheckType = checkType <= ctButton ? TCheckType(checkType) : ctNone;
        Node->ChildCount = 0;
        Node->TotalCount = 1;
        // Every announced child needs at least a minimal record in what is left.
        if (uint64_t(childCount) * uint64_t(minimalRecord(Version)) > uint64_t(Stream.Remaining()))
            RaiseTreeStreamError(TreeStreamMissingAnchor);
        if (++FStreamDepth > MaxTreeStreamDepth) {
            --FStreamDepth;
            RaiseTreeStreamError(TreeStreamUnexpectedData);
        }
        try {
            for (uint32_t i = 0; i < childCount; ++i) {
                PLazyNode child = MakeNewNode();
                child->Parent = Node;
                child->PrevSibling = Node->LastChild;
                child->Index = Node->LastChild ? Node->LastChild->Index + 1 : 0;
                if (Node->LastChild)
                    Node->LastChild->NextSibling = child;
                else
                    Node->FirstChild = child;
                Node->LastChild = child;
                ++Node->ChildCount;
                ReadNode(Stream, Version, child);
            }
        } catch (...) {
            --FStreamDepth;
            throw;
        }
        --FStreamDepth;
        // The totals of the subtree are counted once it is read (InternalAddFromStream).
        if (Node->FirstChild)
            DetermineHiddenChildrenFlag(Node);
        return true;
    }
    case UserChunk: {
        if (ChunkSize <= 0)
            return true;
        QBuffer& device = *FNodeChunkBuffer;
        device.close();
        device.setData(Stream.Data() + Stream.Position(), ChunkSize);
        device.open(QIODevice::ReadOnly);
        DoLoadNode(Node, device);
        const bool readSomething = device.pos() > 0;
        device.close();
        Stream.Seek(Stream.Position() + ChunkSize);
        return readSomething;
    }
    default:
        Stream.Seek(Stream.Position() + ChunkSize);
        return false;
    }
}

void TBaseLazyTree::SkipNode(TLazyTreeStreamReader& Stream)
{
    int32_t type = 0;
    int32_t size = 0;
    if (!Stream.ReadInt32(type) || !Stream.ReadInt32(size) || type != NodeChunk || size < 0 || size > Stream.Remaining())
        RaiseTreeStreamError(TreeStreamMissingAnchor);
    Stream.Seek(Stream.Position() + size);
}

} // namespace controls
