#pragma once
// The meters a scan finds and the records decoded from their answers, as plain values. The scan
// engine keeps them in its lists; the decoders here fill them and keep nothing themselves, so
// any thread may call them on data it owns.
#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace mbus::decode {

enum class TMBusType : uint8_t { mtWired = 0, mtWireless = 1 };
// The radio module the gateway reports; it decides how a telegram's RSSI byte reads.
enum class TRadioModule : uint8_t { rmTelit = 0, rmRadioCrafts = 1 };

// One decoded data record.
struct TVariable_MBus {
    uint8_t dimension = 0;          // data field of the DIF (bits 0-3)
    uint16_t function_fild = 0;     // 0 instantaneous, 1 maximum, 2 minimum, 3 value during error state
    int64_t storage_number = 0;
    uint16_t tarif = 0;
    uint16_t device = 0;            // subunit
    int16_t type_data = 0;          // VIF class 0..25, -1 when none
    int32_t nbyte = 0;              // length of the data in bytes
    uint8_t VIF = 0;                // as received
    QString VIFE;                   // "$0B $3B ": each VIFE as "$" and two hex digits and a blank
    QString DIF;                    // "$0C"
    QString DIFE;                   // like VIFE
    QString totdati;                // the data bytes as hex digits, in received order
    QString VIF_ASCII;              // the unit of a plain-text VIF
    int32_t Type_Data_Vife = 0;     // combined type code, 0 when none
    QString Desc_Type_Data;         // description with unit
    QString ValueStr;
    QString FunctionFieldStr;
    QString DataFieldStr;
    bool Enable = true;             // taken into the project
    bool Real_Wireless_Var = false; // false for the place-holder of an idle filler in a telegram
    bool Is_BCD = false;
};

// One wired meter, filed from the fixed header of its first reply.
struct TSlave_MBus {
    uint16_t Primary_Addresss = 0;
    QString Secondary_Addresss;     // identification number in hex digits, so BCD reads as decimal
    uint32_t Manufacture = 0;       // 16-bit manufacturer code
    uint32_t Version = 0;
    uint32_t Medium = 0;
    QString descManufacture;        // three letters of the manufacturer code
    std::vector<TVariable_MBus> List_Var;
};

using Key128 = std::array<uint8_t, 16>;

// One wireless meter, found by its application-layer address.
struct TSlave_wMBus {
    uint8_t Message_Type = 0;       // C field of the telegram that created the meter
    uint16_t LLA_Manufacturer = 0;
    QString LLA_Manu_str;
    uint32_t LLA_Address = 0;
    uint8_t LLA_Version = 0;
    uint8_t LLA_DeviceType = 0;
    uint16_t ALA_Manufacturer = 0;
    QString ALA_Manu_str;
    uint32_t ALA_Address = 0;
    uint8_t ALA_Version = 0;
    uint8_t ALA_DeviceType = 0;
    int8_t RSSI = 0;
    QDateTime DateTime;             // when the last telegram was taken
    bool Cripted = false;           // the last telegram's records could not be read
    bool Enable = true;
    bool Enable_Key = false;
    Key128 Key{};
    int32_t RadioCrafts_Ind_Tab_Decript = -1; // position in the RadioCrafts key table, 1..64 once given
    std::vector<TVariable_MBus> List_Var;

    void Cancel_Var() { List_Var.clear(); }
};

} // namespace mbus::decode
