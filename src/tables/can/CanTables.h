#pragma once
// The tables of the CAN model (device type 7) as data: the receive and send frame tables
// (CAN_Rec_Frames.xml, CAN_Send_Frames.xml) with their row checks, and the byte maps of their
// frames (CAN_Rec_Info.xml, CAN_Send_Info.xml) with the loading, the typed position, the
// duplicate check of the receive side and the writing. The dialogs (tables/can/window) show
// them; the image builder reads the same files again.
//
// Frame tables: 500 rows, one section ("Receive_Frames", "Send_Frames") under the roots
// "PROFINET_to_Receive_CAN" and "PROFINET_to_Send_CAN". The key is the Cob-ID, tested without
// trimming: a cell of blanks is a used row and is checked. Numbers follow the program's integer
// rule ("$", "x" or "0x" for hexadecimal); a Cob-ID that is not a number, or negative, is out of
// range. Checks in order: Type empty; the Cob-ID within 0..0x7FF for "2.0A (11 bits)" (trimmed,
// any case), else within 0..0x1FFFFFFF; the Cob-ID not 0; Dimension 1..8; TimeOut (send: Timer
// Send) 0..10000000.
//
// A Cob-ID of 0 ends the table when it is written (neither that frame nor any below it reaches
// the file, which is how the file has always been read), so the check refuses it rather than
// dropping frames without a word, with a message of our own after the row prefix:
//   "!! CAN Cob-Id must not be 0: a frame with Cob-Id 0 ends the saved table"
//
// Byte maps: one `row` per frame directly in the root ("Receive_Frames_Info",
// "Send_Frames_Info"), attributes B1 .. B8, each the BACnet byte position 0..5999 of the frame's
// data byte or 65535 for none; row i belongs to frame i of the frame table, by position alone.
#include "tables/frame/TableDescription.h"
#include "tables/frame/TableModel.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tables::can {

enum class Direction { Receive, Send };

// --- frame tables ----------------------------------------------------------------------------

enum FrameColumn { ColCobId = 1, ColType = 2, ColDimension = 3 };
// Receive: TimeOut 4, Mnemonic 5. Send: Send_Type 4, Timer_Send 5, Mnemonic 6.

constexpr int kFrameCapacity = 500;

const TableDescription& canFramesTable(Direction d); // TFCAN_Rec_Frames, TFCAN_Send_Frame
std::optional<Failure> checkCanFrameRow(const RowView& row, Direction d);

// --- byte maps -------------------------------------------------------------------------------

constexpr uint16_t kNoPosition = 65535;
constexpr int kNumByteMax = 6000; // positions 0 .. 5999

// The map of one frame.
struct TRecInfo {
    uint8_t Dim = 0; // the frame's Dimension
    std::array<uint16_t, 8> PosB{kNoPosition, kNoPosition, kNoPosition, kNoPosition,
                                 kNoPosition, kNoPosition, kNoPosition, kNoPosition};
};

// The byte-map file's table (no section, B1 .. B8 in the root's rows).
const TableDescription& canInfoTable(Direction d);

struct ByteMap {
    QStringList cobIds;            // ListBox1: the frames' Cob-ID texts, in file order
    std::vector<TRecInfo> Data_arr; // one per frame
    bool mapExists = false;        // the byte-map file was there
    int mapRows = 0;               // rows of the byte-map file
    QString error;                 // why the files were not read whole; empty when they were
};

// The frames of the frame file's section and their maps from the byte-map file, as far as both
// reach: map row i gives frame i the positions of its first Dim bytes (the others stay none);
// map rows beyond the frames are ignored, frames beyond the map rows keep none. A frame whose
// Dimension, or a map whose used byte, is missing or not a whole number stops the loading there
// with a message; what was read before stays.
ByteMap loadByteMap(Direction d, const QString& framesPath, const QString& infoPath);

// The warning shown before the map when its file holds a number of rows other than the number
// of frames (maps are tied to frames by position); empty when they agree or there is no map file.
QString mapCountWarning(Direction d, const ByteMap& map);

// A typed position: empty or "none" (trimmed, any case) is 65535, a whole number 0 ..
// kNumByteMax - 1 is itself; anything else is refused (no value).
std::optional<uint16_t> bytePosition(const QString& text, int numByteMax = kNumByteMax);
// The refusal of byte line k (1..8): "Error Byte k!! Value have to be between 0 to 5999 or none".
QString bytePositionError(Direction d, int k, int numByteMax = kNumByteMax);

// The receive side's check: the first data byte, in frame and byte order, whose position an
// earlier byte took, as the message of texts 600 .. 604; no value when there is none.
std::optional<QString> Controlla_dati(const ByteMap& map, int numByteMax = kNumByteMax);

// The byte-map file: one row per frame, B1 .. B8 in decimal.
QByteArray byteMapXml(Direction d, const std::vector<TRecInfo>& data, int converterType);
bool saveByteMap(Direction d, const std::vector<TRecInfo>& data, const QString& path, int converterType,
                 QString* error);

// After the frame table was saved with one frame per entry of `origins`, each the 0-based row of
// the frame file it came from (RowOrigins::kNew for a frame inserted since), the byte-map file's
// rows are moved the same way, a new frame getting none everywhere. Nothing happens when the
// map file is missing or cannot be read whole (the map dialog then tells). False with the
// message when it cannot be written.
bool moveByteMapRows(Direction d, const QString& infoPath, const std::vector<int>& origins, int converterType,
                     QString* error);

} // namespace tables::can
