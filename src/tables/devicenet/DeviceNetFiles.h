#pragma once
// The two table files of the DeviceNet master model (device type 10), read as plain data:
//
// - DNETM_Net.xml, the network table: root "DNET_Net" with one `row` per slave (attributes
//   `ID`, `NB_IN`, `NB_OUT`, `Mnemonic`, all required), in table order;
// - DNETM_DefOff.xml, the slave offsets: root "Define_Offset" with one "Nodo_DNET" per slave of
//   the network table, by position, each holding "ByteIN" and "ByteOUT" with one `row` per byte
//   (attributes `Offset`, "None" or a position of the BACnet byte array, and `Mnemonic`).
//
// A reader stops at the first fault and keeps what it read before it, with a message that names
// the file, the row (or the slave and byte) and the attribute. The offsets file is written here
// too, for the offsets dialog and for the network table when it moves its slaves.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace tables::devicenet {

// Positions of the gateway's BACnet byte array that an offset may name: 0 .. 5999.
constexpr int kByteArraySize = 6000;
constexpr int kMaxNodeId = 63;
constexpr int kMaxByteCount = 65535;
// Rows of the network grid; the editor saves no more.
constexpr int kMaxSlaves = 64;

// A row of the network table, the cell texts as the file holds them.
struct NetRow {
    QString ID;
    QString NB_IN;
    QString NB_OUT;
    QString Mnemonic;
};

struct NetTable {
    std::vector<NetRow> rows; // the rows read, up to a fault
    QString error;            // empty when the whole file was read
};

// No file: no rows and no error.
NetTable readNetTable(const QString& path);

// One slave of the offsets dialog: its node address and byte counts from the network table, and
// per input and output byte the offset text ("None" or a position) and its description.
struct Slave {
    uint8_t ID = 0;
    uint16_t ByteIN = 0;
    uint16_t ByteOUT = 0;
    QStringList List_ByteIN, List_ByteIN_M;
    QStringList List_ByteOUT, List_ByteOUT_M;
};

struct SlaveList {
    std::vector<Slave> slaves; // the slaves read, up to a fault
    QString error;
};

// The slaves of the network table, every byte "None" with an empty description. An `ID` that is
// not a whole number 0..63, or a byte count that is not a whole number 0..65535, stops the list
// at that slave: it is never cut to fit.
SlaveList Load_Slave_DN(const QString& netPath);
// The same from a network table already read (`fileName` for the messages).
SlaveList slavesFromNet(const NetTable& net, const QString& fileName);

// The offsets file over `list`: the k-th "Nodo_DNET" gives the k-th slave its bytes, as far as
// the slave has them; bytes the file does not cover keep "None". An `Offset` that names a
// position outside 0..5999 stops the reading with a message naming the slave and the byte (the
// bytes read before it keep their values). Returns the message, empty when all was read;
// `nodes`, when given, gets the number of "Nodo_DNET" elements of a file that could be read (0
// without a file).
QString Load_Offset_Slave_DN(SlaveList& list, const QString& defOffPath, int* nodes = nullptr);

// The offset text as a position: "None", or any text that is not a whole number, is none.
std::optional<int> offsetPosition(const QString& offset);

// The check of the offsets dialog: two output bytes on one position of the BACnet byte array.
struct OffsetClash {
    int firstId = -1;
    int firstByte = -1;
    int secondId = -1;
    int secondByte = -1;
    int position = -1;
    bool outOfRange = false; // `second` names a position outside 0..5999
};
// The first output byte, in slave and byte order, whose position another output byte took
// before it, or whose position lies outside the array; nothing when every output byte is
// "None" or has a position of its own. Input bytes may share positions.
std::optional<OffsetClash> Check_Data(const std::vector<Slave>& slaves);

// The offsets file of these slaves: root "Define_Offset", one "Nodo_DNET" per slave in order,
// each with its "ByteIN" and "ByteOUT" (written even when empty) holding one `row` per byte,
// byte 0 first, with `Offset` and `Mnemonic`; the version comment "SW_VERSION = 1.000" after the
// root.
QByteArray offsetsXml(const std::vector<Slave>& slaves);
// Writes it whole; false with the message naming the file when it cannot be written.
bool Save_Offset_Slave_DN(const std::vector<Slave>& slaves, const QString& path, QString* error);

} // namespace tables::devicenet
