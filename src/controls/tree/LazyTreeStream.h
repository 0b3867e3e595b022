#pragma once
// The tree stream: the byte layout in which a tree writes its nodes (SaveToStream, SaveToFile)
// and reads them back (LoadFromStream, LoadFromFile, AddFromStream), and in which nodes travel
// between trees when they are moved or copied. The layout is persisted and exchanged, so every
// byte below is fixed. All integers are little-endian.
//
//   stream    = header, count (version 2 only), node records, whatever OnSaveTree appended
//   header    = six 16-bit values: 0x2045 0x0056 0x0054 version 0x0020 0x2046 (12 bytes);
//               the writer puts version 2; version 1 is read (no count: records run to the
//               end of the stream)
//   count     = 32-bit unsigned number of top-level node records
//   chunk     = ChunkType (32-bit signed), ChunkSize (32-bit signed: the bytes that follow the
//               chunk header inside this chunk), then ChunkSize bytes
//   node record = a node chunk (type 1) whose content is the node's chunks:
//               base chunk (type 2): the base body, then directly the child node records
//                   (its ChunkSize covers body and children, but readers do not rely on it)
//               user chunk (type 4): what OnSaveNode wrote; left out when it wrote nothing
//               caption chunk (type 3, string tree with toSaveCaptions): the main column's text
//                   as UTF-16LE, 2 bytes per code unit, no terminator
//               unknown chunk types are skipped
//   base body, version 2 (19 bytes): ChildCount (u32), NodeHeight (u32, the 16-bit height
//               widened), States (u32, without vsChecking, vsCutOrCopy, vsDeleting,
//               vsOnFreeNodeCallRequired and vsHeightMeasured), Align (u8), CheckState (u8),
//               CheckType (u8), Reserved (u32, 0)
//   base body, version 1 (12 bytes): ChildCount (u32), NodeHeight (u32), States (u8: bits 0-7
//               of the set; the node is selected when bit 7 is set and always visible), Align,
//               CheckState, CheckType (u8 each)
//
// Errors (ELazyTreeError, help context - message):
//   2002 "Unable to load tree structure, the format is wrong."          header values differ
//   2003 "Unable to load tree structure, the version is unknown."       version above 2
//   2004 "Unable to load tree structure, not enough data available."    header or count cut short
//   2005 "Stream data corrupt. A node's anchor chunk is missing."        a record that does not
//        start with a node chunk, is cut short, or that a count announces but that is not there
//   2006 "Stream data corrupt. Unexpected data after node's end position." chunks that do not end
//        exactly at their node's end, a second base chunk, records nested over 1000 levels deep
//
// Guarantees beyond the layout:
//   - the writer always writes the child records its ChildCount announces (the children of a
//     node that was never initialised included), so every record it writes can be read back;
//   - a load reads the whole stream and checks its structure before it changes the tree: a
//     stream that is refused leaves the tree as it was (LoadFromStream does not even clear it);
//   - every count and size is bounded by the bytes that remain, so no input makes the reader
//     create nodes without end; states a stream cannot mean (deleting, freeing, interface
//     references) are dropped, and check states and types out of range become unchecked / none;
//   - OnLoadNode reads from a device that holds exactly its chunk, so a handler that reads too
//     little or tries to read too much never disturbs the chunks that follow.
#include "controls/tree/TreeTypes.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace controls {

enum TTreeStreamError : int {
    TreeStreamWrongFormat = 2002,
    TreeStreamUnknownVersion = 2003,
    TreeStreamNotEnoughData = 2004,
    TreeStreamMissingAnchor = 2005,
    TreeStreamUnexpectedData = 2006,
};

// Chunk types of a node record.
enum TTreeChunkType : int32_t { NodeChunk = 1, BaseChunk = 2, CaptionChunk = 3, UserChunk = 4 };

constexpr int TreeStreamVersion = 2;
constexpr int TreeStreamHeaderSize = 12;
constexpr int BaseBodySize = 19;
constexpr int BaseBodySizeV1 = 12;
constexpr int MaxTreeStreamDepth = 1000;

// Throws the ELazyTreeError of a stream error code.
[[noreturn]] void RaiseTreeStreamError(int code);

// Appends little-endian values to a byte array; chunk sizes are filled in afterwards.
class TLazyTreeStreamWriter {
public:
    explicit TLazyTreeStreamWriter(QByteArray& out) : m_out(out) {}
    qsizetype Position() const { return m_out.size(); }
    void WriteUInt32(uint32_t v);
    void WriteInt32(int32_t v) { WriteUInt32(uint32_t(v)); }
    void WriteUInt16(uint16_t v);
    void WriteByte(uint8_t v) { m_out.append(char(v)); }
    void WriteBytes(const char* data, qsizetype size) { m_out.append(data, size); }
    void WriteUtf16(const QString& text);
    // Overwrites the 32-bit value at `at`.
    void PatchInt32(qsizetype at, int32_t v);
    // Writes the stream header of `version`.
    void WriteHeader(int version = TreeStreamVersion);
    QByteArray& Bytes() { return m_out; }

private:
    QByteArray& m_out;
};

// Reads little-endian values from bytes in memory, never past their end: a read that does
// not fit answers false and leaves the position where it was.
class TLazyTreeStreamReader {
public:
    TLazyTreeStreamReader(const char* data, qsizetype size) : m_data(data), m_size(size) {}
    explicit TLazyTreeStreamReader(const QByteArray& bytes) : TLazyTreeStreamReader(bytes.constData(), bytes.size()) {}
    qsizetype Position() const { return m_pos; }
    qsizetype Size() const { return m_size; }
    qsizetype Remaining() const { return m_size - m_pos; }
    void Seek(qsizetype pos) { m_pos = pos < 0 ? 0 : pos > m_size ? m_size : pos; }
    const char* Data() const { return m_data; }
    bool ReadUInt32(uint32_t& v);
    bool ReadInt32(int32_t& v);
    bool ReadUInt16(uint16_t& v);
    bool ReadByte(uint8_t& v);
    // `count` UTF-16LE code units.
    bool ReadUtf16(qsizetype count, QString& text);

private:
    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

// The structure of a tree stream, checked without a tree: the version and the number of
// top-level records, or the error code of the first fault.
struct TTreeStreamCheck {
    int Error = 0;
    int Version = 0;
    uint32_t Count = 0;
    // Where the header (and count) end and where the last record ends.
    qsizetype RecordsStart = 0;
    qsizetype RecordsEnd = 0;
};
TTreeStreamCheck CheckTreeStream(const char* data, qsizetype size);
// The records of `count` nodes of `version` from the reader's position: 0 when they are all
// well formed, else the error code; the reader ends after the last record.
int CheckNodeRecords(TLazyTreeStreamReader& reader, int version, uint32_t count, bool toEnd);

} // namespace controls
