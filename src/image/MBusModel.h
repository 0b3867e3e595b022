#pragma once
// The image builder's model of an M-Bus network (device types 1, 20 and 21), read from
// M_Bus.xml: the nodes the gateway polls with the variables it takes from each answer, where
// each value lies in the gateway's data area, and the records that describe them in the images.
//
// One running data address counts through every node: 4 bytes for a published node state, 4
// for a published identification number, then each variable's data size. The node record
// (23 bytes, its ID big-endian) and the variable record (24 bytes) are the same in every M-Bus
// image; only the origin of the addresses they hold differs.
#include "image/Bank.h"
#include "image/ParGenKeys.h"
#include "mbus/MBusNetwork.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace image {

struct TMBus_Variabile {
    uint8_t Type_Of_Data = 0;
    uint8_t Function_Field = 0; // the function code of the frame: 0 instantaneous, 1 maximum, 2 minimum, 3 error
    uint8_t Dimension = 0;
    uint8_t Unita = 0;
    uint32_t Storage_Num = 0;
    uint32_t Tarif = 0;
    uint8_t VIFE = 0;
    uint8_t BCDtoINT = 0;
    uint8_t Length = 0;
    uint8_t Len_VIF_ASCII = 0;
    uint32_t Address_VIF_ASCII = 0;
    QString VIF_ASCII;
    uint8_t Position = 0;
    uint16_t BACnet_EngUnit = 0;
    uint16_t BACnet_DataType = 0;
    uint8_t Post_Ope = 0;
    QString Desc;
    uint32_t Data_Address = 0; // where the value lies in the gateway's data area
};

struct TMBus_Nodo {
    uint32_t ID = 0;
    uint8_t SND_NKE = 0;
    uint8_t Reset_App = 0;
    uint32_t Add = 0; // address of the node's first variable record
    uint8_t Node_State = 0; // 129: the node state is shown as an Analog Input object
    uint8_t Ident_Num = 0;
    uint8_t BCDtoINT_IN = 0;
    uint8_t Swap_IN = 0;
    uint8_t ID_Type = 0;
    uint8_t Var_Type = 0;
    uint8_t Cut_After = 0;
    std::vector<TMBus_Variabile> Vars;
    QString Desc;
};

struct TMBus_Add_Nodo {
    uint32_t Add_NS = 0;
    uint32_t Add_IN = 0;
    uint32_t Add_Start_Var = 0;
};

constexpr int kWMBusMeterEntries = 32;
constexpr int32_t kWMBusMeterRecordSize = 32;

// An entry of the wireless meter table.
struct WMBusMeter {
    uint16_t ManID = 0;
    uint32_t Add = 0;
    uint8_t Ver = 0;
    uint8_t DevType = 0;
    std::array<uint8_t, 16> Key{};
    uint8_t En_Key = 0;
};

// Which build reads the network; each has its own small differences.
enum class NetworkReading {
    BacnetIp, // the BACnet/IP images of device types 1 and 20: every node is wired
    Mstp,     // the MS/TP image of device types 1 and 20: node state and identification as stored
    Bank,     // the M-Bus bank: wired and wireless nodes, the wider VIFE range
};

struct MBusNetworkModel {
    std::vector<TMBus_Nodo> wired;
    std::vector<TMBus_Add_Nodo> wiredAdd;
    std::vector<TMBus_Nodo> wireless;
    std::vector<TMBus_Add_Nodo> wirelessAdd;
    std::vector<WMBusMeter> meters; // one per wireless node, in order
};

constexpr int32_t kNodeRecordSize = 23;
constexpr int32_t kVariableRecordSize = 24;

// Fills the model from the texts of M_Bus.xml. A node element is taken when `Enable_Node` reads
// as 1 (or is missing) and one of its variables has `Enable` "1"; wired nodes of the bank only
// when `wiredAllowed`. Then computes the data addresses, one running address through the wired
// and then the wireless nodes.
void readMBusModel(const mbus::NetworkTexts& texts, NetworkReading reading, bool wiredAllowed, MBusNetworkModel& model);
// The same from the file at the workspace's `Path_M_Bus`; no file gives an empty model.
void Load_MBus_Model(NetworkReading reading, bool wiredAllowed, MBusNetworkModel& model);

// Bytes of the data area a variable takes. `lastSizedVife` is the last VIFE code of type of data
// 19 that has a size: 125, or 146 in the bank.
uint32_t dataSize(const TMBus_Nodo& node, const TMBus_Variabile& v, int lastSizedVife);
// The data-field code of a dimension: 8 bits 1, 16 bits 2, 32 bits 4, 64 bits 7, 24 bits 3,
// 48 bits 6, 32-bit real 5, variable length 13, anything else 2.
uint8_t dimensionCode(uint8_t dimension);

// Bytes of the node records, variable records and VIF texts of a list.
int64_t nodeTablesSize(const std::vector<TMBus_Nodo>& nodes);
// Gives each node its `Add` and each variable its `Address_VIF_ASCII` for a node table at
// address `nodeTable`.
void assignRecordAddresses(std::vector<TMBus_Nodo>& nodes, uint32_t nodeTable);
// Writes the node records, the variable records and the VIF text area.
void writeNodeTables(BankWriter& w, const std::vector<TMBus_Nodo>& nodes, const std::vector<TMBus_Add_Nodo>& adds);

// The M-Bus line settings of the meter parameter block. These keys have no default: with the
// file present, a missing key or a text that is no whole number stops the build.
struct MeterParams {
    uint8_t baud = 0;
    uint8_t parity = 0;
    uint16_t delay = 0;
    uint8_t nsErrorCode = 255;
};
MeterParams readMeterParams(const ParGenKeys& keys);
// The 6-byte block: baud-rate index, parity index, request delay, node-state error code, nodes.
void writeMeterParams(BankWriter& w, const MeterParams& m, size_t nodes);

} // namespace image
